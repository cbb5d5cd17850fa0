// Maintenance: backup and restore of a full year's database through the online backup, and
// the history import of the same database, each beside a plain file copy of that database.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/DatabaseCopy.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/unit/HistoryImport.h"

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

double PlainCopy(const QString& from, const QString& to) {
    QFile::remove(to);
    return TimeMs([&] { QFile::copy(from, to); });
}

void Run(Context& ctx) {
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
    ScriptedUiService ui;
    MemoryProgress pb;
    HistoryImport imp(c, ui, pb, nullptr);
    bool ok = true;
    const double importMs = TimeMs([&] { ok = imp.Start(old.Base(), 1) && imp.Start(old.Base(), 4); });
    PrintRatio(QStringLiteral("history import: month 0, months 1-12 and wages"), importMs, QStringLiteral("file copy"),
               copyMs);
    if (!ok) Note(QStringLiteral("  history import FAILED: ") + ui.Texts().join(QStringLiteral(" / ")));
    c.Close();
    QDir(root).removeRecursively();
}

QM_BENCH(40, "maintenance", Run);

}  // namespace
}  // namespace qm::bench
