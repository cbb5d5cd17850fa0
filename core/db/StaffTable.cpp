#include "core/db/StaffTable.h"

#include "core/base/RtlText.h"
#include "core/db/Raw.h"

#include <sqlite3.h>

namespace qm {

namespace {

db::Value Bound(const StoredText& t) { return t ? db::Value(*t) : db::Value(); }
db::Value Bound(const std::optional<long long>& v) { return v ? db::Value(*v) : db::Value(); }

QString Latin(const char* s) { return QString::fromLatin1(s); }

StoredText TextAt(sqlite3_stmt* st, int i) {
    if (sqlite3_column_type(st, i) == SQLITE_NULL) return std::nullopt;
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
}

std::optional<long long> CodeAt(sqlite3_stmt* st, int i) {
    if (sqlite3_column_type(st, i) == SQLITE_NULL) return std::nullopt;
    return static_cast<long long>(sqlite3_column_int64(st, i));
}

// Hands the values of a row to `out` in the order of the insert (with sMon and sGw) or of the
// update (without), for a list of values and for a statement alike.
template <class Out>
void PutValues(const StaffRecord& r, StaffColumns set, bool insert, Out& out) {
    if (insert) out.Add(db::Value(r.sMon.Number()));
    out.Add(r.sName);
    out.Add(r.sNumber);
    out.Add(r.sBirth);
    out.Add(r.sWorks);
    out.Add(r.sWork);
    if (insert) out.Add(r.sGw);
    for (int i = 0; i < kStaffAttrCount; ++i) {
        if (!Stores(set, StaffAttr(i))) continue;
        out.Add(r.text[size_t(i)]);
        out.Add(r.code[size_t(i)]);
    }
    out.Add(r.sIsok);
}

struct ParamsOut {
    db::Params& p;
    void Add(const db::Value& v) { p.push_back(v); }
    void Add(const QString& t) { p.emplace_back(t); }
    void Add(const StoredText& t) { p.push_back(Bound(t)); }
    void Add(const std::optional<long long>& v) { p.push_back(Bound(v)); }
};

// The select list of a read, in ReadColumns() order, for the table aliased `alias`.
QString ReadList(const QString& alias) {
    QStringList cols;
    for (const QString& c : StaffTable::ReadColumns()) cols << alias + c;
    return cols.join(u',');
}

}  // namespace

StaffColumns StaffColumnsFor(UnitClass cls) {
    if (cls.IsConstruction()) return StaffColumns::All;
    if (cls.IsAboveSize()) return StaffColumns::AboveSize;
    return StaffColumns::Base;
}

QString StaffTable::Column(StaffPlain f) { return Latin(PlainRow(f).column); }

QStringList StaffTable::SheetTextColumns() {
    QStringList cols(kStaffSheetTexts);
    for (const StaffPlainRow& r : kStaffPlain)
        if (r.sheetCol > 0) cols[r.sheetCol - 1] = Latin(r.column);
    for (const StaffAttrRow& r : kStaffAttrs) cols[r.sheetCol - 1] = Latin(r.text);
    return cols;
}

std::array<QString, kStaffSheetTexts> StaffTable::SheetTexts(const StaffRecord& r) {
    std::array<QString, kStaffSheetTexts> t;
    t[SheetColOf(StaffPlain::Name) - 1] = r.sName;
    t[SheetColOf(StaffPlain::Number) - 1] = r.sNumber;
    t[SheetColOf(StaffPlain::Birth) - 1] = r.sBirth.value_or(QString());
    t[SheetColOf(StaffPlain::Works) - 1] = r.sWorks.AsString();
    t[SheetColOf(StaffPlain::Work) - 1] = r.sWork.AsString();
    for (const StaffAttrRow& a : kStaffAttrs) t[size_t(a.sheetCol - 1)] = r.Text(a.attr).value_or(QString());
    return t;
}

QStringList StaffTable::ReadColumns() {
    QStringList cols;
    for (const StaffPlainRow& r : kStaffPlain) cols << Latin(r.column);
    for (const StaffAttrRow& r : kStaffAttrs) cols << Latin(r.text) << Latin(r.code);
    return cols;
}

QStringList StaffTable::InsertColumns(StaffColumns set) {
    QStringList cols;
    for (StaffPlain f : {StaffPlain::Mon, StaffPlain::Name, StaffPlain::Number, StaffPlain::Birth, StaffPlain::Works,
                         StaffPlain::Work, StaffPlain::Gw})
        cols << Column(f);
    for (const StaffAttrRow& r : kStaffAttrs)
        if (Stores(set, r.attr)) cols << Latin(r.text) << Latin(r.code);
    cols << Column(StaffPlain::Isok);
    return cols;
}

QString StaffTable::InsertSql(StaffColumns set) {
    const QStringList cols = InsertColumns(set);
    return QStringLiteral("insert into Staff_moninfo(%1) values(%2)")
        .arg(cols.join(u','), QStringList(cols.size(), QStringLiteral("?")).join(u','));
}

QString StaffTable::UpdateSql(StaffColumns set) {
    QStringList sets;
    for (const QString& c : InsertColumns(set))
        if (c != Column(StaffPlain::Mon) && c != Column(StaffPlain::Gw)) sets << c + QStringLiteral("=?");
    return QStringLiteral("update Staff_moninfo set %1 where id=? and sMon=?").arg(sets.join(u','));
}

StaffTable::StaffTable(db::Connection& c, StaffColumns set)
    : db::MonthSource(c, "Staff_moninfo", "sMon", FingerprintColumns()),
      c_(c),
      set_(set),
      insert_(InsertSql(set)),
      update_(UpdateSql(set)) {
    p_.reserve(size_t(2 * kStaffAttrCount + 10));
}

StaffTable::~StaffTable() = default;

void StaffTable::Bind(const StaffRecord& r, StaffColumns set, bool insert, db::Params& out) {
    out.clear();
    ParamsOut sink{out};
    PutValues(r, set, insert, sink);
}

db::Params StaffTable::InsertValues(const StaffRecord& r, StaffColumns set) {
    db::Params p;
    Bind(r, set, true, p);
    return p;
}

void StaffTable::Insert(const StaffRecord& r) {
    // A save of a whole list binds every value straight into the statement, texts converted once.
    if (!inserts_) inserts_ = std::make_unique<db::Statement>(c_, insert_);
    PutValues(r, set_, true, *inserts_);
    inserts_->Run();
}

void StaffTable::FingerprintInserts() {
    if (!inserts_) inserts_ = std::make_unique<db::Statement>(c_, insert_);
    inserts_->FingerprintInserts(
        db::PlanInsertFingerprint(c_, QStringLiteral("Staff_moninfo"), InsertColumns(set_), FingerprintColumns()));
}

std::optional<db::RowsFingerprint> StaffTable::InsertedFingerprint() {
    return inserts_ ? inserts_->TakeFingerprint() : std::nullopt;
}

QStringList StaffTable::FingerprintColumns() { return QStringList{Column(StaffPlain::Id)} + SheetTextColumns(); }

int StaffTable::Update(long long id, const StaffRecord& r) {
    Bind(r, set_, false, p_);
    p_.emplace_back(id);
    p_.emplace_back(r.sMon.Number());
    return c_.Exec(update_, p_);
}

int StaffTable::DeleteMonth(Month m) {
    return c_.Exec(QStringLiteral("delete from Staff_moninfo where sMon=?"), {m.Number()});
}

int StaffTable::DeleteRow(long long id, Month m) {
    return c_.Exec(QStringLiteral("delete from Staff_moninfo where id=? and sMon=?"), {id, m.Number()});
}

int StaffTable::DeleteMonthlyLists() { return c_.Exec(QStringLiteral("delete from Staff_moninfo where sMon<>0")); }

int StaffTable::DeleteNumber(Month m, const QString& number) {
    return c_.Exec(QStringLiteral("delete from Staff_moninfo where sMon=? and sNumber=?"), {m, number});
}

int StaffTable::DeleteListed(Month m, const QString& listTable) {
    return c_.Exec(QStringLiteral("delete from Staff_moninfo where sMon=? and sNumber in"
                                  " (select sNumber from %1 where sMon=?)")
                       .arg(listTable),
                   {m, m});
}

std::vector<StaffRecord> StaffTable::ReadWith(const QString& sql, const db::Params& params) {
    // Stepped directly into the records: a month may hold tens of thousands of rows.
    sqlite3_stmt* st = db::Raw::Prepare(c_, sql);
    db::Raw::Bind(c_, st, params);
    std::vector<StaffRecord> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        StaffRecord r;
        int i = 0;
        for (const StaffPlainRow& f : kStaffPlain) {
            switch (f.field) {
            case StaffPlain::Id: r.id = sqlite3_column_int64(st, i); break;
            case StaffPlain::Mon: r.sMon = Month::Of(sqlite3_column_int(st, i)).value_or(Month::Start()); break;
            case StaffPlain::Name: r.sName = TextAt(st, i).value_or(QString()); break;
            case StaffPlain::Number: r.sNumber = TextAt(st, i).value_or(QString()); break;
            case StaffPlain::Birth: r.sBirth = TextAt(st, i); break;
            case StaffPlain::Works: r.sWorks = db::ColumnValue(st, i); break;
            case StaffPlain::Work: r.sWork = db::ColumnValue(st, i); break;
            case StaffPlain::Gw: r.sGw = TextAt(st, i); break;
            case StaffPlain::Isok: r.sIsok = TextAt(st, i); break;
            }
            ++i;
        }
        for (const StaffAttrRow& a : kStaffAttrs) {
            r.Text(a.attr) = TextAt(st, i++);
            r.Code(a.attr) = CodeAt(st, i++);
        }
        rows.push_back(std::move(r));
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) db::Raw::Fail(c_);
    return rows;
}

