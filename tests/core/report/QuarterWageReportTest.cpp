// Form 202-1 computed on small units whose figures were worked out by hand.

#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Errors.h"
#include "core/report/LeaderPost.h"
#include "core/report/QuarterWageReport.h"
#include "core/report/Refusal.h"
#include "core/report/ReportForms.h"
#include "core/sheet/SheetTemplate.h"
#include "core/unit/Gates.h"
#include "tests/core/report/ReportTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace qm;
using namespace qm::report;

namespace {

class QuarterReportTest : public ::testing::Test {
protected:
    db::Connection& db() { return base.db(); }
    QuarterWageReport Run(int quarter) {
        QuarterWageReport r{Quarter(quarter)};
        r.Compute(db(), UnitOf(base), sheet, pb);
        return r;
    }
    void SetUnit(const QString& depType, const QString& depInfo) {
        db().Exec(QStringLiteral("update Dep_Info set DepType=?, DepInfo=?"), {depType, depInfo});
    }
    void Staff(int mon, const QString& number, int post, int ssf = 1) {
        db().Exec(QStringLiteral(
                      "insert into Staff_moninfo (sMon, sNumber, sName, sPost, ssf, sIsok) values (?,?,?,?,?,'1')"),
                  {mon, number, number, post, ssf});
    }
    void Wage(int mon, const QString& number, double total) {
        db().Exec(QStringLiteral(
                      "insert into Wage_Info (sNumber, sName, Smon, sTotal, sFlag, wFlag) values (?,?,?,?,'1','1')"),
                  {number, number, mon, total});
    }
    void NewUnit(const QString& depType) {
        db().Exec(QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                                 "values ('单位', '987654321', ?, '否', '1', '99')"),
                  {depType});
    }

    test::TempBase base;
    TSheetBook sheet;
    MemoryProgress pb;
    ScriptedUiService ui;
};

}  // namespace

TEST_F(QuarterReportTest, FirstQuarterOfTheSmallUnitMatchesTheHandWorkedFigures) {
    base.RunFixture(QStringLiteral("report_quarter.sql"));
    const QuarterWageReport r = Run(1);
    // Among them: 其他从业人员 2499.5 yuan read as 2500, so 3 thousand; 在岗职工 lowered
    // from 12 to 11 thousand so the three add up to 18; its pay 11000 / 3 from that.
    EXPECT_EQ(test::SheetDiff(sheet, QStringLiteral("jglabor_q1_cells.csv")), QString());
    EXPECT_EQ(test::RowDiff(base, QStringLiteral("JGLabor_info"), QStringLiteral("jglabor_q1_row.csv")), QString());
    EXPECT_EQ(r.QuarterLabel(), QStringLiteral("(一季度)"));
    EXPECT_EQ(pb.Position(), 0);
    EXPECT_EQ(pb.highest, 100);
    // The template's text cells stay as they are.
    EXPECT_EQ(sheet.GetCellText(4, 3), QStringLiteral("01"));
    EXPECT_EQ(sheet.GetCellText(1, 5), QStringLiteral("1-本季"));
    EXPECT_EQ(sheet.GetCellText(9, 4), QStringLiteral("-"));
    EXPECT_EQ(sheet.GetCellText(23, 4), QString());
}

