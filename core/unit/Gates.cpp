#include "core/unit/Gates.h"

#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/base/UiService.h"

#include <stdexcept>

namespace qm {

namespace {

}  // namespace

// Only whether a row exists: a query reads all its rows into memory, and a unit of
// sixteen thousand persons must not be read whole to learn that.
bool Gates::Exists(db::Connection& c, const QString& sql) {
    db::Query q(c);
    q.Open(sql + QStringLiteral(" limit 1"));
    return !q.Eof();
}

namespace {
bool HasRows(db::Connection& c, const QString& sql) { return Gates::Exists(c, sql); }

// The months of a one-column grouped query, in the order returned.
QStringList Months(db::Connection& c, const QString& sql) {
    db::Query q(c);
    q.Open(sql);
    QStringList out;
    for (; !q.Eof(); q.Next()) out << q.Fields(0).AsString().trimmed();
    return out;
}

}  // namespace

QString MonthSql(const QString& m) {
    bool ok = false;
    const int v = m.trimmed().toInt(&ok);
    if (!ok || v < 0 || v > 12) throw std::invalid_argument("月份无效：" + m.toStdString());
    return QString::number(v);
}

bool Gates::LoadUnitInfo() {
    db::Query q(db_);
    q.Open(QStringLiteral("select * from Dep_Info where flag='1'"));
    if (q.Eof()) return false;
    state_.DepNo = q.FieldByName(QStringLiteral("DepNo")).AsString();
    state_.DepName = q.FieldByName(QStringLiteral("DepName")).AsString();
    state_.DepType = q.FieldByName(QStringLiteral("DepType")).AsString();
    state_.DepInfo = q.FieldByName(QStringLiteral("DepInfo")).AsString().trimmed();
    state_.CreateMon = q.FieldByName(QStringLiteral("CreateMon")).AsString().trimmed();
    return true;
}

QString Gates::StoredCreateMon(bool* found) {
    db::Query q(db_);
    q.Open(QStringLiteral("select * from Dep_Info where Flag='1'"));
    if (found) *found = !q.Eof();
    return q.Eof() ? QString() : q.FieldByName(QStringLiteral("CreateMon")).AsString().trimmed();
}

bool Gates::CheckMonthStaffList(const QString& m) {
    const QString mon = MonthSql(m);
    if (HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=") + mon)) return true;
    if (ui_.MessageDlg(QStringLiteral("必须先核实") + mon + QStringLiteral("月名单！"), DlgKind::Confirmation,
                       DlgButtons::YesOnly) == DlgAnswer::Yes &&
        openMonthStaffList)
        openMonthStaffList();
    return false;
}

bool Gates::CheckPreviousMonth(const QString& p) {
    const QString prev = MonthSql(p);
    const QString c = StoredCreateMon();
    // The month being opened is the founding month: nothing before it to check.
    if (c != QStringLiteral("99") && c == prev) {
        state_.MaxWageMonth = QString::number(c.toInt() + 1);
        return true;
    }
    bool ok = true;
    if (HasRows(db_, QStringLiteral("select * from Wage_Info where Smon=") + prev +
                         QStringLiteral(" and (sFlag='0' or wFlag='0')"))) {
        ok = false;
        ui_.ConfirmYesOnly(QStringLiteral("必须先核实") + prev + QStringLiteral("月[工资]数据，否则无法进行本月操作！"));
    }
    if (HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=") + prev +
                         QStringLiteral(" and sIsOk='0'"))) {
        ok = false;
        ui_.ConfirmYesOnly(QStringLiteral("必须先核实") + prev + QStringLiteral("月[人员]数据，否则无法进行本月操作！"));
    }
    return ok;
}

bool Gates::CheckMonthDataErrors(const QString& m) {
    const QString mon = MonthSql(m);
    // SQLite does not promise the order of grouped rows: ask for it.
    const QStringList staff = Months(db_, QStringLiteral("select sMon from Staff_moninfo where sMon<=") + mon +
                                              QStringLiteral(" and  sIsok='0' group by sMon order by sMon"));
    if (!staff.isEmpty()) {
        QString list;
        for (const QString& s : staff)
            list += s == QStringLiteral("0") ? QStringLiteral("期初中,") : s + QStringLiteral("月份,");
        ui_.Info(list + QStringLiteral("有人员数据错误，请纠正。"));
        Abort();
    }
    const QStringList wage = Months(db_, QStringLiteral("select sMon from Wage_Info where Smon<=") + mon +
                                             QStringLiteral(" and  (wFlag='0' or sFlag='0') group by sMon order by sMon"));
    if (!wage.isEmpty()) {
        QString list;
        for (const QString& s : wage) list += s + QStringLiteral("月份,");
        ui_.Info(list + QStringLiteral("有工资数据错误，请纠正。"));
        Abort();
    }
    return HasRows(db_, QStringLiteral("select * from VmonWage where Smon in(") + mon + QStringLiteral(")"));
}

bool Gates::HasMonthData(const QString& m) {
    const QString mon = MonthSql(m);
    return HasRows(db_, QStringLiteral("select sMon from Staff_moninfo where sMon=") + mon +
                            QStringLiteral(" and  sIsok='1' group by sMon")) ||
           HasRows(db_, QStringLiteral("select sMon from Wage_Info where Smon=") + mon +
                            QStringLiteral(" and  wFlag='0' group by sMon")) ||
           HasRows(db_, QStringLiteral("select * from VmonWage where Smon in(") + mon + QStringLiteral(")"));
}

MonthMenuPlan Gates::PlanMonthMenus() {
    MonthMenuPlan plan;
    bool unit = false;
    QString c = StoredCreateMon(&unit);
    if (!unit) c = QStringLiteral("99");
    // The unit form writes "99" or "0".."11"; any other stored text counts as "not founded this year".
    bool ok = false;
    const int founded = c.toInt(&ok);
    if (c != QStringLiteral("99") && (!ok || founded < 0 || founded > 11)) c = QStringLiteral("99");

    const bool wages = HasRows(db_, QStringLiteral("select * from Wage_Info"));
    int maxMonth = 0;
    if (wages) {
        db::Query q(db_);
        q.Open(QStringLiteral("select Max(CInt(sMon)) as num  from Wage_Info"));
        if (!q.Eof() && !q.Fields(0).IsNull()) maxMonth = int(q.Fields(0).AsInteger());
    }
    if (c != QStringLiteral("99")) {
        plan.enabled[size_t(founded + 1)] = true;
        plan.maxWageMonth = QString::number(maxMonth);
        for (int k = founded; k <= maxMonth && k + 1 <= 12; ++k) plan.enabled[size_t(k + 1)] = true;
    } else if (wages) {
        plan.maxWageMonth = QString::number(maxMonth);
        if (maxMonth >= 1)
            for (int k = 1; k <= maxMonth + 1 && k <= 12; ++k) plan.enabled[size_t(k)] = true;
    } else {
        plan.enabled[1] = true;
        plan.maxWageMonth = QStringLiteral("0");
    }
    return plan;
}

bool Gates::HasInitialData() { return HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=0")); }

QString Gates::StaffErrorMonthList() {
    QString list;
    for (const QString& s : Months(db_, QStringLiteral("select sMon from Staff_moninfo where sIsok='0' group by sMon order by sMon")))
        list += s == QStringLiteral("0") ? QStringLiteral("年初,") : s + QStringLiteral("月度,");
    return list;
}

QString Gates::PeriodRefusal(int e, bool testStaffList) {
    const QString end = MonthSql(QString::number(e));
    if (testStaffList && !HasRows(db_, QStringLiteral("select * from Staff_moninfo where sMon=") + end)) {
        static const char16_t* names[] = {u"一", u"二", u"三"};
        const int q = e / 3 - 1;
        if (q < 0 || q > 2) return {};
        return QString::fromUtf16(names[q]) + QStringLiteral("季度数据不全，请保证具有1-") + end +
               QStringLiteral("月的工资数据！");
    }
    const QStringList wage =
        Months(db_, QStringLiteral("select smon from Wage_Info where sMon<=") + end +
                        QStringLiteral(" and (sflag='0' or wflag='0') group by smon order by smon"));
    if (!wage.isEmpty()) return QStringLiteral("[") + wage.join(QLatin1Char(',')) + QStringLiteral("]月有工资错误信息，请核查!");
    return {};
}

QString Gates::UnitClassText(const QString& depType, const QString& depInfo) {
    if (depType.trimmed() == QStringLiteral("机关单位")) return QStringLiteral("机关单位");
    const QString i = depInfo.trimmed();
    if (i == QStringLiteral("规上")) return QStringLiteral("规模以上工业单位");
    if (i == QStringLiteral("否")) return QStringLiteral("其他企业事业单位");
    if (i == QStringLiteral("是1")) return QStringLiteral("有总承包和专业承包资质的建筑业单位");
    if (i == QStringLiteral("是2")) return QStringLiteral("有劳务分包资质的建筑业单位");
    return {};
}

}  // namespace qm
