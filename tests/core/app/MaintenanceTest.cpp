#include "core/app/Maintenance.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Schema.h"
#include "core/unit/DataClearing.h"
#include "core/unit/Headcount.h"
#include "tests/core/files/FullDisk.h"
#include "tests/core/files/NoLocks.h"
#include "tests/support/MaintFixture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>

using namespace qm;
using qm::test::ReadAll;
using qm::test::WriteAll;

namespace {

class MaintenanceTest : public ::testing::Test, public qm::test::MaintFixture {
protected:
    Maintenance m{ctx};
    QString Live() const { return base.paths().Database(); }
    QString Bak(const QString& name) const { return AppPaths::Ensure(base.paths().Bak()) + QLatin1Char('/') + name; }
    // Restore asks first, then offers the file dialog.
    void ScriptRestore(const QString& file) {
        ui.answers = {DlgAnswer::Yes};
        ui.paths = {file};
    }
};

// ---------------------------------------------------------------- backup and restore

TEST_F(MaintenanceTest, BackupThenChangeThenRestoreBringsTheDataBackAndEndsTheProgram) {
    AddUnit();
    Seed();
    const QString bakFile = Bak(QStringLiteral("12345678X.mdb"));
    ui.paths = {bakFile};
    m.N37Click();
    // The save dialog proposes the trimmed unit code in BAK/.
    ASSERT_GE(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::SaveFile);
    EXPECT_EQ(ui.shown[0].text, base.paths().Bak() + QStringLiteral("/12345678X.mdb"));
    ASSERT_EQ(ui.Texts(), QStringList{QStringLiteral("备份成功，备份在：") + bakFile});
    EXPECT_EQ(ui.shown.back().sort, ShownBox::Sort::OpenFolder);
    EXPECT_EQ(ui.shown.back().text, base.paths().Bak());
    EXPECT_EQ(ClassifyDatabaseFile(bakFile), DatabaseFileKind::System);

    db().Exec(QStringLiteral("delete from Wage_Info"));
    db().Exec(QStringLiteral("update Staff_moninfo set sName='改过' where sMon=0"));
    ui.Clear();
    ScriptRestore(bakFile);
    EXPECT_TRUE(m.N41Click());
    EXPECT_EQ(ui.Texts(),
              (QStringList{QStringLiteral("还原数据后，必须重启系统才生效，确认还原？\n确认按[Yes],不确认按[No]"),
                           QStringLiteral("还原系统成功，请重启！")}));
    EXPECT_EQ(ui.shown[1].sort, ShownBox::Sort::OpenFile);
    EXPECT_EQ(ui.shown[1].text, base.paths().Bak());
    EXPECT_FALSE(db().IsOpen());  // the program ends next

    db().Open(Live());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info")), 9);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sName='改过'")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Dep_Info")), 1);
}

