#include "reports/SummaryFormBase.h"

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/db/Errors.h"
#include "core/sheet/SheetTemplate.h"
#include "platform/FormPlacement.h"
#include "reports/WindowFit.h"
#include "sheet/SheetView.h"

#include <QCloseEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

SummaryFormBase::SummaryFormBase(AppContext& ctx, report::GidSummary id, const QString& caption, const QString& title,
                                 const QString& templateName, const QString& printText, bool periodLine,
                                 QWidget* parent)
    : QDialog(parent), ctx_(ctx), id_(id) {
    setWindowTitle(caption);
    PlaceWhenShown(this);  // centred on its opener, whole on the screen
    ApplySheetTemplate(book_, templateName);
    Label1 = new QLabel(title, this);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(21);
    f.setBold(true);
    Label1->setFont(f);
    Label1->setAlignment(Qt::AlignCenter);
    label2_ = QStringLiteral("单位名称：");
    label3_ = QStringLiteral("单位法人代码：");
    Label2 = new QLabel(label2_, this);
    Label3 = new QLabel(label3_, this);
    Label4 = new QLabel(this);
    Label4->setVisible(periodLine);
    SheetBook1 = new SheetView(book_, this);
    SheetBook1->UseSystemClipboard();
    BitBtn1 = new QPushButton(QStringLiteral("导成Excel"), this);
    BitBtn2 = new QPushButton(printText, this);
    BitBtn3 = new QPushButton(QStringLiteral("生成上报文件"), this);
    BitBtn4 = new QPushButton(QStringLiteral("关闭"), this);

    auto* unit = new QHBoxLayout;
    unit->addWidget(Label2);
    unit->addSpacing(24);
    unit->addWidget(Label3);
    unit->addStretch();
    unit->addWidget(Label4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4}) {
        b->setMinimumWidth(100);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    auto* v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addLayout(unit);
    v->addWidget(SheetBook1, 1);
    v->addLayout(buttons);
    resize(905, 680);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn2Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn3Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { close(); });
    connect(SheetBook1, &SheetView::RClick, this, [this](int, int) {
        QMenu menu(this);
        QAction* copy = menu.addAction(QStringLiteral("复制"));
        if (menu.exec(QCursor::pos()) == copy) N1Click();
    });
}

void SummaryFormBase::ShowModal() {
    Guarded(ctx_.ui, [this] { FormShow(); });
    FitWindowToSheet(this, SheetBook1);
    exec();
}

void SummaryFormBase::ShowModeless(std::unique_ptr<IForm> self) {
    Guarded(ctx_.ui, [this] { FormShow(); });
    FitWindowToSheet(this, SheetBook1);
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void SummaryFormBase::N1Click() { SheetBook1->Edit(SheetView::EditOp::Copy); }

void SummaryFormBase::ShowUnit(const QString& depName, const QString& depNo) {
    Label2->setText(label2_ + depName);
    Label3->setText(label3_ + depNo);
}

void SummaryFormBase::EnableOutputs(bool on) {
    BitBtn1->setEnabled(on);
    BitBtn2->setEnabled(on);
}

void SummaryFormBase::Refuse() {
    refused_ = true;
    EnableOutputs(false);
    BitBtn3->setEnabled(false);
    Abort();
}

void SummaryFormBase::closeEvent(QCloseEvent* e) {
    if (resetBarOnClose_) ctx_.pb.SetPosition(0);
    QDialog::closeEvent(e);
}

}  // namespace qm
