// The workbook writer, read back from the written file.
#include "core/files/XlsxWriter.h"
#include "tests/core/files/FullDisk.h"
#include "tests/core/files/XlsxZipTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qm::xlsx {
namespace {

using test::ReadXlsxSheet;

TEST(XlsxWriter, WritesSheetCellsMergesAndFormats) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("书.xlsx"));
    CellFormat data = CellFormat::Text();
    data.fontSize = 10;
    data.align = Align::Center;
    CellFormat title;
    title.align = Align::Center;
    {
        Workbook wb(path);
        Sheet& s = wb.AddSheet(QStringLiteral("错误人员基本信息"));
        s.Columns(1, 2, -1, CellFormat::Text());
        s.Merge(1, 1, 1, 2, QStringLiteral("未输入名单"), title);
        s.Text(2, 1, QStringLiteral("007"), data);
        s.Text(2, 2, QStringLiteral("张三"), data);
        s.Number(3, 1, 3100.5);
        s.RowHeight(3, 20);
        s.Landscape();
        s.MarginsPt(72, 72, 36, 36);
        wb.Close();
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("PK"));

    const auto sheet = ReadXlsxSheet(path);
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.name, QStringLiteral("错误人员基本信息"));
    EXPECT_EQ(sheet.merges, QStringList{QStringLiteral("A1:B1")});
    EXPECT_EQ(sheet.cells.value("A1"), QStringLiteral("未输入名单"));
    EXPECT_EQ(sheet.cells.value("A2"), QStringLiteral("007"));  // leading zeros kept: a text cell
    EXPECT_EQ(sheet.cells.value("B2"), QStringLiteral("张三"));
    EXPECT_EQ(sheet.cells.value("A3"), QStringLiteral("3100.5"));

    const auto a2 = sheet.StyleOf("A2");
    EXPECT_EQ(a2.numFmt, QStringLiteral("@"));
    EXPECT_EQ(a2.fontSize, 10);
    EXPECT_EQ(a2.align, QStringLiteral("center"));
    EXPECT_EQ(sheet.styleOf.value("A2"), sheet.styleOf.value("B2"));  // equal formats shared
    EXPECT_EQ(sheet.StyleOf("A1").align, QStringLiteral("center"));
    EXPECT_NE(sheet.StyleOf("A1").fontSize, 10);
    ASSERT_GE(sheet.colStyleA, 0);
    EXPECT_EQ(sheet.styles.at(size_t(sheet.colStyleA)).numFmt, QStringLiteral("@"));
}

TEST(XlsxWriter, ReplacesAnExistingFileSilently) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.xlsx"));
    for (const char* text : {"first", "second"}) {
        Workbook wb(path);
        wb.AddSheet(QStringLiteral("S")).Text(1, 1, QString::fromLatin1(text));
        wb.Close();
    }
    EXPECT_EQ(ReadXlsxSheet(path).cells.value("A1"), QStringLiteral("second"));
}

TEST(XlsxWriter, AWorkbookThatFailsHalfwayLeavesTheEarlierFileAndNoOther) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("工资错误.xlsx"));
    auto write = [&](int rows) {
        Workbook wb(path);
        Sheet& s = wb.AddSheet(QStringLiteral("S"));
        for (int r = 1; r <= rows; ++r) s.Text(r, 1, QStringLiteral("第%1行的内容").arg(r));
        wb.Close();
    };
    write(3);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray earlier = f.readAll();
    f.close();
    {
        const test::FullDisk full(4096);
        EXPECT_THROW(write(2000), Error);
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("工资错误.xlsx")});
}

TEST(XlsxWriter, FailureToWriteRaisesAndUnclosedWritesNothing) {
    QTemporaryDir dir;
    // A folder where the file should go cannot be replaced by the file, whoever runs the test.
    const QString blocked = dir.filePath(QStringLiteral("blocked.xlsx"));
    ASSERT_TRUE(QDir().mkpath(blocked));
    Workbook wb(blocked);
    wb.AddSheet(QStringLiteral("S")).Text(1, 1, QStringLiteral("x"));
    EXPECT_THROW(wb.Close(), Error);
    EXPECT_NO_THROW(wb.Close());  // already closed: nothing more happens

    const QString unclosed = dir.filePath(QStringLiteral("unclosed.xlsx"));
    {
        Workbook w2(unclosed);
        w2.AddSheet(QStringLiteral("S")).Text(1, 1, QStringLiteral("x"));
    }
    EXPECT_FALSE(QFile::exists(unclosed));
}

}  // namespace
}  // namespace qm::xlsx
