#include "core/staff/WrongStore.h"

#include <QStringList>

namespace qm {

namespace {

const char* const kCodeFields[] = {"sSex", "sNation", "sParty", "sEducation", "sPost", "sPostGrade", "sJGrade",
                                   "ssf",  "sqrz",    "sgc",    "sjzs",       "ssg",   "syg"};

// The coded pairs in the update's order (text column, text field, code column, code field).
struct Pair {
    int textCol;
    const char* textField;
    int codeCol;
    const char* codeField;
};
const Pair kPairs[] = {{3, "sTSex", 25, "sSex"},           {4, "sTnation", 26, "sNation"},
                       {5, "sTParty", 27, "sParty"},       {9, "sTEdu", 28, "sEducation"},
                       {10, "sTPost", 29, "sPost"},        {11, "sTGrade", 30, "sPostGrade"},
                       {12, "sTJGrade", 31, "sJGrade"},    {13, "sTsf", 32, "ssf"},
                       {14, "sTqrz", 33, "sqrz"},          {15, "sTgc", 34, "sgc"},
                       {16, "sTjzs", 35, "sjzs"},          {17, "sTsg", 36, "ssg"},
                       {18, "sTyg", 37, "syg"}};

QString UpdateSql() {
    QStringList sets{QStringLiteral("sName=?"), QStringLiteral("sNumber=?"), QStringLiteral("sBirth=?"),
                     QStringLiteral("sWorks=?"), QStringLiteral("sWork=?")};
    for (const Pair& p : kPairs) {
        sets << QStringLiteral("%1=?").arg(QLatin1String(p.textField));
        sets << QStringLiteral("%1=?").arg(QLatin1String(p.codeField));
    }
    sets << QStringLiteral("sIsok=?");
    return QStringLiteral("update Staff_moninfo set %1 where id=? and sMon=?").arg(sets.join(u','));
}

}  // namespace

std::vector<WrongRow> LoadErrorRows(db::Connection& c, int month, int mode) {
    QString sql = QStringLiteral("select * from Vmon where sMon=?");
    if (mode == 0) sql += QStringLiteral(" and sIsOk='0'");
    else if (mode == 1) sql += QStringLiteral(" and sIsOk='1'");
    sql += QStringLiteral(" order by id");
    db::Query q(c);
    q.Open(sql, {month});
    std::vector<WrongRow> rows;
    rows.reserve(size_t(q.RecordCount()));
    for (q.First(); !q.Eof(); q.Next()) {
        WrongRow w;
        w.id = q.FieldByName(QStringLiteral("id")).AsInteger();
        w.texts = StaffTextsOf(q);
        for (size_t i = 0; i < w.codes.size(); ++i) w.codes[i] = q.FieldByName(QLatin1String(kCodeFields[i])).AsString();
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

int ListMonth(const std::optional<Month>& currentMonth) { return currentMonth.value_or(Month::Start()).Number(); }

QString WrongSaveReport::Note(const CellReader& cell) const {
    QStringList lines;
    for (int r : noIdRows)
        lines << QStringLiteral("第%1行（%2）是在本表中插入的行，不在数据库中，未保存；请在原名册中添加。")
                     .arg(r)
                     .arg(CleanName(cell(r, 1)));
    for (const BadCell& b : badNumbers) lines << BadCellMessage(b, CleanName(cell(b.row, 1))) + QStringLiteral("该行未保存。");
    for (int r : notFound)
        lines << QStringLiteral("第%1行（%2）在数据库中已不存在，未保存。").arg(r).arg(CleanName(cell(r, 1)));
    return lines.join(u'\n');
}

WrongSaveReport WriteErrorRows(db::Connection& c, int month, int firstRow, int lastRow, const CellReader& cell,
                               const std::vector<QString>& flags) {
    WrongSaveReport rep;
    const QString sql = UpdateSql();
    int row = 0;
    QString name;
    try {
        db::Transaction t(c);
        db::Params p;
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
            p.clear();
            p.emplace_back(name);
            p.emplace_back(StoredNumber(cell(row, 2)));
            const QString birth = cell(row, 6);
            p.push_back(TrimLow(birth).isEmpty() ? db::Value() : db::Value(birth));
            p.push_back(*works);
            p.push_back(*work);
            for (const Pair& pr : kPairs) {
                const QString text = cell(row, pr.textCol);
                if (TrimLow(text).isEmpty()) {
                    p.emplace_back();
                    p.emplace_back();
                    continue;
                }
                p.emplace_back(text);
                const auto code = CodeValue(cell(row, pr.codeCol));
                if (!code) throw SaveFailure(row, name, QStringLiteral("第%1列的代码无效").arg(pr.textCol));
                p.push_back(*code);
            }
            const size_t i = size_t(row - firstRow);
            p.emplace_back(i < flags.size() ? flags[i] : QStringLiteral("0"));
            p.emplace_back(id);
            p.emplace_back(month);
            if (c.Exec(sql, p) == 0) rep.notFound.push_back(row);
            else ++rep.updated;
        }
        t.Commit();
    } catch (const db::Error& e) {
        if (row < firstRow || row > lastRow) throw SaveFailure(0, QString(), e.Text());
        throw SaveFailure(row, name, e.Text());
    }
    return rep;
}

}  // namespace qm
