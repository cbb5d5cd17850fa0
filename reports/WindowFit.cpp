#include "reports/WindowFit.h"

#include "core/sheet/SheetBook.h"
#include "platform/FormPlacement.h"
#include "sheet/SheetView.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QWidget>

namespace qm {

namespace {

// Room for the title bar and the borders the desktop adds around a window not yet shown.
constexpr int kFrameWidth = 16, kFrameHeight = 48;

QRect AvailableScreen(const QWidget* window) {
    const QWidget* on = window->isVisible() || !window->parentWidget() ? window : window->parentWidget();
    const QScreen* s = on->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

QSize WholeSheetSize(const SheetView* view) {
    const TSheetBook& book = view->Book();
    const QTableView* t = view->Table();
    int width = 0;
    for (int c = 1; c <= book.MaxCol(); ++c)
        if (!t->isColumnHidden(c - 1)) width += t->columnWidth(c - 1);
    int height = 0;
    for (int r = 1; r <= book.LastUsedRow(); ++r) height += t->rowHeight(r - 1);
    const int frame = 2 * t->frameWidth();
    const int bar = t->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, t);
    // A line more than the rows, so the last one is never cut by the edge.
    return QSize(width + frame + bar + 1, height + frame + t->rowHeight(0) / 2);
}

void FitWindowToSheet(QWidget* window, SheetView* view) {
    if (QLayout* l = window->layout()) {
        l->invalidate();
        l->activate();
    }
    const QSize chrome = window->size() - view->size();
    QSize want = (WholeSheetSize(view) + chrome).expandedTo(window->size());
    const QRect screen = AvailableScreen(window);
    // The desktop's frame around this window, or, before it is shown, around its owner's.
    const QWidget* framed = window->isVisible()      ? window
                            : window->parentWidget() ? window->parentWidget()->window()
                                                     : nullptr;
    const QSize decoration = framed && framed->isVisible() ? framed->frameGeometry().size() - framed->size()
                                                           : QSize(kFrameWidth, kFrameHeight);
    want = want.boundedTo(screen.size() - decoration);
    if (want == window->size()) return;
    window->resize(want);
    // A window shown before its report was computed is centred again at its new size, whole
    // on the screen.
    if (window->isVisible()) PlaceForm(window, OpenerOf(window));
}

}  // namespace qm
