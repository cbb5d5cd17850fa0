#pragma once
#include <QString>

namespace qm::db {
class Connection;
}

namespace qm {

// The schema script (tables, views, code rows, result rows), compiled into the program.
const char* SchemaSql();

// Writes a new empty database of this system at `path` from the schema script, at the current
// schema version. The only code that creates a database file; refuses to overwrite an existing
// file.
void CreateEmptyDatabase(const QString& path);

// Whether an open connection holds a database of this system (its data tables exist).
bool IsSystemDatabase(db::Connection& c);

// The rows saved with errors as every query names them: a staff row that failed its audit, a
// wage row with either flag down. The partial indexes of the schema carry the same text, and
// the planner matches a query's condition to an index's term by term, so it is spelled here
// only.
QString StaffErrorRows();  // sIsok='0'
QString WageErrorRows();   // (wFlag='0' or sFlag='0')

}  // namespace qm
