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
    EXPECT_EQ(LookupCode(lists.CodeYesNoList, S("是")), QString("1"));
    EXPECT_EQ(LookupCode(lists.CodeCertyList, S("否")), QString("1"));
    EXPECT_EQ(LookupCode(lists.CodeRoleList, S("劳务派遣人员")), QString("2"));
    EXPECT_EQ(LookupCode(lists.CodeGradeList0, S("中级")), QString("33"));
    EXPECT_FALSE(LookupCode(lists.CodeGradeList0, S("高级工")));
    EXPECT_EQ(LookupCode(lists.CodeGradeList1, S("高级工")), QString("53"));
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
        EXPECT_EQ(LookupCode(list, e.CodeName), QString::number(e.ID)) << e.ID;
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
    EXPECT_EQ(LookupCode(lists.CodeNationList, S("否")), QString("2"));
    EXPECT_EQ(LookupCode(lists.CodeYesNoList, S("是")), QString("1"));
    EXPECT_EQ(LookupCode(lists.CodeRoleList, S("在岗职工")), QString("1"));
    EXPECT_FALSE(LookupCode(lists.CodeSexList, S("男")));
    EXPECT_EQ(LookupCode(lists.CodeSexList, S("男 ")), QString("1"));
    // Lookups do not trim the text.
    EXPECT_FALSE(LookupCode(lists.CodeNationList, S("否 ")));
}

TEST(CodeLists, ReloadEmptyAndLargeTables) {
    test::TempBase base;
    auto& db = base.db();
    CodeLists lists;
    LoadCodeTables(db, "1", lists);
    ASSERT_TRUE(LookupCode(lists.CodeRoleList, S("其他从业人员")));
    db.Exec("delete from Code_Role where ID = 3");
    LoadCodeTables(db, "1", lists);
    EXPECT_FALSE(LookupCode(lists.CodeRoleList, S("其他从业人员")));
    EXPECT_EQ(lists.CodeRoleList.size(), 2u);

    db.Exec("delete from Code_Certy");
    for (int i = 1; i <= 250; ++i)
        db.Exec("insert into Code_Edu (ID, CodeName, Memo) values (?, ?, '')", {1000 + i, QString("E%1").arg(i)});
    db.Exec("insert into Code_Edu (ID, CodeName, Memo) values (2000, 'End', ''), (2001, 'after', '')");
    LoadCodeTables(db, "1", lists);
    EXPECT_TRUE(lists.CodeCertyList.empty());
    EXPECT_FALSE(LookupCode(lists.CodeCertyList, S("否")));
    EXPECT_EQ(LookupCode(lists.CodeEduList, "E250"), QString("1250"));
    // A real entry named "End" does not end the list.
    EXPECT_EQ(LookupCode(lists.CodeEduList, "after"), QString("2001"));
}

TEST(CodeLists, FirstMatchForChecksLastMatchForNameToCode) {
    CodeList l{{5, "x", ""}, {7, "y", ""}, {9, "x", ""}};
    EXPECT_EQ(LookupCode(l, "x"), QString("5"));
    EXPECT_EQ(FirstCodeOf(l, "x"), 5);
    EXPECT_EQ(LastCodeOf(l, "x"), 9);
    EXPECT_FALSE(LastCodeOf(l, "z"));
    EXPECT_FALSE(FirstCodeOf(l, "z"));
}
