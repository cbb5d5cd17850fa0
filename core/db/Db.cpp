#include "core/db/Db.h"

#include "core/base/TextCheck.h"

#include <sqlite3.h>
#include <QByteArrayView>
#include <QRegularExpression>
#include <QStringEncoder>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

namespace qm::db {

Error::Error(const QString& text, int code)
    : std::runtime_error((code ? Describe(code, text) : text).toStdString()),
      code_(code),
      engine_(code ? text : QString()) {}

Error::Error(int code, const QString& engineText, const QString& lead)
    : std::runtime_error((lead + Describe(code, engineText)).toStdString()), code_(code), engine_(engineText) {}

Error Error::FromEngine(int code, const QString& engineText, const QString& lead) {
    return Error(code, engineText, lead);
}

Error Error::Sql(const QString& engineText) { return Error(SQLITE_ERROR, engineText, QString()); }

bool Error::Locked() const {
    const int primary = code_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

namespace {

// What the engine's message of a plain SQL error names; empty when it is none of these.
QString DescribeSqlError(const QString& message) {
    static const QString kNotOurs = QStringLiteral("所用的数据库文件不完整，或者不是本系统的数据库。");
    static const QRegularExpression noTable(QStringLiteral("^no such (?:table|view): (\\S+)"));
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (\\S+)"));
    static const QRegularExpression noNamedColumn(QStringLiteral("^table (\\S+) has no column named (\\S+)"));
    static const QRegularExpression columnCount(QStringLiteral("^table (\\S+) has \\d+ columns but"));
    // A name the program creates (an index, a table) that the file already gives to another object.
    static const QRegularExpression taken(
        QStringLiteral("^there is already an? (table|index|view|trigger) named (\\S+)"));
    if (const auto m = noTable.match(message); m.hasMatch())
        return QStringLiteral("数据库中没有表“%1”。").arg(m.captured(1)) + kNotOurs;
    if (const auto m = noColumn.match(message); m.hasMatch())
        return QStringLiteral("数据库中没有列“%1”。").arg(m.captured(1)) + kNotOurs;
    if (const auto m = noNamedColumn.match(message); m.hasMatch())
        return QStringLiteral("数据库的表“%1”中没有列“%2”。").arg(m.captured(1), m.captured(2)) + kNotOurs;
    if (const auto m = columnCount.match(message); m.hasMatch())
        return QStringLiteral("数据库的表“%1”的列与本系统的不符。").arg(m.captured(1)) + kNotOurs;
    if (const auto m = taken.match(message); m.hasMatch()) {
        // The engine says "table" for a view as well.
        const QString kind = m.captured(1) == QLatin1String("index")     ? QStringLiteral("索引")
                             : m.captured(1) == QLatin1String("trigger") ? QStringLiteral("触发器")
                                                                         : QStringLiteral("表（或视图）");
        return QStringLiteral("数据库中已有名为“%1”的%2，本系统要建立的同名对象不能建立。").arg(m.captured(2), kind) +
               kNotOurs;
    }
    if (message.startsWith(QLatin1String("integer overflow"))) return QStringLiteral("计算结果超出了整数的范围。");
    return {};
}

}  // namespace

QString Error::ReasonOf(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("数据库正被其他程序使用（已锁定）。请关闭使用它的程序后再试。");
    case SQLITE_READONLY: return QStringLiteral("数据库文件是只读的，不能写入。请检查数据库文件及其文件夹的权限。");
    case SQLITE_FULL: return QStringLiteral("磁盘已满，数据库不能写入。请腾出磁盘空间后再试。");
    case SQLITE_IOERR: return QStringLiteral("读写数据库文件时出错。请检查磁盘后再试。");
    default: return {};
    }
}

QString Error::Describe(int code, const QString& engineText) {
    if (QString reason = ReasonOf(code); !reason.isEmpty()) return reason;
    // A trigger's refusal is worded by whoever wrote the trigger, not by the engine.
    if (code == SQLITE_CONSTRAINT_TRIGGER)
        return QStringLiteral("数据库拒绝了这项改动：") + engineText.section(QLatin1Char('\n'), 0, 0);
    switch (code & 0xff) {
    case SQLITE_PROTOCOL: return ReasonOf(SQLITE_BUSY);
    case SQLITE_NOTADB: return QStringLiteral("文件不是数据库，或者已经损坏。");
    case SQLITE_CORRUPT: return QStringLiteral("数据库文件已经损坏。请用备份还原。");
    case SQLITE_CANTOPEN: return QStringLiteral("无法打开数据库文件。请检查文件及其文件夹是否存在、能否读写。");
    case SQLITE_PERM:
    case SQLITE_AUTH: return QStringLiteral("没有访问数据库文件的权限。");
    case SQLITE_NOMEM:
    case SQLITE_TOOBIG: return QStringLiteral("内存不足或数据过大，数据库不能完成操作。");
    case SQLITE_NOLFS: return QStringLiteral("数据库文件过大。");
    case SQLITE_CONSTRAINT: return QStringLiteral("数据不符合数据库的约束（例如重复的值或缺少必填的值），未能存入。");
    case SQLITE_MISMATCH: return QStringLiteral("数据的类型与数据库的列不符。");
    case SQLITE_SCHEMA: return QStringLiteral("数据库的结构在操作中被改变。请再试一次。");
    case SQLITE_ABORT:
    case SQLITE_INTERRUPT: return QStringLiteral("数据库操作被中止。");
    case SQLITE_ERROR:
        if (QString s = DescribeSqlError(engineText.section(QLatin1Char('\n'), 0, 0)); !s.isEmpty()) return s;
        break;
    default: break;
    }
    return QStringLiteral("数据库操作失败（错误代码 %1）。").arg(code);
}

// ---------------------------------------------------------------- Value

Value ColumnValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: return Value(static_cast<long long>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(st, i));
    case SQLITE_NULL: return Value();
    default:
        return Value(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i)));
    }
}

