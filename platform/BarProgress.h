#pragma once
// A QProgressBar as the core's Progress: the main window's bar and the forms' own.

#include "core/base/Progress.h"

#include <QPointer>
#include <QProgressBar>

#include <functional>

namespace qm {

class BarProgress : public Progress {
public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;
    // While work runs, the bar is repainted at most once in this many milliseconds.
    static constexpr int kRepaintEveryMs = 30;

    // Without a bar (not yet made, or gone) a position is kept nowhere and reads 0. Without a
    // clock, the system's monotonic one.
    explicit BarProgress(QProgressBar* bar = nullptr, Clock clock = {});
    void SetBar(QProgressBar* bar) { bar_ = bar; }
    int Position() const override { return bar_ ? bar_->value() : 0; }

protected:
    void Show(int v) override;

private:
    QPointer<QProgressBar> bar_;
    Clock clock_;
    qint64 paintedAt_ = 0;
    bool painted_ = false;
};

}  // namespace qm
