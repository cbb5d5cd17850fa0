#pragma once
// The baseline the staff saves are measured against: the same rows written through raw
// sqlite3 prepared statements, in one transaction that first deletes the month's rows.

#include "bench/SyntheticUnit.h"

#include <QString>
#include <vector>

namespace qm::bench {

// Milliseconds for the raw write of `persons` as month `mon` into the database at `path`.
double RawInsertStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon);

}  // namespace qm::bench
