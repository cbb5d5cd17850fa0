// The pictures the program carries, compiled in through Qt's resource system (see
// CMakeLists.txt); both are JPEG streams for DecodeJpeg.
#include "shell/AboutForm.h"
#include "shell/Background.h"

#include <QFile>

namespace qm {

namespace {
QByteArray Picture(const QString& name) {
    QFile f(QStringLiteral(":/pictures/") + name);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}
}  // namespace

QByteArray AboutJpeg() { return Picture(QStringLiteral("about.jpg")); }

QByteArray BackgroundJpeg() { return Picture(QStringLiteral("background.jpg")); }

}  // namespace qm
