// The staff-row rules on a sheet model, without widgets.

#include "core/base/RtlText.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/CodeLists.h"
#include "core/staff/StaffRowRules.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::staffcol;

namespace {

CodeList List(std::initializer_list<std::pair<int, const char*>> rows) {
    CodeList l;
    for (auto& [id, name] : rows) l.push_back({id, QString::fromUtf8(name), {}});
    return l;
}

// The code rows the database ships with (the parts the rules rely on).
CodeLists StandardCodes() {
    CodeLists c;
    c.CodeSexList = List({{1, "男"}, {2, "女"}});
    c.CodeNationList = List({{1, "是"}, {2, "否"}});
    c.CodeYesNoList = List({{1, "是"}, {2, "否"}});
    c.CodeRoleList = List({{1, "在岗职工"}, {2, "劳务派遣人员"}, {3, "其他从业人员"}});
    c.CodeCertyList = List({{1, "否"}, {2, "是（无上岗证书）"}, {3, "是（持上岗证书）"}});
    c.CodeEduList = List({{1, "博士研究生"}, {3, "大学本科"}, {4, "大学专科"}, {7, "本科"}});
    c.CodePostList = List({{11, "省部级及以上公务员"},
                           {12, "地厅级公务员"},
                           {13, "县处级公务员"},
                           {14, "科级公务员"},
                           {15, "科级以下公务员"},
                           {18, "普通工人"},
                           {19, "其他人员"}});
    c.CodeGradeList0 = List({{10, "无职称"}, {33, "中级"}});
    c.CodeGradeList1 = List({{53, "高级工"}, {56, "无技能等级"}});
    return c;
}

QString S(const char* s) { return QString::fromUtf8(s); }

// A row that passes every check on a "是1" unit.
void GoodRow(TSheetBook& b, int r) {
    const char* cells[] = {"张三",     "001",  "男",     "否",       "是", "1967-03", "20", "10", "大学本科",
                           "其他人员", "中级", "高级工", "在岗职工", "是", "否",      "否", "否", "是"};
    for (int c = 1; c <= 18; ++c) b.SetCellText(r, c, S(cells[c - 1]));
}

struct Rules : ::testing::Test {
    TSheetBook book;
    CodeLists codes = StandardCodes();
    StaffRowRules Make(StaffForm f = StaffForm::BatchSheet, const char* depInfo = "是1", const char* depType = "企业") {
        return StaffRowRules(book, codes, f, UnitClass::Decode(S(depType), S(depInfo)));
    }
};

}  // namespace

TEST(RtlText, TrimAndBlanksFollowTheRuntime) {
    EXPECT_EQ(RtlTrim(S(" \t张三\r\n ")), S("张三"));
    EXPECT_EQ(RtlTrim(S("\u3000张三\u3000")), S("\u3000张三\u3000"));  // full-width blank stays
    EXPECT_EQ(RtlRemoveBlanks(S(" 张 三 ")), S("张三"));
    EXPECT_EQ(RtlRemoveBlanks(S("张\u3000三\t")), S("张\u3000三\t"));
    EXPECT_EQ(RtlStrToInt(S("  2500")), 2500);
    EXPECT_FALSE(RtlStrToInt(S("2500 ")));
    EXPECT_FALSE(RtlStrToInt(S("")));
    EXPECT_FALSE(RtlStrToInt(S("-")));
    EXPECT_FALSE(RtlStrToInt(S("１９６７")));
    EXPECT_FALSE(RtlStrToInt(S("99999999999")));
    EXPECT_EQ(RtlStrToInt(S("-12")), -12);
}

