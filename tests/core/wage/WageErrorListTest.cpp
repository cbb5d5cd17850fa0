// The wage error list's correction, acceptance, deletion and workbook export on a real
// database, driven through its sheet model; the workbook is read back from the file.
#include "core/wage/WageErrorExport.h"
#include "core/wage/WageErrorList.h"
#include "core/wage/WageSheet.h"
#include "tests/core/files/XlsxZipTest.h"
#include "tests/entry/wage/WageTestBase.h"

#include <QDir>
#include <QFile>

namespace qm::test {
namespace {

class WageErrorListTest : public WageTestBase {
protected:
    WageErrorListTest() {
        Staff(3, QStringLiteral("001"), QStringLiteral("张三"));
        Staff(3, QStringLiteral("007"), QStringLiteral("李四"));
        Staff(4, QStringLiteral("001"), QStringLiteral("张三"));
        // Month 3: a total out of range, a person off the list, one clean row; month 4 out of range.
        Wage(3, "001", "张三", "200000", "200000", "1", "0");
        Wage(3, "777", "某人", "3000", "3000", "0", "1");
        Wage(3, "007", "李四", "3000", "3000", "1", "1");
        Wage(4, "001", "张三", "200000", "200000", "1", "0");
        book.SetCellText(1, 1, QStringLiteral("姓名编号"));
        book.SetCellText(1, 2, QStringLiteral("姓名"));
    }
    void Wage(int mon, const char* number, const char* name, const char* n1, const char* total, const char* sFlag,
              const char* wFlag) {
        base.db().Exec(
            QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sN1, sTotal, sFlag, wFlag) "
                           "values (?, ?, ?, ?, ?, ?, ?)"),
            {mon, number, name, QString::fromUtf8(n1).toDouble(), QString::fromUtf8(total).toDouble(), sFlag, wFlag});
    }
    int RowOf(const QString& number) {
        for (int r = 2; r < 20; ++r)
            if (book.GetCellText(r, 1) == number) return r;
        return 0;
    }
    WageErrorList list{ctx, book, month};
};

TEST_F(WageErrorListTest, ListsTheFailingRowsWithIdsAndMarks) {
    ASSERT_EQ(list.Load(), 2);
    EXPECT_EQ(book.GetCellText(2, 1), QStringLiteral("001"));
    EXPECT_EQ(book.GetCellText(3, 1), QStringLiteral("777"));
    EXPECT_EQ(book.GetCellText(4, 2), QString());
    EXPECT_EQ(book.GetCellText(2, 9), Q("select id from Wage_Info where Smon=3 and sNumber='001'"));
    EXPECT_FALSE(book.IsMarked(2, 1));
    EXPECT_TRUE(book.IsMarked(2, 7));
    EXPECT_TRUE(book.IsMarked(3, 1));
    EXPECT_TRUE(book.IsMarked(3, 2));
    EXPECT_FALSE(book.IsMarked(3, 7));
    EXPECT_EQ(WageErrorCountText(2), QStringLiteral("共有2条记录!"));
    EXPECT_EQ(WageErrorCaption(Month(3)), QStringLiteral("3月未输入从业工资错误信息"));
}

TEST_F(WageErrorListTest, ACorrectedRowIsUpdatedWithTextFlagsAndLeavesTheList) {
    ASSERT_EQ(list.Load(), 2);
    const int r = RowOf("001");
    book.SetCellText(r, 3, QStringLiteral("2500.5"));
    book.SetCellText(r, 4, QStringLiteral("600"));
    ASSERT_TRUE(list.Recheck());
    EXPECT_EQ(Q("select sN1 || '|' || sN2 || '|' || sTotal || '|' || sFlag || wFlag from Wage_Info "
                "where Smon=3 and sNumber='001'"),
              QStringLiteral("2500.5|600|3100.5|11"));
    EXPECT_EQ(Q("select count(*) from Wage_Info where Smon=3 and sFlag='1' and wFlag='1'"), QStringLiteral("2"));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(book.GetCellText(2, 1), QStringLiteral("777"));
    EXPECT_TRUE(Texts().isEmpty());
}

TEST_F(WageErrorListTest, AnEmptiedAmountIsStoredNullSoTheTotalAgrees) {
    base.db().Exec(QStringLiteral("update Wage_Info set sN2=5000, sTotal=205000 where sNumber='001' and Smon=3"));
    ASSERT_EQ(list.Load(), 2);
    const int r = RowOf("001");
    EXPECT_EQ(book.GetCellText(r, 4), QStringLiteral("5000"));
    book.SetCellText(r, 3, QString());
    ASSERT_TRUE(list.Recheck());
    EXPECT_EQ(Q("select coalesce(sN1, 'null') || '|' || sN2 || '|' || sTotal || '|' || wFlag from Wage_Info "
                "where Smon=3 and sNumber='001'"),
              QStringLiteral("null|5000|5000|1"));
}