TEST_F(QuarterReportTest, TheTemplatesDashCellsDecideWhichValuesAreStored) {
    // Column 4 of rows 4..23 (row 13 apart) decides which rows give a value: the five
    // computed cells of rows 4..8 and the 13 "-" cells of rows 9..12 and 14..22; with the
    // four supplements 22 figures.
    const SheetTemplate t = LoadSheetTemplate(QuarterWageForm().sheetTemplate);
    QList<int> dashRows;
    for (int r = 4; r <= 23; ++r)
        if (t.Cell(r, 4) == QStringLiteral("-")) dashRows << r;
    EXPECT_EQ(dashRows, (QList<int>{9, 10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22}));
    for (int r = 4; r <= 8; ++r) EXPECT_EQ(t.Cell(r, 5), QStringLiteral("-"));
    EXPECT_EQ(t.Cell(23, 4), QString());
    EXPECT_EQ(ColumnsOf(QuarterWageForm()).size(), 24);
    ApplySheetTemplate(sheet, t);
    for (int r = 4; r <= 8; ++r) sheet.SetCellText(r, 4, QStringLiteral("1"));
    const db::Params row =
        RowFromSheet(QuarterWageForm(), sheet, {{}, {}, {}, {}}, QStringLiteral("X"), QStringLiteral("Y"));
    EXPECT_EQ(row.size(), 24u);
    // Labels keep their leading blanks.
    EXPECT_EQ(t.Cell(5, 1), QString(16, QLatin1Char(' ')) + QStringLiteral("其中：单位负责人"));
    EXPECT_EQ(t.Cell(10, 1), QString(12, QLatin1Char(' ')) + QStringLiteral("在岗职工"));
}

TEST_F(QuarterReportTest, TheUnitsClassDecidesTheSupplementaryFigures) {
    base.RunFixture(QStringLiteral("report_quarter.sql"));
    struct Case {
        const char* info;
        const char* i48;
        const char* i41;
        const char* i42;
        const char* i47;
    };
    for (const Case& c : {Case{"否", "NULL", "NULL", "NULL", "NULL"}, Case{"规上", "3", "NULL", "NULL", "NULL"},
                          Case{"是1", "3", "2", "1", "NULL"}, Case{"是2", "3", "NULL", "NULL", "2"}}) {
        SCOPED_TRACE(c.info);
        SetUnit(QStringLiteral("企业事业单位"), QString::fromUtf8(c.info));
        Run(1);
        EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I48")), c.i48);
        EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I41")), c.i41);
        EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I42")), c.i42);
        EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I47")), c.i47);
        EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I01")), "4");
    }
    // The lines of the last case (是2): 48 and 47 with their figures, 41 and 42 without.
    EXPECT_EQ(sheet.GetCellText(24, 1),
              QStringLiteral(
                  "   一、直接从事生产经营活动的平均人数(48)   3  人(限规模以上工业和有资质的建筑业法人单位填报)"));
    EXPECT_EQ(sheet.GetCellText(25, 1),
              QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)    "));
    EXPECT_EQ(sheet.GetCellText(26, 1),
              QStringLiteral("       总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)        人"));
    EXPECT_EQ(sheet.GetCellText(27, 1), QString(69, QLatin1Char(' ')) + QStringLiteral("其中：一级建造师(42)      人"));
    EXPECT_EQ(sheet.GetCellText(28, 1),
              QStringLiteral("       劳务分包法人单位从业人员期末人数：其中：现场施工人员(47)   2  人"));
    EXPECT_EQ(sheet.GetCellText(29, 1),
              QStringLiteral("   三、不能填报\"从业人员\"和\"工资总额\"数据的法人单位填报       "));
    EXPECT_EQ(sheet.GetCellText(30, 1),
              QStringLiteral("       发放工资的法人单位：组织机构代码(49)  :                       "));
    EXPECT_EQ(sheet.GetCellText(31, 1),
              QStringLiteral("                               单位详细名称(50)      :              "));
    // 否: the 48 line without a figure.
    SetUnit(QStringLiteral("企业事业单位"), QStringLiteral("否"));
    Run(1);
    EXPECT_EQ(sheet.GetCellText(24, 1),
              QStringLiteral(
                  "   一、直接从事生产经营活动的平均人数(48)       人(限规模以上工业和有资质的建筑业法人单位填报)"));
    EXPECT_TRUE(sheet.GetCellText(26, 1).endsWith(QStringLiteral("(41)        人")));
}

