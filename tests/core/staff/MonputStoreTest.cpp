// The monthly list's stored side: loads, imports and the one-transaction save.
#include "core/base/Progress.h"
#include "core/staff/MonputStore.h"
#include "core/staff/StaffListWriter.h"
#include "core/staff/StaffValues.h"
#include "tests/core/staff/CellGrid.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct Grid : test::CellGrid {
    void PutTexts(int r, const StaffTexts& t) {
        for (int c = 1; c <= kStaffTextCols; ++c) Set(r, c, t[size_t(c - 1)]);
    }
};

// A complete, valid row of texts with the codes the checks would give it.
void PutPerson(Grid& g, int r, const QString& name, const QString& number) {
    const QStringList texts{name,       number, "男",         "否",       "是", "1980-05", "10", "3",  "大学本科",
                            "管理人员", "中级", "无技能等级", "在岗职工", "是", "否",      "否", "否", "是"};
    for (int c = 1; c <= 18; ++c) g.Set(r, c, texts[c - 1]);
    const QStringList codes{"1", "2", "1", "3", "41", "33", "56", "1", "1", "2", "2", "1", "1"};
    for (int c = 25; c <= 37; ++c) g.Set(r, c, codes[c - 25]);
}

void InsertStored(test::TempBase& tb, int mon, const QString& name, const QString& number, const QString& isok = "1") {
    tb.db().Exec(
        "insert into Staff_moninfo(sMon,sName,sNumber,sTsex,sSex,sBirth,sWorks,sTEdu,sTyg,sIsok) "
        "values(?,?,?,'男',1,'1970-01',5,'大学本科','是',?)",
        {mon, name, number, isok});
}

int Count(test::TempBase& tb, int mon) {
    return tb.Scalar("select count(*) from Staff_moninfo where sMon=?", {mon}).toInt();
}

// What the monthly list was filled from once it showed the stored month.
db::MonthLoad Shown(test::TempBase& tb, Month m) {
    const db::WriteStamp before = db::StampOf(tb.db());
    db::RowsFingerprint fingerprint;
    const auto rows = LoadMonthRows(tb.db(), m, &fingerprint);
    db::MonthLoad shown;
    shown.Loaded(m, fingerprint, before, (long long)rows.size());
    return shown;
}

void WriteShown(test::TempBase& tb, Month m, StaffColumns set, int first, int last, const CellReader& cell,
                const std::vector<QString>& flags, Progress* pb = nullptr) {
    db::MonthLoad shown = Shown(tb, m);
    StaffListWriter(tb.db(), m, set).Replace({first, last, cell, flags}, shown, pb);
}

StaffColumns ColumnSetFor(const char* depInfo) {
    return StaffColumnsFor(UnitClass::Decode(QString(), QString::fromUtf8(depInfo)));
}

TEST(MonputStore, ColumnSetFollowsTrimmedClass) {
    EXPECT_EQ(ColumnSetFor("否"), StaffColumns::Base);
    EXPECT_EQ(ColumnSetFor(" 规上 "), StaffColumns::AboveSize);
    EXPECT_EQ(ColumnSetFor("是1"), StaffColumns::All);
    EXPECT_EQ(ColumnSetFor("是2"), StaffColumns::All);
    EXPECT_EQ(ColumnSetFor("其他"), StaffColumns::Base);
}

TEST(MonputStore, TrimAndCleanFollowTheOriginalRuntime) {
    EXPECT_EQ(RtlTrim(" \t1001 "), "1001");
    EXPECT_EQ(RtlTrim(QString::fromUtf8("\u30001001")), QString::fromUtf8("\u30001001"));  // full-width blank stays
    EXPECT_EQ(CleanName(" 张 三 "), "张三");
    EXPECT_EQ(CleanName("张\t三"), "张\t三");  // only U+0020 inside
}