TEST_F(WageErrorListTest, AllAmountsEmptiedStoresZeroAndStaysListed) {
    ASSERT_EQ(list.Load(), 2);
    book.SetCellText(RowOf("001"), 3, QString());
    ASSERT_TRUE(list.Recheck());
    EXPECT_EQ(Q("select sTotal || wFlag from Wage_Info where Smon=3 and sNumber='001'"), QStringLiteral("00"));
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(WageErrorListTest, ABadRowStopsTheRunNamedAndKeepsLaterEdits) {
    ASSERT_EQ(list.Load(), 2);
    book.SetCellText(2, 3, QStringLiteral("两千"));
    book.SetCellText(3, 1, QStringLiteral("007"));  // an edit on a later row, not yet stored
    book.SetCellText(3, 2, QStringLiteral("李四"));
    EXPECT_FALSE(list.Recheck());
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("第1行的“基本工资”不是数字：两千")));
    EXPECT_TRUE(book.IsMarked(2, 3));
    EXPECT_EQ(book.GetCellText(3, 1), QStringLiteral("007"));  // not reloaded over
    EXPECT_EQ(Q("select count(*) from Wage_Info where sNumber='777'"), QStringLiteral("1"));
}

TEST_F(WageErrorListTest, ANameIsOnlyTrimmedHereSoInnerBlanksStayAnError) {
    ASSERT_EQ(list.Load(), 2);
    const int r = RowOf("001");
    book.SetCellText(r, 2, QStringLiteral(" 张 三 "));
    book.SetCellText(r, 3, QStringLiteral("3000"));
    ASSERT_TRUE(list.Recheck());
    EXPECT_EQ(Q("select sName || '|' || sFlag || wFlag from Wage_Info where Smon=3 and sNumber='001'"),
              QStringLiteral("张 三|01"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(book.IsMarked(RowOf("001"), 2));
}

TEST_F(WageErrorListTest, AnEmptyBasicWageIsMarked) {
    ASSERT_EQ(list.Load(), 2);
    const QString before = Q("select group_concat(id || '|' || sTotal || wFlag) from Wage_Info");
    book.SetCellText(2, 3, QString());
    book.SetCellText(2, 4, QStringLiteral("3000"));
    book.SetCellText(3, 4, QStringLiteral("两千"));  // stops the run at row 3, before the reload
    EXPECT_FALSE(list.Recheck());
    EXPECT_TRUE(book.IsMarked(2, 3));
    EXPECT_FALSE(book.IsMarked(2, 4));
    // Row 2 was checked, but nothing is written while a row of the sheet is refused.
    EXPECT_EQ(Q("select group_concat(id || '|' || sTotal || wFlag) from Wage_Info"), before);

    book.SetCellText(3, 4, QString());
    ASSERT_TRUE(list.Recheck());
    EXPECT_EQ(Q("select sTotal || wFlag from Wage_Info where Smon=3 and sNumber='001'"), QStringLiteral("30001"));
}

TEST_F(WageErrorListTest, ARowTheDatabaseRefusesRollsBackEveryRowAndIsNamed) {
    ASSERT_EQ(list.Load(), 2);
    const QString before = Q("select group_concat(id || '|' || sNumber || sTotal || sFlag || wFlag) from Wage_Info");
    base.db().Exec(
        QStringLiteral("create trigger refuse_777 before update on Wage_Info when old.sNumber='777' "
                       "begin select raise(abort, 'refused'); end"));
    book.SetCellText(RowOf("001"), 3, QStringLiteral("3000"));  // a good correction on the row before
    book.SetCellText(RowOf("777"), 3, QStringLiteral("4000"));
    EXPECT_FALSE(list.Recheck());
    EXPECT_EQ(Q("select group_concat(id || '|' || sNumber || sTotal || sFlag || wFlag) from Wage_Info"), before);
    EXPECT_FALSE(base.db().InTransaction());
    ASSERT_EQ(Texts().size(), 1);
    EXPECT_TRUE(Texts()[0].startsWith(QStringLiteral("第%1行保存失败").arg(RowOf("777") - 1)))
        << Texts()[0].toStdString();
    EXPECT_TRUE(Texts()[0].contains(QStringLiteral("refused")));
    EXPECT_EQ(book.GetCellText(RowOf("777"), 3), QStringLiteral("4000"));  // the edits stay on the sheet
}

TEST_F(WageErrorListTest, PastedRowsWithoutAnIdAreSkippedAndSaySo) {
    ASSERT_EQ(list.Load(), 2);
    book.SetCellText(4, 1, QStringLiteral("888"));
    book.SetCellText(4, 2, QStringLiteral("新人"));
    book.SetCellText(4, 3, QStringLiteral("3000"));
    const QString before = Q("select group_concat(id || sNumber || sTotal) from Wage_Info");
    ASSERT_TRUE(list.Recheck());
    EXPECT_EQ(Texts(),
              QStringList{QStringLiteral("第3行（新人）是在本表中插入的行，不在数据库中，未保存；请在工资表中添加。")});
    EXPECT_EQ(Q("select count(*) from Wage_Info"), QStringLiteral("4"));
    EXPECT_EQ(Q("select group_concat(id || sNumber || sTotal) from Wage_Info"), before);
}

// One number stands once in a month's wages, or the reports count its wages twice: the sheet
// and the error list refuse it before anything is written, naming both persons.
TEST_F(WageErrorListTest, ANumberOnTwoRowsOfAMonthIsRefusedByTheSheetAndTheList) {
    state.MaxWageMonth = month;
    WageSheet sheet(ctx, book, month);  // shows 001 张三, 777 某人, 007 李四
    const struct {
        bool onList;   // the error list (001, 777), else the wage sheet
        int row, col;  // the cell typed: column 1 the number, 3 the basic wage
        const char* typed;
        const char *name, *holder;  // the refusal's two persons; none: stored
    } cases[] = {
        {true, 3, 1, "007", "某人", "李四"},     // a corrected number another stored row holds
        {true, 3, 3, "3500", nullptr, nullptr},  // a row keeps its own number
        {false, 3, 1, " 007 ", "李四", "某人"},  // typed twice, blanks around: the second row named
        {false, 2, 1, "", nullptr, nullptr},     // with row 3's emptied below: rows without a number are nobody's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.onList ? " on the list" : " on the sheet"));
        const QString stored = Q("select group_concat(id || sNumber || sName || sTotal) from Wage_Info");
        c.onList ? list.Load() : sheet.Load().value_or(0);
        book.SetCellText(c.row, c.col, QString::fromUtf8(c.typed));
        if (!c.onList && !c.name) book.SetCellText(3, 1, QString());
        ui.Clear();
        EXPECT_EQ(c.onList ? list.Recheck() : sheet.Save(), c.name == nullptr);
        if (!c.name) continue;
        EXPECT_EQ(Texts().last(), WageNumberTwiceMessage(month, QString::fromUtf8(c.name), QStringLiteral("007"),
                                                         QString::fromUtf8(c.holder)));
        EXPECT_EQ(ui.Last()->kind, kRefusedSaveKind);
        EXPECT_EQ(Q("select group_concat(id || sNumber || sName || sTotal) from Wage_Info"), stored);
        EXPECT_EQ(book.SelStartRow(), c.onList ? c.row : c.row + 1);
    }
}

TEST_F(WageErrorListTest, AcceptClearsOnlyThisMonthsLimitFlags) {
    ASSERT_EQ(list.Load(), 2);
    list.Accept();
    EXPECT_EQ(Q("select wFlag from Wage_Info where Smon=3 and sNumber='001'"), QStringLiteral("1"));
    EXPECT_EQ(Q("select wFlag from Wage_Info where Smon=4"), QStringLiteral("0"));
    EXPECT_EQ(list.Count(), 1);  // the person off the list stays
    EXPECT_EQ(book.GetCellText(2, 1), QStringLiteral("777"));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("工资审核性错误确认成功！")});
    EXPECT_EQ(ui.Last()->kind, DlgKind::Confirmation);
}

