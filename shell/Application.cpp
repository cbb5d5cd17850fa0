#include "shell/Application.h"

#include "core/db/Errors.h"
#include "core/base/UiService.h"

namespace qm {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kAppTitle);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (ui_) ShowCurrentException(*ui_);
        return false;
    }
}

}  // namespace qm