TEST(MonputStore, ImportTakesTheTableInIdOrderWithEveryFlag) {
    test::TempBase tb;
    InsertStored(tb, 0, "乙", "2", "0");
    InsertStored(tb, 0, "甲", "1", "1");
    InsertStored(tb, 1, "丙", "3");
    auto rows = ImportMonthRows(tb.db(), Month(0));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "乙");
    EXPECT_EQ(rows[1][0], "甲");
    EXPECT_EQ(rows[0][6], "5");  // sWorks as text
    EXPECT_EQ(rows[0][17], "是");
    EXPECT_TRUE(ImportMonthRows(tb.db(), Month(5)).empty());
    EXPECT_TRUE(MonthHasErrorRows(tb.db(), Month(0)));
    EXPECT_FALSE(MonthHasErrorRows(tb.db(), Month(1)));
}

TEST(MonputStore, MonthZeroImportedIntoMonthOneAndSavedEqualsTheSheet) {
    test::TempBase tb;
    InsertStored(tb, 0, "张 三", " 1001 ", "0");
    InsertStored(tb, 0, "李四", "1002");
    Grid g;
    auto rows = ImportMonthRows(tb.db(), Month(0));
    for (size_t i = 0; i < rows.size(); ++i) g.PutTexts(int(i) + 3, rows[i]);
    WriteShown(tb, Month(1), StaffColumns::Base, 3, 4, g.Reader(), {"1", "0"});
    auto back = LoadMonthRows(tb.db(), Month(1));
    ASSERT_EQ(back.size(), 2u);
    for (size_t i = 0; i < back.size(); ++i) {
        StaffTexts expect = rows[i];
        expect[0] = CleanName(expect[0]);
        expect[1] = RtlTrim(expect[1]);
        expect[14] = expect[15] = expect[16] = expect[17] = QString();  // "否" stores no 15..18
        EXPECT_EQ(back[i], expect) << "row " << i;
    }
    EXPECT_EQ(tb.Scalar("select sName from Staff_moninfo where sMon=1 order by id"), "张三");
    EXPECT_EQ(tb.Scalar("select sNumber from Staff_moninfo where sMon=1 order by id"), "1001");
    EXPECT_EQ(
        tb.Scalar("select group_concat(sIsok,'') from (select sIsok from Staff_moninfo where sMon=1 order by id)"),
        "10");
    EXPECT_EQ(Count(tb, 0), 2);  // the source is untouched
}

TEST(MonputStore, MonthKIsBuiltFromMonthKMinusOne) {
    test::TempBase tb;
    for (int k = 1; k <= 3; ++k) InsertStored(tb, 3, QStringLiteral("三月%1").arg(k), QString::number(300 + k));
    InsertStored(tb, 4, "旧四月", "999");
    Grid g;
    auto rows = ImportMonthRows(tb.db(), Month(3));
    for (size_t i = 0; i < rows.size(); ++i) g.PutTexts(int(i) + 3, rows[i]);
    WriteShown(tb, Month(4), StaffColumns::Base, 3, 2 + int(rows.size()), g.Reader(), {"1", "1", "1"});
    EXPECT_EQ(Count(tb, 4), 3);
    EXPECT_EQ(tb.Scalar("select count(*) from Staff_moninfo where sMon=4 and sName='旧四月'"), "0");
    EXPECT_EQ(
        tb.Scalar("select group_concat(sNumber,',') from (select sNumber from Staff_moninfo where sMon=4 order by id)"),
        "301,302,303");
}

TEST(MonputStore, ColumnSetsDecideWhatIsStored) {
    for (auto [dep, tyg, tgc] : {std::tuple{"否", false, false}, {"规上", true, false}, {"是1", true, true}}) {
        test::TempBase tb;
        Grid g;
        PutPerson(g, 3, "王五", "7");
        WriteShown(tb, Month(2), ColumnSetFor(dep), 3, 3, g.Reader(), {"1"});
        EXPECT_EQ(tb.Scalar("select (sTyg is not null) + (syg is not null) from Staff_moninfo"), tyg ? "2" : "0")
            << dep;
        EXPECT_EQ(tb.Scalar("select count(*) from Staff_moninfo where sTgc is not null or sgc is not null or "
                            "sTjzs is not null or sTsg is not null or ssg is not null"),
                  tgc ? "1" : "0")
            << dep;
        EXPECT_EQ(tb.Scalar("select typeof(sSex)||typeof(sWorks)||typeof(sIsok)||typeof(sMon) from Staff_moninfo"),
                  "integerintegertextinteger");
    }
}