std::vector<StaffRecord> StaffTable::ReadMonth(Month m) {
    static const QString sql =
        QStringLiteral("select %1 from Staff_moninfo where sMon=? order by id").arg(ReadList(QString()));
    return ReadWith(sql, {m});
}

bool StaffRowView::IsNull(int i) const { return sqlite3_column_type(st_, i) == SQLITE_NULL; }

std::string_view StaffRowView::Utf8(int i) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
    return p ? std::string_view(p, size_t(sqlite3_column_bytes(st_, i))) : std::string_view();
}

QString StaffRowView::Text(int i) const {
    const std::string_view t = Utf8(i);
    return QString::fromUtf8(t.data(), qsizetype(t.size()));
}

db::Value StaffRowView::Value(int i) const { return db::ColumnValue(st_, i); }

void StaffTable::StepMonth(Month m, std::span<const StaffColumn> cols,
                           const std::function<void(const StaffRowView&)>& each) {
    QStringList names;
    for (const StaffColumn& c : cols) names << Latin(c.Name());
    sqlite3_stmt* st = db::Raw::Prepare(
        c_, QStringLiteral("select %1 from Staff_moninfo where sMon=? order by id").arg(names.join(u',')));
    db::Raw::Bind(c_, st, {m});
    // The statement is kept for the next read: reset whether or not `each` throws.
    struct Reset {
        sqlite3_stmt* st;
        ~Reset() { sqlite3_reset(st); }
    } reset{st};
    const StaffRowView row(st);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) each(row);
    if (rc != SQLITE_DONE) db::Raw::Fail(c_);
}

