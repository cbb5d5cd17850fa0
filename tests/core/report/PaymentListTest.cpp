#include "core/base/Progress.h"
#include "core/report/PaymentList.h"
#include "core/report/WageSummary.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "tests/core/report/GoldenTable.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace qm;
using namespace qm::report;

namespace {

class PaymentListTest : public ::testing::Test {
protected:
    void SetUp() override { base.RunFixture(QStringLiteral("payment_list.sql")); }
    test::TempBase base;
};

TEST_F(PaymentListTest, RangeThreeToFiveMatchesTheHandWorkedSheet) {
    MemoryProgress pb;
    const PaymentList list = BuildPaymentList(base.db(), 3, 5, &pb);
    EXPECT_EQ(pb.Position(), 100);
    TSheetBook sheet;
    ApplySheetTemplate(sheet, QStringLiteral("permonwage"));
    FillPaymentSheet(sheet, list);

    const test::GoldenTable golden = test::ReadGoldenTable(QStringLiteral("payment_3_5.csv"));
    ASSERT_EQ(golden.rows.size(), 7u);
    for (size_t k = 0; k < golden.rows.size(); ++k) {
        const QStringList& want = golden.rows[k];
        for (int col = 1; col <= 15; ++col)
            EXPECT_EQ(sheet.GetCellText(int(k) + 2, col), want.value(col - 1)) << "row " << k + 2 << " col " << col;
    }
    EXPECT_EQ(sheet.GetCellText(1, 8), QStringLiteral("6月 "));
    EXPECT_EQ(sheet.GetCellText(9, 15), QString());  // nothing after the total line
}

TEST_F(PaymentListTest, NumbersSortAsWholeNumbersAndLettersDoNotFail) {
    // Text order would give 1, 10, 100000, 2, 40001; a 16-bit conversion fails above 32767.
    base.db().Exec(
        QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal, sFlag, wFlag) "
                       "values ('A7', '孙一', 3, 100, '1', '1')"));
    const PaymentList list = BuildPaymentList(base.db(), 1, 12);
    QStringList numbers;
    for (const PaymentLine& l : list.lines) numbers << l.number;
    EXPECT_EQ(numbers,
              (QStringList{QStringLiteral("A7"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("10"),
                           QStringLiteral("10"), QStringLiteral("40001"), QStringLiteral("100000")}));
}

TEST_F(PaymentListTest, ANumberUnderTwoNamesIsCountedOncePerName) {
    const PaymentList list = BuildPaymentList(base.db(), 1, 12);
    double tenA = -1, tenB = -1;
    for (const PaymentLine& l : list.lines) {
        if (l.name == QStringLiteral("王十")) tenA = l.total;
        if (l.name == QStringLiteral("王拾")) tenB = l.total;
    }
    EXPECT_DOUBLE_EQ(tenA, 7999.5);  // months 1 and 3
    EXPECT_DOUBLE_EQ(tenB, 700);
    // 4000.5 + 9999 + 15000 + 7999.5 + 700 + 1000 + 8000
    EXPECT_EQ(PaymentAmount(list.grandTotal), QStringLiteral("46699"));
}

TEST_F(PaymentListTest, TotalsHaveNoTrailingPointZeroAndAPersonOutsideTheRangeGetsZero) {
    EXPECT_EQ(PaymentAmount(5000.0), QStringLiteral("5000"));
    EXPECT_EQ(PaymentAmount(4999.5), QStringLiteral("4999.5"));
    EXPECT_EQ(PaymentAmount(0.1 + 0.2), QStringLiteral("0.3"));
    const PaymentList list = BuildPaymentList(base.db(), 7, 12);
    ASSERT_EQ(list.lines.size(), 6u);
    for (const PaymentLine& l : list.lines) {
        EXPECT_EQ(PaymentAmount(l.total), QStringLiteral("0")) << l.number.toStdString();
        for (int m = 1; m <= 12; ++m) EXPECT_TRUE(l.months[size_t(m)].isEmpty());
    }
    EXPECT_EQ(PaymentAmount(list.grandTotal), QStringLiteral("0"));
}

