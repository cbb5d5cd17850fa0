// Keyboard, mouse and the record moves of the data grid.
#include "grid/Clipboard.h"
#include "grid/DBGridX.h"
#include "grid/InplaceEdit.h"

#include <QApplication>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

namespace qm::grid {

// ---------------------------------------------------------------- record moves

void TCustomDBGridX::MoveBy(bool select, int distance, bool rowMode, bool toEnd) {
    TDataSet* ds = dataLink_->DataSet();
    if (!dataLink_->Active()) return;
    if (!rowMode && !options_.Has(dgRowSelect)) {
        if (select) {
            if (selection_->SelectionType() != gstRectangle)
                selection_->Rect().Select(SelectedIndex(), ds->Bookmark(), false);
            if (toEnd)
                distance > 0 ? ds->Last() : ds->First();
            else
                ds->MoveBy(distance);
            selection_->Rect().Select(SelectedIndex(), ds->Bookmark(), true);
        } else {
            if (toEnd)
                distance > 0 ? ds->Last() : ds->First();
            else
                ds->MoveBy(distance);
        }
        return;
    }
    BeginUpdate();
    struct End {
        TCustomDBGridX* g;
        ~End() {
            g->EndUpdate();
            g->InvalidateGrid();
        }
    } end{this};
    const int step = distance < 0 ? -1 : 1;
    const int steps = toEnd ? INT_MAX : std::abs(distance);
    for (int i = 0; i < steps; ++i) {
        if (options_.Has(dgMultiSelect)) {
            if (select) {
                const TBookmark here = ds->Bookmark();
                if (rowSelAnchor_ < 0) {
                    rowSelAnchor_ = here;
                    rowSelAnchorWasSelected_ = selectedRows_->CurrentRowSelected();
                    selectedRows_->SetCurrentRowSelected(selectRowsMode_);
                }
            } else {
                ClearSelection();
            }
        }
        const TBookmark before = ds->Bookmark();
        if (ds->MoveBy(step) == 0) break;
        if (options_.Has(dgMultiSelect) && select) {
            // Moving away from the anchor selects; moving back towards it deselects the row left.
            const int dirFromAnchor = ds->CompareBookmarks(ds->Bookmark(), rowSelAnchor_);
            const int beforeFromAnchor = ds->CompareBookmarks(before, rowSelAnchor_);
            if (std::abs(dirFromAnchor) >= 1 && (dirFromAnchor > 0) == (step > 0) &&
                (beforeFromAnchor == 0 || (beforeFromAnchor > 0) == (step > 0))) {
                selectedRows_->SetCurrentRowSelected(selectRowsMode_);
            } else if (before != rowSelAnchor_) {
                const TBookmark now = ds->Bookmark();
                ds->GotoBookmark(before);
                selectedRows_->SetCurrentRowSelected(!selectRowsMode_);
                ds->GotoBookmark(now);
            }
        }
    }
}

void TCustomDBGridX::NextRow(bool shift) {
    TDataSet* ds = dataLink_->DataSet();
    if (ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified()) {
        if (ds->Eof()) return;
        ds->Cancel();
    } else {
        MoveBy(shift, 1, !shift, false);
    }
    if (ds->Eof() && ds->CanModify() && !readOnly_ && options_.Has(dgEditing) && AllowedOperations.Has(alopAppendX))
        ds->Append();
}

void TCustomDBGridX::PriorRow(bool shift) {
    TDataSet* ds = dataLink_->DataSet();
    if (ds->State() == dsInsert && ds->Eof() && !ds->Modified() && !dataLink_->Modified())
        ds->Cancel();
    else
        MoveBy(shift, -1, !shift, false);
}

void TCustomDBGridX::Tab(bool goForward) {
    ClearSelection();
    BeginUpdate();
    struct End {
        TCustomDBGridX* g;
        ~End() { g->EndUpdate(); }
    } end{this};
    const int start = Col();
    int c = start;
    for (;;) {
        if (goForward) {
            ++c;
            if (c >= ColCount()) {
                c = indicatorOffset_;
                NextRow(false);
            }
        } else {
            --c;
            if (c < indicatorOffset_) {
                c = ColCount() - 1;
                PriorRow(false);
            }
        }
        if (c == start) return;
        if (TabStops(c)) {
            MoveCol(c, 0, false);
            return;
        }
    }
}

void TCustomDBGridX::MoveCol(int rawCol, int direction, bool select) {
    if (select && !options_.Has(dgRowSelect) && selection_->SelectionType() != gstRectangle && dataLink_->Active()) {
        selection_->Rect().Clear();
        selection_->Rect().Select(SelectedIndex(), dataLink_->DataSet()->Bookmark(), false);
    }
    dataLink_->UpdateRecord();
    rawCol = std::clamp(rawCol, indicatorOffset_, ColCount() - 1);
    if (direction != 0) {
        while (rawCol >= indicatorOffset_ && rawCol < ColCount() && ColWidths(rawCol) <= 0) rawCol += direction;
        if (rawCol < indicatorOffset_ || rawCol >= ColCount()) return;
    }
    if (rawCol != Col()) {
        const int before = Col();
        ColExit();
        if (Col() != before) return;
        if (!options_.Has(dgRowSelect)) MoveColRow(rawCol, Row(), true, true);
        ColEnter();
    }
    if (select && !options_.Has(dgRowSelect) && dataLink_->Active())
        selection_->Rect().Select(SelectedIndex(), dataLink_->DataSet()->Bookmark(), true);
}

// ---------------------------------------------------------------- keyboard

void TCustomDBGridX::keyPressEvent(QKeyEvent* e) {
    HideCellTip();
    int key = e->key();
    if (key == Qt::Key_Backtab) key = Qt::Key_Tab;
    // Space on an image or check-box cell steps its value (Shift: backwards).
    const int sel = SelectedIndex();
    if (key == Qt::Key_Space && !options_.Has(dgRowSelect) && dataLink_->Active() && sel >= 0 &&
        sel < columns_->Count() &&
        (columns_->Items(sel)->ColumnKind() == 4 || columns_->Items(sel)->ColumnKind() == 5)) {
        columns_->Items(sel)->SetNextFieldValue((e->modifiers() & Qt::ShiftModifier) ? -1 : 1);
        e->accept();
        return;
    }
    // F2 or a typed character starts editing the current cell. Only a printable character is
    // typing: on X11 Delete carries DEL ("\x7f"), which belongs to the key table below.
    const QString t = e->text();
    if (options_.Has(dgEditing) && !options_.Has(dgRowSelect) && dataLink_->Active() &&
        (key == Qt::Key_F2 || (t.size() == 1 && t[0].isPrint() && !(e->modifiers() & Qt::ControlModifier)))) {
        ShowEditor();
        if (EditorMode()) {
            // A character the field cannot take is not typed, and the cell keeps its text.
            if (key != Qt::Key_F2 && !CanEditAcceptKey(t[0])) {
                QApplication::beep();
            } else if (key != Qt::Key_F2) {
                editor_->clear();
                QKeyEvent copy(e->type(), key, e->modifiers(), t);
                QApplication::sendEvent(reinterpret_cast<QWidget*>(editor_), &copy);
            }
            e->accept();
            return;
        }
    }
    KeyDown(key, e->modifiers());
    e->accept();
}

void TCustomDBGridX::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Control && multiSortFlag_) {
        multiSortFlag_ = false;
        SortMarkingChanged();
    }
    TCustomGrid::keyReleaseEvent(e);
}

