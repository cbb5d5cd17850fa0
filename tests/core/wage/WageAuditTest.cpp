// The wage audit of a row: totals, the limits and the staff-list check; the list as stored.
#include "core/wage/WageAudit.h"

#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

WageLine Line(const QString& number, const QString& name, const QStringList& amounts) {
    WageLine l{number, name, {}};
    for (int i = 0; i < amounts.size() && i < 4; ++i) l.amounts[size_t(i)] = amounts[i];
    return l;
}

class WageAuditTest : public ::testing::Test {
protected:
    WageAuditTest() {
        roster.Add(QStringLiteral("001"), QStringLiteral("张三"));
        roster.Add(QStringLiteral("002"), QStringLiteral(" 李四 "));
        roster.Add(QStringLiteral("002"), QStringLiteral("王五"));  // a second row of the number
    }
    WageCheck Check(const QString& number, const QString& name, const QStringList& amounts) {
        return WageAudit(roster).Check(Line(number, name, amounts));
    }
    WageRoster roster;
};

// The month's list as stored: the first row of a number names it, trimmed; other months,
// null names and numbers stored as numbers read as the list always read them.
TEST(WageRosterLoad, TheMonthsRowsFirstRowOfANumberWins) {
    test::TempBase base;
    auto& db = base.db();
    const QString insert = QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName) values (?, ?, ?)");
    db.Exec(insert, {3, QStringLiteral("001"), QStringLiteral(" 张三 ")});
    db.Exec(insert, {3, QStringLiteral("001"), QStringLiteral("李四")});
    db.Exec(insert, {4, QStringLiteral("002"), QStringLiteral("王五")});
    db.Exec(insert, {3, QStringLiteral("003"), nullptr});
    db.Exec(insert, {3, 1004, QStringLiteral("赵六")});
    const WageRoster r = WageRoster::Load(db, Month(3));
    ASSERT_TRUE(r.NameOf(QStringLiteral("001")));
    EXPECT_EQ(*r.NameOf(QStringLiteral("001")), QStringLiteral("张三"));
    EXPECT_FALSE(r.NameOf(QStringLiteral("002")));
    ASSERT_TRUE(r.NameOf(QStringLiteral("003")));
    EXPECT_EQ(*r.NameOf(QStringLiteral("003")), QString());
    ASSERT_TRUE(r.NameOf(QStringLiteral("1004")));
    EXPECT_EQ(*r.NameOf(QStringLiteral("1004")), QStringLiteral("赵六"));
    // Loaded twice from the same connection: the statement is used afresh.
    EXPECT_TRUE(WageRoster::Load(db, Month(4)).NameOf(QStringLiteral("002")));
    EXPECT_TRUE(WageRoster::Load(db, Month(3)).NameOf(QStringLiteral("001")));
}

// The list compares as the texts read from it: a byte-order mark in front of a stored name is
// no part of it, bytes that are no UTF-8 read as U+FFFD, a stored number keeps its blanks, a
// full-width blank stays on a name.
TEST(WageRosterLoad, StoredBytesCompareAsTheTextsReadFromThem) {
    test::TempBase base;
    auto& db = base.db();
    for (const char* row :
         {"(3, '001', cast(x'EFBBBFE5BCA0E4B889' as text))", "(3, '002', cast(x'C0AF' as text))", "(3, ' 003', '王五')",
          "(3, cast(x'EFBBBF303034' as text), '赵六')", "(3, '005', '\t　钱七 ')"})
        db.Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName) values ") + QString::fromUtf8(row));
    const WageRoster roster = WageRoster::Load(db, Month(3));
    const struct {
        const char *number, *name;
        bool listed, sFlag;
    } cases[] = {
        {"001", "张三", true, true},   {"002", "\uFFFD\uFFFD", true, true}, {"002", "??", true, false},
        {"003", "王五", false, false}, {"004", "赵六", true, true},         {"005", "钱七", true, false},
    };
    for (const auto& c : cases) {
        const WageCheck k =
            WageAudit(roster).Check(Line(QString::fromUtf8(c.number), QString::fromUtf8(c.name), {"3000"}));
        EXPECT_EQ(k.listed, c.listed) << c.number << " " << c.name;
        EXPECT_EQ(k.sFlag, c.sFlag) << c.number << " " << c.name;
    }
}

