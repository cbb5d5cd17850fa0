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
    std::vector<DelMatch> out;
    for (const StaffRecord& r : StaffTable(c).ReadListed(month, QStringLiteral("Tmp_Del")))
        out.push_back({r.sName, r.sNumber, r.Text(StaffAttr::Sex).value_or(QString()), r.sBirth.value_or(QString()),
                       r.Text(StaffAttr::Edu).value_or(QString()), r.sGw.value_or(QString())});
    return out;
}

int DeleteDelMatches(db::Connection& c, Month month) {
    db::Transaction t(c);
    const int n = StaffTable(c).DeleteListed(month, QStringLiteral("Tmp_Del"));
    c.Exec(QStringLiteral("delete from Tmp_Del"));
    t.Commit();
    return n;
}

int DeleteDelNumber(db::Connection& c, Month month, const QString& number) {
    const QString n = RtlTrim(number);
    if (n.isEmpty()) return 0;
    return StaffTable(c).DeleteNumber(month, n);
}

}  // namespace qm
