// The database: creating the empty database, and inserting the month-0 list through our
// query layer beside the same rows through raw sqlite3 prepared statements.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "tools/SyntheticUnit.h"

#include <QFile>

namespace qm::bench {
namespace {

void Run(Context& ctx) {
    AppPaths::Ensure(ctx.paths.DatabaseDir());
    const QString live = ctx.paths.Database();
    const QString raw = ctx.paths.DatabaseDir() + QStringLiteral("/raw-baseline.mdb");
    QFile::remove(live);
    QFile::remove(raw);
    Print(QStringLiteral("create the empty database"), TimeMs([&] { CreateEmptyDatabase(live); }));
    CreateEmptyDatabase(raw);

    const auto persons = synth::MakePersons(ctx.persons);
    const double rawMs = RawInsertStaffMs(raw, persons, 0);
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