TEST_F(QuarterReportTest, OrganLeadersFollowTheSmallestPostBelowTwenty) {
    NewUnit(QStringLiteral("机关单位"));
    // Month 3: one person each in posts 11..16, 18, 21 (never an organ's).
    for (int post : {11, 12, 13, 14, 15, 16, 18, 21}) Staff(3, QStringLiteral("N%1").arg(post), post);
    Staff(0, QStringLiteral("X"), 100);
    auto leaders = [&] {
        Run(1);
        return sheet.GetCellText(5, 4);
    };
    // L = 11: posts 11 and 12.
    EXPECT_EQ(leaders(), "2");
    // L = 12 (post 11 gone): posts 12 and 13.
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost=11"));
    EXPECT_EQ(leaders(), "2");
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost=13"));
    EXPECT_EQ(leaders(), "1");
    // L = 15: post 15 only.
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost in (12, 14)"));
    EXPECT_EQ(leaders(), "1");
    // L = 16: no civil-servant leader post is held, so no leaders (not the whole headcount).
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost=15"));
    EXPECT_EQ(leaders(), "0");
    EXPECT_EQ(sheet.GetCellText(4, 4), "3");
    // No post below 20 at all: L stays 0 and posts 0 and 1 hold nobody.
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost < 20"));
    QuarterWageReport r = Run(1);
    EXPECT_EQ(r.LeaderPost(), 0);
    EXPECT_EQ(sheet.GetCellText(5, 4), "0");
    // An enterprise counts posts 21..23 whatever its smallest post.
    SetUnit(QStringLiteral("企业事业单位"), QStringLiteral("否"));
    Staff(3, QStringLiteral("M"), 12);
    EXPECT_EQ(leaders(), "1");
}

TEST_F(QuarterReportTest, AveragePayIsEmptyWithoutAverageHeadcountAndZeroWithoutWages) {
    NewUnit(QStringLiteral("企业事业单位"));
    // 在岗职工: ten persons at the start, one in month 3 with wages: 11 / 4 = 3 persons.
    for (int i = 0; i < 10; ++i) Staff(0, QStringLiteral("A%1").arg(i), 41, 1);
    Staff(3, QStringLiteral("A0"), 41, 1);
    Wage(3, QStringLiteral("A0"), 3000);
    // 劳务派遣人员: one person in month 3 only, with wages: 1 / 4 rounds to 0 persons.
    Staff(3, QStringLiteral("B"), 54, 2);
    Wage(3, QStringLiteral("B"), 4000);
    // 其他从业人员: two persons in every month, no wages.
    for (int m = 0; m <= 3; ++m) {
        Staff(m, QStringLiteral("C1"), 64, 3);
        Staff(m, QStringLiteral("C2"), 64, 3);
    }
    Run(1);
    EXPECT_EQ(sheet.GetCellText(10, 5), "3");
    EXPECT_EQ(sheet.GetCellText(19, 5), "1000");
    EXPECT_EQ(sheet.GetCellText(11, 5), "0");
    EXPECT_EQ(sheet.GetCellText(16, 5), "4");
    EXPECT_EQ(sheet.GetCellText(20, 5), "");
    EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I22")), "NULL");
    EXPECT_EQ(sheet.GetCellText(12, 5), "2");
    EXPECT_EQ(sheet.GetCellText(17, 5), "0");
    EXPECT_EQ(sheet.GetCellText(21, 5), "0");
    EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I23")), "0");
}

TEST_F(QuarterReportTest, TheSecondQuarterDividesBySevenAndSumsMonthsOneToSix) {
    NewUnit(QStringLiteral("企业事业单位"));
    for (int i = 0; i < 10; ++i) Staff(0, QStringLiteral("S%1").arg(i), 41);
    for (int m = 1; m <= 6; ++m) {
        Staff(m, QStringLiteral("S0"), 41);
        Wage(m, QStringLiteral("S0"), 1000);
    }
    Staff(9, QStringLiteral("S0"), 41);
    Wage(9, QStringLiteral("S0"), 50000);
    Run(1);
    EXPECT_EQ(sheet.GetCellText(9, 5), "3");   // (10 + 3) / 4
    EXPECT_EQ(sheet.GetCellText(14, 5), "3");  // months 1..3
    EXPECT_EQ(sheet.GetCellText(4, 4), "1");
    Run(2);
    EXPECT_EQ(sheet.GetCellText(9, 5), "2");   // (10 + 6) / 7
    EXPECT_EQ(sheet.GetCellText(14, 5), "6");  // months 1..6, not month 9
    // Only the last computation's row is kept.
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from JGLabor_info")), "1");
    EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I12")), "6");
}