TEST_F(PaymentListTest, EmptyWageTableGivesOnlyTheTotalLine) {
    base.db().Exec(QStringLiteral("delete from Wage_Info"));
    TSheetBook sheet;
    ApplySheetTemplate(sheet, QStringLiteral("permonwage"));
    FillPaymentSheet(sheet, BuildPaymentList(base.db(), 1, 1));
    EXPECT_EQ(sheet.GetCellText(2, 14), QStringLiteral("总计："));
    EXPECT_EQ(sheet.GetCellText(2, 15), QStringLiteral("0"));
    EXPECT_THROW(BuildPaymentList(base.db(), 5, 4), std::invalid_argument);
    EXPECT_THROW(BuildPaymentList(base.db(), 0, 4), std::invalid_argument);
}

// A stored total that is no number is an error row: shown as stored with the error mark, left
// out of the totals and named in the message, person and month; the list is still made.
TEST_F(PaymentListTest, ATotalThatIsNoNumberIsAnErrorRowNamedByPersonAndMonth) {
    base.db().Exec(QStringLiteral("update Wage_Info set sTotal='' where sNumber='2' and Smon=3"));
    base.db().Exec(QStringLiteral("update Wage_Info set sTotal='３０００' where sNumber='2' and Smon=4"));
    base.db().Exec(QStringLiteral("update Wage_Info set sTotal='Infinity' where sNumber='1' and Smon=5"));
    const PaymentList list = BuildPaymentList(base.db(), 3, 5);
    TSheetBook sheet;
    ApplySheetTemplate(sheet, QStringLiteral("permonwage"));
    FillPaymentSheet(sheet, list);
    EXPECT_EQ(sheet.GetCellText(3, 15), QStringLiteral("5000"));  // 王二: month 5 alone
    EXPECT_EQ(sheet.GetCellText(2, 15), QStringLiteral("2000.25"));
    EXPECT_EQ(sheet.GetCellText(8, 15), QStringLiteral("13699.75"));
    EXPECT_EQ(sheet.GetCellText(3, 6), QStringLiteral("３０００"));
    EXPECT_TRUE(sheet.IsMarked(3, 5));
    EXPECT_TRUE(sheet.IsMarked(3, 6));
    EXPECT_TRUE(sheet.IsMarked(2, 7));
    EXPECT_FALSE(sheet.IsMarked(3, 7));
    const QString text = PaymentProblemsText(list);
    EXPECT_EQ(text, QStringLiteral("以下工资合计不是数字，未计入合计，请在工资录入或工资错误信息中改正：\n"
                                   "王一（姓名编号1）5月：“Infinity”\n王二（姓名编号2）3月：“”\n"
                                   "王二（姓名编号2）4月：“３０００”"))
        << text.toStdString();
    EXPECT_EQ(PaymentProblemsText(BuildPaymentList(base.db(), 6, 6)), QString());
}

// Rows without a number or a name still give a line of their own; numbers
// that read as the same whole number keep their text order; a number stored as bytes (no
// text) lists after the texts of its whole number.
TEST_F(PaymentListTest, OddNumbersAndNamesKeepTheirLinesAndOrder) {
    const auto row = [&](const char* number, const char* name, int month, double total) {
        base.db().Exec(QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal, sFlag, wFlag) values (") +
                           QString::fromUtf8(number) + QStringLiteral(", ") + QString::fromUtf8(name) +
                           QStringLiteral(", ?, ?, '1', '1')"),
                       {month, total});
    };
    base.db().Exec(QStringLiteral("delete from Wage_Info"));
    row("'12abc'", "'字母'", 4, 2.25);
    row("null", "'无号'", 3, 100);
    row("' 12'", "'前空'", 3, 1.5);
    row("'12'", "'整'", 3, 1);
    row("'77'", "null", 4, 200);
    row("'12'", "'整'", 5, 0.5);
    row("'-5'", "'负'", 6, 7);
    const auto listed = [&](int from, int to) {
        QStringList out;
        for (const PaymentLine& l : BuildPaymentList(base.db(), from, to).lines)
            out << l.number + QLatin1Char('/') + l.name + QLatin1Char('=') + PaymentAmount(l.total);
        return out;
    };
    const QStringList whole{"/无号=0", "-5/负=7", "12/前空=1.5", "12/整=1.5", "12abc/字母=2.25", "77/=200"};
    EXPECT_EQ(listed(1, 12), whole);
    EXPECT_EQ(listed(3, 3), (QStringList{"/无号=0", "-5/负=0", "12/前空=1.5", "12/整=1", "12abc/字母=0", "77/=0"}));
    base.db().Exec(
        QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal) values (x'3132', '字节', 3, 9)"));
    QStringList withBytes = whole;
    withBytes.insert(5, QStringLiteral("12/字节=9"));
    EXPECT_EQ(listed(1, 12), withBytes);
}

