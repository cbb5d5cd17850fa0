#include "platform/BarProgress.h"

#include <QElapsedTimer>

namespace qm {

BarProgress::BarProgress(QProgressBar* bar, Clock clock) : bar_(bar), clock_(std::move(clock)) {
    if (!clock_) {
        clock_ = [timer = std::make_shared<QElapsedTimer>()] {
            if (!timer->isValid()) timer->start();
            return timer->elapsed();
        };
    }
}

void BarProgress::Show(int v) {
    if (!bar_) return;
    // A repaint of the bar costs about a millisecond, as much as a hundred rows of a save:
    // work that moves it through many positions quickly has it repainted only every few
    // milliseconds, the first position and either end at once. A position between is stored
    // and shown by the next repaint, or when the event loop next runs.
    const qint64 now = clock_();
    if (painted_ && v != 0 && v != 100 && now - paintedAt_ < kRepaintEveryMs) {
        bar_->setUpdatesEnabled(false);
        bar_->setValue(v);
        bar_->setUpdatesEnabled(true);  // a repaint for the event loop
        return;
    }
    // QProgressBar repaints at once (work does not return to the event loop until it ends)
    // when what it shows changes; a second repaint here would paint it twice.
    bar_->setValue(v);
    paintedAt_ = now;
    painted_ = true;
}

}  // namespace qm
