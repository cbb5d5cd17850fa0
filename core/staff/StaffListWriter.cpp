#include "core/staff/StaffListWriter.h"

#include "core/base/ByteIndex.h"
#include "core/base/Progress.h"
#include "core/base/RtlText.h"
#include "core/base/UiService.h"
#include "core/db/NumberTwice.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/StaffValues.h"

#include <QHash>
#include <QStringList>

namespace qm {

SaveFailure::SaveFailure(int row, QString name, QString reason)
    : std::runtime_error(reason.toStdString()), row_(row), name_(std::move(name)), reason_(std::move(reason)) {}

QString SaveFailure::Message() const {
    if (row_ <= 0) return QStringLiteral("保存失败：%1\n已保存的数据没有改变。").arg(reason_);
    return QStringLiteral("保存失败：第%1行（%2）：%3\n已保存的数据没有改变。")
        .arg(StaffShownRow(row_))
        .arg(name_, reason_);
}

QString WrongSaveReport::Note(const CellReader& cell) const {
    QStringList lines;
    for (int r : noIdRows)
        lines << QStringLiteral("第%1行（%2）是在本表中插入的行，不在数据库中，未保存；请在原名册中添加。")
                     .arg(StaffShownRow(r))
                     .arg(CleanName(cell(r, 1)));
    for (const BadCell& b : badNumbers)
        lines << BadCellMessage(b, CleanName(cell(b.row, 1))) + QStringLiteral("该行未保存。");
    for (int r : notFound)
        lines << QStringLiteral("第%1行（%2）在数据库中已不存在，未保存。")
                     .arg(StaffShownRow(r))
                     .arg(CleanName(cell(r, 1)));
    return lines.join(u'\n');
}

StoreOutcome StoreOrTell(UiService& ui, TSheetBook& book, const QString& what, const std::function<void()>& store) {
    try {
        store();
        return StoreOutcome::Stored;
    } catch (const db::MonthNotLoaded& e) {
        ui.RefuseSave(e.Message(what));
        return StoreOutcome::Refused;
    } catch (const staffvalue::NumberTaken& e) {
        book.GoTo(e.Row(), SheetColOf(StaffPlain::Number));
        ui.RefuseSave(e.Text());
        return StoreOutcome::Refused;
    } catch (const SaveFailure& f) {
        if (f.row() > 0) book.GoTo(f.row(), 1);
        ui.MessageDlg(f.Message(), DlgKind::Error, DlgButtons::Ok);
        return StoreOutcome::Failed;
    }
}

namespace {

StoredText TextOrNull(const QString& s) { return RtlTrim(s).isEmpty() ? StoredText() : StoredText(s); }

// The row's flag; a row the checks gave none fails.
QString FlagOf(const StaffListWriter::Rows& rows, int row) {
    const size_t i = size_t(row - rows.firstRow);
    return i < rows.flags.size() ? rows.flags[i] : QStringLiteral("0");
}

}  // namespace

std::optional<QString> StaffListWriter::Convert(const Rows& rows, int row, StaffRecord& rec) const {
    const CellReader& cell = rows.cell;
    rec.sName = CleanName(cell(row, 1));
    rec.sNumber = RtlTrim(cell(row, 2));
    rec.sBirth = TextOrNull(cell(row, 6));
    for (int col : {kWorksCol, kWorkCol}) {
        const auto v = staffvalue::WorkYears(cell(row, col));
        if (!v) return QStringLiteral("“%1”不是数字").arg(staffvalue::ColumnName(col));
        (col == kWorksCol ? rec.sWorks : rec.sWork) = *v;
    }
    for (int i = 0; i < kStaffAttrCount; ++i) {
        const StaffAttr a = StaffAttr(i);
        if (!Stores(columns_, a)) continue;
        // A blank text is null, and so is its code, whatever the code cell holds.
        rec.Text(a) = TextOrNull(cell(row, StaffTextColOf(a)));
        rec.Code(a).reset();
        const QString code = RtlTrim(cell(row, StaffCodeColOf(a)));
        if (!rec.Text(a) || code.isEmpty()) continue;
        const std::optional<int> v = RtlStrToInt(code);
        if (!v) return QStringLiteral("“%1”的代码无效").arg(QString::fromUtf8(AttrRow(a).caption));
        rec.Code(a) = *v;
    }
    rec.sIsok = FlagOf(rows, row);
    return std::nullopt;
}

void StaffListWriter::RefuseNumberOnTwoRows(const Rows& rows) const {
    const CellReader& cell = rows.cell;
    if (const auto twice = FindNumberTwice(std::max(0, rows.lastRow - rows.firstRow + 1),
                                           [&](int i) { return cell(rows.firstRow + i, 2); })) {
        const int at = rows.firstRow + twice->second;
        throw staffvalue::NumberTaken(
            at, staffvalue::NumberTwiceText(cell(at, 1), twice->number, cell(rows.firstRow + twice->first, 1), month_));
    }
}

void StaffListWriter::Replace(const Rows& rows, db::MonthLoad& loaded, Progress* pb) {
    // Two rows of one number would count each wage row of it twice.
    RefuseNumberOnTwoRows(rows);
    const int count = std::max(rows.lastRow - rows.firstRow + 1, 1);
    int row = 0;
    StaffRecord rec;
    rec.sMon = month_;
    try {
        db::Transaction t(c_);
        StaffTable table(c_, columns_);
        // Only the month the sheet was loaded from is replaced, and only by all of its rows.
        db::CheckReplace(c_, loaded, month_, table);
        // The sheets show no duty: each number keeps the one its replaced row had (the first row of a number wins).
        ByteMap duty;
        std::string numberSpare, dutySpare;
        table.StepDuties(month_, [&](long long id, std::string_view number, std::string_view gw) {
            duty.Put(db::TrimBlankBytes(db::AsRead(number, numberSpare)), db::AsRead(gw, dutySpare), id);
        });
        table.DeleteMonth(month_);
        table.FingerprintInserts();
        for (row = rows.firstRow; row <= rows.lastRow; ++row) {
            if (const std::optional<QString> bad = Convert(rows, row, rec)) throw SaveFailure(row, rec.sName, *bad);
            const db::Utf8Text key(rec.sNumber);
            const std::optional<std::string_view> d = key.Valid() ? duty.Find(key.View()) : std::nullopt;
            rec.sGw = d ? StoredText(QString::fromUtf8(d->data(), qsizetype(d->size()))) : StoredText();
            table.Insert(rec);
            if (pb) pb->SetPosition(int(qint64(row - rows.firstRow + 1) * 100 / count));
        }
        row = 0;  // what fails from here names no row
        // What the month holds now, from the values bound (read back only when their stored form is not known).
        const std::optional<db::RowsFingerprint> written = table.InsertedFingerprint();
        const db::RowsFingerprint stored = written ? *written : table.FingerprintMonth(month_);
        // Taken while the transaction holds the database: no other commit can come between.
        const db::WriteStamp at = db::StampOf(c_);
        t.Commit();
        loaded.Loaded(month_, stored, at, stored.rows);
    } catch (const db::MonthNotLoaded&) {
        if (pb) pb->SetPosition(0);
        throw;
    } catch (const SaveFailure&) {
        if (pb) pb->SetPosition(0);
        throw;
    } catch (const db::Error& e) {
        if (pb) pb->SetPosition(0);
        throw SaveFailure(row, row > 0 ? QString(rec.sName) : QString(), e.Text());
    }
    if (pb) pb->SetPosition(0);
}

// Refuses, before anything is written, a row that would carry a number another row of the month
// carries once the rows are written: the stored rows keep their numbers except those the sheet
// writes, which take the sheet's. Only rows that will be written count (an id of the month and
// work years that are numbers); of two sheet rows with one id, the later is the one written.
void StaffListWriter::RefuseNumberOfAnotherRow(const Rows& rows) const {
    const CellReader& cell = rows.cell;
    struct Stored {
        QString number, name;
    };
    QHash<long long, Stored> stored;
    StaffTable(c_).StepPeople(month_, [&](long long id, std::string_view number, std::string_view name) {
        stored.insert(id, {RtlTrim(QString::fromUtf8(number.data(), qsizetype(number.size()))),
                           QString::fromUtf8(name.data(), qsizetype(name.size()))});
    });
    const auto idOf = [&](int row) {
        bool ok = false;
        const long long id = RtlTrim(cell(row, kStaffIdCol)).toLongLong(&ok);
        return ok ? id : -1;
    };
    QHash<long long, int> written;  // id -> the sheet row written to it
    for (int row = rows.firstRow; row <= rows.lastRow; ++row)
        if (const long long id = idOf(row); stored.contains(id) && staffvalue::WorkYears(cell(row, kWorksCol)) &&
                                            staffvalue::WorkYears(cell(row, kWorkCol)))
            written.insert(id, row);
    QHash<QString, QString> holders;  // number -> the name that carries it
    for (auto s = stored.cbegin(); s != stored.cend(); ++s)
        if (!written.contains(s.key()) && !s->number.isEmpty() && !holders.contains(s->number))
            holders.insert(s->number, s->name);
    for (int row = rows.firstRow; row <= rows.lastRow; ++row) {
        if (written.value(idOf(row), -1) != row) continue;
        const QString number = RtlTrim(cell(row, 2));
        if (number.isEmpty()) continue;
        if (const auto h = holders.constFind(number); h != holders.cend())
            throw staffvalue::NumberTaken(
                row, staffvalue::NumberTwiceText(CleanName(cell(row, 1)), number, h.value(), month_));
        holders.insert(number, CleanName(cell(row, 1)));
    }
}

WrongSaveReport StaffListWriter::Update(const Rows& rows) {
    RefuseNumberOfAnotherRow(rows);
    const CellReader& cell = rows.cell;
    WrongSaveReport rep;
    int row = 0;
    StaffRecord rec;
    rec.sMon = month_;
    try {
        db::Transaction t(c_);
        StaffTable table(c_, columns_);
        for (row = rows.firstRow; row <= rows.lastRow; ++row) {
            bool idOk = false;
            const long long id = RtlTrim(cell(row, kStaffIdCol)).toLongLong(&idOk);
            if (!idOk) {
                rep.noIdRows.push_back(row);
                continue;
            }
            if (const std::vector<BadCell> bad = FindNonNumericWorkYears(row, row, cell); !bad.empty()) {
                rep.badNumbers.insert(rep.badNumbers.end(), bad.begin(), bad.end());
                continue;
            }
            if (const std::optional<QString> bad = Convert(rows, row, rec)) throw SaveFailure(row, rec.sName, *bad);
            if (table.Update(id, rec) == 0)
                rep.notFound.push_back(row);
            else
                ++rep.updated;
        }
        row = 0;
        t.Commit();
    } catch (const db::Error& e) {
        throw SaveFailure(row, row > 0 ? QString(rec.sName) : QString(), e.Text());
    }
    return rep;
}

}  // namespace qm
