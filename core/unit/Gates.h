#pragma once
// The gates every main-window command passes before it opens a form: the unit, the
// previous month, the month's staff list, error rows and month data; and the two menu
// computations (which month items are open, whether a start-of-period list exists).
// Plain logic over the connection, the state and the message service.

#include "core/base/AppContext.h"
#include "core/db/Db.h"

#include <QString>

#include <array>
#include <functional>

namespace qm {

namespace db {
class Connection;
}
class UiService;

// Which of the twelve month items of "工资录入" are enabled (index 1..12; 0 unused).
struct MonthMenuPlan {
    std::array<bool, 13> enabled{};
    Month maxWageMonth;
};

class Gates {
public:
    Gates(db::Connection& db, MainState& state, UiService& ui) : db_(db), state_(state), ui_(ui) {}

    // Opens the monthly staff list (TFrm_monput) of the month without waiting; set by the main window.
    std::function<void(Month)> openMonthStaffList;

    // The unit gate: loads the Flag='1' row into the state; false (and nothing changed) without one.
    bool LoadUnitInfo();
    // The month-list gate: the month has staff rows; else offers the monthly staff list.
    bool CheckMonthStaffList(Month m);
    // The previous-month gate, p being the month before the one opened.
    bool CheckPreviousMonth(Month p);
    // Error rows up to month m, or a list or wage month up to m that holds one number twice:
    // shows them and stops the command silently; else whether the month has wage rows on its
    // staff list.
    bool CheckMonthDataErrors(Month m);
    // Whether month m has any data at all (no message).
    bool HasMonthData(Month m);

    // Month items to enable from the founding month and the highest wage month.
    MonthMenuPlan PlanMonthMenus();
    // Whether a start-of-period list exists ("工资录入" and "数据汇总" are enabled then).
    bool HasInitialData();

    // The wage summaries' refusal: "年初,3月度," for the months with staff error rows, empty when none.
    QString StaffErrorMonthList();
    // The period check of the labour reports for end month e: the refusal text, empty when the
    // period may be reported. The staff-list test is skipped for the annual report. A list or
    // a wage month up to e that holds one number twice refuses the period too.
    QString PeriodRefusal(Month e, bool testStaffList);

    // The first month from..to whose staff list carries one stored number on two rows, and the
    // first such month of the wages, each named with the number and its two persons; empty when
    // there is none. Every wage row of such a number would count twice in the reports (the saves
    // refuse such lists; an older backup or a file changed outside the program may still hold
    // one). Found again only when the lists or the wages were written since the last answer.
    static QString NumberTwiceRefusal(db::Connection& c, Month from, Month to);

    // Whether a query returns any row (reads at most one).
    static bool Exists(db::Connection& c, const QString& sql, const db::Params& params = {});

private:
    db::Connection& db_;
    MainState& state_;
    UiService& ui_;
};

}  // namespace qm
