#include "core/base/Money.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The text of an amount: whole yuan, then up to four decimals without trailing zeros; the
// decimals keep their leading zeros and a negative amount its sign.
TEST(MoneyText, WholeAndDecimalDigits) {
    const Money::Units beyond64 = Money::Units(1) << 70;  // 1180591620717411303424
    const struct {
        Money::Units units;
        const char* text;
    } cases[] = {
        {0, "0"},
        {5, "0.0005"},
        {500, "0.05"},
        {12340, "1.234"},
        {10000, "1"},
        {26005000, "2600.5"},
        {-10500, "-1.05"},
        {-7, "-0.0007"},
        {-30000, "-3"},
        {Money::Units(~0ULL), "1844674407370955.1615"},
        {Money::Units(~0ULL) + 1, "1844674407370955.1616"},
        {beyond64, "118059162071741130.3424"},
        {-beyond64, "-118059162071741130.3424"},
    };
    for (const auto& c : cases) EXPECT_EQ(Money::OfUnits(c.units).Text(), QString::fromLatin1(c.text)) << c.text;
}

}  // namespace
}  // namespace qm
