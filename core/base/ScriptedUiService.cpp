#include "core/base/ScriptedUiService.h"

namespace qm {

DlgAnswer ScriptedUiService::MessageDlg(const QString& text, DlgKind kind, DlgButtons buttons) {
    shown.push_back({ShownBox::Sort::Dlg, text, DlgTitle(kind), kind, buttons});
    if (buttons == DlgButtons::Ok) return DlgAnswer::Ok;
    if (buttons == DlgButtons::YesOnly) return DlgAnswer::Yes;
    if (answers.empty())
        return buttons == DlgButtons::OkCancel || buttons == DlgButtons::YesNoCancel ? DlgAnswer::Cancel
                                                                                     : defaultAnswer;
    DlgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

void ScriptedUiService::Plain(const QString& text) { shown.push_back({ShownBox::Sort::Plain, text, kAppTitle}); }

void ScriptedUiService::Stop(const QString& text) {
    shown.push_back({ShownBox::Sort::Stop, text, QStringLiteral("消息")});
}

void ScriptedUiService::Titled(const QString& text, const QString& caption, DlgKind icon) {
    shown.push_back({ShownBox::Sort::Titled, text, caption, icon});
}

std::optional<QString> ScriptedUiService::NextPath() {
    if (paths.empty()) return std::nullopt;
    std::optional<QString> p;
    p.swap(paths.front());
    paths.pop_front();
    return p;
}

std::optional<QString> ScriptedUiService::OpenFile(const QString& caption, const QString& initialDir, const QString&) {
    shown.push_back({ShownBox::Sort::OpenFile, initialDir, caption});
    return NextPath();
}

std::optional<QString> ScriptedUiService::SaveFile(const QString& caption, const QString& initialDir,
                                                   const QString& defaultName, const QString&) {
    shown.push_back({ShownBox::Sort::SaveFile, initialDir + QLatin1Char('/') + defaultName, caption});
    return NextPath();
}

std::optional<QString> ScriptedUiService::ChooseFolder(const QString& caption, const QString& initialDir) {
    shown.push_back({ShownBox::Sort::ChooseFolder, initialDir, caption});
    return NextPath();
}

bool ScriptedUiService::LaunchDocument(const QString& path) {
    shown.push_back({ShownBox::Sort::OpenDocument, path, {}});
    return desktopOpens;
}

bool ScriptedUiService::LaunchFolder(const QString& path) {
    shown.push_back({ShownBox::Sort::OpenFolder, path, {}});
    return desktopOpens;
}

QStringList ScriptedUiService::Texts() const {
    QStringList t;
    for (const auto& b : shown)
        if (b.sort == ShownBox::Sort::Dlg || b.sort == ShownBox::Sort::Plain || b.sort == ShownBox::Sort::Stop ||
            b.sort == ShownBox::Sort::Titled)
            t << b.text;
    return t;
}

}  // namespace qm