TEST_F(PaymentListTest, CaptionTitleAndDateLine) {
    EXPECT_EQ(PaymentCaption(QStringLiteral("测试单位")), QStringLiteral("[测试单位] 工资发放汇总清单"));
    EXPECT_EQ(PaymentTitle(3, 5), QStringLiteral("3月 - 5月 的工资发放汇总清单"));
    // Whatever the machine's locale, the date reads as a Chinese desktop writes it; the
    // summaries store the day the same way (Tdate).
    EXPECT_EQ(PaymentDateLine(QDate(2026, 12, 9)), QStringLiteral("统计日期：2026-12-09"));
    EXPECT_EQ(TodayText(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

// Stores `rows` (SQL value lists of number, name, month and total, so that NULLs and bytes can be
// given) as the whole wage table, and lists the year as texts: its lines (number, name, the twelve
// month cells and the total), its problems (month: text) and its grand total.
struct Year {
    QStringList lines, problems;
    QString grand;
};
Year StoreAndList(db::Connection& c, const QStringList& rows) {
    c.Exec(QStringLiteral("delete from Wage_Info"));
    for (const QString& r : rows)
        c.Exec(QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal) values ") + r);
    const PaymentList list = BuildPaymentList(c, 1, 12);
    Year y{{}, {}, PaymentAmount(list.grandTotal)};
    for (const PaymentLine& l : list.lines) {
        QStringList cells{l.number, l.name};
        for (int m = 1; m <= 12; ++m) cells << l.months[size_t(m)];
        y.lines << (cells << PaymentAmount(l.total)).join(QLatin1Char('|'));
    }
    for (const PaymentProblem& p : list.problems) y.problems << QStringLiteral("%1:%2").arg(p.month).arg(p.text);
    return y;
}

// However the rows of the year are stored (month after month in one order of persons or
// another, person after person, scattered), every line reads the same.
TEST_F(PaymentListTest, TheOrderOfTheStoredRowsChangesNoLine) {
    const QStringList persons{"'2', '甲'", "'1', '乙'", "'1', '丙'", "'10', '甲'",
                              "'3', null", "'4', '丁'", "'04', '丁'"};
    const QStringList totals{"1000", "2000.5", "'300'", "4e3", "null"};
    QStringList byMonth;
    for (int m = 1; m <= 3; ++m)
        for (int k = 0; k < 7; ++k)
            byMonth << QStringLiteral("(%1, %2, %3)").arg(persons[k], QString::number(m), totals[(k + m) % 5]);
    QStringList reversedEveryOther = byMonth, byPerson = byMonth, scattered = byMonth;
    std::reverse(reversedEveryOther.begin() + 7, reversedEveryOther.begin() + 14);
    const auto name = [](const QString& row) { return row.section(QStringLiteral(", "), 1, 1); };
    std::stable_sort(byPerson.begin(), byPerson.end(),
                     [&](const QString& a, const QString& b) { return name(a) < name(b); });
    for (qsizetype k = 0; k < scattered.size(); ++k) scattered.swapItemsAt(k, (k * 7 + 3) % scattered.size());

    const QStringList want = StoreAndList(base.db(), byMonth).lines;
    ASSERT_EQ(want.size(), 7);
    EXPECT_EQ(want.front(), QStringLiteral("1|丙|4000||1000||||||||||5000"));
    EXPECT_EQ(want.back(), QStringLiteral("10|甲||1000|2000.5||||||||||3000.5"));
    for (const auto& [what, rows] : {std::pair{"every other month reversed", &reversedEveryOther},
                                     std::pair{"person by person", &byPerson}, std::pair{"scattered", &scattered}})
        EXPECT_EQ(StoreAndList(base.db(), *rows).lines, want) << what;
}

// Two rows of one person and month: the cell shows the later, and the earlier still counts
// in the totals, or is still named when it is no number. An older file's fifth decimal shows
// as it counts.
TEST_F(PaymentListTest, TwoRowsOfOneMonthShowTheLaterAndCountBoth) {
    const std::pair<QStringList, Year> cases[]{
        {{"('9', '冯', 3, 2499.49995)", "('9', '冯', 4, 0.00005)"},
         {{"9|冯|||2499.5|0.0001|||||||||2499.5001"}, {}, "2499.5001"}},
        {{"('5', '周', 3, 100)", "('5', '周', 3, 250.5)"}, {{"5|周|||250.5||||||||||350.5"}, {}, "350.5"}},
        {{"('6', '吴', 4, 'abc')", "('6', '吴', 4, 300)"}, {{"6|吴||||300|||||||||300"}, {"4:abc"}, "300"}},
        {{"('7', '郑', 4, 300)", "('7', '郑', 4, null)"}, {{"7|郑|||||||||||||300"}, {}, "300"}},
        {{"('8', '王', 2, 'x')", "('8', '王', 2, 'y')", "('8', '王', 2, 50)", "('8', '王', 5, 1)"},
         {{"8|王||50|||1||||||||51"}, {"2:x", "2:y"}, "51"}},
        // A month that is no whole number is no month: as "Smon=3" reads it, the row is of none.
        {{"('3', '陈', 3, 100)", "('3', '陈', 3.5, 50)"}, {{"3|陈|||100||||||||||100"}, {}, "100"}},
    };
    for (const auto& [rows, want] : cases) {
        const Year got = StoreAndList(base.db(), rows);
        EXPECT_EQ(got.lines, want.lines);
        EXPECT_EQ(got.problems, want.problems) << want.grand.toStdString();
        EXPECT_EQ(got.grand, want.grand) << want.grand.toStdString();
    }
}

// The lines come in the order the engine's own sort gives the persons, however a number is
// written, and so do they when a name is bytes that read as no text.
TEST_F(PaymentListTest, LinesFollowTheEnginesOrderOfNumbers) {
    const std::pair<std::vector<const char*>, const char*> cases[]{
        {{"007", "7", "-0", "0", "-12", "+5", " 7", "7 ", "-"}, nullptr},
        {{"123456789012345678", "1234567890123456789", "99999999999999999999", "-99999999999999999999",
          "999999999999999999", "-999999999999999999", "9223372036854775807", "9223372036854775808"},
         nullptr},
        {{"1e3", "12x", "x12", "", "2.9", "-2.9", "0x10", "١٢"}, nullptr},
        {{"3", "1", "2"}, "('2', x'e4b8', 1, 1)"},  // a name of bytes that are no UTF-8
        // Persons whose number and name run together alike, or differ in the kind of name only.
        {{"5"}, "('1', '1张', 1, 1), ('11', '张', 1, 1), ('2', null, 1, 1), ('2', '', 1, 1)"},
    };
    for (const auto& [numbers, odd] : cases) {
        QStringList rows;
        for (const char* n : numbers) rows << QStringLiteral("('%1', '名', 1, 1)").arg(QString::fromUtf8(n));
        if (odd) rows << QString::fromLatin1(odd);
        QStringList got;
        for (const QString& l : StoreAndList(base.db(), rows).lines) got << l.section(QLatin1Char('|'), 0, 1);
        db::Query q(base.db());
        q.Open(
            QStringLiteral("select sNumber, sName from Wage_Info group by sNumber, sName "
                           "order by cast(sNumber as integer), sNumber, sName"));
        QStringList want;
        for (int r = 0; r < q.RecordCount(); ++r)
            want << q.ValueAt(r, 0).AsString().trimmed() + QLatin1Char('|') + q.ValueAt(r, 1).AsString().trimmed();
        EXPECT_EQ(got, want) << numbers.front();
    }
}

// Every wage row the reports count (VmonWage joins it to a staff row of its month) is in the
// list's 总计 and on a line of its own, however its number and name are stored.
TEST_F(PaymentListTest, EveryWageRowTheReportsCountIsInTheGrandTotal) {
    const std::pair<const char*, const char*> persons[] = {
        {"'501'", "null"},     {"cast(x'35ff' as text)", "'赵'"},  {"cast(x'35fe' as text)", "'赵'"},  // read alike
        {"x'353033'", "'钱'"}, {"'502'", "cast(x'e4b8' as text)"}, {"'504'", "x'e4b8ad'"},
        {"x'35fd'", "'孙'"}};
    base.db().Exec(QStringLiteral("delete from Wage_Info"));
    QStringList all;
    for (size_t k = 0; k < std::size(persons); ++k) {
        const QString number = QLatin1String(persons[k].first), name = QString::fromUtf8(persons[k].second);
        base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber) values (3, %1)").arg(number));
        base.db().Exec(QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal) values (%1, %2, 3, %3)")
                           .arg(number, name)
                           .arg(k + 1));
        all << QString::number(k + 1);
    }
    const PaymentList list = BuildPaymentList(base.db(), 1, 12);
    EXPECT_EQ(PaymentAmount(list.grandTotal), base.Scalar(QStringLiteral("select total(sTotal) from VmonWage")));
    QStringList months;
    for (const PaymentLine& l : list.lines) months << l.months[3];
    months.sort();
    EXPECT_EQ(months, all);
}

// More persons than the least sheet has rows: every one is shown with the "总计：" line below
// the last, and an error mark lands on its own person's cell, below that length too.
TEST_F(PaymentListTest, EveryPersonAndTheTotalLineShowBeyondTheLeastSheetLength) {
    const int persons = TSheetBook::kMinRows + 16, last = persons + 1;
    base.db().Exec(QStringLiteral("delete from Wage_Info"));
    base.db().Exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) "
                                  "insert into Wage_Info (sNumber, sName, Smon, sTotal) "
                                  "select i, '人' || i, 2, case when i in (100, ?) then '坏' else 10 end from n"),
                   {persons, persons - 5});
    const PaymentList list = BuildPaymentList(base.db(), 1, 12);
    ASSERT_EQ(list.lines.size(), size_t(persons));
    EXPECT_EQ(list.problems.size(), 2u);
    TSheetBook sheet;
    ApplySheetTemplate(sheet, QStringLiteral("permonwage"));
    FillPaymentSheet(sheet, list);
    EXPECT_EQ(sheet.GetCellText(last, 2), QString::number(persons));
    EXPECT_EQ(sheet.GetCellText(last, 4), QStringLiteral("10"));
    EXPECT_EQ(sheet.GetCellText(last + 1, 14), QStringLiteral("总计："));
    EXPECT_EQ(sheet.GetCellText(last + 1, 15), QString::number((persons - 2) * 10));
    EXPECT_EQ(sheet.LastUsedRow(), last + 1);
    for (int row : {101, last - 5}) {
        EXPECT_TRUE(sheet.IsMarked(row, 4)) << row;
        EXPECT_EQ(sheet.GetCellText(row, 4), QStringLiteral("坏")) << row;
    }
    for (int row = last - 4; row <= last + 1; ++row) EXPECT_FALSE(sheet.IsMarked(row, 4)) << row;
    EXPECT_EQ(PaymentAmount(list.grandTotal), QString::number((persons - 2) * 10));
}