std::string_view AsRead(std::string_view stored, std::string& spare) {
    if (QByteArrayView(stored.data(), qsizetype(stored.size())).isValidUtf8() && !stored.starts_with("\xEF\xBB\xBF"))
        return stored;
    spare = QString::fromUtf8(stored.data(), qsizetype(stored.size())).toStdString();
    return spare;
}

std::string_view TrimBlankBytes(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}

std::string EngineRealText(double v) {
    char* s = sqlite3_mprintf("%!.15g", v);
    std::string out = s ? s : "";
    sqlite3_free(s);
    return out;
}

bool CompiledWith(const char* option) { return sqlite3_compileoption_used(option) != 0; }

// ---------------------------------------------------------------- Row

int Row::ColumnCount() const { return sqlite3_column_count(st_); }

int Row::Find(const char* name) const {
    const int n = sqlite3_column_count(st_);
    for (int i = 0; i < n; ++i)
        if (qstricmp(sqlite3_column_name(st_, i), name) == 0) return i;
    return -1;
}

Cell Row::At(int col) const {
    // One look at the column's value: its kind, then what it holds, read from it directly.
    sqlite3_value* v = sqlite3_column_value(st_, col);
    Cell c;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        c.kind = Cell::Kind::Integer;
        c.integer = sqlite3_value_int64(v);
        break;
    case SQLITE_FLOAT:
        c.kind = Cell::Kind::Real;
        c.real = sqlite3_value_double(v);
        break;
    case SQLITE_TEXT: {
        c.kind = Cell::Kind::Text;
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        c.bytes = std::string_view(p, p ? size_t(sqlite3_value_bytes(v)) : 0);
        break;
    }
    case SQLITE_BLOB: {
        c.kind = Cell::Kind::Blob;
        const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
        c.bytes = std::string_view(p, p ? size_t(sqlite3_value_bytes(v)) : 0);
        break;
    }
    default: break;
    }
    return c;
}

long long Row::Integer(int col) const { return sqlite3_column_int64(st_, col); }

double Row::Real(int col) const { return sqlite3_column_double(st_, col); }

std::string_view Row::Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
    return p ? std::string_view(p, size_t(sqlite3_column_bytes(st_, col))) : std::string_view();
}

// ---------------------------------------------------------------- Value

