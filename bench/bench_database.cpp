// The database: creating the empty database, and inserting the month-0 list through our
// query layer beside the same rows through raw sqlite3 prepared statements.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "platform/Db.h"
#include "shell/Schema.h"

#include <QFile>
#include <sqlite3.h>

namespace qm::bench {
namespace {

void RawInsert(const QString& path, const std::vector<synth::Person>& persons) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
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
    sqlite3_close(h);
}

void Run(Context& ctx) {
    AppPaths::Ensure(ctx.paths.DatabaseDir());
    const QString live = ctx.paths.Database();
    const QString raw = ctx.paths.DatabaseDir() + QStringLiteral("/raw-baseline.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    Print(QStringLiteral("create the empty database"), TimeMs([&] { CreateEmptyDatabase(live); }));
    CreateEmptyDatabase(raw);

    const auto persons = synth::MakePersons(ctx.persons);
    const double rawMs = TimeMs([&] { RawInsert(raw, persons); });
    db::Connection c;
    c.Open(live);
    synth::WriteUnit(c);
    const double oursMs = TimeMs([&] { synth::WriteStaffMonth(c, persons, 0); });
    PrintRatio(QStringLiteral("insert %1 month-0 staff rows (one transaction)").arg(persons.size()), oursMs,
               QStringLiteral("raw sqlite3"), rawMs);
    c.Close();
    QFile::remove(raw);
}

QM_BENCH(10, "database", Run);

}  // namespace
}  // namespace qm::bench
