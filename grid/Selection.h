#pragma once
// What the person has selected in a grid: record bookmarks, a rectangle of cells, whole
// columns, or everything.

#include "core/db/DataSet.h"

#include <vector>

namespace qm::grid {

class TCustomDBGridX;
class TColumnX;

// Selected records, kept sorted in the data set's order.
class TBookmarkListX {
public:
    explicit TBookmarkListX(TCustomDBGridX* grid) : grid_(grid) {}
    int Count() const { return int(list_.size()); }
    TBookmark Items(int i) const { return list_.at(size_t(i)); }
    // The current record's bookmark; raises while the link is inactive.
    TBookmark CurrentRow() const;
    bool CurrentRowSelected() const;
    void SetCurrentRowSelected(bool v);
    // Binary search in data-set order; Index is the place found or the insertion point.
    bool Find(TBookmark b, int& index) const;
    void Clear();
    void Delete();  // deletes the selected records
    void LinkActive(bool v);
    bool Contains(TBookmark b) const {
        int i;
        return Find(b, i);
    }

private:
    void ClearCache() const {
        cacheBookmark_ = -1;
        cacheIndex_ = -1;
    }
    TCustomDBGridX* grid_;
    std::vector<TBookmark> list_;
    mutable TBookmark cacheBookmark_ = -1;
    mutable int cacheIndex_ = -1;
    mutable bool cacheFind_ = false;
    bool linkActive_ = false;
};

class TDBGridXSelectionRect {
public:
    explicit TDBGridXSelectionRect(TCustomDBGridX* grid) : grid_(grid) {}
    void Select(int dataCol, TBookmark b, bool extend);
    void Clear();
    bool CellSelected(int dataCol, TBookmark b) const;
    TBookmark GetTopRow() const;
    TBookmark GetBottomRow() const;
    int GetLeftCol() const;
    int GetRightCol() const;
    int AnchorCol() const { return anchorCol_; }
    int ShiftCol() const { return shiftCol_; }

private:
    void CheckUsable() const;
    TCustomDBGridX* grid_;
    int anchorCol_ = -1, shiftCol_ = -1;
    TBookmark anchor_ = -1, shift_ = -1;
};

// Selected columns, sorted by their place in the grid's columns.
class TDBGridXSelectionCols {
public:
    explicit TDBGridXSelectionCols(TCustomDBGridX* grid) : grid_(grid) {}
    int Count() const { return int(list_.size()); }
    TColumnX* Items(int i) const { return list_.at(size_t(i)); }
    bool Contains(const TColumnX* c) const;
    void Add(TColumnX* c, bool keep);
    void InvertColumn(TColumnX* c);
    void SelectShift(TColumnX* c);
    void Clear();
    void Refresh();

private:
    void InsertSorted(TColumnX* c);
    void Remove(TColumnX* c);
    TCustomDBGridX* grid_;
    std::vector<TColumnX*> list_;
    TColumnX* anchor_ = nullptr;
    TColumnX* shift_ = nullptr;
    std::vector<TColumnX*> changed_;
};

enum TDBGridXSelectionType { gstNone, gstRecordBookmarks, gstRectangle, gstColumns, gstAll };

class TDBGridXSelection {
public:
    explicit TDBGridXSelection(TCustomDBGridX* grid);
    TDBGridXSelectionType SelectionType() const { return type_; }
    void SetSelectionType(TDBGridXSelectionType t);
    TBookmarkListX& Rows() const;
    TDBGridXSelectionRect& Rect() { return rect_; }
    TDBGridXSelectionCols& Columns() { return cols_; }
    void Clear();
    void SelectAll();
    bool DataCellSelected(int dataCol, TBookmark b) const;
    void UpdateState();
    void LinkActive(bool v);

private:
    TCustomDBGridX* grid_;
    TDBGridXSelectionType type_ = gstNone;
    TDBGridXSelectionRect rect_;
    TDBGridXSelectionCols cols_;
};

}  // namespace qm::grid
