#include "core/db/Db.h"

#include "core/db/Raw.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>

namespace qm::db {

namespace {

// Jet's CInt: rounds halves to the even neighbour (the default rounding mode of
// nearbyint); null stays null; text that is no number is a type mismatch.
void CIntFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_value* v = argv[0];
    double d = 0;
    switch (sqlite3_value_numeric_type(v)) {
    case SQLITE_NULL: sqlite3_result_null(ctx); return;
    case SQLITE_INTEGER: sqlite3_result_int64(ctx, sqlite3_value_int64(v)); return;
    case SQLITE_FLOAT: d = sqlite3_value_double(v); break;
    default: {
        bool ok = false;
        d = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v))).trimmed().toDouble(&ok);
        if (!ok) {
            sqlite3_result_error(ctx, "Data type mismatch in criteria expression.", -1);
            return;
        }
    }
    }
    // A value beyond a 64-bit integer (or no number at all) is refused, never cast.
    const double r = std::nearbyint(d);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) {
        sqlite3_result_error(ctx, "Overflow", -1);
        return;
    }
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(r));
}

}  // namespace

namespace {

// The SQL functions the program's statements rely on.
void RegisterFunctions(sqlite3* db) {
    sqlite3_create_function_v2(db, "CInt", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, CIntFunction, nullptr,
                               nullptr, nullptr);
}

Error CannotOpen(const QString& path, int code, const QString& engineText) {
    return Error::FromEngine(code, engineText, QStringLiteral("无法打开数据库 %1：").arg(path));
}
}  // namespace

Connection::Connection() = default;
Connection::~Connection() { Close(); }

void Connection::OpenWith(const QString& path, int flags) {
    Close();
    sqlite3* db = nullptr;
    const QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw CannotOpen(path, rc, msg);
    }
    // Another program's lock is waited for a moment, here as in every later statement.
    sqlite3_busy_timeout(db, 2000);
    // A file that is not a database shows itself only at the first read.
    rc = sqlite3_exec(db, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const int code = sqlite3_extended_errcode(db);
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw CannotOpen(path, code, msg);
    }
    RegisterFunctions(db);
    sqlite3_update_hook(db, &Connection::RowWritten, this);
    db_ = db;
    path_ = path;
    static std::atomic<long long> lastOpening{0};
    openings_ = ++lastOpening;
}

void Connection::RowWritten(void* self, int, const char*, const char* table, long long) {
    auto& c = *static_cast<Connection*>(self);
    ++c.rowWrites_;
    // A run of rows goes to one table, whose name the engine passes from where it keeps it.
    if (table != c.lastTable_ || c.tableWrites_[c.lastSlot_].first != table) {
        const auto at =
            std::find_if(c.tableWrites_.begin(), c.tableWrites_.end(), [&](const auto& t) { return t.first == table; });
        c.lastSlot_ = size_t(at - c.tableWrites_.begin());
        if (at == c.tableWrites_.end()) c.tableWrites_.emplace_back(table, 0);
        c.lastTable_ = table;
    }
    ++c.tableWrites_[c.lastSlot_].second;
}

long long Connection::RowWrites(std::string_view table) const {
    long long n = 0;
    for (const auto& [name, rows] : tableWrites_)
        if (name.size() == table.size() && qstrnicmp(name.data(), table.data(), table.size()) == 0) n += rows;
    return n;
}

// The program has one thread: a connection is never shared between threads, so SQLite need
// not lock it around every call (each column read of a report's pass took a lock).
void Connection::Open(const QString& path) { OpenWith(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX); }
void Connection::OpenReadOnly(const QString& path) { OpenWith(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX); }

void Connection::FinalizeAll() {
    for (auto& [sql, st] : cache_) sqlite3_finalize(st);
    cache_.clear();
    lastSql_.clear();
    lastSt_ = nullptr;
}

