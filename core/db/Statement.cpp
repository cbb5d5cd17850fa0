#include "core/db/Db.h"

#include "core/base/TextCheck.h"
#include "core/db/Raw.h"
#include "core/db/RowsFingerprint.h"

#include <sqlite3.h>

namespace qm::db {

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
    if (inserts_) inserts_->EndRow();
    throw e;
}

void Statement::FingerprintInserts(const InsertFingerprint& plan) {
    inserts_ = std::make_unique<InsertsFingerprint>(plan, count_);
}

std::optional<RowsFingerprint> Statement::TakeFingerprint() { return inserts_ ? inserts_->Take() : std::nullopt; }

void Statement::Fingerprint(int i, const Cell& v) {
    if (inserts_) inserts_->Bound(i, v);
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
        case Value::Kind::Integer:
            Fingerprint(i, {.kind = Cell::Kind::Integer, .integer = v.rawInteger(), .bytes = {}});
            break;
        case Value::Kind::Real: Fingerprint(i, {.kind = Cell::Kind::Real, .real = v.rawReal(), .bytes = {}}); break;
        default: Fingerprint(i, {});
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
    Fingerprint(i, {.kind = Cell::Kind::Text, .bytes = b});
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
    Fingerprint(i, {.kind = Cell::Kind::Text, .bytes = b});
    return *this;
}

Statement& Statement::AddStatic(const char* latin1) {
    if (const int i = Next()) {
        Check(sqlite3_bind_text(st_, i, latin1, -1, SQLITE_STATIC));
        Fingerprint(i, {.kind = Cell::Kind::Text, .bytes = latin1});
    }
    return *this;
}

Statement& Statement::Add(const Cell& cell) {
    const int i = Next();
    if (!i) return *this;
    const std::string_view b = cell.bytes;
    switch (cell.kind) {
    case Cell::Kind::Null: Check(sqlite3_bind_null(st_, i)); break;
    case Cell::Kind::Integer: Check(sqlite3_bind_int64(st_, i, cell.integer)); break;
    case Cell::Kind::Real: Check(sqlite3_bind_double(st_, i, cell.real)); break;
    // Bytes without an address would bind NULL: an empty text or blob is bound as one.
    case Cell::Kind::Text:
        Check(sqlite3_bind_text(st_, i, b.empty() ? "" : b.data(), int(b.size()), SQLITE_STATIC));
        break;
    case Cell::Kind::Blob:
        Check(b.empty() ? sqlite3_bind_zeroblob(st_, i, 0)
                        : sqlite3_bind_blob(st_, i, b.data(), int(b.size()), SQLITE_STATIC));
        break;
    }
    Fingerprint(i, cell);
    return *this;
}

quint64 Statement::Start() {
    const int added = added_;
    added_ = 0;
    const quint64 values = inserts_ ? inserts_->EndRow() : 0;
    if (added != count_) throw CountError(count_, size_t(added));
    // Never into a database closed since: the connection may have opened another.
    if (c_.db_ != db_) throw Error(QStringLiteral("数据库未连接。"));
    return values;
}

int Statement::Run() {
    if (stepping_) EndRun();
    const quint64 values = Start();
    const int changed = c_.Run(st_, sql_);
    if (inserts_) inserts_->Stored(values, sqlite3_last_insert_rowid(db_));
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

}  // namespace qm::db
