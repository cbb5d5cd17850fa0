#include "core/db/Utf8Map.h"

#include <QByteArrayView>
#include <QString>

namespace qm::db {

namespace {
// FNV-1a over the few bytes of a staff number, then mixed: numbers that differ in their last
// digit only must not crowd into neighbouring slots.
std::uint32_t HashOf(std::string_view s) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return std::uint32_t(h);
}
}  // namespace

std::size_t Utf8Map::SlotOf(std::string_view key, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (!s.used || (s.hash == hash && Key(s) == key)) return i;
    }
}

void Utf8Map::Store(Slot& s, std::string_view key, std::string_view value, long long order) {
    s.at = std::uint32_t(bytes_.size());
    bytes_.append(key).append(value);
    s.keySize = std::uint32_t(key.size());
    s.valueSize = std::uint32_t(value.size());
    s.order = order;
}

void Utf8Map::Rehash(std::size_t size) {
    std::vector<Slot> old(size);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
        if (!s.used) continue;
        std::size_t i = s.hash & mask;
        while (slots_[i].used) i = (i + 1) & mask;
        slots_[i] = s;
    }
}

void Utf8Map::Reserve(int n) {
    std::size_t size = 64;
    while (size < 2 * std::size_t(n > 0 ? n : 0)) size *= 2;
    if (size > slots_.size()) Rehash(size);
    bytes_.reserve(16 * std::size_t(n > 0 ? n : 0));  // a staff number and a name of three characters
}

void Utf8Map::Put(std::string_view key, std::string_view value, long long order) {
    if (2 * std::size_t(count_ + 1) > slots_.size()) Rehash(slots_.empty() ? 64 : 2 * slots_.size());
    if (order > last_) last_ = order;
    const std::uint32_t hash = HashOf(key);
    Slot& s = slots_[SlotOf(key, hash)];
    if (!s.used) {
        s.used = true;
        s.hash = hash;
        ++count_;
        Store(s, key, value, order);
    } else if (order < s.order) {
        Store(s, key, value, order);  // an earlier row of the key came later: it wins
    }
}

std::optional<std::string_view> Utf8Map::Find(std::string_view key) const {
    if (slots_.empty()) return std::nullopt;
    const Slot& s = slots_[SlotOf(key, HashOf(key))];
    if (!s.used) return std::nullopt;
    return std::string_view(bytes_.data() + s.at + s.keySize, s.valueSize);
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
