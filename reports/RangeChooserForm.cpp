#include "reports/RangeChooserForm.h"

#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/db/Errors.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

namespace {
// The two wage summaries' line counts: a saved copy of the other size is no copy for them.
constexpr int kEnterpriseLines = 40;
constexpr int kOrganLines = 21;
}  // namespace

RangeChooserDialog::RangeChooserDialog(AppContext& ctx, report::RangeChoice::Twin twin, QWidget* parent)
    : QDialog(parent), ctx_(ctx), choice_(ctx.db, ctx.ui, twin) {
    setWindowTitle(QStringLiteral("选择汇总月度区间"));
    Label1 = new QLabel(QStringLiteral("起始月："), this);
    Label2 = new QLabel(QStringLiteral("截止月："), this);
    FromMon = new QComboBox(this);
    ToMon = new QComboBox(this);
    for (QComboBox* cb : {FromMon, ToMon}) {
        cb->setEditable(true);
        cb->setMinimumWidth(90);
    }
    BitBtn1 = new QPushButton(QStringLiteral("汇 总"), this);
    BitBtn2 = new QPushButton(QStringLiteral("关 闭"), this);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(14);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(FromMon, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(ToMon, 1, 1);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(36, 24, 36, 18);
    v->setSpacing(18);
    v->addLayout(fields);
    v->addStretch();
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

bool RangeChooserDialog::Load() {
    FromMon->clear();
    ToMon->clear();
    if (!choice_.LoadMonths()) return false;
    FromMon->addItems(choice_.Months());
    ToMon->addItems(choice_.Months());
    FromMon->setCurrentIndex(0);
    ToMon->setCurrentIndex(0);
    return true;
}

std::optional<report::MonthRange> RangeChooserDialog::Range() {
    return choice_.CheckRange(FromMon->currentText(), ToMon->currentText());
}

void RangeChooserDialog::RunSummary(const QString& formClass, int lines) {
    const auto range = Range();
    if (!range) return;  // refused: the chooser stays open for another choice
    const bool recompute = choice_.RecomputeFlag(report::SummaryCopyName(*range), lines);
    Label3 = recompute ? QStringLiteral("1") : QStringLiteral("0");
    if (!ctx_.forms) return;
    auto form = ctx_.forms->CreateAs<IWageSummary>(
        formClass, {.run = MonthRun(Month(range->from), Month(range->to)), .recompute = recompute});
    if (!form) return;
    form->ShowModal();
    close();
}

// ---------------------------------------------------------------- TFrm_chooseAB

TFrm_chooseAB::TFrm_chooseAB(AppContext& ctx, QWidget* parent)
    : RangeChooserDialog(ctx, report::RangeChoice::Twin::AB, parent) {
    // Only the system menu among the border icons.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    BitBtn3 = new QPushButton(QStringLiteral("确 定"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn3);  // where BitBtn1 lies: exactly one of the two is shown
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
    setFixedSize(300, 190);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn1Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn3Click(); }); });
    SetSummaryMode(true);
}

void TFrm_chooseAB::SetSummaryMode(bool summary) {
    BitBtn1->setVisible(summary);
    BitBtn3->setVisible(!summary);
}

void TFrm_chooseAB::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_chooseAB::BitBtn1Click() { RunSummary(QStringLiteral("TFrm_wagehz"), kEnterpriseLines); }

void TFrm_chooseAB::BitBtn3Click() {
    const auto range = Range();
    if (!range) return;
    // The labour report keeps no copy of a range; the flag is asked for and set all the same.
    Label3 = choice_.RecomputeFlag(report::PeriodCopyName(*range), 0) ? QStringLiteral("1") : QStringLiteral("0");
    if (!ctx_.forms) return;
    auto form =
        ctx_.forms->Create(QStringLiteral("TFrm_JLabor"), {.run = MonthRun(Month(range->from), Month(range->to))});
    if (!form) return;
    form->ShowModal();
    close();
}

// ---------------------------------------------------------------- TFrm_chooseBA

TFrm_chooseBA::TFrm_chooseBA(AppContext& ctx, QWidget* parent)
    : RangeChooserDialog(ctx, report::RangeChoice::Twin::BA, parent) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
    setFixedSize(300, 190);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn1Click(); }); });
}

void TFrm_chooseBA::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_chooseBA::BitBtn1Click() { RunSummary(QStringLiteral("TFrm_wagejghz"), kOrganLines); }

}  // namespace qm
