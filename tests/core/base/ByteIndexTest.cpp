// The byte-keyed index of the passes over many rows, and the map a save reads a month into.
#include "core/base/ByteIndex.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace qm {
namespace {

using namespace std::string_literals;

// Under hashes that keep keys apart, collide them all, or share one slot of the first size, each
// key (prefixes of another, a NUL, empty) keeps its number through every growth.
TEST(ByteIndex, EveryKeyKeepsItsNumberThroughTheGrowthWhateverItsHash) {
    const std::uint32_t n = 3000;
    auto key = [](std::uint32_t i) {
        switch (i % 4) {
        case 0: return std::to_string(i);
        case 1: return std::to_string(i / 4) + "\0x"s;  // beside case 0's text of the same digits
        case 2: return std::to_string(i) + std::to_string(i);
        default: return i == 3 ? std::string() : std::string(i % 50, char(i % 256));
        }
    };
    const struct {
        const char* what;
        std::function<std::uint64_t(const std::string&)> hash;
    } cases[] = {
        {"its own hash", [](const std::string& k) { return HashBytes(k); }},
        {"one hash for all", [](const std::string&) { return std::uint64_t(0x51ED270B); }},
        {"one slot of the first size", [](const std::string& k) { return HashBytes(k) << 6; }},
    };
    for (const auto& c : cases)
        for (const std::size_t room : {std::size_t(0), std::size_t(n)}) {
            ByteIndex index;
            index.Reserve(room);
            std::vector<std::string> keys;
            for (std::uint32_t i = 0; i < n; ++i) {
                keys.push_back(key(i));
                const auto [k, fresh] = index.Add(keys.back(), c.hash(keys.back()));
                ASSERT_TRUE(fresh) << c.what << " " << i;
                ASSERT_EQ(k, i) << c.what;
            }
            ASSERT_EQ(index.size(), n) << c.what;
            for (std::uint32_t i = 0; i < n; ++i) {
                ASSERT_EQ(index.Find(keys[i], c.hash(keys[i])), i) << c.what << " " << i;
                ASSERT_EQ(index.Key(i), keys[i]) << c.what << " " << i;
                const auto [k, fresh] = index.Add(keys[i], c.hash(keys[i]));
                ASSERT_FALSE(fresh) << c.what << " " << i;
                ASSERT_EQ(k, i) << c.what;
            }
            for (const std::string& absent : {"x"s, std::to_string(n) + "\0y"s, std::string(60, 'a')})
                EXPECT_EQ(index.Find(absent, c.hash(absent)), ByteIndex::kNone) << c.what;
            EXPECT_EQ(index.size(), n) << c.what;
            index.Clear();
            EXPECT_EQ(index.Find(keys[5], c.hash(keys[5])), ByteIndex::kNone) << c.what;
            EXPECT_EQ(index.Add(keys[5], c.hash(keys[5])), std::make_pair(0u, true)) << c.what;
        }
}

// Keys differing in their last digits keep their values through the growth; a lower order put
// later wins; an empty key and value are kept like any other.
TEST(ByteMap, EveryKeyOfAGrowingMapKeepsTheValueOfItsLowestOrder) {
    const int n = 65352;
    auto key = [](int i) { return std::to_string(1000000 + i).substr(1); };
    for (const int room : {0, n}) {
        ByteMap m;
        m.Reserve(room);
        m.Put("", "", 7);
        for (int i = 1; i <= n; ++i) m.Put(key(i), "v" + std::to_string(i), i);
        for (int i = 1; i <= n; i += 1000) m.Put(key(i), "w", 0);
        for (int i = 2; i <= n; i += 1000) m.Put(key(i), "late", n + i);
        ASSERT_EQ(m.size(), n + 1);
        EXPECT_EQ(m.Find(""), "");
        for (int i = 1; i <= n; ++i)
            ASSERT_EQ(m.Find(key(i)), i % 1000 == 1 ? std::string("w") : "v" + std::to_string(i)) << i;
        EXPECT_FALSE(m.Find(key(n + 1)));
        EXPECT_EQ(m.LastOrder(), n + 2 + (n - 2) / 1000 * 1000);
    }
}

}  // namespace
}  // namespace qm
