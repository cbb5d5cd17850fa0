#include "core/unit/Gates.h"
#include "tests/shell/MainFixture.h"

#include <gtest/gtest.h>

namespace {

using qm::DlgButtons;
using qm::DlgKind;
using qm::ShownBox;
using Fixture = qm::test::MainFixture;

void ExpectBox(const ShownBox& b, const QString& text, DlgKind kind, DlgButtons buttons) {
    EXPECT_EQ(b.text, text);
    EXPECT_EQ(b.kind, kind);
    EXPECT_EQ(b.buttons, buttons);
    EXPECT_EQ(b.title, qm::DlgTitle(kind));
}

TEST(UnitGate, WithoutARowNothingChangesAndWithOneTheFieldsAreLoaded) {
    Fixture f;
    f.state.DepName = QStringLiteral("旧");
    EXPECT_FALSE(f.cmd.LoadUnitInfo());
    EXPECT_EQ(f.state.DepName, QStringLiteral("旧"));
    EXPECT_TRUE(f.ui.shown.empty());

    f.base.db().Exec(
        QStringLiteral("insert into Dep_Info values('某单位 ','12345678X','机关单位  ',' 是1 ','1',' 3 ')"));
    EXPECT_TRUE(f.cmd.LoadUnitInfo());
    EXPECT_EQ(f.state.DepName, QStringLiteral("某单位 "));  // as stored
    // Type and class decoded whatever blanks surround them.
    EXPECT_EQ(f.state.DepClass, qm::UnitClass(true, qm::UnitClass::Kind::GeneralContract));
    EXPECT_EQ(f.state.CreateMon, qm::FoundingMonth::Before(qm::Month(3)));
}

struct MenuCase {
    const char* createMon;  // nullptr: no unit
    int maxWage;            // 0: no wage rows
    QList<int> enabled;
    const char* maxWageMonth;
};

TEST(MonthMenus, EnabledItemsFollowTheFoundingMonthAndTheLastWageMonth) {
    const MenuCase cases[] = {
        {"3", 0, {4}, "0"},                                         // founded in April, no wages
        {"3", 5, {4, 5, 6}, "5"},                                   // wages up to May
        {"99", 12, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, "12"},  // the whole year
        {"99", 0, {1}, "0"},
        {nullptr, 0, {1}, "0"},  // no unit counts as not founded this year
        {nullptr, 2, {1, 2, 3}, "2"},
        {"99", 3, {1, 2, 3, 4}, "3"},
        {"0", 1, {1, 2}, "1"},
        {"11", 12, {12}, "12"},
        {"11", 0, {12}, "0"},
    };
    for (const MenuCase& c : cases) {
        Fixture f;
        if (c.createMon) f.Unit(QString::fromLatin1(c.createMon));
        for (int m = 1; m <= c.maxWage; ++m) f.Wage(m, QStringLiteral("001"));
        f.state.InitialCleared = 1;
        f.state.MaxWageMonth = qm::Month(9);  // none of the cases computes 9
        f.cmd.RefreshMonthMenus();
        const QString label = QStringLiteral("CreateMon %1, wages to %2")
                                  .arg(QString::fromLatin1(c.createMon ? c.createMon : "none"))
                                  .arg(c.maxWage);
        EXPECT_EQ(f.EnabledMonths(), c.enabled) << label.toStdString();
        EXPECT_EQ(f.state.MaxWageMonth.Text(), QString::fromLatin1(c.maxWageMonth)) << label.toStdString();
        EXPECT_EQ(f.state.InitialCleared, 0);
    }
}

TEST(MonthMenus, ARefreshDisablesItemsThatWereOpenBefore) {
    Fixture f;
    f.Unit();
    for (int m = 1; m <= 5; ++m) f.Wage(m, QStringLiteral("001"));
    f.cmd.RefreshMonthMenus();
    EXPECT_EQ(f.EnabledMonths().size(), 6);
    f.base.db().Exec(QStringLiteral("delete from Wage_Info where Smon>2"));
    f.cmd.RefreshMonthMenus();
    EXPECT_EQ(f.EnabledMonths(), (QList<int>{1, 2, 3}));
}

TEST(MonthMenus, WageAndSummaryMenusNeedAStartOfPeriodList) {
    Fixture f;
    f.Staff(3, QStringLiteral("001"));
    f.cmd.RefreshInitialDataMenus();
    EXPECT_FALSE(f.cmd.menus.N8);
    EXPECT_FALSE(f.cmd.menus.N2);
    f.Staff(0, QStringLiteral("001"), QStringLiteral("0"));  // even a row with errors
    f.cmd.RefreshInitialDataMenus();
    EXPECT_TRUE(f.cmd.menus.N8);
    EXPECT_TRUE(f.cmd.menus.N2);
}

TEST(PreviousMonthGate, TheFoundingMonthPassesWithoutTestsAndSetsTheLastWageMonth) {
    Fixture f;
    f.Unit(QStringLiteral("3"));
    f.Wage(3, QStringLiteral("001"), QStringLiteral("0"), QStringLiteral("0"));  // ignored for the founding month
    f.Staff(3, QStringLiteral("001"), QStringLiteral("0"));
    EXPECT_TRUE(f.cmd.CheckPreviousMonth(qm::Month(3)));
    EXPECT_EQ(f.state.MaxWageMonth, qm::Month(4));
    EXPECT_TRUE(f.ui.shown.empty());
    // Never below a month that holds wages.
    f.Wage(6, QStringLiteral("001"), QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_TRUE(f.cmd.CheckPreviousMonth(qm::Month(3)));
    EXPECT_EQ(f.state.MaxWageMonth, qm::Month(6));
    // A later month of the same unit is tested.
    f.state.MaxWageMonth = qm::Month(9);
    f.Wage(4, QStringLiteral("001"), QStringLiteral("1"), QStringLiteral("0"));
    EXPECT_FALSE(f.cmd.CheckPreviousMonth(qm::Month(4)));
    EXPECT_EQ(f.state.MaxWageMonth, qm::Month(9));
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("必须先核实4月[工资]数据，否则无法进行本月操作！")});
}

