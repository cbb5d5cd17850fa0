#pragma once
// Copies of the database file: backup from the open connection, restore and reinitialisation
// from a file. Every copy goes through SQLite's online backup into a new file beside the
// target, which is then renamed over it, so a failed copy never leaves a half-written target
// and a backup taken while the connection is open is consistent.

#include <QString>

#include <stdexcept>

namespace qm {

namespace db {
class Connection;
}

// A copy that did not happen; its text says why, for the person.
class CopyError : public std::runtime_error {
public:
    explicit CopyError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};

// What a file is, judged without changing it.
enum class DatabaseFileKind {
    Missing,     // no such file
    Jet,         // an Access (Jet/ACE) file of the old platform
    Unreadable,  // neither SQLite nor Jet, or SQLite that cannot be read
    Foreign,     // a SQLite database without this system's data tables
    System,      // a database of this system
};

// Reads the header and, for SQLite, opens the file read-only to look for Staff_moninfo,
// Wage_Info and Dep_Info. A file with them is a database of this system only when it passes
// SQLite's integrity check and has the tables, columns and views of the empty database
// `emptyDatabase` (names compared without regard to case); without a readable empty
// database, those of the schema it is built from.
DatabaseFileKind ClassifyDatabaseFile(const QString& path, const QString& emptyDatabase = QString());
// The header alone: "SQLite format 3\0" at 0, "Standard Jet DB"/"Standard ACE DB" at 4.
bool HasSqliteHeader(const QString& path);
bool HasJetHeader(const QString& path);

// Whether two paths name the same file (same device and inode when both exist, else the
// same absolute path after resolving links of the folder).
bool SameFile(const QString& a, const QString& b);

// Messages of refused or failed copies.
QString BackupOntoLiveText();
QString RestoreFromLiveText();
QString BackupOntoCompanionText();
QString NotSystemDatabaseText(const QString& path);
QString JetDatabaseText(const QString& path);
QString CopyFailedText(const QString& detail);

// Writes the database open on `live` into `target`. Refuses the live file itself and the
// names of its journal files beside it.
void BackupDatabase(db::Connection& live, const QString& target);

// Replaces the file `target` with a copy of the database file `source`; the connection to
// `target` must be closed. Refuses `source` when it is `target` itself, not a database of
// this system (judged against the empty database Defual.mdb beside `target`) or one a newer
// program made; `target` stays byte-identical whenever this throws.
void ReplaceDatabaseFile(const QString& source, const QString& target);

}  // namespace qm
