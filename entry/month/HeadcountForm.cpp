#include "entry/month/HeadcountForm.h"

#include "core/base/AppContext.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/unit/Headcount.h"
#include "platform/FormPlacement.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

namespace {
const QString kNotANumber = QStringLiteral("非法数字，请核实！");
}

TFrm_set::TFrm_set(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setWindowTitle(QStringLiteral("期末从业人员总数设置"));
    PlaceWhenShown(this);
    Label1 = new QLabel(QStringLiteral("单位编号："), this);
    Label4 = new QLabel(this);
    Label2 = new QLabel(QStringLiteral("单位名称："), this);
    Label5 = new QLabel(this);
    Label3 = new QLabel(QStringLiteral("期末从业人员总数："), this);
    Edit1 = new QLineEdit(this);
    Label6 = new QLabel(QStringLiteral("人"), this);
    BitBtn1 = new QPushButton(QStringLiteral("设定"), this);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);
    for (QLabel* l : {Label1, Label2, Label3}) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(14);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label4, 0, 1, 1, 2);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Label5, 1, 1, 1, 2);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Edit1, 2, 1);
    grid->addWidget(Label6, 2, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addSpacing(20);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(24, 20, 24, 16);
    v->addLayout(grid);
    v->addStretch();
    v->addLayout(buttons);
    setFixedSize(380, 190);

    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    FormShow();
}

void TFrm_set::ShowModal() { exec(); }
void TFrm_set::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_set::FormShow() {
    Label3->setFixedWidth(122);
    Label4->setText(ctx_.state.DepNo);
    Label5->setText(ctx_.state.DepName);
}

bool TFrm_set::CheckDigits(const QString& text) {
    if (Headcount::IsAcceptable(text)) return true;
    ctx_.ui.Info(kNotANumber);
    return false;
}

void TFrm_set::Edit1Change() { CheckDigits(Edit1->text()); }

void TFrm_set::BitBtn1Click() {
    // A text that is no whole number is refused here, not stored after the warning.
    if (!CheckDigits(Edit1->text())) return;
    Headcount(ctx_.db).Store(ctx_.state.DepNo, Edit1->text());
    ctx_.ui.Info(QStringLiteral("设置成功！"));
    accept();
}

void TFrm_set::BitBtn2Click() { reject(); }

}  // namespace qm
