#include "core/db/WageTable.h"

namespace qm {

namespace {
db::Value Bound(const std::optional<QString>& t) { return t ? db::Value(*t) : db::Value(); }
}  // namespace

QString WageTable::InsertSql() {
    return QStringLiteral(
        "insert into Wage_Info (Smon, sNumber, sName, sN1, sN2, sN3, sN4, sN5, sTotal, sFlag, wFlag) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
}

QString WageTable::UpdateSql() {
    return QStringLiteral(
        "update Wage_Info set sN1=?, sN2=?, sN3=?, sN4=?, sTotal=?, wFlag=?, sFlag=?, sNumber=?, sName=? where id=?");
}

void WageTable::Insert(const WageRecord& r) {
    p_.clear();
    p_.emplace_back(r.sMon);
    p_.emplace_back(r.sNumber);
    p_.emplace_back(r.sName);
    for (const db::Value* v : {&r.sN1, &r.sN2, &r.sN3, &r.sN4, &r.sN5, &r.sTotal}) p_.push_back(*v);
    p_.push_back(Bound(r.sFlag));
    p_.push_back(Bound(r.wFlag));
    c_.Exec(InsertSql(), p_);
}

int WageTable::Update(long long id, const WageRecord& r) {
    return c_.Exec(UpdateSql(),
                   {r.sN1, r.sN2, r.sN3, r.sN4, r.sTotal, Bound(r.wFlag), Bound(r.sFlag), r.sNumber, r.sName, id});
}

int WageTable::AcceptTotals(Month m) {
    return c_.Exec(QStringLiteral("update Wage_Info set wFlag='1' where Smon=? and wFlag='0'"), {m});
}

int WageTable::DeleteMonth(Month m) { return c_.Exec(QStringLiteral("delete from Wage_Info where Smon=?"), {m}); }

int WageTable::DeleteRow(long long id) { return c_.Exec(QStringLiteral("delete from Wage_Info where id=?"), {id}); }

int WageTable::DeleteAll() { return c_.Exec(QStringLiteral("delete from Wage_Info")); }

}  // namespace qm
