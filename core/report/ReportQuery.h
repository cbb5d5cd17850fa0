#pragma once
// Scalar reads of the report queries: every figure cell of a report is one aggregate
// statement whose single value (named num) is read back in one of three ways.

#include "core/db/Db.h"

#include <QString>

namespace qm::report {

// A count as a whole number.
long long CountInt(db::Connection& c, const QString& sql, const db::Params& params = {});
// A sum "read as a whole number": NULL (no rows) reads 0, a fractional sum goes to the
// nearest whole number with a half going to the even one.
long long SumRoundedInt(db::Connection& c, const QString& sql, const db::Params& params = {});
// A sum as it is, NULL reading 0.
double SumDouble(db::Connection& c, const QString& sql, const db::Params& params = {});
// The first column of the first row, or NULL when there is no row.
db::Value FirstValue(db::Connection& c, const QString& sql, const db::Params& params = {});

}  // namespace qm::report
