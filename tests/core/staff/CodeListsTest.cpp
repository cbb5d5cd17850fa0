// Loading the code lists from the database and looking names up in them.

#include "core/staff/CodeLists.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {
QString S(const char* s) { return QString::fromUtf8(s); }

std::vector<int> Ids(const CodeList& l) {
    std::vector<int> ids;
    for (const CodeEntry& e : l) ids.push_back(e.ID);
    return ids;
}
}  // namespace

TEST(CodeLists, PostsAreFilteredByUnitTypeInIdOrder) {
    test::TempBase base;
    auto& db = base.db();
    db.Exec("delete from Code_Post");
    db.Exec(
        "insert into Code_Post (ID, CodeName, Memo) values (30, 'c', '01'), (10, 'a', '0'), (20, 'b', '1'), (40, 'd', "
        "'')");
    CodeLists lists;
    LoadCodeTables(db, "0", lists);
    EXPECT_EQ(Ids(lists.CodePostList), (std::vector<int>{10, 30}));
    LoadCodeTables(db, "1", lists);
    EXPECT_EQ(Ids(lists.CodePostList), (std::vector<int>{20, 30}));
    // The filter digit is bound, not spliced: a quote in it finds nothing and breaks nothing.
    LoadCodeTables(db, "'", lists);
    EXPECT_TRUE(lists.CodePostList.empty());
}

TEST(CodeLists, StandardTablesAndGradeSplit) {
    test::TempBase base;
    CodeLists lists;
    LoadCodeTables(base.db(), "1", lists);
    EXPECT_EQ(lists.CodeSexList.size(), 2u);
    EXPECT_EQ(FirstCodeOf(lists.CodeYesNoList, S("是")), 1);
    EXPECT_EQ(FirstCodeOf(lists.CodeCertyList, S("否")), 1);
    EXPECT_EQ(FirstCodeOf(lists.CodeRoleList, S("劳务派遣人员")), 2);
    EXPECT_EQ(FirstCodeOf(lists.CodeGradeList0, S("中级")), 33);
    EXPECT_FALSE(FirstCodeOf(lists.CodeGradeList0, S("高级工")));
    EXPECT_EQ(FirstCodeOf(lists.CodeGradeList1, S("高级工")), 53);
    EXPECT_EQ(CodeItemsText(lists.CodeSexList), S("男;女;"));
    EXPECT_EQ(CodeNames(lists.CodeEduList).front(), S("博士研究生"));
}

TEST(CodeLists, CodeTextsInsideAndBeyondTheSharedRange) {
    const CodeList list{{0, S("零"), {}},
                        {kSharedCodeTexts - 1, S("末"), {}},
                        {kSharedCodeTexts, S("外"), {}},
                        {-3, S("负"), {}},
                        {123456, S("大"), {}}};
    for (const CodeEntry& e : list) {
        EXPECT_EQ(FirstCodeOf(list, e.CodeName), e.ID) << e.ID;
        EXPECT_EQ(CodeText(e.ID), QString::number(e.ID)) << e.ID;
    }
    // A shared text: the cells that hold it hold no copy of their own.
    EXPECT_EQ(CodeText(7).constData(), CodeText(7).constData());
}

TEST(CodeLists, OnlyNationRoleAndYesNoNamesAreTrimmed) {
    test::TempBase base;
    auto& db = base.db();
    db.Exec("update Code_Nation set CodeName = '否 ' where ID = 2");
    db.Exec("update Code_YesNo set CodeName = ' 是' where ID = 1");
    db.Exec("update Code_Role set CodeName = '在岗职工  ' where ID = 1");
    db.Exec("update Code_Sex set CodeName = '男 ' where ID = 1");
    CodeLists lists;
    LoadCodeTables(db, "1", lists);
    EXPECT_EQ(FirstCodeOf(lists.CodeNationList, S("否")), 2);
    EXPECT_EQ(FirstCodeOf(lists.CodeYesNoList, S("是")), 1);
    EXPECT_EQ(FirstCodeOf(lists.CodeRoleList, S("在岗职工")), 1);
    EXPECT_FALSE(FirstCodeOf(lists.CodeSexList, S("男")));
    EXPECT_EQ(FirstCodeOf(lists.CodeSexList, S("男 ")), 1);
    // Lookups do not trim the text.
    EXPECT_FALSE(FirstCodeOf(lists.CodeNationList, S("否 ")));
}

