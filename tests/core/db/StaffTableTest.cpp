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

// The registry and the stored table agree: every column of Staff_moninfo is a registry row's,
// with the affinity the registry's use of it needs, and the sheet columns it places neither
// collide nor leave a gap.
TEST(StaffTable, RegistryMatchesTheTableAndPlacesEverySheetColumnOnce) {
    test::TempBase base;
    db::Query q(base.db());
    q.Open(QStringLiteral("pragma table_info(Staff_moninfo)"));
    QStringList stored;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString name = q.FieldByName(QStringLiteral("name")).AsString();
        const QString type = q.FieldByName(QStringLiteral("type")).AsString().toLower();
        stored << name;
        for (const StaffAttrRow& a : kStaffAttrs) {
            if (name == QLatin1String(a.text)) {
                EXPECT_EQ(type, QStringLiteral("text")) << a.text;
            }
            if (name == QLatin1String(a.code)) {
                EXPECT_EQ(type, QStringLiteral("integer")) << a.code;
            }
        }
    }
    QStringList known = StaffTable::ReadColumns();
    EXPECT_EQ(known.size(), stored.size());
    for (const QString& c : stored) EXPECT_TRUE(known.contains(c)) << c.toStdString();
    // The insert of every class holds only stored columns.
    for (const QString& c : StaffTable::InsertColumns(StaffColumns::All)) EXPECT_TRUE(stored.contains(c));

    std::vector<int> owners(size_t(kStaffLastCodeCol + 1), 0);
    for (const StaffPlainRow& p : kStaffPlain)
        if (p.sheetCol > 0) ++owners[size_t(p.sheetCol)];
    for (const StaffAttrRow& a : kStaffAttrs) {
        ++owners[size_t(a.sheetCol)];
        ++owners[size_t(CodeColOf(a.attr))];
        EXPECT_EQ(AttrAtSheetCol(a.sheetCol), a.attr);
        EXPECT_GT(a.width, 0);
        EXPECT_FALSE(QString::fromUtf8(a.caption).isEmpty());
    }
    for (int c = 1; c <= kStaffSheetTexts; ++c) EXPECT_EQ(owners[size_t(c)], 1) << "text column " << c;
    for (int c = kStaffFirstCodeCol; c <= kStaffLastCodeCol; ++c) EXPECT_EQ(owners[size_t(c)], 1) << "code " << c;
    const QStringList sheet = StaffTable::SheetTextColumns();
    EXPECT_EQ(sheet.size(), kStaffSheetTexts);
    EXPECT_EQ(sheet.front(), QStringLiteral("sName"));
    EXPECT_EQ(sheet.back(), QStringLiteral("sTyg"));
}

// What a save stored comes back from every read as it was stored: value types, nulls, id order.
TEST(StaffTable, ReadsReturnTheStoredRows) {
    test::TempBase base;
    StaffTable table(base.db());
    StaffRecord first = Person(Month(2), QStringLiteral("1"));
    first.Text(StaffAttr::Site).reset();
    first.Code(StaffAttr::Site).reset();
    first.sWorks = db::Value();
    first.sIsok = QStringLiteral("0");
    table.Insert(first);
    table.Insert(Person(Month(3), QStringLiteral("9")));
    table.Insert(Person(Month(2), QStringLiteral("2")));

    const std::vector<StaffRecord> rows = table.ReadMonth(Month(2));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_LT(rows[0].id, rows[1].id);
    const StaffRecord& r = rows[0];
    EXPECT_EQ(r.sMon, Month(2));
    EXPECT_EQ(r.sNumber, QStringLiteral("1"));
    EXPECT_EQ(r.sName, QStringLiteral("张三"));
    EXPECT_EQ(r.sBirth, QStringLiteral("1970-05"));
    EXPECT_TRUE(r.sWorks.IsNull());
    EXPECT_EQ(r.sWork.kind(), db::Value::Kind::Real);
    EXPECT_EQ(r.sGw, QStringLiteral("会计"));
    EXPECT_EQ(r.sIsok, QStringLiteral("0"));
    EXPECT_FALSE(r.Text(StaffAttr::Site).has_value());
    EXPECT_FALSE(r.Code(StaffAttr::Site).has_value());
    EXPECT_EQ(r.Text(StaffAttr::Production), QStringLiteral("t12"));
    EXPECT_EQ(r.Code(StaffAttr::Production), 13);
    const auto texts = StaffTable::SheetTexts(rows[1]);
    EXPECT_EQ(texts[0], QStringLiteral("张三"));
    EXPECT_EQ(texts[size_t(SheetColOf(StaffPlain::Works) - 1)], QStringLiteral("20"));
    EXPECT_EQ(texts[size_t(SheetColOf(StaffPlain::Work) - 1)], QStringLiteral("2.5"));
    EXPECT_EQ(texts[size_t(SheetColOf(StaffAttr::Edu) - 1)], QStringLiteral("t3"));

    // The narrow read of the shown texts gives the same texts, filtered by the row flag.
    const auto shown = table.ReadSheetTexts(Month(2));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], StaffTable::SheetTexts(rows[0]));
    EXPECT_EQ(shown[1], texts);
    ASSERT_EQ(table.ReadSheetTexts(Month(2), QStringLiteral("0")).size(), 1u);
    EXPECT_EQ(table.ReadSheetTexts(Month(2), QStringLiteral("0"))[0][1], QStringLiteral("1"));
    ASSERT_TRUE(table.Read(rows[1].id).has_value());
    EXPECT_EQ(table.Read(rows[1].id)->sNumber, QStringLiteral("2"));
    EXPECT_FALSE(table.Read(rows[1].id + 100).has_value());
    EXPECT_EQ(table.ReadPeople(Month(2)), (std::vector<std::pair<QString, QString>>{{"1", "张三"}, {"2", "张三"}}));
    EXPECT_TRUE(table.HasFailedRows(Month(2)));
    EXPECT_FALSE(table.HasFailedRows(Month(3)));
    // A stored month outside the year is no month.
    base.db().Exec(QStringLiteral("insert into Staff_moninfo(sMon, sName) values(13, 'x')"));
    EXPECT_EQ(table.Months(), (std::vector<Month>{Month(2), Month(3)}));
}

