#pragma once
// The monthly staff list (月人员维护) without its widgets: loading a month's stored list into
// the sheet with its check pass, the imports from the start of the period or the previous
// month, and the save that checks every row and replaces the month in one transaction. The
// window TFrm_monput lays the sheet out, keeps its buttons and editors, and paints what this
// class leaves in the sheet and its status; every message goes through the context's service.

#include "core/base/AppContext.h"
#include "core/db/SheetEdits.h"
#include "core/staff/CodeLists.h"

#include <QString>

#include <optional>

namespace qm {

class TSheetBook;

class MonputSheet {
public:
    MonputSheet(TSheetBook& book, AppContext& ctx, const CodeLists& codes);

    qm::Month Month() const { return month_; }
    // The list of another month: what the next Load shows.
    void SetMonth(qm::Month m) { month_ = m; }

    // When the window is shown: the data rows' height, and their texts cleared unless the sheet
    // holds unsaved rows.
    void Prepare();
    // Shows the month's stored rows, every one, in entry order, laid out for the unit's class,
    // then runs the check pass of the opening on them. Answers the number of rows.
    int Load();

    // 从期初导入 (nothing: the start of the period) and 从上一月导入: the rows of `from` onto the
    // sheet; a sheet that holds rows is overwritten only when the person says so (No, the
    // default, keeps it). Nothing is stored.
    enum class ImportResult { Declined, Empty, Imported };
    ImportResult Import(std::optional<qm::Month> from);

    // 保存: checks every row and replaces the stored month in one transaction. NoData: the first
    // row holds no name. BadNumbers: a work-years cell is not a number. Cancelled: the person kept
    // rows below an empty name rather than leave them out. Refused: the month is no longer what
    // the sheet was loaded from, or a number stands on two rows. Failed: the database refused.
    // Nothing was stored in any of these. The current cell stays where it was, unless a refusal
    // sends the person to a row.
    enum class SaveResult { NoData, BadNumbers, Cancelled, Refused, Failed, SavedWithErrors, Saved };
    SaveResult Save();

    // The last row of the list: the row above the first one without a name.
    int LastDataRow() const;
    // " 共 N 条", or after an import "共N条，未保存！".
    const QString& Status() const { return status_; }

    bool Dirty() const { return edits_.Dirty(); }
    db::SheetEdits& Edits() { return edits_; }
    // Asked when stored rows of the month changed under a sheet that holds unsaved rows.
    QString DiscardQuestion() const;
    // Whether a sheet opened again keeps its unsaved rows: while a save would still go through;
    // when the month changed since the load, only when the person keeps them (the default).
    bool KeepOnReopen();

    TSheetBook& Book() const { return book_; }

private:
    TSheetBook& book_;
    AppContext& ctx_;
    const CodeLists& codes_;
    qm::Month month_;
    db::SheetEdits edits_;
    QString status_;
};

}  // namespace qm