TEST_F(MaintenanceTest, BackupOverAnEarlierBackupReplacesIt) {
    AddUnit();
    const QString bakFile = Bak(QStringLiteral("x.mdb"));
    WriteAll(bakFile, "an older file");
    Seed();
    ui.paths = {bakFile};
    m.N37Click();
    db::Connection c;
    c.OpenReadOnly(bakFile);
    db::Query q(c);
    q.Open(QStringLiteral("select count(*) from Staff_moninfo"));
    EXPECT_EQ(q.Fields(0).AsInteger(), 12);
    // Nothing is left beside it.
    EXPECT_EQ(QDir(base.paths().Bak()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(MaintenanceTest, BackupOrRestoreOntoTheLiveFileIsRefusedAndTheFileStaysIntact) {
    AddUnit();
    Seed();
    const QByteArray before = ReadAll(Live());
    const QString otherSpelling = base.paths().Base() + QStringLiteral("/Database/../Database/RCdatabase.mdb");
    const QString link = Bak(QStringLiteral("link.mdb"));
    ASSERT_TRUE(QFile::link(Live(), link));
    for (const QString& target : {Live(), otherSpelling, link}) {
        ui.Clear();
        ui.paths = {target};
        m.N37Click();
        EXPECT_EQ(ui.Texts(), QStringList{BackupOntoLiveText()}) << target.toStdString();
        EXPECT_EQ(ReadAll(Live()), before);

        ui.Clear();
        ScriptRestore(target);
        EXPECT_FALSE(m.N41Click());
        EXPECT_EQ(ui.Texts().last(), RestoreFromLiveText());
        EXPECT_TRUE(db().IsOpen());
        EXPECT_EQ(ReadAll(Live()), before);
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo")), 12);
}

TEST_F(MaintenanceTest, RestoreOfAFileThatIsNoDatabaseOfThisSystemIsRefused) {
    AddUnit();
    Seed();
    const QByteArray before = ReadAll(Live());

    const QString text = Bak(QStringLiteral("notes.mdb"));
    WriteAll(text, "just some text, long enough to look like a file of its own.\n");
    const QString empty = Bak(QStringLiteral("empty.mdb"));
    WriteAll(empty, QByteArray());
    QByteArray jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    const QString jetFile = Bak(QStringLiteral("jet.mdb"));
    WriteAll(jetFile, jet);
    const QString foreign = Bak(QStringLiteral("foreign.mdb"));
    {
        db::Connection c;
        // A SQLite database that lacks one of the system's tables.
        CreateEmptyDatabase(foreign);
        c.Open(foreign);
        c.Exec(QStringLiteral("drop table Dep_Info"));
    }
    const QString missing = Bak(QStringLiteral("missing.mdb"));

    const std::pair<QString, QString> cases[] = {
        {text, NotSystemDatabaseText(text)},
        {empty, NotSystemDatabaseText(empty)},
        {foreign, NotSystemDatabaseText(foreign)},
        {jetFile, JetDatabaseText(jetFile)},
    };
    for (const auto& [file, message] : cases) {
        ui.Clear();
        const QByteArray sourceBefore = ReadAll(file);
        ScriptRestore(file);
        EXPECT_FALSE(m.N41Click()) << file.toStdString();
        EXPECT_EQ(ui.Texts().last(), message);
        EXPECT_FALSE(ui.Texts().contains(QStringLiteral("还原系统成功，请重启！")));
        EXPECT_EQ(ReadAll(Live()), before);
        EXPECT_EQ(ReadAll(file), sourceBefore);  // the source is only read
        EXPECT_TRUE(db().IsOpen());
    }
    ui.Clear();
    ScriptRestore(missing);
    EXPECT_FALSE(m.N41Click());
    EXPECT_TRUE(ui.Texts().last().startsWith(CopyFailedText(QString())));
    EXPECT_EQ(ReadAll(Live()), before);
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(MaintenanceTest, RestoreRefusesADamagedFileOrOneOfAnotherShape) {
    AddUnit();
    Seed();
    CreateEmptyDatabase(base.paths().EmptyDatabase());
    const QByteArray before = ReadAll(Live());
    auto systemCopy = [&](const QString& name, const QStringList& changes) {
        const QString file = Bak(name);
        CreateEmptyDatabase(file);
        db::Connection c;
        c.Open(file);
        for (const QString& change : changes) c.Exec(change);
        return file;
    };
    // A damaged page: many rows over many pages, then one page in the middle overwritten.
    const QString damaged = systemCopy(QStringLiteral("damaged.mdb"), {});
    {
        db::Connection c;
        c.Open(damaged);
        db::Transaction t(c);
        for (int i = 0; i < 3000; ++i)
            c.Exec(QStringLiteral(
                       "insert into Wage_Info(Smon,sNumber,sName,sTotal,sFlag,wFlag) values(1,?,?,3000,'1','1')"),
                   {QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0')),
                    QStringLiteral("某某某某某某某某某某%1").arg(i)});
        t.Commit();
    }
    QByteArray bytes = ReadAll(damaged);
    ASSERT_GT(bytes.size(), 40 * 4096);
    bytes.replace(bytes.size() - 8 * 4096 + 8, 200, QByteArray(200, '\x7f'));
    WriteAll(damaged, bytes);
    const QString extraColumn =
        systemCopy(QStringLiteral("column.mdb"), {QStringLiteral("alter table Wage_Info add column sN6 NUMERIC")});
    const QString noView = systemCopy(QStringLiteral("view.mdb"), {QStringLiteral("drop view VmonWage")});
    const QString extraTable = systemCopy(QStringLiteral("table.mdb"), {QStringLiteral("create table Extra(x)")});
    // The same names in another shape: a join key of another type, columns in another order, a
    // key that is no longer the row's key, a view that pairs its rows otherwise.
    auto edited = [&](const char* name, const char* object, const char* from, const char* to) {
        return systemCopy(QString::fromLatin1(name),
                          {QStringLiteral("pragma writable_schema=on"),
                           QStringLiteral("update sqlite_master set sql=replace(sql, '%1', '%2') where name='%3'")
                               .arg(QLatin1String(from), QLatin1String(to), QLatin1String(object))});
    };
    const QString otherType = edited("type.mdb", "Wage_Info", "sNumber text", "sNumber integer");
    const QString otherKey = edited("key.mdb", "Wage_Info", "integer primary key autoincrement", "integer");
    const QString otherOrder = edited("order.mdb", "Dep_Info", "DepName text, DepNo text", "DepNo text, DepName text");
    const QString otherView = edited("joined.mdb", "VmonWage", "s.sMon = w.Smon and ", "");
    for (const QString& file : {damaged, extraColumn, noView, extraTable, otherType, otherKey, otherOrder, otherView}) {
        ui.Clear();
        ScriptRestore(file);
        EXPECT_FALSE(m.N41Click()) << file.toStdString();
        EXPECT_EQ(ui.Texts().last(), NotSystemDatabaseText(file));
        EXPECT_FALSE(ui.Texts().contains(QStringLiteral("还原系统成功，请重启！")));
        EXPECT_EQ(ReadAll(Live()), before);
        EXPECT_TRUE(db().IsOpen());
    }
    // Names compared without regard to case; an intact copy of the right shape is restored.
    const QString otherCase = systemCopy(
        QStringLiteral("case.mdb"),
        {QStringLiteral("alter table Dep_Info rename to x"), QStringLiteral("alter table x rename to DEP_INFO")});
    EXPECT_EQ(ClassifyDatabaseFile(otherCase, base.paths().EmptyDatabase()), DatabaseFileKind::System);
    // The range copies the wage summaries and the period labour report save as they run are
    // part of a backup of this system; a look-alike outside the month range is not.
    const QString withCopies = systemCopy(QStringLiteral("copies.mdb"),
                                          {QStringLiteral("create table Total_1_3 as select * from Total_Info"),
                                           QStringLiteral("create table JLabor_4_12 as select * from JLabor_info")});
    EXPECT_EQ(ClassifyDatabaseFile(withCopies, base.paths().EmptyDatabase()), DatabaseFileKind::System);
    const QString lookAlike = systemCopy(QStringLiteral("lookalike.mdb"),
                                         {QStringLiteral("create table Total_0_13 as select * from Total_Info")});
    EXPECT_EQ(ClassifyDatabaseFile(lookAlike, base.paths().EmptyDatabase()), DatabaseFileKind::Foreign);
    ui.Clear();
    ScriptRestore(systemCopy(QStringLiteral("good.mdb"), {}));
    EXPECT_TRUE(m.N41Click());
    EXPECT_EQ(ui.Texts().last(), QStringLiteral("还原系统成功，请重启！"));
}

TEST_F(MaintenanceTest, BackupRefusesTheNamesOfTheLiveDatabasesJournals) {
    AddUnit();
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QString target = Live() + QLatin1String(suffix);
        ui.Clear();
        ui.paths = {target};
        m.N37Click();
        EXPECT_EQ(ui.Texts(), QStringList{BackupOntoCompanionText()}) << suffix;
        EXPECT_FALSE(QFileInfo::exists(target)) << suffix;
    }
    // The same names beside another file are ordinary backups.
    ui.Clear();
    ui.paths = {Bak(QStringLiteral("x.mdb-journal"))};
    m.N37Click();
    EXPECT_EQ(ClassifyDatabaseFile(Bak(QStringLiteral("x.mdb-journal"))), DatabaseFileKind::System);
}

TEST_F(MaintenanceTest, DeclinedOrCancelledRestoreAndBackupChangeNothing) {
    AddUnit();
    Seed();
    const QByteArray before = ReadAll(Live());
    ui.answers = {DlgAnswer::No};
    ui.paths = {Bak(QStringLiteral("x.mdb"))};
    EXPECT_FALSE(m.N41Click());
    EXPECT_EQ(ui.shown.size(), 1u);  // the question only; no file dialog
    ui.Clear();
    ui.paths.clear();
    ui.answers = {DlgAnswer::Yes};
    EXPECT_FALSE(m.N41Click());  // file dialog cancelled
    ui.Clear();
    m.N37Click();  // save dialog cancelled
    EXPECT_EQ(ui.Texts(), QStringList{});
    EXPECT_EQ(ReadAll(Live()), before);
    EXPECT_TRUE(db().IsOpen());
}

TEST_F(MaintenanceTest, BackupIntoAMissingFolderFailsAndSaysSo) {
    AddUnit();
    ui.paths = {base.paths().Base() + QStringLiteral("/nowhere/x.mdb")};
    m.N37Click();
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].startsWith(CopyFailedText(QString())));
    for (const auto& b : ui.shown) EXPECT_NE(b.sort, ShownBox::Sort::OpenFolder);
}

// Backup and restore sweep a killed copy from the folder; a copy that fails leaves nothing and says why.
TEST_F(MaintenanceTest, WhatAKilledOrFailedCopyLeftIsGoneAfterTheNextCopy) {
    AddUnit();
    Seed();
    const QString source = Bak(QStringLiteral("source.mdb"));
    ui.paths = {source};
    m.N37Click();
    const rlim_t any = RLIM_INFINITY;
    // The target (the live file for a restore), the room on the disk.
    const std::pair<QString, rlim_t> cases[] = {
        {Bak("x.mdb"), any}, {Live(), any}, {Bak("x.mdb"), 20000}, {Live(), 20000}};
    for (const auto& [target, room] : cases) {
        const bool restore = target == Live(), fails = room != any;
        SCOPED_TRACE(target.toStdString() + " " + std::to_string(room));
        const QString folder = QFileInfo(target).absolutePath() + '/', name = QFileInfo(target).fileName();
        QFile::remove(Bak("x.mdb"));
        QStringList expected = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QByteArray liveBefore = ReadAll(Live());
        const QString left = '.' + name + QStringLiteral(".qmtmp.Kill01");
        ASSERT_TRUE(test::PutAged(folder + left, liveBefore.left(8192), 0));
        ui.Clear();
        ui.answers = {DlgAnswer::Yes};
        ui.paths = {restore ? source : target};
        {
            const test::FullDisk disk(room);
            restore ? void(m.N41Click()) : m.N37Click();
        }
        const QString said = ui.Texts().value(restore ? 1 : 0);
        EXPECT_EQ(said.startsWith(CopyFailedText(QString())), fails) << said.toStdString();
        EXPECT_TRUE(!restore || !fails || ReadAll(Live()) == liveBefore);
        if (!fails && !restore) expected << name;
        expected.sort();
        EXPECT_EQ(test::Entries(folder), expected.join(' ').toStdString());
        if (!db().IsOpen()) db().Open(Live());
    }
}

TEST_F(MaintenanceTest, BackupNeedsAUnit) {
    main.unit = false;
    m.N37Click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("请先填写单位基本信息！")});
    EXPECT_EQ(ui.shown.size(), 1u);
}