// The stepped read hands over the stored values of the columns asked for, row by row in id
// order, as the full read gives them: a null is null, a number in a text column reads as the
// text SQLite spells; a failure inside the pass leaves the table readable.
TEST(StaffTable, AStepOverAMonthSeesTheStoredValuesOfItsColumns) {
    test::TempBase base;
    StaffTable table(base.db());
    table.Insert(Person(Month(2), QStringLiteral("1")));
    table.Insert(Person(Month(3), QStringLiteral("9")));
    StaffRecord odd = Person(Month(2), QStringLiteral("2"));
    odd.Text(StaffAttr::Sex).reset();
    odd.sWorks = db::Value(QStringLiteral("三年"));
    table.Insert(odd);
    base.db().Exec(QStringLiteral("update Staff_moninfo set sTnation=2.5, sBirth=197001 where sNumber='2'"));

    const StaffColumn cols[] = {StaffPlain::Number, StaffAttr::Sex, StaffPlain::Works, StaffAttr::Nation,
                                StaffPlain::Birth};
    std::vector<QStringList> seen;
    table.StepMonth(Month(2), cols, [&](const StaffRowView& row) {
        QStringList r;
        for (int i = 0; i < 5; ++i) r << (row.IsNull(i) ? QStringLiteral("<null>") : row.Text(i));
        r << QString::number(int(row.Value(2).kind()));
        EXPECT_EQ(row.Utf8(0), row.Text(0).toStdString());
        seen.push_back(r);
    });
    const std::vector<StaffRecord> full = table.ReadMonth(Month(2));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1],
              (QStringList{"2", "<null>", "三年", "2.5", "197001", QString::number(int(db::Value::Kind::Text))}));
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(seen[i][0], full[i].sNumber);
        EXPECT_EQ(seen[i][3], full[i].Text(StaffAttr::Nation).value_or(QStringLiteral("<null>")));
        EXPECT_EQ(seen[i][4], full[i].sBirth.value_or(QStringLiteral("<null>")));
    }
    // A pass stopped by a throw: the next read runs from the first row again.
    EXPECT_THROW(table.StepMonth(Month(2), cols, [](const StaffRowView&) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
    int rows = 0;
    table.StepMonth(Month(2), cols, [&](const StaffRowView& row) {
        if (rows++ == 0) {
            EXPECT_EQ(row.Text(0), QStringLiteral("1"));
        }
    });
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(table.ReadMonth(Month(2)).size(), 2u);
}

// The deletes touch only the rows they name; a number listed twice is one row deleted but
// two rows shown, as the join shows them.
TEST(StaffTable, DeletesAndListedRowsKeepToTheirMonth) {
    test::TempBase base;
    StaffTable table(base.db());
    for (int m : {0, 0, 4, 5}) table.Insert(Person(Month(m), m == 0 ? QStringLiteral("0") : QStringLiteral("1")));
    base.db().Exec(QStringLiteral("insert into Tmp_Del(sName,sNumber,sMon) values('a','1',4),('b','1',4),('c','1',5)"));
    EXPECT_EQ(table.ReadListed(Month(4), QStringLiteral("Tmp_Del")).size(), 2u);
    EXPECT_EQ(table.DeleteListed(Month(4), QStringLiteral("Tmp_Del")), 1);
    EXPECT_EQ(table.DeleteNumber(Month(5), QStringLiteral("0")), 0);
    EXPECT_TRUE(table.HasMonthlyRows());
    EXPECT_EQ(table.DeleteMonthlyLists(), 1);
    EXPECT_FALSE(table.HasMonthlyRows());
    EXPECT_TRUE(table.HasRows(Month::Start()));
    EXPECT_EQ(table.DeleteNumber(Month::Start(), QStringLiteral("0")), 2);
    EXPECT_FALSE(table.HasRows(Month::Start()));
}

}  // namespace
}  // namespace qm
