// The wage sheet's load, import and save on a real database, driven through its sheet model.
#include "core/report/PaymentList.h"
#include "core/unit/HistoryImport.h"
#include "core/wage/WageErrorList.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/wage/WageTestBase.h"

namespace qm::test {
namespace {

class WageSheetTest : public WageTestBase {
protected:
    WageSheetTest() {
        Staff(3, QStringLiteral("001"), QStringLiteral("张三"));
        Staff(3, QStringLiteral("002"), QStringLiteral("李四"));
        Staff(2, QStringLiteral("009"), QStringLiteral("赵六"));
    }
    // One wage sheet throughout, as the form keeps it: each save replaces the month it stored last.
    WageSheet wages{ctx, book, month};
    bool Save() { return wages.Save(); }
    int Stored(int mon) { return Q(QStringLiteral("select count(*) from Wage_Info where Smon=?"), {mon}).toInt(); }
};

TEST_F(WageSheetTest, SavesTotalsFlagsAsTextAndFollowsWithTheMonthMenus) {
    Row(2, {"001", "张三", "2000", "600", "300", "100"});
    ASSERT_TRUE(Save());
    EXPECT_EQ(Q("select sTotal from Wage_Info where Smon=3"), QStringLiteral("3000"));
    EXPECT_EQ(Q("select sNumber || '|' || sName || '|' || sN1 || '|' || sN2 || '|' || sN3 || '|' || sN4 "
                "from Wage_Info"),
              QStringLiteral("001|张三|2000|600|300|100"));
    EXPECT_EQ(Q("select typeof(sFlag) || typeof(wFlag) || sFlag || wFlag from Wage_Info"),
              QStringLiteral("texttext11"));
    EXPECT_EQ(Q("select count(*) from Wage_Info where sFlag='1' and wFlag='1'"), QStringLiteral("1"));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("3月保存成功！共1人输入。")});
    EXPECT_EQ(ui.Last()->kind, DlgKind::Confirmation);
    EXPECT_EQ(ui.Last()->buttons, DlgButtons::Ok);
    EXPECT_EQ(main.monthRefreshes, 1);
    EXPECT_EQ(main.maxWageMonthSeen, QStringLiteral("3"));  // the refresh saw the committed month
    EXPECT_EQ(book.GetCellText(2, 7), QStringLiteral("3000"));
    EXPECT_EQ(pb.Position(), 0);
    EXPECT_EQ(pb.highest, 100);
}

TEST_F(WageSheetTest, LimitsMarkTheTotalAndTellOnce) {
    Staff(3, QStringLiteral("003"), QStringLiteral("王五"));
    Staff(3, QStringLiteral("004"), QStringLiteral("钱七"));
    Staff(3, QStringLiteral("005"), QStringLiteral("孙八"));
    Row(2, {"001", "张三", "500"});
    Row(3, {"002", "李四", "100000"});
    Row(4, {"003", "王五", "499.99"});
    Row(5, {"004", "钱七", "100000.01"});
    Row(6, {"005", "孙八"});
    ASSERT_TRUE(Save());
    EXPECT_EQ(Q("select group_concat(wFlag, '') from (select wFlag from Wage_Info order by id)"),
              QStringLiteral("11000"));
    for (int r : {2, 3}) EXPECT_FALSE(book.IsMarked(r, 7)) << r;
    for (int r : {4, 5, 6}) EXPECT_EQ(book.CellPattern(r, 7), TSheetBook::kMarkPattern) << r;
    EXPECT_EQ(book.GetCellText(6, 7), QStringLiteral("0"));
    EXPECT_EQ(Q("select count(*) from Wage_Info where sN1 is null and sN2 is null and sN3 is null and sN4 is null"),
              QStringLiteral("1"));
    EXPECT_EQ(Q("select sTotal from Wage_Info where sN1 is null"), QStringLiteral("0"));
    EXPECT_EQ(Texts(), (QStringList{WageLimitMessage(), QStringLiteral("3月保存成功！共5人输入。")}));
    EXPECT_TRUE(Texts().first().contains(QStringLiteral("上限不超过100000,下限不低于500.")));
}

