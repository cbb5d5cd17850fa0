// The workbook export engine: the model it builds from a layout and a sheet, the file it
// writes, its messages, and printing.

#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/report/WorkbookExport.h"
#include "core/sheet/SheetBook.h"
#include "tests/core/files/FullDisk.h"
#include "tests/core/files/XlsxZipTest.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace qm;
using namespace qm::report;

namespace {

// A sheet of three rows and a layout that copies it two rows down, with a title, a merge
// over copied cells, head lines and borders.
class WorkbookExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        sheet.SetCellText(1, 1, QStringLiteral("指标名称"));
        sheet.SetCellText(1, 2, QStringLiteral("1-本季"));
        sheet.SetCellText(2, 1, QStringLiteral("从业人员"));
        sheet.SetCellText(2, 2, QStringLiteral("01"));
        sheet.SetCellText(3, 1, QStringLiteral("  工资总额     (千元)"));
        sheet.SetCellText(3, 2, QStringLiteral("本季"));

        layout.stem = QStringLiteral("测试表_(一季度)");
        layout.sheetName = QStringLiteral("基础定期报表");
        layout.firstRow = 1;
        layout.lastRow = 3;
        layout.firstCol = 1;
        layout.lastCol = 2;
        layout.rowOffset = 2;
        layout.progressDivisor = 3;
        layout.columnWidths = {30, 6.5};
        layout.rowHeights = {{3, 5, 13}, {6, 6, 0}};
        layout.centredColumns = {2};
        layout.titleRange = QStringLiteral("A1:B1");
        layout.titleText = QStringLiteral("(二)基层定报表式");
        FixedBlock merge;  // a merge over two copied cells, then a text of its own
        merge.range = QStringLiteral("A5:B5");
        merge.merge = true;
        layout.blocks.push_back(merge);
        FixedBlock keep;  // a merge without text keeps the copied top-left value
        keep.range = QStringLiteral("A4:B4");
        keep.merge = true;
        layout.blocks.push_back(keep);
        FixedBlock head;
        head.range = QStringLiteral("B2");
        head.text = QStringLiteral("(一季度)");
        head.fontSize = 10;
        head.align = HAlign::Center;
        layout.blocks.push_back(head);
        layout.allLines = {QStringLiteral("A3:B5")};
        layout.bottomEdges = {{QStringLiteral("A2:B2"), kThick}, {QStringLiteral("A5:B5"), kThin}};
        layout.margins.top = 25;
        layout.margins.bottom = 10;
        layout.landscape = true;
    }

    QString Path() const { return WorkbookPath(base.paths(), layout.stem); }

    test::TempBase base;
    TSheetBook sheet;
    ExportLayout layout;
    ScriptedUiService ui;
    MemoryProgress pb;
};

}  // namespace

TEST_F(WorkbookExportTest, TheModelCopiesTheSheetThenMergesKeepingTheTopLeftValue) {
    const WorkbookModel m = BuildWorkbook(layout, sheet);
    EXPECT_EQ(m.sheetName, QStringLiteral("基础定期报表"));
    EXPECT_EQ(m.Text(3, 1), QStringLiteral("指标名称"));
    // A4:B4 merged: "从业人员" stays, "01" is gone; A5:B5 likewise.
    EXPECT_EQ(m.Text(4, 1), QStringLiteral("从业人员"));
    EXPECT_FALSE(m.HasText(4, 2));
    EXPECT_EQ(m.Text(5, 1), QStringLiteral("  工资总额     (千元)"));
    EXPECT_FALSE(m.HasText(5, 2));
    EXPECT_EQ(m.Merges().size(), 3u);  // title, A5:B5, A4:B4
    ASSERT_NE(m.MergeAt(1, 2), nullptr);
    EXPECT_EQ(*m.MergeAt(1, 2), A1(QStringLiteral("A1:B1")));
    EXPECT_EQ(m.Text(1, 1), QStringLiteral("(二)基层定报表式"));
    EXPECT_EQ(m.Find(1, 1)->fontName, QStringLiteral("黑体"));
    EXPECT_EQ(m.Find(1, 1)->align, HAlign::Center);
    EXPECT_EQ(m.Text(2, 2), QStringLiteral("(一季度)"));
    EXPECT_EQ(m.Find(2, 2)->fontSize, 10);
    // Copied cells wrap; column 2 is centred, column 1 is not.
    EXPECT_TRUE(m.Find(3, 1)->wrap);
    EXPECT_EQ(m.Find(3, 2)->align, HAlign::Center);
    EXPECT_EQ(m.Find(3, 1)->align, HAlign::General);
}

