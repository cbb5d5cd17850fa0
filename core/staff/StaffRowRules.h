#pragma once
// The staff-row rules shared by the three staff sheets (the start-of-period batch sheet, the
// monthly staff list and the staff error list): the column map, the layout by unit kind, and
// the checks that code each column, mark failing cells red, clear passing ones and give the
// row flag that is stored as sIsok. The checks work on a TSheetBook and need no widget.

#include "core/base/UnitClass.h"
#include "core/db/StaffTable.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/CodeLists.h"

#include <QString>

#include <array>
#include <optional>

namespace qm {

// The staff sheet's columns, as the staff table's registry places them: the shown texts
// first, the codes in the columns after them.
namespace staffcol {
inline constexpr int Name = SheetColOf(StaffPlain::Name), Number = SheetColOf(StaffPlain::Number),
                     Birth = SheetColOf(StaffPlain::Birth), Works = SheetColOf(StaffPlain::Works),
                     Work = SheetColOf(StaffPlain::Work);
inline constexpr int Sex = SheetColOf(StaffAttr::Sex), Nation = SheetColOf(StaffAttr::Nation),
                     Party = SheetColOf(StaffAttr::Party), Edu = SheetColOf(StaffAttr::Edu),
                     Post = SheetColOf(StaffAttr::Post), Grade = SheetColOf(StaffAttr::Grade),
                     JGrade = SheetColOf(StaffAttr::JGrade), Role = SheetColOf(StaffAttr::Role),
                     FullTime = SheetColOf(StaffAttr::FullTime), Engineer = SheetColOf(StaffAttr::Engineer),
                     Builder = SheetColOf(StaffAttr::Builder), Site = SheetColOf(StaffAttr::Site),
                     Production = SheetColOf(StaffAttr::Production);
inline constexpr int CodeSex = CodeColOf(StaffAttr::Sex), CodeNation = CodeColOf(StaffAttr::Nation),
                     CodeParty = CodeColOf(StaffAttr::Party), CodeEdu = CodeColOf(StaffAttr::Edu),
                     CodePost = CodeColOf(StaffAttr::Post), CodeGrade = CodeColOf(StaffAttr::Grade),
                     CodeJGrade = CodeColOf(StaffAttr::JGrade), CodeRole = CodeColOf(StaffAttr::Role),
                     CodeFullTime = CodeColOf(StaffAttr::FullTime), CodeEngineer = CodeColOf(StaffAttr::Engineer),
                     CodeBuilder = CodeColOf(StaffAttr::Builder), CodeSite = CodeColOf(StaffAttr::Site),
                     CodeProduction = CodeColOf(StaffAttr::Production);
inline constexpr int ErrorListId = kStaffLastCodeCol + 1;  // the staff error list keeps the row's id here
// The code column of a text column, 0 when it has none.
int CodeColumnOf(int textCol);
}  // namespace staffcol

// The list object of the staff sheet template that offers an attribute's texts.
const char* StaffListObject(StaffAttr a);
// How many rows below its cell a form's list of the attribute reaches: the short lists of
// sex and the two yes/no pairs 3 (party `partyRows`), the long post list 16, others 9.
int StaffListRows(StaffAttr a, int partyRows);

// Which form runs the rules; where the forms behave differently the variant decides.
enum class StaffForm { BatchSheet, MonthlyList, ErrorList };

// Which pass of that form runs them.
//  Save        — the save: blanks removed from the name first, number test last.
//  Activation  — the display pass when the form opens (error list: number test first, pattern 20;
//                monthly list: column 18 of an above-size unit not checked).
//  LoadRecheck — the batch sheet's load re-check: no number test.
//  ShowErrors  — the error list's "显示错误" pass: the column checks without the number test.
enum class StaffPass { Save, Activation, LoadRecheck, ShowErrors };

// Columns by the unit's class: other 14 shown; above-size 18 shown with 15..17 hidden, only
// 18 checked; construction 18 shown and checked; an unknown class 18 shown, none checked.
struct StaffLayout {
    int maxCol = 18;
    bool hide15to17 = false;
    bool check15to17 = false;
    bool check18 = false;
};
StaffLayout StaffLayoutFor(UnitClass cls);
// Sets MaxCol, hides 15..17 on an above-size unit (by width 0 when hideByWidth, as the
// monthly list does) and writes "14" into (2,18) there.
void ApplyStaffLayout(TSheetBook& book, UnitClass cls, bool hideByWidth = false);

// After a paste on an above-size unit, whose layout hides 15..17: a block from a 15-column
// layout brings its production column into hidden column 15, where it does not belong. For
// every row of a pasted block that covers column 15 and brought a text there, column 18 :=
// that text, "0" written as "否"; column 15 keeps it. Rows outside the block are left alone.
void ApplyAboveSizePaste(TSheetBook& book, UnitClass cls, const std::optional<SheetRange>& pasted);

class StaffRowRules {
public:
    StaffRowRules(TSheetBook& book, const CodeLists& codes, StaffForm form, UnitClass cls);

