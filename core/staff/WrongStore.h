#pragma once
// The stored side of the staff error list: the rows of one list stored with errors (their
// write-back by id is the staff list writer's).

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

}  // namespace qm
