#pragma once
// The monthly wage sheet's work on its sheet model and the database, without widgets: load
// the month, import the month's staff numbers and names, and total, audit and store the
// month in one transaction. TFrm_mon only forwards its buttons here.

#include "core/base/AppContext.h"
#include "core/db/SheetEdits.h"
#include "core/wage/WageAudit.h"

#include <QString>

#include <optional>
#include <vector>

namespace qm {

class TSheetBook;

// Paints and removes the red error mark on a block of a wage sheet.
void MarkCells(TSheetBook& book, int row, int col1, int col2);
void UnmarkCells(TSheetBook& book, int row, int col1, int col2);

// The sheet rows in use: from row 2 while column 2 is not empty.
int CountWageLines(const TSheetBook& book);
// One of them, into `line`.
void ReadWageLine(const TSheetBook& book, int row, WageLine& line);

// "共" + n + "条", the status line of the wage sheet.
QString WageCountText(int n);

// The wage forms' messages are confirmation boxes with a single OK.
void TellWage(UiService& ui, const QString& text);
// An amount as it is bound: null for an empty cell.
db::Value AmountValue(const std::optional<double>& v);
// The refusal of a month's wages that would hold the staff number `number` on two rows: the person
// `name` would carry the number `holder` carries. The reports would count that number's wages twice.
QString WageNumberTwiceMessage(Month month, const QString& name, const QString& number, const QString& holder);

class WageSheet {
public:
    WageSheet(AppContext& ctx, TSheetBook& book, qm::Month month);
    ~WageSheet();
    WageSheet(const WageSheet&) = delete;
    WageSheet& operator=(const WageSheet&) = delete;

    qm::Month Month() const { return month_; }
    QString MonthText() const { return month_.Text(); }

    // Clears the rows and shows the month's stored rows with their marks. A month above the
    // last month with wages has none and opens empty (answers nullopt); else answers the row
    // count. A month that holds wages is always shown, so that a save never replaces rows the
    // sheet did not show.
    std::optional<int> Load();

    // Fills columns 1..2 with the month's staff list; asks first when the sheet holds rows (No,
    // the default, keeps them). Answers the count, or nullopt when the person declined.
    std::optional<int> ImportRoster();

    // Totals, audits and stores every row in one transaction, then paints the marks and shows
    // the messages. Answers whether the month was stored; on a refusal or a failure the
    // stored month is as it was and a message names the row. Only the month as this sheet
    // loaded it (or last stored it) is replaced, and only while the sheet holds all it was given;
    // a sheet that holds one staff number on two rows is refused, naming both persons.
    bool Save();

    // The month has rows that fail the roster or the limits.
    bool HasErrors() const;

    // Whether the sheet holds rows typed, pasted or imported since the last load or save.
    bool Dirty() const { return edits_.Dirty(); }
    // The sheet's edit state: what it was loaded from and the questions before work is given up.
    db::SheetEdits& Edits() { return edits_; }

private:
    void PaintChecked(int row, const WageCheck& c);

    AppContext& ctx_;
    TSheetBook& book_;
    qm::Month month_;
    db::SheetEdits edits_;
};

}  // namespace qm
