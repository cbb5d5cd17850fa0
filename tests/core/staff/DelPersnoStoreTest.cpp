// The batch deletion's stored side: the scratch list, the matches and the deletions.
#include "core/staff/DelPersnoStore.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

void Staff(test::TempBase& tb, int mon, const QString& name, const QString& number) {
    tb.db().Exec(
        "insert into Staff_moninfo(sMon,sName,sNumber,sTsex,sBirth,sTEdu,sGw,sIsok) "
        "values(?,?,?,'女','1980-01','大学本科','会计','1')",
        {mon, name, number});
}
void Wage(test::TempBase& tb, int mon, const QString& number) {
    tb.db().Exec("insert into Wage_Info(Smon,sNumber,sName,sN1,sTotal,sFlag,wFlag) values(?,?,'某',1000,1000,'1','1')",
                 {mon, number});
}

TEST(DelPersnoStore, MatchesByNumberInIdOrderForTheMonth) {
    test::TempBase tb;
    Staff(tb, 3, "赵一", "11");
    Staff(tb, 3, "钱二", "12");
    Staff(tb, 3, "孙三", "13");
    Staff(tb, 2, "钱二", "12");
    StoreDelQuery(tb.db(), Month(3), {{"写错的名字", "12", "调走"}, {"赵一", "11", ""}, {"赵一", "99", ""}});
    auto m = DelMatches(tb.db(), Month(3));
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].sName, "赵一");
    EXPECT_EQ(m[1].sName, "钱二");  // found by number although the typed name differs
    EXPECT_EQ(m[1].sGw, "会计");
    EXPECT_EQ(m[1].sBirth, "1980-01");
    EXPECT_EQ(tb.Scalar("select sMemo from Tmp_Del where sNumber='12'"), "调走");
    EXPECT_EQ(tb.Scalar("select sMon from Tmp_Del limit 1"), "3");
}

TEST(DelPersnoStore, ClearingDeletesExactlyTheMatchedRowsOfTheMonth) {
    test::TempBase tb;
    Staff(tb, 3, "赵一", "11");
    Staff(tb, 3, "钱二", "12");
    Staff(tb, 3, "钱二重复", "12");
    Staff(tb, 3, "孙三", "13");
    Staff(tb, 0, "钱二", "12");
    Wage(tb, 3, "12");
    StoreDelQuery(tb.db(), Month(3), {{"钱二", "12", ""}, {"O'Neil", "x'1", ""}});
    EXPECT_EQ(DeleteDelMatches(tb.db(), Month(3)), 2);
    EXPECT_EQ(tb.Scalar("select group_concat(sNumber) from Staff_moninfo where sMon=3"), "11,13");
    EXPECT_EQ(tb.Scalar("select count(*) from Staff_moninfo where sMon=0 and sNumber='12'"), "1");
    EXPECT_EQ(tb.Scalar("select count(*) from Wage_Info where Smon=3 and sNumber='12'"), "1");
    EXPECT_EQ(tb.Scalar("select count(*) from Tmp_Del"), "0");
    EXPECT_TRUE(DelMatches(tb.db(), Month(3)).empty());
}

TEST(DelPersnoStore, AStaleListOfAnotherMonthIsNeverDeletedFrom) {
    test::TempBase tb;
    Staff(tb, 3, "赵一", "11");
    Staff(tb, 4, "赵一", "11");
    StoreDelQuery(tb.db(), Month(3), {{"赵一", "11", ""}});
    // A new session on month 4: the form empties the scratch list on opening.
    ClearDelScratch(tb.db());
    EXPECT_EQ(DeleteDelMatches(tb.db(), Month(4)), 0);
    // And even without that, the list of month 3 does not reach month 4.
    StoreDelQuery(tb.db(), Month(3), {{"赵一", "11", ""}});
    EXPECT_EQ(DeleteDelMatches(tb.db(), Month(4)), 0);
    EXPECT_EQ(tb.Scalar("select count(*) from Staff_moninfo"), "2");
}

TEST(DelPersnoStore, DeletingOneNumberTakesEveryRowOfItAndRefusesAnEmptyNumber) {
    test::TempBase tb;
    Staff(tb, 5, "甲", "21");
    Staff(tb, 5, "甲又", "21");
    Staff(tb, 5, "无号", "");
    Staff(tb, 6, "甲", "21");
    EXPECT_EQ(DeleteDelNumber(tb.db(), Month(5), " 21 "), 2);
    EXPECT_EQ(DeleteDelNumber(tb.db(), Month(5), "  "), 0);
    EXPECT_EQ(tb.Scalar("select count(*) from Staff_moninfo"), "2");
}

TEST(DelPersnoStore, AFailedQueryRollsBackToThePreviousList) {
    test::TempBase tb;
    StoreDelQuery(tb.db(), Month(3), {{"旧", "1", ""}});
    tb.db().Exec(
        "create trigger failtmp before insert on Tmp_Del when new.sNumber = 'bad' "
        "begin select raise(abort, 'no'); end");
    EXPECT_THROW(StoreDelQuery(tb.db(), Month(3), {{"新", "2", ""}, {"坏", "bad", ""}}), db::Error);
    EXPECT_EQ(tb.Scalar("select group_concat(sNumber) from Tmp_Del"), "1");
    EXPECT_FALSE(tb.db().InTransaction());
}

}  // namespace
}  // namespace qm
