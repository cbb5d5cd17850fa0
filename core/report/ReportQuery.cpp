#include "core/report/ReportQuery.h"

#include "core/report/Refusal.h"

#include <QRegularExpression>

#include <map>
#include <stdexcept>

namespace qm::report {

db::Value FirstValue(db::Connection& c, const QString& sql, const db::Params& params) {
    db::Query q(c);
    q.Open(sql, params);
    if (q.Eof() || q.FieldCount() == 0) return {};
    const db::Field* num = q.FindField(QStringLiteral("num"));
    return num ? num->AsValue() : q.Fields(0).AsValue();
}

long long CountInt(db::Connection& c, const QString& sql, const db::Params& params) {
    return FirstValue(c, sql, params).AsInteger();
}

long long SumRoundedInt(db::Connection& c, const QString& sql, const db::Params& params) {
    return WholeSum(FirstValue(c, sql, params), {});
}

double SumDouble(db::Connection& c, const QString& sql, const db::Params& params) {
    return FirstValue(c, sql, params).AsFloat();
}

QString PostsIn(const std::vector<int>& posts, db::Params& params) {
    QStringList marks;
    for (int p : posts) {
        marks << QStringLiteral("?");
        params.push_back(db::Value(p));
    }
    return QStringLiteral(" and sPost in(") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
}

int AggregateBatch::Add(const QString& selectHead, const QString& where, const db::Params& params) {
    static const QRegularExpression head(
        QStringLiteral("^\\s*select\\s+(?:count\\(\\*\\)|sum\\((\\w+)\\))\\s+as\\s+num\\s+from\\s+(\\w+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression whereWord(QStringLiteral("^\\s*where\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    const auto m = head.match(selectHead);
    const auto w = whereWord.match(where);
    if (!m.hasMatch() || !w.hasMatch())
        throw std::invalid_argument("not a cell query: " + (selectHead + where).toStdString());
    Query q;
    q.head = selectHead;
    q.where = where;
    q.column = m.captured(1);
    q.table = m.captured(2);
    q.condition = where.mid(w.capturedEnd());
    q.params = params;
    queries_.push_back(q);
    return int(queries_.size()) - 1;
}

QString AggregateBatch::Statement(int i) const {
    const Query& q = queries_.at(size_t(i));
    return q.head + QLatin1Char('\n') + q.where;
}

void AggregateBatch::Run(db::Connection& c) {
    values_.assign(queries_.size(), db::Value());
    // One statement per table, its columns in the order the queries were added.
    std::map<QString, std::vector<size_t>> byTable;
    for (size_t i = 0; i < queries_.size(); ++i) byTable[queries_[i].table.toLower()].push_back(i);
    for (const auto& [table, indexes] : byTable) {
        QStringList columns;
        db::Params params;  // the columns' marks, in the order the columns are written
        for (size_t i : indexes) {
            const Query& q = queries_[i];
            params.insert(params.end(), q.params.begin(), q.params.end());
            columns << (q.column.isEmpty()
                            ? QStringLiteral("count(case when (") + q.condition + QStringLiteral(") then 1 end)")
                            : QStringLiteral("sum(case when (") + q.condition + QStringLiteral(") then ") + q.column +
                                  QStringLiteral(" end)"));
        }
        db::Query rows(c);
        rows.Open(QStringLiteral("select ") + columns.join(QStringLiteral(",\n")) + QStringLiteral("\nfrom ") +
                      queries_[indexes.front()].table,
                  params);
        if (rows.Eof()) continue;
        for (size_t k = 0; k < indexes.size(); ++k) values_[indexes[k]] = rows.Fields(int(k)).AsValue();
    }
}

void AggregateBatch::RunOneByOne(db::Connection& c) {
    values_.assign(queries_.size(), db::Value());
    for (size_t i = 0; i < queries_.size(); ++i) values_[i] = FirstValue(c, Statement(int(i)), queries_[i].params);
}

long long AggregateBatch::SumRounded(int i, const QString& indicator) const { return WholeSum(Value(i), indicator); }

}  // namespace qm::report
