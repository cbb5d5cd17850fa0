#pragma once
// The wage error list's work on its sheet model and the database, without widgets: list the
// month's failing wage rows, re-check and update them row by row, accept the month's
// out-of-range totals, delete a row, and export the listed people to a workbook.

#include "core/base/AppContext.h"

#include <QString>

namespace qm {

class TSheetBook;

// m + "月未输入从业工资错误信息"
QString WageErrorCaption(qm::Month month);
// "共有" + n + "条记录!"
QString WageErrorCountText(int n);

class WageErrorList {
public:
    WageErrorList(AppContext& ctx, TSheetBook& book, qm::Month month);

    qm::Month Month() const { return month_; }

    // Lists the month's rows with sFlag or wFlag "0", ordered by id, with their marks.
    // Answers the number of rows (0: nothing left to correct).
    int Load();

    // Re-checks every listed row and updates it by its id, all rows in one transaction. A row
    // with a bad amount stops the run before anything is written, and a row the database
    // refuses rolls back every row; either is told by its row, and the sheet keeps its edits.
    // After a full run the list is reloaded. Answers whether it ran through.
    bool Recheck();

    // Accepts every out-of-range total of the month (wFlag "1"), then reloads.
    void Accept();

    // Deletes the stored row behind a sheet row (no row id, e.g. the header: nothing), then reloads.
    void DeleteRow(int row);

    // Writes the listed numbers and names to ERROR/<m>月错误名单.xlsx and opens the folder.
    bool Export();

    // Rows on the sheet after the last Load.
    int Count() const { return count_; }
    // Whether a re-check, an accept or a delete has changed stored rows of the month.
    bool Stored() const { return stored_; }

private:
    AppContext& ctx_;
    TSheetBook& book_;
    qm::Month month_;
    int count_ = 0;
    bool stored_ = false;
};

}  // namespace qm