void Connection::Close() {
    if (!db_) return;
    FinalizeAll();
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Connection::Fail(const QString& context) const {
    if (!db_) throw Error(QStringLiteral("数据库未连接。"));
    QString msg = QString::fromUtf8(sqlite3_errmsg(db_));
    if (!context.isEmpty()) msg += QStringLiteral("\n") + context;
    throw Error::FromEngine(sqlite3_extended_errcode(db_), msg);
}

sqlite3_stmt* Connection::Prepare(const QString& sql) {
    if (!db_) throw Error(QStringLiteral("数据库未连接。"));
    // A save runs one statement row after row: the text it ran last is found without
    // converting and hashing it again.
    if (lastSt_ && sql == lastSql_) {
        sqlite3_reset(lastSt_);
        sqlite3_clear_bindings(lastSt_);
        return lastSt_;
    }
    const std::string key = sql.toStdString();
    auto it = cache_.find(key);
    if (it != cache_.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        lastSql_ = sql;
        lastSt_ = it->second;
        return it->second;
    }
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, key.c_str(), int(key.size()), &st, &tail) != SQLITE_OK) Fail(sql);
    if (!st) throw Error(QStringLiteral("空的 SQL 语句。"));
    while (tail && *tail && std::isspace(static_cast<unsigned char>(*tail))) ++tail;
    if (tail && *tail && *tail != ';') {
        sqlite3_finalize(st);
        throw Error(QStringLiteral("一次只能执行一条 SQL 语句：%1").arg(sql));
    }
    if (cache_.size() >= 64) FinalizeAll();
    cache_.emplace(key, st);
    lastSql_ = sql;
    lastSt_ = st;
    return st;
}

void Connection::Bind(sqlite3_stmt* st, const Params& params) {
    const int n = sqlite3_bind_parameter_count(st);
    if (n != int(params.size())) throw CountError(n, params.size());
    for (int i = 0; i < n; ++i)
        if (BindValue(st, i + 1, params[size_t(i)]) != SQLITE_OK) Fail();
}

int Connection::Run(sqlite3_stmt* st, const QString& sql) {
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db_)) + QStringLiteral("\n") + sql;
        const int code = sqlite3_extended_errcode(db_);
        sqlite3_reset(st);
        throw Error::FromEngine(code ? code : rc, msg);
    }
    int changed = sqlite3_changes(db_);
    sqlite3_reset(st);
    return changed;
}

int Connection::Exec(const QString& sql, const Params& params) {
    sqlite3_stmt* st = Prepare(sql);
    Bind(st, params);
    return Run(st, sql);
}

void Connection::BeginTrans() { Exec(QStringLiteral("begin")); }
void Connection::CommitTrans() { Exec(QStringLiteral("commit")); }
void Connection::RollbackTrans() {
    if (InTransaction()) Exec(QStringLiteral("rollback"));
}
bool Connection::InTransaction() const { return db_ && sqlite3_get_autocommit(db_) == 0; }

long long Connection::TotalChanges() const { return db_ ? sqlite3_total_changes64(db_) : 0; }

long long Connection::LastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

QStringList Connection::TableNames() const {
    QStringList names;
    if (!db_) throw Error(QStringLiteral("数据库未连接。"));
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "select name from sqlite_master where type='table' and name not like 'sqlite\\_%' escape '\\' order by name";
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail();
    while (sqlite3_step(st) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return names;
}

bool Connection::HasTable(const QString& name) const { return TableNames().contains(name, Qt::CaseInsensitive); }

int DeleteEveryRow(Connection& c, const QString& name) {
    // A condition keeps the engine from emptying the table at once.
    return c.Exec(QStringLiteral("delete from ") + name + QStringLiteral(" where true"));
}

// ---------------------------------------------------------------- Transaction

Transaction::Transaction(Connection& c) : c_(c) { c_.BeginTrans(); }
Transaction::~Transaction() {
    if (done_) return;
    try {
        c_.RollbackTrans();
    } catch (...) {
    }
}
void Transaction::Commit() {
    c_.CommitTrans();
    done_ = true;
}

}  // namespace qm::db
