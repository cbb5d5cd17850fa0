#pragma once
// A fingerprint of stored rows: their number and a digest of every row, each of its id and of the
// columns read, as stored (type and value). Two equal fingerprints: the same rows, unchanged. The
// digest sums one hash per row, and a row's hash sums one hash per column slot, so neither the
// order the rows are read in nor the order an insert binds its values in matters: a read and
// the inserts that wrote the rows give the same fingerprint.

#include <QtGlobal>

#include <cstddef>
#include <optional>
#include <vector>

struct sqlite3_stmt;

namespace qm::db {

class RowsFingerprint {
public:
    long long rows = 0;
    quint64 digest = 0;
    // Each row's id (slot 0) and hash, in the order added: what tells a refused save which row
    // differs. Not part of the comparison.
    struct Mark {
        long long id;
        quint64 hash;
    };
    std::vector<Mark> marks;

    // The current row of a stepped read: column k fills slot k, for k below `columns`; column 0
    // is the row's id.
    void AddRow(sqlite3_stmt* st, int columns);
    // A row given as the sum of its slots' hashes, every slot counted once, with its id.
    void AddSlots(quint64 slotSum, long long id);

    static quint64 NullSlot(int slot);
    static quint64 IntegerSlot(int slot, long long v);
    static quint64 RealSlot(int slot, double v);
    static quint64 TextSlot(int slot, const char* bytes, std::size_t n);

    friend bool operator==(const RowsFingerprint& a, const RowsFingerprint& b) {
        return a.rows == b.rows && a.digest == b.digest;
    }
};

// The first row, by id, in which two fingerprints of one month differ: changed, gone from `now`, or
// new in it. `loadedAt` is the row's place (from 0) in the order `then` was read, for a row gone.
struct RowChange {
    enum class Kind { Changed, Removed, Added };
    Kind kind;
    long long id;
    long long loadedAt = -1;
};
std::optional<RowChange> FirstChange(const RowsFingerprint& then, const RowsFingerprint& now);

// How the values an insert binds are stored in the columns a fingerprint reads: for each of its
// parameters the slot it fills (-1: none) and how its column converts a value (SQLite's type
// affinity); slot 0 is the row's id, and slots no parameter fills are stored null.
struct InsertFingerprint {
    enum class Affinity { Text, Numeric, Real, Blob, Unknown };
    struct Param {
        int slot = -1;
        Affinity affinity = Affinity::Unknown;
    };
    std::vector<Param> params;  // index: parameter - 1
    int slotCount = 0;
};

}  // namespace qm::db