QString FormatReal(double v) {
    if (std::isnan(v) || std::isinf(v)) return QString::number(v);
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(static_cast<long long>(v));
    char buf[64];
    const double a = std::fabs(v);
    // Fixed notation for everyday magnitudes, shortest form that reads back to the same double.
    auto fmt = (a >= 1e-5 && a < 1e15) ? std::chars_format::fixed : std::chars_format::general;
    auto r = std::to_chars(buf, buf + sizeof buf, v, fmt);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

QString Value::AsString() const {
    switch (kind_) {
    case Kind::Null: return {};
    case Kind::Integer: return QString::number(int_);
    case Kind::Real: return FormatReal(real_);
    case Kind::Text: return text_;
    }
    return {};
}

long long Value::AsInteger() const {
    switch (kind_) {
    case Kind::Null: return 0;
    case Kind::Integer: return int_;
    case Kind::Real: return std::llround(real_);
    case Kind::Text: {
        bool ok = false;
        const QString t = text_.trimmed();
        long long v = t.toLongLong(&ok);
        if (ok) return v;
        double d = t.toDouble(&ok);
        if (ok) return std::llround(d);
        throw Error(QStringLiteral("'%1' is not a valid integer value").arg(text_));
    }
    }
    return 0;
}

double Value::AsFloat() const {
    switch (kind_) {
    case Kind::Null: return 0;
    case Kind::Integer: return double(int_);
    case Kind::Real: return real_;
    case Kind::Text: {
        bool ok = false;
        double d = text_.trimmed().toDouble(&ok);
        if (ok) return d;
        throw Error(QStringLiteral("'%1' is not a valid floating point value").arg(text_));
    }
    }
    return 0;
}

bool Value::operator==(const Value& o) const {
    if (kind_ != o.kind_) return false;
    switch (kind_) {
    case Kind::Null: return true;
    case Kind::Integer: return int_ == o.int_;
    case Kind::Real: return real_ == o.real_;
    case Kind::Text: return text_ == o.text_;
    }
    return false;
}

// ---------------------------------------------------------------- Connection

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
Error CannotOpen(const QString& path, int code, const QString& engineText) {
    return Error::FromEngine(code, engineText, QStringLiteral("无法打开数据库 %1：").arg(path));
}
}  // namespace

Connection::Connection() = default;
Connection::~Connection() { Close(); }

void Connection::RegisterFunctions(sqlite3* db) {
    sqlite3_create_function_v2(db, "CInt", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, CIntFunction, nullptr,
                               nullptr, nullptr);
}

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

namespace {

// `shown` is the text as VisibleText shows it.
Error LoneSurrogateError(const QString& shown) {
    return Error(QStringLiteral("“%1”含有无效的字符（不成对的代理项），不能存入数据库。").arg(shown));
}

Error CountError(int needed, size_t given) {
    return Error(QStringLiteral("参数个数不符：语句需要 %1 个，提供了 %2 个。").arg(needed).arg(given));
}

// Binds one value; answers SQLite's result code.
int BindValue(sqlite3_stmt* st, int index, const Value& v) {
    switch (v.kind()) {
    case Value::Kind::Null: return sqlite3_bind_null(st, index);
    case Value::Kind::Integer: return sqlite3_bind_int64(st, index, v.rawInteger());
    case Value::Kind::Real: return sqlite3_bind_double(st, index, v.rawReal());
    case Value::Kind::Text: {
        // A lone surrogate half has no UTF-8 form and would be stored as "?" without a word.
        if (HasLoneSurrogate(v.rawText())) throw LoneSurrogateError(VisibleText(v.rawText()));
        const QByteArray u = v.rawText().toUtf8();
        return sqlite3_bind_text(st, index, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }
    }
    return SQLITE_OK;
}

}  // namespace

void ToUtf8(QStringView text, std::string& out) {
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const std::size_t room = std::size_t(utf8.requiredSpace(text.size()));
    char stack[64];
    if (room <= sizeof stack) {
        out.assign(stack, std::size_t(utf8.appendToBuffer(stack, text) - stack));
    } else {
        out.resize(room);
        out.resize(std::size_t(utf8.appendToBuffer(out.data(), text) - out.data()));
    }
}

Utf8Text::Utf8Text(QStringView text) {
    // Staff numbers are ASCII, whose UTF-8 is the characters themselves: no encoder for them.
    if (std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x80; })) {
        bytes_.resize(std::size_t(text.size()));
        std::transform(text.begin(), text.end(), bytes_.begin(), [](QChar ch) { return char(ch.unicode()); });
        return;
    }
    if (HasLoneSurrogate(text)) {
        valid_ = false;
        bytes_ = VisibleText(text).toStdString();
    } else {
        ToUtf8(text, bytes_);
    }
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

