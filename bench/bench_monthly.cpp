// The monthly staff list: building month 1 from month 0 on the sheet, the audit of every
// row, and the save, beside raw sqlite3 inserts of the same rows.
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

namespace qm::bench {
namespace {

void Run(Context& ctx) {
    AppPaths::Ensure(ctx.paths.DatabaseDir());
    const QString live = ctx.paths.DatabaseDir() + QStringLiteral("/monthly.mdb");
    const QString raw = ctx.paths.DatabaseDir() + QStringLiteral("/monthly-raw.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    CreateEmptyDatabase(live);
    CreateEmptyDatabase(raw);
    const auto persons = synth::MakePersons(ctx.persons);
    const double rawMs = RawInsertStaffMs(raw, persons, 1);

    db::Connection c;
    c.Open(live);
    synth::WriteUnit(c);
    synth::WriteStaffMonth(c, persons, 0);
    CodeLists codes;
    LoadCodeTables(c, QStringLiteral("1"), codes);

    const double heapBefore = HeapMb();
    TSheetBook book;
    int last = 0;
    const double buildMs = TimeMs([&] {
        const std::vector<StaffTexts> rows = ImportMonthRows(c, Month::Start());
        book.BeginUpdate();
        int r = kStaffFirstRow;
        for (const StaffTexts& t : rows) {
            for (int col = 1; col <= kStaffTextCols; ++col) book.SetCellText(r, col, t[size_t(col - 1)]);
            ++r;
        }
        book.EndUpdate();
        last = r - 1;
    });
    PrintRatio(QStringLiteral("monthly list: build month 1 from month 0 (%1 rows)").arg(last - 2), buildMs,
               QStringLiteral("raw sqlite3 inserts"), rawMs);

    std::vector<QString> flags;
    const double auditMs = TimeMs([&] {
        StaffRowRules rules(book, codes, StaffForm::MonthlyList, UnitClass(false, UnitClass::Kind::Other));
        rules.BeginRun();
        flags.reserve(size_t(last - 2));
        for (int r = kStaffFirstRow; r <= last; ++r) {
            rules.CheckRow(r, StaffPass::Save);
            flags.push_back(rules.RowFlag());
        }
    });
    Print(QStringLiteral("monthly list: audit of every row"), auditMs);
    std::printf("  the audited sheet with its codes (and the row flags): +%.1f MB of heap\n", HeapMb() - heapBefore);

    const CellReader cell = [&book](int r, int col) { return book.GetCellText(r, col); };
    const double saveMs = TimeMs([&] {
        if (!FindNonNumericWorkYears(kStaffFirstRow, last, cell).empty()) std::abort();
        WriteMonth(c, Month(1), StaffColumns::Base, kStaffFirstRow, last, cell, flags);
    });
    PrintRatio(QStringLiteral("monthly list: save month 1 (one transaction)"), saveMs,
               QStringLiteral("raw sqlite3 inserts"), rawMs);
    PrintRatio(QStringLiteral("monthly list: build and save together"), buildMs + saveMs,
               QStringLiteral("raw sqlite3 inserts"), rawMs);
    c.Close();
    QFile::remove(live);
    QFile::remove(raw);
}

QM_BENCH(40, "monthly staff list", Run);

}  // namespace
}  // namespace qm::bench
