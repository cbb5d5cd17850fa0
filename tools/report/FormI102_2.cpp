// I102-2: the annual labour report, as its command opens it.

#include "core/report/AnnualLabourReport.h"
#include "core/report/WorkbookExport.h"
#include "tools/report/ReportTool.h"

namespace {

bool RunI102(qm::reporttool::Run& r) {
    using namespace qm::report;
    if (!r.args.isEmpty()) throw qm::reporttool::UsageError(QStringLiteral("I102-2 takes no arguments"));
    const QString refusal = r.gates.PeriodRefusal(qm::Month::YearEnd(), false);
    if (!refusal.isEmpty()) {
        r.ui.Info(refusal);
        return false;
    }
    AnnualLabourReport report;
    report.Compute(r.db, r.state, r.sheet, r.pb);
    if (r.upload && !report.Upload(r.db, r.ui, r.paths, r.state.DepNo)) return false;
    if (r.xlsx && !ExportWorkbook(r.ui, r.pb, r.paths, report.Layout(r.state), r.sheet)) return false;
    return true;
}

}  // namespace

QM_REPORT_FORM("I102-2", "", RunI102);
