#pragma once
// The benchmark's sections: each .cpp in bench/ registers one with QM_BENCH; they run in
// order of their rank and print one line per figure.

#include "core/base/AppPaths.h"

#include <QString>
#include <chrono>
#include <functional>
#include <vector>

namespace qm::bench {

// The unit's size when none is given: the size the figures printed beside each timing have
// been compared at from the start. Any size runs (--persons N); no section holds a unit to it.
inline constexpr int kDefaultPersons = 16338;

struct Context {
    AppPaths paths;  // the base folder everything is written into
    int persons;     // the unit's size
};

using Section = std::function<void(Context&)>;

struct Registrar {
    Registrar(int rank, const char* name, Section fn);
};

// Milliseconds taken by fn.
double TimeMs(const std::function<void()>& fn);

// How many runs a figure takes its best of: this machine's speed drifts by about a third, and
// the fastest run is the one the rest of the machine disturbed least.
inline constexpr int kRuns = 5;
// The fastest of `runs` runs of fn, in milliseconds; setup, when given, runs untimed before
// each run (to put back what fn changes).
double BestOfMs(const std::function<void()>& fn, const std::function<void()>& setup = {}, int runs = kRuns);

// Heap in use (malloc's count of allocated bytes), in MB. A section measures what it holds
// from its own start: earlier sections' freed memory does not count.
double HeapMb();

// One figure, optionally beside a baseline measured in the same run.
void Print(const QString& figure, double ms);
// A line of context that is no timing.
void Note(const QString& text);
void PrintRatio(const QString& figure, double ms, const QString& baseline, double baselineMs);

}  // namespace qm::bench

#define QM_BENCH_CAT2(a, b) a##b
#define QM_BENCH_CAT(a, b) QM_BENCH_CAT2(a, b)
#define QM_BENCH(rank, name, fn) static ::qm::bench::Registrar QM_BENCH_CAT(qmBench_, __LINE__)(rank, name, fn)
