#include "core/unit/Gates.h"

#include "core/base/TextCheck.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/db/MonthFingerprint.h"
#include "core/db/Schema.h"
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"

#include "core/unit/UnitInfo.h"

#include <algorithm>

namespace qm {

// Only whether a row exists: a query reads all its rows into memory, and a unit of
// sixteen thousand persons must not be read whole to learn that.
bool Gates::Exists(db::Connection& c, const QString& sql, const db::Params& params) {
    db::Query q(c);
    q.Open(sql + QStringLiteral(" limit 1"), params);
    return !q.Eof();
}

namespace {
bool HasRows(db::Connection& c, const QString& sql, const db::Params& params = {}) {
    return Gates::Exists(c, sql, params);
}

// The months of a one-column grouped query, in the order returned, as stored.
QStringList Months(db::Connection& c, const QString& sql, const db::Params& params = {}) {
    db::Query q(c);
    q.Open(sql, params);
    QStringList out;
    for (; !q.Eof(); q.Next()) out << q.Fields(0).AsString().trimmed();
    return out;
}

// The highest stored wage month as a month; the wage saves and the import write 0..12 only.
Month WageMonthOf(long long n) { return Month(int(std::clamp<long long>(n, Month::kFirst, Month::kLast))); }

}  // namespace

bool Gates::LoadUnitInfo() {
    const std::optional<UnitRecord> u = unit::Load(db_);
    if (!u) return false;
    state_.DepNo = u->DepNo;
    state_.DepName = u->DepName;
    state_.DepClass = u->DepClass;
    state_.DepType = u->DepType;
    state_.DepInfo = u->DepInfo;
    state_.CreateMon = u->CreateMon;
    return true;
}

bool Gates::CheckMonthStaffList(Month m) {
    if (HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=?"), {m})) return true;
    if (ui_.MessageDlg(QStringLiteral("必须先核实") + m.Text() + QStringLiteral("月名单！"), DlgKind::Confirmation,
                       DlgButtons::YesOnly) == DlgAnswer::Yes &&
        openMonthStaffList)
        openMonthStaffList(m);
    return false;
}

bool Gates::CheckPreviousMonth(Month p) {
    const std::optional<UnitRecord> u = unit::Load(db_);
    // The month being opened is the founding month: nothing before it to check.
    if (u && u->CreateMon.IsBefore(p)) {
        // The month after it opens for wages, and no month that holds wages falls above the
        // last: a wage sheet of such a month would open empty over stored rows.
        Month last = p.Next().value_or(Month::YearEnd());
        if (const std::optional<int> stored = WageTable(db_).LastMonth(); stored && WageMonthOf(*stored) > last)
            last = WageMonthOf(*stored);
        state_.MaxWageMonth = last;
        return true;
    }
    bool ok = true;
    if (HasRows(db_, QStringLiteral("select * from Wage_Info where Smon=? and ") + WageErrorRows(), {p})) {
        ok = false;
        ui_.ConfirmYesOnly(QStringLiteral("必须先核实") + p.Text() +
                           QStringLiteral("月[工资]数据，否则无法进行本月操作！"));
    }
    if (HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=? and ") + StaffErrorRows(), {p})) {
        ok = false;
        ui_.ConfirmYesOnly(QStringLiteral("必须先核实") + p.Text() +
                           QStringLiteral("月[人员]数据，否则无法进行本月操作！"));
    }
    return ok;
}

bool Gates::CheckMonthDataErrors(Month m) {
    // SQLite does not promise the order of grouped rows: ask for it.
    const QStringList staff = Months(db_,
                                     QStringLiteral("select sMon from Staff_moninfo where sMon<=? and ") +
                                         StaffErrorRows() + QStringLiteral(" group by sMon order by sMon"),
                                     {m});
    if (!staff.isEmpty()) {
        QString list;
        for (const QString& s : staff)
            list += s == QStringLiteral("0") ? QStringLiteral("期初中,") : s + QStringLiteral("月份,");
        ui_.Info(list + QStringLiteral("有人员数据错误，请纠正。"));
        Abort();
    }
    const QStringList wage = Months(db_,
                                    QStringLiteral("select sMon from Wage_Info where Smon<=? and ") + WageErrorRows() +
                                        QStringLiteral(" group by sMon order by sMon"),
                                    {m});
    if (!wage.isEmpty()) {
        QString list;
        for (const QString& s : wage) list += s + QStringLiteral("月份,");
        ui_.Info(list + QStringLiteral("有工资数据错误，请纠正。"));
        Abort();
    }
    if (const QString twice = NumberTwiceRefusal(db_, Month::Start(), m); !twice.isEmpty()) {
        ui_.Info(twice);
        Abort();
    }
    return HasRows(db_, QStringLiteral("select * from VmonWage where Smon=?"), {m});
}

bool Gates::HasMonthData(Month m) {
    return HasRows(db_, QStringLiteral("select sMon from Staff_moninfo where sMon=? and  sIsok='1' group by sMon"),
                   {m}) ||
           HasRows(db_, QStringLiteral("select sMon from Wage_Info where Smon=? and  wFlag='0' group by sMon"), {m}) ||
           HasRows(db_, QStringLiteral("select * from VmonWage where Smon=?"), {m});
}

MonthMenuPlan Gates::PlanMonthMenus() {
    MonthMenuPlan plan;
    // No unit, or one not founded this year, opens the year from January.
    const std::optional<UnitRecord> u = unit::Load(db_);
    const int founded = u && u->CreateMon.before ? u->CreateMon.before->Number() : -1;

    const bool wages = HasRows(db_, QStringLiteral("select * from Wage_Info"));
    int maxMonth = 0;
    if (wages) {
        db::Query q(db_);
        q.Open(QStringLiteral("select Max(CInt(sMon)) as num  from Wage_Info"));
        if (!q.Eof() && !q.Fields(0).IsNull()) maxMonth = int(q.Fields(0).AsInteger());
    }
    if (founded >= 0) {
        const int f = founded;
        plan.enabled[size_t(f + 1)] = true;
        plan.maxWageMonth = WageMonthOf(maxMonth);
        for (int k = f; k <= maxMonth && k + 1 <= 12; ++k) plan.enabled[size_t(k + 1)] = true;
    } else if (wages) {
        plan.maxWageMonth = WageMonthOf(maxMonth);
        if (maxMonth >= 1)
            for (int k = 1; k <= maxMonth + 1 && k <= 12; ++k) plan.enabled[size_t(k)] = true;
    } else {
        plan.enabled[1] = true;
        plan.maxWageMonth = Month::Start();
    }
    return plan;
}

bool Gates::HasInitialData() { return HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=0")); }

QString Gates::StaffErrorMonthList() {
    QString list;
    for (const QString& s : Months(db_, QStringLiteral("select sMon from Staff_moninfo where ") + StaffErrorRows() +
                                            QStringLiteral(" group by sMon order by sMon")))
        list += s == QStringLiteral("0") ? QStringLiteral("年初,") : s + QStringLiteral("月度,");
    return list;
}

QString Gates::PeriodRefusal(Month e, bool testStaffList) {
    if (testStaffList && !HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=?"), {e})) {
        static const char16_t* names[] = {u"一", u"二", u"三"};
        const int q = e.Number() / 3 - 1;
        if (q < 0 || q > 2) return {};
        return QString::fromUtf16(names[q]) + QStringLiteral("季度数据不全，请保证具有1-") + e.Text() +
               QStringLiteral("月的工资数据！");
    }
    const QStringList wage = Months(db_,
                                    QStringLiteral("select smon from Wage_Info where sMon<=? and ") + WageErrorRows() +
                                        QStringLiteral(" group by smon order by smon"),
                                    {e});
    if (!wage.isEmpty())
        return QStringLiteral("[") + wage.join(QLatin1Char(',')) + QStringLiteral("]月有工资错误信息，请核查!");
    return NumberTwiceRefusal(db_, Month::Start(), e);
}

namespace {

QString TextOf(const std::string& bytes) { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); }

// "“甲”和“乙”的姓名编号都是“1”": the two rows' persons and their number, as stored, shown readable.
QString PersonsOf(const db::NumberTwice& t) {
    return QuotedText(TextOf(t.names[0]).trimmed()) + QStringLiteral("和") + QuotedText(TextOf(t.names[1]).trimmed()) +
           QStringLiteral("的姓名编号都是") + QuotedText(TextOf(t.number));
}

QString StaffTwiceText(const db::NumberTwice& t) {
    const QString list =
        t.month == 0 ? QStringLiteral("期初名单") : QString::number(t.month) + QStringLiteral("月名单");
    return QStringLiteral(
               "%1中%2。同一名单中的姓名编号不能重复，否则报表会把该编号的工资统计两次；请在%1中改正后再统计。")
        .arg(list, PersonsOf(t));
}

QString WageTwiceText(const db::NumberTwice& t) {
    return QStringLiteral(
               "%1月工资中%2。同一月份的工资中姓名编号不能重复，否则报表会把该编号的工资统计两次；"
               "请在%1月工资过录表中改正后再统计。")
        .arg(QString::number(t.month), PersonsOf(t));
}

// The last answers, each for one connection's opening and months, with the stamp of the lists
// and wages it was found at: while that stands, nothing they hold has changed and the answer
// holds. A report's own result leaves the stamp as it was.
struct NumberCheck {
    Month from, to;
    db::WriteStamp stamp;
    QString refusal;
};
constexpr size_t kChecksKept = 8;
thread_local std::vector<NumberCheck> checks;

}  // namespace

QString Gates::NumberTwiceRefusal(db::Connection& c, Month from, Month to) {
    const db::WriteStamp stamp = db::StampOf(c, {"Staff_moninfo", "Wage_Info"});
    for (const NumberCheck& k : checks)
        if (k.stamp == stamp && k.from == from && k.to == to) return k.refusal;
    QStringList found;
    if (const auto twice = StaffTable(c).FirstNumberTwice(from, to)) found << StaffTwiceText(*twice);
    // The wages of the months the reports read: a start-of-period list has none.
    if (const auto twice = WageTable(c).FirstNumberTwice(from.IsStart() ? Month(1) : from, to))
        found << WageTwiceText(*twice);
    if (checks.size() == kChecksKept) checks.erase(checks.begin());
    checks.push_back({from, to, stamp, found.join(QLatin1Char('\n'))});
    return checks.back().refusal;
}

}  // namespace qm
