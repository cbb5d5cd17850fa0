#include "core/staff/AllputSheet.h"

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/RtlText.h"
#include "core/base/UiService.h"
#include "core/db/StaffTable.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/StaffListWriter.h"
#include "core/staff/StaffRowRules.h"
#include "core/staff/StaffValues.h"
#include "core/staff/WrongStore.h"

#include <algorithm>

namespace qm {

using namespace staffcol;

namespace {
// Loads and clears cover the text columns and the code columns behind them.
constexpr int kLastClearedCol = 40;
}  // namespace

using Quiet = db::SheetEdits::Quiet;  // the sheet's own loads, checks and marks are not edits

AllputSheet::AllputSheet(TSheetBook& book, AppContext& ctx, const CodeLists& codes)
    : book_(book), ctx_(ctx), codes_(codes), edits_(book) {}

AllputSheet::~AllputSheet() = default;

void AllputSheet::ApplyLayout() {
    Quiet q(edits_);
    ApplyStaffLayout(book_, ctx_.state.DepClass);
    // The batch sheet spells two headers of the staff sheet its own way.
    book_.SetCellText(1, Number, QStringLiteral("   姓名     编号"));
    book_.SetCellText(1, Grade, QStringLiteral("具有国家评定的专业技术 等级"));
}

void AllputSheet::ResetFonts() {
    book_.SetSelection(1, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 8);
}

int AllputSheet::FillSheet() {
    Quiet q(edits_);
    ctx_.pb.SetPosition(0);
    book_.BeginUpdate();
    book_.ClearRange(kStaffFirstRow, 1, book_.MaxRow(), kLastClearedCol, TSheetBook::ClearAll);
    AllputStore store(ctx_.db);
    const db::WriteStamp before = db::SheetEdits::BeginLoad(ctx_.db);
    db::RowsFingerprint fingerprint;
    const auto rows = store.Load(&fingerprint);
    status_ = QStringLiteral(" 共 ") + QString::number(rows.size()) + QStringLiteral(" 条");
    StaffRowRules rules(book_, codes_, StaffForm::BatchSheet, ctx_.state.DepClass);
    rules.BeginRun();
    int r = kStaffFirstRow;
    for (const auto& row : rows) {
        for (int c = 0; c < kStaffSheetTexts; ++c)
            if (!row[size_t(c)].isEmpty()) book_.SetCellText(r, c + 1, row[size_t(c)]);
        rules.CheckRow(r, StaffPass::LoadRecheck);
        ++r;
    }
    // The rows the sheet holds: every one, unless a row lay beyond any sheet.
    edits_.EndLoad(Month::Start(), fingerprint, before,
                   std::clamp<long long>(book_.MaxRow() - kStaffFirstRow + 1, 0, (long long)rows.size()));
    if (rules.SexOrPartyFailed()) errorsEnabled_ = true;
    // The labels name the first unit row, as they always have.
    const UnitLabels unit = ReadUnitLabels(ctx_.db);
    unitName_ = QStringLiteral("单位名称：") + unit.depName + QStringLiteral(" ");
    unitCode_ = QStringLiteral("单位法人代码：") + unit.depNo + QStringLiteral(" ");
    currentDepNo_ = unit.depNo;
    ResetFonts();
    book_.SetSelection(1, 1, 1, 1);
    book_.EndUpdate();
    return int(rows.size());
}

void AllputSheet::Recheck() {
    Quiet q(edits_);
    StaffRowRules rules(book_, codes_, StaffForm::BatchSheet, ctx_.state.DepClass);
    book_.BeginUpdate();
    rules.CheckRows(StaffPass::Activation, kStaffFirstRow);
    if (!rules.AllRowsValid()) errorsEnabled_ = true;
    ResetFonts();
    book_.SetSelection(kStaffFirstRow, 1, kStaffFirstRow, 1);
    book_.EndUpdate();
}

void AllputSheet::ReloadAndRecheck() {
    FillSheet();
    Recheck();
}

void AllputSheet::FillEditorLists() {
    Quiet q(edits_);
    const std::pair<const char*, const CodeList*> lists[] = {
        {"XL", &codes_.CodeEduList},    {"GW", &codes_.CodePostList},   {"ZC", &codes_.CodeGradeList0},
        {"JN", &codes_.CodeGradeList1}, {"Role", &codes_.CodeRoleList}, {"Sg", &codes_.CodeCertyList},
    };
    for (const auto& [name, list] : lists) {
        const int id = book_.ObjectIdByName(QString::fromLatin1(name));
        if (id >= 0) book_.SetObjectText(id, CodeItemsText(*list));
    }
}

QStringList AllputSheet::BirthYears() {
    QStringList years;
    for (int y = 1932; y <= 2003; ++y) years << QString::number(y);
    return years;
}

AllputSheet::SaveResult AllputSheet::Save() {
    Quiet q(edits_);
    const SheetRange current = book_.Selection();  // where the person was: the view stays there
    book_.SetSelection(1, 1, 1, 1);
    errorsEnabled_ = false;
    if (book_.GetCellText(kStaffFirstRow, Name).isEmpty()) {
        ctx_.ui.Info(QStringLiteral("第一行没有数据。"));
        return SaveResult::NoData;
    }
    ctx_.pb.SetPosition(0);

    // Checks first (they touch only the sheet), then one transaction for the whole list.
    StaffRowRules rules(book_, codes_, StaffForm::BatchSheet, ctx_.state.DepClass);
    rules.BeginRun();
    std::vector<QString> flags;
    flags.reserve(size_t(std::max(book_.LastUsedRow() - kStaffFirstRow + 1, 0)));
    int stop = kStaffFirstRow;
    book_.BeginUpdate();
    for (; stop <= book_.MaxRow() && !book_.GetCellText(stop, Name).isEmpty(); ++stop) {
        rules.ClearSpace(stop);
        if (book_.GetCellText(stop, Name).isEmpty()) break;  // a name of blanks ends the list
        rules.CheckRow(stop, StaffPass::Save);
        flags.push_back(rules.RowFlag());
    }
    const int last = stop - 1;
    // A failed sex or party check enables the error list at once, whatever the save does next.
    if (rules.SexOrPartyFailed()) errorsEnabled_ = true;
    // Number columns must hold numbers: the database would take any text.
    const CellReader cell = [this](int r, int c) { return book_.GetCellText(r, c); };
    const std::vector<BadCell> bad = FindNonNumericWorkYears(kStaffFirstRow, last, cell);
    QStringList badNumbers;
    for (const BadCell& b : bad) {
        rules.Mark(b.row, b.col);
        badNumbers << QStringLiteral("第%1行的%2“%3”")
                          .arg(StaffShownRow(b.row))
                          .arg(staffvalue::ColumnName(b.col), cell(b.row, b.col));
    }
    book_.SetSelection(current);  // the marks moved the selection, not the person
    book_.EndUpdate();
    if (!bad.empty()) {
        book_.GoTo(bad.front().row, bad.front().col);
        const QString shown = badNumbers.size() > 5
                                  ? badNumbers.mid(0, 5).join(QStringLiteral("、")) + QStringLiteral("等")
                                  : badNumbers.join(QStringLiteral("、"));
        ctx_.ui.Info(QStringLiteral("参加工作年限和本岗位年限须填数字（最多两位小数）：") + shown +
                     QStringLiteral("不是这样的数字。\n请改正后再保存，名单未保存。"));
        errorsEnabled_ = true;
        return SaveResult::BadNumbers;
    }

    // Rows left below the first empty name would be lost without a word.
    const int saving = last - kStaffFirstRow + 1;
    const int left = book_.FilledRowsFrom(stop, 1, kStaffSheetTexts);
    if (left > 0 && !edits_.LeaveRowsOut(ctx_.ui, stop, Name, StaffShownRow(stop), left, saving,
                                         QStringLiteral("期初名单"), StaffTable(ctx_.db).CountMonth(Month::Start())))
        return SaveResult::Cancelled;

    switch (StoreOrTell(ctx_.ui, book_, QStringLiteral("期初名单"), [&] {
        StaffListWriter(ctx_.db, Month::Start(), StaffColumnsFor(ctx_.state.DepClass))
            .Replace({kStaffFirstRow, last, cell, flags}, edits_.Load(), &ctx_.pb);
    })) {
    case StoreOutcome::Refused: return SaveResult::Refused;
    case StoreOutcome::Failed: return SaveResult::Failed;
    case StoreOutcome::Stored: break;
    }
    // Rows left out below an empty name are still the person's unsaved work.
    edits_.Saved(left > 0);
    // The note that the sheet must be saved no longer holds: the count of the stored list does.
    status_ = QStringLiteral(" 共 ") + QString::number(saving) + QStringLiteral(" 条");
    book_.BeginUpdate();
    ResetFonts();
    book_.SetSelection(current);
    book_.EndUpdate();
    const bool ok = rules.AllRowsValid();
    if (ok) {
        ctx_.ui.ConfirmYesOnly(QStringLiteral("[名册清单]保存成功！"));
        if (ctx_.main) ctx_.main->RefreshInitialDataMenus();
    } else {
        ctx_.ui.ConfirmYesOnly(QStringLiteral("出现错误，请核实！"));
        errorsEnabled_ = true;
    }
    if (ctx_.main) {
        ctx_.main->RefreshMonthMenus();
        ctx_.main->RefreshInitialDataMenus();
    }
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
    return ok ? SaveResult::Saved : SaveResult::SavedWithErrors;
}

bool AllputSheet::Clear() {
    if (!ctx_.main || !ctx_.main->N34Click()) return false;
    Quiet q(edits_);
    book_.ClearRange(kStaffFirstRow, 1, book_.MaxRow(), kLastClearedCol, TSheetBook::ClearAll);
    // The sheet now shows the list as stored: none.
    const db::WriteStamp before = db::SheetEdits::BeginLoad(ctx_.db);
    const db::RowsFingerprint stored = StaffTable(ctx_.db).FingerprintMonth(Month::Start());
    edits_.EndLoad(Month::Start(), stored, before, 0);
    status_ = QStringLiteral(" 共 0 条");
    return true;
}

void AllputSheet::PasteFixup() { ApplyAboveSizePaste(book_, ctx_.state.DepClass, book_.LastPaste()); }

bool AllputSheet::ErrorListHasRows() {
    book_.SetSelection(1, 1, 1, 1);
    // Only the start-of-period rows: the list the error list then shows.
    if (AllputStore(ctx_.db).HasFailingRows()) return true;
    ctx_.ui.ConfirmYesOnly(QStringLiteral("没有错误信息！"));
    errorsEnabled_ = false;
    return false;
}

}  // namespace qm
