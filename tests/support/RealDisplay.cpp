#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
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

void Type(const QString& text) { Xdotool({"type", "--delay", "40", "--", text}); }
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
