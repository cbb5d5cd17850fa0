// The rounding, reading and reconciliation rules of the report figures, on the examples the
// statistics forms give and on ties both ways.

#include "core/report/AvgPay.h"
#include "core/report/Fmt.h"
#include "core/report/Reconcile.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qm::report;

// The patterns "0" and "0.00" on the exact quotient: a half goes away from zero, "-0" never
// appears, and a decimal no double holds exactly (2.675, 1.005) rounds as written.
TEST(ReportFormat, PatternsRoundTheQuotientsHalvesAwayFromZero) {
    const struct {
        long long n, d;
        int decimals;
        const char* text;
    } cases[] = {
        {5, 2, 0, "3"},
        {-5, 2, 0, "-3"},
        {5, -2, 0, "-3"},
        {1, 2, 0, "1"},
        {3, 2, 0, "2"},
        {-1, 2, 0, "-1"},
        {24999, 10000, 0, "2"},
        {2500, 1000, 0, "3"},  // wages of 2,500 yuan are 3 thousand
        {2499, 1000, 0, "2"},
        {18, 4, 0, "5"},  // an average headcount of 4.5
        {11000, 3, 0, "3667"},
        {0, 7, 0, "0"},
        {-4, 10, 0, "0"},  // never "-0"
        {1999999, 2, 0, "1000000"},
        {123456789012, 1, 0, "123456789012"},
        {12345, 8, 2, "1543.13"},
        {-12345, 8, 2, "-1543.13"},
        {2675, 1000, 2, "2.68"},
        {1005, 1000, 2, "1.01"},
        {7, 1, 2, "7.00"},
        {4, 1000, 2, "0.00"},
        {-4, 1000, 2, "0.00"},
        {99995, 1000, 2, "100.00"},
        {1, 3, 2, "0.33"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FmtQuotient(c.n, c.d, c.decimals), c.text) << c.n << " / " << c.d << " to " << c.decimals;
}

TEST(ReportFormat, SumsReadAsWholeNumbersGoHalfToEven) {
    EXPECT_EQ(HalfEven(2.5), 2);
    EXPECT_EQ(HalfEven(3.5), 4);
    EXPECT_EQ(HalfEven(2499.5), 2500);
    EXPECT_EQ(HalfEven(2500.5), 2500);
    EXPECT_EQ(HalfEven(-2.5), -2);
    EXPECT_EQ(HalfEven(17699.4), 17699);
    // The whole-number read comes before the division: 2499.5 yuan make 3 thousand, where
    // dividing the raw sum would give 2.
    EXPECT_EQ(FmtQuotient(HalfEven(2499.5), 1000, 0), "3");
    EXPECT_EQ(FmtQuotient(24995, 10000, 0), "2");
    // A value no whole number holds is refused, never cast.
    EXPECT_EQ(HalfEven(9e18), 9000000000000000000LL);
    EXPECT_THROW(HalfEven(1e300), FormatError);
    EXPECT_THROW(HalfEven(-1e19), FormatError);
    EXPECT_THROW(HalfEven(std::nan("")), FormatError);
}

TEST(ReportFormat, ShortestTextOfAReal) {
    EXPECT_EQ(ShortFloat(5000.0), "5000");
    EXPECT_EQ(ShortFloat(4999.5), "4999.5");
    EXPECT_EQ(ShortFloat(0.1 + 0.2), "0.3");
    EXPECT_EQ(ShortFloat(-12.25), "-12.25");
    EXPECT_EQ(ShortFloat(0.0001), "0.0001");
    EXPECT_EQ(ShortFloat(0), "0");
    EXPECT_EQ(ShortFloat(1e20), "1E+20");
}

TEST(ReportFormat, CellsReadAsNumbers) {
    EXPECT_EQ(CellInt(" 12 "), 12);
    EXPECT_EQ(CellInt(""), 0);
    EXPECT_EQ(CellInt("-3"), -3);
    EXPECT_THROW(CellInt("-"), FormatError);
    EXPECT_THROW(CellInt("1.5"), FormatError);
    EXPECT_DOUBLE_EQ(CellNumber("12.50"), 12.5);
    EXPECT_THROW(CellNumber("abc"), FormatError);
}

namespace {
std::vector<long long> Rec(std::vector<long long> subs, long long total) {
    Reconcile(subs, total);
    return subs;
}
}  // namespace

TEST(ReportReconcile, TheFourExamplesOfTheQuarterlyForm) {
    EXPECT_EQ(Rec({5, 3, 4}, 10), (std::vector<long long>{3, 3, 4}));  // d = 2
    EXPECT_EQ(Rec({1, 3, 4}, 5), (std::vector<long long>{0, 1, 4}));   // d = 3
    EXPECT_EQ(Rec({1, 1, 9}, 8), (std::vector<long long>{0, 0, 8}));   // d = 3, no item reaches it
    EXPECT_EQ(Rec({3, 3, 3}, 10), (std::vector<long long>{4, 3, 3}));  // d = -1 raises the first
}

TEST(ReportReconcile, GeneralRuleOverLongerGroups) {
    std::vector<long long> same{2, 3, 5};
    EXPECT_FALSE(Reconcile(same, 10));
    EXPECT_EQ(same, (std::vector<long long>{2, 3, 5}));
    // One too many with a first item of 0: the next item holding at least 1 takes it.
    EXPECT_EQ(Rec({0, 3, 2}, 4), (std::vector<long long>{0, 2, 2}));
    EXPECT_EQ(Rec({0, 0, 1, 5}, 5), (std::vector<long long>{0, 0, 0, 5}));
    // One short: the first grows.
    EXPECT_EQ(Rec({34, 14, 7, 4}, 60), (std::vector<long long>{35, 14, 7, 4}));
    // Five items where the running sum reaches d at the third.
    EXPECT_EQ(Rec({1, 1, 5, 2, 9}, 13), (std::vector<long long>{0, 0, 2, 2, 9}));
    // Afterwards every group adds up to its total.
    for (auto [subs, total] : std::vector<std::pair<std::vector<long long>, long long>>{
             {{5, 3, 4}, 10}, {{1, 1, 9}, 8}, {{0, 0, 0}, 3}, {{7, 0, 0, 1}, 2}, {{2, 2}, 9}}) {
        Reconcile(subs, total);
        long long s = 0;
        for (long long x : subs) s += x;
        EXPECT_EQ(s, total);
    }
}

TEST(ReportAveragePay, QuarterlyRule) {
    EXPECT_EQ(AveragePay(PayRule::QuarterlyThousands, "11", "3"), "3667");
    EXPECT_EQ(AveragePay(PayRule::QuarterlyThousands, "0", "0"), "0");  // no wage: "0"
    EXPECT_EQ(AveragePay(PayRule::QuarterlyThousands, "0", "5"), "0");
    EXPECT_EQ(AveragePay(PayRule::QuarterlyThousands, "4", "0"), "");  // wages, nobody on average: empty
    EXPECT_EQ(AveragePay(PayRule::QuarterlyThousands, "4", "-1"), "");
    EXPECT_EQ(AveragePay(PayRule::QuarterlyThousands, "5", "2"), "2500");
}

TEST(ReportAveragePay, AnnualAndQuotientRules) {
    EXPECT_EQ(AveragePay(PayRule::AnnualThousands, "83", "5"), "16600");
    EXPECT_EQ(AveragePay(PayRule::AnnualThousands, "4", "0"), "0");
    EXPECT_EQ(AveragePay(PayRule::AnnualThousands, "0", "3"), "0");
    EXPECT_EQ(AveragePay(PayRule::AnnualThousands, "1", "8"), "125");
    EXPECT_EQ(AveragePay(PayRule::Quotient, "2500", "2"), "1250");
    EXPECT_EQ(AveragePay(PayRule::Quotient, "5", "2"), "3");
    EXPECT_EQ(AveragePay(PayRule::Quotient, "7", "0"), "0");
    EXPECT_EQ(AveragePay(PayRule::Quotient00, "3086.25", "2"), "1543.13");
    EXPECT_EQ(AveragePay(PayRule::Quotient00, "6", "3"), "2.00");
    EXPECT_EQ(AveragePay(PayRule::Quotient00, "6", "0"), "0");
}