void TCustomDBGridX::KeyDown(int key, Qt::KeyboardModifiers shift) {
    const bool ctrl = shift & Qt::ControlModifier;
    const bool shiftHeld = shift & Qt::ShiftModifier;
    keepSelection_ = ctrl || !optionsX_.Has(dghClearSelection);
    if (!dataLink_->Active()) return;
    TDataSet* ds = dataLink_->DataSet();
    const bool extending = shiftHeld && options_.Has(dgMultiSelect);
    bool cut = false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (optionsX_.Has(dghEnterAsTab))
            key = Qt::Key_Tab;
        else {
            if (!options_.Has(dgAlwaysShowEditor)) dataLink_->UpdateRecord();
            return;
        }
    }
    if (!ctrl) {
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int d = key == Qt::Key_Left ? -1 : 1;
            if (options_.Has(dgRowSelect)) {
                if (d < 0 && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
                if (d > 0 && LeftCol() + VisibleColCount() < ColCount()) SetLeftCol(LeftCol() + 1);
            } else {
                if (!extending) ClearSelection();
                MoveCol(Col() + d, d, extending);
            }
            break;
        }
        case Qt::Key_Up: PriorRow(shiftHeld); break;
        case Qt::Key_Down: NextRow(shiftHeld); break;
        case Qt::Key_Tab:
            if (!(shift & Qt::AltModifier)) Tab(!shiftHeld);
            break;
        case Qt::Key_Escape:
            if (!dataLink_->Modified())
                ds->Cancel();
            else
                dataLink_->Reset();
            ClearSelection();
            break;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const int n = key == Qt::Key_PageUp ? -VisibleDataRowCount() : VisibleDataRowCount();
            if (!extending) {
                ClearSelection();
                ds->MoveBy(n);
            } else {
                MoveBy(true, n, true, false);
            }
            break;
        }
        case Qt::Key_Home:
        case Qt::Key_End: {
            const bool home = key == Qt::Key_Home;
            if (columns_->Count() == 1 || options_.Has(dgRowSelect)) {
                if (!extending) {
                    ClearSelection();
                    home ? ds->First() : ds->Last();
                } else {
                    MoveBy(true, home ? -1 : 1, true, true);
                }
            } else {
                MoveCol(home ? indicatorOffset_ : ColCount() - 1, home ? 1 : -1, extending);
            }
            break;
        }
        case Qt::Key_Insert:
            if (shiftHeld) {
                // Shift+Insert pastes, as Ctrl+V does.
                if (EditActions.Has(geaPasteX) && CanPaste()) GridPaste(*this, false);
            } else if (ds->CanModify() && !readOnly_ && options_.Has(dgEditing)) {
                ClearSelection();
                if (AllowedOperations.Has(alopInsertX))
                    ds->Insert();
                else if (AllowedOperations.Has(alopAppendX))
                    ds->Append();
            }
            break;
        case Qt::Key_Delete:
            // Shift+Delete cuts, as Ctrl+X does.
            if (shiftHeld && EditActions.Has(geaCutX) && CanCut()) {
                GridCut(*this, false);
                cut = true;
            }
            break;
        default: break;
        }
    } else {
        if (!shiftHeld && (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home ||
                           key == Qt::Key_End || key == Qt::Key_Up || key == Qt::Key_Down))
            ClearSelection();
        switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_Up:
            if (extending)
                MoveBy(true, -dataLink_->ActiveRecord(), true, false);
            else
                ds->MoveBy(-dataLink_->ActiveRecord());
            break;
        case Qt::Key_PageDown:
        case Qt::Key_Down: {
            const int n = dataLink_->RecordCount() - dataLink_->ActiveRecord() - 1;
            if (extending)
                MoveBy(true, n, true, false);
            else
                ds->MoveBy(n);
            break;
        }
        case Qt::Key_Home:
            if (extending)
                MoveBy(true, -1, true, true);
            else
                ds->First();
            break;
        case Qt::Key_End:
            if (extending)
                MoveBy(true, 1, true, true);
            else
                ds->Last();
            break;
        case Qt::Key_Left: MoveCol(indicatorOffset_, 1, false); break;
        case Qt::Key_Right: MoveCol(ColCount() - 1, -1, false); break;
        case Qt::Key_A:
            if (EditActions.Has(geaSelectAllX) && CanSelectAll()) selection_->SelectAll();
            break;
        case Qt::Key_Insert:
        case Qt::Key_C:
            if (EditActions.Has(geaCopyX) && CanCopy()) GridCopy(*this, false);
            break;
        case Qt::Key_V:
            if (EditActions.Has(geaPasteX) && CanPaste()) GridPaste(*this, false);
            break;
        case Qt::Key_X:
            if (EditActions.Has(geaCutX) && CanCut()) GridCut(*this, false);
            break;
        case Qt::Key_Delete:
            // With the delete action and a selection, the key belongs to the clipboard-style delete.
            if (EditActions.Has(geaDeleteX) && selection_->SelectionType() != gstNone) {
                if (CanDelete()) GridDelete(*this, false);
                break;
            }
            // Otherwise a record is deleted only after the prompt.
            if (!readOnly_ && !ds->IsEmpty() && ds->CanModify() && AllowedOperations.Has(alopDeleteX) &&
                DeletePrompt()) {
                if (selectedRows_->Count() == 0)
                    ds->Delete();
                else
                    selectedRows_->Delete();
            }
            break;
        default: break;
        }
    }
    // Delete empties an image or check-box cell. Not after Ctrl+Delete or a cut: that key has
    // acted on the selection already, and the record now current may be another one.
    if (key == Qt::Key_Delete && !ctrl && !cut && !options_.Has(dgRowSelect)) {
        const int sel = SelectedIndex();
        if (sel >= 0 && sel < columns_->Count()) {
            TColumnX* c = columns_->Items(sel);
            const int kind = c->ColumnKind();
            TField* f = c->Field();
            if ((kind == 4 || kind == 5) && f && !f->ReadOnly() && c->CanModify(true)) f->Clear();
        }
    }
}

