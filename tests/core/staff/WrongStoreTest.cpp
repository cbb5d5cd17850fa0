// The staff error list's stored side: the rows in error and their write-back by id.
#include "core/staff/StaffListWriter.h"
#include "core/staff/StaffValues.h"
#include "core/staff/WrongStore.h"
#include "tests/core/staff/CellGrid.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct Grid : test::CellGrid {
    void Put(int r, const WrongRow& w) {
        for (int c = 1; c <= 18; ++c) Set(r, c, w.texts[size_t(c - 1)]);
        for (int c = 25; c <= 37; ++c) Set(r, c, w.codes[size_t(c - 25)]);
        Set(r, kStaffIdCol, QString::number(w.id));
    }
};

// The error list's write-back: every column of each row, by its id.
WrongSaveReport WriteBack(test::TempBase& tb, Month month, int first, int last, const CellReader& cell,
                          const std::vector<QString>& flags) {
    return StaffListWriter(tb.db(), month, StaffColumns::All).Update({first, last, cell, flags});
}

// Without a number given, each row gets one of its own.
long long InsertStored(test::TempBase& tb, int mon, const QString& name, const QString& isok,
                       const QString& edu = "大专", const QString& number = {}) {
    tb.db().Exec(
        "insert into Staff_moninfo(sMon,sName,sNumber,sTsex,sSex,sTEdu,sWorks,sIsok) "
        "values(?,?,coalesce(?,'9'||(select count(*) from Staff_moninfo)),'男',1,?,4,?)",
        {mon, name, number.isEmpty() ? db::Value() : db::Value(number), edu, isok});
    return tb.Scalar("select max(id) from Staff_moninfo").toLongLong();
}

TEST(WrongStore, LoadsTheMonthsErrorRowsInIdOrder) {
    test::TempBase tb;
    const long long a = InsertStored(tb, 4, "甲", "0");
    InsertStored(tb, 4, "好", "1");
    const long long b = InsertStored(tb, 4, "乙", "0");
    InsertStored(tb, 0, "期初", "0");
    auto rows = LoadErrorRows(tb.db(), Month(4));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, a);
    EXPECT_EQ(rows[1].id, b);
    EXPECT_EQ(rows[0].texts[8], "大专");
    EXPECT_EQ(rows[0].codes[0], "1");
    EXPECT_EQ(LoadErrorRows(tb.db(), Month(4), 3).size(), 3u);
    EXPECT_EQ(LoadErrorRows(tb.db(), Month(4), 1).size(), 1u);
}

TEST(WrongStore, ACorrectedRowIsWrittenByIdAndMonthWithNullsAndQuotes) {
    test::TempBase tb;
    const long long a = InsertStored(tb, 4, "甲", "0");
    const long long other = InsertStored(tb, 5, "别月", "0");
    Grid g;
    auto rows = LoadErrorRows(tb.db(), Month(4));
    g.Put(3, rows[0]);
    g.Set(3, 1, " O' Brien ");
    g.Set(3, 2, " 1001 ");
    g.Set(3, 9, "大学专科");
    g.Set(3, 28, "4");
    g.Set(3, 4, "  ");  // blank text: text and code null even with a code in the cell
    g.Set(3, 26, "2");
    g.Set(3, 7, "");
    g.Set(3, 8, "2.5");
    // A row that claims another month's id: nothing may change there.
    g.Put(4, rows[0]);
    g.Set(4, kStaffIdCol, QString::number(other));
    g.Set(4, 1, "篡改");
    auto rep = WriteBack(tb, Month(4), 3, 4, g.Reader(), {"1", "1"});
    EXPECT_EQ(rep.updated, 1);
    EXPECT_EQ(rep.notFound, std::vector<int>{4});
    EXPECT_EQ(tb.Scalar("select sName||'|'||sNumber||'|'||sTEdu||'|'||sEducation||'|'||sIsok||'|'||sWork "
                        "from Staff_moninfo where id=?",
                        {a}),
              "O'Brien|1001|大学专科|4|1|2.5");
    EXPECT_EQ(
        tb.Scalar("select (sTnation is null) + (sNation is null) + (sWorks is null) from Staff_moninfo where id=?",
                  {a}),
        "3");
    EXPECT_EQ(tb.Scalar("select sName||sIsok from Staff_moninfo where id=?", {other}), "别月0");
    EXPECT_TRUE(LoadErrorRows(tb.db(), Month(4)).empty());
    EXPECT_FALSE(rep.Note(g.Reader()).isEmpty());
}

