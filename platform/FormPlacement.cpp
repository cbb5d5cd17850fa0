#include "platform/FormPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace qm {

namespace {

// The window manager's frame around a window, once it has one.
QMargins FrameOf(const QWidget* w) {
    const QRect f = w->frameGeometry(), g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

class PlaceOnShow : public QObject {
public:
    explicit PlaceOnShow(QWidget* form) : QObject(form) { form->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        // Before the window is mapped: it appears where it belongs.
        if (e->type() == QEvent::Show) {
            auto* form = static_cast<QWidget*>(watched);
            PlaceForm(form, OpenerOf(form));
        }
        return QObject::eventFilter(watched, e);
    }
};

}  // namespace

QWidget* OpenerOf(const QWidget* form) {
    for (QWidget* w : {QApplication::activeModalWidget(), QApplication::activeWindow()})
        if (w && w != form && w->isVisible()) return w;
    QWidget* p = form->parentWidget();
    return p ? p->window() : nullptr;
}

void PlaceForm(QWidget* form, const QWidget* opener) {
    const QWidget* anchor = opener ? opener->window() : nullptr;
    if (anchor == form || (anchor && !anchor->isVisible())) anchor = nullptr;
    QScreen* screen = anchor ? anchor->screen() : form->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // A window not yet shown has no frame: it will get the one its opener has.
    QMargins frame = FrameOf(form);
    if (frame.isNull() && anchor) frame = FrameOf(anchor);
    const QSize outer = form->size().grownBy(frame);
    const QPoint centre = anchor ? anchor->frameGeometry().center() : area.center();
    const int x = std::clamp(centre.x() - outer.width() / 2, area.left(),
                             std::max(area.left(), area.right() + 1 - outer.width()));
    const int y = std::clamp(centre.y() - outer.height() / 2, area.top(),
                             std::max(area.top(), area.bottom() + 1 - outer.height()));
    form->move(x, y);
}

void PlaceWhenShown(QWidget* form) { new PlaceOnShow(form); }

}  // namespace qm
