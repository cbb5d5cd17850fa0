// The scalar reads of the report queries, the leader lookup and the result-table writer.

#include "core/report/Fmt.h"
#include "core/report/LeaderPost.h"
#include "core/report/ReportQuery.h"
#include "core/report/ResultTableWriter.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::report;

namespace {

class ReportStoreTest : public ::testing::Test {
protected:
    db::Connection& db() { return base.db(); }
    void Staff(int mon, int post) {
        db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sPost, sIsok) values (?, 'x', ?, '1')"),
                  {mon, post});
    }
    test::TempBase base;
};

}  // namespace

TEST_F(ReportStoreTest, ScalarReadsOfCountsAndSums) {
    db().Exec(QStringLiteral("insert into Wage_Info (sNumber, Smon, sTotal) values ('a', 1, 1000.5), ('b', 1, 1499)"));
    EXPECT_EQ(CountInt(db(), QStringLiteral("select count(*) as num from Wage_Info")), 2);
    // 2499.5 read as a whole number goes to the even neighbour.
    EXPECT_EQ(SumRoundedInt(db(), QStringLiteral("select sum(sTotal) as num from Wage_Info")), 2500);
    db().Exec(QStringLiteral("update Wage_Info set sTotal = 1001.5 where sNumber = 'a'"));
    EXPECT_EQ(SumRoundedInt(db(), QStringLiteral("select sum(sTotal) as num from Wage_Info")), 2500);  // 2500.5
    EXPECT_DOUBLE_EQ(SumDouble(db(), QStringLiteral("select sum(sTotal) as num from Wage_Info")), 2500.5);
    // A sum over no rows is NULL and reads 0.
    EXPECT_EQ(SumRoundedInt(db(), QStringLiteral("select sum(sTotal) as num from Wage_Info where Smon=5")), 0);
    EXPECT_DOUBLE_EQ(SumDouble(db(), QStringLiteral("select sum(sTotal) as num from Wage_Info where Smon=5")), 0);
    EXPECT_EQ(SumRoundedInt(db(), QStringLiteral("select sum(sTotal) as num from Wage_Info where Smon=?"), {1}), 2500);
    // A statement that fails raises; nothing is read as 0.
    EXPECT_THROW(CountInt(db(), QStringLiteral("select count(*) as num from Staff_moninfo where sMon<=12and sPost=1")),
                 db::Error);
}

TEST_F(ReportStoreTest, LeaderPostIsTheSmallestPostBelowTwentyOfAnyMonth) {
    EXPECT_EQ(LookLeader(db()), 0);
    EXPECT_EQ(LookLeader(db(), 7), 7);  // none found: the value stays
    Staff(3, 41);
    Staff(0, 100);
    EXPECT_EQ(LookLeader(db()), 0);
    Staff(5, 14);
    Staff(0, 12);
    Staff(12, 19);
    EXPECT_EQ(LookLeader(db()), 12);
}

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
    EXPECT_THROW(UpdateByGid(db(), QStringLiteral("Total_Info"), {{1, {QStringLiteral("G11=1,G12")}, {1LL}}}),
                 db::Error);
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Total_Info where G11 is not null")), "0");
}

TEST_F(ReportStoreTest, UpdatesByGidRunAsOneTransaction) {
    UpdateByGid(db(), QStringLiteral("Total_Info"),
                {{1, {QStringLiteral("Dep_id"), QStringLiteral("G11")}, {QStringLiteral("X'1"), 5LL}},
                 {2, {QStringLiteral("G11")}, {6LL}}});
    EXPECT_EQ(base.Scalar(QStringLiteral("select Dep_id || G11 from Total_Info where Gid=1")), "X'15");
    EXPECT_EQ(base.Scalar(QStringLiteral("select G11 from Total_Info where Gid=2")), "6");
    // The second update fails: the first is undone with it.
    EXPECT_THROW(UpdateByGid(db(), QStringLiteral("Total_Info"),
                             {{1, {QStringLiteral("G11")}, {9LL}}, {2, {QStringLiteral("NoSuchColumn")}, {9LL}}}),
                 db::Error);
    EXPECT_EQ(base.Scalar(QStringLiteral("select G11 from Total_Info where Gid=1")), "5");
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

TEST_F(ReportStoreTest, BatchedCellQueriesReadWhatEachStatementReadsAlone) {
    base.RunFixture(QStringLiteral("report_annual.sql"));
    const QString count = QStringLiteral(" select count(*) as num from Staff_moninfo ");
    const QString total = QStringLiteral(" select Sum(sTotal) as num from VmonWage ");
    AggregateBatch batch;
    for (const char* where :
         {" where sMon=12 ", " where sMon=12 and sSex=2 ", " where sMon>=0 and sMon<=12 and ssf=3 ",
          " where sMon=12 and ((sPost like'5%') or (sPost in(61,64))) ", "  where sMon=12 and ssg in(2,3)",
          " where sMon=12 and sPost in(0,1)", " where  (sMon>=0 and sMon<=3) "})
        batch.Add(count, QString::fromLatin1(where));
    for (const char* where :
         {"  where sMon>0 and sMon<=12 ", "  where sMon>0 and sMon<=12 and ssf=3 ",
          " where sMon>=0 and sMon<=12 and sPost like '2%' ", " where sMon>0 and sMon<=12 and sPost in(100) "})
        batch.Add(total, QString::fromLatin1(where));
    batch.Add(QStringLiteral(" select Sum(sN1) as num from VmonWage "),
              QStringLiteral("  where sMon>0 and sMon<=12 and ssf=1 "));
    // Bound marks keep their order when the queries of one table are folded together.
    db::Params posts{db::Value(12)};
    const QString organ = QStringLiteral(" where sMon=?") + PostsIn({0, 1}, posts);
    batch.Add(count, organ, posts);
    batch.Add(count, QStringLiteral(" where (sMon>=0 and sMon<=?) "), {db::Value(3)});
    batch.Run(db());
    std::vector<db::Value> together;
    for (int i = 0; i < batch.Size(); ++i) together.push_back(batch.Value(i));
    batch.RunOneByOne(db());
    for (int i = 0; i < batch.Size(); ++i) {
        SCOPED_TRACE(batch.Statement(i).toStdString());
        EXPECT_EQ(together[size_t(i)].kind(), batch.Value(i).kind());
        EXPECT_EQ(together[size_t(i)].AsString(), batch.Value(i).AsString());
    }
    // Worked out by hand: 5 persons at the year end, 7 other-staff months, 6499.5 yuan of
    // their wages read as 6500, no wages of post 100 (NULL, read 0), 33,800 of basic wages.
    EXPECT_EQ(batch.Count(0), 5);
    EXPECT_EQ(batch.Count(2), 7);
    EXPECT_EQ(batch.Count(5), 0);
    EXPECT_EQ(batch.SumRounded(8), 6500);
    EXPECT_TRUE(batch.Value(10).IsNull());
    EXPECT_EQ(batch.SumRounded(10), 0);
    EXPECT_EQ(batch.SumRounded(11), 33800);
    EXPECT_EQ(batch.Count(12), batch.Count(5));
    EXPECT_EQ(batch.Count(13), batch.Count(6));
    EXPECT_GT(batch.Count(13), 0);
    EXPECT_THROW(batch.Add(QStringLiteral("select max(sTotal) as num from VmonWage"), QStringLiteral(" where sMon=1")),
                 std::invalid_argument);
    EXPECT_THROW(batch.Add(count, QStringLiteral(" sMon=1")), std::invalid_argument);
}
