// The leader lookup and the result-table writer.

#include "core/report/Fmt.h"
#include "core/report/LeaderPost.h"
#include "core/report/ResultTableWriter.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::report;

namespace {

class ReportStoreTest : public ::testing::Test {
protected:
    db::Connection& db() { return base.db(); }
    test::TempBase base;
};

}  // namespace

TEST_F(ReportStoreTest, LeaderRulesOfEnterprisesAndOrgans) {
    const UnitClass organ = UnitClass::Decode(QStringLiteral("机关单位"), QStringLiteral("否"));
    EXPECT_EQ(LeaderRule(UnitClass::Decode(QStringLiteral("企业事业单位"), QStringLiteral("否")), 12).kind(),
              LeaderRule::Kind::General);
    const LeaderRule l12(organ, 12);
    EXPECT_EQ(l12.kind(), LeaderRule::Kind::OrganPair);
    EXPECT_EQ(l12.LeaderPosts(), (std::vector<int>{12, 13}));
    EXPECT_EQ(l12.ClerkPosts(), (std::vector<int>{14, 15, 16, 18}));
    const LeaderRule l0(organ, 0);  // no post below 20: posts 0 and 1, which nobody holds
    EXPECT_EQ(l0.LeaderPosts(), (std::vector<int>{0, 1}));
    EXPECT_EQ(l0.ClerkPosts(), (std::vector<int>{2, 3, 4, 18}));
    const LeaderRule l15(organ, 15);
    EXPECT_EQ(l15.kind(), LeaderRule::Kind::OrganFifteen);
    EXPECT_EQ(l15.LeaderPosts(), std::vector<int>{15});
    EXPECT_EQ(l15.ClerkPosts(), std::vector<int>{18});
    const LeaderRule l17(organ, 17);  // no civil-servant post at all: no leaders
    EXPECT_EQ(l17.kind(), LeaderRule::Kind::OrganNone);
    EXPECT_EQ(l17.LeaderPosts(), std::vector<int>{});
    EXPECT_EQ(l17.ClerkPosts(), std::vector<int>{18});
}

TEST_F(ReportStoreTest, ReplacingTheOneRowKeepsTextsAsTypedAndFiguresAsNumbers) {
    const QStringList cols{QStringLiteral("frdm"), QStringLiteral("I01"), QStringLiteral("I20"),
                           QStringLiteral("frmc")};
    ReplaceSingleRow(db(), QStringLiteral("JGLabor_info"), cols,
                     {QStringLiteral("12345678X"), FigureValue("7"), FigureValue(""), QStringLiteral("O'Brien单位")});
    ReplaceSingleRow(db(), QStringLiteral("JGLabor_info"), cols,
                     {QStringLiteral("12345678X"), FigureValue("9"), FigureValue(" "), QStringLiteral("河畔'单位\"")});
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from JGLabor_info")), "1");
    EXPECT_EQ(base.Scalar(QStringLiteral("select frmc from JGLabor_info")), QStringLiteral("河畔'单位\""));
    EXPECT_EQ(base.Scalar(QStringLiteral("select typeof(I01) || I01 from JGLabor_info")), "integer9");
    EXPECT_EQ(base.Scalar(QStringLiteral("select typeof(I20) from JGLabor_info")), "null");
}

TEST_F(ReportStoreTest, AFailedInsertKeepsThePreviousRow) {
    const QStringList cols{QStringLiteral("frdm"), QStringLiteral("I01"), QStringLiteral("frmc")};
    ReplaceSingleRow(db(), QStringLiteral("JGLabor_info"), cols, {QStringLiteral("A"), 1LL, QStringLiteral("old")});
    db().Exec(QStringLiteral(
        "create trigger refuse before insert on JGLabor_info begin select raise(abort, 'refused'); end"));
    EXPECT_THROW(
        ReplaceSingleRow(db(), QStringLiteral("JGLabor_info"), cols, {QStringLiteral("B"), 2LL, QStringLiteral("new")}),
        db::Error);
    EXPECT_FALSE(db().InTransaction());
    EXPECT_EQ(base.Scalar(QStringLiteral("select frdm || I01 || frmc from JGLabor_info")), "A1old");
    // A value list that does not match the columns is refused before anything is deleted.
    EXPECT_THROW(ReplaceSingleRow(db(), QStringLiteral("JGLabor_info"), cols, {QStringLiteral("B"), 2LL}), db::Error);
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from JGLabor_info")), "1");
}

TEST_F(ReportStoreTest, NamesThatAreNotIdentifiersAreNeverSpliced) {
    EXPECT_TRUE(IsIdentifier(QStringLiteral("Total_1_12")));
    EXPECT_FALSE(IsIdentifier(QStringLiteral("JGLabor_info; drop table Dep_Info")));
    EXPECT_FALSE(IsIdentifier(QStringLiteral("1abc")));
    EXPECT_FALSE(IsIdentifier(QString()));
    EXPECT_THROW(
        ReplaceSingleRow(db(), QStringLiteral("JGLabor_info--"), {QStringLiteral("frdm")}, {QStringLiteral("x")}),
        db::Error);
}

TEST(ReportFigureValue, CellTextsBecomeBoundValues) {
    EXPECT_TRUE(FigureValue("").IsNull());
    EXPECT_TRUE(FigureValue("  ").IsNull());
    EXPECT_EQ(FigureValue("12").kind(), db::Value::Kind::Integer);
    EXPECT_EQ(FigureValue("12").rawInteger(), 12);
    EXPECT_EQ(FigureValue("12.50").kind(), db::Value::Kind::Real);
    EXPECT_DOUBLE_EQ(FigureValue("12.50").rawReal(), 12.5);
    EXPECT_THROW(FigureValue("-"), FormatError);
}
