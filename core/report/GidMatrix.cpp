#include "core/report/GidMatrix.h"

#include "core/db/Db.h"
#include "core/report/ReportEngine.h"

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

MatrixQueries QueriesOf(const GidMatrixLayout& layout, const MatrixRequest& r) {
    // Every figure is a rule of the engine: the statement each cell stood for, with its month
    // as a value, so the staff rows are read once and the wage rows once for all of them.
    MatrixQueries m;
    std::vector<Query>& queries = m.queries;
    auto add = [&](Source source, const QString& months, const QString& expr, Take take) {
        queries.push_back(
            {source, expr == QLatin1String("1") ? months : months + QStringLiteral(" and (") + expr + QLatin1Char(')'),
             take});
        return queries.size() - 1;
    };
    // The wage summaries count the person-months with a wage row (VmonWage), the talent tables
    // the staff rows (Vmon, all of Staff_moninfo).
    const Source counted = QLatin1String(layout.source).compare(QLatin1String("VmonWage"), Qt::CaseInsensitive) == 0
                               ? Source::Wages
                               : Source::Staff;
    std::vector<std::pair<int, int>>& cells = m.cells;
    if (r.countMonth)
        for (const GidLine& line : layout.lines)
            for (int col = 1; col <= layout.ColumnCount(); ++col) {
                if (!layout.Computed(line.gid, col)) continue;
                add(counted, QStringLiteral("sMon={month}"), CellExpr(layout, line.gid, col), Take::Count);
                cells.emplace_back(line.gid, col);
            }
    m.headsAt = queries.size();
    if (r.heads)
        for (const GidLine& line : layout.lines)
            add(Source::Wages, QStringLiteral("sMon>={headsFrom} and sMon<={last}"), FragmentExpr(line.period),
                Take::Count);
    m.wagesAt = queries.size();
    if (r.wages)
        for (const GidLine& line : layout.lines)
            add(Source::Wages, QStringLiteral("sMon>={wagesFrom} and sMon<={last}"), FragmentExpr(line.period),
                Take::Total);
    m.startAt = queries.size();
    if (r.start)
        for (const GidLine& line : layout.lines)
            add(Source::Staff, QStringLiteral("sMon=0"), FragmentExpr(line.period), Take::Count);

    m.values = {{QStringLiteral("month"), {r.countMonth.value_or(0)}},
                {QStringLiteral("headsFrom"), {r.heads.value_or(0)}},
                {QStringLiteral("wagesFrom"), {r.wages.value_or(0)}},
                {QStringLiteral("last"), {r.last}}};
    return m;
}

MatrixFigures ReadMatrix(db::Connection& c, const GidMatrixLayout& layout, const MatrixRequest& r) {
    const MatrixQueries m = QueriesOf(layout, r);
    const QueryResults results = RunQueries(c, m.queries, m.values);
    const std::vector<db::Value>& v = results.values;
    const std::vector<std::pair<int, int>>& cells = m.cells;
    const size_t headsAt = m.headsAt, wagesAt = m.wagesAt, startAt = m.startAt;
    const int lines = layout.LineCount();

    MatrixFigures out;
    out.counts.assign(size_t(lines), std::vector<long long>(size_t(layout.ColumnCount()), -1));
    for (size_t i = 0; i < cells.size(); ++i)
        out.counts[size_t(cells[i].first - 1)][size_t(cells[i].second - 1)] = v[i].AsInteger();
    for (int i = 0; i < lines; ++i) {
        if (r.heads) {
            out.heads.personMonths.push_back(v[headsAt + size_t(i)].AsInteger());
            out.heads.wages.push_back(std::nullopt);
        }
        if (r.wages) {
            const MoneySum& w = results.sums[wagesAt + size_t(i)];
            out.wages.personMonths.push_back(0);
            out.wages.wages.push_back(w.IsNull() ? std::nullopt : std::optional<double>(w.Approx()));
            out.wages.sums.push_back(w);
        }
        if (r.start) out.start.push_back(v[startAt + size_t(i)].AsInteger());
    }
    return out;
}

CountGrid CountMatrix(db::Connection& c, const GidMatrixLayout& layout, int month) {
    MatrixRequest r;
    r.countMonth = month;
    return ReadMatrix(c, layout, r).counts;
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
