#include "core/wage/WageErrorList.h"

#include "core/db/WageTable.h"

#include "core/base/RtlText.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/sheet/SheetBook.h"
#include "core/wage/WageAudit.h"
#include "core/wage/WageErrorExport.h"
#include "core/wage/WageSheet.h"

#include <QHash>

namespace qm {
namespace {

constexpr int kLastClearedCol = 13;

// The rows the re-check writes, in sheet order: each with the id it updates.
struct Pending {
    int row;
    long long id;
    WageRecord values;
};

// The first written row that would carry a number another row of the month carries once the
// rows are written: stored rows keep their numbers except those the list rewrites. Answers the
// pending row and the name of the other row; nothing when every number stands once.
std::optional<std::pair<const Pending*, QString>> NumberTwice(WageTable& table, Month month,
                                                              const std::vector<Pending>& pending) {
    QHash<long long, const Pending*> written;  // of two list rows with one id, the later is written
    for (const Pending& p : pending) written.insert(p.id, &p);
    QHash<QString, QString> holders;  // number -> the name that carries it
    for (const WageTable::Person& s : table.ReadPeople(month)) {
        const QString number = RtlTrim(s.number);
        if (!written.contains(s.id) && !number.isEmpty() && !holders.contains(number)) holders.insert(number, s.name);
    }
    for (const Pending& p : pending) {
        if (written.value(p.id) != &p || p.values.sNumber.isEmpty()) continue;
        if (const auto h = holders.constFind(p.values.sNumber); h != holders.cend())
            return std::make_pair(&p, h.value());
        holders.insert(p.values.sNumber, p.values.sName);
    }
    return std::nullopt;
}

}  // namespace

QString WageErrorCaption(qm::Month month) { return month.Text() + QStringLiteral("月未输入从业工资错误信息"); }

QString WageErrorCountText(int n) { return QStringLiteral("共有") + QString::number(n) + QStringLiteral("条记录!"); }

WageErrorList::WageErrorList(AppContext& ctx, TSheetBook& book, qm::Month month)
    : ctx_(ctx), book_(book), month_(month) {}

int WageErrorList::Load() {
    const std::vector<WageRecord> rows = WageTable(ctx_.db).ReadFailed(month_);
    const WageRoster roster = WageRoster::Load(ctx_.db, month_);
    const WageLimits limits;
    book_.BeginUpdate();
    book_.ClearRange(kWageFirstRow, 1, book_.MaxRow(), kLastClearedCol, TSheetBook::ClearAll);
    for (size_t i = 0; i < rows.size(); ++i) {
        const WageRecord& rec = rows[i];
        const int r = int(i) + kWageFirstRow;
        book_.SetCellText(r, wagecol::Number, rec.sNumber);
        book_.SetCellText(r, wagecol::Name, rec.sName);
        int c = 3;
        for (const db::Value* v : {&rec.sN1, &rec.sN2, &rec.sN3, &rec.sN4, &rec.sTotal})
            book_.SetCellText(r, c++, v->AsString());
        book_.SetCellText(r, wagecol::Id, QString::number(rec.id));
        const std::optional<QString> staffName = roster.NameOf(RtlTrim(rec.sNumber));
        if (staffName && *staffName == RtlTrim(rec.sName))
            UnmarkCells(book_, r, 1, 2);
        else
            MarkCells(book_, r, 1, 2);
        const QString w = rec.wFlag.value_or(QString());
        if ((w == QLatin1String("0") || w.isEmpty()) && !limits.InRange(rec.sTotal.AsFloat()))
            MarkCells(book_, r, wagecol::Total, wagecol::Total);
    }
    book_.SetSelection(1, 1, 1, 1);
    book_.EndUpdate();
    count_ = int(rows.size());
    return count_;
}

bool WageErrorList::Recheck() {
    const WageRoster roster = WageRoster::Load(ctx_.db, month_);
    const WageAudit audit(roster);
    // Every row is checked and painted first; only a sheet without a bad amount is written, all
    // rows in one transaction, so a refusal or a failure leaves the stored month as it was.
    std::vector<Pending> pending;
    QStringList notStored;  // rows typed into the list: no stored row to update
    for (int r = kWageFirstRow; r <= book_.MaxRow() && !book_.GetCellText(r, wagecol::Name).isEmpty(); ++r) {
        WageLine line;
        ReadWageLine(book_, r, line);
        const WageCheck c = audit.Check(line, NameCleanup::TrimOnly);
        if (c.badColumn) {
            MarkCells(book_, r, c.badColumn, c.badColumn);
            book_.GoTo(r, c.badColumn);
            TellWage(ctx_.ui, WageNotNumberMessage(r, WageColumnHeader(c.badColumn),
                                                   line.amounts[size_t(c.badColumn - wagecol::N1)]));
            return false;
        }
        book_.SetCellText(r, wagecol::Total, c.totalText);
        UnmarkCells(book_, r, wagecol::N1, wagecol::N4);
        if (!c.n[0]) MarkCells(book_, r, wagecol::N1, wagecol::N1);  // no basic wage
        if (c.sFlag)
            UnmarkCells(book_, r, 1, 2);
        else if (c.listed)
            MarkCells(book_, r, 2, 2);
        else
            MarkCells(book_, r, 1, 2);
        if (c.wFlag)
            UnmarkCells(book_, r, wagecol::Total, wagecol::Total);
        else
            MarkCells(book_, r, wagecol::Total, wagecol::Total);

        // Inserted or pasted rows carry no id: there is no stored row to update. A row whose
        // number was cleared is still updated (flagged), so its corrected amounts are not dropped.
        bool idOk = false;
        const qint64 id = RtlTrim(book_.GetCellText(r, wagecol::Id)).toLongLong(&idOk);
        if (!idOk) {
            notStored << QStringLiteral("第%1行（%2）是在本表中插入的行，不在数据库中，未保存；请在工资表中添加。")
                             .arg(WageShownRow(r))
                             .arg(c.name);
            continue;
        }
        // An emptied amount becomes null, so the stored amounts always add up to sTotal.
        WageRecord rec;
        rec.sMon = month_;
        rec.sNumber = c.number;
        rec.sName = c.name;
        rec.sN1 = AmountValue(c.n[0]);
        rec.sN2 = AmountValue(c.n[1]);
        rec.sN3 = AmountValue(c.n[2]);
        rec.sN4 = AmountValue(c.n[3]);
        rec.sTotal = c.total;
        rec.wFlag = c.WFlagText();
        rec.sFlag = c.SFlagText();
        pending.push_back({r, id, rec});
    }
    int at = 0;
    int changed = 0;
    try {
        db::Transaction tx(ctx_.db);
        WageTable table(ctx_.db);
        // One number on two rows of the month would count its wages twice: refused, naming both.
        if (const auto twice = NumberTwice(table, month_, pending)) {
            book_.GoTo(twice->first->row, wagecol::Number);
            ctx_.ui.RefuseSave(WageNumberTwiceMessage(month_, twice->first->values.sName, twice->first->values.sNumber,
                                                      twice->second));
            return false;
        }
        for (const Pending& p : pending) {
            at = p.row;
            changed += table.Update(p.id, p.values);
        }
        at = 0;
        tx.Commit();
    } catch (const db::Error& e) {
        // A failing commit belongs to no one row.
        TellWage(ctx_.ui, at > 0 ? WageRowFailedMessage(at, e.Text())
                                 : QStringLiteral("保存失败，本月已存的数据未改动：\r") + e.Text());
        return false;
    }
    if (changed > 0) stored_ = true;
    if (!notStored.isEmpty()) TellWage(ctx_.ui, notStored.join(QLatin1Char('\n')));
    Load();
    return true;
}

void WageErrorList::Accept() {
    if (WageTable(ctx_.db).AcceptTotals(month_) > 0) stored_ = true;
    book_.ClearRange(kWageFirstRow, wagecol::Total, book_.MaxRow(), wagecol::Total, TSheetBook::ClearFormats);
    Load();
    TellWage(ctx_.ui, QStringLiteral("工资审核性错误确认成功！"));
}

void WageErrorList::DeleteRow(int row) {
    if (row < 2) return;
    bool ok = false;
    const qint64 id = RtlTrim(book_.GetCellText(row, wagecol::Id)).toLongLong(&ok);
    if (!ok) return;
    if (WageTable(ctx_.db).DeleteRow(id) > 0) stored_ = true;
    Load();
}

bool WageErrorList::Export() {
    // The header row goes out as well; the rows in use end at the first empty name, so a row
    // stored without a number is listed too.
    std::vector<std::pair<QString, QString>> rows;
    for (int r = 1; r <= book_.MaxRow() && !book_.GetCellText(r, wagecol::Name).isEmpty(); ++r)
        rows.emplace_back(book_.GetCellText(r, wagecol::Number), book_.GetCellText(r, wagecol::Name));
    return ExportWageErrorWorkbook(ctx_.ui, ctx_.pb, ctx_.paths, month_, rows);
}

}  // namespace qm