TEST(DatabaseCopy, AFailedReplacementLeavesTheTargetAndNoPartFile) {
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src.mdb"));
    CreateEmptyDatabase(src);
    // A folder in the target's place: the final rename fails.
    const QString target = dir.filePath(QStringLiteral("target.mdb"));
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("/inside")));
    EXPECT_THROW(ReplaceDatabaseFile(src, target), CopyError);
    EXPECT_TRUE(QFileInfo(target + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);  // src.mdb only
}

TEST(DatabaseCopy, SameFileKnowsLinksAndSpellings) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.mdb"));
    WriteAll(a, "x");
    EXPECT_TRUE(SameFile(a, dir.path() + QStringLiteral("/./a.mdb")));
    EXPECT_FALSE(SameFile(a, dir.filePath(QStringLiteral("b.mdb"))));
    ASSERT_TRUE(QFile::link(a, dir.filePath(QStringLiteral("l.mdb"))));
    EXPECT_TRUE(SameFile(a, dir.filePath(QStringLiteral("l.mdb"))));
    EXPECT_TRUE(SameFile(dir.filePath(QStringLiteral("n.mdb")), dir.path() + QStringLiteral("/x/../n.mdb")));
}

TEST(DatabaseCopy, TheFolderOpenedAfterABackupIsTheChosenFilesFolder) {
    EXPECT_EQ(Maintenance::FolderOf(QStringLiteral("/a/b/c.mdb")), QStringLiteral("/a/b"));
    EXPECT_EQ(Maintenance::FolderOf(QStringLiteral("/c.mdb")), QStringLiteral("/"));
}