// ---------------------------------------------------------------- mouse

TGridState TCustomDBGridX::CalcSizingState(int x, int y, int& index, int& sizingPos, int& sizingOfs) const {
    const TGridState st = TCustomGrid::CalcSizingState(x, y, index, sizingPos, sizingOfs);
    // Rows are sized in the indicator column only, not over frozen data columns.
    if (st == gsRowSizing && (indicatorOffset_ == 0 || x >= ColWidths(0))) return gsNormal;
    return st;
}

void TCustomDBGridX::CheckTitleButton(int col, bool& enabled) {
    if (col < 0 || col >= columns_->Count()) enabled = false;
    if (OnCheckButton) OnCheckButton(col, enabled);
}

QRect TCustomDBGridX::DataBox() const {
    const int lastRow = footerRowCount_ > 0 ? RowCount() - footerRowCount_ - 2 : RowCount() - 1;
    return BoxRect(indicatorOffset_, titleOffset_, ColCount() - 1, lastRow);
}

void TCustomDBGridX::mouseDoubleClickEvent(QMouseEvent* e) {
    dblClick_ = true;
    mousePressEvent(e);
}

void TCustomDBGridX::mousePressEvent(QMouseEvent* e) {
    HideEditor(true);
    const bool dbl = dblClick_;
    dblClick_ = false;
    const QPoint pt = e->position().toPoint();
    pressPoint_ = pt;
    lastPoint_ = pt;
    const Qt::KeyboardModifiers mods = e->modifiers();
    const bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier;
    pressedCheckCell_ = TGridCoord();
    dblPress_ = dbl;
    dataDrag_ = false;
    setFocus(Qt::MouseFocusReason);
    if (dbl && e->button() == Qt::LeftButton) {
        // A double click steps an image or check-box data cell whose column asks for it.
        const TGridCoord c = MouseCoord(pt.x(), pt.y());
        const int dc = RawToDataColumn(c.X);
        if (dataLink_->Active() && c.X >= 0 && dc >= 0 && dc < columns_->Count() && c.Y >= titleOffset_ &&
            c.Y - titleOffset_ < dataLink_->RecordCount()) {
            TColumnX* col = columns_->Items(dc);
            const int kind = col->ColumnKind();
            if ((kind == 4 || kind == 5) && col->DblClickNextVal) col->SetNextFieldValue(shift ? -1 : 1);
        }
        return;
    }
    if (e->button() == Qt::LeftButton && FrozenSizingPress(pt)) return;
    int idx, pos, ofs;
    if (CalcSizingState(pt.x(), pt.y(), idx, pos, ofs) != gsNormal) {
        dataLink_->UpdateRecord();
        BaseMouseDown(e);
        return;
    }
    const TGridCoord c = MouseCoord(pt.x(), pt.y());
    if (c.X < 0 || c.Y < 0) return;
    if (ColumnSelectPress(pt, mods)) return;
    const int dataCol = RawToDataColumn(c.X);
    // Title cells: title buttons, else the base grid's column moving.
    if (c.Y < titleOffset_) {
        if (dataCol >= 0 && dataCol < columns_->Count() && e->button() == Qt::LeftButton &&
            columns_->Items(dataCol)->Title()->TitleButton()) {
            bool enabled = true;
            CheckTitleButton(dataCol, enabled);
            if (enabled) {
                pressedCol_ = c.X;
                titlePressed_ = PointInLeafBand(c.X, pt.x(), pt.y());
                titleTracking_ = true;
                InvalidateCell(c.X, c.Y);
                return;
            }
        }
        if (c.X == 0 && options_.Has(dgIndicator) && options_.Has(dgMultiSelect) && dataLink_->Active()) {
            if (selection_->SelectionType() == gstAll)
                selection_->Clear();
            else
                selection_->SelectAll();
            return;
        }
        if (options_.Has(dgColumnResize)) {
            dataLink_->UpdateRecord();
            BaseMouseDown(e);
        }
        return;
    }
    if (!dataLink_->Active()) return;
    const int dataRow = c.Y - titleOffset_;
    if (dataRow >= dataLink_->RecordCount()) return;  // filler and footer rows
    TDataSet* ds = dataLink_->DataSet();
    const bool shiftRect = shift && options_.Has(dgMultiSelect) && !options_.Has(dgRowSelect) && dataCol >= 0;
    const TBookmark before = ds->Bookmark();
    const int oldRow = Row();
    const bool onCurrentCell = c.X == Col() && c.Y == Row();
    if (c.Y != Row() && !shiftRect) ds->MoveBy(c.Y - Row());
    if (dataCol >= 0) MoveCol(c.X, 0, false);
    // A press on the selection of a grid that drags automatically waits for the first move.
    if (dataCol >= 0 && ArmAutoDrag(e->button(), mods, dataCol)) return;
    if (!options_.Has(dgMultiSelect) || !options_.Has(dgRowSelect)) {
        if (!ctrl && !shift && optionsX_.Has(dghClearSelection)) ClearSelection();
        if (options_.Has(dgMultiSelect) && !options_.Has(dgRowSelect) && e->button() == Qt::LeftButton &&
            dataCol >= 0 && !ds->IsEmpty()) {
            if (!shift)
                selection_->Rect().Select(dataCol, ds->Bookmark(), false);
            else {
                if (selection_->SelectionType() != gstRectangle)
                    selection_->Rect().Select(RawToDataColumn(Col()), before, false);
                if (c.Y != Row()) ds->MoveBy(c.Y - Row());
                selection_->Rect().Select(dataCol, ds->Bookmark(), true);
            }
            mouseSelState_ = 3;
        }
        if (c.X >= indicatorOffset_) dataDrag_ = true;  // the current cell follows the mouse
    }
    if (options_.Has(dgMultiSelect) && (options_.Has(dgRowSelect) || c.X < indicatorOffset_)) {
        if (shift && before != ds->Bookmark()) {
            keepSelection_ = true;
            ds->GotoBookmark(before);
            MoveBy(true, c.Y - oldRow, true, false);
        } else if (e->button() == Qt::LeftButton) {
            if (!ctrl && optionsX_.Has(dghClearSelection)) {
                ClearSelection();
                selectedRows_->SetCurrentRowSelected(true);
            } else {
                selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
            }
        }
        rowSelAnchor_ = ds->Bookmark();
        selectRowsMode_ = selectedRows_->CurrentRowSelected();
        keepSelection_ = ctrl || !optionsX_.Has(dghClearSelection);
        mouseSelState_ = 1;
    }
    if (dataCol >= 0 && dataCol < columns_->Count()) {
        TColumnX* column = columns_->Items(dataCol);
        const int kind = column->ColumnKind();
        if (kind == 4 || kind == 5) pressedCheckCell_ = c;
        // A press on the edit button a column always shows (the cell is current by now).
        const bool onButton = e->button() == Qt::LeftButton && c.X == Col() && c.Y == Row() &&
                              EditButtonRect(column, CellRect(c.X, c.Y)).contains(pt);
        // A second press on the current cell edits it (at once in a grid that always shows its
        // editor); image and check-box cells change by clicks instead.
        if (e->button() == Qt::LeftButton && kind != 4 && kind != 5 &&
            (onCurrentCell || options_.Has(dgAlwaysShowEditor) || onButton))
            ShowEditor();
        if (onButton && EditorMode()) {
            // The press goes on to the editor's own button, and the mouse follows it there.
            QWidget* editor = reinterpret_cast<QWidget*>(editor_);
            const QPoint at = editor->mapFromGlobal(e->globalPosition().toPoint());
            QWidget* child = editor->childAt(at);
            auto* step = qobject_cast<QToolButton*>(child);  // an up-down button
            editorPress_ = step && step->isVisible() ? static_cast<QWidget*>(step) : editor;
            dataDrag_ = false;
            mouseSelState_ = 0;
            ForwardToEditor(e);
        }
    }
}