TEST_F(WageSheetTest, StaffListMarksAndCleansNames) {
    Row(2, {"777", "张三", "3000"});     // not on the month's list
    Row(3, {"002", "王五", "3000"});     // listed under another name
    Row(4, {"001", " 张 三 ", "3000"});  // blanks around and inside
    Row(5, {"009", "赵六", "3000"});     // on another month's list only
    ASSERT_TRUE(Save());
    EXPECT_TRUE(book.IsMarked(2, 1));
    EXPECT_TRUE(book.IsMarked(2, 2));
    EXPECT_FALSE(book.IsMarked(3, 1));
    EXPECT_TRUE(book.IsMarked(3, 2));
    EXPECT_FALSE(book.IsMarked(4, 1));
    EXPECT_FALSE(book.IsMarked(4, 2));
    EXPECT_EQ(book.GetCellText(4, 2), QStringLiteral("张三"));
    EXPECT_EQ(Q("select group_concat(sFlag, '') from (select sFlag from Wage_Info order by id)"),
              QStringLiteral("0010"));
    EXPECT_EQ(Q("select sName from Wage_Info where id=(select min(id)+2 from Wage_Info)"), QStringLiteral("张三"));
    ASSERT_FALSE(Texts().isEmpty());
    EXPECT_EQ(Texts().first(), WageRosterMessage({"777", "002", "009"}));
}

TEST_F(WageSheetTest, ARowWithoutANumberIsStoredFlaggedAndCounted) {
    Row(2, {"", "张三", "3000"});
    Row(3, {"001", "张三", "3000"});
    ASSERT_TRUE(Save());
    EXPECT_EQ(Stored(3), 2);
    EXPECT_EQ(Q("select sFlag from Wage_Info where sNumber=''"), QStringLiteral("0"));
    EXPECT_EQ(Texts().last(), QStringLiteral("3月保存成功！共2人输入。"));
    EXPECT_TRUE(WageSheet(ctx, book, month).HasErrors());
}

TEST_F(WageSheetTest, ANonNumericAmountLeavesTheStoredMonthAndNamesTheRow) {
    Row(2, {"001", "张三", "3000"});
    ASSERT_TRUE(Save());
    const QString before = Q("select group_concat(id || sTotal) from Wage_Info");
    ui.Clear();
    book.SetCellText(2, 4, QStringLiteral("abc"));
    Row(3, {"002", "李四", "1,000"});
    EXPECT_FALSE(Save());
    EXPECT_EQ(Q("select group_concat(id || sTotal) from Wage_Info"), before);
    EXPECT_TRUE(book.IsMarked(2, 4));
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("第1行的“绩效工资”不是数字：abc"))) << Texts()[0].toStdString();
    EXPECT_EQ(main.monthRefreshes, 2);
    EXPECT_EQ(pb.Position(), 0);

    // Mended, the next save stores it and the mark goes.
    ui.Clear();
    book.SetCellText(2, 4, QStringLiteral("600"));
    book.SetCellText(3, 3, QStringLiteral("1000"));
    ASSERT_TRUE(Save());
    EXPECT_FALSE(book.IsMarked(2, 4));
    EXPECT_EQ(Q("select sum(sTotal) from Wage_Info"), QStringLiteral("4600"));
}

TEST_F(WageSheetTest, AFailingStatementRollsBackTheWholeMonthAndSaysWhichRow) {
    Row(2, {"001", "张三", "3000"});
    ASSERT_TRUE(Save());
    base.db().Exec(
        QStringLiteral("create trigger boom before insert on Wage_Info when new.sNumber='BOOM' "
                       "begin select raise(abort, 'refused'); end"));
    ui.Clear();
    Row(2, {"002", "李四", "4000"});
    Row(3, {"BOOM", "某人", "5000"});
    EXPECT_FALSE(Save());
    EXPECT_EQ(Q("select sNumber || sTotal from Wage_Info"), QStringLiteral("0013000"));
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("第2行保存失败"))) << Texts()[0].toStdString();
    EXPECT_TRUE(Texts()[0].contains(QStringLiteral("refused")));
    EXPECT_FALSE(base.db().InTransaction());
    EXPECT_EQ(pb.Position(), 0);
}

// A number or name with a lone surrogate half has no UTF-8 form: the row is named with the text
// as it can be shown, and the stored month stays as it was.
TEST_F(WageSheetTest, ATextWithoutAUtf8FormRollsBackAndNamesItsRow) {
    Row(2, {"001", "张三", "3000"});
    ASSERT_TRUE(Save());
    const QString lone = QStringLiteral("李") + QChar(0xDC00);
    for (const QStringList& bad : {QStringList{lone, "李四", "4000"}, QStringList{"003", lone, "4000"}}) {
        ui.Clear();
        Row(2, {"002", "李四", "4000"});
        Row(3, bad);
        EXPECT_FALSE(Save());
        EXPECT_EQ(Q("select sNumber || sTotal from Wage_Info"), QStringLiteral("0013000"));
        ASSERT_EQ(Texts().size(), 1);
        EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("第2行保存失败"))) << Texts()[0].toStdString();
        EXPECT_TRUE(Texts()[0].contains(QStringLiteral("李\\uDC00"))) << Texts()[0].toStdString();
    }
}

