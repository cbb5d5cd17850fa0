#pragma once
#include <QString>

namespace qm::db {
class Connection;
}

namespace qm {

// The schema script (tables, views, code rows, result rows), compiled into the program.
const char* SchemaSql();

// Writes a new empty database of this system at `path` from the schema script. The only
// code that creates a database file; refuses to overwrite an existing file.
void CreateEmptyDatabase(const QString& path);

// Whether an open connection holds a database of this system (its data tables exist).
bool IsSystemDatabase(db::Connection& c);

}  // namespace qm
