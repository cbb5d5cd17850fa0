#pragma once
// The sheet widget: a table view over a TSheetBook. It draws the cells, the red marks and the
// drop-down list objects, edits cells in place, keeps the title rows and columns frozen, and
// reports the events the forms handle. It holds no data of its own.
//
// Keys and clicks, as in a spreadsheet; what is typed never lands after an old text unseen:
// - The arrows, Tab and Shift+Tab (right, left, on to the next row after the last column),
//   Enter and Shift+Enter (down, up) move the current cell and open no editor. Ctrl+Home goes
//   to the first data cell with the sheet scrolled to its start; Ctrl+End to the last row
//   holding text, in the last column holding data below the titles.
// - A character typed on the current cell opens its editor with that character in place of
//   the cell's text.
// - F2 or a double click opens the editor on the cell's text with the caret at its end; a
//   double click on a cell the form gives an editor or list of its own opens that instead
//   (the form's handler takes the focus).
// - In an open editor Enter, Shift+Enter, Tab and Shift+Tab write the cell and move as above;
//   Esc drops the edit and stays; Up and Down write the cell and move, Left and Right move
//   the caret.
// - A click selects a cell and opens no editor; it writes an editor open elsewhere first.
// - The form's pop-up editors (a name box, date boxes) and the list objects follow the same
//   keys: Enter or Tab writes their choice and moves the current cell (ReturnFromEditor); a
//   pick with the mouse, or Esc, leaves it where it was.

#include "core/sheet/SheetBook.h"

#include <QRect>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;
class QTableView;
class QListWidget;

namespace qm {

class UiService;
class SheetTableModel;
class SheetGrid;
class SheetCellCache;

class SheetView : public QWidget {
    Q_OBJECT
public:
    // The view does not own the model; the form keeps both.
    explicit SheetView(TSheetBook& book, QWidget* parent = nullptr);
    ~SheetView() override;

    TSheetBook& Book() const { return book_; }

    // Commits an in-place edit that is still open, so handlers read what the person typed.
    // Every signal below is emitted only after this ran.
    void CommitPendingEdit();
    // The pop-up menus' whole-row and clipboard operations on the selection, after committing a
    // pending cell edit so the operation sees what was typed.
    enum class EditOp { InsertRows, DeleteRows, Copy, Paste, Cut };
    void Edit(EditOp op);

    // Cell rectangle in this widget's coordinates (for placing editors beside a cell).
    QRect CellRect(int row, int col) const;
    // Scrolls so the cell is visible and makes it current.
    void GoToCell(int row, int col);
    // Where a key that leaves an editor takes the current cell: Enter down, Shift+Enter up,
    // Tab right, Shift+Tab left; none for any other key.
    enum class Step { Down, Up, Right, Left };
    static std::optional<Step> StepOf(const QKeyEvent& e);
    // A pop-up editor over the sheet has written its cell (or was left): the sheet takes the
    // keys again, on the pane that shows the current cell, which `step` moves.
    void ReturnFromEditor(std::optional<Step> step);
    // The scrolling body table, and the table (body or frozen pane) that shows a cell; tests
    // send events to them.
    QTableView* Table() const;
    QTableView* TableAt(int row, int col) const;
    // The list widget drawn for a list object, or null while it is hidden.
    QListWidget* ObjectWidget(int id) const;

    // Uses the system clipboard for EditCopy/EditCut/EditPaste.
    void UseSystemClipboard();
    // The dialog service that tells the person about a paste the sheet could not hold whole.
    void SetUi(UiService* ui) { ui_ = ui; }
    // The pixels of painted cells, kept to be copied when the same cell look is painted again.
    SheetCellCache& CellCache() const { return *cellCache_; }

signals:
    void Click(int row, int col);
    void RClick(int row, int col);  // a right-click; the form opens its pop-up menu
    void DblClick(int row, int col);
    // The clipboard keys (Ctrl+C, Ctrl+V, Ctrl+X and the platform's others, such as
    // Shift+Insert and Shift+Delete) run on the model (EditCopy/EditPaste/EditCut) when pressed,
    // so they have run when KeyUp reports their release; forms must not run them again.
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);
    // A paste by a key has just run on the model.
    void KeyPasted();

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void SyncLayout();
    void SyncObject(int id);
    void SyncAllObjects();
    void PlaceObjects();
    void PlaceObject(int id);
    void CloseList(int id, bool refocus);
    bool AnyListOpen() const;
    void PlacePanes();
    void SyncSelectionToBook();
    void ClearSelection();  // the Delete key
    void StartAtSelection();
    bool MoveKey(const QKeyEvent& e);  // the keys above that move or open; true: handled
    void StepCurrent(Step step);
    void OpenEditorAtEnd(SheetGrid* g, int row, int col);
    bool FocusInSheet() const;
    int FirstShownCol() const;
    void GoToFirstCell();
    void GoToLastCell();
    std::vector<SheetGrid*> AllGrids() const;
    SheetGrid* GridShowing(int row, int col) const;

    TSheetBook& book_;
    UiService* ui_ = nullptr;
    std::unique_ptr<SheetCellCache> cellCache_;  // shared by the four grids
    SheetTableModel* model_ = nullptr;
    SheetGrid* grid_ = nullptr;
    SheetGrid* panes_[3] = {nullptr, nullptr, nullptr};  // top rows, left columns, corner
    int frozenHeight_ = 0, frozenWidth_ = 0;
    std::map<int, QListWidget*> lists_;
};

}  // namespace qm