std::vector<std::array<QString, kStaffSheetTexts>> StaffTable::ReadSheetTexts(Month m, const StoredText& isok,
                                                                              db::RowsFingerprint* fingerprint) {
    // The id leads the shown texts: the fingerprint of a row covers both.
    static const QString all =
        QStringLiteral("select id,%1 from Staff_moninfo where sMon=? order by id").arg(SheetTextColumns().join(u','));
    static const QString some = QStringLiteral("select id,%1 from Staff_moninfo where sMon=? and sIsOk=? order by id")
                                    .arg(SheetTextColumns().join(u','));
    sqlite3_stmt* st = db::Raw::Prepare(c_, isok ? some : all);
    db::Raw::Bind(c_, st, isok ? db::Params{m, *isok} : db::Params{m});
    std::vector<std::array<QString, kStaffSheetTexts>> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (fingerprint) fingerprint->AddRow(st, 1 + kStaffSheetTexts);
        std::array<QString, kStaffSheetTexts> t;
        for (int i = 0; i < kStaffSheetTexts; ++i) {
            const int col = i + 1;
            switch (sqlite3_column_type(st, col)) {
            case SQLITE_NULL: break;
            case SQLITE_INTEGER: t[size_t(i)] = QString::number(sqlite3_column_int64(st, col)); break;
            case SQLITE_FLOAT: t[size_t(i)] = db::FormatReal(sqlite3_column_double(st, col)); break;
            default:
                t[size_t(i)] = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                                                 sqlite3_column_bytes(st, col));
            }
        }
        rows.push_back(std::move(t));
    }
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) db::Raw::Fail(c_);
    return rows;
}

std::optional<StaffRecord> StaffTable::Read(long long id) {
    static const QString sql = QStringLiteral("select %1 from Staff_moninfo where id=?").arg(ReadList(QString()));
    std::vector<StaffRecord> rows = ReadWith(sql, {id});
    if (rows.empty()) return std::nullopt;
    return std::move(rows.front());
}

std::vector<StaffRecord> StaffTable::ReadListed(Month m, const QString& listTable) {
    return ReadWith(QStringLiteral("select %1 from %2 t inner join Staff_moninfo s"
                                   " on t.sMon = s.sMon and t.sNumber = s.sNumber"
                                   " where s.sMon=? order by s.id")
                        .arg(ReadList(QStringLiteral("s.")), listTable),
                    {m});
}

namespace {
std::vector<std::pair<QString, QString>> Pairs(db::Connection& c, const QString& sql, const db::Params& params) {
    sqlite3_stmt* st = db::Raw::Prepare(c, sql);
    db::Raw::Bind(c, st, params);
    std::vector<std::pair<QString, QString>> out;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        out.emplace_back(db::ColumnValue(st, 0).AsString(), db::ColumnValue(st, 1).AsString());
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) db::Raw::Fail(c);
    return out;
}
}  // namespace

