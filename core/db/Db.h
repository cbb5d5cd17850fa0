#pragma once
// The database layer: one connection over sqlite3 and a query whose result rows are read
// into memory. Statements are SQLite's dialect; every value from a person, a cell or a
// file is a bound parameter. Its rooms: Errors.cpp (Error), Value.cpp (values and texts in and
// out), Connection.cpp (with Transaction), Statement.cpp (with Row), Query.cpp (with Field).

#include "core/base/Month.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace qm::db {

// Every failure of the database layer raises this. A failure the engine reported carries its
// result code, and its text is the engine's reason as a person reads it (Describe); the
// engine's own words are kept apart and never shown.
class Error : public std::runtime_error {
public:
    // A failure the program states in its own words (code 0), or one the engine reported with
    // its result code and its own message (and what the program was running), which the text
    // then gives in the person's words.
    explicit Error(const QString& text, int code = 0);
    // A failure the engine reported, whatever its code; `lead` opens the text.
    static Error FromEngine(int code, const QString& engineText, const QString& lead = {});
    QString Text() const { return QString::fromUtf8(what()); }
    int Code() const { return code_; }
    const QString& EngineText() const { return engine_; }
    // A failure of the statement itself, in the engine's words (a missing table or column), as
    // the engine would report it.
    static Error Sql(const QString& engineText);
    // Another connection or program holds the database (SQLite's busy or locked).
    bool Locked() const;
    // The one translation of the engine's failures: Chinese text for a result code and the
    // engine's message (which names a missing table or column); never the engine's English.
    static QString Describe(int code, const QString& engineText);
    // The reason of a failure the person can act on (another program holds the database, it
    // is read-only, the disk is full or failing); empty for the others.
    static QString ReasonOf(int code);

private:
    Error(int code, const QString& engineText, const QString& lead);

    int code_ = 0;
    QString engine_;
};

// One value of a row or a parameter.
class Value {
public:
    enum class Kind { Null, Integer, Real, Text };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(int v) : kind_(Kind::Integer), int_(v) {}
    Value(long v) : kind_(Kind::Integer), int_(v) {}
    Value(long long v) : kind_(Kind::Integer), int_(v) {}
    Value(Month m) : kind_(Kind::Integer), int_(m.Number()) {}  // a month is bound as its number
    Value(double v) : kind_(Kind::Real), real_(v) {}
    Value(const QString& v) : kind_(Kind::Text), text_(v) {}
    Value(const char* v) : kind_(Kind::Text), text_(QString::fromUtf8(v)) {}
    Value(const std::string& v) : kind_(Kind::Text), text_(QString::fromStdString(v)) {}

    Kind kind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }
    QString AsString() const;
    long long AsInteger() const;
    double AsFloat() const;

    long long rawInteger() const { return int_; }
    double rawReal() const { return real_; }
    const QString& rawText() const { return text_; }

    bool operator==(const Value& o) const;

private:
    Kind kind_ = Kind::Null;
    long long int_ = 0;
    double real_ = 0;
    QString text_;
};

using Params = std::vector<Value>;

// A text made UTF-8 once, where it is worked on, and bound as it stands: a save of a whole
// month compares and binds thousands of them without converting each again. A text with a
// lone surrogate half has no UTF-8 form; binding it is refused as Connection::Bind refuses it.
class Utf8Text {
public:
    Utf8Text() = default;
    explicit Utf8Text(QStringView text);
    // False for a text with a lone surrogate half: it has no bytes and equals nothing.
    bool Valid() const { return valid_; }
    std::string_view View() const { return valid_ ? std::string_view(bytes_) : std::string_view(); }
    // How a message shows a text that is not valid.
    QString Shown() const { return valid_ ? QString() : QString::fromStdString(bytes_); }

private:
    std::string bytes_;  // for a text that is not valid, how a message shows it
    bool valid_ = true;
};

// Converts `text` into `out` (no allocation for a short text, or within out's room).
void ToUtf8(QStringView text, std::string& out);

// Text of a real number as the original's float-to-text conversion gives it: whole
// numbers without ".0", others in their shortest exact decimal form.
QString FormatReal(double v);

// Stored bytes as a text read from them gives them back: bytes that are no UTF-8 replaced and a
// leading byte-order mark dropped, so that bytes compare as those texts did. A changed text is
// made in `spare`, which the answer then points into.
std::string_view AsRead(std::string_view stored, std::string& spare);
// Without the characters up to U+0020 at either end: in UTF-8 each of them is one byte, and
// no longer character holds such a byte.
std::string_view TrimBlankBytes(std::string_view s);

// The text the engine makes of a real number (in a cast to text, or where a real meets a text).
std::string EngineRealText(double v);
// Whether the engine was built with the compile-time option (named without its SQLITE_).
bool CompiledWith(const char* option);