// The menus are refreshed from a destructor on every way out of a save; a refresh that fails
// there must be shown, not end the program.
TEST_F(WageSheetTest, AFailingMenuRefreshAfterASaveIsShownNotFatal) {
    main.failRefresh = true;
    Row(2, {"001", "张三", "abc"});
    EXPECT_FALSE(Save());  // refused at the amount
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("第1行的“基本工资”不是数字：abc"))) << Texts()[0].toStdString();
    EXPECT_EQ(Texts()[1], QStringLiteral("database is locked"));
    EXPECT_EQ(ui.Last()->title, kAppTitle);

    ui.Clear();
    base.db().Exec(
        QStringLiteral("create trigger boom before insert on Wage_Info "
                       "begin select raise(abort, 'refused'); end"));
    book.SetCellText(2, 3, QStringLiteral("3000"));
    EXPECT_FALSE(Save());  // refused by the database
    ASSERT_EQ(Texts().size(), 2);
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("第1行保存失败"))) << Texts()[0].toStdString();
    EXPECT_EQ(Texts()[1], QStringLiteral("database is locked"));
    EXPECT_FALSE(base.db().InTransaction());
    EXPECT_EQ(pb.Position(), 0);
}

TEST_F(WageSheetTest, RowsBelowAnEmptyNameAreNeverDroppedWithoutAWord) {
    Row(2, {"001", "张三", "3000"});
    ASSERT_TRUE(Save());
    const QString before = Q("select group_concat(id || sNumber || sTotal) from Wage_Info");
    ui.Clear();
    Row(2, {"001", "张三", "4000"});
    Row(3, {"002", "李四", "4000"});
    Row(4, {"003", "", "4000"});  // no name
    Row(5, {"", "王五", "5000"});
    Row(7, {"", "", "", "", "", "6000"});
    ui.answers = {DlgAnswer::No};
    EXPECT_FALSE(Save());
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("第3行姓名为空，从该行起的3行不会保存。\n只保存前面的2行吗？")});
    EXPECT_EQ(Q("select group_concat(id || sNumber || sTotal) from Wage_Info"), before);
    EXPECT_EQ(pb.Position(), 0);

    ui.Clear();
    ui.answers = {DlgAnswer::Yes};
    EXPECT_TRUE(Save());
    EXPECT_EQ(Stored(3), 2);
    EXPECT_EQ(Texts().last(), QStringLiteral("3月保存成功！共2人输入。"));
}

TEST_F(WageSheetTest, ADatabaseHeldByAnotherProgramSaysSoAndResetsTheBar) {
    Row(2, {"001", "张三", "3000"});
    ASSERT_TRUE(Save());
    const QString before = Q("select group_concat(id || sNumber || sTotal) from Wage_Info");
    ui.Clear();
    main.monthRefreshes = 0;
    Row(2, {"001", "张三", "5000"});
    {
        db::Connection other;
        other.Open(base.paths().Database());
        other.Exec(QStringLiteral("begin exclusive"));
        EXPECT_FALSE(Save());
        other.Exec(QStringLiteral("rollback"));
    }
    ASSERT_EQ(Texts().size(), 1) << Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("保存失败，本月已存的数据未改动"))) << Texts()[0].toStdString();
    EXPECT_TRUE(Texts()[0].contains(QStringLiteral("已锁定")));
    EXPECT_FALSE(Texts()[0].contains(QStringLiteral("database is locked")));
    EXPECT_EQ(pb.Position(), 0);
    EXPECT_FALSE(base.db().InTransaction());
    EXPECT_EQ(Q("select group_concat(id || sNumber || sTotal) from Wage_Info"), before);
}

TEST_F(WageSheetTest, AnEmptySheetEmptiesTheMonth) {
    Row(2, {"001", "张三", "3000"});
    ASSERT_TRUE(Save());
    book.ClearRange(2, 1, 10, 10, TSheetBook::ClearAll);
    ui.Clear();
    ASSERT_TRUE(Save());
    EXPECT_EQ(Stored(3), 0);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("3月保存成功！共0人输入。")});
}

