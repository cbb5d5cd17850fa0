#include "core/staff/MonputStore.h"

#include "core/sheet/SheetBook.h"
#include "core/staff/StaffValues.h"

#include <algorithm>

namespace qm {

// Only the shown texts are kept, for every row of the month.
std::vector<StaffTexts> LoadMonthRows(db::Connection& c, Month month, db::RowsFingerprint* fingerprint) {
    return StaffTable(c).ReadSheetTexts(month, {}, fingerprint);
}

std::vector<StaffTexts> ImportMonthRows(db::Connection& c, Month fromMonth) {
    return StaffTable(c).ReadSheetTexts(fromMonth);
}

long long PutStaffRows(TSheetBook& book, int firstRow, const std::vector<StaffTexts>& rows) {
    int r = firstRow;
    for (const StaffTexts& t : rows) {
        for (int c = 1; c <= kStaffTextCols; ++c) book.SetCellText(r, c, t[size_t(c - 1)]);
        ++r;
    }
    return std::clamp<long long>(book.MaxRow() - firstRow + 1, 0, (long long)rows.size());
}

QString MonthListName(Month month) { return month.Text() + QStringLiteral("月名册"); }

bool MonthHasErrorRows(db::Connection& c, Month month) { return StaffTable(c).HasFailedRows(month); }

std::vector<BadCell> FindNonNumericWorkYears(int firstRow, int lastRow, const CellReader& cell) {
    std::vector<BadCell> bad;
    for (int r = firstRow; r <= lastRow; ++r) {
        if (!staffvalue::WorkYears(cell(r, kWorksCol))) bad.push_back({r, kWorksCol, QStringLiteral("参加工作年限")});
        if (!staffvalue::WorkYears(cell(r, kWorkCol))) bad.push_back({r, kWorkCol, QStringLiteral("其中本岗位年限")});
    }
    return bad;
}

QString BadCellMessage(const BadCell& bad, const QString& name) {
    return QStringLiteral("第%1行（%2）的“%3”不是数字，请核实！").arg(StaffShownRow(bad.row)).arg(name, bad.header);
}

}  // namespace qm
