// The main window's gates and menu refreshes over a full unit: twelve months of staff
// and wages, beside a raw sqlite3 count over the same rows.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "core/app/FormFactory.h"
#include "core/app/MainCommands.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/db/Raw.h"
#include "tools/SyntheticUnit.h"

#include <QFile>

namespace qm::bench {
namespace {

void Run(Context& ctx) {
    db::Connection c;
    const auto persons = synth::MakePersons(ctx.persons);
    const QString path = synth::OpenYearUnit(c, ctx.paths, QStringLiteral("mainwindow.mdb"), persons);
    {
        db::Transaction t(c);
        for (int m = 1; m <= 12; ++m)
            for (const auto& p : persons)
                c.Exec(QStringLiteral(
                           "insert into Wage_Info(Smon,sNumber,sName,sTotal,sFlag,wFlag) values(?,?,?,3000,'1','1')"),
                       {m, p.sNumber, p.sName});
        t.Commit();
    }

    ScriptedUiService ui;
    MemoryProgress pb;
    MainState state;
    AppContext actx{c, ui, ctx.paths, state, pb, nullptr, nullptr, nullptr};
    FormFactory forms(actx);
    MainCommands cmd(actx);
    actx.main = &cmd;
    actx.forms = &forms;

    sqlite3* const h = db::Raw::Handle(c);
    const double raw = TimeMs([&] {
        sqlite3_stmt* st = nullptr;
        RawOk(h, sqlite3_prepare_v2(h, "select count(*) from Wage_Info", -1, &st, nullptr), "prepare the raw count");
        RawOk(h, sqlite3_step(st), "step the raw count", SQLITE_ROW);
        RawOk(h, sqlite3_finalize(st), "finalize the raw count");
    });
    const QString base = QStringLiteral("raw count(*) of Wage_Info");
    PrintRatio(QStringLiteral("RefreshMonthMenus, %1 persons x 12 months").arg(persons.size()),
               TimeMs([&] { cmd.RefreshMonthMenus(); }), base, raw);
    PrintRatio(QStringLiteral("RefreshInitialDataMenus"), TimeMs([&] { cmd.RefreshInitialDataMenus(); }), base, raw);
    PrintRatio(QStringLiteral("HasMonthData(12)"), TimeMs([&] { cmd.HasMonthData(Month(12)); }), base, raw);
    PrintRatio(QStringLiteral("CheckMonthDataErrors(12)"), TimeMs([&] {
                   try {  // the synthetic unit carries error rows: the gate lists them and stops
                       cmd.CheckMonthDataErrors(Month(12));
                   } catch (const SilentAbort&) {
                   }
               }),
               base, raw);
    PrintRatio(QStringLiteral("CheckPreviousMonth(11) + CheckMonthStaffList(12)"), TimeMs([&] {
                   cmd.CheckPreviousMonth(Month(11));
                   cmd.CheckMonthStaffList(Month(12));
               }),
               base, raw);
    c.Close();
    QFile::remove(path);
}

}  // namespace
QM_BENCH(30, "main window gates", Run);
}  // namespace qm::bench
