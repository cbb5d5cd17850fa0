#pragma once
// What the two month-range choosers (TFrm_chooseAB, TFrm_chooseBA) decide, without their
// widgets: the months offered, the three month-error checks with their messages, the range
// check, the name of a range's saved copy and whether that copy is the one to show.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qm {
class UiService;
namespace db {
class Connection;
}
}  // namespace qm

namespace qm::report {

// The refusal of a month field that is no whole number 1..12, and of a start after the end.
inline const QString kBadRangeText = QStringLiteral("开始、截止月份错误!");
inline const QString kNoMonthsText = QStringLiteral("没有输入月工资信息！");
inline const QString kRecomputeQuestion = QStringLiteral("已经有汇总数据，是否重新汇总？");

struct MonthRange {
    int from = 0;
    int to = 0;
    int MonthCount() const { return to - from + 1; }
    QString From() const { return QString::number(from); }
    QString To() const { return QString::number(to); }
};

// "Total_<from>_<to>": the saved copy of a wage summary; "JLabor_<from>_<to>" for the
// period labour report.
QString SummaryCopyName(const MonthRange& r);
QString PeriodCopyName(const MonthRange& r);

// Whether the saved copy `name` exists (case-blind) and holds exactly `lines` rows. A copy
// the other wage summary wrote (21 against 40 lines) counts as absent: showing it would
// leave lines empty or write past the sheet.
bool UsableCopy(db::Connection& c, const QString& name, int lines);

class RangeChoice {
public:
    // The enterprise chooser (AB) also refuses wage errors inside the chosen range; the
    // organ chooser (BA) tests only the order of the two months.
    enum class Twin { AB, BA };

    RangeChoice(db::Connection& c, UiService& ui, Twin twin) : c_(c), ui_(ui), twin_(twin) {}

    // The months that have a staff list, ascending, as the combos list them. None: the
    // stop box "没有输入月工资信息！" and false.
    bool LoadMonths();
    const QStringList& Months() const { return months_; }

    // The three checks, each with its Yes-only box naming the months in ascending order, and a
    // monthly list or wage month that holds one number twice (Gates::NumberTwiceRefusal); all
    // run. True when none found a month.
    bool CheckMonthErrors();

    // The two fields: both months 1..12 as a month field writes them, from not after to, and
    // (AB) no wage row with an error inside the range. Refusals show their box and answer
    // none. Only months that passed here ever become part of a table name.
    std::optional<MonthRange> CheckRange(const QString& fromText, const QString& toText);

    // The flag for the summary form: true (compute) when no usable copy of the range exists
    // or the person answers Yes to "已经有汇总数据，是否重新汇总？"; false shows the copy.
    bool RecomputeFlag(const QString& copyName, int lines);

private:
    db::Connection& c_;
    UiService& ui_;
    Twin twin_;
    QStringList months_;
};

}  // namespace qm::report
