#pragma once
// Stored texts as the bytes SQLite hands out, for a pass over the rows of a month: a map from
// one column's text to another's that keeps every key and value in one buffer and its slots in
// one table, so that reading and looking up 65,000 rows takes no allocation per row. Of the
// rows that give a key, the one of the lowest order (its id) wins, whatever order they come in.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::db {

class Utf8Map {
public:
    // Room for `n` keys without growing.
    void Reserve(int n);
    // Keeps `value` for `key` unless a row of a lower order gave the key already.
    void Put(std::string_view key, std::string_view value, long long order);
    // The value kept for the key; nothing when no row gave it.
    std::optional<std::string_view> Find(std::string_view key) const;
    int size() const { return count_; }
    // The highest order put so far (-1 when none).
    long long LastOrder() const { return last_; }

private:
    struct Slot {
        long long order = 0;
        std::uint32_t hash = 0;
        std::uint32_t at = 0;  // the key's bytes, then the value's, in bytes_ (a month's texts: far below 4 GB)
        std::uint32_t keySize = 0, valueSize = 0;
        bool used = false;
    };
    // The slot that holds the key, or the free slot where it belongs.
    std::size_t SlotOf(std::string_view key, std::uint32_t hash) const;
    std::string_view Key(const Slot& s) const { return {bytes_.data() + s.at, s.keySize}; }
    void Store(Slot& s, std::string_view key, std::string_view value, long long order);
    void Rehash(std::size_t size);

    std::string bytes_;
    std::vector<Slot> slots_;  // a power of two, at most half of them used
    int count_ = 0;
    long long last_ = -1;
};

// Stored bytes as a text read from them gives them back: bytes that are no UTF-8 replaced and a
// leading byte-order mark dropped, so that bytes compare as those texts did. A changed text is
// made in `spare`, which the answer then points into.
std::string_view AsRead(std::string_view stored, std::string& spare);
// Without the characters up to U+0020 at either end: in UTF-8 each of them is one byte, and
// no longer character holds such a byte.
std::string_view TrimBlankBytes(std::string_view s);

}  // namespace qm::db
