// The one rule for work years, staff numbers and names that every form and the upload share.
#include "core/staff/StaffValues.h"

#include "core/db/StaffTable.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(StaffValues, WorkYearsArePlainDecimalsThatFitTheUploadField) {
    struct Case {
        const char* in;
        const char* stored;  // "" refused, "null" blank, else the value as text
    } cases[] = {
        {"", "null"},
        {"  ", "null"},
        {"12", "12"},
        {" 12 ", "12"},
        {"2.5", "2.5"},
        {"2.25", "2.25"},
        {"007", "7"},
        {"-3", "-3"},
        {"99999999", "99999999"},
        {"99999999.99", "99999999.99"},
        {"0.5", "0.5"},
        {"5.125", ""},
        {"1e5", ""},
        {"1e300", ""},
        {"+3", ""},
        {"999999999", ""},
        {"99999999999999999999", ""},
        {"-9999999", "-9999999"},
        {"-99999999", ""},
        {"5.", ""},
        {".5", ""},
        {"1.2.3", ""},
        {"十", ""},
        {"3年", ""},
        {"１２", ""},
        {"inf", ""},
        {"nan", ""},
        {"0x10", ""},
        {"1 2", ""},
        {"-", ""},
    };
    for (const Case& c : cases) {
        const auto v = staffvalue::WorkYears(QString::fromUtf8(c.in));
        if (!*c.stored) {
            EXPECT_FALSE(v.has_value()) << c.in;
        } else if (QByteArray(c.stored) == "null") {
            ASSERT_TRUE(v.has_value()) << c.in;
            EXPECT_TRUE(v->IsNull()) << c.in;
        } else {
            ASSERT_TRUE(v.has_value()) << c.in;
            EXPECT_EQ(v->AsString(), QString::fromLatin1(c.stored)) << c.in;
        }
    }
    EXPECT_EQ(staffvalue::WorkYears(QStringLiteral("12"))->kind(), db::Value::Kind::Integer);
    EXPECT_EQ(staffvalue::WorkYears(QStringLiteral("2.5"))->kind(), db::Value::Kind::Real);
    EXPECT_FALSE(staffvalue::WorkYears(QStringLiteral("-3"), false).has_value());
}

TEST(StaffValues, NumbersAndNames) {
    EXPECT_TRUE(staffvalue::NumberProblem(QStringLiteral("001")).isEmpty());
    EXPECT_TRUE(staffvalue::NumberProblem(QStringLiteral(" 一二三四五六七八九十 ")).isEmpty());
    EXPECT_FALSE(staffvalue::NumberProblem(QStringLiteral("")).isEmpty());
    EXPECT_FALSE(staffvalue::NumberProblem(QStringLiteral("  ")).isEmpty());
    EXPECT_FALSE(staffvalue::NumberProblem(QStringLiteral("一二三四五六七八九十1")).isEmpty());
    EXPECT_FALSE(staffvalue::NumberProblem(QStringLiteral("0") + QChar(0) + QStringLiteral("1")).isEmpty());
    EXPECT_FALSE(staffvalue::NumberProblem(QStringLiteral("0") + QChar(0x85) + QStringLiteral("1")).isEmpty());
    EXPECT_TRUE(staffvalue::NameOk(QStringLiteral(" 张三 ")));
    EXPECT_FALSE(staffvalue::NameOk(QStringLiteral("张\r三")));
    EXPECT_FALSE(staffvalue::NameOk(QStringLiteral("张") + QChar(0x7F) + QStringLiteral("三")));
    EXPECT_EQ(staffvalue::GbkLength(QStringLiteral("a张")), 3);
}

// The sheets' numbering line counts from the second column, so the messages name a column by
// the header the person reads above it, in every staff sheet.
TEST(StaffValues, AColumnIsNamedByTheHeaderAboveIt) {
    for (const char* sheet : {"staff", "staffwrong"}) {
        TSheetBook book;
        ApplySheetTemplate(book, QString::fromLatin1(sheet));
        for (int c = 1; c <= kStaffSheetTexts; ++c)
            EXPECT_EQ(staffvalue::ColumnName(c), book.GetCellText(1, c).simplified().remove(QChar(' ')))
                << sheet << " column " << c;
    }
}

}  // namespace
}  // namespace qm
