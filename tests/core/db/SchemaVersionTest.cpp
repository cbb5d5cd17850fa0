// Databases of older and newer schema versions at every door a database comes in by.
#include "core/app/Maintenance.h"
#include "core/db/DataModule.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Raw.h"
#include "core/db/Schema.h"
#include "core/db/SchemaVersion.h"
#include "core/unit/HistoryImport.h"
#include "tests/support/MaintFixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using namespace qm;

TEST(SchemaVersion, EachDoorUpgradesTakesOrRefusesADatabaseOfAnotherVersion) {
    QTemporaryDir dir;
    db::Connection holder;  // another program, holding the lock in some cases
    // What a door says of a file, in a box or a failure; nothing when it takes it.
    using Door = std::function<QString(const QString&)>;
    const auto upgrade = [](bool readOnly) -> Door {
        return [readOnly](const QString& f) {
            db::Connection c;
            readOnly ? c.OpenReadOnly(f) : c.Open(f);
            sqlite3_busy_timeout(db::Raw::Handle(c), 10);
            UpgradeSchema(c);
            return c.IsOpen() ? QString() : "closed";  // working on at the version it has
        };
    };
    const Door startUp = [](const QString& f) {
        ScriptedUiService ui;
        TDataModule1 dm(f, ui);
        dm.DataModuleCreate();
        EXPECT_EQ(dm.ADOConn.IsOpen(), ui.shown.empty());
        return ui.Texts().join(QString());
    };
    const Door restore = [](const QString& f) {
        test::MaintFixture m;
        m.ui.answers = {DlgAnswer::Yes};
        m.ui.paths = {f};
        return Maintenance(m.ctx).N41Click() ? QString() : m.ui.Texts().last();
    };
    const Door copy = [&](const QString& f) { return ReplaceDatabaseFile(f, dir.filePath("copy")), QString(); };
    const Door import = [](const QString& f) { return SqliteHistorySource(f), QString(); };
    const int v = SchemaVersion(), newer = v + 1;
    const QString column = QStringLiteral("alter table Wage_Info add column sN6");  // a newer program's may differ
    // Made at a version with one more statement, locked or not, taken through a door: whether it
    // fails, and the version it comes out at (the file unchanged when still at its own). Older ones
    // as builds before the version wrote them: without the error indexes, or with some.
    const std::tuple<int, QString, bool, Door, bool, int> cases[] = {
        {0, "", false, startUp, false, v},
        {-1, "", false, startUp, false, v},  // written by some other tool
        {0, "create index Wage_Info_errors on Wage_Info (Smon) where " + WageErrorRows(), false, startUp, false, v},
        {0, "", false, upgrade(true), false, 0},
        {0, "", true, upgrade(false), false, 0},
        {0, "create table Wage_Info_errors (x)", false, upgrade(false), true, 0},  // the step fails midway
        {0, "", false, restore, false, 0},
        {0, "", false, import, false, 0},
        {newer, column, false, startUp, true, newer},
        {newer, column, false, restore, true, newer},
        {newer, "", false, copy, true, newer},
        {newer, "", false, import, true, newer},
    };
    int k = 0;
    for (const auto& [version, more, locked, door, fails, after] : cases) {
        const QString file = dir.filePath(QString::number(++k));
        CreateEmptyDatabase(file);
        holder.Open(file);
        const QString older = version < v ? "drop index Staff_moninfo_errors; drop index Wage_Info_errors;" : "";
        const QByteArray sql = (older + more + QStringLiteral("; pragma user_version=%1").arg(version)).toUtf8();
        ASSERT_EQ(sqlite3_exec(db::Raw::Handle(holder), sql, nullptr, nullptr, nullptr), SQLITE_OK) << k;
        if (locked) holder.Exec(QStringLiteral("begin immediate"));
        const QByteArray before = test::ReadAll(file);
        QString says;
        try {
            says = door(file);
        } catch (const std::exception& e) {
            says = QString::fromUtf8(e.what());
        }
        EXPECT_EQ(says.isEmpty(), !fails) << k;
        EXPECT_EQ(says.toStdString(), (version == newer ? NewerDatabaseText(file, newer) : says).toStdString()) << k;
        EXPECT_EQ(SchemaVersionOf(holder), after) << k;
        holder.Close();
        if (after == version) {
            EXPECT_EQ(test::ReadAll(file), before) << k;
        }
    }
}

// An older database in which a table or view already has the name of an index the upgrade
// makes: the message names it, and the file stays as it was.
TEST(SchemaVersion, AnObjectInTheWayOfTheUpgradeIsNamed) {
    QTemporaryDir dir;
    for (const char* sql : {"create table Wage_Info_errors (x)", "create view Staff_moninfo_errors as select 1"}) {
        const QString file = dir.filePath(QString::fromLatin1(sql).section(' ', 2, 2));
        CreateEmptyDatabase(file);
        db::Connection c;
        c.Open(file);
        const QByteArray older = "drop index Staff_moninfo_errors; drop index Wage_Info_errors; pragma user_version=0;";
        ASSERT_EQ(sqlite3_exec(db::Raw::Handle(c), older + sql, nullptr, nullptr, nullptr), SQLITE_OK);
        c.Close();
        const QByteArray before = test::ReadAll(file);
        ScriptedUiService ui;
        TDataModule1(file, ui).DataModuleCreate();
        const QString says = ui.Texts().join('|'), object = QFileInfo(file).fileName();
        EXPECT_TRUE(
            says.startsWith("数据库结构升级失败，数据库未做改动：数据库中已有名为“" + object + "”的表（或视图）"))
            << says.toStdString();
        EXPECT_EQ(test::ReadAll(file), before);
    }
}

}  // namespace
