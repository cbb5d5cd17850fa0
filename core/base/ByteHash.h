#pragma once
// One hash of stored bytes for the hash tables of the passes over many rows (the report
// engine's groups and joins, the saves' roster, the payment list's persons): eight bytes a
// step, then mixed, so that numbers differing in their last digit only do not crowd together.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qm {

inline std::uint64_t MixBits(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

inline std::uint64_t HashBytes(const char* p, std::size_t n) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ n;
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = MixBits(h ^ w);
        p += 8;
        n -= 8;
    }
    std::uint64_t w = 0;
    if (n) std::memcpy(&w, p, n);  // a value of no bytes may have no address
    return MixBits(h ^ w ^ (std::uint64_t(n) << 56));
}

inline std::uint64_t HashBytes(std::string_view s) { return HashBytes(s.data(), s.size()); }

}  // namespace qm
