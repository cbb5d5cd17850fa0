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

}  // namespace
}  // namespace qm