TEST_F(WageSheetTest, LoadShowsStoredRowsWithMarksWhereverTheMonthHoldsThem) {
    Row(2, {"777", "某人", "2500.5", "600"});
    Row(3, {"001", "张三", "200000"});
    Row(4, {"002", "李四", "200000"});
    ASSERT_TRUE(Save());
    // An accepted out-of-range total stays unmarked.
    base.db().Exec(QStringLiteral("update Wage_Info set wFlag='1' where sNumber='002'"));
    book.ClearRange(1, 1, 100, 20, TSheetBook::ClearAll);
    WageSheet sheet(ctx, book, month);
    ASSERT_EQ(sheet.Load(), std::optional<int>(3));
    EXPECT_EQ(book.GetCellText(2, 3), QStringLiteral("2500.5"));
    EXPECT_EQ(book.GetCellText(2, 7), QStringLiteral("3100.5"));
    EXPECT_TRUE(book.IsMarked(2, 1));
    EXPECT_TRUE(book.IsMarked(2, 2));
    EXPECT_FALSE(book.IsMarked(2, 7));
    EXPECT_FALSE(book.IsMarked(3, 1));
    EXPECT_TRUE(book.IsMarked(3, 7));
    EXPECT_FALSE(book.IsMarked(4, 7));
    EXPECT_EQ(book.GetCellText(2, 4), QStringLiteral("600"));
    EXPECT_EQ(book.GetCellText(2, 5), QString());

    // Above the last month with wages: a month without any opens empty, one that holds wages
    // (stored by another program since the menus were made) shows them, for its save replaces them.
    state.MaxWageMonth = Month(2);
    EXPECT_EQ(sheet.Load(), std::optional<int>(3));
    EXPECT_EQ(book.GetCellText(2, 3), QStringLiteral("2500.5"));
    WageSheet empty(ctx, book, Month(4));
    EXPECT_EQ(empty.Load(), std::nullopt);
    EXPECT_EQ(book.GetCellText(2, 1), QString());
}

TEST_F(WageSheetTest, ImportAsksOnlyWhenTheSheetHoldsRows) {
    WageSheet sheet(ctx, book, month);
    ASSERT_EQ(sheet.ImportRoster(), std::optional<int>(2));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("导入成功，共计2人.")});
    EXPECT_EQ(book.GetCellText(2, 1), QStringLiteral("001"));
    EXPECT_EQ(book.GetCellText(3, 2), QStringLiteral("李四"));

    ui.Clear();
    book.SetCellText(5, 2, QStringLiteral("旧行"));
    ui.answers = {DlgAnswer::No};
    EXPECT_EQ(sheet.ImportRoster(), std::nullopt);
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("导入名单将覆盖上面显示名单，是否继续？")});
    EXPECT_EQ(ui.Last()->buttons, DlgButtons::YesNoDefaultNo);  // Yes gives the typed rows up
    EXPECT_EQ(book.GetCellText(5, 2), QStringLiteral("旧行"));

    ui.answers = {DlgAnswer::Yes};
    book.SetSelection(2, 1, 2, 2);
    book.SetPattern(TSheetBook::kMarkPattern, 200, 255);
    EXPECT_EQ(sheet.ImportRoster(), std::optional<int>(2));
    EXPECT_EQ(book.GetCellText(5, 2), QString());
    EXPECT_TRUE(book.IsMarked(2, 1));  // contents only: the marks stay
}

// An amount with a fifth decimal, a hair under the half in a double, is stored to the ten-thousandth
// on each path that stores one: the stored row, the sheet, the payment list and SQLite's sum agree.
TEST_F(WageSheetTest, AFifthDecimalIsStoredAsTheTenThousandthOnEveryPath) {
    const QString typed = QStringLiteral("600.00005"), stored = QStringLiteral("600.0001");
    for (const std::string path : {"sheet", "error list", "import"}) {
        SCOPED_TRACE(path);
        base.db().Exec(QStringLiteral("delete from Wage_Info"));
        if (path == "sheet") {
            wages.Load();  // the month emptied behind the sheet's back: shown as it now stands
            Row(2, {"001", "张三", typed});
            ASSERT_TRUE(Save());
        } else if (path == "error list") {  // a person off the list stays listed
            base.db().Exec(
                QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sFlag) values (3, 7, '某', 0)"));
            WageErrorList list(ctx, book, month);
            list.Load();
            book.SetCellText(2, 3, typed);
            ASSERT_TRUE(list.Recheck());
        } else {
            TempBase old;
            old.db().Exec(QStringLiteral("insert into Wage_Info (Smon, sNumber, sN1, sTotal) values (3, '001', ?, ?)"),
                          {typed.toDouble(), typed.toDouble()});
            SqliteHistorySource src(old.paths().Database());
            HistoryImporter(base.db(), pb).ImportWages(src);
            book.SetCellText(2, 3, stored);  // no sheet shows it
        }
        EXPECT_EQ(Q("select count(*) from Wage_Info where sN1=? and sTotal=?", {stored.toDouble(), stored.toDouble()}),
                  QStringLiteral("1"));
        const report::PaymentList list = report::BuildPaymentList(base.db(), 1, 12);
        EXPECT_EQ(QStringList({book.GetCellText(2, 3), list.lines.MonthText(0, 3),
                               report::PaymentAmount(list.grandTotal), Q("select total(sTotal) from Wage_Info")}),
                  QStringList(4, stored));
    }
}

}  // namespace
}  // namespace qm::test
