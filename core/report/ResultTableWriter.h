#pragma once
// Writing the result tables of the reports. Every write is one transaction with bound
// parameters: a failure leaves the table as it was, and a unit name with a quote is stored
// as typed.

#include "core/db/Db.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace qm::report {

// A result value from a sheet cell: blank -> NULL, "12" -> 12, "12.50" -> 12.5; any other
// text raises FormatError.
db::Value FigureValue(const QString& cellText);

// A table or column name that may be spliced into SQL: letters, digits and '_' only, not
// starting with a digit.
bool IsIdentifier(const QString& name);

// The one-row tables (JGLabor_info, NGLabor_info, ...): deletes every row and inserts one,
// `values` matching `columns`.
void ReplaceSingleRow(db::Connection& c, const QString& table, const QStringList& columns, const db::Params& values);

}  // namespace qm::report
