#pragma once
// The person's place in a grid, saved around a walk over the data set (export, import,
// the clipboard delete) and put back afterwards: saving moves the data set so that the
// current record sits in the middle of the shown rows and keeps that record and the
// distance; restoring goes back to the record and moves the distance again.
#include "grid/DBGridX.h"

namespace qm::grid {

class TGridViewPosition {
public:
    explicit TGridViewPosition(TCustomDBGridX& g) : g_(g) { Save(); }
    void Save() {
        TDataSet* ds = g_.DataLink()->DataSet();
        bookmark_ = -1;
        offset_ = 0;
        if (!ds || !ds->Active() || ds->IsEmpty()) return;
        if (ds->State() == dsBrowse && g_.DataLink()->Active()) {
            const int ar = g_.DataLink()->ActiveRecord(), rc = g_.DataLink()->RecordCount();
            offset_ = ar - rc / 2 + (rc + 1) % 2;
            offset_ = -ds->MoveBy(-offset_);
        }
        bookmark_ = ds->Bookmark();
    }
    // Back on the saved record; the first record when it went away.
    void Restore() {
        TDataSet* ds = g_.DataLink()->DataSet();
        if (!ds || !ds->Active() || ds->State() != dsBrowse) return;
        if (bookmark_ < 0 || !ds->BookmarkValid(bookmark_)) {
            if (!ds->IsEmpty()) ds->First();
            return;
        }
        ds->GotoBookmark(bookmark_);
        ds->MoveBy(offset_);
    }

private:
    TCustomDBGridX& g_;
    TBookmark bookmark_ = -1;
    int offset_ = 0;
};

}  // namespace qm::grid