TEST(BirthDate, NormalisationTable) {
    struct Case {
        const char* in;
        const char* out;
        bool ok;
    } cases[] = {
        {"1980年5月", "1980-05", true},
        {"80年5月", "1980-05", true},
        {"1980年12月3日", "1980-12", true},
        {"67年3月5日", "1967-03", true},
        {"1967年12月", "1967-12", true},
        {"1967年3月", "1967-03", true},
        {" 1967年3月 ", "1967-03", true},
        {"1980.5", "1980-05", true},
        {"1980.12.1", "1980-12", true},
        {"1967.3.5", "1967-03", true},
        {"80.5", "80-05", false},
        {"1933-05", "1933-05", false},
        {"1996-01", "1996-01", false},
        {"1995-13", "1995-13", false},
        {"1967-13", "1967-13", false},
        {"67-05", "67-05", false},
        {"1934-01", "1934-01", true},
        {"1995-12", "1995-12", true},
        {"1990", "1990", false},
        {"198年5月", "198年5月", false},
        {"967年3月", "967年3月", false},
        {"1990-ab", "1990-ab", false},
        {"1967-", "1967-", false},
        {"1967-03-05", "1967-03-05", false},
        {"1980-5", "1980-05", true},
        {"1990-00", "1990-00", false},
        {"1990--5", "1990--5", false},
        {"1980年", "1980-", false},
        {"１９６７年３月", "１９６７-３", false},
        {"", "", false},
        {"abcd-05", "abcd-05", false},
        // Seven characters that look like a finished date but are not one.
        {"1967 03", "1967 03", false},
        {"+967-03", "+967-03", false},
        {"196７-03", "196７-03", false},
        {"1967-0 ", "1967-0 ", false},
        {"1967-+3", "1967-03", true},
        {" 1967-3", "1967-03", true},
        {"1967-1\t", "1967-01", true},
    };
    for (const Case& c : cases) {
        const auto b = StaffRowRules::NormaliseBirth(S(c.in));
        EXPECT_EQ(b.text, S(c.out)) << c.in;
        EXPECT_EQ(b.ok, c.ok) << c.in;
    }
}

TEST_F(Rules, AGoodRowPassesAndGetsEveryCode) {
    GoodRow(book, 3);
    auto rules = Make();
    rules.BeginRun();
    EXPECT_TRUE(rules.CheckRow(3, StaffPass::Save));
    EXPECT_EQ(rules.RowFlag(), "1");
    EXPECT_TRUE(rules.AllRowsValid());
    const char* codes[] = {"1", "2", "1", "3", "19", "33", "53", "1", "1", "2", "2", "1", "1"};
    for (int k = 25; k <= 37; ++k) EXPECT_EQ(book.GetCellText(3, k), S(codes[k - 25])) << k;
    for (int c = 1; c <= 18; ++c) EXPECT_FALSE(book.IsMarked(3, c)) << c;
}

TEST_F(Rules, BadBirthDatesMarkTheCellAndTheRunGoesOn) {
    GoodRow(book, 3);
    GoodRow(book, 4);
    GoodRow(book, 5);
    book.SetCellText(3, Birth, S("198年5月"));
    book.SetCellText(4, Birth, S("1990-ab"));
    book.SetCellText(4, Edu, S("x"));
    book.SetCellText(5, Birth, S("1980-5"));
    auto rules = Make();
    EXPECT_EQ(rules.CheckRows(StaffPass::Save), 3);
    EXPECT_TRUE(book.IsMarked(3, Birth));
    EXPECT_EQ(book.CellPattern(3, Birth), 18);
    EXPECT_TRUE(book.IsMarked(4, Birth));
    // Checks after the birth date still ran on the failing rows.
    EXPECT_TRUE(book.IsMarked(4, Edu));
    EXPECT_EQ(book.GetCellText(3, CodeEdu), "3");
    EXPECT_EQ(book.GetCellText(5, Birth), "1980-05");
    EXPECT_FALSE(book.IsMarked(5, Birth));
    EXPECT_FALSE(rules.AllRowsValid());
    EXPECT_EQ(rules.RowFlag(), "1");  // the last row passed
}

TEST_F(Rules, ShorthandsAndCodes) {
    GoodRow(book, 3);
    for (int c : {Nation, Party, FullTime, Engineer, Builder, Production}) book.SetCellText(3, c, "1");
    book.SetCellText(3, Site, "0");
    auto rules = Make();
    rules.BeginRun();
    EXPECT_TRUE(rules.CheckRow(3, StaffPass::Save));
    for (int c : {Nation, Party, FullTime, Engineer, Builder, Production}) {
        EXPECT_EQ(book.GetCellText(3, c), S("是")) << c;
        EXPECT_EQ(book.GetCellText(3, CodeColumnOf(c)), "1") << c;
    }
    EXPECT_EQ(book.GetCellText(3, Site), S("否"));
    EXPECT_EQ(book.GetCellText(3, CodeSite), "1");  // 否 is certificate code 1

    for (int c : {Nation, Party, FullTime, Engineer, Builder, Production}) book.SetCellText(3, c, "0");
    book.SetCellText(3, Site, "1");
    rules.BeginRun();
    EXPECT_FALSE(rules.CheckRow(3, StaffPass::Save));
    for (int c : {Nation, Party, FullTime, Engineer, Builder, Production}) {
        EXPECT_EQ(book.GetCellText(3, c), S("否")) << c;
        EXPECT_EQ(book.GetCellText(3, CodeColumnOf(c)), "2") << c;
        EXPECT_FALSE(book.IsMarked(3, c)) << c;
    }
    EXPECT_TRUE(book.IsMarked(3, Site));
    EXPECT_EQ(book.GetCellText(3, CodeSite), "");
}

