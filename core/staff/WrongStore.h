#pragma once
// The stored side of the staff error list: the rows of one list stored with errors, and
// the write-back of corrected rows to their own Staff_moninfo rows by id and month.

#include "core/staff/MonputStore.h"

#include <vector>

namespace qm {

struct WrongRow {
    long long id = 0;
    StaffTexts texts;
    std::array<QString, kStaffLastCode - kStaffFirstCode + 1> codes;  // columns 25..37
};

// The stored rows of `month`: mode 0 those with sIsOk '0', 1 those with '1', any
// other mode all of them; in id order so the list is stable between loads.
std::vector<WrongRow> LoadErrorRows(db::Connection& c, Month month, int mode = 0);

// The unit's name and code as the lists' labels show them (the first Dep_Info row).
struct UnitLabels {
    QString depName, depNo;
};
UnitLabels ReadUnitLabels(db::Connection& c);

// What a save of the error list did.
struct WrongSaveReport {
    int updated = 0;                  // rows written
    std::vector<int> noIdRows;        // sheet rows without a stored id (inserted on the sheet): skipped
    std::vector<BadCell> badNumbers;  // work-year cells that are not numbers: their rows skipped
    std::vector<int> notFound;        // rows whose id is not a row of this month: nothing written
    // A note for the person on the skipped rows, empty when none was skipped.
    QString Note(const CellReader& cell) const;
};

// Writes rows firstRow..lastRow back, each to the row with its id (column 38) and `month`:
// every text and code column 1..37 (columns 15..18 for every unit class), the name
// cleaned, the number trimmed, blank texts null with their codes, sIsok from flags[r -
// firstRow]. Rows without an id or with non-numeric work years are skipped and reported.
// The updates run in one transaction; a database failure rolls them all back and raises
// SaveFailure naming the row. A row that would carry a number (trimmed) another row of the
// month carries is refused with staffvalue::NumberTaken before anything is written.
WrongSaveReport WriteErrorRows(db::Connection& c, Month month, int firstRow, int lastRow, const CellReader& cell,
                               const std::vector<QString>& flags);

}  // namespace qm
