// The monthly staff list: building month 1 from month 0 on the sheet, the audit of every
// row, and the save, beside raw sqlite3 inserts of the same rows.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "entry/CodeLists.h"
#include "entry/MonputStore.h"
#include "entry/StaffRowRules.h"
#include "platform/Db.h"
#include "shell/Schema.h"
#include "sheet/SheetBook.h"

#include <QFile>
#include <sqlite3.h>

namespace qm::bench {
namespace {

// The rows the save writes, inserted through raw prepared statements in one transaction.
double RawInsert(const QString& path, const std::vector<synth::Person>& persons) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    const double ms = TimeMs([&] {
        sqlite3_exec(h, "begin", nullptr, nullptr, nullptr);
        sqlite3_exec(h, "delete from Staff_moninfo where sMon=1", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = synth::StaffInsertSql().toUtf8();
        sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr);
        for (const auto& p : persons) {
            const db::Params row = synth::StaffRowParams(p, 1);
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
    const QString live = ctx.paths.DatabaseDir() + QStringLiteral("/monthly.mdb");
    const QString raw = ctx.paths.DatabaseDir() + QStringLiteral("/monthly-raw.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    CreateEmptyDatabase(live);
    CreateEmptyDatabase(raw);
    const auto persons = synth::MakePersons(ctx.persons);
    const double rawMs = RawInsert(raw, persons);

    db::Connection c;
    c.Open(live);
    synth::WriteUnit(c);
    synth::WriteStaffMonth(c, persons, 0);
    CodeLists codes;
    LoadCodeTables(c, QStringLiteral("1"), codes);

    TSheetBook book;
    int last = 0;
    const double buildMs = TimeMs([&] {
        const std::vector<StaffTexts> rows = ImportMonthRows(c, 0);
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
        StaffRowRules rules(book, codes, StaffForm::MonthlyList, QStringLiteral("否"), QStringLiteral("企业事业单位"));
        rules.BeginRun();
        flags.reserve(size_t(last - 2));
        for (int r = kStaffFirstRow; r <= last; ++r) {
            rules.CheckRow(r, StaffPass::Save);
            flags.push_back(rules.RowFlag());
        }
    });
    Print(QStringLiteral("monthly list: audit of every row"), auditMs);

    const CellReader cell = [&book](int r, int col) { return book.GetCellText(r, col); };
    const double saveMs = TimeMs([&] {
        if (!FindNonNumericWorkYears(kStaffFirstRow, last, cell).empty()) std::abort();
        WriteMonth(c, 1, StaffColumnSet::Base, kStaffFirstRow, last, cell, flags);
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
