#include "platform/QtUiService.h"

#include "platform/DesktopOpener.h"
#include "platform/FormPlacement.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QMessageBox>
#include <QScreen>
#include <QTreeView>

namespace qm {

namespace {
QWidget* Parent() { return QApplication::activeWindow(); }

// The file list's dates in the program's locale: the list itself writes them in the
// machine's ("9 Dec 2026" under a C locale).
class LocaleDates : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole && index.column() == kDateColumn)
            if (const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel()))
                return QLocale().toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }

private:
    static constexpr int kDateColumn = 3;  // name, size, type, date
};

// Qt's own file dialog, so that it speaks the program's language whatever the desktop's, in
// the detail view with the size, type and date columns as wide as their texts.
std::optional<QString> RunFileDialog(QFileDialog& d) {
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setViewMode(QFileDialog::Detail);
    d.setProxyModel(new LocaleDates(&d));
    if (auto* list = d.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* h = list->header();
        h->setStretchLastSection(false);
        h->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int c = 1; c < h->count(); ++c) h->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    }
    QSize size(860, 520);
    if (const QScreen* s = d.parentWidget() ? d.parentWidget()->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(40, 80));
    d.resize(size);
    PlaceWhenShown(&d);  // centred on the window it was asked from
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().constFirst();
}

}  // namespace

// While a box or dialog waits for an answer the normal cursor shows; a busy step that goes on
// after it gets the wait cursor back.
class QtUiService::Asking {
public:
    explicit Asking(QtUiService& ui) : ui_(ui), wait_(ui.waitShown_) { ui_.ShowWait(false); }
    ~Asking() { ui_.ShowWait(wait_ && ui_.busy_ > 0); }
    Asking(const Asking&) = delete;
    Asking& operator=(const Asking&) = delete;

private:
    QtUiService& ui_;
    bool wait_;
};

QtUiService::~QtUiService() {
    QObject::disconnect(idle_);
    ShowWait(false);
}

void QtUiService::ShowWait(bool on) {
    if (on == waitShown_) return;
    waitShown_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtUiService::BeginBusy() {
    if (!idle_)
        if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance())
            idle_ = QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock, [this] { ShowWait(false); });
    ++busy_;
    ShowWait(true);
}

int QtUiService::Ask(QDialog& box) {
    const Asking asking(*this);
    return box.exec();
}

void QtUiService::EndBusy() {
    if (--busy_ == 0) ShowWait(false);
}

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
        box.setEscapeButton(QMessageBox::No);
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
    case DlgButtons::YesNoCancel:
        box.addButton(QMessageBox::Yes);
        box.addButton(QMessageBox::No);
        box.setDefaultButton(box.addButton(QMessageBox::Cancel));
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    const int r = Ask(box);
    if (r == QMessageBox::YesToAll) return DlgAnswer::All;
    if (r == QMessageBox::Yes) return DlgAnswer::Yes;
    if (r == QMessageBox::No) return DlgAnswer::No;
    if (buttons == DlgButtons::OkCancel) return r == QMessageBox::Ok ? DlgAnswer::Ok : DlgAnswer::Cancel;
    if (buttons == DlgButtons::YesNoCancel) return DlgAnswer::Cancel;
    return buttons == DlgButtons::YesNo || buttons == DlgButtons::YesNoAll || buttons == DlgButtons::YesNoDefaultNo
               ? DlgAnswer::No
               : DlgAnswer::Ok;
}

void QtUiService::Plain(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, text, QMessageBox::Ok, Parent());
    Ask(box);
}

void QtUiService::Stop(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("消息"), text, QMessageBox::Ok, Parent());
    Ask(box);
}

void QtUiService::Titled(const QString& text, const QString& caption, DlgKind icon) {
    const QMessageBox::Icon i = icon == DlgKind::Error     ? QMessageBox::Critical
                                : icon == DlgKind::Warning ? QMessageBox::Warning
                                                           : QMessageBox::Information;
    QMessageBox box(i, caption, text, QMessageBox::Ok, Parent());
    Ask(box);
}

std::optional<QString> QtUiService::OpenFile(const QString& caption, const QString& initialDir, const QString& filter) {
    QFileDialog d(Parent(), caption, initialDir, filter);
    d.setFileMode(QFileDialog::ExistingFile);
    const Asking asking(*this);
    return RunFileDialog(d);
}

std::optional<QString> QtUiService::SaveFile(const QString& caption, const QString& initialDir,
                                             const QString& defaultName, const QString& filter) {
    QFileDialog d(Parent(), caption, initialDir, filter);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.selectFile(QDir(initialDir).filePath(defaultName));
    const Asking asking(*this);
    return RunFileDialog(d);
}

std::optional<QString> QtUiService::ChooseFolder(const QString& caption, const QString& initialDir) {
    QFileDialog d(Parent(), caption, initialDir);
    d.setFileMode(QFileDialog::Directory);
    d.setOption(QFileDialog::ShowDirsOnly);
    const Asking asking(*this);
    return RunFileDialog(d);
}

bool QtUiService::LaunchDocument(const QString& path) { return DesktopOpener::Open(path); }
bool QtUiService::LaunchFolder(const QString& path) { return DesktopOpener::Open(path); }

}  // namespace qm
