#pragma once
// A UiService for tests and headless runs: answers from a script and records what was asked.

#include "core/base/UiService.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace qm {

struct ShownBox {
    enum class Sort { Dlg, Plain, Stop, Titled, OpenFile, SaveFile, ChooseFolder, OpenDocument, OpenFolder };
    Sort sort;
    QString text;   // message text, or the path / caption for the other sorts
    QString title;  // the box's title
    DlgKind kind = DlgKind::Information;
    DlgButtons buttons = DlgButtons::Ok;
};

class ScriptedUiService : public UiService {
public:
    // Answers to questions, taken in order; when none is left a question is answered
    // with `defaultAnswer` (Yes-only boxes always with Yes, OK boxes with OK, boxes with a
    // Cancel button with Cancel).
    std::deque<DlgAnswer> answers;
    DlgAnswer defaultAnswer = DlgAnswer::No;
    // Paths the file and folder dialogs return, in order; none left means "cancelled".
    std::deque<std::optional<QString>> paths;

    std::vector<ShownBox> shown;
    // Whether the desktop has a program for the documents and folders handed to it.
    bool desktopOpens = true;

    DlgAnswer MessageDlg(const QString& text, DlgKind kind, DlgButtons buttons) override;
    void Plain(const QString& text) override;
    void Stop(const QString& text) override;
    void Titled(const QString& text, const QString& caption, DlgKind icon) override;
    std::optional<QString> OpenFile(const QString& caption, const QString& initialDir, const QString& filter) override;
    std::optional<QString> SaveFile(const QString& caption, const QString& initialDir, const QString& defaultName,
                                    const QString& filter) override;
    std::optional<QString> ChooseFolder(const QString& caption, const QString& initialDir) override;
    // Nothing to show headless: nobody watches a cursor here.
    void BeginBusy() override {}
    void EndBusy() override {}

    // The texts of every box shown (message boxes only), in order.
    QStringList Texts() const;
    const ShownBox* Last() const { return shown.empty() ? nullptr : &shown.back(); }
    void Clear() { shown.clear(); }

protected:
    bool LaunchDocument(const QString& path) override;
    bool LaunchFolder(const QString& path) override;

private:
    std::optional<QString> NextPath();
};

}  // namespace qm