// One column of a row as it is stored: its kind and what it holds, read in place. A text's or a
// blob's bytes are the engine's own, no copy: valid until the statement steps again or is reset.
// A text's bytes are as stored, which need not be UTF-8 and may hold a NUL.
struct Cell {
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    long long integer = 0;   // Integer
    double real = 0;         // Real
    std::string_view bytes;  // Text and Blob

    bool IsNull() const { return kind == Kind::Null; }
};

// The current row of a stepped statement, read without a copy: what a pass over many rows reads.
class Row {
public:
    int ColumnCount() const;
    // The index of the column called `name`, found without regard to case; -1 when none is.
    int Find(const char* name) const;
    Cell At(int col) const;
    // The value as the engine converts it: a text read as a number, a number written as text
    // (which turns the stored number into text: read At first where both are read). NULL is 0 or
    // empty.
    long long Integer(int col) const;
    double Real(int col) const;
    std::string_view Text(int col) const;

protected:
    sqlite3_stmt* st_ = nullptr;
};

class Statement;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing database read-write; a missing file is an error, never created.
    void Open(const QString& path);
    // Opens read-only (to inspect another database without touching it).
    void OpenReadOnly(const QString& path);
    void Close();  // harmless when already closed
    bool IsOpen() const { return db_ != nullptr; }
    QString Path() const { return path_; }

    // Runs a statement, answers the rows it changed.
    int Exec(const QString& sql, const Params& params = {});

    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

    // User tables, as stored.
    QStringList TableNames() const;
    // Looks a table up among TableNames() without regard to case.
    bool HasTable(const QString& name) const;

    // The rows changed since the connection was opened: a stamp of what was written through it.
    long long TotalChanges() const;
    // The rows written through the connection since it was opened that the engine reported one
    // by one: to the table `table` (named without regard to case), and to any table. A delete
    // of a whole table at once is not reported by rows; TotalChanges counts it all the same.
    long long RowWrites(std::string_view table) const;
    long long RowWrites() const { return rowWrites_; }
    // The id of the row the last insert wrote.
    long long LastInsertId() const;
    // The number of the connection's last opening, unique in the process: a reopened database
    // may be another file, and another connection is another database.
    long long Openings() const { return openings_; }

private:
    // Its own statements, and core/db's code through Raw, reach the engine's handles.
    friend class Statement;
    friend class Raw;
    // A prepared statement for `sql`, reset and with its bindings cleared; cached per text.
    sqlite3_stmt* Prepare(const QString& sql);
    void Bind(sqlite3_stmt* st, const Params& params);
    [[noreturn]] void Fail(const QString& context = {}) const;
    // Steps a bound statement of text `sql` to its end and resets it; answers the rows it changed.
    int Run(sqlite3_stmt* st, const QString& sql);

    void OpenWith(const QString& path, int flags);
    void FinalizeAll();
    static void RowWritten(void* self, int op, const char* database, const char* table, long long rowid);

    sqlite3* db_ = nullptr;
    long long openings_ = 0;
    // The rows the engine reported written, per table and in all; the table last written first.
    std::vector<std::pair<std::string, long long>> tableWrites_;
    const char* lastTable_ = nullptr;
    std::size_t lastSlot_ = 0;
    long long rowWrites_ = 0;
    QString path_;
    std::unordered_map<std::string, sqlite3_stmt*> cache_;
    QString lastSql_;  // the text last prepared or found, and its statement in cache_
    sqlite3_stmt* lastSt_ = nullptr;
};

class RowsFingerprint;
struct InsertFingerprint;
class InsertsFingerprint;