TEST_F(Rules, PartyShorthandClearsAnOldMark) {
    GoodRow(book, 3);
    book.SetSelection(3, Party, 3, Party);
    book.SetPattern(18, 200, 255);
    book.SetCellText(3, Party, "0");
    auto rules = Make();
    rules.BeginRun();
    rules.GetPartyCode(3);
    EXPECT_EQ(book.GetCellText(3, Party), S("否"));
    EXPECT_EQ(book.GetCellText(3, CodeParty), "2");
    EXPECT_FALSE(book.IsMarked(3, Party));
    EXPECT_FALSE(rules.SexOrPartyFailed());
    book.SetCellText(3, Sex, "1");  // sex has no shorthand
    rules.GetSexCode(3);
    EXPECT_TRUE(book.IsMarked(3, Sex));
    EXPECT_TRUE(rules.SexOrPartyFailed());
    EXPECT_EQ(book.GetCellText(3, CodeSex), "");
}

TEST_F(Rules, CertificateZeroDependsOnTheForm) {
    for (StaffForm f : {StaffForm::BatchSheet, StaffForm::MonthlyList, StaffForm::ErrorList}) {
        GoodRow(book, 3);
        book.SetCellText(3, Site, "0");
        auto rules = Make(f);
        rules.BeginRun();
        rules.CheckRow(3, StaffPass::Save);
        if (f == StaffForm::ErrorList) {
            EXPECT_TRUE(book.IsMarked(3, Site));
            EXPECT_EQ(book.GetCellText(3, CodeSite), "");
        } else {
            EXPECT_EQ(book.GetCellText(3, Site), S("否"));
            EXPECT_EQ(book.GetCellText(3, CodeSite), "1");
        }
        book.ClearRange(3, 1, 3, 40, 1);
    }
}

TEST_F(Rules, ListLookupsAreExactAndTakeTheFirstMatch) {
    GoodRow(book, 3);
    book.SetCellText(3, Edu, S(" 本科"));
    auto rules = Make();
    rules.BeginRun();
    rules.GetEduCode(3);
    EXPECT_TRUE(book.IsMarked(3, Edu));
    EXPECT_EQ(book.GetCellText(3, CodeEdu), "");
    codes.CodeEduList.push_back({99, S("大学本科"), {}});
    book.SetCellText(3, Edu, S("大学本科"));
    rules.GetEduCode(3);
    EXPECT_FALSE(book.IsMarked(3, Edu));
    EXPECT_EQ(book.GetCellText(3, CodeEdu), "3");
    book.SetCellText(3, Edu, "");
    rules.GetEduCode(3);
    EXPECT_TRUE(book.IsMarked(3, Edu));
    book.SetCellText(3, JGrade, S("无技能等级"));
    rules.GetPost2Code(3);
    EXPECT_EQ(book.GetCellText(3, CodeJGrade), "56");
}

// One run meets the same texts over and over, and texts freed as cells change: each text is
// coded by its own list entry, whatever the run met before.
TEST_F(Rules, ARunCodesEachTextByItsListWhateverItMetBefore) {
    // The text and its code ("" fails).
    const std::pair<const char*, const char*> steps[] = {{"大学本科", "3"}, {"本科", "7"},       {"大学本科", "3"},
                                                         {"大学本科 ", ""}, {"博士研究生", "1"}, {"", ""},
                                                         {"大学专科", "4"}, {"本科", "7"}};
    auto rules = Make();
    rules.BeginRun();
    // Row 3 rewritten in place, so that the text before is freed from the sheet; then row after
    // row, every other one a text of its own, which fails.
    for (int i = 0; i < 209; ++i) {
        const int r = std::max(3, i - 5);
        const auto& [text, code] = steps[size_t(i) % std::size(steps)];
        const bool own = r % 2 == 0;
        GoodRow(book, r);
        book.SetCellText(r, Edu, own ? S(text) + QString::number(r / 4) : S(text));
        rules.CheckRow(r, StaffPass::Save);
        EXPECT_EQ(book.GetCellText(r, CodeEdu), own ? QString() : S(code)) << r << text;
    }
}

