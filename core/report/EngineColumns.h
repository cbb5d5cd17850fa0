#pragma once
// The report engine's view of the staff rows' columns (ReportEngine.h): each distinct value of
// a column tested once, rows with the same outcome counted together, and the keys a value is
// found by.

#include "core/base/ByteIndex.h"
#include "core/db/Db.h"
#include "core/report/Condition.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qm::report::engine {

using cond::AtomSet;
using cond::Datum;
using Bits = AtomSet::Bits;

// A value's bytes as a key: its kind, then what it holds. Two values get the same key exactly
// when SQLite finds them equal in columns of one affinity (a real there is never whole).
void AppendKey(std::string& key, const db::Cell& value);

// What one distinct value of a column is: the atoms it meets, its number among the column's
// values, and (the month) whether its rows are joined to wage rows.
struct Seen {
    Bits bits{};
    std::uint32_t id = 0;
    bool join = false;
};

// The values of one column as the rows bring them, each tested once. A small whole number is
// found by its value; another value by its kind and bytes.
class ColumnCache {
public:
    int select = 0;           // position in the statement
    std::vector<int> atoms;   // the atoms on this column known before the rows are read
    bool keepsValue = false;  // late atoms test it: each value stays apart in the groups
    std::function<bool(const Datum&)> joinable;
    std::vector<Datum> values;  // by id

    const Seen& Get(const db::Row& row, const AtomSet& set) {
        const db::Cell v = row.At(select);
        switch (v.kind) {
        case db::Cell::Kind::Integer:
            if (v.integer >= kLow && v.integer < kLow + kSpan) return Small(small_[size_t(v.integer - kLow)], v, set);
            return Find(kinds_[0], std::string_view(reinterpret_cast<const char*>(&v.integer), sizeof v.integer), v,
                        set);
        case db::Cell::Kind::Real:
            return Find(kinds_[1], std::string_view(reinterpret_cast<const char*>(&v.real), sizeof v.real), v, set);
        case db::Cell::Kind::Text: return Find(kinds_[2], v.bytes, v, set);
        case db::Cell::Kind::Blob: return Find(kinds_[3], v.bytes, v, set);
        case db::Cell::Kind::Null: break;
        }
        return Small(null_, v, set);
    }

private:
    static constexpr long long kLow = -32;
    static constexpr long long kSpan = 256;
    struct Slot {
        Seen seen;
        bool set = false;
    };

    // The values of one kind, found by their bytes (a number's own eight): no key is built for
    // them, and a text never meets a blob of the same bytes.
    struct OfKind {
        ByteIndex index;
        std::vector<Seen> seen;  // by their number in index
    };

    static Datum DatumOf(const db::Cell& v);
    Seen Make(Datum d, const AtomSet& set);
    const Seen& Small(Slot& s, const db::Cell& v, const AtomSet& set) {
        if (!s.set) {
            s.seen = Make(DatumOf(v), set);
            s.set = true;
        }
        return s.seen;
    }
    const Seen& Find(OfKind& k, std::string_view bytes, const db::Cell& v, const AtomSet& set) {
        const auto [n, fresh] = k.index.Add(bytes);
        if (fresh) k.seen.push_back(Make(DatumOf(v), set));
        return k.seen[n];
    }

    std::array<Slot, kSpan> small_{};
    Slot null_;
    std::array<OfKind, 4> kinds_;  // whole numbers beyond the small ones, reals, texts, blobs
};

// Rows with the same atoms (and the same value of a kept column) count together.
struct Group {
    Bits bits{};
    std::uint32_t kept = 0;
    long long rows = 0;
};

class Groups {
public:
    // Room for the thousands of groups a form of many columns makes, so that they are not
    // copied as they come.
    Groups() {
        slots_.Reserve(1 << 12);
        groups_.reserve(1 << 14);
    }

    // A group is its own key: the index keeps no copy of it (each new group would cost one).
    std::uint32_t Find(const Bits& b, std::uint32_t kept) {
        const std::uint64_t hash = MixBits(b[0] ^ MixBits(b[1] ^ (std::uint64_t(kept) << 32 | 0x5bd1e995U)));
        const auto [g, fresh] = slots_.Add(hash, [&](std::uint32_t n) {
            const Group& x = groups_[n];
            return x.bits == b && x.kept == kept;
        });
        if (fresh) groups_.push_back(Group{b, kept, 0});
        return g;
    }
    Group& operator[](std::uint32_t g) { return groups_[g]; }
    const Group& operator[](std::uint32_t g) const { return groups_[g]; }
    size_t Size() const { return groups_.size(); }

private:
    HashSlots slots_;
    std::vector<Group> groups_;
};

}  // namespace qm::report::engine
