#include "core/staff/DelPersnoStore.h"

#include "core/staff/MonputStore.h"

namespace qm {

void ClearDelScratch(db::Connection& c) { c.Exec(QStringLiteral("delete from Tmp_Del")); }

void StoreDelQuery(db::Connection& c, Month month, const std::vector<DelInput>& input) {
    db::Transaction t(c);
    c.Exec(QStringLiteral("delete from Tmp_Del"));
    const QString sql = QStringLiteral("insert into Tmp_Del(sName,sNumber,sMon,sMemo) values(?,?,?,?)");
    for (const DelInput& in : input) c.Exec(sql, {in.name, in.number, month, in.memo});
    t.Commit();
}

std::vector<DelMatch> DelMatches(db::Connection& c, Month month) {
    db::Query q(c);
    q.Open(QStringLiteral("select s.* from Tmp_Del t inner join Staff_moninfo s"
                          " on t.sMon = s.sMon and t.sNumber = s.sNumber"
                          " where s.sMon=? order by s.id"),
           {month});
    std::vector<DelMatch> out;
    out.reserve(size_t(q.RecordCount()));
    for (q.First(); !q.Eof(); q.Next()) {
        out.push_back(
            {q.FieldByName(QStringLiteral("sName")).AsString(), q.FieldByName(QStringLiteral("sNumber")).AsString(),
             q.FieldByName(QStringLiteral("sTsex")).AsString(), q.FieldByName(QStringLiteral("sBirth")).AsString(),
             q.FieldByName(QStringLiteral("sTEdu")).AsString(), q.FieldByName(QStringLiteral("sGw")).AsString()});
    }
    return out;
}

int DeleteDelMatches(db::Connection& c, Month month) {
    db::Transaction t(c);
    const int n = c.Exec(QStringLiteral("delete from Staff_moninfo where sMon=? and sNumber in"
                                        " (select sNumber from Tmp_Del where sMon=?)"),
                         {month, month});
    c.Exec(QStringLiteral("delete from Tmp_Del"));
    t.Commit();
    return n;
}

int DeleteDelNumber(db::Connection& c, Month month, const QString& number) {
    const QString n = TrimLow(number);
    if (n.isEmpty()) return 0;
    return c.Exec(QStringLiteral("delete from Staff_moninfo where sMon=? and sNumber=?"), {month, n});
}

}  // namespace qm