// More persons than one block of month cells holds, stored month after month and in either
// order: each month lands in its own person's cells.
TEST_F(PaymentListTest, ManyPersonsStoredMonthAfterMonthKeepEachTheirMonths) {
    const int persons = 4096 + 40;
    for (const char* secondMonth : {"i", "i desc"}) {
        SCOPED_TRACE(secondMonth);
        base.db().Exec(QStringLiteral("delete from Wage_Info"));
        for (int m = 1; m <= 3; ++m)
            base.db().Exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) "
                                          "insert into Wage_Info (sNumber, sName, Smon, sTotal) "
                                          "select i, '人' || i, ?, i * 10 + ? from n order by ") +
                               QLatin1String(m == 2 ? secondMonth : "i"),
                           {persons, m, m});
        const PaymentList list = BuildPaymentList(base.db(), 1, 12);
        ASSERT_EQ(list.lines.size(), size_t(persons));
        for (size_t k = 0; k < list.lines.size(); ++k) {
            const long long i = (long long)k + 1;
            for (int m = 1; m <= 4; ++m)
                ASSERT_EQ(list.lines.MonthText(k, m), m <= 3 ? QString::number(i * 10 + m) : QString())
                    << i << "/" << m;
            ASSERT_EQ(PaymentAmount(list.lines.Total(k)), QString::number(i * 30 + 6)) << i;
        }
        EXPECT_EQ(PaymentAmount(list.grandTotal), base.Scalar(QStringLiteral("select total(sTotal) from Wage_Info")));
    }
}

}  // namespace
