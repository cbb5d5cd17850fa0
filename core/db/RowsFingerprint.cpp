#include "core/db/RowsFingerprint.h"

#include "core/base/ByteHash.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace qm::db {

namespace {

constexpr quint64 kPrime = 0x100000001b3ULL;
constexpr quint64 kSeed = 0xcbf29ce484222325ULL;

// A full avalanche, so that sums of these keep their terms apart.
quint64 Mix(quint64 x) { return MixBits(x); }

quint64 Step(quint64 h, quint64 word) { return (h ^ word) * kPrime; }

quint64 Slot(int slot, quint64 value) { return Mix(value + 0x9e3779b97f4a7c15ULL * quint64(slot + 1)); }

}  // namespace

quint64 RowsFingerprint::NullSlot(int slot) { return Slot(slot, Step(kSeed, SQLITE_NULL)); }

quint64 RowsFingerprint::IntegerSlot(int slot, long long v) {
    return Slot(slot, Step(Step(kSeed, SQLITE_INTEGER), quint64(v)));
}

quint64 RowsFingerprint::RealSlot(int slot, double v) {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return Slot(slot, Step(Step(kSeed, SQLITE_FLOAT), bits));
}

quint64 RowsFingerprint::TextSlot(int slot, const char* bytes, std::size_t n) {
    quint64 h = Step(Step(kSeed, SQLITE_TEXT), quint64(n));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (; n >= 8; p += 8, n -= 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        h = Step(Mix(h), w);
    }
    quint64 tail = 0;
    if (n > 0) std::memcpy(&tail, p, n);
    return Slot(slot, Step(h, tail));
}

void RowsFingerprint::AddRow(sqlite3_stmt* st, int columns) {
    quint64 sum = 0;
    const long long id = columns > 0 ? sqlite3_column_int64(st, 0) : 0;
    for (int k = 0; k < columns; ++k) {
        switch (sqlite3_column_type(st, k)) {
        case SQLITE_NULL: sum += NullSlot(k); break;
        case SQLITE_INTEGER: sum += IntegerSlot(k, sqlite3_column_int64(st, k)); break;
        case SQLITE_FLOAT: sum += RealSlot(k, sqlite3_column_double(st, k)); break;
        default:  // texts and blobs alike, by their bytes
            sum += TextSlot(k, static_cast<const char*>(sqlite3_column_blob(st, k)),
                            std::size_t(sqlite3_column_bytes(st, k)));
        }
    }
    AddSlots(sum, id);
}

void RowsFingerprint::AddSlots(quint64 slotSum, long long id) {
    ++rows;
    const quint64 h = Mix(slotSum);
    digest += h;
    marks.push_back({id, h});
}

std::optional<RowChange> FirstChange(const RowsFingerprint& then, const RowsFingerprint& now) {
    struct Row {
        long long id;
        quint64 hash;
        long long at;
    };
    const auto byId = [](const RowsFingerprint& p) {
        std::vector<Row> v;
        v.reserve(p.marks.size());
        for (size_t i = 0; i < p.marks.size(); ++i) v.push_back({p.marks[i].id, p.marks[i].hash, (long long)i});
        std::sort(v.begin(), v.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
        return v;
    };
    const std::vector<Row> a = byId(then), b = byId(now);
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && a[i].id < b[j].id))
            return RowChange{RowChange::Kind::Removed, a[i].id, a[i].at};
        if (i == a.size() || b[j].id < a[i].id) return RowChange{RowChange::Kind::Added, b[j].id};
        if (a[i].hash != b[j].hash) return RowChange{RowChange::Kind::Changed, a[i].id, a[i].at};
        ++i, ++j;
    }
    return std::nullopt;
}

}  // namespace qm::db
