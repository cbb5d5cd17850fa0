// The main window's bar under long runs: repainted only when its position changes, and while
// fast work runs at most once in BarProgress::kRepaintEveryMs.
#include "bench/SyntheticUnit.h"
#include "core/staff/AllputStore.h"
#include "platform/BarProgress.h"
#include "tests/support/TempBase.h"

#include <QApplication>
#include <QEvent>
#include <QProgressBar>

#include <gtest/gtest.h>

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

// A save of many rows, on the system's clock, repaints the bar once a position at the most.
TEST(BarProgress, ALongRunRepaintsTheBarOnlyWhenItsPositionChanges) {
    TempBase base;
    const auto persons = synth::MakePersons(kRows);
    synth::WriteUnit(base.db());
    std::vector<AllputRow> batch(persons.size());
    for (size_t i = 0; i < persons.size(); ++i) {
        const StaffRecord r = synth::StaffRecordOf(persons[i], 0);
        batch[i].sheetRow = int(i) + kStaffFirstRow;
        batch[i].text = StaffTable::SheetTexts(r);
        for (int a = 0; a < kStaffAttrCount; ++a)
            if (r.code[size_t(a)]) batch[i].code[size_t(a)] = QString::number(*r.code[size_t(a)]);
    }
    ShownBar shown;
    BarProgress pb(&shown.bar);
    db::MonthLoad start;  // an empty month: nothing loaded, nothing to replace
    AllputStore(base.db()).Save(batch, StaffColumns::All, start, &pb);
    EXPECT_GT(shown.paints, 0);
    EXPECT_LE(shown.paints, 101);
    EXPECT_EQ(shown.bar.value(), 90);  // where the batch save leaves the bar
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), QString::number(kRows));
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
