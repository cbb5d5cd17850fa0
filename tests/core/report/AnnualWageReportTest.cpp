// Form 102-1 computed on small units whose figures were worked out by hand.

#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Errors.h"
#include "core/report/AnnualWageReport.h"
#include "core/report/LeaderPost.h"
#include "core/report/ReportForms.h"
#include "core/sheet/SheetTemplate.h"
#include "core/unit/Gates.h"
#include "tests/core/files/XlsxZipTest.h"
#include "tests/core/report/ReportTestSupport.h"

#include <QDir>
#include <QFileInfo>

using namespace qm;
using namespace qm::report;

namespace {

class AnnualReportTest : public ::testing::Test {
protected:
    db::Connection& db() { return base.db(); }
    AnnualWageReport Run() {
        AnnualWageReport r;
        r.Compute(db(), UnitOf(base), sheet, pb);
        return r;
    }
    QString Stored(const char* column) {
        return test::Stored(base, QStringLiteral("NGLabor_info"), QString::fromLatin1(column));
    }
    void SetInfo(const QString& depInfo) { db().Exec(QStringLiteral("update Dep_Info set DepInfo=?"), {depInfo}); }
    void Staff(int mon, const QString& number, int post) {
        db().Exec(QStringLiteral(
                      "insert into Staff_moninfo (sMon, sNumber, sName, sPost, ssf, sIsok) values (?,?,?,?,1,'1')"),
                  {mon, number, number, post});
    }
    void Wage(int mon, const QString& number, double total) {
        db().Exec(QStringLiteral(
                      "insert into Wage_Info (sNumber, sName, Smon, sTotal, sFlag, wFlag) values (?,?,?,?,'1','1')"),
                  {number, number, mon, total});
    }
    static QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

    test::TempBase base;
    TSheetBook sheet;
    MemoryProgress pb;
    ScriptedUiService ui;
};

}  // namespace

TEST_F(AnnualReportTest, TheSmallUnitMatchesTheHandWorkedFigures) {
    base.RunFixture(QStringLiteral("report_annual.sql"));
    Run();
    // Among them: 在岗职工 61 -> 60 thousand so the three types add up to 83; its
    // components 34, 14, 7, 4 -> 35 so they add up to 60; 81 24 -> 23 so the occupations
    // add up to 83; the December half yuan read to the even whole number.
    EXPECT_EQ(test::SheetDiff(sheet, QStringLiteral("nglabor_cells.csv")), QString());
    EXPECT_EQ(test::RowDiff(base, QStringLiteral("NGLabor_info"), QStringLiteral("nglabor_row.csv")), QString());
    // Figures checked in their named columns.
    EXPECT_EQ(Stored("I71"), "1");
    EXPECT_EQ(Stored("A21"), "21000");
    EXPECT_EQ(Stored("I51"), "1");
    EXPECT_EQ(Stored("I85"), "21");
    EXPECT_EQ(Stored("I14"), "35");
    EXPECT_EQ(Stored("A13"), "1");
    EXPECT_EQ(Stored("I43"), "3");
    EXPECT_EQ(Stored("I46"), "NULL");
    // The group heads carry no figure.
    for (auto [r, c] :
         {std::pair{7, 4}, {11, 4}, {16, 4}, {37, 4}, {4, 9}, {11, 9}, {13, 9}, {21, 9}, {29, 9}, {33, 9}})
        EXPECT_EQ(sheet.GetCellText(r, c), QString()) << r << "," << c;
    EXPECT_EQ(pb.Position(), 0);
    EXPECT_EQ(pb.highest, 100);
}

