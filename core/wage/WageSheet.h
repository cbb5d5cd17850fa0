#pragma once
// The monthly wage sheet's work on its sheet model and the database, without widgets: load
// the month, import the month's staff numbers and names, and total, audit and store the
// month in one transaction. TFrm_mon only forwards its buttons here.

#include "core/base/AppContext.h"
#include "core/db/MonthPrint.h"
#include "core/wage/WageAudit.h"

#include <QMetaObject>
#include <QString>

#include <optional>
#include <vector>

namespace qm {

class TSheetBook;

// Paints and removes the red error mark on a block of a wage sheet.
void MarkCells(TSheetBook& book, int row, int col1, int col2);
void UnmarkCells(TSheetBook& book, int row, int col1, int col2);

// The sheet rows in use: from row 2 while column 2 is not empty.
std::vector<WageLine> ReadWageLines(const TSheetBook& book);
int CountWageLines(const TSheetBook& book);
// One of them, into `line`.
void ReadWageLine(const TSheetBook& book, int row, WageLine& line);

// "共" + n + "条", the status line of the wage sheet.
QString WageCountText(int n);

class WageSheet {
public:
    WageSheet(AppContext& ctx, TSheetBook& book, qm::Month month);
    ~WageSheet();
    WageSheet(const WageSheet&) = delete;
    WageSheet& operator=(const WageSheet&) = delete;

    qm::Month Month() const { return month_; }
    QString MonthText() const { return month_.Text(); }

    // Clears the rows and shows the month's stored rows with their marks. A month above the
    // last month with wages opens empty (answers nullopt); else answers the row count.
    std::optional<int> Load();

    // Fills columns 1..2 with the month's staff list; asks first when the sheet holds rows.
    // Answers the count, or nullopt when the person declined.
    std::optional<int> ImportRoster();

    // Totals, audits and stores every row in one transaction, then paints the marks and shows
    // the messages. Answers whether the month was stored; on a refusal or a failure the
    // stored month is as it was and a message names the row. Only the month as this sheet
    // loaded it (or last stored it) is replaced, and only while the sheet holds all it was given.
    bool Save();

    // The month has rows that fail the roster or the limits.
    bool HasErrors() const;

    // Whether the sheet holds rows typed, pasted or imported since the last load or save.
    bool Dirty() const { return dirty_; }

private:
    class Quiet;  // the sheet's own loads, totals and marks are not edits
    void PaintChecked(int row, const WageCheck& c);

    AppContext& ctx_;
    TSheetBook& book_;
    qm::Month month_;
    bool dirty_ = false;
    int quiet_ = 0;
    db::MonthLoad loaded_;  // what the sheet was filled from
    QMetaObject::Connection cellsConn_, resetConn_, layoutConn_;
};

}  // namespace qm
