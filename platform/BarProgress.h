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
        bar_->setValue(v);
        bar_->repaint();  // work does not return to the event loop until it ends
    }

private:
    QPointer<QProgressBar> bar_;
};

}  // namespace qm