// ---------------------------------------------------------------- Statement

Statement::Statement(Connection& c, const QString& sql) : c_(c), sql_(sql) {
    if (!c.db_) throw Error(QStringLiteral("数据库未连接。"));
    const QByteArray u = sql.toUtf8();
    if (sqlite3_prepare_v2(c.db_, u.constData(), int(u.size()), &st_, nullptr) != SQLITE_OK) c.Fail(sql);
    if (!st_) throw Error(QStringLiteral("空的 SQL 语句。"));
    db_ = c.db_;
    count_ = sqlite3_bind_parameter_count(st_);
    buffers_.resize(size_t(count_));
}

Statement::~Statement() { sqlite3_finalize(st_); }

static_assert(SQLITE_OK == 0, "Statement::Check takes 0 for a binding that went well");

void Statement::EndRun() {
    sqlite3_reset(st_);
    stepping_ = false;
}

void Statement::Refuse(const Error& e) {
    added_ = 0;  // the run is abandoned; the next value starts another
    rowSlots_ = 0;
    throw e;
}

void Statement::PrintInserts(const InsertPrint& plan) {
    plan_ = plan;
    plan_->params.resize(size_t(count_));
    std::vector<bool> filled(size_t(std::max(plan.slotCount, 1)), false);
    filled[0] = true;  // the id
    for (const InsertPrint::Param& p : plan_->params)
        if (p.slot > 0 && p.slot < plan.slotCount) filled[size_t(p.slot)] = true;
    nullSlots_ = 0;
    for (int k = 1; k < plan.slotCount; ++k)
        if (!filled[size_t(k)]) nullSlots_ += RowsPrint::NullSlot(k);
    rowSlots_ = 0;
    exact_ = true;
    print_ = RowsPrint();
}

std::optional<RowsPrint> Statement::TakePrint() {
    if (!plan_ || !exact_) return std::nullopt;
    RowsPrint p = print_;
    print_ = RowsPrint();
    return p;
}

void Statement::Printed(int i, int type, long long integer, double real, const char* bytes, std::size_t n) {
    if (!plan_ || i < 1) return;
    const InsertPrint::Param& p = plan_->params[size_t(i - 1)];
    if (p.slot <= 0 || p.slot >= plan_->slotCount) return;
    using A = InsertPrint::Affinity;
    if (type == SQLITE_BLOB) {  // a read gives a blob's bytes back as they are: not printed here
        exact_ = false;
        return;
    }
    if (type == SQLITE_FLOAT && std::isnan(real)) type = SQLITE_NULL;  // SQLite stores no NaN
    if (type == SQLITE_NULL) {
        rowSlots_ += RowsPrint::NullSlot(p.slot);
        return;
    }
    // How the column converts the value, as SQLite's affinity does.
    if (p.affinity == A::Unknown || (type == SQLITE_TEXT && p.affinity != A::Text && p.affinity != A::Blob) ||
        (type != SQLITE_TEXT && p.affinity == A::Text)) {
        exact_ = false;
        return;
    }
    if (type == SQLITE_INTEGER && p.affinity == A::Real) {
        type = SQLITE_FLOAT;
        real = double(integer);
    } else if (type == SQLITE_FLOAT && p.affinity == A::Numeric) {
        // A whole number stored as an integer, as sqlite3VdbeIntegerAffinity decides.
        const long long ix = real <= double(LLONG_MIN)   ? LLONG_MIN
                             : real >= double(LLONG_MAX) ? LLONG_MAX
                                                         : (long long)real;
        if (real == double(ix) && ix > LLONG_MIN && ix < LLONG_MAX) {
            type = SQLITE_INTEGER;
            integer = ix;
        }
    }
    switch (type) {
    case SQLITE_INTEGER: rowSlots_ += RowsPrint::IntegerSlot(p.slot, integer); break;
    case SQLITE_FLOAT: rowSlots_ += RowsPrint::RealSlot(p.slot, real); break;
    default: rowSlots_ += RowsPrint::TextSlot(p.slot, bytes, n);
    }
}