TEST_F(WageErrorListTest, DeleteOnTheHeaderDoesNothingOnARowDeletesExactlyIt) {
    ASSERT_EQ(list.Load(), 2);
    list.DeleteRow(1);
    EXPECT_EQ(Q("select count(*) from Wage_Info"), QStringLiteral("4"));
    const QString id = book.GetCellText(3, 9);
    list.DeleteRow(3);
    EXPECT_EQ(Q("select count(*) from Wage_Info"), QStringLiteral("3"));
    EXPECT_EQ(Q("select count(*) from Wage_Info where id=?", {id.toLongLong()}), QStringLiteral("0"));
    EXPECT_EQ(list.Count(), 1);
    list.DeleteRow(2);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Q("select count(*) from Wage_Info where Smon=4"), QStringLiteral("1"));
}

TEST_F(WageErrorListTest, ExportWritesTitleHeaderAndTrimmedRowsAsText) {
    ASSERT_EQ(list.Load(), 2);
    book.SetCellText(2, 1, QStringLiteral(" 001 "));
    ASSERT_TRUE(list.Export());
    const QString path = base.paths().Error() + QStringLiteral("/3月错误名单.xlsx");
    ASSERT_TRUE(QFile::exists(path));
    const XlsxSheet s = ReadXlsxSheet(path);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.name, QStringLiteral("错误人员基本信息"));
    EXPECT_EQ(s.merges, QStringList{QStringLiteral("A1:B1")});
    EXPECT_EQ(s.cells.value("A1"), QStringLiteral("未输入名单"));
    EXPECT_EQ(s.StyleOf("A1").align, QStringLiteral("center"));
    EXPECT_EQ(s.Row(2, 2), (QStringList{"姓名编号", "姓名"}));
    EXPECT_EQ(s.Row(3, 2), (QStringList{"001", "张三"}));
    EXPECT_EQ(s.Row(4, 2), (QStringList{"777", "某人"}));
    EXPECT_EQ(s.RowCount(), 4);
    for (const char* ref : {"A2", "B2", "A3", "B3", "A4", "B4"}) {
        EXPECT_EQ(s.StyleOf(ref).numFmt, QStringLiteral("@")) << ref;
        EXPECT_EQ(s.StyleOf(ref).fontSize, 10) << ref;
        EXPECT_EQ(s.StyleOf(ref).align, QStringLiteral("center")) << ref;
    }
    const QString folder = base.paths().Error() + QLatin1Char('/');
    EXPECT_EQ(Texts(),
              QStringList{QStringLiteral("你导出到'") + folder + QStringLiteral("'里,文件名为:3月错误名单.xlsx")});
    EXPECT_EQ(ui.Last()->kind, DlgKind::Information);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].sort, ShownBox::Sort::OpenFolder);
    EXPECT_EQ(ui.shown[1].text, folder);
    EXPECT_EQ(pb.Position(), 0);

    // A second export replaces the file without a question.
    ui.Clear();
    book.ClearRange(3, 1, 3, 9, TSheetBook::ClearAll);
    ASSERT_TRUE(list.Export());
    const XlsxSheet again = ReadXlsxSheet(path);
    EXPECT_EQ(again.RowCount(), 3);
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(WageErrorListTest, ExportOfAHeaderOnlyListHasTitleAndHeader) {
    ASSERT_TRUE(ExportWageErrorWorkbook(ui, pb, base.paths(), Month(5),
                                        {{QStringLiteral("姓名编号"), QStringLiteral("姓名")}}));
    const XlsxSheet s = ReadXlsxSheet(base.paths().Error() + QStringLiteral("/5月错误名单.xlsx"));
    EXPECT_EQ(s.RowCount(), 2);
    EXPECT_EQ(s.Row(2, 2), (QStringList{"姓名编号", "姓名"}));
}

