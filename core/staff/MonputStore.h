#pragma once
// The stored side of the monthly staff list: reading a month (or the month to import),
// and writing a checked sheet back in one transaction. No widgets: the form reads its
// cells through a CellReader and paints what these functions report.

#include "core/base/RtlText.h"
#include "core/base/UnitClass.h"
#include "core/db/Db.h"
#include "core/db/MonthPrint.h"
#include "core/db/StaffTable.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

namespace qm {

class Progress;
class TSheetBook;

// Staff sheet geometry shared by the monthly list and the staff error list, as the staff
// table's registry places its columns.
inline constexpr int kStaffTextCols = kStaffSheetTexts;     // the shown texts
inline constexpr int kStaffFirstCode = kStaffFirstCodeCol;  // one code column per attribute
inline constexpr int kStaffLastCode = kStaffLastCodeCol;
inline constexpr int kStaffIdCol = kStaffLastCodeCol + 1;        // the error list keeps the row's id here
inline constexpr int kWorksCol = SheetColOf(StaffPlain::Works);  // a number
inline constexpr int kWorkCol = SheetColOf(StaffPlain::Work);    // a number

// The shown texts of one stored staff row, in sheet column order.
using StaffTexts = std::array<QString, kStaffTextCols>;

// A cell of the sheet being saved, 1-based.
using CellReader = std::function<QString(int row, int col)>;

// The sheet's text and code columns of each coded attribute.
constexpr int StaffTextColOf(StaffAttr a) { return SheetColOf(a); }
constexpr int StaffCodeColOf(StaffAttr a) { return CodeColOf(a); }

// The original runtime's Trim: characters up to U+0020 only, so a full-width blank stays.
inline QString TrimLow(const QString& s) { return RtlTrim(s); }
// Name clean-up of the saves (ClearSpace): trimmed, then every U+0020 removed.
inline QString CleanName(const QString& s) { return RtlRemoveBlanks(RtlTrim(s)); }

// The staff number as stored: trimmed, since the wage audit matches trimmed numbers.
inline QString StoredNumber(const QString& s) { return TrimLow(s); }

// A work-years cell as a bound value: null when blank, a number when it reads as one,
// nothing at all when it is not a number (the caller refuses the save).
std::optional<db::Value> WorkYearsValue(const QString& text);
// A code cell as a bound value: null when blank, the integer otherwise; nothing when the
// cell holds something else.
std::optional<db::Value> CodeValue(const QString& text);

// The shown texts of a stored row.
inline StaffTexts StaffTextsOf(const StaffRecord& r) { return StaffTable::SheetTexts(r); }

// Every stored row of the month, in id order (the sheet load); with `print`, the print of the
// rows read: what the sheet is then loaded from.
std::vector<StaffTexts> LoadMonthRows(db::Connection& c, Month month, db::RowsPrint* print = nullptr);
// Every row of `fromMonth`, whatever its sIsok, in id order (imports).
std::vector<StaffTexts> ImportMonthRows(db::Connection& c, Month fromMonth);
// Writes the texts of `rows` into the sheet from row `firstRow` on, one row each; answers how
// many of them the sheet holds (all, unless a row lay beyond any sheet).
long long PutStaffRows(TSheetBook& book, int firstRow, const std::vector<StaffTexts>& rows);
// Whether the month has rows with sIsOk '0'.
bool MonthHasErrorRows(db::Connection& c, Month month);

// A cell the save refuses, with the header of its column for the message.
struct BadCell {
    int row = 0;
    int col = 0;
    QString header;
};
// Work-year cells of rows first..last that are neither blank nor a number.
std::vector<BadCell> FindNonNumericWorkYears(int firstRow, int lastRow, const CellReader& cell);
// "第5行（张三）的“参加工作年限”不是数字，请核实！"
QString BadCellMessage(const BadCell& bad, const QString& name);

// A save that failed and was rolled back: the sheet row being written and the reason.
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

// Writes the checked sheet as the stored list of `month` in one transaction: the month's
// rows are deleted and one row inserted per sheet row firstRow..lastRow, with the column
// set of the unit class, the name cleaned, the number trimmed, every value bound (texts
// untrimmed; blank cells null; work years and codes as numbers) and sIsok from `flags`
// (flags[i] belongs to row firstRow + i). Any failure rolls back and raises SaveFailure;
// the stored month is then as it was. Work years must have passed FindNonNumericWorkYears.
// A sheet that holds one staff number twice is refused with staffvalue::NumberTaken, naming
// the number's second row, before anything is written. So is, raising db::MonthNotLoaded, a
// sheet that lost rows of its filling or whose month is no longer what `loaded` was loaded
// from; after a save `loaded` is the month just stored.
void WriteMonth(db::Connection& c, Month month, StaffColumns set, int firstRow, int lastRow, const CellReader& cell,
                const std::vector<QString>& flags, db::MonthLoad& loaded, Progress* pb = nullptr);
// What a month's list is called in the messages: "3月名册".
QString MonthListName(Month month);

// The progress bar's scale: the last data row. Counting the rows themselves always ends,
// also when the first rows are empty.
int ProgressScale(int lastRow);

}  // namespace qm
