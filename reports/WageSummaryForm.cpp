#include "reports/WageSummaryForm.h"

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/report/GidLayouts.h"
#include "core/report/Upload.h"
#include "sheet/SheetView.h"

#include <QLabel>
#include <QPushButton>

namespace qm {

using report::GidSummary;

WageSummaryForm::WageSummaryForm(AppContext& ctx, GidSummary id, QWidget* parent, const MonthRun& months,
                                 bool recompute)
    : SummaryFormBase(
          ctx, id,
          id == GidSummary::I704 ? QStringLiteral("企业事业单位汇总表（1）") : QStringLiteral("机关单位汇总表"),
          id == GidSummary::I704 ? QStringLiteral("企业事业单位工资情况汇总表") : QStringLiteral("机关单位汇总表"),
          id == GidSummary::I704 ? QStringLiteral("i704") : QStringLiteral("i705"), QStringLiteral("打印"), true,
          parent),
      IWageSummary(months, recompute) {
    BitBtn3->setEnabled(false);
    resetBarOnClose_ = id == GidSummary::I705;
}

report::MonthRange WageSummaryForm::Range() const { return {Months().First().Number(), Months().Last().Number()}; }

QString WageSummaryForm::Stem() const { return report::WageSummaryStem(Range()); }

void WageSummaryForm::FormShow() {
    book_.SetSelection(1, 1, 60, 11);
    book_.SetFont(QStringLiteral("fnt"), 8);
    const report::MonthRange r = Range();
    const QString copy = report::SummaryCopyName(r);
    // A copy of the other summary's size is no copy of this one: the range is computed.
    if (Recompute() || !report::UsableCopy(ctx_.db, copy, report::ShapeOf(id_).Lines()))
        ComputeSummary();
    else
        ShowSavedSummary();
    book_.SetSelection(1, 1, 1, 1);
    BitBtn3->setEnabled(!refused_ && report::UploadableRange(r));
}

void WageSummaryForm::ComputeSummary() {
    const report::MonthRange r = Range();
    ctx_.pb.SetPosition(0);
    Label4->setText(report::PeriodLabel(id_, r, false));
    const bool done = report::RunWageSummary(ctx_.db, ctx_.ui, book_, id_, r, report::TodayText(), unit_);
    ShowUnit(unit_.depName, unit_.depNo);
    if (!done) Refuse();
    EnableOutputs(true);
    saved_ = false;
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
}

void WageSummaryForm::ShowSavedSummary() {
    const report::MonthRange r = Range();
    Label4->setText(report::PeriodLabel(id_, r, true));
    unit_ = report::FirstUnitRow(ctx_.db);
    ShowUnit(unit_.depName, unit_.depNo);
    report::WriteSavedCopy(book_, ctx_.db, report::SummaryCopyName(r));
    saved_ = true;
}

void WageSummaryForm::BitBtn1Click() {
    SheetBook1->CommitPendingEdit();
    report::ExportWorkbook(ctx_.ui, ctx_.pb, ctx_.paths, report::WageSummaryLayout(id_, Range(), unit_), book_);
}

void WageSummaryForm::BitBtn2Click() { report::PrintWorkbook(ctx_.ui, ctx_.paths, Stem()); }

void WageSummaryForm::BitBtn3Click() {
    // What the form shows is what is uploaded: after a saved copy, that copy's rows.
    const QString source = saved_ ? report::SummaryCopyName(Range()) : QString();
    const auto kind = id_ == GidSummary::I704 ? upload::Kind::WageSummary : upload::Kind::OrganWageSummary;
    if (upload::Run(ctx_.db, ctx_.ui, ctx_.paths, kind, unit_.depNo, std::nullopt, source)) close();
}

}  // namespace qm
