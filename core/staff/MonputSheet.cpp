#include "core/staff/MonputSheet.h"

#include "core/base/Progress.h"
#include "core/base/RtlText.h"
#include "core/base/UiService.h"
#include "core/db/StaffTable.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/MonputStore.h"
#include "core/staff/StaffListWriter.h"
#include "core/staff/StaffRowRules.h"
#include "core/staff/StaffValues.h"

namespace qm {

namespace {

using Quiet = db::SheetEdits::Quiet;  // the sheet's own loads, checks and marks are not edits

// The columns a load clears: the texts and the code columns the checks write.
constexpr int kLoadedCols = 19;

QString CountStatus(qsizetype n) { return QStringLiteral(" 共 %1 条").arg(n); }

}  // namespace

MonputSheet::MonputSheet(TSheetBook& book, AppContext& ctx, const CodeLists& codes)
    : book_(book), ctx_(ctx), codes_(codes), edits_(book) {}

void MonputSheet::Prepare() {
    Quiet q(edits_);
    book_.SetRowHeight(2, book_.MaxRow(), 310);
    if (!edits_.Dirty()) book_.ClearRange(kStaffFirstRow, 1, book_.MaxRow(), 12, TSheetBook::ClearContents);
}

int MonputSheet::Load() {
    Quiet q(edits_);
    book_.BeginUpdate();
    book_.ClearRange(kStaffFirstRow, 1, book_.MaxRow(), kLoadedCols, TSheetBook::ClearFormats);
    book_.SetSelection(1, 1, book_.MaxRow(), kLoadedCols);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(1, 1, 1, 1);
    book_.ClearRange(kStaffFirstRow, 1, book_.MaxRow(), kLoadedCols, TSheetBook::ClearContents);

    const UnitClass dep = ctx_.state.DepClass;
    ApplyStaffLayout(book_, dep, /*hideByWidth=*/true);
    book_.SetSelection(1, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(kStaffFirstRow, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 10);
    book_.SetSelection(1, 1, 1, 1);

    ctx_.pb.SetPosition(0);
    const db::WriteStamp before = db::SheetEdits::BeginLoad(ctx_.db);
    db::RowsFingerprint fingerprint;
    const std::vector<StaffTexts> rows = LoadMonthRows(ctx_.db, month_, &fingerprint);
    status_ = CountStatus(qsizetype(rows.size()));
    const long long held = PutStaffRows(book_, kStaffFirstRow, rows);

    StaffRowRules rules(book_, codes_, StaffForm::MonthlyList, dep);
    rules.CheckRows(StaffPass::Activation);
    book_.SetSelection(kStaffFirstRow, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(kStaffFirstRow, 1, kStaffFirstRow, 1);
    book_.EndUpdate();
    edits_.EndLoad(month_, fingerprint, before, held);
    return int(rows.size());
}

MonputSheet::ImportResult MonputSheet::Import(std::optional<qm::Month> from) {
    // Yes gives every row on the sheet up: No is the default.
    if (!RtlTrim(book_.GetCellText(kStaffFirstRow, 1)).isEmpty() &&
        !ctx_.ui.AskYesNoDefaultNo(QStringLiteral("导入名单将覆盖上面显示名单，是否继续？")))
        return ImportResult::Declined;
    {
        Quiet q(edits_);
        book_.ClearRange(kStaffFirstRow, 1, book_.MaxRow(), 20, TSheetBook::ClearContents);
    }
    // The sheet no longer shows what is stored; the month it replaces stays the one loaded.
    edits_.Filled(0, 0);
    const std::vector<StaffTexts> rows = from ? ImportMonthRows(ctx_.db, *from) : std::vector<StaffTexts>{};
    if (rows.empty()) {
        ctx_.ui.MessageDlg(QStringLiteral("名册内没有数据！"), DlgKind::Confirmation, DlgButtons::Ok);
        return ImportResult::Empty;
    }
    {
        Quiet q(edits_);
        book_.BeginUpdate();
        edits_.Filled((long long)rows.size(), PutStaffRows(book_, kStaffFirstRow, rows));
        book_.EndUpdate();
    }
    const QString n = QString::number(rows.size());
    ctx_.ui.MessageDlg(QStringLiteral("导入成功，共计") + n + QStringLiteral("人."), DlgKind::Confirmation,
                       DlgButtons::Ok);
    status_ = QStringLiteral("共") + n + QStringLiteral("条，未保存！");
    return ImportResult::Imported;
}

int MonputSheet::LastDataRow() const {
    int r = kStaffFirstRow;
    while (r <= book_.MaxRow() && !book_.GetCellText(r, 1).isEmpty()) ++r;
    return r - 1;
}

MonputSheet::SaveResult MonputSheet::Save() {
    const SheetRange current = book_.Selection();  // where the person was: the view stays there
    book_.SetSelection(1, 1, 1, 1);
    if (book_.GetCellText(kStaffFirstRow, 1).isEmpty()) {
        book_.SetSelection(current);
        ctx_.ui.Info(QStringLiteral("第一行没有数据。"));
        return SaveResult::NoData;
    }
    const int last = LastDataRow();
    std::vector<QString> flags;
    flags.reserve(size_t(last - kStaffFirstRow + 1));
    const UnitClass dep = ctx_.state.DepClass;
    StaffRowRules rules(book_, codes_, StaffForm::MonthlyList, dep);
    {
        Quiet q(edits_);
        book_.BeginUpdate();
        rules.BeginRun();
        for (int r = kStaffFirstRow; r <= last; ++r) {
            rules.CheckRow(r, StaffPass::Save);
            flags.push_back(rules.RowFlag());
        }
        book_.SetSelection(current);  // the marks moved the selection, not the person
        book_.EndUpdate();
    }
    const CellReader cell = [this](int r, int c) { return book_.GetCellText(r, c); };

    // Work years go into number columns: text there is refused before anything is written.
    const std::vector<BadCell> bad = FindNonNumericWorkYears(kStaffFirstRow, last, cell);
    if (!bad.empty()) {
        {
            Quiet q(edits_);
            for (const BadCell& b : bad) {
                book_.SetSelection(b.row, b.col, b.row, b.col);
                book_.SetPattern(TSheetBook::kMarkPattern, 200, 255);
            }
        }
        book_.GoTo(bad.front().row, bad.front().col);
        ctx_.ui.MessageDlg(
            BadCellMessage(bad.front(), book_.GetCellText(bad.front().row, 1)) + QStringLiteral("\n本月名册未保存。"),
            DlgKind::Warning, DlgButtons::Ok);
        return SaveResult::BadNumbers;
    }

    // Filled rows below the first empty name would be left out without a word: ask first.
    const int saving = last - kStaffFirstRow + 1;
    const int left = book_.FilledRowsFrom(last + 1, 1, kStaffTextCols);
    if (left > 0 && !edits_.LeaveRowsOut(ctx_.ui, last + 1, 1, StaffShownRow(last + 1), left, saving,
                                         MonthListName(month_), StaffTable(ctx_.db).CountMonth(month_)))
        return SaveResult::Cancelled;

    switch (StoreOrTell(ctx_.ui, book_, MonthListName(month_), [&] {
        StaffListWriter(ctx_.db, month_, StaffColumnsFor(dep))
            .Replace({kStaffFirstRow, last, cell, flags}, edits_.Load(), &ctx_.pb);
    })) {
    case StoreOutcome::Refused: return SaveResult::Refused;
    case StoreOutcome::Failed: return SaveResult::Failed;
    case StoreOutcome::Stored: break;
    }
    status_ = CountStatus(saving);
    // Rows left out below an empty name are still the person's unsaved work.
    edits_.Saved(left > 0);
    if (rules.AllRowsValid()) {
        ctx_.ui.Info(QStringLiteral("保存成功！"));
        return SaveResult::Saved;
    }
    ctx_.ui.ConfirmYesOnly(QStringLiteral("出现错误，请核实！"));
    return SaveResult::SavedWithErrors;
}

QString MonputSheet::DiscardQuestion() const {
    return month_.Text() + QStringLiteral(
                               "月名册已在库中改动，上面名单的修改尚未保存。\n"
                               "是否放弃未保存的修改，重新显示库中的名单？");
}

bool MonputSheet::KeepOnReopen() {
    StaffTable table(ctx_.db);
    return edits_.KeepOnReopen(ctx_.db, ctx_.ui, month_, table, DiscardQuestion());
}

}  // namespace qm
