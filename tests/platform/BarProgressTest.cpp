// The main window's bar under long runs: repainted only when its position changes, and while
// fast work runs at most once in BarProgress::kRepaintEveryMs.
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

// A bar as the main window shows it, counting its paints from here on and what the last showed.
class ShownBar : public QObject {
public:
    ShownBar() {
        bar.setRange(0, 100);
        bar.setValue(0);
        bar.setTextVisible(false);
        bar.resize(800, 14);
        bar.show();
        QApplication::processEvents();
        bar.installEventFilter(this);
    }
    QProgressBar bar;
    int paints = 0, lastShown = -1;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints, lastShown = bar.value();
        return false;
    }
};

TEST(BarProgress, ALongRunRepaintsTheBarOnlyWhenItsPositionChanges) {
    TempBase base;
    const auto persons = synth::MakePersons(kRows);
    synth::WriteUnit(base.db());
    std::vector<AllputRow> batch(persons.size());
    {
        db::Transaction t(base.db());
        for (size_t i = 0; i < persons.size(); ++i) {
            base.db().Exec(QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal, sFlag, wFlag) "
                                          "values (?, ?, 1, 3000, '1', '1')"),
                           {persons[i].sNumber, persons[i].sName});
            const StaffRecord r = synth::StaffRecordOf(persons[i], 0);
            batch[i].sheetRow = int(i) + kStaffFirstRow;
            batch[i].text = StaffTable::SheetTexts(r);
            for (int a = 0; a < kStaffAttrCount; ++a)
                if (r.code[size_t(a)]) batch[i].code[size_t(a)] = QString::number(*r.code[size_t(a)]);
        }
        t.Commit();
    }
    const CellReader cell = [&batch](int row, int col) {
        const AllputRow& r = batch[size_t(row - kStaffFirstRow)];
        return col < kStaffFirstCode ? r.Text(col) : r.Code(col);
    };
    db::MonthLoad start, first;  // both months are empty: nothing loaded, nothing to replace
    const struct {
        const char* what;
        std::function<void(Progress&)> run;
        int endsAt;  // where the run leaves the bar
    } runs[] = {
        {"batch save", [&](Progress& pb) { AllputStore(base.db()).Save(batch, StaffColumns::All, start, &pb); }, 90},
        {"monthly list's save",
         [&](Progress& pb) {
             WriteMonth(base.db(), Month(1), StaffColumns::All, kStaffFirstRow, kStaffFirstRow + kRows - 1, cell,
                        std::vector<QString>(kRows, QStringLiteral("1")), first, &pb);
         },
         0},
        {"payment list", [&](Progress& pb) { report::BuildPaymentList(base.db(), 1, 12, &pb); }, 100},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.what);
        ShownBar shown;
        BarProgress pb(&shown.bar);
        r.run(pb);
        EXPECT_GT(shown.paints, 0);
        EXPECT_LE(shown.paints, 101);
        EXPECT_EQ(shown.bar.value(), r.endsAt);
    }
    for (int mon : {0, 1})
        EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=?"), {mon}),
                  QString::number(kRows));
}

// Fast work is repainted at its first position, either end and once in kRepaintEveryMs between;
// a position skipped reaches the screen when the event loop next runs.
TEST(BarProgress, FastWorkRepaintsTheBarOnlyEveryFewMilliseconds) {
    constexpr int every = BarProgress::kRepaintEveryMs;
    const struct {
        const char* what;
        int msPerStep, last;  // positions 1..last, one step each
        int mostPaints;       // while the work runs
    } cases[] = {
        {"to the end in a tenth of a second", 1, 100, 2 + 100 / every},
        {"almost to the end, quickly", 1, 99, 1 + 99 / every},
        {"a few positions, each slower than a repaint", every + 5, 20, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qint64 now = 0;
        ShownBar shown;
        BarProgress pb(&shown.bar, [&now] { return now; });
        for (int v = 1; v <= c.last; ++v) {
            now += c.msPerStep;
            pb.SetPosition(v);
            EXPECT_EQ(pb.Position(), v);  // stored at once, whenever it is painted
        }
        EXPECT_GT(shown.paints, 0);
        EXPECT_LE(shown.paints, c.mostPaints);
        QApplication::processEvents();
        EXPECT_EQ(shown.lastShown, c.last);
    }
}

}  // namespace
}  // namespace qm::test
