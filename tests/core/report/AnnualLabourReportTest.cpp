#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/report/AnnualLabourReport.h"
#include "core/report/ReportForms.h"
#include "core/sheet/SheetBook.h"
#include "tests/core/report/GoldenTable.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <shapefil.h>
#include <QDir>
#include <QFile>

using namespace qm;
using qm::report::AnnualLabourReport;

namespace {

class AnnualLabourTest : public ::testing::Test {
protected:
    void SetUp() override {
        base.RunFixture(QStringLiteral("labour_annual.sql"));
        unit.DepNo = QStringLiteral("87654321Y");
        unit.DepName = QStringLiteral("年报单位");
        unit.DepClass = UnitClass::Decode(QStringLiteral("企业事业单位"), QStringLiteral("规上"));
    }

    AnnualLabourReport Run() {
        AnnualLabourReport r;
        AnnualLabourReport::Prepare(sheet);
        r.Compute(base.db(), unit, sheet, pb);
        return r;
    }
    // The sheet's figure of an indicator code, from whichever half holds it.
    QString Figure(const QString& code) const {
        for (int r = 3; r <= 34; ++r) {
            if (sheet.GetCellText(r, 3) == code) return sheet.GetCellText(r, 4);
            if (sheet.GetCellText(r, 8) == code) return sheet.GetCellText(r, 9);
        }
        ADD_FAILURE() << "no row for " << code.toStdString();
        return {};
    }
    double Stored(const QString& column) {
        return base.Scalar(QStringLiteral("select ") + column + QStringLiteral(" from NLabor_info")).toDouble();
    }

