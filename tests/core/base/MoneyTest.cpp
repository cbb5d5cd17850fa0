// Amounts as ten-thousandths of a yuan: a stored real by the digits it was written with, a typed
// text exactly, a fifth decimal rounding the fourth a half away from zero; quotients rounded once.
#include "core/base/Money.h"

#include <gtest/gtest.h>

using qm::Money;

TEST(Money, AmountsAreTheDigitsTheyWereWrittenWith) {
    const std::pair<double, long long> stored[] = {{2499.2, 24992000}, {0.1 + 0.2, 3000},
                                                   {0.00005, 1},       {-0.00015, -2},
                                                   {1e-300, 0},        {12345678901234.56, 123456789012345600}};
    for (const auto& [v, units] : stored)
        EXPECT_EQ(static_cast<long long>(Money::FromDouble(v)->TenThousandths()), units) << v;
    // Held beyond 64 bits of ten-thousandths, up to 1e20 yuan.
    EXPECT_EQ(Money::FromDouble(9e18)->Text(), QStringLiteral("9000000000000000000"));
    EXPECT_FALSE(Money::FromDouble(1e20));
    const std::pair<const char*, const char*> typed[] = {
        {"2500.12345", "2500.1235"}, {" -3.25 ", "-3.25"}, {".5", "0.5"}, {"+7", "7"}, {"0.00004", "0"}};
    for (const auto& [text, shown] : typed)
        EXPECT_EQ(Money::FromText(QString::fromLatin1(text))->Text(), QString::fromLatin1(shown)) << text;
    for (const char* text : {"1e5", "", "-", "1.2.3", "１", "100000000000000000000"})
        EXPECT_FALSE(Money::FromText(QString::fromUtf8(text))) << text;
}

TEST(Money, QuotientsRoundOnceAHalfAwayFromZeroOrToTheEvenOne) {
    using qm::DivideRounded;
    using qm::Half;
    EXPECT_EQ(DivideRounded(25, 10, Half::AwayFromZero), 3);
    EXPECT_EQ(DivideRounded(-25, 10, Half::AwayFromZero), -3);
    EXPECT_EQ(DivideRounded(25, 10, Half::ToEven), 2);
    EXPECT_EQ(DivideRounded(35, 10, Half::ToEven), 4);
    EXPECT_EQ(DivideRounded(24999999, 10000, Half::ToEven), 2500);
}
