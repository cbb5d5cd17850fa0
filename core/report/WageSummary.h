#pragma once
// The wage summaries by staff category, I704 (enterprises and institutions, 40 lines) and I705
// (government organs, 21 lines), without their forms: the counts at the range's last month,
// the average headcount and the wage total of the range, the remainder lines of the wage
// column, the group averages, the stored rows of Total_Info and the range's saved copy.

#include "core/report/GidMatrix.h"
#include "core/report/RangeChoice.h"

#include <QDate>
#include <QString>

#include <functional>

#include <vector>

namespace qm {
class TSheetBook;
class UiService;
}  // namespace qm

namespace qm::report {

// line := minuend − each of the subtrahends (whole thousands as shown).
struct Remainder {
    int gid;
    int minuend;
    std::vector<int> subtrahends;
};
// line := the sum of its members' shown averages.
struct GroupAverage {
    int gid;
    std::vector<int> members;
};

struct WageSummaryShape {
    GidSummary id;
    bool writesUnitName;          // frmc (I704 only)
    bool averageFromMonthBefore;  // I705: months from−1..to (the start-of-period list for from = 1), ÷ (count + 1)
    std::vector<Remainder> remainders;  // in the order they are worked out
    std::vector<GroupAverage> groups;   // in the order they are worked out
    const GidMatrixLayout& Layout() const { return LayoutOf(id); }
    int Lines() const { return LayoutOf(id).LineCount(); }
};

const WageSummaryShape& ShapeOf(GidSummary s);  // I704 or I705

// The unit as the summaries name it: the first row of Dep_Info, whatever its flag.
struct SummaryUnit {
    QString depNo;
    QString depName;
};
SummaryUnit FirstUnitRow(db::Connection& c);

// Staff rows with errors the summary must refuse: months 1..12 (I704, I705, X505) or the
// start-of-period list (Ⅰ303-1).
bool HasStaffErrors(db::Connection& c, bool startOfPeriodOnly);
inline const QString kRefusalText = QStringLiteral("你没有<审核>数据及<存储>，无法进行统计汇总。");

struct WageSummaryFigures {
    CountGrid counts;                  // [gid-1][column-1], -1 where not computed
    std::vector<long long> average;    // column 10 as shown and stored (groups replaced)
    std::vector<long long> wage;       // column 11 as stored: the line's own total, thousand yuan
    std::vector<long long> wageShown;  // column 11 as shown: remainder lines show their remainder
};

// Works the figures out; reads only. A line's wage total beyond what the report holds
// refuses (Refused), naming the line by `lineName` (its label and code) when given.
WageSummaryFigures ComputeWageSummary(db::Connection& c, const WageSummaryShape& shape, const MonthRange& range,
                                      const std::function<QString(int gid)>& lineName = {});

// Writes rows 1..n of Total_Info and refills the range's copy, in one transaction.
void StoreWageSummary(db::Connection& c, const WageSummaryShape& shape, const MonthRange& range,
                      const WageSummaryFigures& f, const SummaryUnit& unit, const QString& dateText);

// The copy "Total_<from>_<to>": created with Total_Info's own columns when absent; otherwise
// emptied and refilled with the 14 columns (not frmc). Rows Gid 1..lines.
void SaveRangeCopy(db::Connection& c, const QString& name, int lines);

// The sheet cells of the figures: row gid + 3, column c + 2.
void WriteWageSummary(TSheetBook& sheet, const WageSummaryFigures& f);
// A saved copy shown as it is stored: G11..G21 as text, an empty G14 as "--".
void WriteSavedCopy(TSheetBook& sheet, db::Connection& c, const QString& name);

// The day's date as the result tables keep it (Tdate), "2026-12-09".
QString TodayText();

// The computation as the form runs it: the unit (first Dep_Info row) into `unit`; staff rows
// with errors refuse (the message, false, nothing written); else the figures go into the
// sheet, Total_Info and the range's copy.
bool RunWageSummary(db::Connection& c, UiService& ui, TSheetBook& sheet, GidSummary id, const MonthRange& r,
                    const QString& dateText, SummaryUnit& unit);

// The period line above the sheet: computed "统计月份：1月 至 3月", saved "统计月份：1月 至 3 月"
// for I704; the organ form has the two the other way round.
QString PeriodLabel(GidSummary id, const MonthRange& r, bool saved);

// The three ranges whose figures may be uploaded: 1–6, 1–12 and 6–12.
bool UploadableRange(const MonthRange& r);

}  // namespace qm::report
