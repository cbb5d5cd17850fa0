#include "entry/month/ClearMonthForm.h"
#include "tests/support/MaintFixture.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

using namespace qm;

namespace {

const QString kAsk = QStringLiteral("请慎重处理，一旦清空，无法恢复！");

class ClearMonthDialogsTest : public ::testing::Test, public qm::test::MaintFixture {
protected:
    void SetUp() override { Seed(); }  // persons 1..3 in months 0..3, wages in months 1..3
    int StaffOf(int m) { return Count(QStringLiteral("select count(*) from Staff_moninfo where sMon=?"), {m}); }
    int WagesOf(int m) { return Count(QStringLiteral("select count(*) from Wage_Info where Smon=?"), {m}); }
    int Staff() { return Count(QStringLiteral("select count(*) from Staff_moninfo")); }
    int Wages() { return Count(QStringLiteral("select count(*) from Wage_Info")); }
};

TEST_F(ClearMonthDialogsTest, StaffDialogOffersTheLastMonthAndClearsItFromBothTables) {
    ClearMonthDialog d(ctx, ClearChMon());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("清空从业人员选项"));
    EXPECT_TRUE(d.R2->isChecked());
    ASSERT_EQ(d.CB1->count(), 1);
    EXPECT_EQ(d.CB1->currentText(), QStringLiteral("3"));
    d.show();
    d.R1->setChecked(true);
    ui.answers = {DlgAnswer::Yes};
    d.BitBtn1->click();
    EXPECT_EQ(ui.Texts(), (QStringList{kAsk, QStringLiteral("成功清空 3 月份数据！")}));
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Information);
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::YesNoDefaultNo);  // Yes deletes stored rows
    EXPECT_EQ(ui.shown[1].sort, ShownBox::Sort::Plain);
    EXPECT_EQ(StaffOf(3), 0);
    EXPECT_EQ(WagesOf(3), 0);
    EXPECT_EQ(StaffOf(0) + StaffOf(1) + StaffOf(2), 9);
    EXPECT_EQ(WagesOf(1) + WagesOf(2), 6);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(main.monthRefreshes, 1);
}

TEST_F(ClearMonthDialogsTest, StaffDialogClearsAllMonthsButKeepsTheStartOfPeriodList) {
    ClearMonthDialog d(ctx, ClearChMon());
    ui.answers = {DlgAnswer::Yes};
    d.BitBtn1Click();
    EXPECT_EQ(ui.Texts().last(), QStringLiteral("成功清空全部月度数据！"));
    EXPECT_EQ(Staff(), 3);
    EXPECT_EQ(StaffOf(0), 3);
    EXPECT_EQ(Wages(), 0);
}

