// The monthly staff list: building month 1 from month 0 on the sheet, the audit of every
// row, and the save, each the best of five beside raw sqlite3 deletes and inserts of the same
// rows.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "bench/SyntheticUnit.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/CodeLists.h"
#include "core/staff/MonputStore.h"
#include "core/staff/StaffRowRules.h"

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

    // Each run builds into a fresh sheet, as the form does when it makes the month.
    const double heapBefore = HeapMb();
    auto book = std::make_unique<TSheetBook>();
    int last = 0;
    auto build = [&] {
        const std::vector<StaffTexts> rows = ImportMonthRows(c, Month::Start());
        book->BeginUpdate();
        int r = kStaffFirstRow;
        for (const StaffTexts& t : rows) {
            for (int col = 1; col <= kStaffTextCols; ++col) book->SetCellText(r, col, t[size_t(col - 1)]);
            ++r;
        }
        book->EndUpdate();
        // The list ends, as the form finds it, at the first row without a name.
        for (last = kStaffFirstRow; last < r && !book->GetCellText(last, 1).isEmpty(); ++last) {
        }
        --last;
    };
    auto fresh = [&] { book = std::make_unique<TSheetBook>(); };
    const double buildMs = BestOfMs(build, fresh);
    PrintRatio(QStringLiteral("monthly list: build month 1 from month 0 (%1 rows)").arg(last - 2), buildMs, baseline,
               rawMs);

    std::vector<QString> flags;
    const double auditMs = BestOfMs(
        [&] {
            StaffRowRules rules(*book, codes, StaffForm::MonthlyList, UnitClass(false, UnitClass::Kind::Other));
            rules.BeginRun();
            flags.reserve(size_t(last - 2));
            for (int r = kStaffFirstRow; r <= last; ++r) {
                rules.CheckRow(r, StaffPass::Save);
                flags.push_back(rules.RowFlag());
            }
        },
        [&] {
            fresh();
            build();
            flags.clear();
        });
    Print(QStringLiteral("monthly list: audit of every row"), auditMs);
    std::printf("  the audited sheet with its codes (and the row flags): +%.1f MB of heap\n", HeapMb() - heapBefore);

    const CellReader cell = [&book](int r, int col) { return book->GetCellText(r, col); };
    db::MonthLoad shown;  // month 1 as the list last showed it: empty, then as each save left it
    auto save = [&] {
        if (!FindNonNumericWorkYears(kStaffFirstRow, last, cell).empty()) std::abort();
        WriteMonth(c, Month(1), StaffColumns::Base, kStaffFirstRow, last, cell, flags, shown);
    };
    save();  // month 1 stored once, so every timed save replaces it
    const double saveMs = BestOfMs(save);
    PrintRatio(QStringLiteral("monthly list: save month 1 (one transaction)"), saveMs, baseline, rawMs);
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