TEST_F(Rules, OrganRoleRule) {
    for (const char* post : {"地厅级公务员", "科级公务员", "普通工人", "其他人员"}) {
        for (const char* depType : {"机关单位", " 机关单位 ", "企业"}) {
            GoodRow(book, 3);
            book.SetCellText(3, Post, S(post));
            book.SetCellText(3, Role, S("劳务派遣人员"));
            auto rules = Make(StaffForm::MonthlyList, "是1", depType);
            rules.BeginRun();
            const bool ok = rules.CheckRow(3, StaffPass::Save);
            const bool organ = QString::fromUtf8(depType).trimmed() == S("机关单位");
            const bool barred = organ && QString::fromUtf8(post) != S("其他人员");
            EXPECT_EQ(book.IsMarked(3, Role), barred) << post << depType;
            EXPECT_EQ(ok, !barred) << post << depType;
            EXPECT_EQ(book.GetCellText(3, CodeRole), barred ? QString() : QString("2")) << post << depType;
            book.ClearRange(3, 1, 3, 40, 1);
        }
    }
}

TEST_F(Rules, CheckGwySetsFullTimeForCivilServicePostsOnlyInTheBatchSheet) {
    auto rules = Make();
    book.SetCellText(3, CodePost, " 13 ");
    rules.CheckGwy(3);
    EXPECT_EQ(book.GetCellText(3, FullTime), S("是"));
    book.SetCellText(4, CodePost, "18");
    rules.CheckGwy(4);
    EXPECT_EQ(book.GetCellText(4, FullTime), "");

    // Through the passes: the batch save and load re-check run it, the monthly list does not.
    GoodRow(book, 5);
    book.SetCellText(5, Post, S("县处级公务员"));
    book.SetCellText(5, FullTime, S("否"));
    Make(StaffForm::MonthlyList).CheckRows(StaffPass::Save, 5);
    EXPECT_EQ(book.GetCellText(5, FullTime), S("否"));
    Make(StaffForm::BatchSheet).CheckRows(StaffPass::LoadRecheck, 5);
    EXPECT_EQ(book.GetCellText(5, FullTime), S("是"));
    EXPECT_EQ(book.GetCellText(5, CodeFullTime), "1");
}

TEST_F(Rules, ClearSpaceOnlyInSaves) {
    GoodRow(book, 3);
    book.SetCellText(3, Name, S(" 张 三\u3000"));
    Make().CheckRows(StaffPass::Activation);
    EXPECT_EQ(book.GetCellText(3, Name), S(" 张 三\u3000"));
    Make().CheckRows(StaffPass::Save);
    EXPECT_EQ(book.GetCellText(3, Name), S("张三\u3000"));
    book.SetCellText(3, Name, S(" 张 三 "));
    Make(StaffForm::ErrorList).CheckRows(StaffPass::Save);
    EXPECT_EQ(book.GetCellText(3, Name), S(" 张 三 "));
}

TEST_F(Rules, OptionalColumnsByUnitKind) {
    auto run = [&](const char* depInfo, StaffForm f, StaffPass p) {
        GoodRow(book, 3);
        for (int c = Engineer; c <= Production; ++c) book.SetCellText(3, c, "x");
        auto rules = Make(f, depInfo);
        rules.CheckRows(p);
        std::vector<bool> marks;
        for (int c = Engineer; c <= Production; ++c) marks.push_back(book.IsMarked(3, c));
        book.ClearRange(3, 1, 3, 40, 1);
        return marks;
    };
    using V = std::vector<bool>;
    EXPECT_EQ(run("否", StaffForm::BatchSheet, StaffPass::Save), V({false, false, false, false}));
    EXPECT_EQ(run("规上", StaffForm::BatchSheet, StaffPass::Save), V({false, false, false, true}));
    EXPECT_EQ(run("是1", StaffForm::BatchSheet, StaffPass::Save), V({true, true, true, true}));
    EXPECT_EQ(run("是2", StaffForm::ErrorList, StaffPass::Save), V({true, true, true, true}));
    EXPECT_EQ(run("其他", StaffForm::BatchSheet, StaffPass::Save), V({false, false, false, false}));
    // The monthly list's opening pass leaves column 18 to its save.
    EXPECT_EQ(run("规上", StaffForm::MonthlyList, StaffPass::Activation), V({false, false, false, false}));
    EXPECT_EQ(run("规上", StaffForm::MonthlyList, StaffPass::Save), V({false, false, false, true}));
    // On a construction unit that pass checks 15..18, column 18 included.
    EXPECT_EQ(run("是1", StaffForm::MonthlyList, StaffPass::Activation), V({true, true, true, true}));
    EXPECT_EQ(run("是2", StaffForm::MonthlyList, StaffPass::Activation), V({true, true, true, true}));
}

