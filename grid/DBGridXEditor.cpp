// The grid's side of in-place editing: which editor a column gets, showing and hiding it,
// and writing its text into the field.
#include "grid/DBGridX.h"
#include "grid/InplaceEdit.h"

#include <QApplication>
#include <QKeyEvent>

namespace qm::grid {

int TCustomDBGridX::GetColumnEditStyle(TColumnX* c) const {
    switch (c->ButtonStyle()) {
    case cbsEllipsis: return esEllipsis;
    case cbsUpDown: return esUpDown;
    case cbsDropDown: return esDropDown;
    case cbsNone: return esSimple;
    case cbsAuto: break;
    }
    TField* f = c->Field();
    if (!f) return esSimple;
    if (f->FieldKind() == fkLookup) {
        TField* key = c->ModifiedField();
        const bool ok = key && key->CanModify() && !(c->IsExplicit(cvReadOnly) && c->ReadOnly()) && !readOnly_ &&
                        dataLink_->Active() && !dataLink_->ReadOnly();
        return ok ? esDataList : esSimple;
    }
    if (!c->PickList().isEmpty() && !c->ReadOnly()) return esPickList;
    if (f->DataType() == ftDate && !c->ReadOnly()) return esDateCalendar;
    return esSimple;
}

QString TCustomDBGridX::EditTextOf(TColumnX* c) const {
    TField* f = c ? c->Field() : nullptr;
    if (!f) return {};
    if (c->ColumnKind() == 3) {
        const int i = int(c->KeyList().indexOf(f->Text()));
        return i >= 0 && i < c->PickList().size() ? c->PickList()[i] : QString();
    }
    return f->Text();
}

bool TCustomDBGridX::CanEditModifyAny() {
    const int i = SelectedIndex();
    if (i < 0 || i >= columns_->Count()) return false;
    TColumnX* c = columns_->Items(i);
    if (readOnly_ || !dataLink_->Active() || dataLink_->ReadOnly()) return false;
    TField* f = c->Field();
    if (c->ReadOnly() || !f || !f->CanModify()) return false;
    return c->CanModify(true) && dataLink_->Edit();
}

bool TCustomDBGridX::CanEditAcceptKey(QChar key) const {
    const int i = SelectedIndex();
    if (i < 0 || i >= columns_->Count()) return false;
    TColumnX* c = columns_->Items(i);
    if (!c->KeyList().isEmpty()) return true;  // the text is a pick-list entry, not the value
    return dataLink_->Active() && c->Field() && c->Field()->IsValidChar(key);
}

int TCustomDBGridX::GetEditLimit() const {
    const int i = SelectedIndex();
    if (i < 0 || i >= columns_->Count()) return 0;
    TColumnX* c = columns_->Items(i);
    if (!c->KeyList().isEmpty()) return 0;
    TField* f = c->Field();
    return f && f->DataType() == ftString ? f->Size() : 0;
}

QRect TCustomDBGridX::EditButtonRect(TColumnX* column, const QRect& cellRect) const {
    if (!column->AlwaysShowEditButton() || GetColumnEditStyle(column) == esSimple || cellRect.isEmpty()) return {};
    return QRect(cellRect.right() + 1 - editButtonWidth_, cellRect.top(), editButtonWidth_, cellRect.height());
}

void TCustomDBGridX::ForwardToEditor(QMouseEvent* e) {
    if (!editorPress_) return;
    const QPointF global = e->globalPosition();
    QMouseEvent copy(e->type(), editorPress_->mapFromGlobal(global), global, e->button(), e->buttons(), e->modifiers());
    QApplication::sendEvent(editorPress_, &copy);
}

bool TCustomDBGridX::EditorMode() const { return editor_ && editor_->isVisible(); }

void TCustomDBGridX::ShowEditor() {
    if (!options_.Has(dgEditing) || options_.Has(dgRowSelect) || !dataLink_->Active()) return;
    const int i = SelectedIndex();
    if (i < 0 || i >= columns_->Count() || Row() < titleOffset_) return;
    if (!editor_) editor_ = new TDBGridInplaceEdit(this);
    const QRect r = CellRect(Col(), Row());
    if (r.isEmpty()) return;
    editor_->setGeometry(r);
    editor_->UpdateContents();
    editText_ = editor_->text();
    // A lookup column edits its key; the text shown is the looked-up one.
    TColumnX* c = columns_->Items(i);
    TField* key = c->Field() && c->Field()->FieldKind() == fkLookup ? c->ModifiedField() : nullptr;
    editKeyValue_ = key ? key->AsValue() : db::Value();
    editor_->show();
    editor_->SelectAllText();
    editor_->setFocus();
}

void TCustomDBGridX::HideEditor(bool commit) {
    if (!EditorMode()) return;
    if (editor_->ListVisible()) editor_->CloseUp(false);
    const int i = SelectedIndex();
    TColumnX* c = i >= 0 && i < columns_->Count() ? columns_->Items(i) : nullptr;
    if (commit && c && c->Field() && editor_->text() != EditTextOf(c) && c->CanModify(true)) {
        const QString t = editor_->text();
        if (c->ColumnKind() == 3) {
            // Text that is no entry of the list keeps the stored key; only empty text clears it.
            const int k = int(c->PickList().indexOf(t));
            if (k >= 0 && k < c->KeyList().size())
                c->Field()->SetText(c->KeyList()[k]);
            else if (t.isEmpty())
                c->Field()->Clear();
        } else if (c->Field()->FieldKind() == fkLookup) {
            if (TField* key = c->ModifiedField()) key->SetValue(editKeyValue_);
        } else {
            c->Field()->SetText(t);
        }
    }
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    if (hadFocus) setFocus();
}

void TCustomDBGridX::EditorKey(int key, Qt::KeyboardModifiers shift) {
    if (key == Qt::Key_Escape) {
        // Escape puts the field's text back and leaves the record as it was.
        HideEditor(false);
        KeyDown(key, shift);
    } else {
        HideEditor(true);
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || optionsX_.Has(dghEnterAsTab)) KeyDown(key, shift);
    }
    // A grid that always shows its editor shows it again on the cell it moved to.
    if (options_.Has(dgAlwaysShowEditor) && !EditorMode() && selection_->SelectionType() == gstNone) ShowEditor();
}

bool TCustomDBGridX::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab move between the grid's tab-stop columns, not to the next control.
    if (options_.Has(dgTabs) && dataLink_->Active() && hasFocus()) return false;
    return TCustomGrid::focusNextPrevChild(next);
}

}  // namespace qm::grid
