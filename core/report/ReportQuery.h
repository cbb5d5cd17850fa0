#pragma once
// Scalar reads of the report queries: every figure cell of a report is one aggregate
// statement whose single value (named num) is read back in one of three ways.

#include "core/db/Db.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace qm::report {

// A count as a whole number.
long long CountInt(db::Connection& c, const QString& sql, const db::Params& params = {});
// A sum "read as a whole number": NULL (no rows) reads 0, a fractional sum goes to the
// nearest whole number with a half going to the even one; one beyond what a report holds
// refuses (see WholeSum).
long long SumRoundedInt(db::Connection& c, const QString& sql, const db::Params& params = {});
// A sum as it is, NULL reading 0.
double SumDouble(db::Connection& c, const QString& sql, const db::Params& params = {});
// The first column of the first row, or NULL when there is no row.
db::Value FirstValue(db::Connection& c, const QString& sql, const db::Params& params = {});

// " and sPost in(?,?)" with the posts appended to params: codes reach SQL bound, never spliced.
QString PostsIn(const std::vector<int>& posts, db::Params& params);

// The cell queries of a form gathered and run together. Each is given as the form states
// it, a select head ("select count(*) as num from Staff_moninfo ", " select Sum(sTotal) as
// num from VmonWage ") and its selection (" where sMon=12 and ssf=1 "). Run() reads all
// the aggregates over one table in a single pass (count(case when ... then 1 end),
// sum(case when ... then x end): the same values, NULL for a sum over no rows), so a form
// of eighty cells reads each table once instead of eighty times.
class AggregateBatch {
public:
    // Answers the query's index. A head other than count(*) or sum(column) of one table
    // raises std::invalid_argument.
    // The selection's "?" marks take params, in order.
    int Add(const QString& selectHead, const QString& where, const db::Params& params = {});
    int Size() const { return int(queries_.size()); }

    void Run(db::Connection& c);
    // Each query as a statement of its own, for comparison.
    void RunOneByOne(db::Connection& c);

    const db::Value& Value(int i) const { return values_.at(size_t(i)); }
    long long Count(int i) const { return Value(i).AsInteger(); }
    // A sum read as a whole number, as SumRoundedInt reads it; a refusal names `indicator`.
    long long SumRounded(int i, const QString& indicator = {}) const;
    // The statement of query i as it would run alone.
    QString Statement(int i) const;

private:
    struct Query {
        QString head, where;
        QString table, column;  // column empty for count(*)
        QString condition;      // the selection without its "where"
        db::Params params;      // bound to the condition's "?" marks
    };
    std::vector<Query> queries_;
    std::vector<db::Value> values_;
};

}  // namespace qm::report