TEST(PreviousMonthGate, WageErrorsThenStaffErrorsEachShowTheirOwnBox) {
    Fixture f;
    f.Unit();
    f.Wage(2, QStringLiteral("001"), QStringLiteral("1"), QStringLiteral("0"));
    f.Staff(2, QStringLiteral("001"), QStringLiteral("0"));
    EXPECT_FALSE(f.cmd.CheckPreviousMonth(qm::Month(2)));
    ASSERT_EQ(f.ui.shown.size(), 2u);
    ExpectBox(f.ui.shown[0], QStringLiteral("必须先核实2月[工资]数据，否则无法进行本月操作！"), DlgKind::Confirmation,
              DlgButtons::YesOnly);
    ExpectBox(f.ui.shown[1], QStringLiteral("必须先核实2月[人员]数据，否则无法进行本月操作！"), DlgKind::Confirmation,
              DlgButtons::YesOnly);

    Fixture g;
    g.Unit();
    g.Wage(2, QStringLiteral("001"), QStringLiteral("0"), QStringLiteral("1"));  // not on the list
    EXPECT_FALSE(g.cmd.CheckPreviousMonth(qm::Month(2)));
    EXPECT_EQ(g.ui.Texts(), QStringList{QStringLiteral("必须先核实2月[工资]数据，否则无法进行本月操作！")});

    Fixture clean;
    clean.Unit();
    clean.CleanMonths(1, 2);
    clean.Wage(3, QStringLiteral("002"), QStringLiteral("0"), QStringLiteral("0"));  // a later month does not count
    EXPECT_TRUE(clean.cmd.CheckPreviousMonth(qm::Month(2)));
    EXPECT_TRUE(clean.ui.shown.empty());
}

TEST(MonthListGate, AMissingListIsOfferedAsTheMonthlyStaffList) {
    Fixture f;
    f.Staff(3, QStringLiteral("001"));
    EXPECT_TRUE(f.cmd.CheckMonthStaffList(qm::Month(3)));
    EXPECT_TRUE(f.ui.shown.empty());
    EXPECT_FALSE(f.cmd.CheckMonthStaffList(qm::Month(4)));
    ASSERT_EQ(f.ui.shown.size(), 1u);
    ExpectBox(f.ui.shown[0], QStringLiteral("必须先核实4月名单！"), DlgKind::Confirmation, DlgButtons::YesOnly);
    EXPECT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_monput:modeless")});
}