TEST_F(ClearMonthDialogsTest, AnsweringNoDeletesNothingButRefreshesAndCloses) {
    ClearMonthDialog d(ctx, ClearChMon());
    d.show();
    ui.answers = {DlgAnswer::No};
    d.BitBtn1->click();
    EXPECT_EQ(ui.Texts(), QStringList{kAsk});
    EXPECT_EQ(Staff(), 12);
    EXPECT_EQ(Wages(), 9);
    EXPECT_EQ(main.monthRefreshes, 1);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(ClearMonthDialogsTest, AMonthThatIsNoWholeNumberOneToTwelveDeletesNothing) {
    for (const char* typed : {"1 or 1=1", "abc", "0", "13", "", "3;delete from Wage_Info"}) {
        ui.Clear();
        ClearMonthDialog staff(ctx, ClearChMon());
        staff.show();
        staff.R1->setChecked(true);
        staff.CB1->setEditText(QString::fromUtf8(typed));
        ui.answers = {DlgAnswer::Yes, DlgAnswer::Yes};
        staff.BitBtn1->click();
        ClearMonthDialog wage(ctx, ClearChWage());
        wage.R1->setChecked(true);
        wage.CB1->setEditText(QString::fromUtf8(typed));
        wage.BitBtn1Click();
        // The question comes first; the month is refused once the person said Yes.
        EXPECT_EQ(ui.Texts(), (QStringList{kAsk, kBadMonthText, kAsk, kBadMonthText})) << typed;
        EXPECT_TRUE(staff.isVisible());  // the person may correct the month
    }
    EXPECT_EQ(Staff(), 12);
    EXPECT_EQ(Wages(), 9);
    EXPECT_EQ(main.monthRefreshes, 0);
}

TEST_F(ClearMonthDialogsTest, AnsweringNoClosesAndRefreshesWhateverTheMonthText) {
    ClearMonthDialog staff(ctx, ClearChMon());
    staff.show();
    staff.R1->setChecked(true);
    staff.CB1->setEditText(QStringLiteral("1 or 1=1"));
    ui.answers = {DlgAnswer::No};
    staff.BitBtn1->click();
    ClearMonthDialog wage(ctx, ClearChWage());
    wage.show();
    wage.R1->setChecked(true);
    wage.CB1->setEditText(QStringLiteral("abc"));
    ui.answers = {DlgAnswer::No};
    wage.BitBtn1->click();
    EXPECT_EQ(ui.Texts(), (QStringList{kAsk, kAsk}));
    EXPECT_FALSE(staff.isVisible());
    EXPECT_FALSE(wage.isVisible());
    EXPECT_EQ(main.monthRefreshes, 2);
    EXPECT_EQ(Staff(), 12);
    EXPECT_EQ(Wages(), 9);
}

TEST_F(ClearMonthDialogsTest, ATypedMonthIsTrimmedAndShownAsTheNumberCleared) {
    ClearMonthDialog d(ctx, ClearChMon());
    d.R1->setChecked(true);
    d.CB1->setEditText(QStringLiteral(" 02 "));
    ui.answers = {DlgAnswer::Yes};
    d.BitBtn1Click();
    EXPECT_EQ(ui.Texts().last(), QStringLiteral("成功清空 2 月份数据！"));
    EXPECT_EQ(StaffOf(2), 0);
    EXPECT_EQ(WagesOf(2), 0);
    EXPECT_EQ(Staff(), 9);
}

TEST_F(ClearMonthDialogsTest, AFailedWageDeleteRollsTheStaffDeleteBackAndKeepsTheDialogOpen) {
    db().Exec(
        QStringLiteral("create trigger refuse before delete on Wage_Info begin select raise(abort, 'injected'); end"));
    ClearMonthDialog d(ctx, ClearChMon());
    d.show();
    d.R1->setChecked(true);
    ui.answers = {DlgAnswer::Yes};
    d.BitBtn1->click();
    ASSERT_EQ(ui.Texts().size(), 2);
    EXPECT_TRUE(ui.Texts()[1].contains(QStringLiteral("injected")));
    EXPECT_EQ(StaffOf(3), 3);
    EXPECT_EQ(WagesOf(3), 3);
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(db().InTransaction());
}

TEST_F(ClearMonthDialogsTest, WageDialogClearsOneMonthOrAllWagesOnly) {
    db().Exec(QStringLiteral("delete from Wage_Info where Smon=3"));
    ClearMonthDialog d(ctx, ClearChWage());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("清空工资数据选项"));
    EXPECT_FALSE(d.R1->isChecked());
    EXPECT_FALSE(d.R2->isChecked());
    ASSERT_EQ(d.CB1->count(), 1);
    EXPECT_EQ(d.CB1->currentText(), QStringLiteral("2"));
    d.R1->setChecked(true);
    ui.answers = {DlgAnswer::Yes};
    d.BitBtn1Click();
    EXPECT_EQ(ui.Texts(), (QStringList{kAsk, QStringLiteral("成功清空 2 月份工资数据！")}));
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::YesNoDefaultNo);
    EXPECT_EQ(WagesOf(2), 0);
    EXPECT_EQ(WagesOf(1), 3);
    EXPECT_EQ(Staff(), 12);

    ui.Clear();
    ClearMonthDialog all(ctx, ClearChWage());
    all.R2->setChecked(true);
    ui.answers = {DlgAnswer::Yes};
    all.BitBtn1Click();
    EXPECT_EQ(ui.Texts(), (QStringList{kAsk, QStringLiteral("成功清空全部月度工资数据！")}));
    EXPECT_EQ(Wages(), 0);
    EXPECT_EQ(Staff(), 12);
    EXPECT_EQ(main.monthRefreshes, 2);
}

TEST_F(ClearMonthDialogsTest, WageDialogWithNoChoiceDeletesNothingAndShowsNoResult) {
    ClearMonthDialog d(ctx, ClearChWage());
    d.show();
    ui.answers = {DlgAnswer::Yes};
    d.BitBtn1->click();
    EXPECT_EQ(ui.Texts(), QStringList{kAsk});
    EXPECT_EQ(Wages(), 9);
    EXPECT_EQ(main.monthRefreshes, 1);
    EXPECT_FALSE(d.isVisible());
}

TEST_F(ClearMonthDialogsTest, CancelClosesWithoutAsking) {
    ClearMonthDialog d(ctx, ClearChWage());
    d.show();
    d.BitBtn2->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(Wages(), 9);
}

}  // namespace
