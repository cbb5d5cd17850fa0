// The monthly staff list: building month 1 from month 0 on the sheet, and the save with the
// audit of every row, each the best of five beside raw sqlite3 deletes and inserts of the same
// rows.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/CodeLists.h"
#include "core/staff/MonputSheet.h"
#include "core/staff/MonputStore.h"
#include "tools/SyntheticUnit.h"

#include <QFile>

#include <memory>

namespace qm::bench {
namespace {

void Run(Context& ctx) {
    const double heapStart = HeapMb();
    AppPaths::Ensure(ctx.paths.DatabaseDir());
    const QString live = ctx.paths.DatabaseDir() + QStringLiteral("/monthly.mdb");
    const QString raw = ctx.paths.DatabaseDir() + QStringLiteral("/monthly-raw.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    CreateEmptyDatabase(live);
    CreateEmptyDatabase(raw);
    const auto persons = synth::MakePersons(ctx.persons);
    // The save replaces month 1 as often as it is timed: so does its baseline.
    const double rawMs = RawReplaceStaffMs(raw, persons, 1);
    const QString baseline = QStringLiteral("raw delete + insert of month 1");

    db::Connection c;
    c.Open(live);
    synth::WriteUnit(c);
    synth::WriteStaffMonth(c, persons, 0);
    CodeLists codes;
    LoadCodeTables(c, QStringLiteral("1"), codes);

    // The list's own core class, as its window calls it; every box is answered by script.
    ScriptedUiService ui;
    MainState state;
    state.DepClass = UnitClass(false, UnitClass::Kind::Other);
    MemoryProgress pb;
    AppContext app{c, ui, ctx.paths, state, pb};

    // Each run builds into a fresh sheet, as the form does when it makes the month.
    const double heapBefore = HeapMb();
    std::unique_ptr<TSheetBook> book;
    std::unique_ptr<MonputSheet> sheet;
    auto fresh = [&] {
        sheet.reset();
        book = std::make_unique<TSheetBook>();
        sheet = std::make_unique<MonputSheet>(*book, app, codes);
        sheet->SetMonth(Month(1));
    };
    auto build = [&] {
        if (sheet->Import(Month::Start()) != MonputSheet::ImportResult::Imported) std::abort();
    };
    const double buildMs = BestOfMs(build, fresh);
    const int rows = sheet->LastDataRow() - kStaffFirstRow + 1;
    PrintRatio(QStringLiteral("monthly list: build month 1 from month 0 (%1 rows)").arg(rows), buildMs, baseline,
               rawMs);

    // The save checks and codes every row, then replaces month 1 in one transaction.
    auto save = [&] {
        const auto r = sheet->Save();
        if (r != MonputSheet::SaveResult::Saved && r != MonputSheet::SaveResult::SavedWithErrors) std::abort();
    };
    save();  // month 1 stored once, so every timed save replaces it
    std::printf("  the audited sheet with its codes: +%.1f MB of heap\n", HeapMb() - heapBefore);
    const double saveMs = BestOfMs(save);
    PrintRatio(QStringLiteral("monthly list: audit and save month 1 (one transaction)"), saveMs, baseline, rawMs);
    PrintRatio(QStringLiteral("monthly list: build and save together"), buildMs + saveMs, baseline, rawMs);
    {
        db::Query q(c);
        q.Open(QStringLiteral("select count(*) from Staff_moninfo where sMon=1"));
        std::printf("  month 1 after the saves: kept %lld of %zu rows\n", q.Fields(0).AsInteger(), persons.size());
    }
    PrintHeldSince("monthly staff list", heapStart);
    c.Close();
    QFile::remove(live);
    QFile::remove(raw);
}

QM_BENCH(40, "monthly staff list", Run);

}  // namespace
}  // namespace qm::bench