TEST(CodeLists, ReloadEmptyAndLargeTables) {
    test::TempBase base;
    auto& db = base.db();
    CodeLists lists;
    LoadCodeTables(db, "1", lists);
    ASSERT_TRUE(FirstCodeOf(lists.CodeRoleList, S("其他从业人员")));
    db.Exec("delete from Code_Role where ID = 3");
    LoadCodeTables(db, "1", lists);
    EXPECT_FALSE(FirstCodeOf(lists.CodeRoleList, S("其他从业人员")));
    EXPECT_EQ(lists.CodeRoleList.size(), 2u);

    db.Exec("delete from Code_Certy");
    for (int i = 1; i <= 250; ++i)
        db.Exec("insert into Code_Edu (ID, CodeName, Memo) values (?, ?, '')", {1000 + i, QString("E%1").arg(i)});
    db.Exec("insert into Code_Edu (ID, CodeName, Memo) values (2000, 'End', ''), (2001, 'after', '')");
    LoadCodeTables(db, "1", lists);
    EXPECT_TRUE(lists.CodeCertyList.empty());
    EXPECT_FALSE(FirstCodeOf(lists.CodeCertyList, S("否")));
    EXPECT_EQ(FirstCodeOf(lists.CodeEduList, "E250"), 1250);
    // A real entry named "End" does not end the list.
    EXPECT_EQ(FirstCodeOf(lists.CodeEduList, "after"), 2001);
}

TEST(CodeLists, FirstMatchForChecks) {
    CodeList l{{5, "x", ""}, {7, "y", ""}, {9, "x", ""}};
    EXPECT_EQ(FirstCodeOf(l, "x"), 5);
    EXPECT_FALSE(FirstCodeOf(l, "z"));
}

// Every coded attribute is looked up in its own list, first match; the fixed texts code sex
// and the yes/no attributes without the lists, and Party has nothing else. The lists here
// disagree with the fixed texts on purpose, so a lookup in the wrong place shows.
TEST(CodeLists, EachAttributeIsCodedByItsOwnListOrItsFixedTexts) {
    CodeLists l;
    l.CodeSexList = {{7, "男", ""}, {8, "其他", ""}};
    l.CodeNationList = {{3, "否", ""}};
    l.CodeYesNoList = {{5, "是", ""}, {6, "x", ""}, {9, "x", ""}};
    l.CodeEduList = {{11, "x", ""}};
    l.CodePostList = {{12, "x", ""}};
    l.CodeGradeList0 = {{13, "x", ""}};
    l.CodeGradeList1 = {{14, "x", ""}};
    l.CodeRoleList = {{15, "x", ""}};
    l.CodeCertyList = {{16, "x", ""}, {17, "否", ""}};
    using A = StaffAttr;
    const CodeBy list = CodeBy::List, fixed = CodeBy::FixedTexts;
    struct Case {
        A attr;
        const char* text;
        CodeBy by;
        int code;  // 0: none
    };
    const Case cases[] = {
        {A::Sex, "男", list, 7},     {A::Sex, "其他", list, 8},       {A::Sex, "女", list, 0},
        {A::Sex, "男", fixed, 1},    {A::Sex, "女", fixed, 2},        {A::Sex, "其他", fixed, 0},
        {A::Nation, "否", list, 3},  {A::Nation, "是", list, 0},      {A::Nation, "是", fixed, 1},
        {A::Party, "是", list, 1},   {A::Party, "否", list, 2},       {A::Party, "1", list, 0},
        {A::Party, " 是", fixed, 0}, {A::FullTime, "x", list, 6},     {A::Engineer, "是", list, 5},
        {A::Builder, "否", list, 0}, {A::Production, "否", fixed, 2}, {A::Edu, "x", list, 11},
        {A::Post, "x", list, 12},    {A::Grade, "x", list, 13},       {A::JGrade, "x", list, 14},
        {A::Role, "x", list, 15},    {A::Site, "否", list, 17},       {A::Site, "否", fixed, 0},
        {A::Edu, "x", fixed, 0},     {A::Role, "X", list, 0},
    };
    for (const Case& c : cases) {
        const std::optional<int> code = AttrCode(l, c.attr, S(c.text), c.by);
        EXPECT_EQ(code.value_or(0), c.code) << int(c.attr) << " " << c.text << " " << int(c.by);
    }
    EXPECT_EQ(FixedText(A::Nation, 1), S("是"));
    EXPECT_EQ(FixedText(A::FullTime, 2), S("否"));
    EXPECT_EQ(FixedText(A::Edu, 1), QString());
}
