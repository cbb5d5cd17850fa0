#include "core/base/UiService.h"

#include <QDir>
#include <QFileInfo>

namespace qm {

QString DlgTitle(DlgKind kind) {
    switch (kind) {
    case DlgKind::Information: return QStringLiteral("提示");
    case DlgKind::Confirmation: return QStringLiteral("确认");
    case DlgKind::Warning: return QStringLiteral("警告");
    case DlgKind::Error: return QStringLiteral("错误");
    }
    return {};
}

QString NoProgramForDocumentText(const QString& path) {
    const QFileInfo f(path);
    return QStringLiteral("没有可以打开“%1”的程序。\n文件在文件夹“%2”中，请用能打开它的程序打开。")
        .arg(f.fileName(), QDir::toNativeSeparators(f.absolutePath()));
}

QString NoProgramForFolderText(const QString& path) {
    return QStringLiteral("没有可以打开文件夹“%1”的程序，请在文件管理器中打开它。").arg(QDir::toNativeSeparators(path));
}

}  // namespace qm
