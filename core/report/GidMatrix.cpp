#include "core/report/GidMatrix.h"

#include "core/db/Db.h"

#include <QRegularExpression>
#include <QStringList>

namespace qm::report {

QString GidMatrixLayout::CellCondition(int gid, int column) const {
    if (lineColumnCondition)
        if (const char16_t* c = lineColumnCondition(gid, column)) return QString::fromUtf16(c);
    return QString::fromUtf16(columns.at(size_t(column - 1)).condition);
}

QString WhereExpr(const QString& where) {
    static const QRegularExpression head(QStringLiteral("^\\s*where\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tail(QStringLiteral("\\band\\s*$"), QRegularExpression::CaseInsensitiveOption);
    QString e = where;
    e.remove(head);
    e.remove(tail);
    e = e.trimmed();
    return e.isEmpty() ? QStringLiteral("1") : e;
}

QString FragmentExpr(const QString& fragment) {
    static const QRegularExpression head(QStringLiteral("^\\s*and\\b"), QRegularExpression::CaseInsensitiveOption);
    QString e = fragment;
    e.remove(head);
    e = e.trimmed();
    return e.isEmpty() ? QStringLiteral("1") : e;
}

namespace {

QString Both(const QString& a, const QString& b) {
    if (a == QLatin1String("1")) return b;
    if (b == QLatin1String("1")) return a;
    return QLatin1Char('(') + a + QStringLiteral(") and (") + b + QLatin1Char(')');
}

QString CellExpr(const GidMatrixLayout& layout, int gid, int column) {
    const QString cond = layout.CellCondition(gid, column).trimmed();
    return Both(WhereExpr(layout.Line(gid).where), cond.isEmpty() ? QStringLiteral("1") : cond);
}

}  // namespace

CountGrid CountMatrix(db::Connection& c, const GidMatrixLayout& layout, int month) {
    // One statement: each computed cell is a filtered count over the month's rows, so the
    // month is read once however many cells there are.
    QStringList heads;
    std::vector<std::pair<int, int>> cells;
    for (const GidLine& line : layout.lines)
        for (int col = 1; col <= layout.ColumnCount(); ++col) {
            if (!layout.Computed(line.gid, col)) continue;
            heads << QStringLiteral("count(*) filter (where ") + CellExpr(layout, line.gid, col) + QLatin1Char(')');
            cells.emplace_back(line.gid, col);
        }
    CountGrid grid(size_t(layout.LineCount()), std::vector<long long>(size_t(layout.ColumnCount()), -1));
    if (cells.empty()) return grid;
    db::Query q(c);
    q.Open(QStringLiteral("select ") + heads.join(QStringLiteral(", ")) + QStringLiteral(" from ") +
               QString::fromLatin1(layout.source) + QStringLiteral(" where sMon=?"),
           {month});
    for (size_t i = 0; i < cells.size(); ++i)
        grid[size_t(cells[i].first - 1)][size_t(cells[i].second - 1)] = q.Fields(int(i)).AsInteger();
    return grid;
}

PeriodTotals PeriodMatrix(db::Connection& c, const GidMatrixLayout& layout, int first, int last, bool withWages) {
    // The period fragments test the post and the title grade only: the months' rows are
    // first summed per post and grade, then each line takes the groups it covers.
    QStringList heads;
    for (const GidLine& line : layout.lines) {
        const QString e = FragmentExpr(line.period);
        heads << QStringLiteral("total(n) filter (where ") + e + QLatin1Char(')');
        if (withWages) heads << QStringLiteral("sum(t) filter (where ") + e + QLatin1Char(')');
    }
    db::Query q(c);
    q.Open(QStringLiteral("select ") + heads.join(QStringLiteral(", ")) +
               QStringLiteral(" from (select sPost, sPostGrade, count(*) as n, ") +
               (withWages ? QStringLiteral("sum(sTotal)") : QStringLiteral("null")) +
               QStringLiteral(" as t from VmonWage where sMon>=? and sMon<=? group by sPost, sPostGrade)"),
           {first, last});
    PeriodTotals out;
    const int step = withWages ? 2 : 1;
    for (int i = 0; i < layout.LineCount(); ++i) {
        out.personMonths.push_back(q.Fields(i * step).AsInteger());
        if (withWages) {
            const db::Value& v = q.Fields(i * step + 1).AsValue();
            out.wages.push_back(v.IsNull() ? std::nullopt : std::optional<double>(v.AsFloat()));
        } else {
            out.wages.push_back(std::nullopt);
        }
    }
    return out;
}

std::vector<long long> StartOfPeriodCounts(db::Connection& c, const GidMatrixLayout& layout) {
    QStringList heads;
    for (const GidLine& line : layout.lines)
        heads << QStringLiteral("count(*) filter (where ") + FragmentExpr(line.period) + QLatin1Char(')');
    db::Query q(c);
    q.Open(QStringLiteral("select ") + heads.join(QStringLiteral(", ")) + QStringLiteral(" from Vmon where sMon=0"));
    std::vector<long long> out;
    for (int i = 0; i < layout.LineCount(); ++i) out.push_back(q.Fields(i).AsInteger());
    return out;
}

void UpdateResultRow(db::Connection& c, const GidMatrixLayout& layout, int gid, const CountGrid& counts,
                     const GidRowValues& values) {
    QStringList sets{QStringLiteral("Dep_id=?"), QStringLiteral("Tdate=?")};
    db::Params p{values.depNo, values.dateText};
    if (values.depName) {
        sets << QStringLiteral("frmc=?");
        p.emplace_back(*values.depName);
    }
    for (int col = 1; col <= layout.ColumnCount(); ++col) {
        const long long v = counts.at(size_t(gid - 1)).at(size_t(col - 1));
        if (v < 0) continue;
        sets << QString::fromLatin1(layout.columns[size_t(col - 1)].field) + QStringLiteral("=?");
        p.emplace_back(v);
    }
    for (const auto& [field, v] : values.extra) {
        sets << field + QStringLiteral("=?");
        p.emplace_back(v);
    }
    p.emplace_back(gid);
    const QString table = QString::fromLatin1(layout.resultTable);
    const QString sql = QStringLiteral("update ") + table + QStringLiteral(" set ") + sets.join(QLatin1Char(',')) +
                        QStringLiteral(" where Gid=?");
    if (c.Exec(sql, p) > 0) return;
    c.Exec(QStringLiteral("insert into ") + table + QStringLiteral(" (Gid) values (?)"), {gid});
    c.Exec(sql, p);
}

}  // namespace qm::report