// ---------------------------------------------------------------- reinitialisation

TEST_F(MaintenanceTest, ReinitialisationLeavesTheEmptyDatabaseWithItsRows) {
    CreateEmptyDatabase(base.paths().EmptyDatabase());
    AddUnit();
    Seed();
    db().Exec(QStringLiteral("insert into Initial_Info values('12345678X','9')"));
    ui.answers = {DlgAnswer::Yes};
    EXPECT_TRUE(m.N43Click());
    EXPECT_EQ(ui.Texts(),
              QStringList{QStringLiteral("系统数据将清空，必须重启系统才生效，请确认！\n确认按[Yes],不确认按[No]")});
    EXPECT_FALSE(db().IsOpen());
    db().Open(Live());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Dep_Info")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Initial_Info")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Total_Info")), 40);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Total_baseInfo")), 17);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Code_Edu")), 9);
    EXPECT_TRUE(IsSystemDatabase(db()));
}

TEST_F(MaintenanceTest, ReinitialisationDeclinedOrWithoutTheEmptyDatabaseChangesNothing) {
    AddUnit();
    const QByteArray before = ReadAll(Live());
    ui.answers = {DlgAnswer::No};
    EXPECT_FALSE(m.N43Click());
    EXPECT_TRUE(db().IsOpen());
    // Defual.mdb missing: said so, the live file untouched and still connected.
    ui.answers = {DlgAnswer::Yes};
    EXPECT_FALSE(m.N43Click());
    EXPECT_TRUE(ui.Texts().last().startsWith(CopyFailedText(QString())));
    EXPECT_TRUE(db().IsOpen());
    EXPECT_EQ(ReadAll(Live()), before);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Dep_Info")), 1);
}