// One statement of its own, prepared once and run row after row: by a save of many rows, each
// run's values bound straight into it, texts from their UTF-8 bytes, with no list of values
// between; by a pass over many rows, stepped row by row and read in place (Row). Being its own,
// it stays as it is however many statements the connection runs between two of its steps. A run
// fails as Connection::Exec does, with the same errors.
class Statement : public Row {
public:
    Statement(Connection& c, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // The values of the next run, in the order of the statement's parameters.
    Statement& Add(const Value& v);
    Statement& Add(const QString& text);
    Statement& Add(const std::optional<QString>& text);  // null when absent
    Statement& Add(const std::optional<long long>& v);   // null when absent
    // The bytes are bound where they stand: they must outlive the run, so a temporary is refused.
    Statement& Add(const Utf8Text& text);
    Statement& Add(Utf8Text&&) = delete;
    Statement& AddStatic(const char* latin1);  // a literal such as a flag "1"
    // A cell as read (a text's bytes bound as they are, never checked): its bytes must outlive
    // the run, as a Utf8Text's.
    Statement& Add(const Cell& cell);
    // Runs with the values added since the last run; answers the rows changed.
    int Run();
    // Steps the run of the values added since the last run: true on a row, which Row then
    // reads; false at the end, when the statement is ready for the next run's values.
    bool Step();
    // Ends the run before its end.
    void Reset();

    // From here on, the fingerprint of the rows this insert stores (RowsFingerprint), taken from
    // the values it binds as `plan` says they are stored: a save need not read back what it
    // wrote. TakeFingerprint answers it, or none when a value's stored form was not known.
    void FingerprintInserts(const InsertFingerprint& plan);
    std::optional<RowsFingerprint> TakeFingerprint();

private:
    // The index of the value being added; 0 for one beyond the statement's parameters, which
    // is only counted (the run refuses it). The values of a new run end a run stepped part way.
    int Next() {
        if (stepping_) EndRun();
        ++added_;
        return added_ <= count_ ? added_ : 0;
    }
    void EndRun();
    // Hands the value just bound to parameter i to the fingerprint of the inserts, if one is taken.
    void Fingerprint(int i, const Cell& v);
    [[noreturn]] void Refuse(const Error& e);
    // A binding the engine refused (its result code is not SQLITE_OK, 0) fails the run.
    void Check(int rc) {
        if (rc != 0) Fail();
    }
    [[noreturn]] void Fail();
    // Checks the values added and the handle before a run's first step; answers the fingerprint
    // slots of the values bound for it.
    quint64 Start();

    Connection& c_;
    QString sql_;
    sqlite3* db_ = nullptr;  // the handle it was prepared on
    int count_ = 0;          // parameters of the statement
    int added_ = 0;
    bool stepping_ = false;  // a run has stepped and not ended
    // One buffer per parameter for the texts converted here, kept from run to run.
    std::vector<std::string> buffers_;
    std::unique_ptr<InsertsFingerprint> inserts_;  // since FingerprintInserts
};

// Deletes every row of the table `name` (quoted as need be, never a person's text) one by one,
// as the engine reports each (Connection::RowWrites); answers the rows deleted. A table emptied
// at once is reported by no name, so that it may have been any table, the staff lists too.
int DeleteEveryRow(Connection& c, const QString& name);

// Begins a transaction; rolls it back on destruction unless Commit() was called.
class Transaction {
public:
    explicit Transaction(Connection& c);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Connection& c_;
    bool done_ = false;
};

class Query;

// A column of an open query; reads the value of the query's current row.
class Field {
public:
    Field(const Query* q, int index, QString name, QString declType)
        : q_(q), index_(index), name_(std::move(name)), declType_(std::move(declType)) {}
    const QString& FieldName() const { return name_; }
    // The column's declared type in the schema ("INTEGER", "NUMERIC", "TEXT", ...), empty for expressions.
    const QString& DeclaredType() const { return declType_; }
    int Index() const { return index_; }

    const Value& AsValue() const;
    QString AsString() const { return AsValue().AsString(); }
    long long AsInteger() const { return AsValue().AsInteger(); }
    double AsFloat() const { return AsValue().AsFloat(); }
    bool IsNull() const { return AsValue().IsNull(); }

private:
    const Query* q_;
    int index_;
    QString name_;
    QString declType_;
};

// SQL text with bound parameters. Open() reads every row into memory (ordered rows and a
// cursor over them); Exec() runs a statement that returns no rows.
class Query {
public:
    explicit Query(Connection& c) : c_(&c) {}
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Connection& connection() const { return *c_; }

    void Open(const QString& sql, const Params& params = {});
    int Exec(const QString& sql, const Params& params = {});
    void Close();
    bool Active() const { return active_; }

    // Cursor.
    bool Eof() const { return !active_ || cur_ >= RecordCount(); }
    bool Bof() const { return bof_; }
    void First();
    void Last();
    void Next();
    void Prior();
    int RecNo() const { return cur_ + 1; }  // 1-based, as data sets count
    void SetRecNo(int recNo);
    int RecordCount() const { return cols_ ? int(values_.size() / cols_) : 0; }

    // Fields.
    int FieldCount() const { return int(fields_.size()); }
    const Field& Fields(int i) const { return fields_.at(size_t(i)); }
    const Field& FieldByName(const QString& name) const;  // case-blind; raises when absent
    const Field* FindField(const QString& name) const;    // case-blind; null when absent
    const Value& ValueAt(int row, int col) const { return values_[size_t(row) * cols_ + size_t(col)]; }

private:
    friend class Field;
    const Value& Current(int col) const;

    Connection* c_;
    bool active_ = false;
    bool bof_ = true;
    int cur_ = 0;
    size_t cols_ = 0;
    std::vector<Field> fields_;
    std::unordered_map<QString, int> byName_;  // lower-cased name -> index
    std::vector<Value> values_;
};

}  // namespace qm::db
