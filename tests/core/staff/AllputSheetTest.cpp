#include "core/staff/AllputSheet.h"
#include "tests/entry/staff/AllputTestSupport.h"

namespace qm::test {
namespace {

class AllputSheetTest : public AllputFixture {
protected:
    AllputSheet sheet{book, ctx, codes};
    QString Stored(const QString& sql) { return Scalar(sql); }
    QString Numbers() {
        return Scalar(
            QStringLiteral("select group_concat(sNumber, '|') from (select sNumber from Staff_moninfo "
                           "where sMon=0 order by id)"));
    }
};

TEST_F(AllputSheetTest, LayoutFollowsTheUnitClass) {
    sheet.ApplyLayout();
    EXPECT_EQ(book.MaxCol(), 14);
    SetUnit(QStringLiteral("规上"));
    sheet.ApplyLayout();
    EXPECT_EQ(book.MaxCol(), 18);
    for (int c = 15; c <= 17; ++c) EXPECT_TRUE(book.IsColHidden(c)) << c;
    EXPECT_FALSE(book.IsColHidden(18));
    EXPECT_EQ(book.GetCellText(2, 18), QStringLiteral("14"));
    SetUnit(QStringLiteral("是1"));
    sheet.ApplyLayout();
    EXPECT_EQ(book.MaxCol(), 18);
    for (int c = 15; c <= 18; ++c) EXPECT_TRUE(book.IsColShown(c)) << c;
}

TEST_F(AllputSheetTest, TheBatchSheetSpellsItsNumberAndGradeHeaders) {
    sheet.ApplyLayout();
    EXPECT_EQ(book.GetCellText(1, 2), QStringLiteral("   姓名     编号"));
    EXPECT_EQ(book.GetCellText(1, 11), QStringLiteral("具有国家评定的专业技术 等级"));
}

TEST_F(AllputSheetTest, FillSheetLoadsStoredRowsInEntryOrderAndMarksFailingCells) {
    EXPECT_EQ(sheet.FillSheet(), 0);
    EXPECT_EQ(sheet.Status(), QStringLiteral(" 共 0 条"));
    EXPECT_EQ(sheet.UnitNameLabel(), QStringLiteral("单位名称：青石建设有限公司 "));
    EXPECT_EQ(sheet.UnitCodeLabel(), QStringLiteral("单位法人代码：12345678X "));
    EXPECT_EQ(sheet.CurrentDepNo(), QStringLiteral("12345678X"));
    EXPECT_FALSE(sheet.ErrorsEnabled());

    SetUnit(QStringLiteral("是1"));
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A1")));
    QStringList bad = GoodRow(QStringLiteral("李四"), QStringLiteral("A2"));
    bad[2] = QStringLiteral("男性");
    PutRow(4, bad);
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::SavedWithErrors);
    db().Exec(QStringLiteral("update Staff_moninfo set id=id+100 where sNumber='A1'"));  // A1 now entered last