TEST(ErrorRowsGate, StaffErrorsComeFirstListedFromTheStartOfPeriodThenStop) {
    Fixture f;
    f.Staff(2, QStringLiteral("001"), QStringLiteral("0"));
    f.Staff(0, QStringLiteral("001"), QStringLiteral("0"));
    f.Staff(3, QStringLiteral("002"), QStringLiteral("0"));  // the month asked itself: listed
    f.Staff(5, QStringLiteral("001"), QStringLiteral("0"));  // after the month asked: not listed
    f.Wage(1, QStringLiteral("001"), QStringLiteral("0"));
    bool answered = true;
    EXPECT_FALSE(f.Run([&] { answered = f.cmd.CheckMonthDataErrors(qm::Month(3)); }));
    EXPECT_TRUE(answered);  // never answered: the command stopped
    ASSERT_EQ(f.ui.shown.size(), 1u);
    ExpectBox(f.ui.shown[0], QStringLiteral("期初中,2月份,3月份,有人员数据错误，请纠正。"), DlgKind::Information,
              DlgButtons::Ok);
}

TEST(ErrorRowsGate, WageErrorsAreListedWhenTheStaffIsClean) {
    Fixture f;
    f.CleanMonths(1, 3);
    f.Wage(2, QStringLiteral("002"), QStringLiteral("1"), QStringLiteral("0"));
    f.Wage(1, QStringLiteral("003"), QStringLiteral("0"), QStringLiteral("1"));
    f.Wage(3, QStringLiteral("004"), QStringLiteral("0"), QStringLiteral("1"));  // the month asked itself
    EXPECT_THROW(f.cmd.CheckMonthDataErrors(qm::Month(3)), qm::SilentAbort);
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("1月份,2月份,3月份,有工资数据错误，请纠正。")});
}

TEST(ErrorRowsGate, CleanDataAnswersWhetherTheMonthHasWagesOnItsList) {
    Fixture f;
    f.CleanMonths(1, 2);
    f.Staff(3, QStringLiteral("001"));
    EXPECT_TRUE(f.cmd.CheckMonthDataErrors(qm::Month(2)));
    EXPECT_FALSE(f.cmd.CheckMonthDataErrors(qm::Month(3)));
    EXPECT_TRUE(f.ui.shown.empty());
}

// A number held twice is named as stored, readable whatever its bytes, with the persons of the
// two rows found; the answer follows every write to the lists and wages, this program's or another's.
TEST(NumberTwiceGate, TheNumberIsShownReadableWithBothPersonsAndTheAnswerFollowsWrites) {
    const auto staff = [](const QString& list, const QString& number) {
        return list + QStringLiteral("中“甲”和“乙”的姓名编号都是“") + number +
               QStringLiteral("”。同一名单中的姓名编号不能重复，否则报表会把该编号的工资统计两次；请在") + list +
               QStringLiteral("中改正后再统计。");
    };
    const struct {
        const char *first, *second;  // the two rows' numbers as SQL
        int month;
        QString refusal;
    } cases[] = {
        {"cast(x'FF31' as text)", "cast(x'FF31' as text)", 0,
         staff(QStringLiteral("期初名单"), QStringLiteral("\uFFFD1"))},
        {"''", "''", 3, staff(QStringLiteral("3月名单"), {})},
        {"'1'||char(9)||char(27)", "'1'||char(9)||char(27)", 3,
         staff(QStringLiteral("3月名单"), QStringLiteral("1\\t\\x1B"))},
        {"printf('%.50c', '7')", "printf('%.50c', '7')", 3,
         staff(QStringLiteral("3月名单"), QString(24, QLatin1Char('7')) + QStringLiteral("…"))},
        {"'1'", "cast('1' as blob)", 3, {}},  // a text and a blob of the same bytes differ in the join too
    };
    for (const auto& k : cases) {
        Fixture f;
        for (const auto& [name, number] : {std::pair{"甲", k.first}, {"乙", k.second}})
            f.base.db().Exec(QStringLiteral("insert into Staff_moninfo(sMon,sName,sNumber) values(?,?,%1)")
                                 .arg(QLatin1String(number)),
                             {k.month, QString::fromUtf8(name)});
        EXPECT_EQ(qm::Gates::NumberTwiceRefusal(f.base.db(), qm::Month::Start(), qm::Month(12)), k.refusal) << k.first;
    }

    Fixture f;
    const auto refusal = [&] { return qm::Gates::NumberTwiceRefusal(f.base.db(), qm::Month::Start(), qm::Month(6)); };
    f.Staff(2, QStringLiteral("1"));
    f.Staff(2, QStringLiteral("1"));
    EXPECT_TRUE(refusal().startsWith(QStringLiteral("2月名单中“张三1”和“张三1”的姓名编号都是“1”。")));
    f.base.db().Exec(
        QStringLiteral("update Staff_moninfo set sNumber='2' where id=(select max(id) from Staff_moninfo)"));
    EXPECT_EQ(refusal(), QString());
    f.Wage(6, QStringLiteral("5"));
    f.Wage(6, QStringLiteral("5"));
    EXPECT_TRUE(refusal().startsWith(QStringLiteral("6月工资中“张三5”和“张三5”的姓名编号都是“5”。")));
    qm::db::Connection other;  // another program corrects the wages
    other.Open(f.base.paths().Database());
    other.Exec(QStringLiteral("delete from Wage_Info where Smon=6"));
    EXPECT_EQ(refusal(), QString());
}

