#pragma once
// The month's list as the main window opens it, deleted at the end of a test.

#include "entry/staff/MonputForm.h"
#include "tests/entry/staff/MonputTestSupport.h"

#include <QPointer>

#include <optional>

namespace qm::test {

struct ListWindow {
    explicit ListWindow(MonputEnv& env, std::optional<Month> m = {})
        : w(TFrm_monput::ShowList(env.ctx, m.value_or(env.ListMonth()))) {}
    ~ListWindow() {
        if (w) {
            w->setAttribute(Qt::WA_DeleteOnClose, false);
            delete w.data();
        }
    }
    TFrm_monput* operator->() const { return w.data(); }
    QPointer<TFrm_monput> w;
};

}  // namespace qm::test
