#include "core/db/WageTable.h"

#include "core/db/Raw.h"

#include <sqlite3.h>

namespace qm {

namespace {
db::Value Bound(const std::optional<QString>& t) { return t ? db::Value(*t) : db::Value(); }

std::optional<QString> TextAt(sqlite3_stmt* st, int i) {
    if (sqlite3_column_type(st, i) == SQLITE_NULL) return std::nullopt;
    return db::ColumnValue(st, i).AsString();
}
}  // namespace

namespace {
const char kReadColumns[] = "id, Smon, sNumber, sName, sN1, sN2, sN3, sN4, sN5, sTotal, sFlag, wFlag";
constexpr int kReadCount = 12;
}  // namespace

QStringList WageTable::InsertColumns() {
    return {QStringLiteral("Smon"),   QStringLiteral("sNumber"), QStringLiteral("sName"), QStringLiteral("sN1"),
            QStringLiteral("sN2"),    QStringLiteral("sN3"),     QStringLiteral("sN4"),   QStringLiteral("sN5"),
            QStringLiteral("sTotal"), QStringLiteral("sFlag"),   QStringLiteral("wFlag")};
}

QString WageTable::InsertSql() {
    const QStringList cols = InsertColumns();
    return QStringLiteral("insert into Wage_Info (%1) values (%2)")
        .arg(cols.join(QStringLiteral(", ")), QStringList(cols.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

QString WageTable::UpdateSql() {
    return QStringLiteral(
        "update Wage_Info set sN1=?, sN2=?, sN3=?, sN4=?, sTotal=?, wFlag=?, sFlag=?, sNumber=?, sName=? where id=?");
}

namespace {
// The columns a read returns, in its order: the id first, as a fingerprint of the month covers them.
QStringList ReadColumns() {
    QStringList cols;
    for (const QString& c : QString::fromLatin1(kReadColumns).split(u',')) cols << c.trimmed();
    return cols;
}
}  // namespace

WageTable::WageTable(db::Connection& c) : db::MonthSource(c, "Wage_Info", "Smon", ReadColumns()), c_(c) {}
WageTable::~WageTable() = default;

db::Statement& WageTable::Inserts() {
    if (!insert_) insert_ = std::make_unique<db::Statement>(c_, InsertSql());
    return *insert_;
}

void WageTable::Insert(const WageRecord& r) {
    db::Statement& st = Inserts();
    st.Add(r.sMon).Add(r.sNumber).Add(r.sName);
    for (const db::Value* v : {&r.sN1, &r.sN2, &r.sN3, &r.sN4, &r.sN5, &r.sTotal}) st.Add(*v);
    st.Add(r.sFlag).Add(r.wFlag).Run();
}

void WageTable::Insert(const WageSaveRow& r) {
    db::Statement& st = Inserts();
    st.Add(r.sMon).Add(*r.sNumber).Add(*r.sName);
    for (const db::Value* v : {&r.sN1, &r.sN2, &r.sN3, &r.sN4}) st.Add(*v);
    st.Add(db::Value()).Add(r.sTotal);  // sN5 is the history import's
    st.AddStatic(r.sFlag ? "1" : "0").AddStatic(r.wFlag ? "1" : "0").Run();
}

void WageTable::FingerprintInserts() {
    Inserts().FingerprintInserts(
        db::PlanInsertFingerprint(c_, QStringLiteral("Wage_Info"), InsertColumns(), ReadColumns()));
}

std::optional<db::RowsFingerprint> WageTable::InsertedFingerprint() {
    return insert_ ? insert_->TakeFingerprint() : std::nullopt;
}

int WageTable::Update(long long id, const WageRecord& r) {
    return c_.Exec(UpdateSql(),
                   {r.sN1, r.sN2, r.sN3, r.sN4, r.sTotal, Bound(r.wFlag), Bound(r.sFlag), r.sNumber, r.sName, id});
}

int WageTable::MarkUnlisted(long long id) {
    return c_.Exec(QStringLiteral("update Wage_Info set sFlag='0' where id=?"), {id});
}

int WageTable::AcceptTotals(Month m) {
    return c_.Exec(QStringLiteral("update Wage_Info set wFlag='1' where Smon=? and wFlag='0'"), {m});
}

int WageTable::DeleteMonth(Month m) { return c_.Exec(QStringLiteral("delete from Wage_Info where Smon=?"), {m}); }

int WageTable::DeleteRow(long long id) { return c_.Exec(QStringLiteral("delete from Wage_Info where id=?"), {id}); }

int WageTable::DeleteAll() { return c_.Exec(QStringLiteral("delete from Wage_Info")); }

std::vector<WageRecord> WageTable::ReadWith(const QString& where, Month m, db::RowsFingerprint* fingerprint) {
    sqlite3_stmt* st =
        db::Raw::Prepare(c_, QStringLiteral("select %1 from Wage_Info where Smon=?").arg(QLatin1String(kReadColumns)) +
                                 where + QStringLiteral(" order by id"));
    db::Raw::Bind(c_, st, {m});
    std::vector<WageRecord> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (fingerprint) fingerprint->AddRow(st, kReadCount);
        WageRecord r;
        r.id = sqlite3_column_int64(st, 0);
        r.sMon = m;
        r.sNumber = db::ColumnValue(st, 2).AsString();
        r.sName = db::ColumnValue(st, 3).AsString();
        int i = 4;
        for (db::Value* v : {&r.sN1, &r.sN2, &r.sN3, &r.sN4, &r.sN5, &r.sTotal}) *v = db::ColumnValue(st, i++);
        r.sFlag = TextAt(st, 10);
        r.wFlag = TextAt(st, 11);
        rows.push_back(std::move(r));
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) db::Raw::Fail(c_);
    return rows;
}

std::vector<WageRecord> WageTable::ReadMonth(Month m, db::RowsFingerprint* fingerprint) {
    return ReadWith(QString(), m, fingerprint);
}

std::vector<WageTable::Person> WageTable::ReadPeople(Month m) {
    db::Statement st(c_, QStringLiteral("select id, sNumber, sName from Wage_Info where Smon=? order by id"));
    st.Add(db::Value(m));
    std::vector<Person> people;
    while (st.Step()) {
        const auto text = [&](int col) {
            const std::string_view t = st.Text(col);
            return QString::fromUtf8(t.data(), qsizetype(t.size()));
        };
        people.push_back({st.Integer(0), text(1), text(2)});
    }
    return people;
}

std::vector<WageRecord> WageTable::ReadFailed(Month m) {
    return ReadWith(QStringLiteral(" and (sFlag='0' or wFlag='0')"), m);
}

std::optional<int> WageTable::LastMonth() {
    db::Query q(c_);
    q.Open(QStringLiteral("select Distinct(Smon) from Wage_Info where Smon is not null order by Smon"));
    if (q.Eof()) return std::nullopt;
    q.Last();
    return int(q.Fields(0).AsInteger());
}

std::optional<db::NumberTwice> WageTable::FirstNumberTwice(Month from, Month to) {
    return db::FirstNumberTwice(c_, "Wage_Info", "Smon", from, to);
}

bool WageTable::HasFailed(Month m) {
    db::Query q(c_);
    q.Open(QStringLiteral("select count(*) from Wage_Info where Smon=? and (sFlag='0' or wFlag='0')"), {m});
    return q.ValueAt(0, 0).AsInteger() > 0;
}

}  // namespace qm
