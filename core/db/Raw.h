#pragma once
// For core/db's own code: what its rooms share among themselves. Nothing outside core/db
// includes it.

#include "core/db/Db.h"

#include <QString>

#include <cstddef>

struct sqlite3_stmt;

namespace qm::db {

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