TEST_F(WorkbookExportTest, BordersWidthsHeightsAndPageSetup) {
    const WorkbookModel m = BuildWorkbook(layout, sheet);
    const XCell* inner = m.Find(4, 1);
    EXPECT_EQ(inner->top, kThin);
    EXPECT_EQ(inner->left, kThin);
    EXPECT_EQ(inner->right, kThin);
    EXPECT_EQ(m.Find(2, 1)->bottom, kThick);  // the heavy line under the head lines
    EXPECT_EQ(m.Find(5, 2)->bottom, kThin);
    EXPECT_EQ(m.Find(2, 1)->left, 0);
    EXPECT_EQ(*m.ColumnWidth(2), 6.5);
    EXPECT_EQ(*m.RowHeight(4), 13);
    EXPECT_TRUE(m.RowHidden(6));  // height 0 hides the row
    EXPECT_FALSE(m.RowHidden(4));
    EXPECT_TRUE(m.landscape);
    const auto in = m.MarginInches();
    EXPECT_NEAR(in.top, 0.347, 0.0005);  // 25 points
    EXPECT_NEAR(in.bottom, 0.139, 0.0005);
    EXPECT_EQ(in.left, -1);  // unset: the default
    EXPECT_EQ(in.right, -1);
}

TEST_F(WorkbookExportTest, TheFileHoldsEveryValueAsTextUnderTheSheetsName) {
    ASSERT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("PK"));
    f.close();
    const test::XlsxSheet x = test::ReadXlsxSheet(Path());
    ASSERT_TRUE(x.ok);
    EXPECT_EQ(x.name, QStringLiteral("基础定期报表"));
    EXPECT_EQ(x.cells.value("A3"), QStringLiteral("指标名称"));
    EXPECT_EQ(x.cells.value("B3"), QStringLiteral("1-本季"));
    EXPECT_EQ(x.StyleOf("B3").numFmt, "@");
    EXPECT_EQ(x.cells.value("A4"), QStringLiteral("从业人员"));
    EXPECT_FALSE(x.cells.contains("B4"));
    EXPECT_EQ(x.StyleOf("A3").numFmt, "@");
    EXPECT_TRUE(x.merges.contains("A1:B1"));
    EXPECT_TRUE(x.merges.contains("A4:B4"));
    EXPECT_EQ(x.StyleOf("B2").fontSize, 10);
    EXPECT_EQ(x.StyleOf("B2").align, "center");
    // "01" stays a string: it reaches the file as shared text, not as the number 1.
    layout.blocks.clear();
    ASSERT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    const test::XlsxSheet y = test::ReadXlsxSheet(Path());
    EXPECT_EQ(y.cells.value("B4"), QStringLiteral("01"));
    EXPECT_EQ(y.StyleOf("B4").numFmt, "@");
    const auto zip = test::ReadZip(Path());
    const QByteArray xml = zip.at(QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(xml.contains("<c r=\"B4\" s=")) << xml.constData();
    EXPECT_TRUE(xml.contains("landscape"));
    EXPECT_TRUE(xml.contains("top=\"0.34"));
}

TEST_F(WorkbookExportTest, ASuccessfulExportTellsWhereAndOpensTheFolderAndReplacesAnEarlierFile) {
    ASSERT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    const QString folder = QDir::toNativeSeparators(base.paths().Xls() + QLatin1Char('/'));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("文件所在路径:'") + folder + QStringLiteral("';\n文件名为:测试表_(一季度).xlsx"));
    EXPECT_EQ(ui.shown[1].sort, ShownBox::Sort::OpenFolder);
    EXPECT_EQ(ui.shown[1].text, folder);
    EXPECT_EQ(pb.Position(), 0);
    EXPECT_EQ(pb.highest, 100);

    // A second export writes over the first without a question.
    sheet.SetCellText(2, 1, QStringLiteral("改过"));
    ui.Clear();
    layout.exportedToMessage = true;
    ASSERT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("你导出到'") + folder + QStringLiteral("'里,文件名为:测试表_(一季度).xlsx"));
    EXPECT_EQ(test::ReadXlsxSheet(Path()).cells.value("A4"), QStringLiteral("改过"));
    EXPECT_EQ(QDir(base.paths().Xls()).entryList(QDir::Files).size(), 1);
}

