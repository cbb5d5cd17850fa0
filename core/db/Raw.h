#pragma once
// For core/db's own code: the engine's handles behind a connection, and what the rooms of the
// connection share among themselves. Nothing else of the program includes it; the tests and the
// benches may, as they may speak SQLite themselves.

#include "core/db/Db.h"

#include <QString>

#include <cstddef>

struct sqlite3;
struct sqlite3_stmt;

namespace qm::db {

// The handles of a connection, which it keeps from every caller outside core/db.
class Raw {
public:
    static sqlite3* Handle(const Connection& c) { return c.db_; }
    // A prepared statement for `sql`, reset and with its bindings cleared; cached per text.
    static sqlite3_stmt* Prepare(Connection& c, const QString& sql) { return c.Prepare(sql); }
    static void Bind(Connection& c, sqlite3_stmt* st, const Params& params) { c.Bind(st, params); }
    // Raises the connection's last failure; `context` (the statement) follows the engine's words.
    [[noreturn]] static void Fail(const Connection& c, const QString& context = {}) { c.Fail(context); }
};

// A column of a stepped statement's current row, as its stored type gives it.
Value ColumnValue(sqlite3_stmt* st, int i);
// Binds one value to parameter `index` (from 1); answers SQLite's result code. A text with a lone
// surrogate half is refused (LoneSurrogateError).
int BindValue(sqlite3_stmt* st, int index, const Value& v);

// A text with a lone surrogate half, which has no UTF-8 form; `shown` is the text as VisibleText
// shows it.
Error LoneSurrogateError(const QString& shown);
// A run given another number of values than its statement has parameters.
Error CountError(int needed, std::size_t given);

}  // namespace qm::db
