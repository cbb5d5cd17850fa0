#include "core/wage/WageSheet.h"

#include "core/base/Progress.h"
#include "core/base/RtlText.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/db/NumberTwice.h"
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"
#include "core/sheet/SheetBook.h"

#include <algorithm>

namespace qm {
namespace {

// The sheet's columns the load clears, from row 2 to its last row.
constexpr int kLastClearedCol = 15;

using Quiet = db::SheetEdits::Quiet;  // the sheet's own loads, totals and marks are not edits

// A row that does not fit the limits: the stored total compared as a number.
bool StoredTotalOutOfRange(const db::Value& total) { return !WageLimits{}.InRange(total.AsFloat()); }

}  // namespace

void MarkCells(TSheetBook& book, int row, int col1, int col2) {
    book.SetSelection(row, col1, row, col2);
    book.SetPattern(TSheetBook::kMarkPattern, 200, 255);
}

void UnmarkCells(TSheetBook& book, int row, int col1, int col2) {
    book.ClearRange(row, col1, row, col2, TSheetBook::ClearFormats);
}

int CountWageLines(const TSheetBook& book) {
    int r = kWageFirstRow;
    while (r <= book.MaxRow() && !book.GetCellText(r, wagecol::Name).isEmpty()) ++r;
    return r - kWageFirstRow;
}

void ReadWageLine(const TSheetBook& book, int row, WageLine& line) {
    line.number = book.GetCellText(row, wagecol::Number);
    line.name = book.GetCellText(row, wagecol::Name);
    for (int k = 0; k < 4; ++k) line.amounts[size_t(k)] = book.GetCellText(row, wagecol::N1 + k);
}

QString WageCountText(int n) { return QStringLiteral("共") + QString::number(n) + QStringLiteral("条"); }

void TellWage(UiService& ui, const QString& text) { ui.MessageDlg(text, DlgKind::Confirmation, DlgButtons::Ok); }

db::Value AmountValue(const std::optional<double>& v) { return v ? db::Value(*v) : db::Value(); }

QString WageNumberTwiceMessage(Month month, const QString& name, const QString& number, const QString& holder) {
    return QStringLiteral(
               "“%1”的姓名编号“%2”在%3月工资中已由“%4”使用，同一月的工资中姓名编号不能重复，"
               "否则报表会把该编号的工资统计两次，请核实！\n本次未保存，已保存的数据没有改变。")
        .arg(RtlTrim(name), RtlTrim(number), month.Text(), RtlTrim(holder));
}

WageSheet::WageSheet(AppContext& ctx, TSheetBook& book, qm::Month month)
    : ctx_(ctx), book_(book), month_(month), edits_(book) {}

WageSheet::~WageSheet() = default;

std::optional<int> WageSheet::Load() {
    Quiet q(edits_);
    book_.BeginUpdate();
    book_.ClearRange(kWageFirstRow, 1, book_.MaxRow(), kLastClearedCol, TSheetBook::ClearAll);
    const db::WriteStamp before = db::SheetEdits::BeginLoad(ctx_.db);
    db::RowsFingerprint fingerprint;
    // A month above the last one with wages has none to show. One that holds wages all the same
    // (another program stored them after the menus were made) shows them: the sheet's save
    // replaces the month, so it must have shown what it replaces.
    const std::vector<WageRecord> rows = WageTable(ctx_.db).ReadMonth(month_, &fingerprint);
    std::optional<int> count;
    if (month_ <= ctx_.state.MaxWageMonth || !rows.empty()) {
        for (size_t i = 0; i < rows.size(); ++i) {
            const WageRecord& w = rows[i];
            const int r = int(i) + kWageFirstRow;
            book_.SetCellText(r, 1, w.sNumber);
            book_.SetCellText(r, 2, w.sName);
            int c = 3;
            for (const db::Value* v : {&w.sN1, &w.sN2, &w.sN3, &w.sN4, &w.sTotal})
                book_.SetCellText(r, c++, v->AsString());
            if (w.sFlag == QStringLiteral("0")) MarkCells(book_, r, 1, 2);
            if (w.wFlag == QStringLiteral("0") && StoredTotalOutOfRange(w.sTotal))
                MarkCells(book_, r, wagecol::Total, wagecol::Total);
        }
        count = int(rows.size());
    }
    edits_.EndLoad(month_, fingerprint, before, std::clamp<long long>(book_.MaxRow() - 1, 0, (long long)rows.size()));
    book_.SetSelection(1, 1, 1, 1);
    book_.EndUpdate();
    return count;
}

std::optional<int> WageSheet::ImportRoster() {
    // Yes gives every typed amount up: No is the default.
    if (!RtlTrim(book_.GetCellText(kWageFirstRow, wagecol::Number)).isEmpty() &&
        !ctx_.ui.AskYesNoDefaultNo(QStringLiteral("导入名单将覆盖上面显示名单，是否继续？")))
        return std::nullopt;
    const std::vector<std::pair<QString, QString>> people = StaffTable(ctx_.db).ReadPeople(month_);
    const int n = int(people.size());
    {
        Quiet q(edits_);
        book_.BeginUpdate();
        book_.ClearRange(kWageFirstRow, 1, book_.MaxRow(), 8, TSheetBook::ClearContents);  // the marks stay
        for (int i = 0; i < n; ++i) {
            book_.SetCellText(i + kWageFirstRow, wagecol::Number, people[size_t(i)].first);
            book_.SetCellText(i + kWageFirstRow, wagecol::Name, people[size_t(i)].second);
        }
        book_.EndUpdate();
    }
    edits_.Filled(n, std::clamp(book_.MaxRow() - 1, 0, n));
    TellWage(ctx_.ui, QStringLiteral("导入成功，共计") + QString::number(n) + QStringLiteral("人."));
    return n;
}

void WageSheet::PaintChecked(int r, const WageCheck& c) {
    book_.SetCellText(r, wagecol::Name, c.name);
    book_.SetCellText(r, wagecol::Total, c.totalText);
    // An amount rounded to the ten-thousandth shows as it was stored and summed.
    for (size_t k = 0; k < c.rounded.size(); ++k)
        if (c.rounded[k]) book_.SetCellText(r, wagecol::N1 + int(k), db::Value(*c.n[k]).AsString());
    UnmarkCells(book_, r, wagecol::N1, wagecol::N4);
    if (c.sFlag)
        UnmarkCells(book_, r, 1, 2);
    else if (c.listed) {
        UnmarkCells(book_, r, 1, 1);
        MarkCells(book_, r, 2, 2);
    } else
        MarkCells(book_, r, 1, 2);
    if (c.wFlag)
        UnmarkCells(book_, r, wagecol::Total, wagecol::Total);
    else
        MarkCells(book_, r, wagecol::Total, wagecol::Total);
}

bool WageSheet::Save() {
    ctx_.pb.SetPosition(2);
    // Whatever happens, the menus follow the stored months and the bar is reset.
    struct Finally {
        AppContext& ctx;
        bool refresh = true;  // not while another program holds the database: nothing changed
        // A destructor must not throw: a failing refresh is shown, never left to end the program.
        ~Finally() {
            try {
                if (ctx.main && refresh) ctx.main->RefreshMonthMenus();
            } catch (...) {
                ShowCurrentException(ctx.ui);
            }
            ctx.pb.SetPosition(100);
            ctx.pb.SetPosition(0);
        }
    };

    const int count = CountWageLines(book_);
    const int stop = count + kWageFirstRow;
    const int left = book_.FilledRowsFrom(stop, wagecol::Number, wagecol::N4);
    std::optional<WageRoster> roster;
    long long stored = 0;  // asked only when rows would be left out
    try {
        if (left > 0) stored = WageTable(ctx_.db).CountMonth(month_);
        roster = WageRoster::Load(ctx_.db, month_, count);
    } catch (const db::Error& e) {
        Finally done{ctx_, !e.Locked()};
        TellWage(ctx_.ui, WageRowFailedMessage(0, WageDbFailureText(e)));
        return false;
    }
    // Filled rows below the first empty name would be left out without a word: ask first.
    if (left > 0 && !edits_.LeaveRowsOut(ctx_.ui, stop, wagecol::Name, WageShownRow(stop), left, count,
                                         month_.Text() + QStringLiteral("月工资"), stored)) {
        Finally done{ctx_};
        return false;
    }

    const WageAudit audit(*roster);
    std::vector<WageCheck> checks;
    checks.reserve(size_t(count));
    // Each row is read as it is checked: the rows' texts are not copied aside first.
    WageLine line;
    for (int i = 0; i < count; ++i) {
        const int r = i + kWageFirstRow;
        ReadWageLine(book_, r, line);
        checks.push_back(audit.Check(line));
        if (const int bad = checks.back().badColumn) {
            // Refused before anything is written: the stored month stays as it was.
            {
                Quiet q(edits_);
                MarkCells(book_, r, bad, bad);
            }
            book_.GoTo(r, bad);
            Finally done{ctx_};
            TellWage(ctx_.ui, WageNotNumberMessage(r, WageColumnHeader(bad), line.amounts[size_t(bad - wagecol::N1)]));
            return false;
        }
    }
    // One number on two rows would count its wages twice in every report: refused, naming both.
    if (const auto twice = FindNumberTwice(count, [&](int i) { return checks[size_t(i)].number; })) {
        const int r = twice->second + kWageFirstRow;
        book_.GoTo(r, wagecol::Number);
        Finally done{ctx_};
        ctx_.ui.RefuseSave(WageNumberTwiceMessage(month_, checks[size_t(twice->second)].name, twice->number,
                                                  checks[size_t(twice->first)].name));
        return false;
    }

    // The sheet row being written when a statement fails; none for the delete and the commit.
    int failedRow = 0;
    try {
        db::Transaction tx(ctx_.db);
        WageTable table(ctx_.db);
        // Only the month the sheet was loaded from is replaced, and only by all of its rows.
        db::CheckReplace(ctx_.db, edits_.Load(), month_, table);
        table.DeleteMonth(month_);
        table.FingerprintInserts();
        const size_t n = checks.size();
        WageSaveRow rec;
        rec.sMon = month_;
        for (size_t at = 0; at < n; ++at) {
            failedRow = int(at) + kWageFirstRow;
            const WageCheck& c = checks[at];
            rec.sNumber = &c.numberUtf8;
            rec.sName = &c.nameUtf8;
            rec.sTotal = c.total;
            rec.sN1 = AmountValue(c.n[0]);
            rec.sN2 = AmountValue(c.n[1]);
            rec.sN3 = AmountValue(c.n[2]);
            rec.sN4 = AmountValue(c.n[3]);
            rec.sFlag = c.sFlag;
            rec.wFlag = c.wFlag;
            table.Insert(rec);
            if ((at & 1023) == 0) ctx_.pb.SetPosition(2 + int(at * 90 / n));
        }
        failedRow = 0;
        // What the month holds now, from the values bound (read back only when their stored form is not known).
        const std::optional<db::RowsFingerprint> written = table.InsertedFingerprint();
        const db::RowsFingerprint now = written ? *written : table.FingerprintMonth(month_);
        // Taken while the transaction holds the database: no other commit can come between.
        const db::WriteStamp at = db::StampOf(ctx_.db);
        tx.Commit();
        edits_.Load().Loaded(month_, now, at, now.rows);
    } catch (const db::MonthNotLoaded& e) {
        Finally done{ctx_, false};
        ctx_.ui.RefuseSave(e.Message(month_.Text() + QStringLiteral("月工资")));
        return false;
    } catch (const db::Error& e) {
        Finally done{ctx_, !e.Locked()};
        TellWage(ctx_.ui, WageRowFailedMessage(e.Locked() ? 0 : failedRow, WageDbFailureText(e)));
        return false;
    }

    QStringList rosterFailed;
    bool limitFailed = false;
    {
        Quiet q(edits_);
        const SheetRange current = book_.Selection();  // the marks move the selection, not the person
        book_.BeginUpdate();
        for (size_t i = 0; i < checks.size(); ++i) {
            PaintChecked(int(i) + kWageFirstRow, checks[i]);
            if (!checks[i].sFlag) rosterFailed << checks[i].number;
            if (!checks[i].wFlag) limitFailed = true;
        }
        book_.SetSelection(current);
        book_.EndUpdate();
    }
    // Rows left out below an empty name are still the person's unsaved work.
    edits_.Saved(left > 0);

    if (!rosterFailed.isEmpty()) TellWage(ctx_.ui, WageRosterMessage(rosterFailed));
    if (limitFailed) TellWage(ctx_.ui, WageLimitMessage());
    if (ctx_.main) ctx_.main->RefreshMonthMenus();
    TellWage(ctx_.ui, WageSavedMessage(month_, int(checks.size())));
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
    return true;
}

bool WageSheet::HasErrors() const { return WageTable(ctx_.db).HasFailed(month_); }

}  // namespace qm