TEST_F(WorkbookExportTest, AFolderThatCannotBeWrittenGivesOneMessageAndNoSuccess) {
    // The XLS folder's name is taken by a file.
    QFile blocker(base.paths().Xls());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    pb.SetPosition(0);
    EXPECT_FALSE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::Titled);
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("数据导出错误！\n工作簿“%1”未能保存：无法建立文件夹“%2”：路径中有一项是文件而不是文件夹")
                  .arg(Path(), base.paths().Xls()));
    EXPECT_EQ(ui.shown[0].title, QStringLiteral("消息"));
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Information);
    EXPECT_EQ(pb.Position(), 100);  // the bar keeps its last position
}

TEST_F(WorkbookExportTest, AnExportThatFailsHalfwayLeavesTheEarlierWorkbookAsItWas) {
    ASSERT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    QFile earlier(Path());
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QByteArray bytes = earlier.readAll();
    earlier.close();
    ASSERT_GT(bytes.size(), 2048);
    sheet.SetCellText(2, 1, QStringLiteral("改过"));
    ui.Clear();
    {
        const test::FullDisk full(2048);
        EXPECT_FALSE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    }
    EXPECT_EQ(ui.Texts(),
              QStringList{QStringLiteral("数据导出错误！\n工作簿“%1”未能保存：文件超出了允许的大小").arg(Path())})
        << ui.Texts().join(u'|').toStdString();
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), bytes);
    EXPECT_EQ(QDir(base.paths().Xls()).entryList(QDir::Files), QStringList{QFileInfo(Path()).fileName()});
}

TEST_F(WorkbookExportTest, PrintOpensTheExportedWorkbookOrAsksForAnExport) {
    PrintWorkbook(ui, base.paths(), layout.stem);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("必须导成EXCEL才支持打印。"));
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::Dlg);
    ASSERT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    ui.Clear();
    PrintWorkbook(ui, base.paths(), layout.stem);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::OpenDocument);
    EXPECT_EQ(ui.shown[0].text, Path());
    // Another label's workbook was never exported.
    ui.Clear();
    PrintWorkbook(ui, base.paths(), QStringLiteral("测试表_(二季度)"));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("必须导成EXCEL才支持打印。")});
}

TEST_F(WorkbookExportTest, WhenNoProgramCanOpenTheWorkbookOrItsFolderThePersonIsTold) {
    ui.desktopOpens = false;
    ASSERT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
    const QString folder = QDir::toNativeSeparators(base.paths().Xls());
    ASSERT_EQ(ui.Texts().size(), 2);
    EXPECT_EQ(ui.Texts()[1],
              QStringLiteral("没有可以打开文件夹“") + folder + QStringLiteral("/”的程序，请在文件管理器中打开它。"));
    ui.Clear();
    PrintWorkbook(ui, base.paths(), layout.stem);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::OpenDocument);
    EXPECT_EQ(ui.shown[1].text, QStringLiteral("没有可以打开“测试表_(一季度).xlsx”的程序。\n文件在文件夹“") + folder +
                                    QStringLiteral("”中，请用能打开它的程序打开。"));
    EXPECT_EQ(ui.shown[1].title, QStringLiteral("提示"));
}

TEST(WorkbookReferences, CellReferencesAndColumnLetters) {
    EXPECT_EQ(A1(QStringLiteral("A7:E28")), (XRange{7, 1, 28, 5}));
    EXPECT_EQ(A1(QStringLiteral("m9")), (XRange{9, 13, 9, 13}));
    EXPECT_EQ(A1(QStringLiteral("A9:s28")), (XRange{9, 1, 28, 19}));
    EXPECT_THROW(A1(QStringLiteral("E28:A7")), std::invalid_argument);
    EXPECT_THROW(A1(QStringLiteral("7A")), std::invalid_argument);
    EXPECT_EQ(ColumnLetters(1), "A");
    EXPECT_EQ(ColumnLetters(26), "Z");
    EXPECT_EQ(ColumnLetters(27), "AA");
}
