#include "core/db/MonthFingerprint.h"

#include "core/base/TextCheck.h"
#include "core/db/Raw.h"

#include <sqlite3.h>

namespace qm::db {

QString PersonWords(const QString& name, const QString& number) {
    return QuotedText(name) + QStringLiteral("（编号") + QuotedText(number) + QStringLiteral("）");
}

MonthSource::MonthSource(Connection& c, const char* table, const char* monthColumn, QStringList columns)
    : source_(c),
      table_(QLatin1String(table)),
      fingerprintSql_(
          QStringLiteral("select %1 from %2 where %3=?").arg(columns.join(u','), table_, QLatin1String(monthColumn))),
      countSql_(QStringLiteral("select count(*) from %1 where %2=?").arg(table_, QLatin1String(monthColumn))),
      columns_(int(columns.size())) {}

RowsFingerprint MonthSource::FingerprintMonth(Month m) {
    sqlite3_stmt* st = Raw::Prepare(source_, fingerprintSql_);
    Raw::Bind(source_, st, {m});
    RowsFingerprint fingerprint;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) fingerprint.AddRow(st, columns_);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) Raw::Fail(source_);
    return fingerprint;
}

QString MonthSource::PersonOf(long long id) {
    Query q(source_);
    q.Open(QStringLiteral("select sName, sNumber from %1 where id=?").arg(table_), {id});
    if (q.Eof()) return {};
    return PersonWords(q.Fields(0).AsString(), q.Fields(1).AsString());
}

long long MonthSource::CountMonth(Month m) {
    Query q(source_);
    q.Open(countSql_, {m});
    return q.Fields(0).AsInteger();
}

WriteStamp StampOf(Connection& c) {
    if (!c.IsOpen()) return {};
    sqlite3_stmt* st = Raw::Prepare(c, QStringLiteral("pragma data_version"));
    long long version = -1;
    if (sqlite3_step(st) == SQLITE_ROW) version = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    return {c.Openings(), c.TotalChanges(), version};
}

WriteStamp StampOf(Connection& c, std::initializer_list<std::string_view> tables) {
    WriteStamp s = StampOf(c);
    // The rows written to the tables, and every change the engine did not report row by row (a
    // table emptied at once), which may have been one of them.
    s.changes -= c.RowWrites();
    for (const std::string_view t : tables) s.changes += c.RowWrites(t);
    return s;
}

void MonthLoad::Loaded(Month m, const RowsFingerprint& read, const WriteStamp& before, long long rowsHeld) {
    month = m;
    fingerprint = read;
    stamp = before;
    given = read.rows;
    held = rowsHeld;
}

void MonthLoad::Filled(long long count, long long rowsHeld) {
    given = count;
    held = rowsHeld;
}

MonthNotLoaded::MonthNotLoaded(Kind kind, long long a, long long b, QString change)
    : std::runtime_error(kind == Kind::Cut ? "the sheet does not hold every row it was given"
                                           : "the month changed since the sheet was loaded"),
      kind_(kind),
      a_(a),
      b_(b),
      change_(std::move(change)) {}

QString MonthNotLoaded::Message(const QString& what) const {
    const QString kept = QStringLiteral("\n没有保存任何内容，表格中的行保持不变。");
    if (kind_ == Kind::Cut)
        return QStringLiteral("表格读入的%1行中只装下了%2行，保存会删去%3中没有装下的%4行。")
                   .arg(a_)
                   .arg(b_)
                   .arg(what)
                   .arg(a_ - b_) +
               kept;
    // Equal counts say nothing: then the first row that differs is named alone.
    QString how = a_ == b_ && !change_.isEmpty() ? change_ : QStringLiteral("读入时%1行，现有%2行").arg(a_).arg(b_);
    if (a_ != b_ && !change_.isEmpty()) how += QStringLiteral("；") + change_;
    return QStringLiteral("%1在表格读入后已被改动（%2），保存会删去或覆盖这些改动。").arg(what, how) + kept +
           QStringLiteral("请重新打开本表，核对后再修改、保存。");
}

namespace {

// What differs first between the month as loaded and as it is now, in words.
QString ChangeText(const RowsFingerprint& then, const RowsFingerprint& now, MonthSource& source) {
    const std::optional<RowChange> c = FirstChange(then, now);
    if (!c) return {};
    if (c->kind == RowChange::Kind::Removed) return QStringLiteral("读入时的第%1人已从库中删去").arg(c->loadedAt + 1);
    const QString who = source.PersonOf(c->id);
    if (who.isEmpty()) return {};
    return c->kind == RowChange::Kind::Added ? QStringLiteral("库中新增了") + who
                                             : who + QStringLiteral("的数据已被改动");
}

// The month's fingerprint now, when it may differ from what the sheet was loaded from; none when
// the sheet's load is the month as stored.
std::optional<RowsFingerprint> Rescan(Connection& c, const MonthLoad& load, Month m, MonthSource& source) {
    if (load.month == m && load.stamp == StampOf(c)) return std::nullopt;  // nothing written since the load
    return source.FingerprintMonth(m);
}

}  // namespace

void CheckReplace(Connection& c, const MonthLoad& load, Month m, MonthSource& source) {
    if (load.held < load.given) throw MonthNotLoaded(MonthNotLoaded::Kind::Cut, load.given, load.held);
    const std::optional<RowsFingerprint> now = Rescan(c, load, m, source);
    if (!now) return;
    const RowsFingerprint want = load.month == m ? load.fingerprint : RowsFingerprint{};
    if (*now != want)
        throw MonthNotLoaded(MonthNotLoaded::Kind::Changed, want.rows, now->rows, ChangeText(want, *now, source));
}

bool LoadIsCurrent(Connection& c, const MonthLoad& load, Month m, MonthSource& source) {
    if (load.held < load.given) return false;
    const std::optional<RowsFingerprint> now = Rescan(c, load, m, source);
    return !now || *now == (load.month == m ? load.fingerprint : RowsFingerprint{});
}

}  // namespace qm::db
