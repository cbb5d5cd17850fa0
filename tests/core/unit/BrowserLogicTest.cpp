#include "core/unit/BrowserLogic.h"

#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

class BrowserLogicTest : public ::testing::Test {
protected:
    void Add(int month, const char* name) {
        base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber) values (?, ?, '1')"),
                       {month, QString::fromUtf8(name)});
    }
    QStringList Names(const std::optional<ListQuery>& q) {
        db::Query r(base.db());
        r.Open(q->sql, q->params);
        QStringList out;
        for (r.First(); !r.Eof(); r.Next()) out << r.FieldByName(QStringLiteral("sName")).AsString();
        return out;
    }
    test::TempBase base;
};

TEST(BrowserMonths, CaptionTableBothWays) {
    for (int m = 0; m <= 12; ++m) EXPECT_EQ(browser::MonthOfCaption(Month(m).Caption()), m);
    EXPECT_FALSE(browser::MonthOfCaption(QStringLiteral("十三月")));
    EXPECT_FALSE(browser::MonthOfCaption(QString()));
    EXPECT_FALSE(browser::MonthOfCaption(QStringLiteral(" 一月")));
}

TEST(BrowserMonths, StatusText) {
    EXPECT_EQ(browser::StatusText(QStringLiteral("期初"), 3), "  期初, 共有3条记录。");
    EXPECT_EQ(browser::EmptyStatusText(), "  共有0条记录。");
}

TEST_F(BrowserLogicTest, MonthListHoldsThePresentMonths) {
    EXPECT_TRUE(browser::PresentMonthCaptions(base.db()).isEmpty());
    Add(2, "甲");
    Add(0, "乙");
    Add(1, "丙");
    Add(0, "丁");
    Add(13, "戊");  // no caption: not offered
    EXPECT_EQ(browser::PresentMonthCaptions(base.db()), (QStringList{"期初", "一月", "二月"}));
}

TEST_F(BrowserLogicTest, MonthRowsAndCounts) {
    Add(0, "张三");
    Add(0, "李四");
    Add(1, "张三");
    EXPECT_EQ(Names(browser::MonthRows(QStringLiteral(" 期初 "))), (QStringList{"张三", "李四"}));
    EXPECT_EQ(Names(browser::MonthRows(QStringLiteral("一月"))), QStringList{"张三"});
    EXPECT_TRUE(Names(browser::MonthRows(QStringLiteral("五月"))).isEmpty());
    // No month named: no statement at all.
    EXPECT_FALSE(browser::MonthRows(QString()));
    EXPECT_FALSE(browser::NameSearch(QString(), QStringLiteral("张")));
}

TEST_F(BrowserLogicTest, NameSearchIsBoundAndLimitedToTheMonth) {
    Add(0, "张三");
    Add(0, "李四");
    Add(0, "O'Neil");
    Add(0, "五成%");
    Add(1, "张三丰");
    EXPECT_EQ(Names(browser::NameSearch(QStringLiteral("期初"), QStringLiteral("张"))), QStringList{"张三"});
    EXPECT_TRUE(Names(browser::NameSearch(QStringLiteral("期初"), QStringLiteral("张'"))).isEmpty());
    EXPECT_EQ(Names(browser::NameSearch(QStringLiteral("期初"), QStringLiteral("'"))), QStringList{"O'Neil"});
    EXPECT_EQ(Names(browser::NameSearch(QStringLiteral("期初"), QString())).size(), 4);
    EXPECT_TRUE(Names(browser::NameSearch(QStringLiteral("期初"), QStringLiteral("赵"))).isEmpty());
    // The month text is taken as it stands.
    EXPECT_FALSE(browser::NameSearch(QStringLiteral("期初 "), QStringLiteral("张")));
}

}  // namespace
}  // namespace qm
