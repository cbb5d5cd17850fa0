#pragma once
// A fingerprint of stored rows: their number and a digest of every row, each of its id and of the
// columns read, as stored (type and value). Two equal fingerprints: the same rows, unchanged. The
// digest sums one hash per row, and a row's hash sums one hash per column slot, so neither the
// order the rows are read in nor the order an insert binds its values in matters: a read and
// the inserts that wrote the rows give the same fingerprint.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstddef>
#include <optional>
#include <vector>

struct sqlite3_stmt;

namespace qm::db {

class Connection;
struct Cell;

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

    // The hash of the slot that `v`, bound to parameter i (from 1), fills as its column stores it
    // (SQLite's type affinity); 0 for a parameter that fills none. None when the stored form is
    // not known here: a blob, a number bound to a text column, a text to a numeric one.
    std::optional<quint64> SlotOf(int i, const Cell& v) const;
    // The hashes of the slots no parameter fills, which the insert stores null.
    quint64 NullSlots() const;
};

// The plan for the fingerprint of the rows an insert into `table` of `insertColumns` stores, in
// the slots of `fingerprintColumns` (the first of them the id), from the columns' declared types.
InsertFingerprint PlanInsertFingerprint(Connection& c, const QString& table, const QStringList& insertColumns,
                                        const QStringList& fingerprintColumns);

// The fingerprint of the rows a statement's runs insert, taken from the values each run binds
// as the plan says they are stored.
class InsertsFingerprint {
public:
    // For a statement of `parameters` parameters.
    InsertsFingerprint(InsertFingerprint plan, int parameters);
    // A value bound to parameter i (from 1) for the row being bound.
    void Bound(int i, const Cell& v);
    // Ends the row being bound: answers the sum of its slots' hashes, which Stored then counts
    // once the row is stored (a run that fails drops it).
    quint64 EndRow();
    void Stored(quint64 rowSlots, long long id);
    // The rows stored since the last Take; none when a value's stored form was not known.
    std::optional<RowsFingerprint> Take();

private:
    InsertFingerprint plan_;
    quint64 nullSlots_ = 0;
    quint64 rowSlots_ = 0;  // the row being bound
    bool exact_ = true;
    RowsFingerprint rows_;
};

}  // namespace qm::db