void TCustomDBGridX::mouseMoveEvent(QMouseEvent* e) {
    if (editorPress_) return ForwardToEditor(e);
    const QPoint pt = e->position().toPoint();
    lastPoint_ = pt;
    if (autoDragArmed_) {
        autoDragArmed_ = false;
        BeginDrag();
        return;
    }
    if (mouseSelState_ == 6) return FrozenSizingMove(pt);
    if (mouseSelState_ == 2) return ColumnSelectMove(pt);
    if (titleTracking_) {
        const TGridCoord c = MouseCoord(pt.x(), pt.y());
        const bool over = c.X == pressedCol_ && c.Y >= 0 && c.Y < titleOffset_ && PointInLeafBand(c.X, pt.x(), pt.y());
        if (over != titlePressed_) {
            titlePressed_ = over;
            InvalidateCell(pressedCol_, 0);
        }
        if (std::abs(pt.x() - pressPoint_.x()) > 3 && options_.Has(dgColumnResize)) {
            // A title press dragged sideways becomes a column move.
            titleTracking_ = titlePressed_ = false;
            InvalidateCell(pressedCol_, 0);
            pressedCol_ = -1;
            QMouseEvent replay(QEvent::MouseButtonPress, QPointF(pressPoint_), QPointF(pressPoint_), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
            BaseMouseDown(&replay);
            BaseMouseMove(e);
        }
        return;
    }
    if (mouseSelState_ == 1 || mouseSelState_ == 3 || dataDrag_) {
        const QRect box = DataBox();
        if (!box.isEmpty() && dataLink_->Active()) {
            const int y = std::clamp(pt.y(), box.top(), box.bottom());
            const TGridCoord c = MouseCoord(std::clamp(pt.x(), box.left(), box.right()), y);
            if (c.Y >= titleOffset_ && c.Y != Row()) {
                if (mouseSelState_ == 3) {
                    dataLink_->DataSet()->MoveBy(c.Y - Row());
                    selection_->Rect().Select(SelectedIndex(), dataLink_->DataSet()->Bookmark(), true);
                } else if (mouseSelState_ == 1) {
                    MoveBy(true, c.Y - Row(), true, false);
                } else {
                    dataLink_->DataSet()->MoveBy(c.Y - Row());
                }
            }
            // (With row select the column never changes; the move would only repeat its events.)
            if (mouseSelState_ != 1 && !options_.Has(dgRowSelect) && c.X >= indicatorOffset_ && c.X != Col())
                MoveCol(c.X, 0, mouseSelState_ == 3);
            DoAutoScroll();
        }
        return;
    }
    BaseMouseMove(e);
    if (GridState() == gsNormal && e->buttons() == Qt::NoButton) UpdateCursor(pt);
}

void TCustomDBGridX::mouseReleaseEvent(QMouseEvent* e) {
    if (editorPress_) {
        ForwardToEditor(e);
        editorPress_ = nullptr;
        return;
    }
    const QPoint pt = e->position().toPoint();
    const TGridState was = GridState();
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    StopTimer();
    const int selState = mouseSelState_;
    mouseSelState_ = 0;
    dataDrag_ = false;
    if (selState == 6) {
        FrozenSizingRelease();
        return;  // after sizing nothing more happens
    }
    if (autoDragArmed_) {
        autoDragArmed_ = false;
        AutoDragNotStarted(e->modifiers());
    }
    if (titleTracking_) {
        titleTracking_ = false;
        const TGridCoord c = MouseCoord(pt.x(), pt.y());
        const int col = pressedCol_;
        const bool over =
            titlePressed_ && c.X == col && c.Y >= 0 && c.Y < titleOffset_ && PointInLeafBand(col, pt.x(), pt.y());
        titlePressed_ = false;
        pressedCol_ = -1;
        InvalidateCell(col, 0);
        if (over) {
            TColumnX* column = columns_->Items(RawToDataColumn(col));
            TitleBtnClick(RawToDataColumn(col), column);
            multiSortFlag_ = e->modifiers() & Qt::ControlModifier;
            if (optionsX_.Has(dghAutoSortMarking)) {
                // Ctrl keeps the other columns' markers (and lets this one cycle back to none).
                column->Title()->SetNextSortMarker(multiSortFlag_);
                if (!multiSortFlag_) SortMarkingChanged();
            }
        }
    }
    if (was == gsColSizing || was == gsColMoving) BaseMouseUp(e);
    if (was == gsRowSizing) {
        // The row-heights hook turns the new height into the grid's row height.
        rowSized_ = true;
        BaseMouseUp(e);
        rowSized_ = false;  // also when the height did not change
    }
    if (was == gsColSizing || was == gsRowSizing) return;  // after sizing nothing more happens
    const TGridCoord c = MouseCoord(pt.x(), pt.y());
    if (e->button() == Qt::LeftButton && c.X >= indicatorOffset_ && c.Y >= 0) {
        const int dataCol = RawToDataColumn(c.X);
        if (dataCol < columns_->Count()) {
            if (c.Y >= titleOffset_) {
                const int sel = SelectedIndex();
                if (sel >= 0 && sel < columns_->Count()) CellClick(columns_->Items(sel));
            } else {
                TitleClick(columns_->Items(dataCol));
            }
        }
    }
    // A click on an image or check-box cell steps its value (Shift: backwards).
    const TGridCoord pressed = pressedCheckCell_;
    pressedCheckCell_ = TGridCoord();
    if (pressed.X >= 0 && c == pressed && !dblPress_ && dataLink_->Active()) {
        const int dataCol = RawToDataColumn(c.X);
        if (dataCol >= 0 && dataCol < columns_->Count()) {
            TColumnX* col = columns_->Items(dataCol);
            const int kind = col->ColumnKind();
            if ((kind == 4 || kind == 5) && !col->DblClickNextVal) col->SetNextFieldValue(shift ? -1 : 1);
        }
    }
}

void TCustomDBGridX::wheelEvent(QWheelEvent* e) {
    e->accept();
    if (!dataLink_->Active()) return;
    // One record per wheel step of 120 units.
    wheelAccum_ += e->angleDelta().y();
    while (wheelAccum_ >= 120) {
        dataLink_->DataSet()->MoveBy(-1);
        wheelAccum_ -= 120;
    }
    while (wheelAccum_ <= -120) {
        dataLink_->DataSet()->MoveBy(1);
        wheelAccum_ += 120;
    }
}

void TCustomDBGridX::StartTimer(int interval) {
    if (interval == timerInterval_ && timer_.isActive()) return;
    timerInterval_ = interval;
    timer_.start(interval, this);
}

void TCustomDBGridX::StopTimer() {
    timer_.stop();
    timerInterval_ = -1;
}

void TCustomDBGridX::timerEvent(QTimerEvent* e) {
    if (e->timerId() == timer_.timerId()) {
        if (mouseSelState_ == 1 || mouseSelState_ == 3 || dataDrag_)
            DoAutoScroll();
        else if (mouseSelState_ == 2)
            DoColumnAutoScroll();
        else
            StopTimer();
        return;
    }
    TCustomGrid::timerEvent(e);
}

void TCustomDBGridX::DoAutoScroll() {
    const QRect box = DataBox();
    if (box.isEmpty() || !dataLink_->Active()) return StopTimer();
    const QPoint pt = lastPoint_;
    int vdir = 0, hdir = 0, vd = 0, hd = 0;
    if (pt.y() < box.top()) {
        vdir = -1;
        vd = box.top() - pt.y();
    } else if (pt.y() >= box.bottom() + 1) {
        vdir = 1;
        vd = pt.y() - box.bottom();
    }
    if (pt.x() < box.left()) {
        hdir = -1;
        hd = box.left() - pt.x();
    } else if (pt.x() >= box.right() + 1) {
        hdir = 1;
        hd = pt.x() - box.right() - 1;
    }
    if (vdir == 0 && hdir == 0) return StopTimer();
    const TAutoScrollStep step = AutoScrollRows(std::max(vd, hd));
    TDataSet* ds = dataLink_->DataSet();
    if (vdir != 0 && step.Rows > 0 && mouseSelState_ != 3) MoveBy(mouseSelState_ == 1, step.Rows * vdir, true, false);
    if (hdir != 0 && dataDrag_) {
        if (hdir < 0 && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
        if (hdir > 0 && LeftCol() + VisibleColCount() < ColCount()) SetLeftCol(LeftCol() + 1);
    }
    if (hdir != 0 && mouseSelState_ != 1 && !options_.Has(dgRowSelect))
        MoveCol(Col() + hdir, hdir, mouseSelState_ == 3);
    if (mouseSelState_ == 3) {
        if (vdir != 0 && step.Rows > 0) ds->MoveBy(step.Rows * vdir);
        selection_->Rect().Select(SelectedIndex(), ds->Bookmark(), true);
    }
    StartTimer(step.Interval);
}

void TCustomDBGridX::focusInEvent(QFocusEvent* e) {
    TCustomGrid::focusInEvent(e);
    if (options_.Has(dgRowSelect)) InvalidateRow(Row());
}

void TCustomDBGridX::focusOutEvent(QFocusEvent* e) {
    TCustomGrid::focusOutEvent(e);
    StopTimer();
    if (mouseSelState_ == 6) viewport()->update();  // a sizing line goes
    mouseSelState_ = 0;
    frozenIndex_ = -1;
    autoDragArmed_ = false;
    dataDrag_ = false;
    titleTracking_ = titlePressed_ = false;
    if (options_.Has(dgRowSelect)) InvalidateRow(Row());
}

void TCustomDBGridX::changeEvent(QEvent* e) {
    TCustomGrid::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        // What the grid's fonts inherit from the widget may have changed while the fonts
        // themselves compare equal: the kept texts are no longer what would be painted.
        textCache_.Clear();
        if (updateLock_ == 0 && layoutLock_ == 0) LayoutChanged();
    }
}

}  // namespace qm::grid
