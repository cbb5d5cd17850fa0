#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace qm::test::real {

bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void Settle(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

bool ShowActive(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    const bool ok = WaitFor([&] {
        return window->windowHandle() && window->windowHandle()->isExposed() && QApplication::activeWindow() == window;
    });
    Settle(50);
    return ok;
}

namespace {

void Xdotool(const QStringList& args) {
    QProcess p;
    p.start("xdotool", args);
    // Handle events while xdotool runs: for a character the keyboard lacks it maps a spare key
    // only for the moment of the press, and the client must read that map while it stands.
    const bool finished = WaitFor([&] { return p.state() == QProcess::NotRunning || p.waitForFinished(1); }, 10000);
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        ADD_FAILURE() << "xdotool " << args.join(' ').toStdString()
                      << " failed: " << p.readAllStandardError().toStdString();
    Settle(80);
}

}  // namespace

namespace {

// Characters the keyboard lacks get a key of their own before they are typed, kept for the
// rest of the run. Left to itself, xdotool maps a spare key only for the moment of the press,
// and a client that reads the map late (on a loaded machine) sees another character.
void MapMissingCharacters(const QString& text) {
    static QHash<char32_t, int> mapped;
    static int nextKeycode = 255;  // the top keycodes carry media keys no test presses
    QStringList args;
    for (char32_t cp : text.toUcs4()) {
        if (cp < 0x80 || mapped.contains(cp) || nextKeycode < 200) continue;
        mapped.insert(cp, nextKeycode);
        const QString sym = QStringLiteral("U%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
        args << QStringLiteral("-e") << QStringLiteral("keycode %1 = %2 %2").arg(nextKeycode--).arg(sym);
    }
    if (args.isEmpty()) return;
    QProcess p;
    p.start("xmodmap", args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        ADD_FAILURE() << "xmodmap failed: " << p.readAllStandardError().toStdString();
    Settle(150);  // the client reads the new map on the server's notice
}

}  // namespace

void Type(const QString& text) {
    MapMissingCharacters(text);
    Xdotool({"type", "--delay", "40", "--", text});
}
void Key(const QString& keys) { Xdotool({"key", "--delay", "40", "--", keys}); }

void MoveTo(const QPoint& global) { Xdotool({"mousemove", QString::number(global.x()), QString::number(global.y())}); }

void Click(const QPoint& global, int button) {
    MoveTo(global);
    Xdotool({"click", QString::number(button)});
}

void DoubleClick(const QPoint& global) {
    MoveTo(global);
    Xdotool({"click", "--repeat", "2", "--delay", "60", "1"});
}

QImage GrabScreen(const QRect& global) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(0, global.x(), global.y(), global.width(), global.height()).toImage();
}

QString SaveScreenshot(const QRect& global, const QString& name) {
    QString dir = qEnvironmentVariable("QM_SCREENSHOT_DIR");
    if (dir.isEmpty()) dir = QDir::currentPath();
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(name);
    GrabScreen(global).save(path, "PNG");
    return path;
}

}  // namespace qm::test::real
