#pragma once
// The months the report engine reads (ReportEngine.h): the bounds of the months a set of
// conditions can take rows of, as a statement's where clause.

#include "core/db/Db.h"
#include "core/report/Condition.h"

#include <QString>

#include <optional>

namespace qm::report::engine {

using cond::AtomSet;
using cond::Datum;
using Bits = AtomSet::Bits;

// A row of any month beyond the bounds meets none of the conditions, so the statement need not
// read it. Each bound is one of the conditions' own literals, kept exact (a month of 2^53 or
// more is no double): inclusive when the literal's own month counts, else exclusive, so that a
// month just beyond it (a real between two whole numbers) is still read.
struct MonthBound {
    Datum value;
    bool inclusive = false;
};
struct MonthBounds {
    bool any = false;                        // some condition takes some month
    bool all = false;                        // a condition takes rows of a NULL month, or no bound could be found
    std::optional<MonthBound> above, below;  // month >(=) above, month <(=) below; none: no bound
};

// The months where the condition can hold, its atoms on other columns than the month's taken as
// true.
MonthBounds BoundsOf(const AtomSet& atoms, int monthColumn, const cond::Condition& cond);
// Widens `into` to take the months of `b` too.
void Widen(MonthBounds& into, const MonthBounds& b);
// Whether rows of `month` can meet a condition of the bounds; a NULL month joins no wage row.
bool Within(const MonthBounds& b, const Datum& month);
// " where sMon>=? and sMon<?" for the bounds, its values added to `params`; empty when every
// row is to be read.
QString WhereOf(const MonthBounds& b, const char* column, db::Params& params);

}  // namespace qm::report::engine