TEST(MonputStore, BlanksAreNullTextsUntrimmedNamesNeverNull) {
    test::TempBase tb;
    Grid g;
    PutPerson(g, 3, "  ", "");
    g.Set(3, 3, " 男");  // a leading blank is kept as typed
    g.Set(3, 4, "   ");  // only blanks: null
    g.Set(3, 8, "");
    g.Set(3, 26, "");
    g.Set(3, 5, "O'Neil");
    WriteShown(tb, Month(1), StaffColumns::Base, 3, 3, g.Reader(), {"0"});
    EXPECT_EQ(tb.Scalar("select sTsex from Staff_moninfo"), " 男");
    EXPECT_EQ(tb.Scalar("select sTparty from Staff_moninfo"), "O'Neil");
    EXPECT_EQ(tb.Scalar("select sTnation is null and sNation is null and sWork is null from Staff_moninfo"), "1");
    EXPECT_EQ(tb.Scalar("select sName = '' and sNumber = '' from Staff_moninfo"), "1");
}

TEST(MonputStore, NonNumericWorkYearsAreFoundBeforeAnythingIsWritten) {
    Grid g;
    PutPerson(g, 3, "甲", "1");
    PutPerson(g, 4, "乙", "2");
    g.Set(4, 8, "三年");
    auto bad = FindNonNumericWorkYears(3, 4, g.Reader());
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_EQ(bad[0].row, 4);
    EXPECT_EQ(bad[0].col, 8);
    EXPECT_EQ(BadCellMessage(bad[0], "乙"), "第2行（乙）的“其中本岗位年限”不是数字，请核实！");

    // Even if a caller skips the check, the write refuses and keeps the month.
    test::TempBase tb;
    InsertStored(tb, 2, "原有", "50");
    try {
        WriteShown(tb, Month(2), StaffColumns::Base, 3, 4, g.Reader(), {"1", "1"});
        FAIL() << "no failure";
    } catch (const SaveFailure& f) {
        EXPECT_EQ(f.row(), 4);
        EXPECT_EQ(f.name(), "乙");
    }
    EXPECT_EQ(Count(tb, 2), 1);
    EXPECT_EQ(tb.Scalar("select sName from Staff_moninfo where sMon=2"), "原有");
}

// A number that stands twice in the sheet, as stored (trimmed), is refused before the month is
// touched, naming its second row; distinct numbers and rows without a number are stored.
TEST(MonputStore, ANumberTwiceInTheSheetIsRefusedBeforeAnythingIsWritten) {
    const struct {
        std::vector<const char*> numbers;
        int refusedRow;  // 0: stored
        const char* number;
        int firstRow;  // the row that carries the number already
    } cases[] = {
        {{" 7", "8", "7\t"}, 5, "7", 3}, {{"7", "8", "8", "7"}, 5, "8", 4}, {{"", "  ", "7", "７", "7　"}, 0, "", 0}};
    for (const auto& k : cases) {
        test::TempBase tb;
        InsertStored(tb, 3, "原有", "7");
        Grid g;
        const int n = int(k.numbers.size());
        for (int i = 0; i < n; ++i) PutPerson(g, 3 + i, QStringLiteral("人%1").arg(3 + i), k.numbers[size_t(i)]);
        try {
            WriteShown(tb, Month(3), StaffColumns::Base, 3, 2 + n, g.Reader(), std::vector<QString>(size_t(n), "1"));
            EXPECT_EQ(Count(tb, 3), k.refusedRow ? 1 : n) << k.numbers[0];
        } catch (const staffvalue::NumberTaken& e) {
            EXPECT_EQ(e.Row(), k.refusedRow) << k.numbers[0];
            EXPECT_EQ(e.Text(), staffvalue::NumberTwiceText(QStringLiteral("人%1").arg(k.refusedRow), k.number,
                                                            QStringLiteral("人%1").arg(k.firstRow), Month(3)));
            EXPECT_EQ(tb.Scalar("select group_concat(sName) from Staff_moninfo where sMon=3"), "原有");
        }
        EXPECT_FALSE(tb.db().InTransaction());
    }
}

