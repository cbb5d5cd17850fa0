// 102-1 [YEAR]: the annual report of staff and total wages; YEAR (default 2012) names the
// workbook's year.

#include "core/report/AnnualWageReport.h"
#include "tools/report/ReportTool.h"

namespace {

bool Run102(qm::reporttool::Run& r) {
    using namespace qm::report;
    if (r.args.size() > 1) throw qm::reporttool::UsageError(QStringLiteral("too many arguments"));
    const QString year = r.args.value(0, AnnualWageReport::kDefaultYear);
    if (!AnnualWageReport::PassGates(r.gates, r.ui)) return false;
    AnnualWageReport report;
    report.Compute(r.db, r.state, r.sheet, r.pb);
    if (r.upload && !report.Upload(r.db, r.ui, r.paths, r.state.DepNo)) return false;
    if (r.xlsx && !AnnualWageReport::Export(r.ui, r.pb, r.paths, r.state, year, r.sheet)) return false;
    return true;
}

}  // namespace

QM_REPORT_FORM("102-1", "[YEAR]", Run102);
