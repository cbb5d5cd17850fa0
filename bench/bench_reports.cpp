// The reports of staff and total wages on a whole unit over the year: form 202-1 for the
// fourth quarter (months 0..12, the largest period) and form 102-1, each computed and
// stored, beside one raw count(*) over the staff rows of the same database.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/db/Db.h"
#include "core/report/AnnualWageReport.h"
#include "core/report/QuarterWageReport.h"
#include "core/sheet/SheetBook.h"

#include <QFile>

#include <sqlite3.h>
#include <algorithm>

namespace qm::bench {
namespace {

double RawCountMs(const QString& path) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    auto once = [&] {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h, "select count(*) from Staff_moninfo", -1, &st, nullptr);
        sqlite3_step(st);
        sqlite3_finalize(st);
    };
    // The better of two runs, so the page cache is warm as it is for the forms.
    const double ms = std::min(TimeMs(once), TimeMs(once));
    sqlite3_close(h);
    return ms;
}

void Run(Context& bctx) {
    const auto persons = synth::MakePersons(bctx.persons);
    db::Connection c;
    const QString path = synth::OpenYearUnit(c, bctx.paths, QStringLiteral("reports.mdb"), persons);
    // A construction unit with general contracting, so the supplementary figures are counted too.
    const UnitClass cls(false, UnitClass::Kind::GeneralContract);
    c.Exec(QStringLiteral("update Dep_Info set DepInfo=?"), {cls.DepInfoText()});
    {
        db::Transaction t(c);
        const QString sql = QStringLiteral(
            "insert into Wage_Info (sNumber, sName, Smon, sN1, sN2, sN3, sN4, sTotal, sFlag, wFlag) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, '1', '1')");
        for (int m = 1; m <= 12; ++m)
            for (size_t i = 0; i < persons.size(); ++i) {
                const double n1 = 2000 + double(i % 700), n2 = 500.5, n3 = double(i % 300), n4 = 100;
                c.Exec(sql, {persons[i].sNumber, persons[i].sName, m, n1, n2, n3, n4, n1 + n2 + n3 + n4});
            }
        t.Commit();
    }
    Note(QStringLiteral("%1 persons, staff rows of months 0..12, wage rows of months 1..12").arg(persons.size()));

    MainState unit;
    unit.DepNo = QStringLiteral("12345678X");
    unit.DepName = QStringLiteral("合成单位");
    unit.DepClass = cls;
    MemoryProgress pb;
    const double raw = RawCountMs(path);
    const QString baseline = QStringLiteral("one raw count(*) over Staff_moninfo");
    {
        TSheetBook sheet;
        report::QuarterWageReport q(4);
        PrintRatio(QStringLiteral("202-1 quarter 4: compute and store"), TimeMs([&] { q.Compute(c, unit, sheet, pb); }),
                   baseline, raw);
    }
    {
        TSheetBook sheet;
        report::AnnualWageReport a;
        PrintRatio(QStringLiteral("102-1: compute and store"), TimeMs([&] { a.Compute(c, unit, sheet, pb); }), baseline,
                   raw);
    }
}

}  // namespace
QM_BENCH(60, "reports of staff and total wages", Run);
}  // namespace qm::bench
