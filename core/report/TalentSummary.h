#pragma once
// The two talent tables without their forms: X505 (year-end talent resources, the month-12 list,
// 17 rows × 16 columns into Total_baseInfo) and Ⅰ303-1 (start-of-period talent survey, the
// month-0 list, 40 lines × 9 columns into Total_Info).

#include "core/report/GidMatrix.h"
#include "core/report/WageSummary.h"

namespace qm {
class TSheetBook;
class UiService;
}  // namespace qm

namespace qm::report {

struct TalentShape {
    GidSummary id;
    int month;            // the counted list: 12 or 0
    bool writesUnitName;  // frmc (X505 only)
    int sheetColOffset;   // sheet column = report column + offset
    const GidMatrixLayout& Layout() const { return LayoutOf(id); }
};

const TalentShape& TalentShapeOf(GidSummary s);  // X505 or I303_1

CountGrid ComputeTalentTable(db::Connection& c, const TalentShape& shape);
// Rows 1..n of the result table, computed cells only, in one transaction.
void StoreTalentTable(db::Connection& c, const TalentShape& shape, const CountGrid& counts, const SummaryUnit& unit,
                      const QString& dateText);
// Computed cells only: a skipped cell keeps the template's text.
void WriteTalentTable(TSheetBook& sheet, const TalentShape& shape, const CountGrid& counts);

// The computation as the form runs it: the unit into `unit`; staff rows with errors in the
// counted scope (months 1..12 for X505, the start-of-period list for Ⅰ303-1) refuse (the
// message, false, nothing written); else the counts go into the sheet and the result table.
bool RunTalentTable(db::Connection& c, UiService& ui, TSheetBook& sheet, GidSummary id, const QString& dateText,
                    SummaryUnit& unit);

}  // namespace qm::report
