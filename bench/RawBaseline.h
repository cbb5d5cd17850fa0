#pragma once
// The baselines the staff saves are measured against: the same rows written through raw
// sqlite3 prepared statements, in one transaction that first deletes the month's rows.

#include "tools/SyntheticUnit.h"

#include <QString>
#include <vector>

namespace qm::bench {

// Milliseconds for the raw write of `persons` as month `mon` into the database at `path`.
double RawInsertStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon);

// Like for like with a save that replaces a stored month: the month is written once untimed,
// then the best of kRuns raw writes, each deleting the rows the previous one wrote.
double RawReplaceStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon);

// What a section holds at its end, from its own start (HeapMb() read there).
void PrintHeldSince(const char* section, double startMb);

}  // namespace qm::bench