    // All-rows flag := 1; the sex/party failure note := false.
    void BeginRun();
    // Runs every check of the pass on one row in the fixed order. The row flag starts at "1";
    // answers whether it stayed so.
    bool CheckRow(int row, StaffPass pass);
    // BeginRun, then CheckRow from firstRow down to the first row with an empty column 1;
    // answers the number of rows checked.
    int CheckRows(StaffPass pass, int firstRow = kStaffFirstRow);

    QString RowFlag() const { return rowFlag_; }  // "1" or "0", stored as sIsok
    bool AllRowsValid() const { return allRowsValid_; }
    // The batch sheet enables its "仅显示错误" button when a sex or party check failed.
    bool SexOrPartyFailed() const { return sexOrPartyFailed_; }

    // The single checks, for forms that re-check one cell after an editor pick.
    void ClearSpace(int row);
    void GetSexCode(int row);
    void GetNationCode(int row);
    void GetPartyCode(int row);
    void CheckBirthday(int row);
    void GetEduCode(int row);
    void GetPostCode(int row);
    void CheckGwy(int row);
    void GetPost3Code(int row);
    void GetPost2Code(int row);
    void GetRoleCode(int row);
    void GetCertyCode(int row, int col, int codeCol);
    // The number: empty (blanks only), control characters or longer than the upload's field.
    void CheckNumber(int row, int pattern);
    // The name: no control characters.
    void CheckName(int row);

    // Mark: red fill (the pattern), empty code cell, row and run flags lowered.
    void Mark(int row, int col, int codeCol = 0, int pattern = 18);
    // Clear: the cell's formats (kind 2), which removes an earlier mark.
    void ClearMark(int row, int col);

    // The birth-date normalisation on its own: the text the cell is left with and whether it
    // passes. Passing dates come out as "YYYY-MM".
    struct Birth {
        QString text;
        bool ok = false;
    };
    static Birth NormaliseBirth(const QString& cellText);

private:
    // The attribute's text looked up in its code list.
    void ListCheck(int row, StaffAttr a);
    // A yes/no attribute: its list, and the shorthands "1" and "0" rewritten to its fixed texts.
    void YesNoCheck(int row, StaffAttr a, int codeCol);
    // The code of a text in the attribute's list, as AttrCode gives it. The sheet keeps one
    // string per distinct text, so a text met before is known by its storage and its list is
    // not scanned again; the memo holds the string, which therefore cannot be freed and its
    // storage reused by another text meanwhile.
    std::optional<int> ListCode(StaffAttr a, const QString& text);
    struct Memo {
        QString text;
        std::optional<int> code;
        bool held = false;
    };
    static constexpr int kMemoSlots = 16;
    std::array<std::array<Memo, kMemoSlots>, kStaffAttrCount> memo_{};

    TSheetBook& book_;
    const CodeLists& codes_;
    StaffForm form_;
    StaffLayout layout_;
    bool organ_ = false;
    QString rowFlag_ = QStringLiteral("1");
    bool allRowsValid_ = true;
    bool sexOrPartyFailed_ = false;
};

}  // namespace qm
