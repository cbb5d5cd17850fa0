#pragma once
// Helpers for tests that run on a real X server (Xvfb): windows that are really mapped and
// focused, and pointer and key events that travel through the server (XTest, via xdotool),
// so that focus changes, pop-up windows and key routing behave as they do for a person.

#include <QImage>
#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

namespace qm::test::real {

// Handles events until pred() holds or timeoutMs passed; answers pred().
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 3000);
// Handles events for ms milliseconds (lets the server's replies arrive).
void Settle(int ms = 100);

// Shows the window, raises and activates it, and waits until it is exposed and active.
bool ShowActive(QWidget* window);

// Real input through the server. Each call waits for xdotool and then settles.
void Type(const QString& text);
void Key(const QString& keys);  // xdotool key names, e.g. "Return", "ctrl+v", "shift+Insert"
void MoveTo(const QPoint& global);
void Click(const QPoint& global, int button = 1);
void DoubleClick(const QPoint& global);

// The screen's pixels in a global rectangle (pop-ups and tips included), and a PNG of them
// written to $QM_SCREENSHOT_DIR (or the working folder) under name; answers the path.
QImage GrabScreen(const QRect& global);
QString SaveScreenshot(const QRect& global, const QString& name);

}  // namespace qm::test::real
