#include "core/base/Money.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Whole yuan, then up to four decimals without trailing zeros but with their leading ones;
// amounts on both sides of 64 bits.
TEST(MoneyText, WholeAndDecimalDigits) {
    const Money::Units top64 = Money::Units(~0ULL), beyond64 = Money::Units(1) << 70;
    // clang-format off
    const std::pair<Money::Units, const char*> cases[] = {{0, "0"}, {5, "0.0005"}, {12340, "1.234"}, {-10500, "-1.05"},
        {-30000, "-3"}, {top64, "1844674407370955.1615"}, {top64 + 1, "1844674407370955.1616"},
        {-beyond64, "-118059162071741130.3424"}};
    // clang-format on
    for (const auto& [units, text] : cases) EXPECT_EQ(Money::OfUnits(units).Text(), QString::fromLatin1(text)) << text;
}

// Past the fourth decimal the fifth alone decides, and a half goes away from zero.
TEST(MoneyText, ATypedFifthDecimalRoundsTheFourthAwayFromZero) {
    const std::pair<const char*, const char*> cases[] = {
        {"600.0000499", "600"}, {"-600.00005", "-600.0001"}, {"-0.00005", "-0.0001"}};
    for (const auto& [typed, want] : cases) {
        const std::optional<Money> m = Money::FromText(QString::fromLatin1(typed));
        ASSERT_TRUE(m.has_value()) << typed;
        EXPECT_EQ(m->Text(), QString::fromLatin1(want)) << typed;
    }
}

}  // namespace
}  // namespace qm