TEST_F(Rules, NumberTestByPass) {
    GoodRow(book, 3);
    book.SetCellText(3, Number, "");
    Make().CheckRows(StaffPass::LoadRecheck);
    EXPECT_FALSE(book.IsMarked(3, Number));
    Make().CheckRows(StaffPass::Save);
    EXPECT_EQ(book.CellPattern(3, Number), 18);
    Make(StaffForm::ErrorList).CheckRows(StaffPass::Activation);
    EXPECT_EQ(book.CellPattern(3, Number), 20);
    // The error list's "显示错误" re-check has no number test.
    book.ClearRange(3, Number, 3, Number, TSheetBook::ClearFormats);
    auto showErrors = Make(StaffForm::ErrorList);
    EXPECT_EQ(showErrors.CheckRows(StaffPass::ShowErrors), 1);
    EXPECT_FALSE(book.IsMarked(3, Number));
    EXPECT_TRUE(showErrors.AllRowsValid());
    EXPECT_EQ(showErrors.RowFlag(), "1");
    book.SetCellText(3, Number, "7");
    auto rules = Make();
    EXPECT_EQ(rules.CheckRows(StaffPass::Save), 1);
    EXPECT_FALSE(book.IsMarked(3, Number));
    EXPECT_TRUE(rules.AllRowsValid());
}

TEST_F(Rules, NumbersAndNamesTheUploadCannotCarryFailOnEverySheet) {
    const QString badNumbers[] = {S("   "),
                                  S("0\t01"),
                                  S("00") + QChar(0x1B) + S("1"),
                                  S("00") + QChar(0xD800) + S("1"),  // a lone surrogate half, as pasted
                                  S("00\n1"),
                                  S("一二三四五六七八九十一"),
                                  S("123456789012345678901")};
    for (StaffForm form : {StaffForm::BatchSheet, StaffForm::MonthlyList, StaffForm::ErrorList}) {
        for (const QString& number : badNumbers) {
            book.Reset();
            GoodRow(book, 3);
            book.SetCellText(3, Number, number);
            auto rules = Make(form);
            rules.BeginRun();
            EXPECT_FALSE(rules.CheckRow(3, StaffPass::Save)) << int(form) << number.toStdString();
            EXPECT_TRUE(book.IsMarked(3, Number)) << int(form) << number.toStdString();
            EXPECT_FALSE(book.IsMarked(3, Name));
        }
        for (const QString& name : {S("张\t三"), S("张") + QChar(0xDC00) + S("三")}) {
            book.Reset();
            GoodRow(book, 3);
            book.SetCellText(3, Name, name);
            auto rules = Make(form);
            rules.BeginRun();
            EXPECT_FALSE(rules.CheckRow(3, StaffPass::Save)) << int(form);
            EXPECT_TRUE(book.IsMarked(3, Name)) << int(form);
            // The display passes mark the name too.
            book.ClearRange(3, Name, 3, Name, TSheetBook::ClearFormats);
            Make(form).CheckRows(StaffPass::Activation);
            EXPECT_TRUE(book.IsMarked(3, Name)) << int(form);
        }
        // A whole pair is a character like any other.
        book.Reset();
        GoodRow(book, 3);
        book.SetCellText(3, Name, S("张") + QChar(0xD842) + QChar(0xDFB7));
        auto rules = Make(form);
        rules.BeginRun();
        rules.CheckRow(3, StaffPass::Save);
        EXPECT_FALSE(book.IsMarked(3, Name)) << int(form);
    }
    // Twenty bytes fit: ten Chinese characters, or twenty digits with blanks around them.
    for (const QString& number : {S("一二三四五六七八九十"), S(" 12345678901234567890 ")}) {
        book.Reset();
        GoodRow(book, 3);
        book.SetCellText(3, Number, number);
        auto rules = Make();
        rules.BeginRun();
        EXPECT_TRUE(rules.CheckRow(3, StaffPass::Save)) << number.toStdString();
        EXPECT_FALSE(book.IsMarked(3, Number));
    }
}

