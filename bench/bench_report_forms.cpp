// Every report form on a whole unit over the year (staff lists of months 0..12, wages of
// months 1..12, all audited), run as qm-report runs it: the gates the person waits for, the
// computation and the result table. Each form's time stands beside its floor, a raw sqlite3
// scan that steps the rows the form needs and reads their columns without adding anything up,
// measured in the same run. The unit is the program folder's own database, so `--keep DIR`
// leaves a folder that qm-report reads.
#include "bench/Bench.h"
#include "bench/RawBaseline.h"
#include "bench/ReportUnit.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/unit/Gates.h"
#include "tools/SyntheticUnit.h"
#include "tools/report/ReportTool.h"

#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

namespace qm::bench {

// The unit: a construction unit with general contracting, so that the supplementary figures
// are counted too; every person has a wage row in every month 1..12.
QString BuildReportUnit(const Context& ctx) {
    // A unit of this size that an earlier run left (--keep) is used again, as long as every row
    // still counts as audited: the windows' saves flag the rows that fail their checks, and the
    // reports refuse a unit with such rows.
    if (QFileInfo::exists(ctx.paths.Database())) {
        db::Connection old;
        old.Open(ctx.paths.Database());
        db::Query q(old);
        q.Open(
            QStringLiteral("select (select count(*) from Staff_moninfo), (select count(*) from Wage_Info), "
                           "(select count(*) from Staff_moninfo where sIsok is not '1'), "
                           "(select count(*) from Wage_Info where sFlag is not '1' or wFlag is not '1')"));
        if (q.Fields(0).AsInteger() == 13LL * ctx.persons && q.Fields(1).AsInteger() == 12LL * ctx.persons &&
            q.Fields(2).AsInteger() == 0 && q.Fields(3).AsInteger() == 0)
            return ctx.paths.Database();
    }
    const auto persons = synth::MakePersons(ctx.persons);
    db::Connection c;
    const QString path = synth::OpenYearUnit(c, ctx.paths, QFileInfo(ctx.paths.Database()).fileName(), persons);
    db::Transaction t(c);
    c.Exec(QStringLiteral("update Dep_Info set DepInfo=?"),
           {UnitClass(false, UnitClass::Kind::GeneralContract).DepInfoText()});
    // The reports refuse lists with errors: every row counts as audited here.
    c.Exec(QStringLiteral("update Staff_moninfo set sIsok='1'"));
    const QString sql = QStringLiteral(
        "insert into Wage_Info (sNumber, sName, Smon, sN1, sN2, sN3, sN4, sTotal, sFlag, wFlag) "
        "values (?, ?, ?, ?, ?, ?, ?, ?, '1', '1')");
    for (int m = 1; m <= 12; ++m)
        for (size_t i = 0; i < persons.size(); ++i) {
            const double n1 = 2000 + double(i % 700), n2 = 500.5, n3 = double(i % 300), n4 = double(m);
            c.Exec(sql, {persons[i].sNumber, persons[i].sName, m, n1, n2, n3, n4, n1 + n2 + n3 + n4});
        }
    t.Commit();
    return path;
}

// One run of a form as qm-report makes it; false when it was refused.
bool RunReportForm(db::Connection& c, const AppPaths& paths, const reporttool::Runner& runner, const QStringList& args,
                   QString& message) {
    ScriptedUiService ui;
    MainState state;
    Gates gates(c, state, ui);
    MemoryProgress pb;
    reporttool::Run run{c, ui, paths, state, gates, pb, args};
    bool ok = false;
    try {
        ok = gates.LoadUnitInfo() && runner(run);
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
        return false;
    }
    if (!ok && !ui.shown.empty()) message = ui.shown.front().text;
    return ok;
}

namespace {

// A form as the benchmark runs it, and what it reads: per table the rows and the columns.
struct FormRun {
    const char* form;
    QStringList args;
    std::vector<const char*> floor;
};

const char* const kStaffAll =
    "select sMon, sNumber, sSex, sEducation, sPost, sPostGrade, sJGrade, ssf, sqrz, sgc, "
    "sjzs, ssg, syg from Staff_moninfo not indexed where sMon>=0 and sMon<=12";
const char* const kWageAll =
    "select Smon, sNumber, sTotal, sN1, sN2, sN3, sN4 from Wage_Info not indexed where Smon>=1 and Smon<=12";

std::vector<FormRun> Forms() {
    return {
        {"102-1", {}, {kStaffAll, kWageAll}},
        {"I704",
         {QStringLiteral("1"), QStringLiteral("12")},
         {"select sSex, sNation, sParty, sBirth, sEducation, sPost, sPostGrade, sJGrade from Staff_moninfo where "
          "sMon=12",
          "select sMon, sNumber, sPost, sPostGrade from Staff_moninfo not indexed where sMon>=0 and sMon<=12",
          "select Smon, sNumber, sTotal from Wage_Info not indexed where Smon>=1 and Smon<=12"}},
        {"I705",
         {QStringLiteral("1"), QStringLiteral("12")},
         {"select sSex, sNation, sParty, sBirth, sEducation, sPost, sPostGrade, sJGrade from Staff_moninfo where "
          "sMon=12",
          "select sMon, sNumber, sPost, sPostGrade from Staff_moninfo not indexed where sMon>=0 and sMon<=12",
          "select Smon, sNumber, sTotal from Wage_Info not indexed where Smon>=1 and Smon<=12"}},
        {"I102-2", {}, {kStaffAll, kWageAll}},
        {"X505",
         {},
         {"select sSex, sNation, sParty, sBirth, sEducation, sPost, sPostGrade, sJGrade from Staff_moninfo where "
          "sMon=12"}},
        {"202-1",
         {QStringLiteral("4")},
         {"select sMon, sNumber, sPost, ssf, sgc, sjzs, ssg, syg from Staff_moninfo not indexed where sMon>=0 and "
          "sMon<=12",
          "select Smon, sNumber, sTotal from Wage_Info not indexed where Smon>=1 and Smon<=12"}},
        {"payment",
         {QStringLiteral("1"), QStringLiteral("12")},
         {"select sNumber, sName, Smon, sTotal from Wage_Info not indexed where Smon>=1 and Smon<=12"}},
        {"I202-2",
         {QStringLiteral("3")},
         {"select sMon, sNumber, sPost, sPostGrade, ssf, sgc, sjzs, ssg, syg from Staff_moninfo not indexed where "
          "sMon>=0 and "
          "sMon<=9",
          "select Smon, sNumber, sTotal from Wage_Info not indexed where Smon>=1 and Smon<=9"}},
        {"I303-1",
         {},
         {"select sSex, sNation, sParty, sBirth, sEducation, sPost, sPostGrade, sJGrade from Staff_moninfo where "
          "sMon=0"}},
    };
}

// Steps every row of each statement and reads each column as its stored type gives it.
double FloorMs(sqlite3* h, const std::vector<const char*>& scans) {
    std::vector<sqlite3_stmt*> statements;
    for (const char* sql : scans) {
        sqlite3_stmt* st = nullptr;
        RawOk(h, sqlite3_prepare_v2(h, sql, -1, &st, nullptr), "prepare a floor scan");
        statements.push_back(st);
    }
    volatile long long sink = 0;
    const double ms = BestOfMs([&] {
        for (sqlite3_stmt* st : statements) {
            RawOk(h, sqlite3_reset(st), "reset a floor scan");
            const int n = sqlite3_column_count(st);
            int rc = SQLITE_OK;
            while ((rc = sqlite3_step(st)) == SQLITE_ROW)
                for (int i = 0; i < n; ++i) switch (sqlite3_column_type(st, i)) {
                    case SQLITE_INTEGER: sink = sink + sqlite3_column_int64(st, i); break;
                    case SQLITE_FLOAT: sink = sink + (long long)sqlite3_column_double(st, i); break;
                    case SQLITE_TEXT: sink = sink + sqlite3_column_bytes(st, i) + *sqlite3_column_text(st, i); break;
                    default: break;
                    }
            RawOk(h, rc, "step a floor scan", SQLITE_DONE);
        }
    });
    for (sqlite3_stmt* st : statements) RawOk(h, sqlite3_finalize(st), "finalize a floor scan");
    return ms;
}

// The most heap held while fn runs, from `startMb` on: read every millisecond by a thread of its
// own, so that the form's run is not timed while it is watched.
double PeakHeapMb(double startMb, const std::function<void()>& fn) {
    std::atomic<bool> done{false};
    double peak = HeapMb();
    std::thread watch([&] {
        while (!done.load()) {
            peak = std::max(peak, HeapMb());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    fn();
    done = true;
    watch.join();
    return std::max(peak, HeapMb()) - startMb;
}

void Run(Context& ctx) {
    const double heapStart = HeapMb();
    const QString path = BuildReportUnit(ctx);
    db::Connection c;
    c.Open(path);
    {
        db::Query q(c);
        q.Open(QStringLiteral("select (select count(*) from Staff_moninfo), (select count(*) from Wage_Info)"));
        Note(QStringLiteral("%1 persons: %2 staff rows, %3 wage rows")
                 .arg(ctx.persons)
                 .arg(q.Fields(0).AsInteger())
                 .arg(q.Fields(1).AsInteger()));
    }
    sqlite3* const raw =
        RawOpen(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, "open the database of the floor scans");

    {
        ScriptedUiService ui;
        MainState state;
        Gates gates(c, state, ui);
        const double ms = BestOfMs([&] { gates.CheckMonthDataErrors(Month::YearEnd()); });
        std::printf("gate CheckMonthDataErrors(12): %.1f ms\n", ms);
        // The number checks when the lists were written since the last (a save, a new process).
        const double scanMs =
            BestOfMs([&] { Gates::NumberTwiceRefusal(c, Month::Start(), Month::YearEnd()); },
                     [&] {
                         c.Exec(QStringLiteral(
                             "update Staff_moninfo set sIsok=sIsok where id=(select min(id) from Staff_moninfo)"));
                     });
        std::printf("gate number checks of the lists and wages 0..12, written since: %.1f ms\n", scanMs);
    }
    for (const FormRun& f : Forms()) {
        const QString form = QString::fromLatin1(f.form);
        const auto entry = reporttool::AllForms().find(form);
        if (entry == reporttool::AllForms().end()) continue;
        QString refused;
        const double ms = BestOfMs([&] {
            if (!RunReportForm(c, ctx.paths, entry->second.run, f.args, refused) && refused.isEmpty())
                refused = QStringLiteral("refused");
        });
        if (!refused.isEmpty()) {
            Note(QStringLiteral("report %1: %2").arg(form, refused));
            continue;
        }
        const double floor = FloorMs(raw, f.floor);
        const double heap =
            PeakHeapMb(heapStart, [&] { RunReportForm(c, ctx.paths, entry->second.run, f.args, refused); });
        std::printf("report %s: %.1f ms, floor %.1f ms, ratio %.2f, heap %+.1f MB\n", f.form, ms, floor,
                    floor > 0 ? ms / floor : 0.0, heap);
    }
    RawOk(raw, sqlite3_close(raw), "close the database of the floor scans");
}

QM_BENCH(60, "report forms", Run);

}  // namespace
}  // namespace qm::bench
