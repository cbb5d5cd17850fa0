#include "core/unit/Headcount.h"

#include "core/db/Db.h"

namespace qm {

int Headcount::FirstNonDigit(const QString& text) {
    const QString t = text.trimmed();
    for (int i = 0; i < t.size(); ++i)
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9')) return i;
    return -1;
}

long long Headcount::CountStaffInfo() {
    db::Query q(c_);
    q.Open(QStringLiteral("select count(*) as num from Staff_Info"));
    return q.FieldByName(QStringLiteral("num")).AsInteger();
}

void Headcount::Store(const QString& depNo, const QString& value) {
    if (!IsAcceptable(value)) throw db::Error(QStringLiteral("非法数字，请核实！"));
    db::Transaction t(c_);
    c_.Exec(QStringLiteral("delete from Initial_Info"));
    c_.Exec(QStringLiteral("insert into Initial_Info(DepNo,sInitial) values(?,?)"), {depNo.trimmed(), value.trimmed()});
    t.Commit();
}

}  // namespace qm
