#pragma once
// A report form's own progress bar as the core sees it.

#include "core/base/Progress.h"

#include <QProgressBar>

namespace qm {

class FormProgress : public Progress {
public:
    explicit FormProgress(QProgressBar* bar) : bar_(bar) {}
    int Position() const override { return bar_->value(); }

protected:
    void Show(int v) override {
        bar_->setValue(v);
        bar_->repaint();  // the export does not return to the event loop until it ends
    }

private:
    QProgressBar* bar_;
};

}  // namespace qm
