#pragma once
// The one writer of the staff lists. The batch sheet's start-of-period list and a month's list
// replace their month with the rows of their checked sheet; the staff error list writes its
// corrected rows back to the stored rows they came from, by id. Every row is made a stored row
// the same way: the name cleaned, the number trimmed, texts stored as typed and a blank one null
// with its code, work years and codes as numbers; a row that holds something else is refused by
// the column it names. Everything runs in one transaction: on any failure nothing is stored.

#include "core/base/Month.h"
#include "core/base/UnitClass.h"
#include "core/db/MonthFingerprint.h"
#include "core/db/StaffTable.h"
#include "core/staff/MonputStore.h"

#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace qm {

class Progress;
class TSheetBook;
class UiService;

// A save that failed and was rolled back: the sheet row being written (0: none, such as the
// commit) and the reason.
class SaveFailure : public std::runtime_error {
public:
    SaveFailure(int row, QString name, QString reason);
    int row() const { return row_; }
    const QString& name() const { return name_; }
    const QString& reason() const { return reason_; }
    // What the person is told, naming the row.
    QString Message() const;

private:
    int row_;
    QString name_;
    QString reason_;
};

// What a write-back of corrected rows did.
struct WrongSaveReport {
    int updated = 0;                  // rows written
    std::vector<int> noIdRows;        // sheet rows without a stored id (inserted on the sheet): skipped
    std::vector<BadCell> badNumbers;  // work-year cells that are not numbers: their rows skipped
    std::vector<int> notFound;        // rows whose id is not a row of this month: nothing written
    // A note for the person on the skipped rows, empty when none was skipped.
    QString Note(const CellReader& cell) const;
};

// Runs a sheet's `store` through the writer and, when it stored nothing, tells the person why and
// makes the row concerned the sheet's current cell: the month changed since the sheet was loaded
// (`what` names the list: "期初名单", "3月名册"), a number stands on two rows, or the database
// refused a row.
enum class StoreOutcome { Stored, Refused, Failed };
StoreOutcome StoreOrTell(UiService& ui, TSheetBook& book, const QString& what, const std::function<void()>& store);

class StaffListWriter {
public:
    // The rows firstRow..lastRow of a checked sheet, read through `cell`; flags[i] is the sIsok of
    // row firstRow + i ("0" for a row without one).
    struct Rows {
        int firstRow, lastRow;
        const CellReader& cell;
        const std::vector<QString>& flags;
    };

    // The list of `month`, stored in the columns of `columns`.
    StaffListWriter(db::Connection& c, Month month, StaffColumns columns) : c_(c), month_(month), columns_(columns) {}

    // Replaces the month's stored list by the rows, in sheet order. Each number keeps the duty
    // (sGw) its replaced row had, which no sheet shows. Refused before anything is written, with
    // staffvalue::NumberTaken naming the second row, when one number stands on two rows; with
    // db::MonthNotLoaded when the sheet lost rows of its filling or the month is no longer what
    // `loaded` was loaded from. After a save `loaded` is the month just stored.
    void Replace(const Rows& rows, db::MonthLoad& loaded, Progress* pb = nullptr);

    // Writes each row back to the stored row of the month whose id its column kStaffIdCol holds.
    // Rows without an id or with work years that are not numbers are skipped and reported. A row
    // that would carry a number another row of the month carries once the rows are written is
    // refused with staffvalue::NumberTaken before anything is written.
    WrongSaveReport Update(const Rows& rows);

private:
    // The stored row of sheet row `row`, into `rec`; the reason when a cell is not what its
    // column stores.
    std::optional<QString> Convert(const Rows& rows, int row, StaffRecord& rec) const;
    void RefuseNumberOnTwoRows(const Rows& rows) const;
    void RefuseNumberOfAnotherRow(const Rows& rows) const;

    db::Connection& c_;
    Month month_;
    StaffColumns columns_;
};

}  // namespace qm
