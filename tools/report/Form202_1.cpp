// 202-1 Q: the quarterly report of staff and total wages for quarter Q (1..3; 4, the months up
// to 12, which no window offers, is the benchmark's largest period).

#include "core/report/QuarterWageReport.h"
#include "tools/report/ReportTool.h"

namespace {

bool Run202(qm::reporttool::Run& r) {
    using namespace qm::report;
    bool ok = false;
    const int q = r.args.value(0).toInt(&ok);
    if (r.args.size() != 1 || !ok || q < 1 || q > 4)
        throw qm::reporttool::UsageError(QStringLiteral("Q must be 1, 2, 3 or 4"));
    QuarterWageReport report = q == 4 ? QuarterWageReport::ToYearEnd() : QuarterWageReport(qm::Quarter(q));
    if (!report.PassGates(r.gates, r.ui)) return false;
    report.Compute(r.db, r.state, r.sheet, r.pb);
    if (r.upload && !report.Upload(r.db, r.ui, r.paths, r.state.DepNo)) return false;
    if (r.xlsx && !ExportWorkbook(r.ui, r.pb, r.paths, report.Layout(r.state), r.sheet)) return false;
    return true;
}

}  // namespace

QM_REPORT_FORM("202-1", "Q", Run202);
