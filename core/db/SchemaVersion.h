#pragma once
// The version of the schema a database carries (PRAGMA user_version) and the steps that bring
// an older database up to date. The empty database is written at the current version; every
// door through which a database comes in (start-up, the report tool, restore, history import)
// refuses one that a newer program made.

#include "core/db/Db.h"

#include <QString>

#include <optional>

namespace qm {

// The refusal of a database a newer program made (a refusal, not a failure of the engine).
class NewerDatabaseError : public db::Error {
public:
    using db::Error::Error;
};

// The version this program writes and understands: the number of upgrade steps.
int SchemaVersion();

// The version the database open on `c` carries; 0 for one written before there were versions.
int SchemaVersionOf(db::Connection& c);

// Why a database of version `version`, made by a newer program, is refused; `path` names it.
QString NewerDatabaseText(const QString& path, int version);

// Brings the database open on `c` up to date: the steps past its version, and the new version,
// in one transaction. A database that cannot be written now (read-only, or locked by another
// program) is left as it is and keeps working at its version; it is upgraded at a later open.
// Any other failure of a step raises, the database as it was and the connection open, its
// text naming the object in the way. A newer database is refused: the connection is closed
// and a NewerDatabaseError says why. A database that is none of this system's is left alone.
void UpgradeSchema(db::Connection& c);

// The refusal of the database file `path` when a newer program made it; nothing for any other
// file, which the caller judges on its own. Only reads the file.
std::optional<QString> NewerDatabaseRefusal(const QString& path);

}  // namespace qm
