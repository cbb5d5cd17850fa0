#include "core/base/ScriptedUiService.h"
#include "core/report/RangeChoice.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::report;

namespace {

class RangeChoiceTest : public ::testing::Test {
protected:
    test::TempBase base;
    ScriptedUiService ui;
    db::Connection& db() { return base.db(); }

    void Staff(int month, const QString& number, const QString& ok = QStringLiteral("1")) {
        db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName, sIsok) values (?, ?, ?, ?)"),
                  {month, number, number, ok});
    }
    void Wage(int month, const QString& number, const char* sFlag, const char* wFlag) {
        db().Exec(QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sTotal, sFlag, wFlag) "
                                 "values (?, ?, ?, 1000, ?, ?)"),
                  {month, number, number, sFlag, wFlag});
    }
};

TEST_F(RangeChoiceTest, MonthFieldsAcceptOnlyWholeNumbersOneToTwelve) {
    RangeChoice choice(db(), ui, RangeChoice::Twin::BA);
    const auto from = [&](const char* text) {
        const auto r = choice.CheckRange(QString::fromUtf8(text), QStringLiteral("12"));
        return r ? r->from : -1;
    };
    EXPECT_EQ(from("1"), 1);
    EXPECT_EQ(from(" 12 "), 12);
    EXPECT_EQ(from("07"), 7);
    EXPECT_TRUE(ui.shown.empty());
    for (const char* bad : {"0", "13", "1;x", "abc", "", " ", "1.0", "+3", "-1", "1 2", "3 or 1=1", "１", "100"}) {
        ui.Clear();
        EXPECT_EQ(from(bad), -1) << bad;
        EXPECT_FALSE(choice.CheckRange(QStringLiteral("1"), QString::fromUtf8(bad))) << bad;
        ASSERT_EQ(ui.shown.size(), 2u) << bad;
        EXPECT_EQ(ui.shown[0].text, kBadRangeText);
    }
}

TEST_F(RangeChoiceTest, MonthsAreListedAscendingWhateverOrderTheyWereSavedIn) {
    for (int m : {3, 12, 1, 0, 2, 10}) Staff(m, QStringLiteral("A"));
    Staff(3, QStringLiteral("B"));
    RangeChoice choice(db(), ui, RangeChoice::Twin::AB);
    ASSERT_TRUE(choice.LoadMonths());
    EXPECT_EQ(choice.Months(), (QStringList{"1", "2", "3", "10", "12"}));
    EXPECT_TRUE(ui.shown.empty());
}

// Months no window writes (a fraction, a negative number, none, a text) list in the order and
// form the stored values sort and read in; a text month comes after every number.
TEST_F(RangeChoiceTest, MonthsStoredOddlyListAsTheyStandSorted) {
    for (int m : {12, 3, 0}) Staff(m, QStringLiteral("A"));
    const auto raw = [&](const char* month) {
        db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName, sIsok) values (") +
                  QString::fromLatin1(month) + QStringLiteral(", 'B', 'B', '1')"));
    };
    for (const char* m : {"2.5", "-1", "null", "3.0", "0.0"}) raw(m);
    RangeChoice numbers(db(), ui, RangeChoice::Twin::BA);
    ASSERT_TRUE(numbers.LoadMonths());
    EXPECT_EQ(numbers.Months(), (QStringList{"-1", "2.5", "3", "12"}));
    raw("'x'");
    raw("' 4x'");
    RangeChoice texts(db(), ui, RangeChoice::Twin::BA);
    ASSERT_TRUE(texts.LoadMonths());
    EXPECT_EQ(texts.Months(), (QStringList{"-1", "2.5", "3", "12", "4x", "x"}));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(RangeChoiceTest, NoMonthlyListShowsTheStopBox) {
    Staff(0, QStringLiteral("A"));  // the start-of-period list is not a month to offer
    RangeChoice choice(db(), ui, RangeChoice::Twin::BA);
    EXPECT_FALSE(choice.LoadMonths());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::Stop);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("没有输入月工资信息！"));
}

TEST_F(RangeChoiceTest, AllThreeErrorChecksRunAndNameTheirMonthsInOrder) {
    Wage(5, QStringLiteral("A"), "0", "1");
    Wage(3, QStringLiteral("B"), "0", "1");
    Wage(3, QStringLiteral("C"), "0", "1");
    Wage(7, QStringLiteral("D"), "1", "0");
    Staff(4, QStringLiteral("E"), QStringLiteral("0"));
    Staff(0, QStringLiteral("F"), QStringLiteral("0"));  // the start-of-period list is not checked here
    Staff(2, QStringLiteral("G"), QStringLiteral("0"));
    for (auto twin : {RangeChoice::Twin::AB, RangeChoice::Twin::BA}) {
        ui.Clear();
        RangeChoice choice(db(), ui, twin);
        EXPECT_FALSE(choice.CheckMonthErrors());
        EXPECT_EQ(ui.Texts(), (QStringList{QStringLiteral("[3,5]月工资数据还有错误，不能汇总，请核实！"),
                                           QStringLiteral("[7]月工资数据还有【审核性】错误，不能汇总，请核实！"),
                                           QStringLiteral("[2,4]月度人员还有错误，不能汇总，请核实！")}));
        for (const ShownBox& b : ui.shown) {
            EXPECT_EQ(b.kind, DlgKind::Confirmation);
            EXPECT_EQ(b.buttons, DlgButtons::YesOnly);
        }
    }
}