    book.SetCellText(9, 1, QStringLiteral("stale"));
    EXPECT_EQ(sheet.FillSheet(), 2);
    EXPECT_EQ(sheet.Status(), QStringLiteral(" 共 2 条"));
    EXPECT_EQ(book.GetCellText(3, 2), QStringLiteral("A2"));
    EXPECT_EQ(book.GetCellText(4, 2), QStringLiteral("A1"));
    EXPECT_EQ(book.GetCellText(9, 1), QString());
    EXPECT_TRUE(book.IsMarked(3, 3));
    EXPECT_FALSE(book.IsMarked(4, 3));
    EXPECT_EQ(book.GetCellText(4, 25), QStringLiteral("1"));  // codes derived again
    EXPECT_EQ(book.GetCellText(4, 36), QStringLiteral("1"));
    EXPECT_TRUE(sheet.ErrorsEnabled());
    EXPECT_FALSE(sheet.Dirty());
}

TEST_F(AllputSheetTest, SaveStoresTheSheetAndReportsSuccessWithMenusRefreshed) {
    PutRow(3, GoodRow(QStringLiteral(" 张 三 "), QStringLiteral("A1")));
    PutRow(4, GoodRow(QStringLiteral("O'Neil"), QStringLiteral("A2")));
    book.SetCellText(4, 4, QStringLiteral("1"));  // shorthand for 是
    EXPECT_TRUE(sheet.Dirty());
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::Saved);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("[名册清单]保存成功！")});
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::YesOnly);
    EXPECT_EQ(Numbers(), QStringLiteral("A1|A2"));
    EXPECT_EQ(Stored(QStringLiteral("select sName from Staff_moninfo where sNumber='A1'")), QStringLiteral("张三"));
    EXPECT_EQ(Stored(QStringLiteral("select sName from Staff_moninfo where sNumber='A2'")), QStringLiteral("O'Neil"));
    EXPECT_EQ(Stored(QStringLiteral("select sTnation || sNation from Staff_moninfo where sNumber='A2'")),
              QStringLiteral("是1"));
    EXPECT_EQ(Stored(QStringLiteral("select count(*) from Staff_moninfo where sIsok='1'")), QStringLiteral("2"));
    EXPECT_EQ(main.monthRefreshes, 1);
    EXPECT_EQ(main.initialRefreshes, 2);
    EXPECT_FALSE(sheet.ErrorsEnabled());
    EXPECT_FALSE(sheet.Dirty());
    EXPECT_EQ(pb.Position(), 0);
}

TEST_F(AllputSheetTest, AnEmptyNumberIsStoredFailingAndMarked) {
    PutRow(3, GoodRow(QStringLiteral("张三"), QString()));
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::SavedWithErrors);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("出现错误，请核实！")});
    EXPECT_TRUE(book.IsMarked(3, 2));
    EXPECT_EQ(Stored(QStringLiteral("select quote(sNumber) || sIsok from Staff_moninfo")), QStringLiteral("''0"));
    EXPECT_TRUE(sheet.ErrorsEnabled());

    // A number of blanks only is stored empty, so it fails the same way.
    ui.Clear();
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("   ")));
    book.ClearRange(3, 2, 3, 2, TSheetBook::ClearFormats);
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::SavedWithErrors);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("出现错误，请核实！")});
    EXPECT_TRUE(book.IsMarked(3, 2));
    EXPECT_EQ(Stored(QStringLiteral("select quote(sNumber) || sIsok from Staff_moninfo")), QStringLiteral("''0"));
}

TEST_F(AllputSheetTest, RowsBelowAnEmptyNameAreNeverDroppedSilently) {
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A1")));
    PutRow(4, GoodRow(QStringLiteral("李四"), QStringLiteral("A2")));
    PutRow(6, GoodRow(QStringLiteral("王五"), QStringLiteral("A3")));
    ui.answers = {DlgAnswer::No};
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::Cancelled);
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("第3行"))) << ui.Texts()[0].toStdString();
    EXPECT_EQ(Numbers(), QString());

    ui.Clear();
    ui.answers = {DlgAnswer::Yes};
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::Saved);
    EXPECT_EQ(Numbers(), QStringLiteral("A1|A2"));

    // A name of blanks ends the list at its own row.
    ui.Clear();
    book.SetCellText(4, 1, QStringLiteral("   "));
    ui.answers = {DlgAnswer::Yes};
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::Saved);
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("第2行")));
    EXPECT_EQ(Numbers(), QStringLiteral("A1"));
}