// ---------------------------------------------------------------- clearing

TEST_F(MaintenanceTest, ClearingAllMonthlyStaffKeepsMonthZeroAndRefreshesEitherWay) {
    AddUnit();
    Seed();
    ui.answers = {DlgAnswer::No};
    m.N31Click();
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo")), 12);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info")), 9);
    EXPECT_EQ(main.monthRefreshes, 1);

    ui.Clear();
    ui.answers = {DlgAnswer::Yes};
    m.N31Click();
    EXPECT_EQ(ui.Texts(),
              (QStringList{QStringLiteral("请慎重处理，一旦清空，无法恢复！"), QStringLiteral("成功清空！")}));
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Information);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sMon<>0")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), 3);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info")), 0);
    EXPECT_EQ(main.monthRefreshes, 2);
}

TEST_F(MaintenanceTest, AFailureInTheMiddleOfAClearingLeavesEveryRow) {
    AddUnit();
    Seed();
    db().Exec(
        QStringLiteral("create trigger no_wage_delete before delete on Wage_Info "
                       "begin select raise(abort, 'injected'); end"));
    ui.answers = {DlgAnswer::Yes};
    EXPECT_THROW(m.N31Click(), db::Error);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo")), 12);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info")), 9);
    EXPECT_FALSE(db().InTransaction());
    EXPECT_EQ(main.monthRefreshes, 1);
    EXPECT_FALSE(ui.Texts().contains(QStringLiteral("成功清空！")));

    // The refresh runs while the clearing's failure unwinds: if it fails too, it is shown and
    // the clearing's own failure still reaches the handler (a second throw would end the program).
    ui.Clear();
    main.failRefresh = true;
    ui.answers = {DlgAnswer::Yes};
    EXPECT_THROW(m.N31Click(), db::Error);
    EXPECT_EQ(main.monthRefreshes, 2);
    EXPECT_TRUE(ui.Texts().contains(QStringLiteral("database is locked")));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info")), 9);
    main.failRefresh = false;

    DataClearing c(db());
    EXPECT_THROW(c.ClearStaffMonth(3), db::Error);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sMon=3")), 3);
}