TEST_F(WageErrorListTest, ExportThatCannotWriteSaysSoAndOpensNothing) {
    QDir().mkpath(base.paths().Error() + QStringLiteral("/3月错误名单.xlsx"));  // a folder in the way
    ASSERT_EQ(list.Load(), 2);
    EXPECT_FALSE(list.Export());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("数据导出错误！\n工作簿“") + base.paths().Error() +
                                    QStringLiteral("/3月错误名单.xlsx”未能保存：已有同名的文件夹占用了这个文件名"))
        << ui.shown[0].text.toStdString();
    EXPECT_EQ(ui.shown[0].title, QStringLiteral("消息"));
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::Titled);
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Information);  // the information icon, not the stop icon
    EXPECT_EQ(pb.Position(), 0);
}

TEST_F(WageErrorListTest, WageSheetSavesRecomputeAnAcceptedTotal) {
    ASSERT_EQ(list.Load(), 2);
    list.Accept();
    TSheetBook sheet;
    WageSheet wages(ctx, sheet, month);
    state.MaxWageMonth = Month(4);
    ASSERT_TRUE(wages.Load());
    sheet.ClearRange(2, 1, sheet.MaxRow(), 8, TSheetBook::ClearAll);
    sheet.SetCellText(2, 1, QStringLiteral("001"));
    sheet.SetCellText(2, 2, QStringLiteral("张三"));
    sheet.SetCellText(2, 3, QStringLiteral("200000"));
    ASSERT_TRUE(wages.Save());
    EXPECT_EQ(Q("select wFlag from Wage_Info where Smon=3"), QStringLiteral("0"));
}

}  // namespace
}  // namespace qm::test
