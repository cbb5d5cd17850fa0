#pragma once
// The person's place in a grid (the current record and where it stands among the shown
// rows), saved before a walk over the data set and put back afterwards.
#include "grid/DBGridX.h"

namespace qm::grid {

class TGridViewPosition {
public:
    explicit TGridViewPosition(TCustomDBGridX& g) : g_(g) { Save(); }
    void Save() {
        TDataSet* ds = g_.DataLink()->DataSet();
        bookmark_ = ds && ds->Active() ? ds->Bookmark() : -1;
        row_ = g_.DataLink()->Active() ? g_.DataLink()->ActiveRecord() : 0;
    }
    // Back on the saved record at its old place among the rows; the first record when it
    // went away.
    void Restore() {
        TDataSet* ds = g_.DataLink()->DataSet();
        if (!ds || !ds->Active() || ds->State() != dsBrowse) return;
        if (bookmark_ < 0 || !ds->BookmarkValid(bookmark_)) {
            if (!ds->IsEmpty()) ds->First();
            return;
        }
        ds->GotoBookmark(bookmark_);
        // Stepping back the old distance and forward again puts the window where it was.
        const int back = -ds->MoveBy(-row_);
        ds->MoveBy(back);
    }
    TBookmark Bookmark() const { return bookmark_; }

private:
    TCustomDBGridX& g_;
    TBookmark bookmark_ = -1;
    int row_ = 0;
};

}  // namespace qm::grid
