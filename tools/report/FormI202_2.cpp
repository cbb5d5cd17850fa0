// I202-2 Q: the quarterly labour report for quarter Q (1..3), as the quarter commands open it.
// I202-2 F T: the same report over months F..T, as the period chooser opens it (no upload).

#include "core/report/QuarterLabourReport.h"
#include "core/report/RangeChoice.h"
#include "core/report/WorkbookExport.h"
#include "tools/report/ReportTool.h"

namespace {

bool RunI202(qm::reporttool::Run& r) {
    using namespace qm::report;
    std::optional<QuarterLabourReport> report;
    if (r.args.size() == 1) {
        bool ok = false;
        const int q = r.args[0].toInt(&ok);
        if (!ok || q < 1 || q > 3) throw qm::reporttool::UsageError(QStringLiteral("Q must be 1, 2 or 3"));
        const QString refusal = r.gates.PeriodRefusal(qm::Month(q * 3), true);
        if (!refusal.isEmpty()) {
            r.ui.Info(refusal);
            return false;
        }
        report.emplace(qm::MonthRun(qm::Quarter(q)));
    } else if (r.args.size() == 2) {
        // The period chooser's checks, in its order.
        RangeChoice choice(r.db, r.ui, RangeChoice::Twin::AB);
        if (!choice.LoadMonths() || !choice.CheckMonthErrors()) return false;
        const auto range = choice.CheckRange(r.args[0], r.args[1]);
        if (!range) return false;
        report.emplace(qm::MonthRun(qm::Month(range->from), qm::Month(range->to)));
    } else {
        throw qm::reporttool::UsageError(QStringLiteral("give a quarter Q, or the months F T"));
    }
    report->Compute(r.db, r.state, r.sheet, r.pb);
    if (r.upload) {
        if (!report->Quarter()) throw qm::reporttool::UsageError(QStringLiteral("a run of months has no upload"));
        if (!report->Upload(r.db, r.ui, r.paths, r.state.DepNo)) return false;
    }
    if (r.xlsx && !ExportWorkbook(r.ui, r.pb, r.paths, report->Layout(r.state), r.sheet)) return false;
    return true;
}

}  // namespace

QM_REPORT_FORM("I202-2", "Q | F T", RunI202);