TEST_F(MaintenanceTest, ClearingTheStartOfPeriodListDeletesOnlyMonthZero) {
    AddUnit();
    Seed();
    ui.answers = {DlgAnswer::No};
    EXPECT_FALSE(m.N34Click());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), 3);

    ui.Clear();
    ui.answers = {DlgAnswer::Yes};
    EXPECT_TRUE(m.N34Click());
    EXPECT_EQ(ui.Texts(),
              (QStringList{QStringLiteral("Yes:清空，无法恢复；No:不清空。"), QStringLiteral("   成功清空。   ")}));
    EXPECT_EQ(ui.shown[1].sort, ShownBox::Sort::Plain);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), 0);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo")), 9);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info")), 9);
    EXPECT_EQ(state.InitialCleared, 1);
    EXPECT_EQ(main.initialRefreshes, 1);
    EXPECT_EQ(main.monthRefreshes, 0);  // it would reset InitialCleared
}

TEST_F(MaintenanceTest, TheClearingDialogsOpenOnlyWhenThereIsSomethingToClear) {
    AddUnit();
    m.N21Click();
    m.N33Click();
    EXPECT_EQ(ui.Texts(),
              (QStringList{QStringLiteral("没有月度工资数据！"), QStringLiteral("没有月度从业人员数据！")}));
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Confirmation);
    EXPECT_TRUE(shownForms.empty());

    AddStaff(0, QStringLiteral("001"));
    m.N33Click();  // month 0 does not count
    EXPECT_TRUE(shownForms.empty());
    AddStaff(2, QStringLiteral("001"));
    AddWage(2, QStringLiteral("001"));
    ui.Clear();
    m.N21Click();
    m.N33Click();
    EXPECT_EQ(ui.Texts(), QStringList{});
    EXPECT_EQ(shownForms,
              (std::vector<QString>{QStringLiteral("TFrm_clearChWage"), QStringLiteral("TFrm_clearChMon")}));
}

TEST_F(MaintenanceTest, ClearingCommandsStopAtTheUnitGateWithItsMessageOnly) {
    main.unit = false;
    Seed();
    m.N21Click();
    m.N33Click();
    m.N31Click();
    EXPECT_FALSE(m.N34Click());
    m.N9Click();
    EXPECT_EQ(ui.Texts(), QStringList(5, QStringLiteral("请先填写单位基本信息！")));
    EXPECT_TRUE(shownForms.empty());
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo")), 12);
}

TEST_F(MaintenanceTest, TheErrorFolderIsCreatedAndAnExistingOneIsKept) {
    m.N32Click();
    EXPECT_TRUE(QFileInfo(base.paths().Error()).isDir());
    m.N32Click();
    EXPECT_TRUE(QFileInfo(base.paths().Error()).isDir());
}