TEST(WageAmounts, DecimalsAndBlanksParseOtherTextIsRefused) {
    EXPECT_EQ(ParseAmount(QStringLiteral("2500")).value, 2500.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("2500 ")).value, 2500.0);
    EXPECT_EQ(ParseAmount(QStringLiteral(" 2500.5")).value, 2500.5);
    EXPECT_EQ(ParseAmount(QStringLiteral("-1")).value, -1.0);
    EXPECT_EQ(ParseAmount(QStringLiteral(".5")).value, 0.5);
    EXPECT_EQ(ParseAmount(QStringLiteral("+7")).value, 7.0);
    EXPECT_EQ(ParseAmount(QStringLiteral("+") + QString(70, QLatin1Char('0')) + QStringLiteral("12.5")).value, 12.5);
    EXPECT_TRUE(ParseAmount(QStringLiteral("  ")).ok);
    EXPECT_FALSE(ParseAmount(QStringLiteral("  ")).value.has_value());
    for (const char* bad : {"1,000", "100,200", "abc", "1e3", "inf", "nan", "1.2.3", "-", ".", "2500元", "１２"})
        EXPECT_FALSE(ParseAmount(QString::fromUtf8(bad)).ok) << bad;
}

TEST(WageAmounts, TotalsReadLikeTheSheetShowsThem) {
    EXPECT_EQ(FormatTotal(3000), QStringLiteral("3000"));
    EXPECT_EQ(FormatTotal(3100.5), QStringLiteral("3100.5"));
    EXPECT_EQ(FormatTotal(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(FormatTotal(100000.01), QStringLiteral("100000.01"));
}

TEST(WageAmounts, BlanksAreCutOnlyUpToU0020AndNamesLoseInnerBlanks) {
    EXPECT_EQ(RtlTrim(QStringLiteral("\t 007 \r")), QStringLiteral("007"));
    EXPECT_EQ(RtlTrim(QStringLiteral("\u3000张三\u3000")), QStringLiteral("\u3000张三\u3000"));
    EXPECT_EQ(CleanName(QStringLiteral(" 张 三 ")), QStringLiteral("张三"));
}

TEST_F(WageAuditTest, FourItemsAddUpAndAFullyListedRowPasses) {
    const WageCheck c =
        Check(QStringLiteral(" 001 "), QStringLiteral("张三"),
              {QStringLiteral("2000"), QStringLiteral("600"), QStringLiteral("300"), QStringLiteral("100")});
    EXPECT_EQ(c.badColumn, 0);
    EXPECT_EQ(c.totalText, QStringLiteral("3000"));
    EXPECT_EQ(c.total, 3000);
    EXPECT_EQ(c.number, QStringLiteral("001"));
    EXPECT_TRUE(c.sFlag);
    EXPECT_TRUE(c.wFlag);
    EXPECT_EQ(c.SFlagText(), QStringLiteral("1"));
    EXPECT_EQ(c.WFlagText(), QStringLiteral("1"));
}

TEST_F(WageAuditTest, DecimalsAndBlanksInAnyColumnCountInTheTotal) {
    EXPECT_EQ(Check("001", "张三", {"2500.5", "600"}).totalText, QStringLiteral("3100.5"));
    EXPECT_EQ(Check("001", "张三", {"2500 ", "600"}).totalText, QStringLiteral("3100"));
    EXPECT_EQ(Check("001", "张三", {"", "", " 0.25", "1000.25"}).totalText, QStringLiteral("1000.5"));
    // Added exactly, so no digit is lost where a real keeps fifteen.
    EXPECT_EQ(Check("001", "张三", {"12345678901234.56", "0.01"}).totalText, QStringLiteral("12345678901234.57"));
    const WageCheck neg = Check("001", "张三", {"-1", "600"});
    EXPECT_EQ(neg.totalText, QStringLiteral("599"));
    EXPECT_TRUE(neg.wFlag);
}

TEST_F(WageAuditTest, LimitsAreInRangeAndJustOutsideFail) {
    EXPECT_TRUE(Check("001", "张三", {"500"}).wFlag);
    EXPECT_TRUE(Check("001", "张三", {"100000"}).wFlag);
    EXPECT_TRUE(Check("001", "张三", {"99999.5", "0.5"}).wFlag);  // adds up to exactly the upper limit
    EXPECT_FALSE(Check("001", "张三", {"499.99"}).wFlag);
    EXPECT_FALSE(Check("001", "张三", {"100000.01"}).wFlag);
    const WageCheck empty = Check("001", "张三", {});
    EXPECT_EQ(empty.totalText, QStringLiteral("0"));
    EXPECT_FALSE(empty.wFlag);
    for (const auto& n : empty.n) EXPECT_FALSE(n.has_value());
    const WageCheck below = Check("001", "张三", {"-800", "100"});
    EXPECT_EQ(below.totalText, QStringLiteral("0"));  // a negative total shows and stores as 0
    EXPECT_FALSE(below.wFlag);
}

TEST_F(WageAuditTest, StaffListCheckTakesTheFirstRowAndTrimmedNames) {
    const WageCheck unknown = Check("999", "张三", {"3000"});
    EXPECT_FALSE(unknown.listed);
    EXPECT_FALSE(unknown.sFlag);
    const WageCheck other = Check("001", "李四", {"3000"});
    EXPECT_TRUE(other.listed);
    EXPECT_FALSE(other.sFlag);
    const WageCheck spaced = Check("001", " 张 三 ", {"3000"});
    EXPECT_TRUE(spaced.sFlag);
    EXPECT_EQ(spaced.name, QStringLiteral("张三"));
    EXPECT_TRUE(Check("002", "李四", {"3000"}).sFlag);   // the first row of 002, trimmed
    EXPECT_FALSE(Check("002", "王五", {"3000"}).sFlag);  // the second row does not count
    const WageCheck noNumber = Check(" ", "张三", {"3000"});
    EXPECT_FALSE(noNumber.sFlag);
    EXPECT_EQ(noNumber.number, QString());
}

TEST_F(WageAuditTest, TheErrorListOnlyTrimsNamesSoInnerBlanksFail) {
    const WageCheck c = WageAudit(roster).Check(Line(" 001 ", " 张 三 ", {"3000"}), NameCleanup::TrimOnly);
    EXPECT_TRUE(c.listed);
    EXPECT_FALSE(c.sFlag);
    EXPECT_EQ(c.name, QStringLiteral("张 三"));
    EXPECT_TRUE(WageAudit(roster).Check(Line("001", " 张三 ", {"3000"}), NameCleanup::TrimOnly).sFlag);
}

TEST_F(WageAuditTest, ANonNumericAmountNamesItsColumn) {
    EXPECT_EQ(Check("001", "张三", {"3000", "1,000"}).badColumn, 4);
    EXPECT_EQ(Check("001", "张三", {"abc", "x"}).badColumn, 3);
    EXPECT_EQ(Check("001", "张三", {"1", "2", "3", "四"}).badColumn, 6);
}

TEST(WageMessages, TextsAsTheUserSeesThem) {
    EXPECT_EQ(WageRosterMessage({QStringLiteral("999"), QString()}),
              QStringLiteral("以下：\n\r[999] [] \n\r姓名编号或姓名不在当月名单中或姓名编号有重复，\r"
                             "请核实当月人员名册和工资输入表人员信息。"));
    EXPECT_EQ(WageLimitMessage(),
              QStringLiteral("工资总额超出额定范围：\n\r上限不超过100000,下限不低于500.\n\r请到[显示错误]中核实！"));
    EXPECT_EQ(WageSavedMessage(Month(3), 1), QStringLiteral("3月保存成功！共1人输入。"));
}

}  // namespace
}  // namespace qm