std::vector<std::pair<QString, QString>> StaffTable::ReadPeople(Month m) {
    return Pairs(c_, QStringLiteral("select sNumber, sName from Staff_moninfo where sMon=? order by id"), {m});
}

void StaffTable::StepPeople(Month m, const TextPairStep& each) {
    StepPairs(QStringLiteral("select id, sNumber, sName from Staff_moninfo where sMon=?"), m, each);
}

void StaffTable::StepDuties(Month m, const TextPairStep& each) {
    StepPairs(QStringLiteral("select id, sNumber, sGw from Staff_moninfo where sMon=? and sGw is not null"), m, each);
}

void StaffTable::StepPairs(const QString& sql, Month m, const TextPairStep& each) {
    sqlite3_stmt* st = db::Raw::Prepare(c_, sql);
    db::Raw::Bind(c_, st, {m});
    struct Reset {  // the statement is kept for the next read, whether or not `each` throws
        sqlite3_stmt* st;
        ~Reset() { sqlite3_reset(st); }
    } reset{st};
    const StaffRowView row(st);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) each(sqlite3_column_int64(st, 0), row.Utf8(1), row.Utf8(2));
    if (rc != SQLITE_DONE) db::Raw::Fail(c_);
}

std::optional<db::NumberTwice> StaffTable::FirstNumberTwice(Month from, Month to) {
    return db::FirstNumberTwice(c_, "Staff_moninfo", "sMon", from, to);
}

std::vector<Month> StaffTable::Months() {
    db::Query q(c_);
    q.Open(QStringLiteral("select sMon from Staff_moninfo group by sMon order by sMon"));
    std::vector<Month> out;
    for (q.First(); !q.Eof(); q.Next()) {
        if (q.Fields(0).IsNull()) continue;
        if (const std::optional<Month> m = Month::Of(int(q.Fields(0).AsInteger()))) out.push_back(*m);
    }
    return out;
}

int StaffTable::MarkFailed(long long id) {
    return c_.Exec(QStringLiteral("update Staff_moninfo set sIsok='0' where id=?"), {id});
}

bool StaffTable::HasRows(Month m) {
    db::Query q(c_);
    q.Open(QStringLiteral("select 1 from Staff_moninfo where sMon=? limit 1"), {m});
    return !q.Eof();
}

bool StaffTable::HasMonthlyRows() {
    db::Query q(c_);
    q.Open(QStringLiteral("select 1 from Staff_moninfo where sMon>0 limit 1"));
    return !q.Eof();
}

bool StaffTable::HasFailedRows(Month m) {
    db::Query q(c_);
    q.Open(QStringLiteral("select 1 from Vmon where sIsOk='0' and sMon=? limit 1"), {m});
    return !q.Eof();
}

ListQuery StaffTable::ListAll(Month m) { return {QStringLiteral("select * from Vmon where sMon=? order by id"), {m}}; }

std::optional<QString> StaffTable::NumberHolder(Month m, const QString& number, std::optional<long long> except) {
    db::Query q(c_);
    q.Open(QStringLiteral("select id, sNumber, sName from Staff_moninfo where sMon=?"), {m});
    for (q.First(); !q.Eof(); q.Next())
        if ((!except || q.Fields(0).AsInteger() != *except) && RtlTrim(q.Fields(1).AsString()) == number)
            return q.Fields(2).AsString();
    return std::nullopt;
}

ListQuery StaffTable::ListSearch(Month m, const QString& pattern) {
    return {QStringLiteral("select * from Vmon where (sName like ? or sNumber like ?) "
                           "and sMon=? order by id"),
            {pattern, pattern, m}};
}

ListQuery StaffTable::ListSameName(Month m) {
    return {QStringLiteral("select * from Vmon where sName in (select sName from Staff_moninfo where sMon=? "
                           "group by sName having count(sName)>1) and sMon=? order by id"),
            {m, m}};
}

ListQuery StaffTable::ListSameNumber(Month m) {
    return {QStringLiteral("select * from Vmon where sNumber in (select sNumber from Staff_moninfo where sMon=? "
                           "group by sNumber having count(sNumber)>1) and sMon=? order by id"),
            {m, m}};
}

ListQuery StaffTable::ListErrors(Month m) {
    return {QStringLiteral("select * from Vmon where sIsok='0' and sMon=? order by id"), {m}};
}

ListQuery StaffTable::BrowseMonth(Month m) {
    return {QStringLiteral("select * from Staff_moninfo where sMon=? order by id"), {m}};
}

ListQuery StaffTable::BrowseName(Month m, const QString& pattern) {
    return {QStringLiteral("select * from Staff_moninfo where sMon=? and sName like ? order by id"), {m, pattern}};
}

}  // namespace qm
