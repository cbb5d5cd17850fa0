#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/report/QuarterLabourReport.h"
#include "core/report/Refusal.h"
#include "core/report/ReportForms.h"
#include "core/sheet/SheetBook.h"
#include "tests/core/report/GoldenTable.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <shapefil.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace qm;
using qm::report::QuarterLabourReport;

namespace {

class QuarterLabourTest : public ::testing::Test {
protected:
    void SetUp() override {
        base.RunFixture(QStringLiteral("labour_quarter.sql"));
        unit.DepNo = QStringLiteral("12345678X");
        unit.DepName = QStringLiteral("测试单位");
        unit.DepClass = UnitClass::Decode(QStringLiteral("企业事业单位"), QStringLiteral("规上"));
    }

    static MonthRun Months(int start, int end) { return MonthRun(Month(start), Month(end)); }
    static QStringList Columns() { return report::ColumnsOf(report::QuarterLabourForm()); }
    QuarterLabourReport Run(int start, int end, std::optional<Quarter> quarter = std::nullopt) {
        QuarterLabourReport r(quarter ? MonthRun(*quarter) : Months(start, end));
        QuarterLabourReport::Prepare(sheet);
        r.Compute(base.db(), unit, sheet, pb);
        return r;
    }
    // The sheet's figure of an indicator code: column 4 for the end-month rows, else 5.
    QString Figure(const QString& code) const {
        for (int r = 3; r <= 26; ++r)
            if (sheet.GetCellText(r, 3) == code) {
                const bool endMonth = (r <= 7) || r == 22 || r == 23 || r == 26;
                return sheet.GetCellText(r, endMonth ? 4 : 5);
            }
        ADD_FAILURE() << "no row for " << code.toStdString();
        return {};
    }
    QString Stored(const QString& column) {
        return base.Scalar(QStringLiteral("select ") + column + QStringLiteral(" from JLabor_info"));
    }

