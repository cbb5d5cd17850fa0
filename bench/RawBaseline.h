#pragma once
// The baselines the staff saves are measured against: the same rows written through raw
// sqlite3 prepared statements, in one transaction that first deletes the month's rows.

#include "tools/SyntheticUnit.h"

#include <sqlite3.h>
#include <QString>
#include <vector>

namespace qm::bench {

// What ends qm-bench when a raw call fails: main catches it and exits with code 1, after the
// sections' folders and connections are unwound.
struct RawFailure {};

// Prints the engine's message and `what` on stderr and throws RawFailure.
[[noreturn]] void RawFail(sqlite3* h, int rc, const char* what);

// A raw baseline's SQLite call checked: a call that fails does no work and would print a fast
// figure, so any result but `want` ends the run instead. Inline, so that a timed loop pays no
// more than the comparison.
inline int RawOk(sqlite3* h, int rc, const char* what, int want = SQLITE_OK) {
    if (rc != want) [[unlikely]]
        RawFail(h, rc, what);
    return rc;
}

// The database at `path` opened raw with `flags` (SQLITE_OPEN_...); a failed open ends the run
// as RawOk does.
sqlite3* RawOpen(const QString& path, int flags, const char* what);

// Milliseconds for the raw write of `persons` as month `mon` into the database at `path`.
double RawInsertStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon);

// Like for like with a save that replaces a stored month: the month is written once untimed,
// then the best of kRuns raw writes, each deleting the rows the previous one wrote.
double RawReplaceStaffMs(const QString& path, const std::vector<synth::Person>& persons, int mon);

// What a section holds at its end, from its own start (HeapMb() read there).
void PrintHeldSince(const char* section, double startMb);

}  // namespace qm::bench