TEST_F(AnnualReportTest, SixtyFourFiguresAndSevenSupplementsInTheTablesOrder) {
    EXPECT_EQ(ColumnsOf(AnnualWageForm()).size(), 73);
    const SheetTemplate t = LoadSheetTemplate(AnnualWageForm().sheetTemplate);
    // Codes with a leading zero and the A codes stay text.
    EXPECT_EQ(t.Cell(4, 3), QStringLiteral("01"));
    EXPECT_EQ(t.Cell(12, 3), QStringLiteral("A01"));
    EXPECT_EQ(t.Cell(3, 8), QStringLiteral("11"));
    EXPECT_EQ(t.Cell(40, 8), QStringLiteral("51"));
    EXPECT_EQ(t.Cell(50, 1), QStringLiteral("  三、不能填报\"从业人员\"和\"工资总额\"数据的法人单位填报      "));
}

TEST_F(AnnualReportTest, TheUnitsClassDecidesTheSupplementLinesAndValues) {
    base.RunFixture(QStringLiteral("report_annual.sql"));
    struct Case {
        const char* info;
        std::array<const char*, 7> values;  // 48, 41, 42, 43, 44, 46, 47
    };
    const char* const cols[] = {"I48", "I41", "I42", "I43", "I44", "I46", "I47"};
    for (const Case& c : {Case{"否", {"NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL"}},
                          Case{"规上", {"3", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL"}},
                          Case{"是1", {"3", "2", "1", "3", "2", "NULL", "NULL"}},
                          Case{"是2", {"3", "NULL", "NULL", "NULL", "NULL", "2", "3"}}}) {
        SCOPED_TRACE(c.info);
        SetInfo(QString::fromUtf8(c.info));
        Run();
        for (int i = 0; i < 7; ++i) EXPECT_EQ(Stored(cols[i]), c.values[size_t(i)]) << cols[i];
        EXPECT_EQ(Stored("I01"), "5");  // the 64 others stay numbers
    }
    // 是2: the labour-subcontracting lines with figures, the contracting ones without.
    EXPECT_EQ(sheet.GetCellText(42, 1),
              QStringLiteral(
                  "   一、直接从事生产经营活动的平均人数(48)   3  人(限规模以上工业和有资质的建筑业法人单位填报)"));
    EXPECT_EQ(sheet.GetCellText(43, 1),
              QStringLiteral("   二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)") + Blanks(15));
    EXPECT_EQ(sheet.GetCellText(44, 1),
              Blanks(11) + QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)") +
                  Blanks(7) + QStringLiteral("人"));
    EXPECT_EQ(sheet.GetCellText(45, 1),
              Blanks(95) + QStringLiteral("其中：一级建造师(42)") + Blanks(6) + QStringLiteral("人"));
    EXPECT_EQ(sheet.GetCellText(46, 1),
              Blanks(95) + QStringLiteral("其中：现场施工人员(43)") + Blanks(7) + QStringLiteral("人"));
    EXPECT_EQ(sheet.GetCellText(47, 1),
              Blanks(103) + QStringLiteral("其中：持证上岗人员(44)") + Blanks(6) + QStringLiteral("人"));
    EXPECT_EQ(sheet.GetCellText(48, 1),
              Blanks(12) + QStringLiteral("劳务分包法人单位从业人员期末人数：其中：工程技术人员(46)   2  人"));
    EXPECT_EQ(sheet.GetCellText(49, 1), Blanks(87) + QStringLiteral("其中：现场施工人员(47)  3  人"));
    EXPECT_EQ(sheet.GetCellText(51, 1), Blanks(11) + QStringLiteral("发放工资的法人单位：组织机构代码(49)  :"));
    EXPECT_EQ(sheet.GetCellText(52, 1), Blanks(50) + QStringLiteral("单位详细名称(50)  : "));
    // 是1: the contracting lines with figures, the others without.
    SetInfo(QStringLiteral("是1"));
    Run();
    EXPECT_EQ(sheet.GetCellText(44, 1),
              Blanks(11) + QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)   2  人"));
    EXPECT_EQ(sheet.GetCellText(47, 1), Blanks(103) + QStringLiteral("其中：持证上岗人员(44)   2  人"));
    EXPECT_EQ(sheet.GetCellText(49, 1),
              Blanks(87) + QStringLiteral("其中：现场施工人员(47)") + Blanks(6) + QStringLiteral("人"));
    // 否: the 48 line keeps its two texts with five blanks between them.
    SetInfo(QStringLiteral("否"));
    Run();
    EXPECT_EQ(sheet.GetCellText(42, 1), QStringLiteral("   一、直接从事生产经营活动的平均人数(48)   ") + Blanks(5) +
                                            QStringLiteral("  人(限规模以上工业和有资质的建筑业法人单位填报)"));
}

TEST_F(AnnualReportTest, OrganWithPostsElevenToFourteen) {
    db().Exec(
        QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                       "values ('机关', '987654321', '机关单位', '否', '1', '99')"));
    // Year end: one person in each of posts 11..15, 18, 19, 100 and 53; all months alike.
    const int posts[] = {11, 12, 13, 14, 15, 18, 19, 100, 53};
    db::Transaction t(db());
    for (int m = 0; m <= 12; ++m)
        for (int p : posts) {
            Staff(m, QStringLiteral("N%1").arg(p), p);
            if (m > 0) Wage(m, QStringLiteral("N%1").arg(p), 1000);
        }
    t.Commit();
    const AnnualWageReport r = Run();
    EXPECT_EQ(r.LeaderPost(), 11);
    EXPECT_EQ(sheet.GetCellText(17, 4), "2");  // 71: posts 11, 12
    EXPECT_EQ(sheet.GetCellText(23, 4), "4");  // 73: posts 13, 14, 15, 18
    EXPECT_EQ(sheet.GetCellText(25, 4), "1");  // 74: post 100
    EXPECT_EQ(sheet.GetCellText(27, 4), "1");  // 75: post 100
    EXPECT_EQ(sheet.GetCellText(34, 4), "1");  // A17: post 100
    EXPECT_EQ(sheet.GetCellText(26, 4), "2");  // A10: posts 5x and 19
    EXPECT_EQ(sheet.GetCellText(35, 4), "1");  // A18: post 19
    EXPECT_EQ(sheet.GetCellText(5, 9), "2");   // 76
    EXPECT_EQ(sheet.GetCellText(7, 9), "4");   // 78
    EXPECT_EQ(sheet.GetCellText(8, 9), "1");   // 79: post 100
    EXPECT_EQ(sheet.GetCellText(9, 9), "2");   // A19: posts 5x and 19
    EXPECT_EQ(sheet.GetCellText(10, 9), "1");  // 80: post 100
    // Wages: 12,000 yuan a person; the occupations add up to the total of 9 persons (108).
    EXPECT_EQ(sheet.GetCellText(12, 9), "108");
    EXPECT_EQ(sheet.GetCellText(22, 9), "24");  // 81: posts 11, 12
    EXPECT_EQ(sheet.GetCellText(24, 9), "48");  // 83: posts 13, 14, 15, 18
    EXPECT_EQ(sheet.GetCellText(25, 9), "12");  // 84: post 100
    EXPECT_EQ(sheet.GetCellText(26, 9), "24");  // A20: posts 53 and 19
    EXPECT_EQ(sheet.GetCellText(27, 9), "0");   // 85 is 0 for an organ
    EXPECT_EQ(sheet.GetCellText(39, 9), "0");   // and its pay
    EXPECT_EQ(sheet.GetCellText(38, 9), "12000");
    EXPECT_EQ(Stored("I85"), "0");
}