TEST_F(Rules, RowFlagsAreKeptPerRowAndTheRunFlagNeverRises) {
    for (int r = 3; r <= 6; ++r) GoodRow(book, r);
    book.SetCellText(4, Sex, S("M"));
    auto rules = Make();
    rules.BeginRun();
    std::vector<QString> flags;
    for (int r = 3; r <= 6; ++r) {
        rules.CheckRow(r, StaffPass::Save);
        flags.push_back(rules.RowFlag());
    }
    EXPECT_EQ(flags, (std::vector<QString>{"1", "0", "1", "1"}));
    EXPECT_FALSE(rules.AllRowsValid());
    // A later pass over the mended row clears its mark.
    book.SetCellText(4, Sex, S("女"));
    EXPECT_EQ(rules.CheckRows(StaffPass::Save), 4);
    EXPECT_FALSE(book.IsMarked(4, Sex));
    EXPECT_EQ(book.GetCellText(4, CodeSex), "2");
    EXPECT_TRUE(rules.AllRowsValid());
}

TEST_F(Rules, APassStopsAtTheFirstEmptyName) {
    GoodRow(book, 3);
    GoodRow(book, 5);
    book.SetCellText(5, Sex, "?");
    auto rules = Make();
    EXPECT_EQ(rules.CheckRows(StaffPass::Save), 1);
    EXPECT_FALSE(book.IsMarked(5, Sex));
    EXPECT_TRUE(rules.AllRowsValid());
}

TEST(StaffLayout, ByUnitKind) {
    TSheetBook b;
    b.SetCellText(2, Production, "17");
    ApplyStaffLayout(b, UnitClass::Decode(QString(), S("否")));
    EXPECT_EQ(b.MaxCol(), 14);
    ApplyStaffLayout(b, UnitClass::Decode(QString(), S(" 规上 ")));
    EXPECT_EQ(b.MaxCol(), 18);
    EXPECT_TRUE(b.IsColHidden(15));
    EXPECT_TRUE(b.IsColHidden(17));
    EXPECT_FALSE(b.IsColHidden(18));
    EXPECT_EQ(b.GetCellText(2, 18), "14");
    ApplyStaffLayout(b, UnitClass::Decode(QString(), S("是1")));
    EXPECT_EQ(b.MaxCol(), 18);
    for (int c = 15; c <= 18; ++c) EXPECT_TRUE(b.IsColShown(c));
    EXPECT_EQ(b.GetCellText(2, 18), "17");
    ApplyStaffLayout(b, UnitClass::Decode(QString(), S("规上")), true);  // the monthly list hides by width 0
    EXPECT_EQ(b.ColWidth(16), 0);
    EXPECT_FALSE(b.IsColShown(16));
    ApplyStaffLayout(b, UnitClass::Decode(QString(), S("是2")));
    EXPECT_TRUE(b.IsColShown(16));
    EXPECT_GT(b.ColWidth(16), 0);
}

namespace qm {

// The staff sheet template shows each attribute where the registry places it, under the
// registry's caption and width, numbered as the sheet numbers its columns, and carries the
// list object the forms open over it.
TEST(StaffSheet, TemplateAgreesWithTheStaffRegistry) {
    TSheetBook book;
    ApplySheetTemplate(book, QStringLiteral("staff"));
    for (const StaffAttrRow& a : kStaffAttrs) {
        EXPECT_EQ(book.GetCellText(1, a.sheetCol), QString::fromUtf8(a.caption)) << a.text;
        EXPECT_EQ(book.GetCellText(2, a.sheetCol), QString::number(a.sheetCol - 1)) << a.text;
        EXPECT_EQ(book.ColWidth(a.sheetCol), a.width) << a.text;
        EXPECT_GE(book.ObjectIdByName(QLatin1String(StaffListObject(a.attr))), 0) << a.text;
        EXPECT_EQ(staffcol::CodeColumnOf(a.sheetCol), CodeColOf(a.attr));
        EXPECT_TRUE(book.IsColHidden(CodeColOf(a.attr))) << a.text;
    }
    // The plain columns have no code column.
    for (int c : {staffcol::Name, staffcol::Number, staffcol::Birth, staffcol::Works, staffcol::Work})
        EXPECT_EQ(staffcol::CodeColumnOf(c), 0) << c;
    EXPECT_EQ(StaffListRows(StaffAttr::Party, 6), 6);
    EXPECT_EQ(StaffListRows(StaffAttr::Post, 6), 16);
    EXPECT_EQ(StaffListRows(StaffAttr::Sex, 6), 3);
}

}  // namespace qm
