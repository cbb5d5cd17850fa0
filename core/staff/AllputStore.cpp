#include "core/staff/AllputStore.h"

#include "core/staff/StaffValues.h"

#include "core/base/RtlText.h"
#include "core/db/Db.h"
#include "core/base/Progress.h"

#include <QHash>

#include <charconv>
#include <cmath>

namespace qm {
namespace {

// The text columns of the sheet, as the views name them.
const char* const kLoadColumns =
    "sName, sNumber, sTsex, sTnation, sTparty, sBirth, sWorks, sWork, sTEdu, sTPost, sTGrade, sTJGrade, "
    "sTsf, sTqrz, sTgc, sTjzs, sTsg, sTyg";

struct Column {
    const char* name;
    int sheetCol;
};
// Stored columns in statement order; the class adds its optional ones.
constexpr Column kBaseText[] = {{"sTsex", 3},   {"sTnation", 4}, {"sTparty", 5}, {"sBirth", 6},
                                {"sWorks", 7},  {"sWork", 8},    {"sTedu", 9},   {"sTpost", 10},
                                {"sTGrade", 11}, {"sTJGrade", 12}, {"sTsf", 13}, {"sTqrz", 14}};
constexpr Column kConstructionText[] = {{"sTgc", 15}, {"sTjzs", 16}, {"sTsg", 17}, {"sTyg", 18}};
constexpr Column kAboveSizeText[] = {{"sTyg", 18}};
constexpr Column kBaseCode[] = {{"sSex", 25},      {"sNation", 26}, {"sParty", 27},
                                {"sEducation", 28}, {"sPost", 29},   {"sPostGrade", 30},
                                {"sJGrade", 31},   {"ssf", 32},     {"sqrz", 33}};
constexpr Column kConstructionCode[] = {{"sgc", 34}, {"sjzs", 35}, {"ssg", 36}, {"syg", 37}};
constexpr Column kAboveSizeCode[] = {{"syg", 37}};

struct Layout {
    std::vector<Column> text, code;
};

Layout LayoutFor(AllputColumns cls) {
    Layout l;
    l.text.assign(std::begin(kBaseText), std::end(kBaseText));
    l.code.assign(std::begin(kBaseCode), std::end(kBaseCode));
    if (cls == AllputColumns::Construction) {
        l.text.insert(l.text.end(), std::begin(kConstructionText), std::end(kConstructionText));
        l.code.insert(l.code.end(), std::begin(kConstructionCode), std::end(kConstructionCode));
    } else if (cls == AllputColumns::AboveSize) {
        l.text.insert(l.text.end(), std::begin(kAboveSizeText), std::end(kAboveSizeText));
        l.code.insert(l.code.end(), std::begin(kAboveSizeCode), std::end(kAboveSizeCode));
    }
    return l;
}

QString InsertSql(const Layout& l) {
    QString cols = QStringLiteral("sName,sNumber");
    for (const Column& c : l.text) cols += QLatin1Char(',') + QLatin1String(c.name);
    for (const Column& c : l.code) cols += QLatin1Char(',') + QLatin1String(c.name);
    cols += QStringLiteral(",sGw,sIsok,sMon");
    const int n = 2 + int(l.text.size()) + int(l.code.size()) + 2;
    QString marks;
    for (int i = 0; i < n; ++i) marks += QStringLiteral("?,");
    return QStringLiteral("insert into Staff_moninfo (") + cols + QStringLiteral(") values (") + marks +
           QStringLiteral("0)");
}

bool Blank(const QString& s) { return RtlTrim(s).isEmpty(); }

QString ColumnName(int col) {
    static const char* const kHeads[] = {"姓名", "姓名编号", "性别", "少数民族", "中共党员", "出生年月",
                                         "参加工作年限", "其中本岗位年限"};
    return col >= 1 && col <= 8 ? QString::fromUtf8(kHeads[col - 1]) : QString::number(col);
}

}  // namespace

AllputColumns AllputColumnsFor(UnitClass cls) {
    if (cls.IsConstruction()) return AllputColumns::Construction;
    if (cls.IsAboveSize()) return AllputColumns::AboveSize;
    return AllputColumns::Base;
}

std::optional<std::optional<double>> AllputNumber(const QString& cellText) {
    // The one rule for work years that every form and the upload share.
    const std::optional<db::Value> v = staffvalue::WorkYears(cellText);
    if (!v) return std::nullopt;
    if (v->IsNull()) return std::optional<double>();
    return std::optional<double>(v->AsFloat());
}

std::vector<std::array<QString, 18>> AllputStore::Load(int filter) const {
    db::Query probe(c_);
    probe.Open(QStringLiteral("select 1 from Vmon where sMon=0 limit 1"));
    const QString view = probe.Eof() ? QStringLiteral("V") : QStringLiteral("Vmon");
    const QString cond = filter == 0   ? QStringLiteral("sIsOk='0'")
                         : filter == 1 ? QStringLiteral("sIsOk='1'")
                                       : QStringLiteral("'1'='1'");
    db::Query q(c_);
    q.Open(QStringLiteral("select ") + QLatin1String(kLoadColumns) + QStringLiteral(" from ") + view +
           QStringLiteral(" where sMon=0 and ") + cond + QStringLiteral(" order by id"));
    std::vector<std::array<QString, 18>> out(size_t(q.RecordCount()));
    for (int r = 0; r < q.RecordCount(); ++r)
        for (int c = 0; c < 18; ++c) out[size_t(r)][size_t(c)] = q.ValueAt(r, c).AsString();
    return out;
}

AllputStore::Unit AllputStore::FirstUnit() const {
    db::Query q(c_);
    q.Open(QStringLiteral("select DepName, DepNo from Dep_Info limit 1"));
    if (q.Eof()) return {};
    return {q.Fields(0).AsString(), q.Fields(1).AsString()};
}

bool AllputStore::HasFailingRows() const {
    db::Query q(c_);
    q.Open(QStringLiteral("select 1 from V where sMon=0 and sIsOk='0' limit 1"));
    return !q.Eof();
}

void AllputStore::Save(const std::vector<AllputRow>& rows, AllputColumns columns, Progress* pb) const {
    const Layout layout = LayoutFor(columns);
    const QString sql = InsertSql(layout);
    const int n = int(rows.size());
    int current = 0;
    try {
        db::Transaction tr(c_);
        // The duty texts of the list being replaced, by staff number (the first row of a number wins).
        QHash<QString, QString> duty;
        {
            db::Query q(c_);
            q.Open(QStringLiteral("select sNumber, sGw from Staff_moninfo where sMon=0 and sGw is not null order by id"));
            for (int r = 0; r < q.RecordCount(); ++r) {
                const QString number = RtlTrim(q.ValueAt(r, 0).AsString());
                if (!duty.contains(number)) duty.insert(number, q.ValueAt(r, 1).AsString());
            }
        }
        c_.Exec(QStringLiteral("delete from Staff_moninfo where sMon=0"));

        db::Params p;
        p.reserve(2 + layout.text.size() + layout.code.size() + 2);
        for (int i = 0; i < n; ++i) {
            const AllputRow& row = rows[size_t(i)];
            current = row.sheetRow;
            p.clear();
            p.emplace_back(row.Text(1));  // name and number are never null
            const QString number = RtlTrim(row.Text(2));
            p.emplace_back(number);
            for (const Column& c : layout.text) {
                const QString& t = row.Text(c.sheetCol);
                if (c.sheetCol == 7 || c.sheetCol == 8) {
                    const auto v = AllputNumber(t);
                    if (!v)
                        throw AllputSaveError(row.sheetRow, QStringLiteral("第%1行“%2”的内容“%3”不是数字。")
                                                                .arg(row.sheetRow)
                                                                .arg(ColumnName(c.sheetCol), t));
                    if (!*v)
                        p.emplace_back(nullptr);
                    else if (std::floor(**v) == **v && std::fabs(**v) < 1e15)
                        p.emplace_back((long long)(**v));
                    else
                        p.emplace_back(**v);
                } else if (Blank(t)) {
                    p.emplace_back(nullptr);
                } else {
                    p.emplace_back(t);  // stored as typed, blanks included
                }
            }
            for (const Column& c : layout.code) {
                const QString& t = row.Code(c.sheetCol);
                if (Blank(t)) {
                    p.emplace_back(nullptr);
                    continue;
                }
                const auto v = RtlStrToInt(RtlTrim(t));
                if (!v)
                    throw AllputSaveError(row.sheetRow,
                                          QStringLiteral("第%1行第%2列的代码“%3”不是数字。").arg(row.sheetRow).arg(c.sheetCol).arg(t));
                p.emplace_back(*v);
            }
            const auto d = duty.constFind(number);
            p.emplace_back(d == duty.constEnd() ? db::Value() : db::Value(*d));
            p.emplace_back(row.isOk);
            c_.Exec(sql, p);
            if (pb) pb->SetPosition(int(std::trunc(double(i + 1) * 100.0 / double(n) - 10)));
        }
        current = 0;
        tr.Commit();
    } catch (const AllputSaveError&) {
        throw;
    } catch (const db::Error& e) {
        if (current > 0)
            throw AllputSaveError(current, QStringLiteral("第%1行未能保存：%2").arg(current).arg(e.Text()));
        throw AllputSaveError(0, QStringLiteral("期初名单未能保存：%1").arg(e.Text()));
    }
}

}  // namespace qm
