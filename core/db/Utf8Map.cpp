#include "core/db/Utf8Map.h"

#include "core/base/ByteHash.h"

#include <QByteArrayView>
#include <QString>

namespace qm::db {

namespace {
std::uint32_t HashOf(std::string_view s) { return std::uint32_t(HashBytes(s)); }
}  // namespace

std::size_t Utf8Map::SlotOf(std::string_view key, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint64_t s = slots_[i];
        if (s == 0) return i;
        if (std::uint32_t(s >> 32) != hash) continue;
        const Entry& e = entries_[std::uint32_t(s) - 1];
        if (std::string_view(bytes_.data() + e.at, e.keySize) == key) return i;
    }
}

void Utf8Map::Store(Entry& e, std::string_view key, std::string_view value, long long order) {
    e.order = order;
    e.at = std::uint32_t(bytes_.size());
    e.keySize = std::uint32_t(key.size());
    e.valueSize = std::uint32_t(value.size());
    bytes_.append(key).append(value);
}

void Utf8Map::Rehash(std::size_t size) {
    std::vector<std::uint64_t> old(size);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const std::uint64_t s : old) {
        if (s == 0) continue;
        std::size_t i = (s >> 32) & mask;
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = s;
    }
}

void Utf8Map::Reserve(int n) {
    const std::size_t want = std::size_t(n > 0 ? n : 0);
    std::size_t size = 64;
    while (size < 2 * want) size *= 2;
    if (size > slots_.size()) Rehash(size);
    entries_.reserve(want);
    bytes_.reserve(16 * want);  // a staff number and a name of three characters
}

void Utf8Map::Put(std::string_view key, std::string_view value, long long order) {
    if (2 * (entries_.size() + 1) > slots_.size()) Rehash(slots_.empty() ? 64 : 2 * slots_.size());
    if (order > last_) last_ = order;
    const std::uint32_t hash = HashOf(key);
    std::uint64_t& s = slots_[SlotOf(key, hash)];
    if (s == 0) {
        Store(entries_.emplace_back(), key, value, order);
        s = (std::uint64_t(hash) << 32) | std::uint64_t(entries_.size());
    } else if (Entry& e = entries_[std::uint32_t(s) - 1]; order < e.order) {
        Store(e, key, value, order);  // an earlier row of the key came later: it wins
    }
}

std::optional<std::string_view> Utf8Map::Find(std::string_view key) const {
    if (slots_.empty()) return std::nullopt;
    const std::uint64_t s = slots_[SlotOf(key, HashOf(key))];
    if (s == 0) return std::nullopt;
    const Entry& e = entries_[std::uint32_t(s) - 1];
    return std::string_view(bytes_.data() + e.at + e.keySize, e.valueSize);
}

std::string_view AsRead(std::string_view stored, std::string& spare) {
    if (QByteArrayView(stored.data(), qsizetype(stored.size())).isValidUtf8() && !stored.starts_with("\xEF\xBB\xBF"))
        return stored;
    spare = QString::fromUtf8(stored.data(), qsizetype(stored.size())).toStdString();
    return spare;
}

std::string_view TrimBlankBytes(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return s;
}

}  // namespace qm::db
