// The main window's bar under long runs: a save or a list of many rows repaints the bar only
// when its position changes, so a run costs at most one repaint per percent, however many
// rows it moves the bar for.
#include "bench/SyntheticUnit.h"
#include "core/report/PaymentList.h"
#include "core/staff/AllputStore.h"
#include "core/staff/MonputStore.h"
#include "platform/BarProgress.h"
#include "tests/support/TempBase.h"

#include <QApplication>
#include <QEvent>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <functional>

namespace qm::test {
namespace {

constexpr int kRows = 20000;

// Counts a bar's paints and the position each showed.
class PaintCount : public QObject {
public:
    int paints = 0;
    int lastShown = -1;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            lastShown = static_cast<QProgressBar*>(o)->value();
        }
        return false;
    }
};

// A bar as the main window shows it, its paints counted from here on.
struct ShownBar {
    ShownBar() {
        bar.setRange(0, 100);
        bar.setValue(0);
        bar.setTextVisible(false);
        bar.resize(800, 14);
        bar.show();
        QApplication::processEvents();
        bar.installEventFilter(&count);
    }
    QProgressBar bar;
    PaintCount count;
};

std::vector<AllputRow> BatchRows(const std::vector<synth::Person>& persons) {
    std::vector<AllputRow> rows(persons.size());
    for (size_t i = 0; i < persons.size(); ++i) {
        const StaffRecord r = synth::StaffRecordOf(persons[i], 0);
        rows[i].sheetRow = int(i) + 3;
        rows[i].text = StaffTable::SheetTexts(r);
        for (int a = 0; a < kStaffAttrCount; ++a)
            if (r.code[size_t(a)]) rows[i].code[size_t(a)] = QString::number(*r.code[size_t(a)]);
    }
    return rows;
}

struct LongRun {
    const char* what;
    std::function<void(db::Connection&, Progress&)> run;
    int endsAt;  // where the run leaves the bar
};

TEST(BarProgress, ALongRunRepaintsTheBarOnlyWhenItsPositionChanges) {
    TempBase base;
    const auto persons = synth::MakePersons(kRows);
    synth::WriteUnit(base.db());
    {
        db::Transaction t(base.db());
        for (const auto& p : persons)
            base.db().Exec(QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal, sFlag, wFlag) "
                                          "values (?, ?, 1, 3000, '1', '1')"),
                           {p.sNumber, p.sName});
        t.Commit();
    }
    const std::vector<AllputRow> batch = BatchRows(persons);
    const CellReader cell = [&batch](int row, int col) {
        const AllputRow& r = batch[size_t(row - kStaffFirstRow)];
        return col < kStaffFirstCode ? r.Text(col) : r.Code(col);
    };
    const std::vector<QString> flags(persons.size(), QStringLiteral("1"));
    db::MonthLoad start, first;  // both months are empty: nothing loaded, nothing to replace

    const LongRun runs[] = {
        {"the batch sheet's save",
         [&](db::Connection& c, Progress& pb) { AllputStore(c).Save(batch, StaffColumns::All, start, &pb); }, 90},
        {"the monthly list's save",
         [&](db::Connection& c, Progress& pb) {
             WriteMonth(c, Month(1), StaffColumns::All, kStaffFirstRow, kStaffFirstRow + kRows - 1, cell, flags, first,
                        &pb);
         },
         0},
        {"the payment list", [](db::Connection& c, Progress& pb) { report::BuildPaymentList(c, 1, 12, &pb); }, 100},
    };
    for (const LongRun& r : runs) {
        SCOPED_TRACE(r.what);
        ShownBar shown;
        BarProgress pb(&shown.bar);
        r.run(base.db(), pb);
        EXPECT_GT(shown.count.paints, 0);  // the bar did move in sight
        EXPECT_LE(shown.count.paints, 101);
        EXPECT_EQ(shown.bar.value(), r.endsAt);
    }
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), QString::number(kRows));
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=1")), QString::number(kRows));
}

// A repaint of the bar costs about a millisecond: fast work, that moves it through many positions
// in a few milliseconds, repaints it at most once in BarProgress::kRepaintEveryMs (and at the
// first position and at either end at once); what it shows meanwhile reaches the screen when
// the event loop next runs. Slow work repaints it at every change.
TEST(BarProgress, FastWorkRepaintsTheBarOnlyEveryFewMilliseconds) {
    constexpr int every = BarProgress::kRepaintEveryMs;
    struct Case {
        const char* what;
        int msPerStep, last;  // positions 1..last, one step each
        int mostPaints;       // while the work runs
    } const cases[] = {
        {"to the end in a tenth of a second", 1, 100, 2 + 100 / every},
        {"almost to the end, quickly", 1, 99, 1 + 99 / every},
        {"a few positions, each slower than a repaint", every + 5, 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qint64 now = 0;
        ShownBar shown;
        BarProgress pb(&shown.bar, [&now] { return now; });
        for (int v = 1; v <= c.last; ++v) {
            now += c.msPerStep;
            pb.SetPosition(v);
            EXPECT_EQ(pb.Position(), v);  // stored at once, whenever it is painted
        }
        EXPECT_GT(shown.count.paints, 0);
        EXPECT_LE(shown.count.paints, c.mostPaints);
        QApplication::processEvents();
        EXPECT_EQ(shown.count.lastShown, c.last);  // the last position is on the screen
    }
}

}  // namespace
}  // namespace qm::test
