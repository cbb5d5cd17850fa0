#pragma once
// The one engine of the report forms: a form's figures, each a count or a sum over the rows its
// condition text selects, read in one pass over each table however many figures there are.
//
// The staff rows (Staff_moninfo) are read once: each distinct value of a column is tested
// against the conditions' atoms once, each row becomes the set of atoms it meets, and rows
// with the same set are counted together. The wage rows (Wage_Info) are read once and joined
// to the same month's staff rows of their staff number, as the view VmonWage joins them. Every
// test is SQLite's own (see Condition.h), so a count is what its statement
// "select count(*) ... where <condition>" would give, and a sum adds exactly the amounts that
// statement's sum() would add: in ten-thousandths of a yuan (Money.h), so that no sum depends on
// the order the rows are stored or read in.

#include "core/base/Money.h"
#include "core/db/Db.h"
#include "core/report/Condition.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace qm::report {

// Where a figure's rows come from.
enum class Source {
    Staff,  // Staff_moninfo (and Vmon, the view of all its rows): one row per person and month
    Wages,  // VmonWage: each wage row with the same month's staff row of its staff number
};

// What a figure takes of its rows: count(*), or sum() of a wage column (Wages only).
enum class Take { Count, Total, N1, N2, N3, N4 };

// One figure: the rows of `source` its condition text selects ({name} placeholders filled from
// the values given to the run), and what is taken of them.
struct Query {
    Source source = Source::Staff;
    QString where;
    Take take = Take::Count;
};

struct QueryResults {
    // Per query: a count, or a sum typed as sum() types it: NULL over no row, a whole number
    // while every value is one, else a real (the exact sum's nearest double).
    std::vector<db::Value> values;
    // Per query: the exact sum (empty for a count).
    std::vector<MoneySum> sums;
    // The smallest post code below 20 of any staff row (a government organ's leader rank), when
    // a query needed it; none when nobody holds such a post.
    std::optional<long long> leaderPost;
};

// The in-lists a run can only fill once the rows are read: given the leader post, their values
// by placeholder name ("leaders" -> {12, 13}).
using LateLists = std::function<cond::Values(std::optional<long long> leaderPost)>;

// Reads every query's figure. `late` names the placeholders `lateLists` fills; a run that has
// any reads all staff rows, whatever their month, to find the leader post. A condition that is
// no condition raises cond::SyntaxError.
QueryResults RunQueries(db::Connection& c, const std::vector<Query>& queries, const cond::Values& values,
                        const std::vector<QString>& late = {}, const LateLists& lateLists = {});

}  // namespace qm::report
