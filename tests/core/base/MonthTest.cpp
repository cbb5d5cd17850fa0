#include "core/base/Month.h"
#include "core/base/Quarter.h"
#include "core/base/UnitClass.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using qm::Month;
using qm::Quarter;
using qm::UnitClass;
using Kind = qm::UnitClass::Kind;

TEST(Month, ParsesTheStoredAndTypedFormsOfZeroToTwelveOnly) {
    EXPECT_EQ(Month::Parse(QStringLiteral("0")), Month::Start());
    EXPECT_EQ(Month::Parse(QStringLiteral(" 7 "))->Number(), 7);
    EXPECT_EQ(Month::Parse(QStringLiteral("\t12\r\n"))->Number(), 12);
    EXPECT_EQ(Month::Parse(QStringLiteral("07"))->Number(), 7);
    for (const char* bad : {"", "  ", "13", "-1", "+3", "3.0", "3月", "x", "１２", "99", "100000000000000000000"})
        EXPECT_FALSE(Month::Parse(QString::fromUtf8(bad))) << bad;
    // A full-width blank is not a blank of the stored text.
    EXPECT_FALSE(Month::Parse(QStringLiteral("\u30003")));
    EXPECT_THROW(Month::FromText(QStringLiteral("13")), std::invalid_argument);
    EXPECT_EQ(Month::FromText(QStringLiteral(" 5")).Text(), QStringLiteral("5"));
}

// The month fields of the range choosers and the month columns of the predecessor's database
// each keep the writings they have always taken; only the months differ from Plain.
TEST(Month, EachWritingTakesWhatItsEntryHasAlwaysTaken) {
    using W = Month::Written;
    struct Case {
        const char* text;
        int field;  // the month read, -1 for none
        int number;
    };
    // clang-format off
    const Case cases[] = {
        {"1", 1, 1},      {" 12 ", 12, 12}, {"07", 7, 7},     {"0", 0, 0},       {"00", 0, 0},
        {"012", -1, 12},  {"100", -1, -1},  {"13", -1, -1},   {"+3", -1, 3},     {"-1", -1, -1},
        {"-0", -1, 0},    {"3.0", -1, 3},   {"3.5", -1, -1},  {"3e0", -1, 3},    {"1e1", -1, 10},
        {"1e2", -1, -1},  {"1 2", -1, -1},  {"1;x", -1, -1},  {"abc", -1, -1},   {"3 or 1=1", -1, -1},
        {"", -1, -1},     {" ", -1, -1},    {"inf", -1, -1},  {"nan", -1, -1},   {"0x3", -1, -1},
        {"3月", -1, -1},  {"１", -1, -1},   {"\t9\r\n", 9, 9}, {"\x01" "5", -1, 5}, {"\u3000" "4\u3000", 4, 4},
    };
    // clang-format on
    for (const Case& c : cases) {
        const QString t = QString::fromUtf8(c.text);
        const auto field = Month::Parse(t, W::Field);
        const auto number = Month::Parse(t, W::Number);
        EXPECT_EQ(field ? field->Number() : -1, c.field) << c.text;
        EXPECT_EQ(number ? number->Number() : -1, c.number) << c.text;
    }
    EXPECT_EQ(Month::Parse(QStringLiteral("012")), Month(12));  // the default writing is Plain
}

TEST(Quarter, OneToThreeEachEndingItsRunAndNamedAsTheLabourReportShowsIt) {
    for (int bad : {0, 4, -1}) {
        EXPECT_FALSE(Quarter::Of(bad)) << bad;
        EXPECT_THROW(Quarter{bad}, std::invalid_argument) << bad;
    }
    EXPECT_EQ(Quarter::Of(2), Quarter(2));
    for (int q = 1; q <= 3; ++q) {
        EXPECT_EQ(Quarter(q).Number(), q);
        EXPECT_EQ(Quarter(q).LastMonth(), Month(3 * q));
        EXPECT_EQ(Quarter(q).Label(), QStringLiteral("2012年%1季度").arg(q));
    }
}

TEST(Month, RangeIsCheckedWhereAMonthIsMade) {
    EXPECT_THROW(Month(13), std::invalid_argument);
    EXPECT_THROW(Month(-1), std::invalid_argument);
    EXPECT_FALSE(Month::Of(13));
    EXPECT_EQ(Month::Of(12), Month::YearEnd());
    EXPECT_TRUE(Month().IsStart());
    EXPECT_FALSE(Month(1).IsStart());
}

