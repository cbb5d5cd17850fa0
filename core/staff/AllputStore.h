#pragma once
// The stored side of the start-of-period batch sheet: reading the month-0 list for the
// sheet and the unit's labels (the list is stored by the staff list writer).

#include "core/db/RowsFingerprint.h"
#include "core/db/StaffTable.h"

#include <QString>

#include <array>
#include <vector>

namespace qm {

// The shown texts of one stored row, in sheet column order (index 0 = column 1).
using AllputTexts = std::array<QString, kStaffSheetTexts>;

class AllputStore {
public:
    explicit AllputStore(db::Connection& c) : c_(c) {}

    // Every stored start-of-period row in entry (id) order, the sheet's text columns each. With
    // `fingerprint`, the fingerprint of the rows read (what the sheet is then loaded from).
    std::vector<AllputTexts> Load(db::RowsFingerprint* fingerprint = nullptr) const;

    // Whether the stored start-of-period list has rows that failed their checks.
    bool HasFailingRows() const;

private:
    db::Connection& c_;
};

}  // namespace qm
