#include "core/db/SchemaVersion.h"

#include "core/db/Db.h"
#include "core/db/Raw.h"
#include "core/db/Schema.h"

#include <sqlite3.h>
#include <QDir>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace qm {

namespace {

// The upgrade steps, oldest first: step i takes a database of version i to version i + 1. A
// step makes in an older database the change schema.sql makes in a new one, so both end with
// the same schema. A step that changes tables or columns must also let the restore's shape
// check take a backup of the older shape.
const std::vector<QStringList>& Steps() {
    static const std::vector<QStringList> steps = {
        // 1: the partial indexes of the error rows, which every gate looks for. Some databases
        // written before there were versions have them already.
        {QStringLiteral("create index if not exists Staff_moninfo_errors on Staff_moninfo (sMon) where ") +
             StaffErrorRows(),
         QStringLiteral("create index if not exists Wage_Info_errors on Wage_Info (Smon) where ") + WageErrorRows()},
    };
    return steps;
}

// A database that cannot take the upgrade now, but opens all the same: read-only (the file, or
// its folder where the journal would go), or held by another program.
bool CannotWriteNow(const db::Error& e) { return e.Locked() || (e.Code() & 0xff) == SQLITE_READONLY; }

}  // namespace

int SchemaVersion() { return int(Steps().size()); }

int SchemaVersionOf(db::Connection& c) {
    db::Query q(c);
    q.Open(QStringLiteral("pragma user_version"));
    return int(q.Fields(0).AsInteger());
}

QString NewerDatabaseText(const QString& path, int version) {
    return QStringLiteral(
               "数据库由较新版本的程序建立（数据库版本%1，本程序只能使用版本%2及以前的数据库），"
               "本程序不能使用，未做任何改动：\n")
               .arg(version)
               .arg(SchemaVersion()) +
           QDir::toNativeSeparators(path);
}

void UpgradeSchema(db::Connection& c) {
    // Another program's file keeps its user_version for its own purposes.
    if (!IsSystemDatabase(c)) return;
    const int version = SchemaVersionOf(c);
    if (version > SchemaVersion()) {
        const QString path = c.Path();
        c.Close();
        throw NewerDatabaseError(NewerDatabaseText(path, version));
    }
    if (version == SchemaVersion() || sqlite3_db_readonly(db::Raw::Handle(c), "main") == 1) return;
    try {
        db::Transaction t(c);
        // Read again under the transaction: another program may have upgraded it meanwhile.
        // A version below 0 was never written by this program: taken as the oldest.
        const int from = std::max(SchemaVersionOf(c), 0);
        if (from >= SchemaVersion()) return;
        for (int step = from; step < SchemaVersion(); ++step)
            for (const QString& sql : Steps()[size_t(step)]) c.Exec(sql);
        // Our own number, not a value from outside: a pragma takes no parameter.
        c.Exec(QStringLiteral("pragma user_version = %1").arg(SchemaVersion()));
        t.Commit();
    } catch (const db::Error& e) {
        if (CannotWriteNow(e)) return;
        if (!e.Code()) throw;
        throw db::Error::FromEngine(e.Code(), e.EngineText(), QStringLiteral("数据库结构升级失败，数据库未做改动："));
    }
}

std::optional<QString> NewerDatabaseRefusal(const QString& path) {
    try {
        db::Connection c;
        c.OpenReadOnly(path);
        if (!IsSystemDatabase(c)) return std::nullopt;
        const int version = SchemaVersionOf(c);
        if (version > SchemaVersion()) return NewerDatabaseText(path, version);
    } catch (const db::Error&) {
        // Not a database SQLite can read: the caller's own checks say what it is.
    }
    return std::nullopt;
}

}  // namespace qm
