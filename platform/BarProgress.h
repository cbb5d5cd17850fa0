#pragma once
// A QProgressBar as the core's Progress: the main window's bar and the forms' own.

#include "core/base/Progress.h"

#include <QPointer>
#include <QProgressBar>

namespace qm {

class BarProgress : public Progress {
public:
    // Without a bar (not yet made, or gone) a position is kept nowhere and reads 0.
    explicit BarProgress(QProgressBar* bar = nullptr) : bar_(bar) {}
    void SetBar(QProgressBar* bar) { bar_ = bar; }
    int Position() const override { return bar_ ? bar_->value() : 0; }

protected:
    void Show(int v) override {
        if (!bar_) return;
        // QProgressBar repaints at once (work does not return to the event loop until it
        // ends) when what it shows changes; a second repaint here would paint it twice.
        bar_->setValue(v);
    }

private:
    QPointer<QProgressBar> bar_;
};

}  // namespace qm