TEST_F(QuarterReportTest, TheUploadWritesThisFormsOwnFigures) {
    base.RunFixture(QStringLiteral("report_quarter.sql"));
    TSheetBook other;
    const QuarterWageReport first = Run(1);
    // A later window computes quarter 2 (no data after month 3: its figures differ).
    QuarterWageReport second(Quarter(2));
    second.Compute(db(), UnitOf(base), other, pb);
    EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I08")), "3");  // 18 / 7
    const QString gzsb = base.paths().Gzsb() + QLatin1Char('/');
    QDir().mkpath(gzsb);
    for (const char* name : {"12345678X_i202.dbf", "12345678X_1_i202.dbf", "12345678X_2_i202.dbf"}) {
        QFile f(gzsb + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    ASSERT_TRUE(first.Upload(db(), ui, base.paths(), QStringLiteral("12345678X")));
    const QString folder = QDir::toNativeSeparators(gzsb);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("文件所在路径:'") + folder + QStringLiteral("';\n文件名为:12345678X_1_i202.dbf"));
    EXPECT_EQ(ui.shown[1].sort, ShownBox::Sort::OpenFolder);
    // The name without a quarter is removed; the other quarter's file stays.
    EXPECT_FALSE(QFileInfo::exists(gzsb + QStringLiteral("12345678X_i202.dbf")));
    EXPECT_TRUE(QFileInfo::exists(gzsb + QStringLiteral("12345678X_2_i202.dbf")));

    test::DbfFile f(gzsb + QStringLiteral("12345678X_1_i202.dbf"));
    ASSERT_NE(f.h, nullptr);
    EXPECT_EQ(f.Names(), ColumnsOf(QuarterWageForm()));
    ASSERT_EQ(DBFGetRecordCount(f.h), 1);
    EXPECT_EQ(f.Text(0, "frdm"), QStringLiteral("12345678X"));
    EXPECT_EQ(f.Number(0, "I08"), 5);  // quarter 1's average, not quarter 2's
    EXPECT_EQ(f.Number(0, "I13"), 11);
    EXPECT_EQ(f.Number(0, "I21"), 3667);
    EXPECT_TRUE(f.IsNull(0, "I47"));
    EXPECT_EQ(f.Text(0, "frmc"), QStringLiteral("河畔'测试单位"));
}

TEST_F(QuarterReportTest, AFailedStoreKeepsThePreviousRow) {
    base.RunFixture(QStringLiteral("report_quarter.sql"));
    Run(1);
    db().Exec(QStringLiteral(
        "create trigger refuse before insert on JGLabor_info begin select raise(abort, 'disk full'); end"));
    db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sIsok) values (3, 'new', '1')"));
    EXPECT_THROW(Run(1), Refused);
    EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("I01")), "4");
    EXPECT_EQ(test::Stored(base, QStringLiteral("JGLabor_info"), QStringLiteral("frmc")),
              QStringLiteral("河畔'测试单位"));
}

