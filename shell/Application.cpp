#include "shell/Application.h"

#include "core/base/UiService.h"
#include "core/db/Errors.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qm {

namespace {

// Qt's Chinese catalog predates the file icon provider's own context: the folder's type
// ("Folder"), a drive and a file's kind are found under the file dialog's context, where the
// catalog has them.
class RenamedContexts : public QTranslator {
public:
    bool Load() {
        return catalog_.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int n) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
        return catalog_.translate("QFileDialog", sourceText, nullptr, n);
    }

private:
    QTranslator catalog_;
};

}  // namespace

bool InstallQtChinese(QCoreApplication& app) {
    auto* t = new QTranslator(&app);
    if (!t->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;  // without the translation the buttons keep Qt's English texts
        return false;
    }
    auto* renamed = new RenamedContexts;
    renamed->setParent(&app);
    if (renamed->Load())
        app.installTranslator(renamed);
    else
        delete renamed;
    return app.installTranslator(t);
}

void UseChineseLocale() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kAppTitle);
    InstallQtChinese(*this);
    UseChineseLocale();
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
