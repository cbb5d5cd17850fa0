#pragma once
// The editor laid over the current cell while it is edited, with its edit button and
// pop-ups: a pick list that completes what is typed and searches by typing, a month
// calendar, an ellipsis button that raises the grid's edit-button event, and up-down
// buttons that step the value.

#include "grid/DBGridX.h"

#include <QCalendarWidget>
#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include <functional>

namespace qm::grid {

// Edit styles of a column.
enum TEditStyleX {
    esSimple = 0,
    esEllipsis = 1,
    esPickList = 2,
    esDataList = 3,
    esDateCalendar = 4,
    esUpDown = 5,
    esDropDown = 6
};

// The first item that begins with `text` (case-insensitive), or −1.
int FindPickListItem(const QStringList& list, const QString& text);
// Inside or on an edge.
inline bool PointInRectIncl(int x, int y, const QRect& r) {
    return x >= r.left() && x <= r.right() + 1 && y >= r.top() && y <= r.bottom() + 1;
}
[[noreturn]] void RaiseGridError(const QString& message);
int TextRectHeight(const QFont& font, const QString& text);
// Where a pop-up of `size` goes for an editor at `editor` (screen coordinates): below it,
// above when it would pass the work area's bottom, narrowed to the work area's width and
// moved left to end at its right edge. Answers the pop-up's rectangle.
QRect PlacePopup(const QRect& editor, QSize size, const QRect& workArea);
// The date a calendar opens on: the text read as a date, else today (also for text that is
// no date at all).
QDate CalendarDateOf(const QString& text, const QDate& today);
// Pick-list height: min(count, rows) items of 11 pixels and 4 for the frame.
inline int PickListHeight(int count, int dropDownRows) { return std::min(count, dropDownRows) * 11 + 4; }

class TDBGridInplaceEdit;

class TPopupListbox : public QListWidget {
public:
    explicit TPopupListbox(TDBGridInplaceEdit* editor);
    QString SearchText;
    qint64 SearchTickCount = 0;
    // The tick count in milliseconds; replaceable so that the 2-second reset can be tested.
    std::function<qint64()> TickCount;
    // One typed character: a search from the top for the typed text.
    void TypeAhead(QChar c);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TDBGridInplaceEdit* editor_;
};

class TDBGridInplaceEdit : public QLineEdit {
public:
    explicit TDBGridInplaceEdit(TCustomDBGridX* grid);
    TCustomDBGridX* Grid() const { return grid_; }
    int EditStyle() const { return editStyle_; }
    void SetEditStyle(int v);
    bool ListVisible() const { return listVisible_; }
    TPopupListbox* PickList() const { return pickList_; }
    QCalendarWidget* Calendar() const { return calendar_; }
    QWidget* ActiveList() const { return activeList_; }
    int ButtonWidth() const { return buttonWidth_; }
    QRect ButtonRect() const { return QRect(width() - buttonWidth_, 0, buttonWidth_, height()); }
    // The screen's work area; replaceable for tests.
    std::function<QRect()> WorkArea;

    void UpdateContents();
    void DropDown();
    void CloseUp(bool accept);
    // Enter/Escape close an open list; Alt+Up/Down open or close it. Answers whether the key was used.
    bool DoDropDownKeys(int key, Qt::KeyboardModifiers shift);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TColumnX* Column() const;
    bool Complete(QChar c);
    void UpDownClick(bool up);
    void BoundsChanged();

    TCustomDBGridX* grid_;
    int buttonWidth_;
    int editStyle_ = esSimple;
    bool listVisible_ = false, pressed_ = false;
    TPopupListbox* pickList_ = nullptr;
    QWidget* calendarFrame_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
    QWidget* activeList_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};

}  // namespace qm::grid