// The list holds what the sheet holds: 17,000 pasted rows, more than the least sheet has, are
// saved every one without a question.
TEST_F(AllputSheetTest, EveryPastedRowIsSavedBeyondTheLeastSheetLength) {
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A1")));
    ui.answers = {DlgAnswer::Yes};
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::Saved);
    ui.Clear();
    QStringList lines;
    for (int i = 1; i <= 17000; ++i) lines << QStringLiteral("人%1\t%1").arg(i);
    book.SetSelection(3, 1, 3, 1);
    book.SetClipboardText(lines.join(QLatin1Char('\n')));
    EXPECT_EQ(book.EditPaste(), 0);
    ui.answers = {DlgAnswer::Yes};
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::SavedWithErrors);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("出现错误，请核实！")});
    EXPECT_EQ(Stored(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), QStringLiteral("17000"));
    EXPECT_EQ(Stored(QStringLiteral("select sName from Staff_moninfo where sMon=0 order by id desc limit 1")),
              QStringLiteral("人17000"));
}

// The sheet shows no row numbers: a number column's refusal counts the persons from 第1行.
TEST_F(AllputSheetTest, TheNthPersonIsNamedAsTheNthRow) {
    for (int i = 1; i <= 3; ++i) PutRow(2 + i, GoodRow(QStringLiteral("人%1").arg(i), QStringLiteral("A%1").arg(i)));
    book.SetCellText(5, 7, QStringLiteral("廿"));
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::BadNumbers);
    EXPECT_TRUE(ui.Texts().last().contains(QStringLiteral("：第3行的参加工作年限“廿”")))
        << ui.Texts().last().toStdString();
}

TEST_F(AllputSheetTest, NothingIsTouchedWithoutAFirstRowOrWithTextInANumberColumn) {
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A1")));
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::Saved);
    ui.Clear();
    book.ClearRange(3, 1, 3, 40, 1);
    book.SetCellText(4, 1, QStringLiteral("李四"));
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::NoData);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("第一行没有数据。")});
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Information);
    EXPECT_EQ(Numbers(), QStringLiteral("A1"));

    ui.Clear();
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A9")));
    PutRow(4, GoodRow(QStringLiteral("李四"), QStringLiteral("A2")));
    book.SetCellText(4, 8, QStringLiteral("三年"));
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::BadNumbers);
    EXPECT_TRUE(book.IsMarked(4, 8));
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("三年")));
    EXPECT_EQ(Numbers(), QStringLiteral("A1"));
    EXPECT_EQ(main.monthRefreshes, 1);
}

TEST_F(AllputSheetTest, AFailedSaveNamesTheRowAndKeepsTheStoredListAndDuty) {
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A1")));
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::Saved);
    db().Exec(QStringLiteral("update Staff_moninfo set sGw='出纳'"));
    ui.Clear();
    db().Exec(
        QStringLiteral("create trigger boom before insert on Staff_moninfo when new.sName='坏行' "
                       "begin select raise(abort, 'refused'); end"));
    PutRow(4, GoodRow(QStringLiteral("坏行"), QStringLiteral("A2")));
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::Failed);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Error);  // as every staff list's failed save
    EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("第2行")));
    EXPECT_EQ(Numbers(), QStringLiteral("A1"));
    EXPECT_TRUE(sheet.Dirty());
    EXPECT_EQ(main.monthRefreshes, 1);  // not refreshed by the failure
    EXPECT_FALSE(sheet.ErrorsEnabled());

    // A failed sex check has enabled the error list before the save failed.
    ui.Clear();
    book.SetCellText(4, 3, QStringLiteral("1"));
    EXPECT_EQ(sheet.Save(), AllputSheet::SaveResult::Failed);
    EXPECT_TRUE(sheet.ErrorsEnabled());
    book.SetCellText(4, 3, QStringLiteral("男"));

    db().Exec(QStringLiteral("drop trigger boom"));
    ASSERT_EQ(sheet.Save(), AllputSheet::SaveResult::Saved);
    EXPECT_EQ(Stored(QStringLiteral("select sGw from Staff_moninfo where sNumber='A1'")), QStringLiteral("出纳"));
}

