#pragma once
// Stored texts as the bytes SQLite hands out, for a pass over the rows of a month: a map from
// one column's text to another's that keeps every key and value in one buffer, its entries in
// the order they came and an index of eight bytes a slot, so that reading and looking up 65,000
// rows takes no allocation per row and few cache misses. Of the rows that give a key, the one of
// the lowest order (its id) wins, whatever order they come in.

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
    int size() const { return int(entries_.size()); }
    // The highest order put so far (-1 when none).
    long long LastOrder() const { return last_; }

private:
    struct Entry {
        long long order;
        std::uint32_t at;  // the key's bytes, then the value's, in bytes_ (a month's texts: far below 4 GB)
        std::uint32_t keySize, valueSize;
    };
    // The slot that holds the key, or the free slot where it belongs. A slot holds the key's
    // hash in its high half and its entry's index + 1 in its low half; 0 is free.
    std::size_t SlotOf(std::string_view key, std::uint32_t hash) const;
    void Store(Entry& e, std::string_view key, std::string_view value, long long order);
    void Rehash(std::size_t size);

    std::string bytes_;
    std::vector<Entry> entries_;
    std::vector<std::uint64_t> slots_;  // a power of two, at most half of them used
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