void Statement::Fail() {
    added_ = 0;
    c_.Fail();
}

Statement& Statement::Add(const Value& v) {
    if (v.kind() == Value::Kind::Text) return Add(v.rawText());
    if (const int i = Next()) {
        Check(BindValue(st_, i, v));
        switch (v.kind()) {
        case Value::Kind::Integer: Printed(i, SQLITE_INTEGER, v.rawInteger()); break;
        case Value::Kind::Real: Printed(i, SQLITE_FLOAT, 0, v.rawReal()); break;
        default: Printed(i, SQLITE_NULL);
        }
    }
    return *this;
}

Statement& Statement::Add(const QString& text) {
    const int i = Next();
    if (!i) return *this;
    if (HasLoneSurrogate(text)) Refuse(LoneSurrogateError(VisibleText(text)));
    // Converted into this parameter's own buffer, which stays until the next run binds it again.
    std::string& b = buffers_[size_t(i - 1)];
    ToUtf8(text, b);
    Check(sqlite3_bind_text(st_, i, b.data(), int(b.size()), SQLITE_STATIC));
    Printed(i, SQLITE_TEXT, 0, 0, b.data(), b.size());
    return *this;
}

Statement& Statement::Add(const std::optional<QString>& text) { return text ? Add(*text) : Add(Value()); }

Statement& Statement::Add(const std::optional<long long>& v) { return v ? Add(Value(*v)) : Add(Value()); }

Statement& Statement::Add(const Utf8Text& text) {
    const int i = Next();
    if (!i) return *this;
    if (!text.Valid()) Refuse(LoneSurrogateError(text.Shown()));
    const std::string_view b = text.View();
    Check(sqlite3_bind_text(st_, i, b.data(), int(b.size()), SQLITE_STATIC));
    Printed(i, SQLITE_TEXT, 0, 0, b.data(), b.size());
    return *this;
}

Statement& Statement::AddStatic(const char* latin1) {
    if (const int i = Next()) {
        Check(sqlite3_bind_text(st_, i, latin1, -1, SQLITE_STATIC));
        Printed(i, SQLITE_TEXT, 0, 0, latin1, std::strlen(latin1));
    }
    return *this;
}

Statement& Statement::Add(const Cell& cell) {
    const int i = Next();
    if (!i) return *this;
    const std::string_view b = cell.bytes;
    switch (cell.kind) {
    case Cell::Kind::Null:
        Check(sqlite3_bind_null(st_, i));
        Printed(i, SQLITE_NULL);
        break;
    case Cell::Kind::Integer:
        Check(sqlite3_bind_int64(st_, i, cell.integer));
        Printed(i, SQLITE_INTEGER, cell.integer);
        break;
    case Cell::Kind::Real:
        Check(sqlite3_bind_double(st_, i, cell.real));
        Printed(i, SQLITE_FLOAT, 0, cell.real);
        break;
    // Bytes without an address would bind NULL: an empty text or blob is bound as one.
    case Cell::Kind::Text:
        Check(sqlite3_bind_text(st_, i, b.empty() ? "" : b.data(), int(b.size()), SQLITE_STATIC));
        Printed(i, SQLITE_TEXT, 0, 0, b.data(), b.size());
        break;
    case Cell::Kind::Blob:
        Check(b.empty() ? sqlite3_bind_zeroblob(st_, i, 0)
                        : sqlite3_bind_blob(st_, i, b.data(), int(b.size()), SQLITE_STATIC));
        Printed(i, SQLITE_BLOB);
        break;
    }
    return *this;
}

