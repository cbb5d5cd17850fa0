#include "core/db/Schema.h"

#include "core/db/Db.h"
#include "core/db/SchemaVersion.h"

#include <sqlite3.h>
#include <QFile>
#include <QFileInfo>

namespace qm {

extern const char* const kSchemaSqlText;

const char* SchemaSql() { return kSchemaSqlText; }

void CreateEmptyDatabase(const QString& path) {
    if (QFileInfo::exists(path)) throw db::Error(QStringLiteral("文件已存在，不能覆盖：%1").arg(path));
    sqlite3* h = nullptr;
    const QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QString error;
    if (rc != SQLITE_OK) {
        error = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString::fromUtf8(sqlite3_errstr(rc));
    } else {
        char* msg = nullptr;
        // The schema and its version, written together.
        const std::string script = std::string("begin;\n") + kSchemaSqlText +
                                   "\npragma user_version = " + std::to_string(SchemaVersion()) + ";\ncommit;";
        rc = sqlite3_exec(h, script.c_str(), nullptr, nullptr, &msg);
        if (rc != SQLITE_OK) {
            error = QString::fromUtf8(msg ? msg : "schema failed");
            sqlite3_free(msg);
        }
    }
    sqlite3_close(h);
    if (!error.isEmpty()) {
        QFile::remove(path);
        throw db::Error::FromEngine(rc, error, QStringLiteral("无法建立数据库 %1：").arg(path));
    }
}

bool IsSystemDatabase(db::Connection& c) {
    const QStringList names = c.TableNames();
    for (const char* t : {"Staff_moninfo", "Wage_Info", "Dep_Info"})
        if (!names.contains(QString::fromLatin1(t), Qt::CaseInsensitive)) return false;
    return true;
}

QString StaffErrorRows() { return QStringLiteral("sIsok='0'"); }
QString WageErrorRows() { return QStringLiteral("(wFlag='0' or sFlag='0')"); }

}  // namespace qm
