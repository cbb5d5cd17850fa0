#include "core/base/TwoGenerationCache.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

// Each case inserts keys in turn (a lowercase letter costs 1, an uppercase one 3) or looks one
// up ("?k"), in a cache of at most three entries and a cost of five a generation; then says
// which keys are kept.
TEST(TwoGenerationCache, KeepsWhatIsInUseAcrossATurnoverAndDropsWhatWentUnusedForAGeneration) {
    struct Case {
        const char* name;
        std::vector<std::string> steps;
        std::string kept, gone;
    };
    const Case cases[] = {
        {"within the limits, all kept", {"a", "b", "c"}, "abc", ""},
        {"a turnover keeps the previous generation", {"a", "b", "c", "d"}, "abcd", ""},
        {"a second turnover drops the oldest generation", {"a", "b", "c", "d", "e", "f", "g"}, "defg", "abc"},
        {"one found in the previous generation survives", {"a", "b", "c", "d", "?a", "e", "f"}, "adef", "bc"},
        {"the cost turns over too", {"A", "b", "c", "D"}, "AbcD", ""},
        {"costly entries drop sooner", {"A", "B", "C"}, "BC", "A"},
        {"a miss is a miss", {"a", "?z"}, "a", "z"},
    };
    for (const Case& c : cases) {
        qm::TwoGenerationCache<char, int> cache(3, 5);
        for (const std::string& s : c.steps) {
            if (s[0] == '?') {
                const int* v = cache.Find(s[1]);
                EXPECT_TRUE(!v || *v == int(s[1])) << c.name;
            } else {
                EXPECT_EQ(cache.Insert(s[0], int(s[0]), std::isupper(s[0]) ? 3 : 1), int(s[0])) << c.name;
            }
        }
        // Counted, not looked up: a lookup would move entries between the generations.
        auto kept = [&cache](char k) { return cache.CountIf([k](int v) { return v == int(k); }); };
        EXPECT_EQ(cache.Size(), qsizetype(c.kept.size())) << c.name;
        for (char k : c.kept) EXPECT_EQ(kept(k), 1) << c.name << ": " << k;
        for (char k : c.gone) EXPECT_EQ(kept(k), 0) << c.name << ": " << k;
        cache.Clear();
        EXPECT_EQ(cache.Size(), 0) << c.name;
    }
}

}  // namespace
