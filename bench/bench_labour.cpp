// The labour reports and the wage payment list over a whole year: the unit's persons in
// months 0..12 with wages in months 1..12, each figure beside one raw count(*) of the staff
// rows, the cheapest query any report makes.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "core/base/Progress.h"
#include "core/db/Db.h"
#include "core/report/AnnualLabourReport.h"
#include "core/report/PaymentList.h"
#include "core/report/QuarterLabourReport.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"

#include <sqlite3.h>
#include <QFile>

namespace qm::bench {
namespace {

void WriteWages(db::Connection& c, const std::vector<synth::Person>& persons) {
    db::Transaction t(c);
    const QString sql = QStringLiteral(
        "insert into Wage_Info(sNumber,sName,Smon,sN1,sN2,sN3,sN4,sTotal,sFlag,wFlag) values(?,?,?,?,?,?,?,?,'1','1')");
    for (int m = 1; m <= 12; ++m)
        for (size_t i = 0; i < persons.size(); ++i) {
            const double n1 = 2000 + double(i % 50) * 10, n2 = 800.5, n3 = 300, n4 = double(m);
            c.Exec(sql, {persons[i].sNumber, persons[i].sName, m, n1, n2, n3, n4, n1 + n2 + n3 + n4});
        }
    t.Commit();
}

double RawCountMs(db::Connection& c) {
    long long n = 0;
    const double ms = TimeMs([&] {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(c.Handle(), "select count(*) from Staff_moninfo", -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW) n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    });
    Note(QStringLiteral("labour reports: %1 staff rows").arg(n));
    return ms;
}

void Run(Context& ctx) {
    db::Connection c;
    const auto persons = synth::MakePersons(ctx.persons);
    const QString path = synth::OpenYearUnit(c, ctx.paths, QStringLiteral("labour.mdb"), persons);
    WriteWages(c, persons);

    MainState unit;
    unit.DepNo = QStringLiteral("12345678X");
    unit.DepName = QStringLiteral("基准单位");
    unit.DepClass = UnitClass(false, UnitClass::Kind::AboveSize);
    MemoryProgress pb;
    const QString base = QStringLiteral("raw count(*) of Staff_moninfo");
    const double rawMs = RawCountMs(c);

    TSheetBook quarter;
    report::QuarterLabourReport::Prepare(quarter);
    report::QuarterLabourReport q3(1, 9, Quarter(3));
    PrintRatio(QStringLiteral("I202-2 quarter 3: compute and store"), TimeMs([&] { q3.Compute(c, unit, quarter, pb); }),
               base, rawMs);

    TSheetBook annual;
    report::AnnualLabourReport::Prepare(annual);
    report::AnnualLabourReport year;
    PrintRatio(QStringLiteral("I102-2: compute and store"), TimeMs([&] { year.Compute(c, unit, annual, pb); }), base,
               rawMs);

    TSheetBook list;
    ApplySheetTemplate(list, QStringLiteral("permonwage"));
    PrintRatio(QStringLiteral("payment list 1..12: build and fill the sheet"),
               TimeMs([&] { report::FillPaymentSheet(list, report::BuildPaymentList(c, 1, 12, &pb)); }), base, rawMs);
    c.Close();
    QFile::remove(path);
}

QM_BENCH(70, "labour reports and payment list", Run);

}  // namespace
}  // namespace qm::bench
