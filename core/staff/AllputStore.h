#pragma once
// The stored side of the start-of-period batch sheet: reading the month-0 list for the
// sheet, the unit's labels, and replacing the list in one transaction.

#include "core/base/UnitClass.h"
#include "core/db/MonthPrint.h"
#include "core/db/StaffTable.h"
#include "core/staff/StaffValues.h"

#include <QString>

#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

namespace qm {

namespace db {
class Connection;
}
class Progress;

// The shown texts of one stored row, in sheet column order (index 0 = column 1).
using AllputTexts = std::array<QString, kStaffSheetTexts>;

// One sheet row as it is stored: the text columns, the code columns and the row flag.
struct AllputRow {
    int sheetRow = 0;
    AllputTexts text;                           // index 0 = column 1
    std::array<QString, kStaffAttrCount> code;  // index 0 = the first code column
    QString isOk = QStringLiteral("1");

    const QString& Text(int col) const { return text[size_t(col - 1)]; }
    const QString& Code(int col) const { return code[size_t(col - kStaffFirstCodeCol)]; }
};

// A number column (参加工作年限, 其中本岗位年限) as it is stored: empty for a blank cell,
// the number otherwise; nullopt when the text is not a number.
std::optional<std::optional<double>> AllputNumber(const QString& cellText);

// A batch save that stopped on a row (0: none); nothing was changed.
class AllputSaveError : public staffvalue::RowError {
public:
    using RowError::RowError;
    int SheetRow() const { return Row(); }
};

class AllputStore {
public:
    explicit AllputStore(db::Connection& c) : c_(c) {}

    // Every stored start-of-period row in entry (id) order, the sheet's text columns each. With
    // `print`, the print of the rows read (what the sheet is then loaded from).
    std::vector<AllputTexts> Load(db::RowsPrint* print = nullptr) const;

    // The unit of the first Dep_Info row (no filter, as the labels have always shown it).
    struct Unit {
        QString depName, depNo;
    };
    Unit FirstUnit() const;

    // Whether the stored start-of-period list has rows that failed their checks.
    bool HasFailingRows() const;

    // Replaces the stored start-of-period list by `rows` in one transaction. Each person's
    // duty text (sGw, which the sheet does not show) is carried over by staff number from
    // the rows replaced. Raises AllputSaveError naming the row on any failure, after
    // rolling back: the stored list is then as it was. A list that holds one staff number
    // twice is refused with staffvalue::NumberTaken, naming the number's second row, before
    // anything is written.
    // `columns` are the unit class's (StaffColumnsFor). Raises db::MonthNotLoaded, writing
    // nothing, when the sheet lost rows of its filling or the stored list is no longer the one
    // `loaded` was loaded from; after a save `loaded` is the list just stored.
    void Save(const std::vector<AllputRow>& rows, StaffColumns columns, db::MonthLoad& loaded,
              Progress* pb = nullptr) const;

private:
    db::Connection& c_;
};

}  // namespace qm
