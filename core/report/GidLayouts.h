#pragma once
// The workbook layouts of the four Gid-matrix summaries, as data for the shared export.

#include "core/report/RangeChoice.h"
#include "core/report/WageSummary.h"
#include "core/report/WorkbookExport.h"

namespace qm::report {

// XLS/工资<from>_<to> for both wage summaries.
QString WageSummaryStem(const MonthRange& r);
ExportLayout WageSummaryLayout(GidSummary id, const MonthRange& r, const SummaryUnit& unit);

// XLS/汇总表 (X505) and XLS/汇总 (Ⅰ303-1).
QString TalentStem(GidSummary id);
ExportLayout TalentLayout(GidSummary id, const SummaryUnit& unit);

}  // namespace qm::report
