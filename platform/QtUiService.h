#pragma once
#include "core/base/UiService.h"

#include <QMetaObject>

class QDialog;

namespace qm {

// The service on a real desktop: Qt's message boxes and dialogs, the desktop's programs.
// Busy shows the wait cursor over every window of the program. The normal cursor comes back
// while a box or dialog of this service is up, and whenever the event loop waits for input: a
// step that opened a modal form waits for the person there, and a window it left open must
// not keep the wait cursor.
class QtUiService : public UiService {
public:
    ~QtUiService() override;
    void BeginBusy() override;
    void EndBusy() override;
    DlgAnswer MessageDlg(const QString& text, DlgKind kind, DlgButtons buttons) override;
    void Plain(const QString& text) override;
    void Stop(const QString& text) override;
    void Titled(const QString& text, const QString& caption, DlgKind icon) override;
    std::optional<QString> OpenFile(const QString& caption, const QString& initialDir, const QString& filter) override;
    std::optional<QString> SaveFile(const QString& caption, const QString& initialDir, const QString& defaultName,
                                    const QString& filter) override;
    std::optional<QString> ChooseFolder(const QString& caption, const QString& initialDir) override;

protected:
    bool LaunchDocument(const QString& path) override;
    bool LaunchFolder(const QString& path) override;

private:
    class Asking;
    void ShowWait(bool on);
    int Ask(QDialog& box);  // runs a box or dialog as Asking says

    int busy_ = 0;
    bool waitShown_ = false;  // the wait cursor is on Qt's override stack
    QMetaObject::Connection idle_;
};

}  // namespace qm
