#pragma once
// The stored side of the monthly staff list: reading a month (or the month to import),
// and writing a checked sheet back in one transaction. No widgets: the form reads its
// cells through a CellReader and paints what these functions report.

#include "core/base/RtlText.h"
#include "core/base/UnitClass.h"
#include "core/db/Db.h"
#include "core/db/RowsFingerprint.h"
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

// The shown texts of a stored row.
inline StaffTexts StaffTextsOf(const StaffRecord& r) { return StaffTable::SheetTexts(r); }

// Every stored row of the month, in id order (the sheet load); with `fingerprint`, the fingerprint
// of the rows read: what the sheet is then loaded from.
std::vector<StaffTexts> LoadMonthRows(db::Connection& c, Month month, db::RowsFingerprint* fingerprint = nullptr);
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

// What a month's list is called in the messages: "3月名册".
QString MonthListName(Month month);

}  // namespace qm
