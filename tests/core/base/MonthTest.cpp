#include "core/base/Month.h"
#include "core/base/UnitClass.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using qm::Month;
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
