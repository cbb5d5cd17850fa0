#include "core/staff/WrongStore.h"

#include "core/staff/StaffValues.h"

#include <QHash>
#include <QStringList>

namespace qm {

std::vector<WrongRow> LoadErrorRows(db::Connection& c, Month month, int mode) {
    std::vector<WrongRow> rows;
    for (const StaffRecord& r : StaffTable(c).ReadMonth(month)) {
        // Mode 0 the failed rows, 1 the passed ones, any other every row.
        if ((mode == 0 || mode == 1) && r.sIsok != (mode == 0 ? QStringLiteral("0") : QStringLiteral("1"))) continue;
        WrongRow w;
        w.id = r.id;
        w.texts = StaffTextsOf(r);
        for (size_t i = 0; i < w.codes.size(); ++i)
            if (r.code[i]) w.codes[i] = QString::number(*r.code[i]);
        rows.push_back(std::move(w));
    }
    return rows;
}

UnitLabels ReadUnitLabels(db::Connection& c) {
    db::Query q(c);
    q.Open(QStringLiteral("select DepName, DepNo from Dep_Info limit 1"));
    if (q.Eof()) return {};
    return {q.Fields(0).AsString(), q.Fields(1).AsString()};
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

namespace {

// Refuses, before anything is written, a row that would carry a number another row of the month
// carries once the rows are written: the stored rows keep their numbers except those the sheet
// writes, which take the sheet's. Only rows that will be written count (an id of the month and
// work years that are numbers); of two sheet rows with one id, the later is the one written.
void RefuseNumberTwice(db::Connection& c, Month month, int firstRow, int lastRow, const CellReader& cell) {
    struct Stored {
        QString number, name;
    };
    QHash<long long, Stored> stored;
    StaffTable(c).StepPeople(month, [&](long long id, std::string_view number, std::string_view name) {
        stored.insert(id, {RtlTrim(QString::fromUtf8(number.data(), qsizetype(number.size()))),
                           QString::fromUtf8(name.data(), qsizetype(name.size()))});
    });
    QHash<long long, int> written;  // id -> the sheet row written to it
    for (int row = firstRow; row <= lastRow; ++row) {
        bool idOk = false;
        const long long id = TrimLow(cell(row, kStaffIdCol)).toLongLong(&idOk);
        if (idOk && stored.contains(id) && WorkYearsValue(cell(row, kWorksCol)) && WorkYearsValue(cell(row, kWorkCol)))
            written.insert(id, row);
    }
    QHash<QString, QString> holders;  // number -> the name that carries it
    for (auto s = stored.cbegin(); s != stored.cend(); ++s)
        if (!written.contains(s.key()) && !s->number.isEmpty() && !holders.contains(s->number))
            holders.insert(s->number, s->name);
    for (int row = firstRow; row <= lastRow; ++row) {
        bool idOk = false;
        const long long id = TrimLow(cell(row, kStaffIdCol)).toLongLong(&idOk);
        if (!idOk || written.value(id, -1) != row) continue;
        const QString number = StoredNumber(cell(row, 2));
        if (number.isEmpty()) continue;
        if (const auto h = holders.constFind(number); h != holders.cend())
            throw staffvalue::NumberTaken(
                row, staffvalue::NumberTwiceText(CleanName(cell(row, 1)), number, h.value(), month));
        holders.insert(number, CleanName(cell(row, 1)));
    }
}

}  // namespace

WrongSaveReport WriteErrorRows(db::Connection& c, Month month, int firstRow, int lastRow, const CellReader& cell,
                               const std::vector<QString>& flags) {
    RefuseNumberTwice(c, month, firstRow, lastRow, cell);
    WrongSaveReport rep;
    int row = 0;
    QString name;
    try {
        db::Transaction t(c);
        // Every column of the row, whatever the unit's class: the list shows them all.
        StaffTable table(c, StaffColumns::All);
        StaffRecord rec;
        rec.sMon = month;
        for (row = firstRow; row <= lastRow; ++row) {
            name = CleanName(cell(row, 1));
            bool idOk = false;
            const long long id = TrimLow(cell(row, kStaffIdCol)).toLongLong(&idOk);
            if (!idOk) {
                rep.noIdRows.push_back(row);
                continue;
            }
            const auto works = WorkYearsValue(cell(row, kWorksCol));
            const auto work = WorkYearsValue(cell(row, kWorkCol));
            if (!works || !work) {
                for (const BadCell& b : FindNonNumericWorkYears(row, row, cell)) rep.badNumbers.push_back(b);
                continue;
            }
            rec.sName = name;
            rec.sNumber = StoredNumber(cell(row, 2));
            const QString birth = cell(row, 6);
            rec.sBirth = TrimLow(birth).isEmpty() ? StoredText() : StoredText(birth);
            rec.sWorks = *works;
            rec.sWork = *work;
            for (int k = 0; k < kStaffAttrCount; ++k) {
                const StaffAttr a = StaffAttr(k);
                const QString text = cell(row, StaffTextColOf(a));
                rec.Text(a).reset();
                rec.Code(a).reset();
                if (TrimLow(text).isEmpty()) continue;
                rec.Text(a) = text;
                const auto code = CodeValue(cell(row, StaffCodeColOf(a)));
                if (!code)
                    throw SaveFailure(row, name,
                                      QStringLiteral("“%1”的代码无效").arg(QString::fromUtf8(AttrRow(a).caption)));
                if (!code->IsNull()) rec.Code(a) = code->rawInteger();
            }
            const size_t i = size_t(row - firstRow);
            rec.sIsok = i < flags.size() ? flags[i] : QStringLiteral("0");
            if (table.Update(id, rec) == 0)
                rep.notFound.push_back(row);
            else
                ++rep.updated;
        }
        t.Commit();
    } catch (const db::Error& e) {
        if (row < firstRow || row > lastRow) throw SaveFailure(0, QString(), e.Text());
        throw SaveFailure(row, name, e.Text());
    }
    return rep;
}

}  // namespace qm
