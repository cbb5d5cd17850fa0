#pragma once
// A data set of numbered records, shared by the data-set tests and the grid tests.

#include "core/db/DataSet.h"

#include <vector>

namespace qm::test {

// `n` records: id (integer), name ("Rn"), amount (real).
inline void OpenNumbered(grid::TMemDataSet& ds, int n) {
    std::vector<std::vector<db::Value>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({db::Value(i), db::Value(QStringLiteral("R%1").arg(i)), db::Value(i * 1.5)});
    ds.Open({{QStringLiteral("id"), grid::ftInteger, 0},
             {QStringLiteral("name"), grid::ftString, 10},
             {QStringLiteral("amount"), grid::ftFloat, 0}},
            rows);
}

}  // namespace qm::test