    test::TempBase base;
    MemoryProgress pb;
    MainState unit;
    TSheetBook sheet;
};

TEST_F(AnnualLabourTest, FiguresMatchTheHandWorkedSetWithAndWithoutTheYearEndList) {
    const test::GoldenTable golden = test::ReadGoldenTable(QStringLiteral("nlabor_figures.csv"));
    for (const char* column : {"full", "no_month12"}) {
        SCOPED_TRACE(column);
        if (QLatin1String(column) == QLatin1String("no_month12"))
            base.db().Exec(QStringLiteral("delete from Staff_moninfo where sMon=12"));
        Run();
        for (const QStringList& row : golden.rows) {
            const QString expected = row.value(golden.Column(QString::fromLatin1(column)));
            EXPECT_EQ(Figure(row[0]), expected) << "sheet " << row[0].toStdString();
            EXPECT_DOUBLE_EQ(Stored(row[0]), expected.toDouble()) << "stored " << row[0].toStdString();
        }
        EXPECT_EQ(pb.Position(), 100);  // back to 0 only when the form closes
    }
}

TEST_F(AnnualLabourTest, TwoDecimalPayRoundsAHalfAwayFromZero) {
    // I12 24401 over I08 8 is 3050.125 exactly: the library's even rounding would give .12.
    Run();
    EXPECT_EQ(Figure(QStringLiteral("I20")), QStringLiteral("3050.13"));
    EXPECT_EQ(Figure(QStringLiteral("I22")), QStringLiteral("2600.00"));  // two decimals also when whole
}

TEST_F(AnnualLabourTest, SupplementsFollowTheUnitKindAndAnOrganStoresItsManagersAsZero) {
    const test::GoldenTable golden = test::ReadGoldenTable(QStringLiteral("nlabor_supplements.csv"));
    for (const QStringList& row : golden.rows) {
        SCOPED_TRACE(row[0].toStdString());
        const bool organ = row[0] == QStringLiteral("机关单位");
        // An organ of class "规上": being an organ alone dashes the construction figures.
        unit.DepClass = organ ? UnitClass::Decode(QStringLiteral("机关单位"), QStringLiteral("规上"))
                              : UnitClass::Decode(QStringLiteral("企业事业单位"), row[0]);
        Run();
        for (int i = 1; i < golden.header.size(); ++i) {
            const QString code = golden.header[i];
            const QString expected = row[i];
            EXPECT_EQ(Figure(code), expected) << code.toStdString();
            EXPECT_DOUBLE_EQ(Stored(code), expected == QStringLiteral("--") ? 0.0 : expected.toDouble())
                << code.toStdString();
        }
        EXPECT_EQ(Figure(QStringLiteral("I24")), QStringLiteral("1"));
    }
}

TEST_F(AnnualLabourTest, HeadingValuesAreEmptiedAndTheRowHas49FiguresInOrder) {
    const AnnualLabourReport r = Run();
    for (int row : {3, 4, 23, 24, 25, 31, 32}) EXPECT_EQ(sheet.GetCellText(row, 9), QString()) << row;
    ASSERT_EQ(r.Row().size(), 51u);
    db::Query q(base.db());
    q.Open(QStringLiteral("select * from NLabor_info"));
    ASSERT_EQ(q.RecordCount(), 1);
    ASSERT_EQ(q.FieldCount(), report::ColumnsOf(report::AnnualLabourForm()).size());
    for (int i = 0; i < q.FieldCount(); ++i)
        EXPECT_EQ(q.Fields(i).FieldName(), report::ColumnsOf(report::AnnualLabourForm())[i]);
    // Spot figures at both ends of the halves.
    EXPECT_EQ(q.FieldByName(QStringLiteral("I24")).AsString(), QStringLiteral("1"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("A1")).AsString(), QStringLiteral("2"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("A18")).AsString(), QStringLiteral("1"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("I20")).AsString(), QStringLiteral("3050.13"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("frmc")).AsString(), QStringLiteral("年报单位"));
}

TEST_F(AnnualLabourTest, UploadKeepsThePayDecimals) {
    const AnnualLabourReport r = Run();
    ScriptedUiService ui;
    ASSERT_TRUE(r.Upload(base.db(), ui, base.paths(), unit.DepNo)) << ui.Texts().join(QLatin1Char('\n')).toStdString();
    const QString path = base.paths().Rcsb() + QStringLiteral("/87654321Y_i102.dbf");
    DBFHandle h = DBFOpen(QFile::encodeName(path).constData(), "rb");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(DBFGetRecordCount(h), 1);
    ASSERT_EQ(DBFGetFieldCount(h), report::ColumnsOf(report::AnnualLabourForm()).size());
    const test::GoldenTable golden = test::ReadGoldenTable(QStringLiteral("nlabor_figures.csv"));
    for (int i = 1; i + 1 < DBFGetFieldCount(h); ++i) {
        char name[12] = {};
        DBFGetFieldInfo(h, i, name, nullptr, nullptr);
        EXPECT_EQ(QString::fromLatin1(name), report::ColumnsOf(report::AnnualLabourForm())[i]);
        EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(h, 0, i),
                         golden.At(QString::fromLatin1(name), QStringLiteral("full")).toDouble())
            << name;
    }
    DBFClose(h);
}

TEST_F(AnnualLabourTest, WorkbookHidesRowsOneFourAndSixAndKeepsTheYearLabel) {
    const AnnualLabourReport r = Run();
    EXPECT_EQ(AnnualLabourReport::WorkbookStem(), QStringLiteral("基础定期报表I102-2_2011年"));
    const report::WorkbookModel wb = report::BuildWorkbook(r.Layout(unit), sheet);
    EXPECT_EQ(wb.Text(2, 1), QStringLiteral("基础定期报表"));
    EXPECT_EQ(wb.Text(5, 1), QStringLiteral("2011年"));
    EXPECT_EQ(wb.Text(7, 7), QStringLiteral("表  号:I102-2表"));
    EXPECT_EQ(wb.Text(30, 4), QStringLiteral("3050.13"));  // I20, sheet row 22
    EXPECT_EQ(wb.Text(17, 9), QStringLiteral("7"));        // A5, sheet row 9
    for (int row : {1, 4, 6}) EXPECT_TRUE(wb.RowHidden(row)) << row;
    EXPECT_FALSE(wb.RowHidden(2));
}

}  // namespace
