// The main window's bar under long runs: repainted at most once in BarProgress::kRepaintEveryMs.
#include "platform/BarProgress.h"

#include <QApplication>
#include <QEvent>
#include <QProgressBar>

#include <gtest/gtest.h>

namespace qm::test {
namespace {

// A bar as the main window shows it, counting its paints and what the last showed.
class ShownBar : public QObject {
public:
    ShownBar() {
        bar.setRange(0, 100);
        bar.setValue(0);
        bar.setTextVisible(false);
        bar.resize(2000, 14);  // a position is more than a chunk of the bar: each one is repainted
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

// A position skipped reaches the screen when the event loop next runs.
TEST(BarProgress, FastWorkRepaintsTheBarOnlyEveryFewMilliseconds) {
    constexpr int every = BarProgress::kRepaintEveryMs;
    const struct {
        const char* what;
        int msPerStep, last;          // positions 1..last, one step each
        int leastPaints, mostPaints;  // while the work runs
        int shownAtEnd;               // before the event loop runs: at least this position
    } cases[] = {
        {"to the end in a tenth of a second", 1, 100, 1 + 100 / every, 2 + 100 / every, 100},
        {"almost to the end, quickly", 1, 99, 99 / every, 1 + 99 / every, 99 - every},
        {"a few positions, each slower than a repaint", every + 5, 20, 20, 20, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        qint64 now = 0;
        ShownBar shown;
        BarProgress pb(&shown.bar, [&now] { return now; });
        for (int v = 1; v <= c.last; ++v) {
            now += c.msPerStep;
            pb.SetPosition(v);
        }
        EXPECT_GE(shown.paints, c.leastPaints);
        EXPECT_LE(shown.paints, c.mostPaints);
        EXPECT_GE(shown.lastShown, c.shownAtEnd);
        QApplication::processEvents();
        EXPECT_EQ(shown.lastShown, c.last);
    }
}

}  // namespace
}  // namespace qm::test