TEST(MonthData, AnyStaffRowCleanOrWageRowRejectedOrJoinedWageRowCounts) {
    Fixture f;
    EXPECT_FALSE(f.cmd.HasMonthData(qm::Month(6)));
    f.Staff(6, QStringLiteral("001"), QStringLiteral("0"));
    EXPECT_FALSE(f.cmd.HasMonthData(qm::Month(6)));  // staff rows with errors alone do not
    f.Wage(6, QStringLiteral("009"), QStringLiteral("0"), QStringLiteral("0"));
    EXPECT_TRUE(f.cmd.HasMonthData(qm::Month(6)));  // a wage row out of range does

    Fixture g;
    g.Staff(3, QStringLiteral("001"));
    EXPECT_TRUE(g.cmd.HasMonthData(qm::Month(3)));
    EXPECT_TRUE(g.ui.shown.empty());
}

TEST(Gates, MonthsReachTheGatesTypedAndTextThatNamesNoMonthIsRefusedWhereItEnters) {
    EXPECT_THROW(qm::Month::FromText(QStringLiteral("3 or 1=1")), std::invalid_argument);
    EXPECT_THROW(qm::Month::FromText(QStringLiteral("13")), std::invalid_argument);
    EXPECT_EQ(qm::Month::FromText(QStringLiteral(" 7 ")), qm::Month(7));
    // The month is bound: month 1 does not find the rows of months 10..12.
    Fixture f;
    f.Staff(11, QStringLiteral("001"));
    EXPECT_FALSE(f.cmd.HasMonthData(qm::Month(1)));
    EXPECT_TRUE(f.cmd.HasMonthData(qm::Month(11)));
}

TEST(Gates, StatusClassTextOfEachUnitClass) {
    const auto text = [](const QString& depType, const QString& depInfo) {
        return qm::UnitClass::Decode(depType, depInfo).StatusText();
    };
    EXPECT_EQ(text(QStringLiteral("企业事业单位"), QStringLiteral("规上")), QStringLiteral("规模以上工业单位"));
    EXPECT_EQ(text(QStringLiteral("企业事业单位"), QStringLiteral("否")), QStringLiteral("其他企业事业单位"));
    EXPECT_EQ(text(QStringLiteral("企业事业单位"), QStringLiteral("是1")),
              QStringLiteral("有总承包和专业承包资质的建筑业单位"));
    EXPECT_EQ(text(QStringLiteral("企业事业单位"), QStringLiteral("是2")),
              QStringLiteral("有劳务分包资质的建筑业单位"));
    EXPECT_EQ(text(QStringLiteral("机关单位 "), QStringLiteral("规上")), QStringLiteral("机关单位"));
}

}  // namespace
