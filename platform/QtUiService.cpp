#include "platform/QtUiService.h"

#include "platform/DesktopOpener.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace qm {

namespace {
QWidget* Parent() { return QApplication::activeWindow(); }
}  // namespace

DlgAnswer QtUiService::MessageDlg(const QString& text, DlgKind kind, DlgButtons buttons) {
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case DlgKind::Information: icon = QMessageBox::Information; break;
    case DlgKind::Confirmation: icon = QMessageBox::Question; break;
    case DlgKind::Warning: icon = QMessageBox::Warning; break;
    case DlgKind::Error: icon = QMessageBox::Critical; break;
    }
    QMessageBox box(icon, DlgTitle(kind), text, QMessageBox::NoButton, Parent());
    switch (buttons) {
    case DlgButtons::Ok: box.addButton(QMessageBox::Ok); break;
    case DlgButtons::YesNo:
        box.addButton(QMessageBox::Yes);
        box.addButton(QMessageBox::No);
        break;
    case DlgButtons::YesNoDefaultNo:
        box.addButton(QMessageBox::Yes);
        box.setDefaultButton(box.addButton(QMessageBox::No));
        break;
    case DlgButtons::YesOnly: box.addButton(QMessageBox::Yes); break;
    case DlgButtons::OkCancel:
        box.addButton(QMessageBox::Ok);
        box.addButton(QMessageBox::Cancel);
        break;
    case DlgButtons::YesNoAll:
        box.addButton(QMessageBox::Yes);
        box.addButton(QMessageBox::No);
        box.addButton(QMessageBox::YesToAll);
        break;
    }
    int r = box.exec();
    if (r == QMessageBox::YesToAll) return DlgAnswer::All;
    if (r == QMessageBox::Yes) return DlgAnswer::Yes;
    if (r == QMessageBox::No) return DlgAnswer::No;
    if (buttons == DlgButtons::OkCancel) return r == QMessageBox::Ok ? DlgAnswer::Ok : DlgAnswer::Cancel;
    return buttons == DlgButtons::YesNo || buttons == DlgButtons::YesNoAll || buttons == DlgButtons::YesNoDefaultNo
               ? DlgAnswer::No
               : DlgAnswer::Ok;
}

void QtUiService::Plain(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, Parent());
    box.exec();
}

void QtUiService::Stop(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("消息"), text, QMessageBox::Ok, Parent());
    box.exec();
}

void QtUiService::Titled(const QString& text, const QString& caption, DlgKind icon) {
    const QMessageBox::Icon i = icon == DlgKind::Error     ? QMessageBox::Critical
                                : icon == DlgKind::Warning ? QMessageBox::Warning
                                                           : QMessageBox::Information;
    QMessageBox box(i, caption, text, QMessageBox::Ok, Parent());
    box.exec();
}

std::optional<QString> QtUiService::OpenFile(const QString& caption, const QString& initialDir, const QString& filter) {
    QString f = QFileDialog::getOpenFileName(Parent(), caption, initialDir, filter);
    if (f.isEmpty()) return std::nullopt;
    return f;
}

std::optional<QString> QtUiService::SaveFile(const QString& caption, const QString& initialDir,
                                             const QString& defaultName, const QString& filter) {
    QString f = QFileDialog::getSaveFileName(Parent(), caption, QDir(initialDir).filePath(defaultName), filter);
    if (f.isEmpty()) return std::nullopt;
    return f;
}

std::optional<QString> QtUiService::ChooseFolder(const QString& caption, const QString& initialDir) {
    QString f = QFileDialog::getExistingDirectory(Parent(), caption, initialDir);
    if (f.isEmpty()) return std::nullopt;
    return f;
}

bool QtUiService::LaunchDocument(const QString& path) { return DesktopOpener::Open(path); }
bool QtUiService::LaunchFolder(const QString& path) { return DesktopOpener::Open(path); }

}  // namespace qm
