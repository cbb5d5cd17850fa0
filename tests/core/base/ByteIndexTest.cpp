// The byte-keyed index of the passes over many rows, and the map a save reads a month into.
#include "core/base/ByteIndex.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

using namespace std::string_literals;

// All keys under one hash, so that only their bytes tell them apart (prefixes, a NUL, empty):
// each keeps its number through every growth.
TEST(ByteIndex, KeysUnderOneHashKeepTheirNumbersThroughTheGrowth) {
    const std::uint32_t n = 3000;
    const std::uint64_t hash = 0x51ED270B;
    auto key = [](std::uint32_t i) {
        switch (i % 4) {
        case 0: return std::to_string(i);
        case 1: return std::to_string(i / 4) + "\0x"s;  // beside case 0's text of the same digits
        case 2: return std::to_string(i) + std::to_string(i);
        default: return i == 3 ? std::string() : std::string(i % 50, char(i % 256));
        }
    };
    ByteIndex index;
    for (std::uint32_t i = 0; i < n; ++i) ASSERT_EQ(index.Add(key(i), hash), std::make_pair(i, true)) << i;
    for (std::uint32_t i = 0; i < n; ++i) {
        ASSERT_EQ(index.Key(i), key(i)) << i;
        ASSERT_EQ(index.Add(key(i), hash), std::make_pair(i, false)) << i;
    }
    for (const std::string& absent : {"x"s, std::to_string(n) + "\0y"s, std::string(60, 'a')})
        EXPECT_EQ(index.Find(absent, hash), ByteIndex::kNone);
}

// Of the puts of a key the lowest order wins, whichever comes first; an empty key is a key.
TEST(ByteMap, AKeyKeepsTheValueOfItsLowestOrder) {
    ByteMap m;
    m.Put("", "", 7);
    m.Put("a", "late", 9);
    m.Put("a", "first", 2);
    m.Put("a", "after", 5);
    EXPECT_EQ(m.Find(""), "");
    EXPECT_EQ(m.Find("a"), "first");
    EXPECT_FALSE(m.Find("b"));
    EXPECT_EQ(m.LastOrder(), 9);
}

}  // namespace
}  // namespace qm
