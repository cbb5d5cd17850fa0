#pragma once
// The one replaceable service behind every message box, file or folder dialog and every
// document or folder opened on the desktop. Forms ask it; tests answer it by script.

#include <QString>
#include <optional>

namespace qm {

inline const QString kAppTitle = QStringLiteral("Quillmarsh.2012版");

// The kind of a dialog-library box; it gives the box its title.
enum class DlgKind { Information, Confirmation, Warning, Error };
// YesNoDefaultNo: Yes and No with No the default button, for a question whose Yes gives
// something up: Enter and Esc both answer No. YesNoCancel: Cancel, which changes nothing, is the
// default; Enter, Esc and the close box answer it.
enum class DlgButtons { Ok, YesNo, YesOnly, OkCancel, YesNoAll, YesNoDefaultNo, YesNoCancel };
enum class DlgAnswer { Ok, Yes, No, Cancel, All };

QString DlgTitle(DlgKind kind);  // "提示", "确认", "警告", "错误"

// The kind of box that tells why a save was refused before anything was written: one caption
// and icon for that, whichever form refused.
inline constexpr DlgKind kRefusedSaveKind = DlgKind::Warning;

// What the person is told when no program on the desktop can open a document or a folder.
QString NoProgramForDocumentText(const QString& path);
QString NoProgramForFolderText(const QString& path);

class UiService {
public:
    virtual ~UiService() = default;

    // Dialog-library box: a kind (which sets the title) and a button set.
    virtual DlgAnswer MessageDlg(const QString& text, DlgKind kind, DlgButtons buttons) = 0;
    // Plain box with OK, titled "Quillmarsh.2012版".
    virtual void Plain(const QString& text) = 0;
    // The month choosers' box titled "消息" with the stop icon.
    virtual void Stop(const QString& text) = 0;
    // A message box with OK under a caption of its own; `icon` is Information or Error (the stop icon).
    virtual void Titled(const QString& text, const QString& caption, DlgKind icon) = 0;

    // File dialogs; an empty optional means the person cancelled.
    virtual std::optional<QString> OpenFile(const QString& caption, const QString& initialDir,
                                            const QString& filter) = 0;
    virtual std::optional<QString> SaveFile(const QString& caption, const QString& initialDir,
                                            const QString& defaultName, const QString& filter) = 0;
    virtual std::optional<QString> ChooseFolder(const QString& caption, const QString& initialDir) = 0;

    // Desktop: the default application opens a document; the file manager opens a folder.
    // Where no program can, the person is told so, with the file and its folder.
    void OpenDocument(const QString& path) {
        if (!LaunchDocument(path)) Info(NoProgramForDocumentText(path));
    }
    void OpenFolder(const QString& path) {
        if (!LaunchFolder(path)) Info(NoProgramForFolderText(path));
    }

    // Shorthands for the boxes the forms use most.
    void Info(const QString& text) { MessageDlg(text, DlgKind::Information, DlgButtons::Ok); }
    bool AskYesNo(const QString& text, DlgKind kind = DlgKind::Confirmation) {
        return MessageDlg(text, kind, DlgButtons::YesNo) == DlgAnswer::Yes;
    }
    // Yes gives up what the person has not stored; No, the default, keeps it.
    bool AskYesNoDefaultNo(const QString& text, DlgKind kind = DlgKind::Confirmation) {
        return MessageDlg(text, kind, DlgButtons::YesNoDefaultNo) == DlgAnswer::Yes;
    }
    void ConfirmYesOnly(const QString& text) { MessageDlg(text, DlgKind::Confirmation, DlgButtons::YesOnly); }
    // Why a save was refused; nothing was written.
    void RefuseSave(const QString& text) { MessageDlg(text, kRefusedSaveKind, DlgButtons::Ok); }

    // A step that can take longer than a blink (held by BusyScope): the person sees that the
    // program is busy until it ends, but not while a box or dialog waits for an answer. Scopes
    // nest; the outermost one's end lifts the mark.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

protected:
    // Hands the path to the desktop; false when nothing there can open it.
    virtual bool LaunchDocument(const QString& path) = 0;
    virtual bool LaunchFolder(const QString& path) = 0;
};

// The busy mark for the life of a step, however the step ends.
class BusyScope {
public:
    explicit BusyScope(UiService& ui) : ui_(ui) { ui_.BeginBusy(); }
    ~BusyScope() { ui_.EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    UiService& ui_;
};

}  // namespace qm