TEST(MonputStore, AnInjectedFailureOnTheFifthInsertRollsBackAndNamesTheRow) {
    test::TempBase tb;
    for (int k = 0; k < 3; ++k) InsertStored(tb, 5, QStringLiteral("旧%1").arg(k), QString::number(k));
    const QString before = tb.Scalar("select group_concat(id||sName, ',') from Staff_moninfo where sMon=5");
    tb.db().Exec(
        "create trigger fail5 before insert on Staff_moninfo when new.sName = '第五' "
        "begin select raise(abort, 'disk full'); end");
    Grid g;
    const QStringList names{"一", "二", "三", "四", "第五", "六"};
    for (int i = 0; i < names.size(); ++i) PutPerson(g, 3 + i, names[i], QString::number(i));
    MemoryProgress pb;
    try {
        WriteShown(tb, Month(5), StaffColumns::Base, 3, 8, g.Reader(), std::vector<QString>(6, "1"), &pb);
        FAIL() << "no failure";
    } catch (const SaveFailure& f) {
        EXPECT_EQ(f.row(), 7);
        EXPECT_EQ(f.name(), "第五");
        EXPECT_TRUE(f.Message().contains("第5行（第五）")) << f.Message().toStdString();
        EXPECT_TRUE(f.Message().contains("disk full"));
    }
    EXPECT_EQ(tb.Scalar("select group_concat(id||sName, ',') from Staff_moninfo where sMon=5"), before);
    EXPECT_FALSE(tb.db().InTransaction());
    EXPECT_EQ(pb.Position(), 0);
}

TEST(MonputStore, TwoSavesInARowGiveTheSameMonth) {
    test::TempBase tb;
    Grid g;
    PutPerson(g, 3, "甲", "1");
    PutPerson(g, 4, "乙", "2");
    db::MonthLoad shown = Shown(tb, Month(6));
    const CellReader cell = g.Reader();
    const std::vector<QString> flags{"1", "1"};
    StaffListWriter writer(tb.db(), Month(6), StaffColumns::All);
    writer.Replace({3, 4, cell, flags}, shown);
    const QString first = tb.Scalar("select group_concat(sName||sNumber||sTsg||ssg, ',') from Staff_moninfo");
    writer.Replace({3, 4, cell, flags}, shown);  // no reload between
    EXPECT_EQ(Count(tb, 6), 2);
    EXPECT_EQ(tb.Scalar("select group_concat(sName||sNumber||sTsg||ssg, ',') from Staff_moninfo"), first);
}

// The sheet has no duty column: a save keeps each number's duty from the first of the rows it
// replaces that carry it, spaces about the number aside; month 2's duty is not month 3's.
TEST(MonputStore, DutiesOfTheReplacedMonthStayWithTheirNumbers) {
    const std::tuple<const char*, const char*, const char*> cases[] = {{" 7", "7 ", "出纳"}, {"7", "8", "<null>"}};
    for (const auto& [stored, typed, kept] : cases) {
        test::TempBase tb;
        for (const char* gw : {"出纳", "会计"})
            tb.db().Exec("insert into Staff_moninfo(sMon,sName,sNumber,sGw) values(3,'某',?,?)",
                         {QString::fromUtf8(stored), QString::fromUtf8(gw)});
        tb.db().Exec("insert into Staff_moninfo(sMon,sName,sNumber,sGw) values(2,'某','8','主任')");
        Grid g;
        PutPerson(g, 3, "某", QString::fromUtf8(typed));
        WriteShown(tb, Month(3), StaffColumns::Base, 3, 3, g.Reader(), {"1"});
        EXPECT_EQ(tb.Scalar("select coalesce(sGw, '<null>') from Staff_moninfo where sMon=3"), QString::fromUtf8(kept))
            << typed;
    }
}

TEST(MonputStore, ProgressEndsAndScalesByTheRows) {
    test::TempBase tb;
    Grid g;
    for (int r = 3; r <= 12; ++r) PutPerson(g, r, "某", QString::number(r));
    MemoryProgress pb;
    WriteShown(tb, Month(1), StaffColumns::Base, 3, 12, g.Reader(), std::vector<QString>(10, "1"), &pb);
    EXPECT_EQ(pb.highest, 100);
    EXPECT_EQ(pb.Position(), 0);
}

}  // namespace
}  // namespace qm