quint64 Statement::Start() {
    const int added = added_;
    added_ = 0;
    const quint64 values = std::exchange(rowSlots_, 0);
    if (added != count_) throw CountError(count_, size_t(added));
    // Never into a database closed since: the connection may have opened another.
    if (c_.db_ != db_) throw Error(QStringLiteral("数据库未连接。"));
    return values;
}

int Statement::Run() {
    if (stepping_) EndRun();
    const quint64 values = Start();
    const int changed = c_.Run(st_, sql_);
    if (plan_) {
        const long long id = sqlite3_last_insert_rowid(db_);
        print_.AddSlots(values + nullSlots_ + RowsPrint::IntegerSlot(0, id), id);
    }
    return changed;
}

bool Statement::Step() {
    if (!stepping_) {
        Start();
        stepping_ = true;
    }
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    stepping_ = false;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(st_);
        return false;
    }
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db_)) + QStringLiteral("\n") + sql_;
    const int code = sqlite3_extended_errcode(db_);
    sqlite3_reset(st_);
    throw Error::FromEngine(code ? code : rc, msg);
}

void Statement::Reset() {
    EndRun();
    added_ = 0;
}

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

// ---------------------------------------------------------------- Query

const Value& Field::AsValue() const { return q_->Current(index_); }

const Value& Query::Current(int col) const {
    static const Value null;
    if (Eof()) return null;
    return values_[size_t(cur_) * cols_ + size_t(col)];
}

void Query::Close() {
    active_ = false;
    fields_.clear();
    byName_.clear();
    values_.clear();
    cols_ = 0;
    cur_ = 0;
    bof_ = true;
}

void Query::Open(const QString& sql, const Params& params) {
    Close();
    sqlite3_stmt* st = c_->Prepare(sql);
    c_->Bind(st, params);
    const int n = sqlite3_column_count(st);
    cols_ = size_t(n);
    fields_.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        QString name = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* decl = sqlite3_column_decltype(st, i);
        fields_.emplace_back(this, i, name, decl ? QString::fromUtf8(decl).toUpper() : QString());
        byName_.emplace(name.toLower(), i);  // the first column of a name wins, as in a data set
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER: values_.emplace_back(static_cast<long long>(sqlite3_column_int64(st, i))); break;
            case SQLITE_FLOAT: values_.emplace_back(sqlite3_column_double(st, i)); break;
            case SQLITE_NULL: values_.emplace_back(); break;
            default: {
                const char* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                values_.emplace_back(QString::fromUtf8(t, sqlite3_column_bytes(st, i)));
            }
            }
        }
    }
    if (rc != SQLITE_DONE) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(c_->Handle())) + QStringLiteral("\n") + sql;
        const int code = sqlite3_extended_errcode(c_->Handle());
        sqlite3_reset(st);
        Close();
        throw Error::FromEngine(code ? code : rc, msg);
    }
    sqlite3_reset(st);
    active_ = true;
    cur_ = 0;
    bof_ = true;
}

int Query::Exec(const QString& sql, const Params& params) {
    Close();
    return c_->Exec(sql, params);
}

void Query::First() {
    cur_ = 0;
    bof_ = true;
}
void Query::Last() {
    cur_ = RecordCount() > 0 ? RecordCount() - 1 : 0;
    bof_ = RecordCount() == 0;
}
void Query::Next() {
    if (cur_ < RecordCount()) ++cur_;
    bof_ = false;
}
void Query::Prior() {
    if (cur_ > 0) {
        --cur_;
        bof_ = false;
    } else {
        bof_ = true;
    }
}
void Query::SetRecNo(int recNo) {
    if (recNo < 1 || recNo > RecordCount()) return;
    cur_ = recNo - 1;
    bof_ = false;
}

const Field* Query::FindField(const QString& name) const {
    auto it = byName_.find(name.toLower());
    return it == byName_.end() ? nullptr : &fields_[size_t(it->second)];
}

const Field& Query::FieldByName(const QString& name) const {
    const Field* f = FindField(name);
    if (!f) throw Error(QStringLiteral("Field '%1' not found").arg(name));
    return *f;
}

}  // namespace qm::db
