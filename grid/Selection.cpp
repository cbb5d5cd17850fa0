#include "grid/Selection.h"

#include "grid/DBGridX.h"

#include <algorithm>

namespace qm::grid {

namespace {
const QString kClosed = QStringLiteral("Cannot perform this operation on a closed dataset");
}

// ---------------------------------------------------------------- TBookmarkListX

TBookmark TBookmarkListX::CurrentRow() const {
    if (!grid_->DataLink()->Active()) throw EInvalidGridOperation(kClosed);
    return grid_->DataLink()->DataSet()->Bookmark();
}

bool TBookmarkListX::CurrentRowSelected() const {
    if (!grid_->DataLink()->Active()) return false;
    int i;
    return Find(CurrentRow(), i);
}

bool TBookmarkListX::Find(TBookmark b, int& index) const {
    if (b == cacheBookmark_ && cacheIndex_ >= 0) {
        index = cacheIndex_;
        return cacheFind_;
    }
    TDataSet* ds = grid_->DataLink()->DataSet();
    bool found = false;
    int lo = 0, hi = Count() - 1;
    while (lo <= hi) {
        const int i = (lo + hi) >> 1;
        const int c =
            ds ? ds->CompareBookmarks(list_[size_t(i)], b) : (list_[size_t(i)] < b ? -1 : list_[size_t(i)] > b);
        if (c < 0)
            lo = i + 1;
        else {
            hi = i - 1;
            if (c == 0) {
                found = true;
                lo = i;
            }
        }
    }
    index = lo;
    cacheBookmark_ = b;
    cacheIndex_ = lo;
    cacheFind_ = found;
    return found;
}

void TBookmarkListX::SetCurrentRowSelected(bool v) {
    const TBookmark b = CurrentRow();
    int i;
    const bool found = Find(b, i);
    if (found == v) return;
    // Every change of the list drops the cached answer, or a second toggle would act on
    // a stale place.
    ClearCache();
    if (v)
        list_.insert(list_.begin() + i, b);
    else
        list_.erase(list_.begin() + i);
    grid_->InvalidateRow(grid_->Row());
    TDBGridXSelection& sel = grid_->Selection();
    if (sel.SelectionType() != gstRecordBookmarks && !list_.empty()) {
        sel.Clear();
        sel.SetSelectionType(gstRecordBookmarks);
    }
    sel.UpdateState();
}

void TBookmarkListX::Clear() {
    if (list_.empty()) return;
    list_.clear();
    ClearCache();
    grid_->Selection().UpdateState();
    grid_->InvalidateGrid();
}

void TBookmarkListX::Delete() {
    TDataSet* ds = grid_->DataLink()->DataSet();
    if (!ds) return;
    ds->DisableControls();
    try {
        for (int i = Count() - 1; i >= 0; --i) {
            if (ds->BookmarkValid(list_[size_t(i)])) {
                ds->GotoBookmark(list_[size_t(i)]);
                ds->Delete();
            }
            list_.erase(list_.begin() + i);
            ClearCache();
        }
    } catch (...) {
        ds->EnableControls();
        grid_->Selection().UpdateState();
        throw;
    }
    ds->EnableControls();
    grid_->Selection().UpdateState();
}

void TBookmarkListX::LinkActive(bool v) {
    list_.clear();
    ClearCache();
    grid_->Selection().UpdateState();
    linkActive_ = v;
}

// ---------------------------------------------------------------- TDBGridXSelectionRect

void TDBGridXSelectionRect::CheckUsable() const {
    const TGridDataLinkX* l = grid_->DataLink();
    if (!l->DataSource() || !l->DataSet() || !l->Active())
        throw EInvalidGridOperation(QStringLiteral("Error in TDBGridXSelectionRect.GetBottomRow"));
}

TBookmark TDBGridXSelectionRect::GetTopRow() const {
    CheckUsable();
    return grid_->DataLink()->DataSet()->CompareBookmarks(anchor_, shift_) < 1 ? anchor_ : shift_;
}
TBookmark TDBGridXSelectionRect::GetBottomRow() const {
    CheckUsable();
    return grid_->DataLink()->DataSet()->CompareBookmarks(anchor_, shift_) < 0 ? shift_ : anchor_;
}
int TDBGridXSelectionRect::GetLeftCol() const {
    CheckUsable();
    return std::min(anchorCol_, shiftCol_);
}
int TDBGridXSelectionRect::GetRightCol() const {
    CheckUsable();
    return std::max(anchorCol_, shiftCol_);
}

bool TDBGridXSelectionRect::CellSelected(int dataCol, TBookmark b) const {
    const TGridDataLinkX* l = grid_->DataLink();
    if (!l->DataSource() || !l->DataSet() || !l->Active())
        throw EInvalidGridOperation(QStringLiteral("Error in function TDBGridXSelectionRect.CellSelected"));
    const TDataSet* ds = l->DataSet();
    return ds->CompareBookmarks(GetTopRow(), b) <= 0 && ds->CompareBookmarks(b, GetBottomRow()) <= 0 &&
           GetLeftCol() <= dataCol && dataCol <= GetRightCol();
}

void TDBGridXSelectionRect::Select(int dataCol, TBookmark b, bool extend) {
    TDBGridXSelection& sel = grid_->Selection();
    if (sel.SelectionType() != gstRectangle && sel.SelectionType() != gstNone) sel.Clear();
    if (anchorCol_ < 0 || !extend) {
        anchorCol_ = dataCol;
        anchor_ = b;
    }
    shiftCol_ = dataCol;
    shift_ = b;
    if (anchorCol_ == shiftCol_ && anchor_ == shift_) {
        if (sel.SelectionType() == gstRectangle) sel.SetSelectionType(gstNone);
    } else {
        sel.SetSelectionType(gstRectangle);
    }
    grid_->InvalidateGrid();  // the difference strips are a refinement; one repaint is exact
}

void TDBGridXSelectionRect::Clear() {
    anchorCol_ = shiftCol_ = -1;
    anchor_ = shift_ = -1;
    grid_->InvalidateGrid();
}

// ---------------------------------------------------------------- TDBGridXSelectionCols

bool TDBGridXSelectionCols::Contains(const TColumnX* c) const {
    return std::find(list_.begin(), list_.end(), c) != list_.end();
}

void TDBGridXSelectionCols::InsertSorted(TColumnX* c) {
    if (Contains(c)) return;
    auto it = std::lower_bound(list_.begin(), list_.end(), c,
                               [](const TColumnX* a, const TColumnX* b) { return a->Index() < b->Index(); });
    list_.insert(it, c);
}

void TDBGridXSelectionCols::Remove(TColumnX* c) {
    list_.erase(std::remove(list_.begin(), list_.end(), c), list_.end());
}

void TDBGridXSelectionCols::Add(TColumnX* c, bool keep) {
    TDBGridXSelection& sel = grid_->Selection();
    if (sel.SelectionType() != gstColumns && sel.SelectionType() != gstNone) sel.Clear();
    if (!keep) list_.clear();
    InsertSorted(c);
    anchor_ = shift_ = c;
    sel.SetSelectionType(gstColumns);
    changed_.clear();
    grid_->InvalidateGrid();
}

void TDBGridXSelectionCols::InvertColumn(TColumnX* c) {
    TDBGridXSelection& sel = grid_->Selection();
    if (sel.SelectionType() != gstColumns && sel.SelectionType() != gstNone) sel.Clear();
    if (Contains(c))
        Remove(c);
    else
        InsertSorted(c);
    anchor_ = shift_ = c;
    changed_.clear();
    sel.SetSelectionType(list_.empty() ? gstNone : gstColumns);
    grid_->InvalidateGrid();
}

void TDBGridXSelectionCols::SelectShift(TColumnX* c) {
    if (!anchor_) {
        Add(c, true);
        return;
    }
    const bool anchorSelected = Contains(anchor_);
    const int a = anchor_->Index();
    const int newShift = c->Index();
    TDBGridColumnsX& cols = grid_->Columns();
    const int lo = std::min(a, newShift), hi = std::max(a, newShift);
    // Columns that this extension changed and that have left the range go back.
    for (auto it = changed_.begin(); it != changed_.end();) {
        const int i = (*it)->Index();
        if (i < lo || i > hi) {
            if (anchorSelected)
                Remove(*it);
            else
                InsertSorted(*it);
            it = changed_.erase(it);
        } else {
            ++it;
        }
    }
    for (int i = lo; i <= hi; ++i) {
        TColumnX* col = cols.Items(i);
        if (!col->Visible()) continue;
        if (anchorSelected && !Contains(col)) {
            InsertSorted(col);
            changed_.push_back(col);
        } else if (!anchorSelected && Contains(col)) {
            Remove(col);
            changed_.push_back(col);
        }
    }
    shift_ = c;
    grid_->Selection().SetSelectionType(list_.empty() ? gstNone : gstColumns);
    grid_->InvalidateGrid();
}

void TDBGridXSelectionCols::Clear() {
    list_.clear();
    changed_.clear();
    anchor_ = shift_ = nullptr;
    grid_->InvalidateGrid();
}

void TDBGridXSelectionCols::Refresh() {
    TDBGridColumnsX& cols = grid_->Columns();
    list_.erase(std::remove_if(list_.begin(), list_.end(), [&](TColumnX* c) { return cols.IndexOf(c) < 0; }),
                list_.end());
    std::sort(list_.begin(), list_.end(), [](const TColumnX* a, const TColumnX* b) { return a->Index() < b->Index(); });
}

// ---------------------------------------------------------------- TDBGridXSelection

TDBGridXSelection::TDBGridXSelection(TCustomDBGridX* grid) : grid_(grid), rect_(grid), cols_(grid) {}

TBookmarkListX& TDBGridXSelection::Rows() const { return grid_->SelectedRows(); }

void TDBGridXSelection::SetSelectionType(TDBGridXSelectionType t) { type_ = t; }

void TDBGridXSelection::Clear() {
    switch (type_) {
    case gstRecordBookmarks: Rows().Clear(); break;
    case gstRectangle: rect_.Clear(); break;
    case gstColumns: cols_.Clear(); break;
    case gstAll: grid_->InvalidateGrid(); break;
    case gstNone: break;
    }
    type_ = gstNone;
}

void TDBGridXSelection::SelectAll() {
    if (type_ == gstAll) return;
    if (type_ != gstNone) Clear();
    type_ = gstAll;
    grid_->InvalidateGrid();
}

bool TDBGridXSelection::DataCellSelected(int dataCol, TBookmark b) const {
    switch (type_) {
    case gstNone: return false;
    case gstRecordBookmarks: return Rows().Contains(b);
    case gstRectangle: return dataCol >= 0 && rect_.CellSelected(dataCol, b);
    case gstColumns:
        return dataCol >= 0 && dataCol < grid_->Columns().Count() && cols_.Contains(grid_->Columns()[dataCol]);
    case gstAll: return true;
    }
    return false;
}

void TDBGridXSelection::UpdateState() {
    if ((type_ == gstRecordBookmarks && Rows().Count() == 0) || (type_ == gstColumns && cols_.Count() == 0)) {
        type_ = gstNone;
        grid_->InvalidateGrid();
    }
}

void TDBGridXSelection::LinkActive(bool v) {
    Rows().LinkActive(v);
    Clear();
}

}  // namespace qm::grid
