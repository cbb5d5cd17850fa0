#include "core/base/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace qm {

AppPaths::AppPaths(QString base) : base_(QDir::cleanPath(QDir(base).absolutePath())) {}

AppPaths AppPaths::ForProgram() {
    const QByteArray env = qgetenv("QM_BASE_DIR");
    if (!env.isEmpty()) return AppPaths(QString::fromLocal8Bit(env));
    return AppPaths(QCoreApplication::applicationDirPath());
}

QString AppPaths::Sub(const QString& rel) const { return base_ + QLatin1Char('/') + rel; }

QString AppPaths::Ensure(const QString& folder) {
    QDir().mkpath(folder);
    return folder;
}

}  // namespace qm
