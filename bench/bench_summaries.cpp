// The four Gid-matrix summaries on a whole unit: staff lists for months 0..12 and wages for
// months 1..12, each summary computed and stored as its form does it, beside one raw
// count(*) over Staff_moninfo.
#include "bench/Bench.h"
#include "bench/SyntheticUnit.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/report/TalentSummary.h"
#include "core/report/WageSummary.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"

#include <QFile>

namespace qm::bench {
namespace {

void Run(Context& bctx) {
    const auto persons = synth::MakePersons(bctx.persons);
    db::Connection c;
    const QString path = synth::OpenYearUnit(c, bctx.paths, QStringLiteral("summaries.mdb"), persons);
    {
        // The summaries refuse lists with errors: every row counts as audited here.
        db::Transaction t(c);
        c.Exec(QStringLiteral("update Staff_moninfo set sIsok='1'"));
        for (int m = 1; m <= 12; ++m)
            c.Exec(
                QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sN1, sN2, sN3, sN4, sTotal, sFlag, wFlag) "
                               "select sNumber, sName, sMon, 3000, 1000.5, 200, 0, 4200.5, '1', '1' "
                               "from Staff_moninfo where sMon=?"),
                {m});
        t.Commit();
    }
    db::Query count(c);
    const double rawMs = TimeMs([&] { count.Open(QStringLiteral("select count(*) from Staff_moninfo")); });
    Note(QStringLiteral("%1 persons over months 0..12: %2 staff rows")
             .arg(persons.size())
             .arg(count.Fields(0).AsInteger()));

    ScriptedUiService ui;
    const QString date = QStringLiteral("2012-12-31");
    for (report::GidSummary id : {report::GidSummary::I704, report::GidSummary::I705}) {
        TSheetBook sheet;
        ApplySheetTemplate(sheet, id == report::GidSummary::I704 ? QStringLiteral("i704") : QStringLiteral("i705"));
        report::SummaryUnit unit;
        const double ms = TimeMs([&] { report::RunWageSummary(c, ui, sheet, id, {1, 12}, date, unit); });
        PrintRatio(QStringLiteral("%1 for months 1 to 12, computed and stored")
                       .arg(id == report::GidSummary::I704 ? QStringLiteral("I704") : QStringLiteral("I705")),
                   ms, QStringLiteral("one count(*)"), rawMs);
    }
    for (report::GidSummary id : {report::GidSummary::X505, report::GidSummary::I303_1}) {
        TSheetBook sheet;
        ApplySheetTemplate(sheet, id == report::GidSummary::X505 ? QStringLiteral("x505") : QStringLiteral("i303"));
        report::SummaryUnit unit;
        const double ms = TimeMs([&] { report::RunTalentTable(c, ui, sheet, id, date, unit); });
        PrintRatio(QStringLiteral("%1 computed and stored")
                       .arg(id == report::GidSummary::X505 ? QStringLiteral("X505") : QStringLiteral("I303-1")),
                   ms, QStringLiteral("one count(*)"), rawMs);
    }
    c.Close();
    QFile::remove(path);
}

QM_BENCH(70, "Gid-matrix summaries", Run);

}  // namespace
}  // namespace qm::bench