TEST(Month, CaptionsRunBothWaysThroughOneTable) {
    EXPECT_EQ(Month(0).Caption(), QStringLiteral("期初"));
    EXPECT_EQ(Month(1).Caption(), QStringLiteral("一月"));
    EXPECT_EQ(Month(10).Caption(), QStringLiteral("十月"));
    EXPECT_EQ(Month(11).Caption(), QStringLiteral("十一月"));
    EXPECT_EQ(Month(12).Caption(), QStringLiteral("十二月"));
    for (int n = 0; n <= 12; ++n) EXPECT_EQ(Month::OfCaption(Month(n).Caption()), Month(n));
    EXPECT_FALSE(Month::OfCaption(QStringLiteral(" 一月")));  // exact, no trimming
    EXPECT_FALSE(Month::OfCaption(QStringLiteral("1月")));
}

TEST(Month, NeighboursStopAtTheEndsOfTheYearAndOrderFollowsTheNumber) {
    EXPECT_FALSE(Month::Start().Previous());
    EXPECT_EQ(Month(1).Previous(), Month::Start());
    EXPECT_EQ(Month(11).Next(), Month::YearEnd());
    EXPECT_FALSE(Month::YearEnd().Next());
    EXPECT_LT(Month(2), Month(10));  // as numbers, not as texts
    EXPECT_GT(Month(12), Month(9));
}

TEST(UnitClass, DecodesTheStoredTextsWhateverBlanksSurroundThem) {
    struct Case {
        const char* depType;
        const char* depInfo;
        bool organ;
        Kind kind;
    };
    const Case cases[] = {
        {"企业事业单位", "否", false, Kind::Other},      {"企业事业单位", " 规上 ", false, Kind::AboveSize},
        {"企业", "是1\t", false, Kind::GeneralContract}, {"", "是2", false, Kind::LabourSubcontract},
        {"机关单位  ", "否", true, Kind::Other},         {" 机关单位", "", true, Kind::Unknown},
        {"企业事业单位", "是3", false, Kind::Unknown},   {"机关", "规上", false, Kind::AboveSize},
    };
    for (const Case& c : cases) {
        const UnitClass u = UnitClass::Decode(QString::fromUtf8(c.depType), QString::fromUtf8(c.depInfo));
        EXPECT_EQ(u.IsOrgan(), c.organ) << c.depType << '/' << c.depInfo;
        EXPECT_EQ(u.kind(), c.kind) << c.depType << '/' << c.depInfo;
    }
    // A full-width blank belongs to the text: the class is not recognised.
    EXPECT_EQ(UnitClass::Decode(QString(), QStringLiteral("规上\u3000")).kind(), Kind::Unknown);
}

TEST(UnitClass, StoredTextsRoundTripAndTheStatusTextNamesTheClass) {
    for (bool organ : {false, true})
        for (Kind k : {Kind::Other, Kind::AboveSize, Kind::GeneralContract, Kind::LabourSubcontract}) {
            const UnitClass u(organ, k);
            EXPECT_EQ(UnitClass::Decode(u.DepTypeText(), u.DepInfoText()), u);
        }
    EXPECT_EQ(UnitClass(false, Kind::Other).DepTypeText(), QStringLiteral("企业事业单位"));
    EXPECT_EQ(UnitClass(true, Kind::Other).DepTypeText(), QStringLiteral("机关单位"));
    EXPECT_EQ(UnitClass(false, Kind::Unknown).DepInfoText(), QString());

    EXPECT_EQ(UnitClass(true, Kind::AboveSize).StatusText(), QStringLiteral("机关单位"));  // the type wins
    EXPECT_EQ(UnitClass(false, Kind::Other).StatusText(), QStringLiteral("其他企业事业单位"));
    EXPECT_EQ(UnitClass(false, Kind::AboveSize).StatusText(), QStringLiteral("规模以上工业单位"));
    EXPECT_EQ(UnitClass(false, Kind::GeneralContract).StatusText(),
              QStringLiteral("有总承包和专业承包资质的建筑业单位"));
    EXPECT_EQ(UnitClass(false, Kind::LabourSubcontract).StatusText(), QStringLiteral("有劳务分包资质的建筑业单位"));
    EXPECT_EQ(UnitClass().StatusText(), QString());
}

TEST(UnitClass, OptionalColumnsFollowTheClass) {
    EXPECT_TRUE(UnitClass(false, Kind::GeneralContract).IsConstruction());
    EXPECT_TRUE(UnitClass(false, Kind::LabourSubcontract).HasProductionColumn());
    EXPECT_TRUE(UnitClass(false, Kind::AboveSize).HasProductionColumn());
    EXPECT_FALSE(UnitClass(false, Kind::AboveSize).IsConstruction());
    EXPECT_FALSE(UnitClass(false, Kind::Other).HasProductionColumn());
    EXPECT_FALSE(UnitClass().HasProductionColumn());
}

}  // namespace
