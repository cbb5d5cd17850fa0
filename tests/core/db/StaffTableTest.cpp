#include "core/db/StaffTable.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

StaffRecord Person(Month m, const QString& number) {
    StaffRecord r;
    r.sMon = m;
    r.sName = QStringLiteral("张三");
    r.sNumber = number;
    r.sBirth = QStringLiteral("1970-05");
    r.sWorks = 20;
    r.sWork = 2.5;
    r.sGw = QStringLiteral("会计");
    for (int i = 0; i < kStaffAttrCount; ++i) {
        r.text[size_t(i)] = QStringLiteral("t%1").arg(i);
        r.code[size_t(i)] = i + 1;
    }
    return r;
}

TEST(StaffTable, EachClassStoresItsOwnAttributes) {
    EXPECT_EQ(StaffColumnsFor(UnitClass(false, UnitClass::Kind::Other)), StaffColumns::Base);
    EXPECT_EQ(StaffColumnsFor(UnitClass(false, UnitClass::Kind::Unknown)), StaffColumns::Base);
    EXPECT_EQ(StaffColumnsFor(UnitClass(false, UnitClass::Kind::AboveSize)), StaffColumns::AboveSize);
    EXPECT_EQ(StaffColumnsFor(UnitClass(true, UnitClass::Kind::LabourSubcontract)), StaffColumns::All);
    // 7 plain columns, two per attribute, sIsok.
    EXPECT_EQ(StaffTable::InsertColumns(StaffColumns::Base).size(), 7 + 2 * 9 + 1);
    EXPECT_EQ(StaffTable::InsertColumns(StaffColumns::AboveSize).size(), 7 + 2 * 10 + 1);
    EXPECT_EQ(StaffTable::InsertColumns(StaffColumns::All).size(), 7 + 2 * 13 + 1);
    EXPECT_TRUE(StaffTable::InsertColumns(StaffColumns::AboveSize).contains(QStringLiteral("syg")));
    EXPECT_FALSE(StaffTable::InsertColumns(StaffColumns::AboveSize).contains(QStringLiteral("sgc")));
    // The update never moves a row to another month nor touches its duty text.
    EXPECT_FALSE(StaffTable::UpdateSql(StaffColumns::All).contains(QStringLiteral("sGw")));
    EXPECT_TRUE(StaffTable::UpdateSql(StaffColumns::All).endsWith(QStringLiteral("where id=? and sMon=?")));
}

TEST(StaffTable, InsertUpdateAndDeleteBindEveryValue) {
    test::TempBase base;
    StaffTable above(base.db(), StaffColumns::AboveSize);
    StaffRecord r = Person(Month(3), QStringLiteral("O'1"));
    r.Code(StaffAttr::Grade).reset();
    r.Text(StaffAttr::Grade).reset();
    above.Insert(r);
    above.Insert(Person(Month(4), QStringLiteral("2")));
    EXPECT_EQ(base.Scalar(QStringLiteral(
                  "select sMon||'|'||sNumber||'|'||sWorks||'|'||sWork||'|'||sGw||'|'||sTyg||'|'||syg||'|'||sIsok "
                  "from Staff_moninfo where sMon=3")),
              QStringLiteral("3|O'1|20|2.5|会计|t12|13|1"));
    // Columns outside the class and absent values stay null.
    EXPECT_EQ(base.Scalar(QStringLiteral("select (sTgc is null)+(sgc is null)+(sTGrade is null)+(sPostGrade is null) "
                                         "from Staff_moninfo where sMon=3")),
              QStringLiteral("4"));
    EXPECT_EQ(base.Scalar(QStringLiteral("select typeof(syg)||typeof(sWorks) from Staff_moninfo where sMon=3")),
              QStringLiteral("integerinteger"));

    const long long id = base.Scalar(QStringLiteral("select id from Staff_moninfo where sMon=3")).toLongLong();
    StaffRecord changed = Person(Month(3), QStringLiteral("9"));
    changed.sGw = QStringLiteral("不写");
    changed.sIsok = QStringLiteral("0");
    StaffTable all(base.db(), StaffColumns::All);
    EXPECT_EQ(all.Update(id, changed), 1);
    EXPECT_EQ(
        base.Scalar(QStringLiteral("select sNumber||'|'||sGw||'|'||sTgc||'|'||sIsok from Staff_moninfo where id=?"),
                    {id}),
        QStringLiteral("9|会计|t9|0"));
    // The row of another month is not found under this one.
    EXPECT_EQ(all.Update(id, Person(Month(4), QStringLiteral("9"))), 0);
    EXPECT_EQ(all.DeleteRow(id, Month(4)), 0);
    EXPECT_EQ(all.DeleteMonth(Month(3)), 1);
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo")), QStringLiteral("1"));
}

}  // namespace
}  // namespace qm
