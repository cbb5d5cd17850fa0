#pragma once
// How a footer total is written for its field's type and patterns (painting and export).
#include "core/db/DataSet.h"
#include "grid/NumberFormat.h"

namespace qm::grid {
// Integer fields: their DisplayFormat or the plain integer; float and currency fields:
// EditFormat, else DisplayFormat, else the currency or the general format; others: empty.
QString FormatFooterSum(const TField* f, TCurrency sum);
}  // namespace qm::grid