TEST_F(AnnualReportTest, OrganLeaderVariantsFifteenNoneAndAboveFifteen) {
    db().Exec(
        QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                       "values ('机关', '987654321', '机关单位', '否', '1', '99')"));
    for (int p : {15, 16, 18, 18, 19}) Staff(12, QStringLiteral("N%1").arg(p), p);
    Run();
    EXPECT_EQ(sheet.GetCellText(17, 4), "1");  // L = 15: post 15
    EXPECT_EQ(sheet.GetCellText(23, 4), "2");  // clerks: post 18 only
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost=15"));
    Run();
    EXPECT_EQ(sheet.GetCellText(17, 4), "0");  // L = 16: no leader post held
    EXPECT_EQ(sheet.GetCellText(5, 9), "0");
    EXPECT_EQ(sheet.GetCellText(23, 4), "2");
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost < 20"));
    Staff(12, QStringLiteral("S2"), 2);
    Staff(12, QStringLiteral("S3"), 3);
    Staff(12, QStringLiteral("S4"), 4);
    // No post below 20 but 2, 3 and 4: L = 2 gives leaders 2, 3 and clerks 4, 5, 6, 18.
    const AnnualWageReport r = Run();
    EXPECT_EQ(r.LeaderPost(), 2);
    EXPECT_EQ(sheet.GetCellText(17, 4), "2");
    EXPECT_EQ(sheet.GetCellText(23, 4), "1");
}

