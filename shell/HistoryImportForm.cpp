#include "shell/HistoryImportForm.h"

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "platform/BarProgress.h"

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm {

TFrm_historyfrom::TFrm_historyfrom(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("历史数据导入向导"));

    GroupBox1 = new QGroupBox(QStringLiteral("Step1:  选择原系统安装路径"), this);
    Dir = new QLineEdit(GroupBox1);
    SpeedButton1 = new QPushButton(QStringLiteral("选择..."), GroupBox1);
    Label1 = new QLabel(QStringLiteral("原系统默认安装：C:\\Ostrevale"), GroupBox1);
    auto* row = new QHBoxLayout;
    row->addWidget(Dir, 1);
    row->addWidget(SpeedButton1);
    auto* g1 = new QVBoxLayout(GroupBox1);
    g1->addLayout(row);
    g1->addWidget(Label1);

    Rg = new QGroupBox(QStringLiteral("Step2:  选择导入数据选项"), this);
    RgItems = new QButtonGroup(this);
    RgItems->setExclusive(true);
    auto* g2 = new QVBoxLayout(Rg);
    g2->setSpacing(8);
    const QString items[] = {
        QStringLiteral("  1. 上年期末数据导为本年度期初数据 (例:处理2012年数据，则导入2011年期末数据)"),
        QStringLiteral("  2. 导入本年度期初人员数据 (例:处理2012年数据，则导入2012年期初数据)"),
        QStringLiteral("  3. 导入所有月度人员数据 (例:处理2012年数据，则导入2012年月度数据)"),
        QStringLiteral("  4. 导入所有月度工资数据 (例:处理2012年数据，则导入2012年月度数据)"),
        QStringLiteral("  5. 导入所有月度人员、工资数据 (例:处理2012年数据，则导入2012年月度数据)"),
    };
    for (int i = 0; i < 5; ++i) {
        auto* b = new QRadioButton(items[i], Rg);
        RgItems->addButton(b, i);
        g2->addWidget(b);
    }

    SpeedButton2 = new QPushButton(QStringLiteral("开始导入"), this);
    SpeedButton3 = new QPushButton(QStringLiteral("取  消"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SpeedButton2);
    buttons->addSpacing(24);
    buttons->addWidget(SpeedButton3);
    buttons->addStretch();

    Pb = new QProgressBar(this);
    Pb->setRange(0, 100);
    Pb->setValue(0);
    Pb->setTextVisible(false);
    Pb->setFixedHeight(14);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(14, 12, 14, 6);
    v->setSpacing(10);
    v->addWidget(GroupBox1);
    v->addWidget(Rg);
    v->addLayout(buttons);
    v->addWidget(Pb);
    resize(560, 380);

    pb_ = std::make_unique<BarProgress>(Pb);
    connect(SpeedButton1, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QPushButton::clicked, this, [this] { SpeedButton3Click(); });
}

TFrm_historyfrom::~TFrm_historyfrom() = default;

void TFrm_historyfrom::ShowModal() { exec(); }
void TFrm_historyfrom::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_historyfrom::SpeedButton1Click() {
    const auto folder = ctx_.ui.ChooseFolder(QStringLiteral("请选择原系统安装目录"), Dir->text().trimmed());
    if (!folder || folder->isEmpty()) return;
    if (getDataFile(*folder))
        Dir->setText(QDir::toNativeSeparators(*folder));
    else
        ctx_.ui.Info(QStringLiteral("路径选择错误，请核对。"));
}

void TFrm_historyfrom::SpeedButton2Click() {
    HistoryImport imp(ctx_.db, ctx_.ui, *pb_, ctx_.main);
    if (factory_) imp.SetSourceFactory(factory_);
    imp.Start(Dir->text(), RgItems->checkedId());
}

void TFrm_historyfrom::SpeedButton3Click() { close(); }

}  // namespace qm
