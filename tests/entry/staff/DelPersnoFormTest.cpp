// The batch deletion as its user drives it.
#include "entry/staff/DelPersnoForm.h"
#include "tests/entry/staff/MonputTestSupport.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::MonputEnv;

struct Dlg {
    explicit Dlg(MonputEnv& env) : f(env.ctx, env.ListMonth()) {
        f.SetOpenerRefresh([this] { ++refreshed; });
    }
    TFrm_delPersno* operator->() { return &f.Form(); }
    DelPersnoForm f;
    int refreshed = 0;
};

void Wage(MonputEnv& env, int mon, const QString& number) {
    env.tb.db().Exec(
        "insert into Wage_Info(Smon,sNumber,sName,sN1,sTotal,sFlag,wFlag) values(?,?,'某',900,900,'1','1')",
        {mon, number});
}

TEST(DelPersnoForm, TheInputEndsAtTheFirstEmptyNumberAndMatchesByNumber) {
    MonputEnv env("否", "3");
    env.Store(3, "赵一", "11");
    env.Store(3, "钱二", "12");
    Dlg d(env);
    TSheetBook& in = d->Left();
    MonputEnv::Type(in, 2, {"名字写错", "11", "调出"});
    MonputEnv::Type(in, 3, {"钱二", "", ""});
    MonputEnv::Type(in, 4, {"钱二", "12", ""});
    d->BitBtn1Click();
    EXPECT_EQ(env.tb.Scalar("select group_concat(sNumber||sName||sMemo||sMon) from Tmp_Del"), "11名字写错调出3");
    EXPECT_EQ(d->Right().GetCellText(2, 1), "赵一");
    EXPECT_EQ(d->Right().GetCellText(3, 1), "");
    EXPECT_EQ(d->Status(0), "查询结果：共有 1 条记录！");
    EXPECT_TRUE(d->ClearEnabled());
}

TEST(DelPersnoForm, ClearingDeletesTheMatchedPersonsOfTheMonthOnly) {
    MonputEnv env("否", "3");
    env.Store(3, "赵一", "11");
    env.Store(3, "钱二", "12");
    env.Store(3, "孙三", "13");
    env.Store(0, "钱二", "12");
    Wage(env, 3, "12");
    Dlg d(env);
    MonputEnv::Type(d->Left(), 2, {"钱二", "12", ""});
    MonputEnv::Type(d->Left(), 3, {"孙三", "13", ""});
    d->BitBtn1Click();
    env.ui.answers = {DlgAnswer::Yes};
    d->N9Click();
    EXPECT_EQ(env.Col("sNumber", 3), "11");
    EXPECT_EQ(env.Col("sNumber", 0), "12");
    EXPECT_EQ(env.tb.Scalar("select count(*) from Wage_Info where Smon=3 and sNumber='12'"), "1");
    EXPECT_EQ(d->Status(0), "清空成功！");
    EXPECT_EQ(env.ui.Texts(), (QStringList{"请慎重清空！确认清空？", "清空成功！"}));
    EXPECT_EQ(d->Right().GetCellText(2, 1), "");
    EXPECT_FALSE(d->ClearEnabled());
    d->BitBtn2Click();
    EXPECT_EQ(d.refreshed, 1);
}

TEST(DelPersnoForm, ANewDialogNeverClearsFromAnEarlierList) {
    MonputEnv env("否", "3");
    env.Store(3, "赵一", "11");
    {
        Dlg first(env);
        MonputEnv::Type(first->Left(), 2, {"赵一", "11", ""});
        first->BitBtn1Click();
    }  // closed without clearing: the old list stays in Tmp_Del
    Dlg d(env);
    EXPECT_EQ(env.tb.Scalar("select count(*) from Tmp_Del"), "0");
    EXPECT_FALSE(d->ClearEnabled());
    env.ui.defaultAnswer = DlgAnswer::Yes;
    d->N9Click();
    EXPECT_EQ(env.Col("sNumber", 3), "11");
    EXPECT_TRUE(env.ui.Texts().isEmpty());
}

TEST(DelPersnoForm, DeletingOneShownRowTakesEveryRowOfThatNumberAndAnEmptySelectionNothing) {
    MonputEnv env("否", "3");
    env.Store(3, "赵一", "11");
    env.Store(3, "赵一又", "11");
    env.Store(3, "无号", "");
    env.Store(3, "钱二", "12");
    Dlg d(env);
    MonputEnv::Type(d->Left(), 2, {"赵一", "11", ""});
    MonputEnv::Type(d->Left(), 3, {"钱二", "12", ""});
    d->BitBtn1Click();
    env.ui.defaultAnswer = DlgAnswer::Yes;
    d->Right().SetSelection(1, 1, 1, 1);  // the header
    d->N7Click();
    d->Right().SetSelection(9, 1, 9, 1);  // below the rows
    d->N7Click();
    EXPECT_EQ(env.tb.Scalar("select count(*) from Staff_moninfo where sMon=3"), "4");
    d->Right().SetSelection(2, 3, 2, 3);
    env.ui.Clear();
    d->N7Click();
    EXPECT_EQ(env.Col("sName", 3), "无号,钱二");
    EXPECT_EQ(env.ui.Texts(), (QStringList{"确定删除？", "删除成功！"}));
    EXPECT_EQ(d->Right().GetCellText(2, 1), "钱二");  // the remaining match
}

TEST(DelPersnoForm, AFailedQueryIsReportedAndLeavesNothingToClear) {
    MonputEnv env("否", "3");
    env.Store(3, "赵一", "11");
    Dlg d(env);
    MonputEnv::Type(d->Left(), 2, {"赵一", "11", ""});
    d->BitBtn1Click();
    ASSERT_EQ(d->Right().GetCellText(2, 1), "赵一");
    env.tb.db().Exec(
        "create trigger t before insert on Tmp_Del when new.sNumber = 'x' begin select raise(abort, '磁盘已满'); end");
    MonputEnv::Type(d->Left(), 3, {"坏", "x", ""});
    d->BitBtn1Click();
    EXPECT_TRUE(env.ui.Texts().last().startsWith("查询失败："));
    EXPECT_TRUE(env.ui.Texts().last().contains("磁盘已满"));
    EXPECT_EQ(d->Right().GetCellText(2, 1), "");
    EXPECT_FALSE(d->ClearEnabled());
}

TEST(DelPersnoForm, ClosingRefreshesTheOpenerOnlyAfterADeletion) {
    MonputEnv env("否", "3");
    env.Store(3, "赵一", "11");
    env.ui.defaultAnswer = DlgAnswer::Yes;
    for (bool remove : {false, true}) {
        Dlg d(env);
        MonputEnv::Type(d->Left(), 2, {"赵一", "11", ""});
        d->BitBtn1Click();
        if (remove) d->N9Click();
        d->reject();  // what the close box ends in
        EXPECT_EQ(d.refreshed, remove ? 1 : 0);
    }
}

}  // namespace
}  // namespace qm
