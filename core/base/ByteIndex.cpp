#include "core/base/ByteIndex.h"

#include <algorithm>

namespace qm {

void HashSlots::Grow(std::size_t size) {
    std::vector<std::uint64_t> old(size, 0);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint64_t s : old) {
        if (s == 0) continue;
        std::size_t i = (s >> 32) & mask;
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = s;
    }
}

void HashSlots::Reserve(std::size_t keys) {
    std::size_t size = 64;
    while (size < 2 * keys) size *= 2;
    if (size > slots_.size()) Grow(size);
}

void HashSlots::Clear() {
    std::fill(slots_.begin(), slots_.end(), 0);
    size_ = 0;
}

void ByteIndex::Reserve(std::size_t keys, std::size_t bytes) {
    slots_.Reserve(keys);
    ends_.reserve(keys);
    bytes_.reserve(bytes);
}

void ByteIndex::Clear() {
    slots_.Clear();
    ends_.clear();
    bytes_.clear();
}

void ByteMap::Reserve(int n) {
    const std::size_t want = std::size_t(n > 0 ? n : 0);
    keys_.Reserve(want, 8 * want);  // a staff number
    values_.reserve(want);
    bytes_.reserve(8 * want);  // a name of two or three characters
}

void ByteMap::Put(std::string_view key, std::string_view value, long long order) {
    if (order > last_) last_ = order;
    const auto [n, fresh] = keys_.Add(key);
    if (!fresh && order >= values_[n].order) return;
    const Value v{order, bytes_.size(), value.size()};
    bytes_.append(value);
    if (fresh)
        values_.push_back(v);
    else
        values_[n] = v;  // an earlier row of the key came later: it wins
}

std::optional<std::string_view> ByteMap::Find(std::string_view key) const {
    const std::uint32_t n = keys_.Find(key);
    if (n == ByteIndex::kNone) return std::nullopt;
    const Value& v = values_[n];
    return std::string_view(bytes_.data() + v.at, v.size);
}

}  // namespace qm
