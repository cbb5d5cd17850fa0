#pragma once
// The editor laid over the current cell while it is edited, with its edit button and
// pop-ups: a pick list that completes what is typed and searches by typing, a month
// calendar, an ellipsis button that raises the grid's edit-button event, and up-down
// buttons that step the value. Over a word-wrapping cell of a grid with multi-line rows
// the text is edited in a multi-line box that fills the editor beside its button.

#include "grid/DBGridX.h"

#include <QCalendarWidget>
#include <QDate>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>

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
// An edit button of a style (ellipsis dots, or the drop-down arrow), raised or pressed; the
// editor draws its own with it, and the grid the buttons a column always shows.
void PaintEditButton(QPainter& p, const QWidget* w, const QRect& r, int editStyle, bool active, bool pressed);
// The two halves of an up-down button.
void PaintUpDownButton(QPainter& p, const QWidget* w, const QRect& r, bool active);
int TextRectHeight(const QFont& font, const QString& text);
// Where a pop-up of `size` goes for an editor at `editor` (screen coordinates): below it,
// above when it would pass the work area's bottom, narrowed to the work area's width and
// moved left to end at its right edge. Answers the pop-up's rectangle.
QRect PlacePopup(const QRect& editor, QSize size, const QRect& workArea);
// The date a calendar opens on: the text read as a date, else today (also for text that is
// no date at all).
QDate CalendarDateOf(const QString& text, const QDate& today);
// Pick-list height: min(count, rows) items of 11 pixels and 4 for the frame.
// Items are 11 pixels high, or the font's line height where that is taller: a CJK font
// does not fit in 11 pixels, and its rows would be drawn over each other.
inline int PickItemHeight(int fontLineHeight) { return std::max(11, fontLineHeight); }
inline int PickListHeight(int count, int dropDownRows, int itemHeight = 11) {
    return std::min(count, dropDownRows) * itemHeight + 4;
}

class TDBGridInplaceEdit;

// The multi-line box of a word-wrapping editor; its keys go through the editor's routing.
class TInplaceWrapEdit : public QPlainTextEdit {
public:
    explicit TInplaceWrapEdit(TDBGridInplaceEdit* editor);
    void BaseKeyPress(QKeyEvent* e) { QPlainTextEdit::keyPressEvent(e); }
    void BaseInputMethod(QInputMethodEvent* e) { QPlainTextEdit::inputMethodEvent(e); }
    // Whether the caret sits on the first (last) line as the text is wrapped on screen.
    bool CaretOnFirstLine() const;
    bool CaretOnLastLine() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TDBGridInplaceEdit* editor_;
};

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

// The lookup list: the records of a lookup field's data set, one column per display
// field; each row knows its key and the text of the lookup's result field.
class TPopupDataList : public QTreeWidget {
public:
    explicit TPopupDataList(TDBGridInplaceEdit* editor);
    // The list field: the display column whose text a choice puts into the editor.
    int ListFieldIndex = 0;
    std::vector<db::Value> Keys;  // by row
    db::Value KeyValue() const;
    void SetKeyValue(const db::Value& key);
    QString SelectedText() const;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TDBGridInplaceEdit* editor_;
};

class TDBGridInplaceEdit : public QLineEdit {
public:
    explicit TDBGridInplaceEdit(TCustomDBGridX* grid);
    ~TDBGridInplaceEdit() override;
    TCustomDBGridX* Grid() const { return grid_; }
    int EditStyle() const { return editStyle_; }
    void SetEditStyle(int v);
    bool ListVisible() const { return listVisible_; }
    TPopupListbox* PickList() const { return pickList_; }
    TPopupDataList* DataList() const { return dataList_; }
    QCalendarWidget* Calendar() const { return calendar_; }
    QWidget* ActiveList() const { return activeList_; }
    int ButtonWidth() const { return buttonWidth_; }
    // The up-down buttons (null until a column first needs them).
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }
    bool ButtonPressed() const { return pressed_; }
    QRect ButtonRect() const { return QRect(width() - buttonWidth_, 0, buttonWidth_, height()); }
    // The screen's work area; replaceable for tests.
    std::function<QRect()> WorkArea;

    void UpdateContents();
    // Multi-line editing; the line edit's text stays the editor's text either way.
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    TInplaceWrapEdit* WrapEdit() const { return wrap_; }
    void SelectAllText();
    void DropDown();
    void CloseUp(bool accept);
    // Enter/Escape close an open list; Alt+Up/Down open or close it. Answers whether the key was used.
    bool DoDropDownKeys(int key, Qt::KeyboardModifiers shift);

    // Key routing shared by the line edit and the multi-line box.
    void HandleKey(QKeyEvent* e);
    void HandleInputMethod(QInputMethodEvent* e, QWidget* box);
    void ListFocusLost();
    // The lookup list's choice shown while the mouse button is held over it.
    void FollowDataList();

protected:
    void keyPressEvent(QKeyEvent* e) override { HandleKey(e); }
    void inputMethodEvent(QInputMethodEvent* e) override { HandleInputMethod(e, this); }
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TColumnX* Column() const;
    bool Complete(QChar c);
    bool CompleteLookup(QChar c);
    QSize FillDataList(TColumnX* c);
    void UpDownClick(bool up);
    void BoundsChanged();
    // The arrow over the edit button, the I-beam over the text.
    void UpdateCursor(const QPoint& p);
    void TrackButton(const QPoint& p);
    QWidget* ListViewport() const;
    // Caret and selection of whichever box edits the text.
    int CaretPos() const;
    bool HasSel() const;
    int SelStart() const;
    void SetSel(int start, int length);
    void BaseKey(QKeyEvent* e);
    // The characters of `input` that the current field takes.
    QString Acceptable(const QString& input) const;
    // After the text changed from `before` (caret at `caret`): the gates, then the grid hears.
    void TextChangedFrom(const QString& before, int caret);

    TCustomDBGridX* grid_;
    int buttonWidth_;
    int editStyle_ = esSimple;
    bool listVisible_ = false, pressed_ = false;
    // The mouse went down on the button (tracked), and then moved on into the open list.
    bool tracking_ = false, listTracking_ = false;
    TPopupListbox* pickList_ = nullptr;
    TPopupDataList* dataList_ = nullptr;
    QWidget* calendarFrame_ = nullptr;
    QCalendarWidget* calendar_ = nullptr;
    QWidget* activeList_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    TInplaceWrapEdit* wrap_ = nullptr;
    bool wordWrap_ = false, syncing_ = false;
};

}  // namespace qm::grid
