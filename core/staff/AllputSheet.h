#pragma once
// The start-of-period batch sheet (期初) without its widgets: loading the stored list into
// the sheet, the re-check when the form opens, the save, the clear, the paste fix-up and
// the editor lists. The form TFrm_allput paints what this class leaves in the sheet and in
// its state fields; every message goes through the context's dialog service.

#include "core/db/SheetEdits.h"
#include "core/staff/AllputStore.h"
#include "core/staff/CodeLists.h"

#include <QString>
#include <QStringList>

namespace qm {

struct AppContext;
class TSheetBook;

class AllputSheet {
public:
    AllputSheet(TSheetBook& book, AppContext& ctx, const CodeLists& codes);
    ~AllputSheet();
    AllputSheet(const AllputSheet&) = delete;
    AllputSheet& operator=(const AllputSheet&) = delete;

    // Layout by the unit's class: shown columns, an above-size unit hides 15..17 and numbers
    // column 18 "14"; the headers of the number and grade columns as the batch sheet spells them.
    void ApplyLayout();

    // Reloads the sheet with every row of the stored list and runs the load checks on every
    // row. Answers the number of rows. Only a sheet that holds the whole list as stored
    // replaces it when saved.
    int FillSheet();
    // The re-check of the opening: every row's checks and the number test; enables the
    // error-list button when a row fails.
    void Recheck();
    // FillSheet() and Recheck(): what the form does when it becomes active from another
    // window, and what the single-person form asks for after it stored a person.
    void ReloadAndRecheck();

    // The item texts of the six code-list objects ("a;b;c;"), by object name.
    void FillEditorLists();
    static QStringList BirthYears();            // "1932".."2003"
    static constexpr int kBirthYearIndex = 10;  // "1942"

    // Refused: the sheet does not hold the whole list it was loaded from, or the stored list
    // changed since; nothing was stored and the sheet keeps its rows. Cancelled: the person
    // kept rows below an empty name rather than leave them out; nothing was stored.
    enum class SaveResult { NoData, Cancelled, BadNumbers, Failed, Refused, SavedWithErrors, Saved };
    // 生成代码/审核/保存: checks every row and replaces the stored list in one transaction. The
    // current cell stays where it was, unless a refusal sends the person to a row.
    SaveResult Save();

    // 清空: through the main window's clear of the start-of-period rows; empties the sheet
    // only when that cleared them. Answers whether it did.
    bool Clear();

    // After a paste (pop-up or Ctrl+V) on an above-size unit: column 15 (hidden there) of the
    // pasted rows goes to column 18.
    void PasteFixup();

    // 仅显示错误: whether the stored start-of-period list has failing rows; when not, shows
    // "没有错误信息！" and disables the button.
    bool ErrorListHasRows();

    // State the form paints.
    bool ErrorsEnabled() const { return errorsEnabled_; }
    void SetErrorsEnabled(bool on) { errorsEnabled_ = on; }
    const QString& Status() const { return status_; }
    void SetStatus(const QString& text) { status_ = text; }
    const QString& UnitNameLabel() const { return unitName_; }
    const QString& UnitCodeLabel() const { return unitCode_; }
    const QString& CurrentDepNo() const { return currentDepNo_; }

    // Whether the sheet holds edits that are not stored: any change of a cell not made by
    // this class. A reload on activation never runs over them.
    bool Dirty() const { return edits_.Dirty(); }
    void SetDirty(bool on) { edits_.SetDirty(on); }
    // The sheet's edit state: what it was loaded from and the questions before work is given up.
    db::SheetEdits& Edits() { return edits_; }

    TSheetBook& Book() const { return book_; }

private:
    void ResetFonts();

    TSheetBook& book_;
    AppContext& ctx_;
    const CodeLists& codes_;
    bool errorsEnabled_ = false;
    db::SheetEdits edits_;
    QString status_, unitName_, unitCode_, currentDepNo_;
};

}  // namespace qm
