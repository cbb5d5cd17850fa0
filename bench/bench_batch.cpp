// The start-of-period batch sheet for a unit of 16,338 persons: loading the sheet from the
// database, the audit and save of every row, and the register upload file, each beside raw
// sqlite3 inserts of the same rows.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "entry/AllputSheet.h"
#include "entry/CodeLists.h"
#include "platform/Db.h"
#include "platform/Progress.h"
#include "platform/ScriptedUiService.h"
#include "reports/Upload.h"
#include "sheet/SheetBook.h"
#include "sheet/SheetTemplate.h"
#include "shell/AppContext.h"
#include "shell/Schema.h"

#include <QFile>
#include <sqlite3.h>

namespace qm::bench {
namespace {

double RawInsertMs(const QString& path, const std::vector<synth::Person>& persons) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    const double ms = TimeMs([&] {
        sqlite3_exec(h, "begin", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = synth::StaffInsertSql().toUtf8();
        sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
        for (const auto& p : persons) {
            const db::Params row = synth::StaffRowParams(p, 0);
            for (int i = 0; i < int(row.size()); ++i) {
                const db::Value& v = row[size_t(i)];
                switch (v.kind()) {
                case db::Value::Kind::Null: sqlite3_bind_null(st, i + 1); break;
                case db::Value::Kind::Integer: sqlite3_bind_int64(st, i + 1, v.rawInteger()); break;
                case db::Value::Kind::Real: sqlite3_bind_double(st, i + 1, v.rawReal()); break;
                case db::Value::Kind::Text: {
                    const QByteArray u = v.rawText().toUtf8();
                    sqlite3_bind_text(st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
                }
                }
            }
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(h, "commit", nullptr, nullptr, nullptr);
    });
    sqlite3_close(h);
    return ms;
}

void Run(Context& ctx) {
    AppPaths::Ensure(ctx.paths.DatabaseDir());
    const QString live = ctx.paths.DatabaseDir() + QStringLiteral("/batch-sheet.mdb");
    const QString raw = ctx.paths.DatabaseDir() + QStringLiteral("/batch-raw.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    CreateEmptyDatabase(live);
    CreateEmptyDatabase(raw);
    const int n = std::min(ctx.persons, synth::kSheetCapacity);
    const auto persons = synth::MakePersons(n);
    const double rawMs = RawInsertMs(raw, persons);
    const QString baseline = QStringLiteral("raw sqlite3 inserts");

    db::Connection c;
    c.Open(live);
    synth::WriteUnit(c);
    synth::WriteStaffMonth(c, persons, 0);

    ScriptedUiService ui;
    ui.defaultAnswer = DlgAnswer::Yes;
    MemoryProgress pb;
    MainState state;
    state.CurrentMonth = QStringLiteral("0");
    state.DepInfo = QStringLiteral("否");
    state.DepType = QStringLiteral("企业");
    AppContext app{c, ui, ctx.paths, state, pb, nullptr, nullptr, nullptr};
    CodeLists codes;
    LoadCodeTables(c, QStringLiteral("1"), codes);
    TSheetBook book;
    ApplySheetTemplate(book, QStringLiteral("staff"));
    AllputSheet sheet(book, app, codes);

    int loaded = 0;
    const double loadMs = TimeMs([&] { loaded = sheet.FillSheet(3); });
    PrintRatio(QStringLiteral("batch sheet: load %1 rows with their checks").arg(loaded), loadMs, baseline, rawMs);
    AllputSheet::SaveResult result{};
    const double saveMs = TimeMs([&] { result = sheet.Save(); });
    PrintRatio(QStringLiteral("batch sheet: audit and save %1 rows (one transaction)").arg(loaded), saveMs, baseline,
               rawMs);
    if (result != AllputSheet::SaveResult::SavedWithErrors && result != AllputSheet::SaveResult::Saved)
        std::printf("  (the save did not complete: %s)\n", ui.Texts().join(QLatin1Char('|')).toUtf8().constData());
    upload::Written w;
    const double uploadMs = TimeMs([&] { w = upload::Write(c, ctx.paths, upload::Kind::StaffRegister, QStringLiteral("12345678X")); });
    PrintRatio(QStringLiteral("register upload file Gl_<DepNo>.dbf (%1 rows)").arg(loaded), uploadMs, baseline, rawMs);
    c.Close();
    QFile::remove(live);
    QFile::remove(raw);
}

QM_BENCH(30, "batch sheet", Run);

}  // namespace
}  // namespace qm::bench
