// I704 F T and I705 F T: the wage summaries by staff category over months F..T, always
// computed (never a saved copy); X505 and I303-1: the two talent tables. Each passes the
// gates its command and chooser pass, then computes and stores as its window does.

#include "core/report/GidLayouts.h"
#include "core/report/RangeChoice.h"
#include "core/report/TalentSummary.h"
#include "core/report/Upload.h"
#include "core/report/WageSummary.h"
#include "core/report/WorkbookExport.h"
#include "core/sheet/SheetTemplate.h"
#include "tools/report/ReportTool.h"

namespace {

using namespace qm;
using namespace qm::report;

bool RunWage(reporttool::Run& r, GidSummary id) {
    if (r.args.size() != 2) throw reporttool::UsageError(QStringLiteral("F and T are months 1..12"));
    // The command refuses staff errors, the chooser data errors and a bad range.
    const QString staffErrors = r.gates.StaffErrorMonthList();
    if (!staffErrors.isEmpty()) {
        r.ui.Info(staffErrors + QStringLiteral("人员有错误信息，请核对。"));
        return false;
    }
    RangeChoice choice(r.db, r.ui, id == GidSummary::I704 ? RangeChoice::Twin::AB : RangeChoice::Twin::BA);
    if (!choice.LoadMonths() || !choice.CheckMonthErrors()) return false;
    const auto range = choice.CheckRange(r.args[0], r.args[1]);
    if (!range) return false;
    ApplySheetTemplate(r.sheet, id == GidSummary::I704 ? QStringLiteral("i704") : QStringLiteral("i705"));
    SummaryUnit unit;
    if (!RunWageSummary(r.db, r.ui, r.sheet, id, *range, TodayText(), unit)) return false;
    const auto kind = id == GidSummary::I704 ? upload::Kind::WageSummary : upload::Kind::OrganWageSummary;
    if (r.upload && !upload::Run(r.db, r.ui, r.paths, kind, unit.depNo)) return false;
    if (r.xlsx && !ExportWorkbook(r.ui, r.pb, r.paths, WageSummaryLayout(id, *range, unit), r.sheet)) return false;
    return true;
}

bool RunTalent(reporttool::Run& r, GidSummary id) {
    if (!r.args.isEmpty()) throw reporttool::UsageError(QStringLiteral("no arguments"));
    if (id == GidSummary::X505 && !r.gates.Exists(r.db, QStringLiteral("select * from Staff_moninfo where sMon=12"))) {
        r.ui.Info(QStringLiteral("年度数据不全，请保证有年末12月数据。"));
        return false;
    }
    ApplySheetTemplate(r.sheet, id == GidSummary::X505 ? QStringLiteral("x505") : QStringLiteral("i303"));
    SummaryUnit unit;
    if (!RunTalentTable(r.db, r.ui, r.sheet, id, TodayText(), unit)) return false;
    const auto kind = id == GidSummary::X505 ? upload::Kind::TalentSummary : upload::Kind::TalentSurvey;
    if (r.upload && !upload::Run(r.db, r.ui, r.paths, kind, unit.depNo)) return false;
    if (r.xlsx && !ExportWorkbook(r.ui, r.pb, r.paths, TalentLayout(id, unit), r.sheet)) return false;
    return true;
}

}  // namespace

QM_REPORT_FORM("I704", "F T", [](reporttool::Run& r) { return RunWage(r, GidSummary::I704); });
QM_REPORT_FORM("I705", "F T", [](reporttool::Run& r) { return RunWage(r, GidSummary::I705); });
QM_REPORT_FORM("X505", "", [](reporttool::Run& r) { return RunTalent(r, GidSummary::X505); });
QM_REPORT_FORM("I303-1", "", [](reporttool::Run& r) { return RunTalent(r, GidSummary::I303_1); });
