// The start-of-period batch sheet for the bench's unit: loading the sheet from the database,
// the audit and save of every row, and the register upload file, each the best of five beside
// raw sqlite3 deletes and inserts of the same month.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/AllputSheet.h"
#include "core/staff/CodeLists.h"
#include "tools/SyntheticUnit.h"

#include <QFile>

namespace qm::bench {
namespace {

void Run(Context& ctx) {
    const double heapStart = HeapMb();
    AppPaths::Ensure(ctx.paths.DatabaseDir());
    const QString live = ctx.paths.DatabaseDir() + QStringLiteral("/batch-sheet.mdb");
    const QString raw = ctx.paths.DatabaseDir() + QStringLiteral("/batch-raw.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    CreateEmptyDatabase(live);
    CreateEmptyDatabase(raw);
    const auto persons = synth::MakePersons(ctx.persons);
    // The save replaces a stored month 0: its baseline deletes and inserts the same rows.
    const double rawMs = RawReplaceStaffMs(raw, persons, 0);
    const QString baseline = QStringLiteral("raw delete + insert of month 0");

    db::Connection c;
    c.Open(live);
    synth::WriteUnit(c);
    synth::WriteStaffMonth(c, persons, 0);

    ScriptedUiService ui;
    ui.defaultAnswer = DlgAnswer::Yes;
    MemoryProgress pb;
    MainState state;
    state.DepClass = UnitClass(false, UnitClass::Kind::Other);
    AppContext app{c, ui, ctx.paths, state, pb, nullptr, nullptr, nullptr};
    CodeLists codes;
    LoadCodeTables(c, QStringLiteral("1"), codes);
    TSheetBook book;
    ApplySheetTemplate(book, QStringLiteral("staff"));
    AllputSheet sheet(book, app, codes);

    int loaded = 0;
    const double heapBefore = HeapMb();
    loaded = sheet.FillSheet();  // the first load, into an empty sheet: the heap it takes
    const double heapLoaded = HeapMb();
    const double loadMs = BestOfMs([&] { loaded = sheet.FillSheet(); });
    PrintRatio(QStringLiteral("batch sheet: load %1 rows with their checks").arg(loaded), loadMs, baseline, rawMs);
    std::printf("  the loaded sheet with its codes: +%.1f MB of heap\n", heapLoaded - heapBefore);
    AllputSheet::SaveResult result{};
    // Every save replaces the month the previous one wrote, as the baseline does.
    const double saveMs = BestOfMs([&] { result = sheet.Save(); });
    PrintRatio(QStringLiteral("batch sheet: audit and save %1 rows (one transaction)").arg(loaded), saveMs, baseline,
               rawMs);
    if (result != AllputSheet::SaveResult::SavedWithErrors && result != AllputSheet::SaveResult::Saved)
        std::printf("  (the save did not complete: %s)\n", ui.Texts().join(QLatin1Char('|')).toUtf8().constData());
    {
        db::Query q(c);
        q.Open(QStringLiteral("select count(*) from Staff_moninfo where sMon=0"));
        std::printf("  month 0 after the saves: kept %lld of %d rows\n", q.Fields(0).AsInteger(), loaded);
    }
    upload::Written w;
    const double uploadMs =
        BestOfMs([&] { w = upload::Write(c, ctx.paths, upload::Kind::StaffRegister, QStringLiteral("12345678X")); });
    PrintRatio(QStringLiteral("register upload file Gl_<DepNo>.dbf (%1 rows)").arg(loaded), uploadMs, baseline, rawMs);
    PrintHeldSince("batch sheet", heapStart);
    c.Close();
    QFile::remove(live);
    QFile::remove(raw);
}

QM_BENCH(30, "batch sheet", Run);

}  // namespace
}  // namespace qm::bench
