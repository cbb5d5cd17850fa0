#include "core/staff/MonputStore.h"

#include "core/staff/StaffValues.h"

#include "core/base/ByteIndex.h"
#include "core/base/NumberTwice.h"
#include "core/base/Progress.h"
#include "core/sheet/SheetBook.h"

#include <algorithm>

namespace qm {

namespace {

StoredText TextOrNull(const QString& s) { return TrimLow(s).isEmpty() ? StoredText() : StoredText(s); }

}  // namespace

std::optional<db::Value> WorkYearsValue(const QString& text) { return staffvalue::WorkYears(text); }

std::optional<db::Value> CodeValue(const QString& text) {
    const QString t = TrimLow(text);
    if (t.isEmpty()) return db::Value();
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return db::Value(v);
}

// Only the shown texts are kept, for every row of the month.
std::vector<StaffTexts> LoadMonthRows(db::Connection& c, Month month, db::RowsPrint* print) {
    return StaffTable(c).ReadSheetTexts(month, {}, print);
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
        if (!WorkYearsValue(cell(r, kWorksCol))) bad.push_back({r, kWorksCol, QStringLiteral("参加工作年限")});
        if (!WorkYearsValue(cell(r, kWorkCol))) bad.push_back({r, kWorkCol, QStringLiteral("其中本岗位年限")});
    }
    return bad;
}

QString BadCellMessage(const BadCell& bad, const QString& name) {
    return QStringLiteral("第%1行（%2）的“%3”不是数字，请核实！").arg(StaffShownRow(bad.row)).arg(name, bad.header);
}

SaveFailure::SaveFailure(int row, QString name, QString reason)
    : std::runtime_error(reason.toStdString()), row_(row), name_(std::move(name)), reason_(std::move(reason)) {}

QString SaveFailure::Message() const {
    if (row_ <= 0) return QStringLiteral("保存失败：%1\n已保存的数据没有改变。").arg(reason_);
    return QStringLiteral("保存失败：第%1行（%2）：%3\n已保存的数据没有改变。")
        .arg(StaffShownRow(row_))
        .arg(name_, reason_);
}

void WriteMonth(db::Connection& c, Month month, StaffColumns set, int firstRow, int lastRow, const CellReader& cell,
                const std::vector<QString>& flags, db::MonthLoad& loaded, Progress* pb) {
    // Two rows of one number would count each wage row of it twice: refused before anything is written.
    if (const auto twice =
            FindNumberTwice(std::max(0, lastRow - firstRow + 1), [&](int i) { return cell(firstRow + i, 2); })) {
        const int at = firstRow + twice->second;
        throw staffvalue::NumberTaken(
            at, staffvalue::NumberTwiceText(cell(at, 1), twice->number, cell(firstRow + twice->first, 1), month));
    }
    const int scale = ProgressScale(lastRow);
    int row = 0;
    QString name;
    try {
        db::Transaction t(c);
        StaffTable table(c, set);
        // Only the month the sheet was loaded from is replaced, and only by all of its rows.
        db::CheckReplace(c, loaded, month, table);
        // The sheet shows no duty: each number keeps the one its replaced row had (the first row of a number wins).
        ByteMap duty;
        std::string numberSpare, dutySpare;
        table.StepDuties(month, [&](long long id, std::string_view number, std::string_view gw) {
            duty.Put(db::TrimBlankBytes(db::AsRead(number, numberSpare)), db::AsRead(gw, dutySpare), id);
        });
        table.DeleteMonth(month);
        table.PrintInserts();
        StaffRecord r;
        r.sMon = month;
        for (row = firstRow; row <= lastRow; ++row) {
            name = CleanName(cell(row, 1));
            r.sName = name;
            r.sNumber = StoredNumber(cell(row, 2));
            const db::Utf8Text key(r.sNumber);
            const std::optional<std::string_view> d = key.Valid() ? duty.Find(key.View()) : std::nullopt;
            r.sGw = d ? StoredText(QString::fromUtf8(d->data(), qsizetype(d->size()))) : StoredText();
            r.sBirth = TextOrNull(cell(row, 6));
            for (int col : {kWorksCol, kWorkCol}) {
                auto v = WorkYearsValue(cell(row, col));
                if (!v) throw SaveFailure(row, name, QStringLiteral("“%1”不是数字").arg(staffvalue::ColumnName(col)));
                (col == kWorksCol ? r.sWorks : r.sWork) = *v;
            }
            for (int i = 0; i < kStaffAttrCount; ++i) {
                const StaffAttr a = StaffAttr(i);
                if (!Stores(set, a)) continue;
                r.Text(a) = TextOrNull(cell(row, StaffTextColOf(a)));
                auto v = CodeValue(cell(row, StaffCodeColOf(a)));
                if (!v)
                    throw SaveFailure(row, name,
                                      QStringLiteral("“%1”的代码无效").arg(QString::fromUtf8(AttrRow(a).caption)));
                r.Code(a) = v->IsNull() ? std::optional<long long>() : std::optional<long long>(v->rawInteger());
            }
            const size_t i = size_t(row - firstRow);
            r.sIsok = i < flags.size() ? flags[i] : QStringLiteral("0");
            table.Insert(r);
            if (pb) pb->SetPosition(int(qint64(row) * 100 / scale));
        }
        row = 0;  // what fails from here names no row
        // What the month holds now, from the values bound (read back only when their stored form is not known).
        const std::optional<db::RowsPrint> written = table.InsertedPrint();
        const db::RowsPrint stored = written ? *written : table.PrintMonth(month);
        // Taken while the transaction holds the database: no other commit can come between.
        const db::WriteStamp at = db::StampOf(c);
        t.Commit();
        loaded.Loaded(month, stored, at, stored.rows);
    } catch (const db::MonthNotLoaded&) {
        if (pb) pb->SetPosition(0);
        throw;
    } catch (const SaveFailure&) {
        if (pb) pb->SetPosition(0);
        throw;
    } catch (const db::Error& e) {
        if (pb) pb->SetPosition(0);
        // A failure outside the row loop (the delete or the commit) names no row.
        if (row < firstRow || row > lastRow) throw SaveFailure(0, QString(), e.Text());
        throw SaveFailure(row, name, e.Text());
    }
    if (pb) pb->SetPosition(0);
}

int ProgressScale(int lastRow) { return lastRow < 1 ? 1 : lastRow; }

}  // namespace qm