TEST_F(AnnualReportTest, AverageWithWagesButNoAverageHeadcountPaysZero) {
    db().Exec(
        QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                       "values ('单位', '987654321', '企业事业单位', '否', '1', '99')"));
    // One person in December only: 1 / 13 rounds to 0 persons, with 5,000 yuan of wages.
    Staff(12, QStringLiteral("P"), 41);
    Wage(12, QStringLiteral("P"), 5000);
    Run();
    EXPECT_EQ(sheet.GetCellText(36, 4), "0");
    EXPECT_EQ(sheet.GetCellText(12, 9), "5");
    EXPECT_EQ(sheet.GetCellText(28, 9), "0");
    EXPECT_EQ(Stored("I20"), "0");
}

TEST_F(AnnualReportTest, TheGateRefusesErrorRowsOfTheYear) {
    base.RunFixture(QStringLiteral("report_annual.sql"));
    MainState state = UnitOf(base);
    Gates gates(db(), state, ui);
    EXPECT_TRUE(AnnualWageReport::PassGates(gates, ui));
    db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0' where sMon=4 and sNumber='P2'"));
    EXPECT_THROW(AnnualWageReport::PassGates(gates, ui), SilentAbort);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("4月份,有人员数据错误，请纠正。")});
    ui.Clear();
    db().Exec(QStringLiteral("delete from Staff_moninfo where sMon=12"));
    db().Exec(QStringLiteral("delete from Wage_Info where Smon=12"));
    EXPECT_FALSE(AnnualWageReport::PassGates(gates, ui));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("无12月数据，无法统计。")});
}

