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

}  // namespace
}  // namespace qm
