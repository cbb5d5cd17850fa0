#pragma once
// The report engine's join of the wage rows to the staff rows of their month and staff number
// (ReportEngine.h): the staff rows by packed number, month by month, and by the bytes of month
// and number where a number does not pack.

#include "core/base/ByteIndex.h"
#include "core/db/Db.h"
#include "core/report/EngineColumns.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace qm::report::engine {

// Empties `heads` for chains of `entries` entries: a power of two of them, at least twice as
// many; answers the mask of their index.
size_t EmptySlots(std::vector<std::uint32_t>& heads, size_t entries);

// Staff rows by the bytes of their month and staff number, to join the wage rows to.
class JoinTable {
public:
    void Add(std::string_view key, std::uint32_t group);
    // Chains the entries by key; entries of one key keep the order they were added in.
    void Build();
    // Calls fn(group) for each staff row of the key.
    template <class F>
    void ForEach(std::string_view key, F fn) const {
        const std::uint64_t hash = HashBytes(key.data(), key.size());
        for (std::uint32_t k = heads_[size_t(hash) & mask_]; k != kNone; k = entries_[k].next) {
            const Entry& e = entries_[k];
            if (e.hash == hash && e.length == key.size() &&
                std::memcmp(arena_.data() + e.offset, key.data(), key.size()) == 0)
                fn(e.group);
        }
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Entry {
        std::uint64_t hash;
        std::uint32_t offset, length, group, next;
    };
    std::vector<Entry> entries_;
    std::string arena_;
    std::vector<std::uint32_t> heads_;
    size_t mask_ = 0;
};

// A staff number as 64 bits, when it is a text that fits: decimal digits (up to eighteen, or
// seventeen and an 'X', as identity numbers are) by their value, numbered so that numbers of
// different lengths never meet; another text of up to seven bytes by its bytes and length. Two
// texts pack alike exactly when their bytes are equal; a text that does not fit is not packed.
constexpr std::uint64_t kDigitsTag = std::uint64_t(1) << 63;

constexpr std::array<std::uint64_t, 20> ShorterDigitTexts() {
    std::array<std::uint64_t, 20> n{};  // [k]: how many digit texts are shorter than k
    std::uint64_t ten = 1;
    for (size_t k = 1; k < n.size(); ++k) {
        n[k] = n[k - 1] + ten;
        ten *= 10;
    }
    return n;
}
inline constexpr std::array<std::uint64_t, 20> kShorter = ShorterDigitTexts();

inline bool Pack(std::string_view text, std::uint64_t& key) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    if (n <= 18) {
        std::uint64_t v = 0;
        size_t k = 0;
        for (; k < n && unsigned(p[k]) - unsigned('0') < 10u; ++k) v = v * 10 + (p[k] - '0');
        if (k == n) {
            key = kDigitsTag | (kShorter[n] + v);
            return true;
        }
        if (k == 17 && n == 18 && p[17] == 'X') {
            key = kDigitsTag | (kShorter[19] + v);  // after every text of digits alone
            return true;
        }
    }
    if (n > 7) return false;
    std::uint64_t bytes = 0;
    if (n) std::memcpy(&bytes, p, n);
    key = std::uint64_t(n) << 56 | bytes;
    return true;
}

// One month's staff rows by packed staff number.
class NumberTable {
public:
    void Add(std::uint64_t key, std::uint32_t group) { entries_.push_back(Entry{key, group, kNone}); }
    void Reserve(size_t rows) { entries_.reserve(rows); }
    size_t Size() const { return entries_.size(); }
    // Chains the entries by key; entries of one key keep the order they were added in.
    void Build();
    // Calls fn(group) for each staff row of the key.
    template <class F>
    void ForEach(std::uint64_t key, F fn) const {
        for (std::uint32_t k = slots_[Probe(key)]; k != kNone; k = entries_[k].next) fn(entries_[k].group);
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Entry {
        std::uint64_t key;
        std::uint32_t group, next;
    };
    // The slot of the key: its chain's head, or the empty slot where it would go.
    size_t Probe(std::uint64_t key) const {
        size_t i = size_t(MixBits(key)) & mask_;
        while (slots_[i] != kNone && entries_[slots_[i]].key != key) i = (i + 1) & mask_;
        return i;
    }

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> slots_{kNone};
    size_t mask_ = 0;
};

// The staff rows of the wage months, each month a table of its own keyed on the packed staff
// number; a number that does not pack (a long text, a blob) goes to one table keyed on the
// month's and the number's bytes. A wage row meets the staff rows whose month and number have
// its month's and number's kind and bytes, as the view's join compares them.
class WageJoin {
public:
    // Adds the staff row the statement stands on, of the month the cache numbered `monthId`.
    void Add(const db::Row& row, int monthCol, std::uint32_t monthId, int numberCol, std::uint32_t group);
    void Build();
    // Calls fn(group) for each staff row the wage row of this month and number meets.
    template <class F>
    void ForEach(const db::Cell& month, const db::Cell& number, F fn) {
        std::uint64_t packed;
        if (number.kind == db::Cell::Kind::Text && Pack(number.bytes, packed)) {
            if (const NumberTable* t = TableOf(month)) t->ForEach(packed, fn);
            return;
        }
        key_.clear();
        AppendKey(key_, month);
        AppendKey(key_, number);
        unpacked_.ForEach(key_, fn);
    }

private:
    static constexpr std::uint32_t kNoTable = 0xFFFFFFFFu;
    static constexpr long long kLow = -32, kSpan = 256;

    std::uint32_t NewTable(const db::Cell& month);
    // The month's table, none when no staff row of the month joins; wage rows come month by
    // month, so the last month's is kept at hand.
    const NumberTable* TableOf(const db::Cell& month) {
        if (month.kind == db::Cell::Kind::Integer && lastSet_ && month.integer == lastMonth_) return last_;
        return FindTable(month);
    }
    const NumberTable* FindTable(const db::Cell& month);

    std::vector<NumberTable> tables_;
    std::vector<std::uint32_t> tableOfMonth_;  // by the month's id among the staff rows' months
    std::array<std::uint32_t, size_t(kSpan)> small_ = Unset();
    ByteIndex others_;                        // the other months by key
    std::vector<std::uint32_t> otherTables_;  // by their number in others_
    JoinTable unpacked_;
    std::string key_;
    const NumberTable* last_ = nullptr;
    long long lastMonth_ = 0;
    bool lastSet_ = false;

    static std::array<std::uint32_t, size_t(kSpan)> Unset() {
        std::array<std::uint32_t, size_t(kSpan)> a;
        a.fill(kNoTable);
        return a;
    }
};

}  // namespace qm::report::engine