TEST_F(AllputSheetTest, ClearEmptiesTheSheetOnlyWhenTheMainWindowCleared) {
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A1")));
    EXPECT_FALSE(sheet.Clear());
    EXPECT_EQ(book.GetCellText(3, 1), QStringLiteral("张三"));
    main.clearAnswer = true;
    EXPECT_TRUE(sheet.Clear());
    EXPECT_EQ(main.clears, 2);
    EXPECT_EQ(book.GetCellText(3, 1), QString());
    EXPECT_EQ(sheet.Status(), QStringLiteral(" 共 0 条"));
}

TEST_F(AllputSheetTest, PasteFixupMovesColumn15To18InThePastedRowsOnlyUnderAboveSize) {
    SetUnit(QStringLiteral("规上"));
    book.SetCellText(3, 15, QStringLiteral("1"));  // above the block
    book.SetCellText(7, 18, QStringLiteral("原值"));
    const QString pad = QStringLiteral("x\t").repeated(14);
    const QString block = pad + "0\r\n" + pad + "1\r\n" + pad + "\r\n" + pad + QStringLiteral("是\r\n");
    auto col18 = [&] {
        QStringList out;
        for (int r = 3; r <= 8; ++r) out << book.GetCellText(r, 18);
        return out;
    };
    book.PasteText(5, 1, block);
    sheet.PasteFixup();
    EXPECT_EQ(col18(), (QStringList{"", "", QStringLiteral("否"), "1", QStringLiteral("原值"), QStringLiteral("是")}));
    EXPECT_EQ(book.GetCellText(5, 15), QStringLiteral("0"));
    // A block short of column 15, or another class, leaves column 18 alone.
    book.ClearRange(3, 18, 8, 18, TSheetBook::ClearContents);
    book.PasteText(5, 1, QStringLiteral("甲\t1"));
    sheet.PasteFixup();
    SetUnit(QStringLiteral("是1"));
    book.PasteText(6, 1, block);
    sheet.PasteFixup();
    EXPECT_EQ(col18().join(QString()), QString());
}

TEST_F(AllputSheetTest, ErrorListButtonLooksAtTheStartOfPeriodRowsOnly) {
    db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber, sIsok) values (1, '甲', 'A', '0')"));
    sheet.SetErrorsEnabled(true);
    EXPECT_FALSE(sheet.ErrorListHasRows());
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("没有错误信息！")});
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::YesOnly);
    EXPECT_FALSE(sheet.ErrorsEnabled());
    db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber, sIsok) values (0, '乙', 'B', '0')"));
    EXPECT_TRUE(sheet.ErrorListHasRows());
}

TEST_F(AllputSheetTest, RecheckMarksEmptyNumbersAndEnablesTheErrorList) {
    PutRow(3, GoodRow(QStringLiteral("张三"), QStringLiteral("A1")));
    sheet.Recheck();
    EXPECT_FALSE(sheet.ErrorsEnabled());
    PutRow(4, GoodRow(QStringLiteral("李四"), QString()));
    sheet.Recheck();
    EXPECT_TRUE(book.IsMarked(4, 2));
    EXPECT_TRUE(sheet.ErrorsEnabled());
}

TEST_F(AllputSheetTest, EditorListsCarryTheCodeListsAndTheYears) {
    sheet.FillEditorLists();
    const int xl = book.ObjectIdByName(QStringLiteral("XL"));
    ASSERT_GE(xl, 0);
    EXPECT_EQ(book.Object(xl).items.join(QLatin1Char(';')) + QLatin1Char(';'), CodeItemsText(codes.CodeEduList));
    EXPECT_EQ(book.Object(book.ObjectIdByName(QStringLiteral("Sg"))).items.size(), 3);
    EXPECT_EQ(book.Object(book.ObjectIdByName(QStringLiteral("YorN"))).items,
              (QStringList{QStringLiteral("否"), QStringLiteral("是")}));
    const QStringList years = AllputSheet::BirthYears();
    EXPECT_EQ(years.size(), 72);
    EXPECT_EQ(years.first(), QStringLiteral("1932"));
    EXPECT_EQ(years[AllputSheet::kBirthYearIndex], QStringLiteral("1942"));
}

}  // namespace
}  // namespace qm::test
