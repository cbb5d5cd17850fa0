#include "core/staff/AllputStore.h"

#include "core/staff/MonputStore.h"
#include "core/staff/StaffValues.h"

#include "core/base/ByteIndex.h"
#include "core/base/NumberTwice.h"
#include "core/base/Progress.h"
#include "core/base/RtlText.h"
#include "core/db/Db.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qm {
namespace {

// Nothing but characters up to U+0020, which RtlTrim cuts.
bool Blank(const QString& s) {
    return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() <= 0x20; });
}

}  // namespace

std::optional<std::optional<double>> AllputNumber(const QString& cellText) {
    // The one rule for work years that every form and the upload share.
    const std::optional<db::Value> v = staffvalue::WorkYears(cellText);
    if (!v) return std::nullopt;
    if (v->IsNull()) return std::optional<double>();
    return std::optional<double>(v->AsFloat());
}

std::vector<AllputTexts> AllputStore::Load(db::RowsPrint* print) const {
    return StaffTable(c_).ReadSheetTexts(Month::Start(), {}, print);
}

AllputStore::Unit AllputStore::FirstUnit() const {
    db::Query q(c_);
    q.Open(QStringLiteral("select DepName, DepNo from Dep_Info limit 1"));
    if (q.Eof()) return {};
    return {q.Fields(0).AsString(), q.Fields(1).AsString()};
}

bool AllputStore::HasFailingRows() const { return StaffTable(c_).HasFailedRows(Month::Start()); }

void AllputStore::Save(const std::vector<AllputRow>& rows, StaffColumns columns, db::MonthLoad& loaded,
                       Progress* pb) const {
    const int n = int(rows.size());
    // Two rows of one number would count each wage row of it twice: refused before anything is written.
    if (const auto twice =
            FindNumberTwice(n, [&](int i) { return rows[size_t(i)].Text(SheetColOf(StaffPlain::Number)); }))
        throw staffvalue::NumberTaken(
            rows[size_t(twice->second)].sheetRow,
            staffvalue::NumberTwiceText(rows[size_t(twice->second)].Text(SheetColOf(StaffPlain::Name)), twice->number,
                                        rows[size_t(twice->first)].Text(SheetColOf(StaffPlain::Name)), Month::Start()));
    int current = 0;
    try {
        db::Transaction tr(c_);
        StaffTable table(c_, columns);
        // Only the list the sheet was loaded from is replaced, and only by all of its rows.
        db::CheckReplace(c_, loaded, Month::Start(), table);
        // The duty texts of the list being replaced, by staff number (the first row of a number wins).
        ByteMap duty;
        std::string numberSpare, dutySpare;
        table.StepDuties(Month::Start(), [&](long long id, std::string_view number, std::string_view gw) {
            duty.Put(db::TrimBlankBytes(db::AsRead(number, numberSpare)), db::AsRead(gw, dutySpare), id);
        });
        table.DeleteMonth(Month::Start());

        // Texts are stored as typed, blanks included; a blank cell is null.
        auto text = [](const QString& t) { return Blank(t) ? StoredText() : StoredText(t); };
        table.PrintInserts();
        StaffRecord rec;
        rec.sMon = Month::Start();
        for (int i = 0; i < n; ++i) {
            const AllputRow& row = rows[size_t(i)];
            current = row.sheetRow;
            rec.sName = row.Text(SheetColOf(StaffPlain::Name));  // name and number are never null
            const QString number = RtlTrim(row.Text(SheetColOf(StaffPlain::Number)));
            rec.sNumber = number;
            rec.sBirth = text(row.Text(SheetColOf(StaffPlain::Birth)));
            for (int col : {kWorksCol, kWorkCol}) {
                const QString& t = row.Text(col);
                const auto v = AllputNumber(t);
                if (!v)
                    throw AllputSaveError(row.sheetRow, QStringLiteral("第%1行“%2”的内容“%3”不是数字。")
                                                            .arg(StaffShownRow(row.sheetRow))
                                                            .arg(staffvalue::ColumnName(col), t));
                db::Value& target = col == kWorksCol ? rec.sWorks : rec.sWork;
                if (!*v)
                    target = db::Value();
                else if (std::floor(**v) == **v && std::fabs(**v) < 1e15)
                    target = (long long)(**v);
                else
                    target = **v;
            }
            for (int k = 0; k < kStaffAttrCount; ++k) {
                const StaffAttr a = StaffAttr(k);
                if (!Stores(columns, a)) continue;
                rec.Text(a) = text(row.Text(StaffTextColOf(a)));
                const int codeCol = StaffCodeColOf(a);
                const QString& t = row.Code(codeCol);
                if (Blank(t)) {
                    rec.Code(a).reset();
                    continue;
                }
                const auto v = RtlStrToInt(RtlTrim(t));
                if (!v)
                    throw AllputSaveError(row.sheetRow, QStringLiteral("第%1行“%2”的代码“%3”不是数字。")
                                                            .arg(StaffShownRow(row.sheetRow))
                                                            .arg(QString::fromUtf8(AttrRow(a).caption), t));
                rec.Code(a) = *v;
            }
            const db::Utf8Text key(number);
            const std::optional<std::string_view> d = key.Valid() ? duty.Find(key.View()) : std::nullopt;
            rec.sGw = d ? StoredText(QString::fromUtf8(d->data(), qsizetype(d->size()))) : StoredText();
            rec.sIsok = row.isOk;
            table.Insert(rec);
            if (pb) pb->SetPosition(int(std::trunc(double(i + 1) * 100.0 / double(n) - 10)));
        }
        current = 0;
        // What the month holds now, from the values bound (read back only when their stored form is not known).
        const std::optional<db::RowsPrint> written = table.InsertedPrint();
        const db::RowsPrint stored = written ? *written : table.PrintMonth(Month::Start());
        // Taken while the transaction holds the database: no other commit can come between.
        const db::WriteStamp at = db::StampOf(c_);
        tr.Commit();
        loaded.Loaded(Month::Start(), stored, at, n);
    } catch (const AllputSaveError&) {
        throw;
    } catch (const db::Error& e) {
        if (current > 0)
            throw AllputSaveError(current,
                                  QStringLiteral("第%1行未能保存：%2").arg(StaffShownRow(current)).arg(e.Text()));
        throw AllputSaveError(0, QStringLiteral("期初名单未能保存：%1").arg(e.Text()));
    }
}

}  // namespace qm
