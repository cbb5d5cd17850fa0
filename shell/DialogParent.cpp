#include "shell/DialogParent.h"

#include <QApplication>

namespace qm {

QWidget* DialogParent(const AppContext& ctx) {
    if (QWidget* m = QApplication::activeModalWidget()) return m;
    if (QWidget* a = QApplication::activeWindow()) return a;
    return ctx.mainWidget;
}

}  // namespace qm
