// Wages for a whole unit: the import of the month's staff list into the wage sheet, the
// audit and save of every row beside raw sqlite3 inserts of the same rows (best of five), and the workbook
// of a month whose every row is listed as an error.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/sheet/SheetBook.h"
#include "core/wage/WageErrorExport.h"
#include "core/wage/WageSheet.h"
#include "tools/SyntheticUnit.h"

#include <QFile>

namespace qm::bench {
namespace {

struct RawRow {
    QByteArray number, name;
    double n1, n2, n3, total;
};

// The connection is the caller's, opened before the clock starts, as the save's is.
void RawInsert(sqlite3* h, const std::vector<RawRow>& rows, int mon) {
    RawOk(h, sqlite3_exec(h, "begin", nullptr, nullptr, nullptr), "begin the raw wage write");
    RawOk(h, sqlite3_exec(h, "delete from Wage_Info where Smon=3", nullptr, nullptr, nullptr),
          "delete the raw wage month");
    sqlite3_stmt* st = nullptr;
    RawOk(h,
          sqlite3_prepare_v2(h,
                             "insert into Wage_Info (sNumber, sName, sMon, sTotal, sN1, sN2, sN3, sN4, sFlag, wFlag) "
                             "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                             -1, &st, nullptr),
          "prepare the raw wage insert");
    const char* const bind = "bind a raw wage row's value";
    for (const RawRow& r : rows) {
        RawOk(h, sqlite3_bind_text(st, 1, r.number.constData(), int(r.number.size()), SQLITE_TRANSIENT), bind);
        RawOk(h, sqlite3_bind_text(st, 2, r.name.constData(), int(r.name.size()), SQLITE_TRANSIENT), bind);
        RawOk(h, sqlite3_bind_int(st, 3, mon), bind);
        RawOk(h, sqlite3_bind_double(st, 4, r.total), bind);
        RawOk(h, sqlite3_bind_double(st, 5, r.n1), bind);
        RawOk(h, sqlite3_bind_double(st, 6, r.n2), bind);
        RawOk(h, sqlite3_bind_double(st, 7, r.n3), bind);
        RawOk(h, sqlite3_bind_null(st, 8), bind);
        RawOk(h, sqlite3_bind_text(st, 9, "1", 1, SQLITE_STATIC), bind);
        RawOk(h, sqlite3_bind_text(st, 10, "1", 1, SQLITE_STATIC), bind);
        RawOk(h, sqlite3_step(st), "step the raw wage insert", SQLITE_DONE);
        RawOk(h, sqlite3_reset(st), "reset the raw wage insert");
    }
    RawOk(h, sqlite3_finalize(st), "finalize the raw wage insert");
    RawOk(h, sqlite3_exec(h, "commit", nullptr, nullptr, nullptr), "commit the raw wage write");
}

void Run(Context& bctx) {
    const double heapStart = HeapMb();
    AppPaths::Ensure(bctx.paths.DatabaseDir());
    const QString live = bctx.paths.DatabaseDir() + QStringLiteral("/wages.mdb");
    const QString raw = bctx.paths.DatabaseDir() + QStringLiteral("/wages-raw.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    CreateEmptyDatabase(live);
    CreateEmptyDatabase(raw);
    const auto persons = synth::MakePersons(bctx.persons);

    db::Connection c;
    c.Open(live);
    synth::WriteUnit(c);
    synth::WriteStaffMonth(c, persons, 3);

    ScriptedUiService ui;
    ui.defaultAnswer = DlgAnswer::Yes;
    MainState state;
    MemoryProgress pb;
    AppContext ctx{c, ui, bctx.paths, state, pb, nullptr, nullptr, nullptr};
    TSheetBook book;
    WageSheet sheet(ctx, book, Month(3));

    const int n = int(persons.size());
    Print(QStringLiteral("import the month's list of %1 persons into the wage sheet").arg(n),
          TimeMs([&] { sheet.ImportRoster(); }));

    std::vector<RawRow> rawRows;
    rawRows.reserve(persons.size());
    auto amounts = [&] {
        for (int i = 0; i < n; ++i) {
            book.SetCellText(i + 2, 3, QString::number(2000 + (i % 5000)));
            book.SetCellText(i + 2, 4, QStringLiteral("600.5"));
            book.SetCellText(i + 2, 5, QString::number((i % 7) * 10));
        }
    };
    amounts();
    for (int i = 0; i < n; ++i) {
        const double n1 = 2000 + (i % 5000), n2 = 600.5, n3 = (i % 7) * 10;
        rawRows.push_back(
            {persons[size_t(i)].sNumber.toUtf8(), persons[size_t(i)].sName.toUtf8(), n1, n2, n3, n1 + n2 + n3});
    }
    // Like for like: the first save writes a month that holds no rows, as the raw inserts into
    // an emptied month do; the second replaces the rows of the month, as the raw delete and
    // insert over the rows the previous run wrote do. Best of five of each.
    sqlite3* const rawDb = RawOpen(raw, SQLITE_OPEN_READWRITE, "open the raw wage database");
    const double rawMs =
        BestOfMs([&] { RawInsert(rawDb, rawRows, 3); },
                 [&] {
                     RawOk(rawDb, sqlite3_exec(rawDb, "delete from Wage_Info", nullptr, nullptr, nullptr),
                           "empty the raw wages");
                 });
    const double rawAgainMs = BestOfMs([&] { RawInsert(rawDb, rawRows, 3); });
    RawOk(rawDb, sqlite3_close(rawDb), "close the raw wage database");
    // The month emptied again before each first save, and shown so to the sheet, which then
    // takes the roster and the amounts again: a save replaces only the month the sheet showed.
    bool saved = true;
    const double saveMs = BestOfMs([&] { saved = sheet.Save() && saved; },
                                   [&] {
                                       c.Exec(QStringLiteral("delete from Wage_Info"));
                                       sheet.Load();
                                       sheet.ImportRoster();
                                       amounts();
                                   });
    PrintRatio(QStringLiteral("audit and save %1 wage rows (one transaction)").arg(n), saveMs,
               QStringLiteral("raw inserts"), rawMs);
    const double againMs = BestOfMs([&] { saved = sheet.Save() && saved; });
    if (!saved)
        std::printf("  (a save did not complete: %s)\n", ui.Texts().join(QLatin1Char('|')).toUtf8().constData());
    PrintRatio(QStringLiteral("save the month again over its %1 rows").arg(n), againMs,
               QStringLiteral("raw delete + insert"), rawAgainMs);
    {
        db::Query q(c);
        q.Open(QStringLiteral("select count(*) from Wage_Info where Smon=3"));
        std::printf("  month 3 after the saves: kept %lld of %d rows\n", q.Fields(0).AsInteger(), n);
    }
    state.MaxWageMonth = Month(3);
    Print(QStringLiteral("load the month's %1 wage rows into the sheet").arg(n), TimeMs([&] { sheet.Load(); }));

    std::vector<std::pair<QString, QString>> rows;
    rows.reserve(persons.size() + 1);
    rows.emplace_back(QStringLiteral("姓名编号"), QStringLiteral("姓名"));
    for (const auto& p : persons) rows.emplace_back(p.sNumber, p.sName);
    Print(QStringLiteral("workbook of %1 error rows").arg(n),
          TimeMs([&] { ExportWageErrorWorkbook(ui, pb, bctx.paths, Month(3), rows); }));
    PrintHeldSince("wages", heapStart);

    c.Close();
    QFile::remove(live);
    QFile::remove(raw);
}

QM_BENCH(40, "wages", Run);

}  // namespace
}  // namespace qm::bench
