#include "core/db/WageTable.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(WageTable, InsertCorrectAcceptAndDeleteTheRowsOfOneMonth) {
    test::TempBase base;
    WageTable t(base.db());
    WageRecord r;
    r.sMon = Month(3);
    r.sNumber = QStringLiteral("O'1");
    r.sName = QStringLiteral("张三");
    r.sN1 = 3000;
    r.sN2 = 12.5;
    r.sTotal = 3012.5;
    r.sFlag = QStringLiteral("1");
    r.wFlag = QStringLiteral("0");
    t.Insert(r);
    r.sMon = Month(4);
    t.Insert(r);
    EXPECT_EQ(base.Scalar(
                  QStringLiteral("select Smon||'|'||sNumber||'|'||sN1||'|'||sN2||'|'||sTotal||'|'||sFlag||wFlag||'|'||"
                                 "(sN3 is null)||(sN5 is null) from Wage_Info where Smon=3")),
              QStringLiteral("3|O'1|3000|12.5|3012.5|10|11"));

    const long long id = base.Scalar(QStringLiteral("select id from Wage_Info where Smon=3")).toLongLong();
    WageRecord fix = r;
    fix.sN2 = db::Value();
    fix.sTotal = 3000;
    fix.wFlag = QStringLiteral("1");
    EXPECT_EQ(t.Update(id, fix), 1);
    EXPECT_EQ(
        base.Scalar(
            QStringLiteral("select Smon||'|'||(sN2 is null)||'|'||sTotal||'|'||wFlag from Wage_Info where id=?"), {id}),
        QStringLiteral("3|1|3000|1"));  // the month stays

    EXPECT_EQ(t.AcceptTotals(Month(4)), 1);
    EXPECT_EQ(t.AcceptTotals(Month(4)), 0);
    EXPECT_EQ(t.DeleteMonth(Month(12)), 0);
    EXPECT_EQ(t.DeleteRow(id), 1);
    EXPECT_EQ(t.DeleteAll(), 1);
}

// A month's rows come back as stored, in id order; the failed ones are those with either flag
// '0', a null flag failing nothing.
TEST(WageTable, ReadsReturnTheMonthAndItsFailedRows) {
    test::TempBase base;
    WageTable t(base.db());
    EXPECT_FALSE(t.LastMonth());
    auto add = [&t](int mon, const char* number, const char* s, const char* w) {
        WageRecord r;
        r.sMon = Month(mon);
        r.sNumber = QString::fromLatin1(number);
        r.sName = QStringLiteral("李四");
        r.sN1 = 2.5;
        r.sTotal = 100;
        if (s) r.sFlag = QString::fromLatin1(s);
        if (w) r.wFlag = QString::fromLatin1(w);
        t.Insert(r);
    };
    add(5, "1", "1", "1");
    add(5, "2", "0", "1");
    add(5, "3", nullptr, "0");
    add(5, "4", nullptr, nullptr);
    add(2, "5", "0", "0");
    const std::vector<WageRecord> all = t.ReadMonth(Month(5));
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].sNumber, QStringLiteral("1"));
    EXPECT_EQ(all[0].sN1.kind(), db::Value::Kind::Real);
    EXPECT_EQ(all[0].sTotal.AsString(), QStringLiteral("100"));
    EXPECT_TRUE(all[0].sN2.IsNull());
    EXPECT_FALSE(all[3].sFlag.has_value());
    EXPECT_LT(all[2].id, all[3].id);
    const std::vector<WageRecord> failed = t.ReadFailed(Month(5));
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(failed[0].sNumber, QStringLiteral("2"));
    EXPECT_EQ(failed[1].wFlag, QStringLiteral("0"));
    EXPECT_TRUE(t.HasFailed(Month(5)));
    EXPECT_FALSE(t.HasFailed(Month(6)));
    EXPECT_EQ(t.LastMonth(), 5);
}

}  // namespace
}  // namespace qm