    test::TempBase base;
    MemoryProgress pb;
    MainState unit;
    TSheetBook sheet;
};

TEST_F(QuarterLabourTest, QuarterAndPeriodRunsGiveTheHandWorkedFigures) {
    const test::GoldenTable golden = test::ReadGoldenTable(QStringLiteral("jlabor_figures.csv"));
    struct Case {
        const char* column;
        int start, end;
    };
    for (const Case& c : {Case{"q1", 1, 3}, Case{"q2", 1, 6}, Case{"p2_3", 2, 3}}) {
        SCOPED_TRACE(c.column);
        Run(c.start, c.end);
        for (const QStringList& row : golden.rows) {
            const QString expected = row.value(golden.Column(QString::fromLatin1(c.column)));
            EXPECT_EQ(Figure(row[0]), expected) << "sheet " << row[0].toStdString();
            // Each figure lands in the column named by its code.
            EXPECT_EQ(Stored(row[0]), expected) << "stored " << row[0].toStdString();
        }
        EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from JLabor_info")), QStringLiteral("1"));
        EXPECT_EQ(pb.Position(), 0);
        EXPECT_EQ(pb.highest, 100);
    }
}

TEST_F(QuarterLabourTest, AveragesDivideByTheMonthsOfTheRun) {
    // From month 1 the start-of-period list counts as a month; a later start does not.
    EXPECT_EQ(QuarterLabourReport(Months(1, 3)).Divisor(), 4);
    EXPECT_EQ(QuarterLabourReport(Months(1, 6)).Divisor(), 7);
    EXPECT_EQ(QuarterLabourReport(MonthRun(Quarter(3))).Divisor(), 10);
    EXPECT_EQ(QuarterLabourReport(Months(4, 6)).Divisor(), 3);
    EXPECT_EQ(QuarterLabourReport(Months(5, 5)).Divisor(), 1);
    EXPECT_THROW(Months(4, 3), std::invalid_argument);
    EXPECT_THROW(Months(0, 3), std::invalid_argument);
    EXPECT_THROW(Months(1, 13), std::invalid_argument);
}

TEST_F(QuarterLabourTest, SupplementsFollowTheUnitKind) {
    const test::GoldenTable golden = test::ReadGoldenTable(QStringLiteral("jlabor_supplements.csv"));
    for (const QStringList& row : golden.rows) {
        SCOPED_TRACE(row[0].toStdString());
        const QStringList kind = row[0].split(QLatin1Char(' '));
        unit.DepClass = UnitClass::Decode(kind.size() == 2 ? kind[0] : QStringLiteral("企业事业单位"), kind.last());
        Run(1, 3);
        for (const char* b : {"B1", "B2", "B5", "B7"}) {
            const QString code = QString::fromLatin1(b);
            EXPECT_EQ(Figure(code), golden.At(row[0], code)) << code.toStdString();
            EXPECT_EQ(Stored(code), golden.At(row[0], code)) << code.toStdString();
        }
    }
}

TEST_F(QuarterLabourTest, DashCellsAndTheUncodedRows) {
    Run(1, 3, Quarter(1));
    for (int r = 3; r <= 7; ++r) EXPECT_EQ(sheet.GetCellText(r, 5), QStringLiteral("--")) << r;
    for (int r = 8; r <= 19; ++r) EXPECT_EQ(sheet.GetCellText(r, 4), QStringLiteral("--")) << r;
    for (int r : {22, 23, 26}) EXPECT_EQ(sheet.GetCellText(r, 5), QStringLiteral("--")) << r;
    EXPECT_EQ(sheet.GetCellText(24, 4), QStringLiteral("--"));
    EXPECT_EQ(sheet.GetCellText(25, 4), QString());
    EXPECT_EQ(sheet.GetCellText(25, 5), QString());
    EXPECT_EQ(sheet.GetCellText(1, 5), QStringLiteral("年初至本季度"));
    EXPECT_EQ(sheet.GetCellText(24, 1), QStringLiteral("  计算建筑业劳动生成率的平均人数"));
    // A chosen run heads its year-to-date column as a run of months.
    Run(1, 3);
    EXPECT_EQ(sheet.GetCellText(1, 5), QStringLiteral("统计月间"));
}

TEST_F(QuarterLabourTest, StoredRowKeepsTheColumnOrderAndTheUnitAsTyped) {
    unit.DepName = QStringLiteral("O'Brien 测试");
    const QuarterLabourReport r = Run(1, 3);
    ASSERT_EQ(r.Row().size(), 23u);
    db::Query q(base.db());
    q.Open(QStringLiteral("select * from JLabor_info"));
    ASSERT_EQ(q.RecordCount(), 1);
    ASSERT_EQ(q.FieldCount(), Columns().size());
    for (int i = 0; i < q.FieldCount(); ++i) EXPECT_EQ(q.Fields(i).FieldName(), Columns()[i]);
    EXPECT_EQ(q.FieldByName(QStringLiteral("frdm")).AsString(), QStringLiteral("12345678X"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("frmc")).AsString(), QStringLiteral("O'Brien 测试"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("I20")).AsString(), QStringLiteral("8600"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("B5")).AsString(), QStringLiteral("2"));
}

TEST_F(QuarterLabourTest, AFailedStoreKeepsTheOldRow) {
    Run(1, 3);
    base.db().Exec(
        QStringLiteral("create trigger refuse before insert on JLabor_info begin select raise(abort, 'refused'); end"));
    EXPECT_THROW(Run(1, 6), report::Refused);
    EXPECT_EQ(Stored(QStringLiteral("I20")), QStringLiteral("8600"));
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from JLabor_info")), QStringLiteral("1"));
}

TEST_F(QuarterLabourTest, TheQuarterGivenNamesTheLabelAndTheWorkbook) {
    EXPECT_EQ(QuarterLabourReport(MonthRun(Quarter(1))).Quarter(), Quarter(1));
    EXPECT_EQ(QuarterLabourReport(MonthRun(Quarter(3))).Quarter(), Quarter(3));
    EXPECT_EQ(QuarterLabourReport(Months(4, 6)).Quarter(), std::nullopt);
    EXPECT_EQ(QuarterLabourReport(Months(1, 3)).Quarter(), std::nullopt);  // a quarter's months, chosen
    EXPECT_EQ(QuarterLabourReport(MonthRun(Quarter(3))).PeriodLabel(), QStringLiteral("2012年3季度"));
    EXPECT_EQ(QuarterLabourReport(MonthRun(Quarter(1))).WorkbookStem(),
              QStringLiteral("基础定期报表I202-2_2012年1季度"));
    EXPECT_EQ(QuarterLabourReport(Months(4, 6)).WorkbookStem(), QStringLiteral("基础定期报表I202-2_"));
}

TEST_F(QuarterLabourTest, TheCaptionNamesTheQuarterOrTheRun) {
    const std::pair<MonthRun, const char16_t*> cases[] = {
        {MonthRun(Quarter(2)), u" 统计前二季度，即从 1 月到 6月"},
        {Months(1, 3), u" 统计从 1月到3月"},
    };
    for (const auto& [run, caption] : cases)
        EXPECT_EQ(QuarterLabourReport(run).CaptionSuffix(), QString::fromUtf16(caption));
}

TEST_F(QuarterLabourTest, UploadWritesItsOwnFiguresAndRemovesTheFileWithoutQuarter) {
    const QuarterLabourReport r = Run(1, 3, Quarter(1));
    Run(1, 6, Quarter(2));  // another window stores other figures meanwhile
    const QString rcsb = base.paths().Rcsb() + QLatin1Char('/');
    QDir().mkpath(rcsb);
    for (const char* name : {"12345678X_i202.dbf", "12345678X_2_i202.dbf"}) {
        QFile f(rcsb + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    ScriptedUiService ui;
    ASSERT_TRUE(r.Upload(base.db(), ui, base.paths(), unit.DepNo));
    EXPECT_FALSE(QFileInfo::exists(rcsb + QStringLiteral("12345678X_i202.dbf")));
    EXPECT_TRUE(QFileInfo::exists(rcsb + QStringLiteral("12345678X_2_i202.dbf")));  // another quarter's file stays
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("文件所在路径:'") + QDir::toNativeSeparators(rcsb) +
                                    QStringLiteral("';\n文件名为:12345678X_1_i202.dbf"));

    DBFHandle h = DBFOpen(QFile::encodeName(rcsb + QStringLiteral("12345678X_1_i202.dbf")).constData(), "rb");
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(DBFGetRecordCount(h), 1);
    ASSERT_EQ(DBFGetFieldCount(h), Columns().size());
    const test::GoldenTable golden = test::ReadGoldenTable(QStringLiteral("jlabor_figures.csv"));
    for (int i = 0; i < DBFGetFieldCount(h); ++i) {
        char name[12] = {};
        DBFGetFieldInfo(h, i, name, nullptr, nullptr);
        EXPECT_EQ(QString::fromLatin1(name), Columns()[i]);
        if (i == 0 || i + 1 == DBFGetFieldCount(h)) continue;
        EXPECT_EQ(QString::fromLatin1(DBFReadStringAttribute(h, 0, i)).trimmed().toDouble(),
                  golden.At(QString::fromLatin1(name), QStringLiteral("q1")).toDouble())
            << name;
    }
    EXPECT_EQ(QString::fromLatin1(DBFReadStringAttribute(h, 0, 0)).trimmed(), QStringLiteral("12345678X"));
    DBFClose(h);
}

TEST_F(QuarterLabourTest, WorkbookCarriesTheSheetBelowTheHeadLines) {
    const QuarterLabourReport r = Run(1, 3, Quarter(1));
    const report::WorkbookModel wb = report::BuildWorkbook(r.Layout(unit), sheet);
    EXPECT_EQ(wb.sheetName, QStringLiteral("基础定期报表"));
    EXPECT_TRUE(wb.landscape);
    EXPECT_EQ(wb.Text(2, 1), QStringLiteral("劳   动   情   况"));
    EXPECT_EQ(wb.Text(7, 1), QStringLiteral("单位名称：测试单位"));
    EXPECT_EQ(wb.Text(8, 1), QStringLiteral("法人单位代码：12345678X"));
    EXPECT_EQ(wb.Text(8, 2), QStringLiteral("2012年1季度"));
    EXPECT_EQ(wb.Text(5, 4), QStringLiteral("表  号:I202-2表"));
    EXPECT_EQ(wb.Text(11, 4), QStringLiteral("4"));     // I01 from sheet row 3
    EXPECT_EQ(wb.Text(24, 5), QStringLiteral("8600"));  // I20 from sheet row 16
    EXPECT_TRUE(wb.Text(35, 1).startsWith(QStringLiteral("    单位负责人：")));
    ASSERT_NE(wb.Find(34, 3), nullptr);
    EXPECT_EQ(wb.Find(34, 3)->bottom, report::kThick);
}

}  // namespace