TEST(WrongStore, RowsWithoutIdOrWithBadWorkYearsAreSkippedWithANote) {
    test::TempBase tb;
    const long long a = InsertStored(tb, 0, "甲", "0");
    const long long b = InsertStored(tb, 0, "乙", "0");
    Grid g;
    auto rows = LoadErrorRows(tb.db(), Month(0));
    g.Put(3, rows[0]);
    g.Set(3, 7, "五年");
    // A row inserted on the sheet: no id.
    g.Set(4, 1, "新人");
    g.Set(4, 2, "77");
    g.Put(5, rows[1]);
    auto rep = WriteBack(tb, Month(0), 3, 5, g.Reader(), {"1", "1", "1"});
    EXPECT_EQ(rep.updated, 1);
    EXPECT_EQ(rep.noIdRows, std::vector<int>{4});
    ASSERT_EQ(rep.badNumbers.size(), 1u);
    EXPECT_EQ(rep.badNumbers[0].row, 3);
    EXPECT_EQ(tb.Scalar("select sIsok||sWorks from Staff_moninfo where id=?", {a}), "04");
    EXPECT_EQ(tb.Scalar("select sIsok from Staff_moninfo where id=?", {b}), "1");
    EXPECT_EQ(tb.Scalar("select count(*) from Staff_moninfo"), "2");  // nothing inserted
    const QString note = rep.Note(g.Reader());
    EXPECT_TRUE(note.contains("第2行（新人）")) << note.toStdString();
    EXPECT_TRUE(note.contains("第1行（甲）的“参加工作年限”不是数字")) << note.toStdString();
}

TEST(WrongStore, ADatabaseFailureRollsEveryRowBack) {
    test::TempBase tb;
    const long long a = InsertStored(tb, 2, "甲", "0");
    const long long b = InsertStored(tb, 2, "乙", "0");
    tb.db().Exec(
        "create trigger failupd before update on Staff_moninfo when new.sName = '坏' "
        "begin select raise(abort, 'locked'); end");
    Grid g;
    auto rows = LoadErrorRows(tb.db(), Month(2));
    g.Put(3, rows[0]);
    g.Put(4, rows[1]);
    g.Set(4, 1, "坏");
    try {
        WriteBack(tb, Month(2), 3, 4, g.Reader(), {"1", "1"});
        FAIL() << "no failure";
    } catch (const SaveFailure& f) {
        EXPECT_EQ(f.row(), 4);
        EXPECT_TRUE(f.Message().contains("locked"));
    }
    EXPECT_EQ(tb.Scalar("select group_concat(sIsok,'') from Staff_moninfo where id in (?,?)", {a, b}), "00");
    EXPECT_FALSE(tb.db().InTransaction());
}

// Month 4 holds 甲 "1" (valid) and the error rows 乙 "2" and 丙 "3"; month 5 holds 丁 "1". A corrected
// row is refused before anything is written if, written, it would share its number with another row
// of the month; the numbers written rows give up, other months' and unwritten rows' do not count.
TEST(WrongStore, ARowThatWouldCarryANumberAnotherRowOfTheMonthCarriesIsRefused) {
    const struct {
        const char *yi, *bing, *yiWorks;  // typed into the rows of 乙 and 丙
        int refusedRow;                   // 0: stored
        const char* holder;
        bool oneId = false;  // 丙's row carries 乙's id: only the later row is written
    } cases[] = {
        {" 1", "3", "4", 3, "甲"},    {"4", " 4\t", "4", 4, "乙"},
        {"3", "2", "4", 0, ""},     // the two swap their numbers
        {"1", "3", "五年", 0, ""},  // 乙 is not written: its number stays "2"
        {"", "", "4", 0, ""},       // no number is nobody's
        {"1", "2", "4", 0, "", true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.yi) + "|" + k.bing + "|" + k.yiWorks);
        test::TempBase tb;
        InsertStored(tb, 4, "甲", "1", "大学本科", "1");
        InsertStored(tb, 4, "乙", "0", "大专", "2");
        InsertStored(tb, 4, "丙", "0", "大专", "3");
        InsertStored(tb, 5, "丁", "1", "大学本科", "1");
        const QString before = tb.Scalar("select group_concat(id||sNumber||sIsok, ',') from Staff_moninfo");
        Grid g;
        const auto rows = LoadErrorRows(tb.db(), Month(4));
        for (int i : {0, 1}) g.Put(3 + i, rows[size_t(i)]);
        g.Set(3, 2, k.yi);
        g.Set(4, 2, k.bing);
        g.Set(3, 7, k.yiWorks);
        if (k.oneId) g.Set(4, kStaffIdCol, g.Get(3, kStaffIdCol));
        try {
            WriteBack(tb, Month(4), 3, 4, g.Reader(), {"1", "1"});
            EXPECT_EQ(k.refusedRow, 0);
        } catch (const staffvalue::NumberTaken& e) {
            EXPECT_EQ(e.Row(), k.refusedRow);
            EXPECT_EQ(e.Text(), staffvalue::NumberTwiceText(e.Row() == 3 ? "乙" : "丙", g.Get(e.Row(), 2).trimmed(),
                                                            QString::fromUtf8(k.holder), Month(4)));
            EXPECT_EQ(tb.Scalar("select group_concat(id||sNumber||sIsok, ',') from Staff_moninfo"), before);
        }
        EXPECT_EQ(tb.Scalar("select count(*) from Staff_moninfo where sMon=4 and sNumber='1'"), "1");
    }
}

}  // namespace
}  // namespace qm
