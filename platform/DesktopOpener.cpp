#include "platform/DesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace qm {

QString DesktopOpener::MimeTypeOf(const QString& path) {
    if (QFileInfo(path).isDir()) return QStringLiteral("inode/directory");
    return QMimeDatabase().mimeTypeForFile(path).name();
}

std::optional<QString> DesktopOpener::DefaultProgram(const QString& mimeType) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty()) return std::nullopt;
    QProcess p;
    p.start(tool, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(1000);
        return std::nullopt;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

bool DesktopOpener::Open(const QString& path) {
    // A desktop that cannot be asked is left to try.
    const std::optional<QString> program = DefaultProgram(MimeTypeOf(path));
    if (program && program->isEmpty()) return false;
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (launcher.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    // The program may run for as long as the person keeps the file open: not waited for.
    return QProcess::startDetached(launcher, {path});
}

}  // namespace qm
