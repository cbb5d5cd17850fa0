// The print of a month's rows: the print a save takes from the values it binds is the print a
// read of the stored rows takes, whatever the values and however the columns convert them.
#include "core/db/MonthPrint.h"
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace qm {
namespace {

StaffRecord Person(const QString& name, const QString& number) {
    StaffRecord r;
    r.sMon = Month(2);
    r.sName = name;
    r.sNumber = number;
    r.sBirth = QStringLiteral("1970-05");
    r.sWorks = 20;
    r.sWork = 5;
    for (int a = 0; a < kStaffAttrCount; ++a) {
        r.text[size_t(a)] = QStringLiteral("是");
        r.code[size_t(a)] = 1;
    }
    return r;
}

WageSaveRow Wage(const db::Utf8Text& number, const db::Utf8Text& name, const db::Value& n1, const db::Value& total) {
    WageSaveRow r;
    r.sMon = Month(2);
    r.sNumber = &number;
    r.sName = &name;
    r.sN1 = n1;
    r.sTotal = total;
    r.wFlag = true;
    return r;
}

TEST(MonthPrint, TheRowsASaveInsertsPrintAsTheirReadBack) {
    const db::Utf8Text number(QStringLiteral("000123")), name(QStringLiteral("欧阳 志强")),
        quote(QStringLiteral("O'Neil"));
    const struct {
        const char* what;
        std::function<void(StaffTable&)> staff;  // one of the two
        std::function<void(WageTable&)> wage;
        bool known = true;  // the stored form follows from the values bound
    } cases[] = {
        {"a person of every column",
         [](StaffTable& t) { t.Insert(Person(QStringLiteral("张三"), QStringLiteral("1"))); },
         {},
         true},
        {"blanks, empty and absent texts",
         [](StaffTable& t) {
             StaffRecord r = Person(QString(), QStringLiteral(" 7 "));
             r.text[0] = QStringLiteral(" 男");
             r.text[1] = QString();
             r.text[2].reset();
             r.sBirth.reset();
             t.Insert(r);
         },
         {},
         true},
        {"work years whole, halves, whole reals, negative zero and absent",
         [](StaffTable& t) {
             const db::Value years[] = {3, 2.5, 3.0, -0.0, db::Value(), 1e20, 9223372036854775807.0, std::nan("")};
             int i = 0;
             for (const db::Value& v : years) {
                 StaffRecord r = Person(QStringLiteral("某"), QString::number(++i));
                 r.sWorks = v;
                 r.sWork = v;
                 t.Insert(r);
             }
         },
         {},
         true},
        {"a number text bound to a number column",
         [](StaffTable& t) {
             StaffRecord r = Person(QStringLiteral("某"), QStringLiteral("1"));
             r.sWorks = QStringLiteral("03");
             t.Insert(r);
         },
         {},
         false},
        {"wage amounts whole, halves, whole reals and absent",
         {},
         [&](WageTable& t) {
             t.Insert(Wage(number, name, 3000.0, 3000.0));
             t.Insert(Wage(number, quote, 2500.5, 0.1 + 0.2));
             t.Insert(Wage(name, number, db::Value(), -0.0));
             t.Insert(Wage(number, name, 12345678901234.5, 1e300));
         },
         true},
    };
    for (const auto& c : cases) {
        for (StaffColumns set : {StaffColumns::Base, StaffColumns::All}) {
            test::TempBase base;
            std::optional<db::RowsPrint> written;
            db::RowsPrint read, loaded;
            if (c.staff) {
                StaffTable table(base.db(), set);
                table.PrintInserts();
                c.staff(table);
                written = table.InsertedPrint();
                read = table.PrintMonth(Month(2));
                table.ReadSheetTexts(Month(2), {}, &loaded);
            } else {
                WageTable table(base.db());
                table.PrintInserts();
                c.wage(table);
                written = table.InsertedPrint();
                read = table.PrintMonth(Month(2));
                table.ReadMonth(Month(2), &loaded);
            }
            EXPECT_GT(read.rows, 0) << c.what;
            EXPECT_EQ(loaded, read) << c.what;
            if (c.known) {
                ASSERT_TRUE(written) << c.what;
                EXPECT_EQ(*written, read) << c.what << " " << int(set);
            } else {
                EXPECT_FALSE(written) << c.what;
            }
        }
    }
}

}  // namespace
}  // namespace qm
