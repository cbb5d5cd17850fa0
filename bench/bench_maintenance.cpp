// Maintenance: backup and restore of a full year's database through the online backup, each
// beside a plain file copy of that database, and the history import of the same database
// beside raw prepared inserts of the rows it takes over (best of five each).
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/unit/HistoryImport.h"
#include "tools/SyntheticUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qm::bench {
namespace {

// A year of the unit: the start-of-period list and twelve monthly lists, wages for months 1..12.
void WriteYear(db::Connection& c, const std::vector<synth::Person>& persons) {
    synth::WriteUnit(c);
    for (int mon = 0; mon <= 12; ++mon) synth::WriteStaffMonth(c, persons, mon);
    db::Transaction t(c);
    const QString sql = QStringLiteral(
        "insert into Wage_Info(sNumber,sName,Smon,sN1,sN2,sN3,sN4,sN5,sTotal,sFlag,wFlag) "
        "values(?,?,?,?,?,?,?,?,?,'1','1')");
    for (int mon = 1; mon <= 12; ++mon)
        for (size_t i = 0; i < persons.size(); ++i) {
            const int n1 = 2000 + int(i % 700), n2 = 800 + int(i % 300), n3 = 300, n4 = int(i % 50);
            c.Exec(sql, {persons[i].sNumber, persons[i].sName, mon, n1, n2, n3, n4, nullptr, n1 + n2 + n3 + n4});
        }
    t.Commit();
}

// The import's baseline: the same rows (the start-of-period list, the monthly lists, the wage
// rows of months 1..12) read from the old database and written as they are through raw
// prepared inserts, in one transaction.
void RawCopyRows(const QString& from, const QString& to) {
    static const char* const kStaff =
        "sName, sNumber, sTsex, sSex, sTnation, sBirth, sTEdu, sEducation, sGw, sTPost, sPost, STGrade, sPostGrade, "
        "sIsok, sTparty, sWorks, sWork, sTJgrade, sNation, sParty, sJGrade, sTsf, sTqrz, sTgc, sTjzs, sTsg, sTyg, "
        "ssf, sqrz, ssg, sgc, sjzs, syg, sMon";
    static const char* const kWage = "sName, sNumber, sTotal, sN1, sN2, sN3, sN4, sN5, sFlag, wFlag, sMon";
    sqlite3* const src = RawOpen(from, SQLITE_OPEN_READONLY, "open the old database for the raw copy");
    sqlite3* const dst = RawOpen(to, SQLITE_OPEN_READWRITE, "open the target database for the raw copy");
    auto copy = [&](const char* table, const char* cols, int n, const char* where) {
        sqlite3_stmt* sel = nullptr;
        sqlite3_stmt* ins = nullptr;
        const QByteArray s = QByteArray("select ") + cols + " from " + table + " where " + where;
        QByteArray marks;
        for (int i = 0; i < n; ++i) marks += i ? ",?" : "?";
        const QByteArray i = QByteArray("insert into ") + table + "(" + cols + ") values(" + marks + ")";
        RawOk(src, sqlite3_prepare_v2(src, s.constData(), -1, &sel, nullptr), "prepare the raw copy's select");
        RawOk(dst, sqlite3_prepare_v2(dst, i.constData(), -1, &ins, nullptr), "prepare the raw copy's insert");
        int rc = SQLITE_OK;
        while ((rc = sqlite3_step(sel)) == SQLITE_ROW) {
            for (int k = 0; k < n; ++k)
                RawOk(dst, sqlite3_bind_value(ins, k + 1, sqlite3_column_value(sel, k)), "bind a raw copied value");
            RawOk(dst, sqlite3_step(ins), "step the raw copy's insert", SQLITE_DONE);
            RawOk(dst, sqlite3_reset(ins), "reset the raw copy's insert");
        }
        RawOk(src, rc, "step the raw copy's select", SQLITE_DONE);
        RawOk(src, sqlite3_finalize(sel), "finalize the raw copy's select");
        RawOk(dst, sqlite3_finalize(ins), "finalize the raw copy's insert");
    };
    RawOk(dst, sqlite3_exec(dst, "begin", nullptr, nullptr, nullptr), "begin the raw copy");
    copy("Staff_moninfo", kStaff, 34, "sMon>=0");
    copy("Wage_Info", kWage, 11, "sMon between 1 and 12");
    RawOk(dst, sqlite3_exec(dst, "commit", nullptr, nullptr, nullptr), "commit the raw copy");
    RawOk(src, sqlite3_close(src), "close the old database of the raw copy");
    RawOk(dst, sqlite3_close(dst), "close the target database of the raw copy");
}

double PlainCopy(const QString& from, const QString& to) {
    QFile::remove(to);
    return TimeMs([&] { QFile::copy(from, to); });
}

void Run(Context& ctx) {
    const double heapStart = HeapMb();
    const QString root = ctx.paths.Base() + QStringLiteral("/maintenance");
    const AppPaths old(root + QStringLiteral("/old"));
    const AppPaths target(root + QStringLiteral("/new"));
    for (const AppPaths* p : {&old, &target}) {
        QDir(p->Base()).removeRecursively();
        AppPaths::Ensure(p->DatabaseDir());
        AppPaths::Ensure(p->Bak());
    }
    CreateEmptyDatabase(old.Database());
    {
        db::Connection c;
        c.Open(old.Database());
        WriteYear(c, synth::MakePersons(ctx.persons));
    }
    const double mb = QFileInfo(old.Database()).size() / 1048576.0;
    Note(QStringLiteral("database of %1 persons x 13 months (%2 MB)").arg(ctx.persons).arg(mb, 0, 'f', 1));

    const QString plain = old.Bak() + QStringLiteral("/plain.mdb");
    const QString bak = old.Bak() + QStringLiteral("/backup.mdb");
    const double copyMs = PlainCopy(old.Database(), plain);

    db::Connection live;
    live.Open(old.Database());
    const double backupMs = TimeMs([&] { BackupDatabase(live, bak); });
    PrintRatio(QStringLiteral("backup (online backup, open connection)"), backupMs, QStringLiteral("file copy"),
               copyMs);
    live.Close();
    const double restoreMs = TimeMs([&] { ReplaceDatabaseFile(bak, old.Database()); });
    PrintRatio(QStringLiteral("restore (validated, written beside, renamed)"), restoreMs, QStringLiteral("file copy"),
               copyMs);

    CreateEmptyDatabase(target.Database());
    db::Connection c;
    c.Open(target.Database());
    auto emptyTarget = [&] {
        c.Exec(QStringLiteral("delete from Staff_moninfo"));
        c.Exec(QStringLiteral("delete from Wage_Info"));
    };
    c.Close();
    const double rawMs = BestOfMs([&] { RawCopyRows(old.Database(), target.Database()); },
                                  [&] {
                                      c.Open(target.Database());
                                      emptyTarget();
                                      c.Close();
                                  });
    c.Open(target.Database());
    ScriptedUiService ui;
    MemoryProgress pb;
    HistoryImport imp(c, ui, pb, nullptr);
    bool ok = true;
    const double importMs =
        BestOfMs([&] { ok = imp.Start(old.Base(), 1) && imp.Start(old.Base(), 4) && ok; }, emptyTarget);
    {
        db::Query q(c);
        q.Open(QStringLiteral("select (select count(*) from Staff_moninfo) + (select count(*) from Wage_Info)"));
        Note(QStringLiteral("history import of %1 rows").arg(q.Fields(0).AsInteger()));
    }
    PrintRatio(QStringLiteral("history import: month 0, months 1-12 and wages"), importMs,
               QStringLiteral("raw prepared inserts"), rawMs);
    if (!ok) Note(QStringLiteral("  history import FAILED: ") + ui.Texts().join(QStringLiteral(" / ")));
    PrintHeldSince("maintenance", heapStart);
    c.Close();
    QDir(root).removeRecursively();
}

QM_BENCH(40, "maintenance", Run);

}  // namespace
}  // namespace qm::bench
