#pragma once
#include <QApplication>

namespace qm {

class UiService;

// Loads Qt's own Chinese translation, so that standard buttons and dialogs read "确定",
// "取消", "是", "否" as the program's users expect. Answers whether it was found.
bool InstallQtChinese(QCoreApplication& app);

// The Chinese locale for Qt's widgets, whatever the machine's: dates in the file dialogs,
// the names of file kinds, the calendar.
void UseChineseLocale();

// The application object: titled "Quillmarsh.2012版", with Qt's Chinese translation and locale;
// an exception escaping an event handler reaches the default handler, which shows its text.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    void SetUi(UiService* ui) { ui_ = ui; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    UiService* ui_ = nullptr;
};

}  // namespace qm
