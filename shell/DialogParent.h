#pragma once
// The window a dialog opened now belongs over: the running modal dialog, else the active
// window, else the main window.

#include "core/base/AppContext.h"

class QWidget;

namespace qm {

QWidget* DialogParent(const AppContext& ctx);

}  // namespace qm