TEST_F(QuarterReportTest, TheGatesRefuseWithTheirMessages) {
    base.RunFixture(QStringLiteral("report_quarter.sql"));
    MainState state = UnitOf(base);
    Gates gates(db(), state, ui);
    EXPECT_TRUE(QuarterWageReport(Quarter(1)).PassGates(gates, ui));
    EXPECT_TRUE(ui.shown.empty());
    // No data in month 6.
    EXPECT_FALSE(QuarterWageReport(Quarter(2)).PassGates(gates, ui));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("无6月工资数据，无法统计。")});
    // Staff rows of month 6 but no wage row: said, not silent.
    ui.Clear();
    db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sIsok) values (6, 'P1', '1')"));
    EXPECT_FALSE(QuarterWageReport(Quarter(2)).PassGates(gates, ui));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("无6月工资数据，无法统计。")});
    // A wage error in month 2 stops the command after its own message.
    ui.Clear();
    db().Exec(QStringLiteral("update Wage_Info set wFlag='0' where Smon=2 and sNumber='P1'"));
    EXPECT_THROW(QuarterWageReport(Quarter(1)).PassGates(gates, ui), SilentAbort);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("2月份,有工资数据错误，请纠正。")});
}

TEST_F(QuarterReportTest, TheWorkbookLayoutOfTheForm) {
    base.RunFixture(QStringLiteral("report_quarter.sql"));
    const QuarterWageReport r = Run(3 - 2);
    const ExportLayout l = r.Layout(UnitOf(base));
    EXPECT_EQ(WorkbookPath(base.paths(), l.stem),
              base.paths().Xls() + QStringLiteral("/基础定期报表I202-1_(一季度).xlsx"));
    const WorkbookModel m = BuildWorkbook(l, sheet);
    EXPECT_EQ(m.Text(1, 1), QStringLiteral("(二)基层定报表式"));
    EXPECT_EQ(m.Text(2, 2), QStringLiteral("(一季度)"));
    EXPECT_EQ(m.Text(5, 1), QStringLiteral("单位名称：河畔'测试单位"));
    EXPECT_EQ(m.Text(6, 1), QStringLiteral("法人单位代码：12345678X"));
    EXPECT_EQ(m.Text(3, 5), QStringLiteral("表   号：202-1表"));
    EXPECT_EQ(m.Text(7, 5), QStringLiteral("1-本季"));  // sheet row 1 at row 7
    EXPECT_EQ(m.Text(10, 3), QStringLiteral("01"));
    EXPECT_EQ(m.Text(25, 5), QStringLiteral("3667"));
    EXPECT_EQ(m.Find(7, 1)->align, HAlign::Center);
    EXPECT_EQ(m.Find(9, 1)->align, HAlign::General);
    EXPECT_EQ(m.Find(9, 2)->align, HAlign::Center);
    // The supplementary lines are merged across the table; the signature line closes it.
    EXPECT_NE(m.MergeAt(30, 5), nullptr);
    EXPECT_EQ(m.Text(30, 1), sheet.GetCellText(24, 1));
    EXPECT_TRUE(m.Text(38, 1).startsWith(QStringLiteral("单位负责人：")));
    EXPECT_EQ(m.Find(28, 3)->bottom, kThick);
    EXPECT_EQ(m.Find(37, 3)->bottom, kThin);
    EXPECT_EQ(m.Find(20, 3)->left, kThin);
    EXPECT_TRUE(m.landscape);
    EXPECT_NEAR(m.MarginInches().top, 25.0 / 72, 1e-9);
    EXPECT_EQ(m.sheetName, QStringLiteral("基础定期报表"));
}

// Each period knows its end month, its label and the workbook it names; the months up to
// December, which only the benchmark runs, are the fourth.
TEST(QuarterWageReportPeriod, EndMonthLabelAndWorkbookOfEachPeriod) {
    const struct {
        QuarterWageReport report;
        int end;
        const char16_t* label;
    } cases[] = {{QuarterWageReport(Quarter(1)), 3, u"(一季度)"},
                 {QuarterWageReport(Quarter(2)), 6, u"(二季度)"},
                 {QuarterWageReport(Quarter(3)), 9, u"(三季度)"},
                 {QuarterWageReport::ToYearEnd(), 12, u"(四季度)"}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.report.EndMonth(), Month(c.end));
        EXPECT_EQ(c.report.QuarterLabel(), QString::fromUtf16(c.label));
        EXPECT_EQ(c.report.WorkbookStem(), QStringLiteral("基础定期报表I202-1_") + QString::fromUtf16(c.label));
    }
}