TEST_F(RangeChoiceTest, CleanDataPassesTheChecksSilently) {
    Wage(1, QStringLiteral("A"), "1", "1");
    Staff(1, QStringLiteral("A"));
    Staff(0, QStringLiteral("B"), QStringLiteral("0"));
    RangeChoice choice(db(), ui, RangeChoice::Twin::AB);
    EXPECT_TRUE(choice.CheckMonthErrors());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(RangeChoiceTest, TheRangeCheckRefusesBadTextsAndAStartAfterTheEnd) {
    RangeChoice choice(db(), ui, RangeChoice::Twin::AB);
    const std::pair<const char*, const char*> bad[] = {{"1;x", "3"}, {"1", "x"}, {"5", "3"}, {"0", "3"}, {"2", "13"}};
    for (auto [from, to] : bad) {
        ui.Clear();
        EXPECT_FALSE(choice.CheckRange(QString::fromUtf8(from), QString::fromUtf8(to))) << from << " " << to;
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::Stop);
        EXPECT_EQ(ui.shown[0].text, QStringLiteral("开始、截止月份错误!"));
    }
    ui.Clear();
    const auto one = choice.CheckRange(QStringLiteral(" 3"), QStringLiteral("3 "));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->MonthCount(), 1);
    EXPECT_EQ(SummaryCopyName(*one), QStringLiteral("Total_3_3"));
    EXPECT_EQ(PeriodCopyName(*one), QStringLiteral("JLabor_3_3"));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(RangeChoiceTest, OnlyTheEnterpriseChooserRefusesWageErrorsInsideTheRange) {
    Wage(4, QStringLiteral("A"), "1", "0");
    Wage(2, QStringLiteral("B"), "0", "1");
    Wage(9, QStringLiteral("C"), "0", "1");  // outside the range
    RangeChoice ab(db(), ui, RangeChoice::Twin::AB);
    EXPECT_FALSE(ab.CheckRange(QStringLiteral("2"), QStringLiteral("6")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("2,4月有工资错误信息，请核查"));
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Information);
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::Ok);
    ui.Clear();
    EXPECT_TRUE(ab.CheckRange(QStringLiteral("5"), QStringLiteral("8")));
    RangeChoice ba(db(), ui, RangeChoice::Twin::BA);
    const auto r = ba.CheckRange(QStringLiteral("2"), QStringLiteral("6"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->MonthCount(), 5);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(RangeChoiceTest, TheRecomputeQuestionComesOnlyForACopyOfTheRightSize) {
    RangeChoice choice(db(), ui, RangeChoice::Twin::AB);
    // No copy: compute without asking.
    EXPECT_TRUE(choice.RecomputeFlag(QStringLiteral("Total_1_3"), 40));
    EXPECT_TRUE(ui.shown.empty());

    // A copy of 40 lines, under another spelling of the name: the question; Yes computes, No shows it.
    db().Exec(QStringLiteral("create table total_1_3 as select * from Total_Info"));
    ui.answers = {DlgAnswer::Yes, DlgAnswer::No};
    EXPECT_TRUE(choice.RecomputeFlag(QStringLiteral("Total_1_3"), 40));
    EXPECT_FALSE(choice.RecomputeFlag(QStringLiteral("Total_1_3"), 40));
    EXPECT_EQ(ui.Texts(), (QStringList{QStringLiteral("已经有汇总数据，是否重新汇总？"),
                                       QStringLiteral("已经有汇总数据，是否重新汇总？")}));
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::YesNo);

    // The organ summary's 21-line copy of the same range is no copy for the 40-line form, and
    // the other way round: computed afresh without a question.
    ui.Clear();
    EXPECT_TRUE(choice.RecomputeFlag(QStringLiteral("Total_1_3"), 21));
    db().Exec(QStringLiteral("create table Total_2_5 as select * from Total_Info where Gid<22"));
    EXPECT_TRUE(choice.RecomputeFlag(QStringLiteral("Total_2_5"), 40));
    EXPECT_TRUE(ui.shown.empty());
    ui.answers = {DlgAnswer::No};
    EXPECT_FALSE(choice.RecomputeFlag(QStringLiteral("Total_2_5"), 21));
}

}  // namespace
