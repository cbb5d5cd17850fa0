#pragma once
#include "core/base/UiService.h"

class QWidget;

namespace qm {

// The service on a real desktop: Qt's message boxes and dialogs, the desktop's programs.
class QtUiService : public UiService {
public:
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
};

}  // namespace qm
