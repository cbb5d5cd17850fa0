// The byte-keyed map a save reads a month into.
#include "core/db/Utf8Map.h"

#include <gtest/gtest.h>

#include <string>

namespace qm::db {
namespace {

// 65,352 numbers that differ in their last digits, put with and without room made first: every
// one keeps its own value through the growth, a row of a lower order put later wins, and an
// empty key and an empty value are kept like any other.
TEST(Utf8Map, EveryKeyOfAGrowingMapKeepsTheValueOfItsLowestOrder) {
    const int n = 65352;
    auto key = [](int i) { return std::to_string(1000000 + i).substr(1); };
    for (const int room : {0, n}) {
        Utf8Map m;
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
    }
}

}  // namespace
}  // namespace qm::db
