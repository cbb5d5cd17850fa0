#pragma once
// The one hash index of the passes over many rows: the report engine's column values and
// groups, the payment list's persons, the saves' names and duties of a month. Keys are bytes;
// each distinct key is numbered in the order it first came and its bytes are kept in one
// buffer, the index itself being open-addressed at eight bytes a slot, so that reading and
// looking up 65,000 rows takes no allocation per row and few cache misses.

#include "core/base/ByteHash.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm {

// The open-addressed slots of an index whose keys are kept by its owner, numbered 0, 1, 2 ... in
// the order they first came: ByteIndex over bytes it keeps itself, the report engine's groups
// over the groups. A key is known by its hash and by the owner's answer whether the key of a
// number is the one sought, asked only of keys of the same hash half.
class HashSlots {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // Room for `keys` keys without growing.
    void Reserve(std::size_t keys);
    // The key's number, and whether it came now (the next number); equal keys must have equal
    // hashes, and same(n) answers whether key n is the one sought.
    template <class Same>
    std::pair<std::uint32_t, bool> Add(std::uint64_t hash, Same same) {
        if (2 * (size_ + 1) > slots_.size()) Grow(slots_.empty() ? 64 : 2 * slots_.size());
        std::uint64_t& s = slots_[SlotOf(std::uint32_t(hash), same)];
        if (s != 0) return {std::uint32_t(s) - 1, false};
        s = (hash << 32) | ++size_;
        return {size_ - 1, true};
    }
    // The key's number; kNone when it never came.
    template <class Same>
    std::uint32_t Find(std::uint64_t hash, Same same) const {
        if (slots_.empty()) return kNone;
        const std::uint64_t s = slots_[SlotOf(std::uint32_t(hash), same)];
        return s == 0 ? kNone : std::uint32_t(s) - 1;
    }
    std::uint32_t size() const { return size_; }
    // Empty, its room kept for the keys to come.
    void Clear();

private:
    // The slot that holds the key, or the free slot where it belongs. A slot holds the low half
    // of the key's hash in its high half and the key's number + 1 in its low half; 0 is free.
    template <class Same>
    std::size_t SlotOf(std::uint32_t hash, Same same) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const std::uint64_t s = slots_[i];
            if (s == 0 || (std::uint32_t(s >> 32) == hash && same(std::uint32_t(s) - 1))) return i;
        }
    }
    void Grow(std::size_t slots);

    std::vector<std::uint64_t> slots_;  // a power of two of them, at most half used
    std::uint32_t size_ = 0;
};

class ByteIndex {
public:
    static constexpr std::uint32_t kNone = HashSlots::kNone;

    // Room for `keys` keys of `bytes` bytes in all without growing.
    void Reserve(std::size_t keys, std::size_t bytes = 0);
    // The key's number, given when the key first came (0, 1, 2 ...), and whether it came now.
    std::pair<std::uint32_t, bool> Add(std::string_view key) { return Add(key, HashBytes(key)); }
    // The same for a key whose hash the caller made: equal keys must have equal hashes.
    std::pair<std::uint32_t, bool> Add(std::string_view key, std::uint64_t hash) {
        const auto added = slots_.Add(hash, [&](std::uint32_t n) { return Key(n) == key; });
        if (added.second) {
            bytes_.append(key);
            ends_.push_back(bytes_.size());
        }
        return added;
    }
    // The key's number; kNone when it never came.
    std::uint32_t Find(std::string_view key) const { return Find(key, HashBytes(key)); }
    std::uint32_t Find(std::string_view key, std::uint64_t hash) const {
        return slots_.Find(hash, [&](std::uint32_t n) { return Key(n) == key; });
    }
    std::string_view Key(std::uint32_t n) const {
        const std::size_t at = n ? ends_[n - 1] : 0;
        return std::string_view(bytes_.data() + at, ends_[n] - at);
    }
    std::uint32_t size() const { return slots_.size(); }
    // Empty, its room kept for the keys to come.
    void Clear();

private:
    HashSlots slots_;
    std::vector<std::size_t> ends_;  // where each key's bytes end in bytes_
    std::string bytes_;
};

// Stored texts as bytes for a pass over the rows of a month: one column's text by another's,
// kept in one buffer. Of the rows that give a key, the one of the lowest order (its id) wins,
// whatever order they come in.
class ByteMap {
public:
    // Room for `n` keys without growing.
    void Reserve(int n);
    // Keeps `value` for `key` unless a row of a lower order gave the key already.
    void Put(std::string_view key, std::string_view value, long long order);
    // The value kept for the key; nothing when no row gave it.
    std::optional<std::string_view> Find(std::string_view key) const;
    int size() const { return int(keys_.size()); }
    // The highest order put so far (-1 when none).
    long long LastOrder() const { return last_; }

private:
    struct Value {
        long long order;
        std::size_t at, size;  // in bytes_
    };
    ByteIndex keys_;
    std::vector<Value> values_;  // by the key's number
    std::string bytes_;
    long long last_ = -1;
};

}  // namespace qm
