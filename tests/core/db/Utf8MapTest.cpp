// The byte-keyed map a save reads a month into.
#include "core/db/Utf8Map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qm::db {
namespace {

struct Row {
    std::string_view key, value;
    long long order;
};

// Rows come in the order the month's index gives: the lowest order of a key names it.
TEST(Utf8Map, TheRowOfTheLowestOrderNamesAKeyWhateverOrderTheRowsCome) {
    const struct {
        const char* what;
        std::vector<Row> rows;
        std::string_view key;
        std::optional<std::string_view> want;
    } cases[] = {
        {"the first of two", {{"001", "张三", 5}, {"001", "李四", 9}}, "001", "张三"},
        {"a lower order that comes later", {{"001", "李四", 9}, {"001", "张三", 5}}, "001", "张三"},
        {"an empty key", {{"", "无号", 1}}, "", "无号"},
        {"an empty value", {{"002", "", 1}}, "002", ""},
        {"bytes compare exactly", {{"001", "张三", 1}}, "001 ", std::nullopt},
        {"nothing put", {}, "001", std::nullopt},
    };
    for (const auto& c : cases) {
        Utf8Map m;
        for (const Row& r : c.rows) m.Put(r.key, r.value, r.order);
        EXPECT_EQ(m.Find(c.key), c.want) << c.what;
    }
}

// 65,352 numbers that differ in their last digits, put with and without room made first: every
// one keeps its own value through the growth, and an earlier row put late still wins.
TEST(Utf8Map, EveryKeyOfAGrowingMapKeepsItsOwnValue) {
    const int n = 65352;
    auto key = [](int i) { return std::to_string(1000000 + i).substr(1); };
    for (const int room : {0, n}) {
        Utf8Map m;
        m.Reserve(room);
        for (int i = 1; i <= n; ++i) m.Put(key(i), "v" + std::to_string(i), i);
        for (int i = 1; i <= n; i += 1000) m.Put(key(i), "w", 0);
        ASSERT_EQ(m.size(), n);
        EXPECT_EQ(m.LastOrder(), n);
        for (int i = 1; i <= n; ++i)
            ASSERT_EQ(m.Find(key(i)), i % 1000 == 1 ? std::string("w") : "v" + std::to_string(i)) << i;
        EXPECT_FALSE(m.Find(key(n + 1)));
    }
}

}  // namespace
}  // namespace qm::db