TEST_F(AnnualReportTest, UploadAndWorkbook) {
    base.RunFixture(QStringLiteral("report_annual.sql"));
    const AnnualWageReport r = Run();
    const MainState unit = UnitOf(base);
    // Another computation changed the table since: the upload writes this form's row.
    db().Exec(QStringLiteral("update NGLabor_info set I01 = 99"));
    ASSERT_TRUE(r.Upload(db(), ui, base.paths(), unit.DepNo));
    const QString file = base.paths().Gzsb() + QStringLiteral("/12345678X_i102.dbf");
    test::DbfFile f(file);
    ASSERT_NE(f.h, nullptr);
    EXPECT_EQ(f.Names(), ColumnsOf(AnnualWageForm()));
    ASSERT_EQ(DBFGetRecordCount(f.h), 1);
    EXPECT_EQ(f.Number(0, "I01"), 5);
    EXPECT_EQ(f.Number(0, "A21"), 21000);
    EXPECT_TRUE(f.IsNull(0, "I46"));
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("文件所在路径:'") +
                                    QDir::toNativeSeparators(base.paths().Gzsb() + QLatin1Char('/')) +
                                    QStringLiteral("';\n文件名为:12345678X_i102.dbf"));

    // The workbook only for 2012 and 2013.
    ui.Clear();
    EXPECT_FALSE(AnnualWageReport::Export(ui, pb, base.paths(), unit, QStringLiteral("2014"), sheet));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("年份只能为2012或2013。")});
    EXPECT_FALSE(QFileInfo::exists(base.paths().Xls()));
    ui.Clear();
    AnnualWageReport::Export(ui, pb, base.paths(), unit, QStringLiteral("2013"), sheet);
    const QString path = WorkbookPath(base.paths(), AnnualWageReport::WorkbookStem(unit.DepNo));
    EXPECT_EQ(path, base.paths().Xls() + QStringLiteral("/基础定期报表I102-1_12345678X.xlsx"));
    const test::XlsxSheet x = test::ReadXlsxSheet(path);
    ASSERT_TRUE(x.ok);
    EXPECT_EQ(x.cells.value("D3"), QStringLiteral("      2013年"));
    EXPECT_EQ(x.cells.value("A1"), QStringLiteral("基础定期报表"));
    EXPECT_EQ(x.cells.value("D10"), QStringLiteral("5"));
    EXPECT_EQ(x.cells.value("C10"), QStringLiteral("01"));
    EXPECT_TRUE(x.merges.contains("E7:E45"));
    EXPECT_TRUE(x.merges.contains("G3:I3"));

    // The supplementary lines get their own indents in the workbook (rows 48..58).
    const WorkbookModel m = BuildWorkbook(AnnualWageReport::Layout(unit, QStringLiteral("2012")), sheet);
    EXPECT_EQ(
        m.Text(48, 1),
        QStringLiteral(" 一、直接从事生产经营活动的平均人数(48)   3  人(限规模以上工业和有资质的建筑业法人单位填报)"));
    EXPECT_EQ(m.Text(49, 1), QStringLiteral(" 二、有资质的建筑业法人单位用工情况(限有资质的建筑业法人单位填报)"));
    EXPECT_EQ(m.Text(50, 1),
              Blanks(4) + QStringLiteral("总承包和专业承包法人单位从业人员期末人数：其中：工程技术人员(41)   2  人"));
    EXPECT_EQ(m.Text(51, 1), Blanks(46) + QStringLiteral("其中：一级建造师(42)   1  人"));
    EXPECT_EQ(m.Text(52, 1), Blanks(46) + QStringLiteral("其中：现场施工人员(43)   3  人"));
    EXPECT_EQ(m.Text(53, 1), Blanks(49) + QStringLiteral("其中：持证上岗人员(44)   2  人"));
    EXPECT_EQ(m.Text(54, 1),
              Blanks(4) + QStringLiteral("劳务分包法人单位从业人员期末人数：其中：工程技术人员(46)       人"));
    EXPECT_EQ(m.Text(55, 1), Blanks(41) + QStringLiteral("其中：现场施工人员(47)      人"));
    EXPECT_EQ(m.Text(56, 1), QStringLiteral(" 三、不能填报\"从业人员\"和\"工资总额\"数据的法人单位填报"));
    EXPECT_EQ(m.Text(57, 1), Blanks(4) + QStringLiteral("发放工资的法人单位：组织机构代码(49)  :"));
    EXPECT_EQ(m.Text(58, 1), Blanks(24) + QStringLiteral("单位详细名称(50)  :"));
    EXPECT_TRUE(m.Text(59, 1).startsWith(QStringLiteral("单位负责人：")));
    EXPECT_EQ(*m.RowHeight(1), 20);
    EXPECT_EQ(*m.RowHeight(50), 12);
    EXPECT_FALSE(m.landscape);
    EXPECT_NEAR(m.MarginInches().left, 30.0 / 72, 1e-9);
    EXPECT_EQ(m.Find(46, 2)->bottom, kThick);
    EXPECT_EQ(m.Find(58, 2)->bottom, kThin);

    // Print looks for the unit's workbook.
    ui.Clear();
    PrintWorkbook(ui, base.paths(), AnnualWageReport::WorkbookStem(QStringLiteral("000000000")));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("必须导成EXCEL才支持打印。")});
}
