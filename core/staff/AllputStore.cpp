#include "core/staff/AllputStore.h"

#include "core/db/Db.h"

namespace qm {

std::vector<AllputTexts> AllputStore::Load(db::RowsFingerprint* fingerprint) const {
    return StaffTable(c_).ReadSheetTexts(Month::Start(), {}, fingerprint);
}

bool AllputStore::HasFailingRows() const { return StaffTable(c_).HasFailedRows(Month::Start()); }

}  // namespace qm
