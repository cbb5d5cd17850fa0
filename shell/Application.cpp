#include "shell/Application.h"

#include "core/base/UiService.h"
#include "core/db/Errors.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace qm {

bool InstallQtChinese(QCoreApplication& app) {
    auto* t = new QTranslator(&app);
    if (!t->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;  // without the translation the buttons keep Qt's English texts
        return false;
    }
    return app.installTranslator(t);
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kAppTitle);
    InstallQtChinese(*this);
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