// ---------------------------------------------------------------- headcount command

TEST_F(MaintenanceTest, TheHeadcountCommandCountsStaffInfoAndStoresOneRow) {
    AddUnit();
    for (int i = 0; i < 3; ++i) db().Exec(QStringLiteral("insert into Staff_Info(sName) values('x')"));
    for (int round = 0; round < 2; ++round) {
        ui.Clear();
        ui.answers = {DlgAnswer::Yes};
        m.N9Click();
        EXPECT_EQ(ui.Texts(), (QStringList{QStringLiteral("从[从业人员]中汇总？"), QStringLiteral("共有:3人！"),
                                           QStringLiteral("期末从业人员数量生成成功！")}));
        EXPECT_EQ(ui.shown[1].buttons, DlgButtons::YesOnly);
    }
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Initial_Info")), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select DepNo||'|'||sInitial from Initial_Info")), QStringLiteral("12345678X|3"));
    EXPECT_TRUE(shownForms.empty());

    ui.answers = {DlgAnswer::No};
    m.N9Click();
    EXPECT_EQ(shownForms, std::vector<QString>{QStringLiteral("TFrm_set")});
}

TEST(Headcount, OnlyWholeNumbersAreStoredAndAFailedInsertKeepsTheOldRow) {
    qm::test::TempBase b;
    Headcount h(b.db());
    EXPECT_EQ(Headcount::FirstNonDigit(QStringLiteral(" 12a ")), 2);
    EXPECT_EQ(Headcount::FirstNonDigit(QStringLiteral(" 120 ")), -1);
    EXPECT_EQ(Headcount::FirstNonDigit(QString()), -1);
    EXPECT_EQ(Headcount::FirstNonDigit(QStringLiteral("1'2")), 1);
    EXPECT_EQ(Headcount::FirstNonDigit(QStringLiteral("-1")), 0);
    h.Store(QStringLiteral(" A1 "), QStringLiteral(" 15 "));
    EXPECT_THROW(h.Store(QStringLiteral("A1"), QStringLiteral("12a")), db::Error);
    EXPECT_EQ(b.Scalar(QStringLiteral("select DepNo||'|'||sInitial from Initial_Info")), QStringLiteral("A1|15"));
    b.db().Exec(
        QStringLiteral("create trigger no_insert before insert on Initial_Info "
                       "begin select raise(abort, 'injected'); end"));
    EXPECT_THROW(h.Store(QStringLiteral("A1"), QStringLiteral("16")), db::Error);
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*)||'|'||max(sInitial) from Initial_Info")),
              QStringLiteral("1|15"));
}

TEST(DataClearing, MonthsAreWholeNumbersOneToTwelve) {
    EXPECT_EQ(DataClearing::ParseMonth(QStringLiteral(" 3 ")), 3);
    EXPECT_EQ(DataClearing::ParseMonth(QStringLiteral("12")), 12);
    EXPECT_EQ(DataClearing::ParseMonth(QStringLiteral("01")), 1);
    for (const char* bad : {"", "0", "13", "1 or 1=1", "abc", "3.0", "-1", "1;", "+3", "１", "123"})
        EXPECT_FALSE(DataClearing::ParseMonth(QString::fromUtf8(bad))) << bad;
}

TEST(DataClearing, TheLastMonthIsTheHighestWhateverTheStoredOrder) {
    qm::test::TempBase b;
    DataClearing c(b.db());
    EXPECT_FALSE(c.LastStaffMonth());
    EXPECT_FALSE(c.LastWageMonth());
    for (int m : {11, 2, 0, 9}) b.db().Exec(QStringLiteral("insert into Staff_moninfo(sMon) values(?)"), {m});
    for (int m : {3, 10, 1}) b.db().Exec(QStringLiteral("insert into Wage_Info(Smon) values(?)"), {m});
    EXPECT_EQ(c.LastStaffMonth(), 11);
    EXPECT_EQ(c.LastWageMonth(), 10);
}

}  // namespace
