// Writes <folder>/Database/Defual.mdb anew from the schema, and <folder>/Database/RCdatabase.mdb
// as a copy of it only when that file is absent, so a person's data is never overwritten.
#include "core/base/AppPaths.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qm-mkdb <program folder>\n");
        return 2;
    }
    qm::AppPaths paths(QString::fromLocal8Bit(argv[1]));
    try {
        qm::AppPaths::Ensure(paths.DatabaseDir());
        const QString fresh = paths.EmptyDatabase() + QStringLiteral(".new");
        QFile::remove(fresh);
        qm::CreateEmptyDatabase(fresh);
        QFile::remove(paths.EmptyDatabase());
        if (!QFile::rename(fresh, paths.EmptyDatabase())) throw qm::db::Error(QStringLiteral("rename failed"));
        if (!QFile::exists(paths.Database())) {
            if (!QFile::copy(paths.EmptyDatabase(), paths.Database()))
                throw qm::db::Error(QStringLiteral("copy failed"));
            QFile(paths.Database())
                .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qm-mkdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
