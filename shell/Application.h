#pragma once
#include <QApplication>

namespace qm {

class UiService;

// The application object: titled "Quillmarsh.2012版"; an exception escaping an event
// handler reaches the default handler, which shows its text.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    void SetUi(UiService* ui) { ui_ = ui; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    UiService* ui_ = nullptr;
};

}  // namespace qm
