// The workbooks of the four Gid-matrix summaries, read from the model the export builds.

#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/report/GidLayouts.h"
#include "core/report/TalentSummary.h"
#include "core/report/WageSummary.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>

using namespace qm;
using namespace qm::report;

namespace {

class GidLayoutsTest : public ::testing::Test {
protected:
    test::TempBase base;
    ScriptedUiService ui;
    SummaryUnit unit;

    WorkbookModel Wage(GidSummary id, const QString& tpl) {
        base.RunFixture(QStringLiteral("wage_summaries.sql"));
        TSheetBook sheet;
        ApplySheetTemplate(sheet, tpl);
        EXPECT_TRUE(RunWageSummary(base.db(), ui, sheet, id, {1, 3}, QStringLiteral("2012-12-09"), unit));
        return BuildWorkbook(WageSummaryLayout(id, {1, 3}, unit), sheet);
    }
    static bool Merged(const WorkbookModel& m, const QString& range) {
        for (const XRange& r : m.Merges())
            if (r == A1(range)) return true;
        return false;
    }
};

TEST_F(GidLayoutsTest, EnterpriseWageSummaryWorkbook) {
    const WorkbookModel m = Wage(GidSummary::I704, QStringLiteral("i704"));
    EXPECT_EQ(WageSummaryStem({1, 3}), QStringLiteral("工资1_3"));
    EXPECT_EQ(m.sheetName, QStringLiteral("人员基本信息"));
    EXPECT_EQ(m.Text(1, 1), QStringLiteral("企业事业单位工资情况汇总表"));
    EXPECT_TRUE(Merged(m, QStringLiteral("A1:M1")));
    EXPECT_EQ(m.Text(7, 1), QStringLiteral("单位名称：青石测试单位"));
    EXPECT_EQ(m.Text(8, 1), QStringLiteral("法人单位代码：QS0000017"));
    EXPECT_EQ(m.Text(4, 9), QStringLiteral("表    号： TeskI704表"));
    EXPECT_TRUE(Merged(m, QStringLiteral("I8:M8")));
    EXPECT_EQ(m.Text(9, 2), QStringLiteral("代码"));
    EXPECT_EQ(m.Text(9, 7), QStringLiteral("学历状况"));
    EXPECT_EQ(m.Text(9, 13), QStringLiteral("工资总额"));
    EXPECT_EQ(m.Text(10, 4), QStringLiteral("女性"));  // the copied column heads stay under the merged block
    // Sheet row r goes to row r + 8: line 1 in row 12, line 40 in row 51.
    EXPECT_EQ(m.Text(12, 1), QStringLiteral("合计"));
    EXPECT_EQ(m.Text(12, 3), QStringLiteral("8"));
    EXPECT_EQ(m.Text(12, 13), QStringLiteral("22"));
    EXPECT_EQ(m.Text(22, 13), QStringLiteral("-1"));
    EXPECT_EQ(m.Text(51, 13), QStringLiteral("5"));
    EXPECT_FALSE(m.HasText(52, 1));
    ASSERT_NE(m.Find(51, 5), nullptr);
    EXPECT_EQ(m.Find(51, 5)->bottom, kThick);
    EXPECT_EQ(m.Find(8, 5)->bottom, kThick);
}

TEST_F(GidLayoutsTest, OrganWageSummaryWorkbook) {
    const WorkbookModel m = Wage(GidSummary::I705, QStringLiteral("i705"));
    EXPECT_EQ(m.Text(1, 1), QStringLiteral("机关单位汇总表"));
    EXPECT_EQ(m.Text(4, 9), QStringLiteral("表    号：TeskI705表"));
    EXPECT_EQ(m.Text(5, 9), QStringLiteral("制定单位:Korvath省统计局"));
    EXPECT_EQ(m.Text(11, 3), QStringLiteral("1"));  // the column numbers of sheet row 3
    EXPECT_EQ(m.Text(32, 1), QStringLiteral("五、其他人员"));
    EXPECT_EQ(m.Text(32, 13), QStringLiteral("12"));
    EXPECT_FALSE(m.HasText(33, 1));
    EXPECT_EQ(m.Find(32, 1)->bottom, kThick);
    EXPECT_EQ(m.margins.top, 100);
    EXPECT_EQ(m.margins.left, 30);
    EXPECT_FALSE(m.landscape);
}

TEST_F(GidLayoutsTest, YearEndTalentWorkbook) {
    base.RunFixture(QStringLiteral("talent_year_end.sql"));
    TSheetBook x;
    ApplySheetTemplate(x, QStringLiteral("x505"));
    ASSERT_TRUE(RunTalentTable(base.db(), ui, x, GidSummary::X505, QStringLiteral("2012-12-31"), unit));
    const WorkbookModel a = BuildWorkbook(TalentLayout(GidSummary::X505, unit), x);
    EXPECT_EQ(TalentStem(GidSummary::X505), QStringLiteral("汇总表"));
    EXPECT_EQ(a.Text(1, 1), QStringLiteral("企业事业单位汇总表"));
    EXPECT_EQ(a.Text(4, 15), QStringLiteral("表    号： X505表"));
    EXPECT_EQ(a.Text(9, 18), QStringLiteral("持证状况"));
    EXPECT_EQ(a.Text(12, 4), QStringLiteral("7"));
    EXPECT_EQ(a.Text(12, 18), QStringLiteral("-"));
    EXPECT_EQ(a.Text(28, 1), QStringLiteral("           初级工"));
    EXPECT_EQ(a.Find(28, 19)->bottom, kThick);
    EXPECT_EQ(a.margins.top, 50);
}

TEST_F(GidLayoutsTest, StartOfPeriodSurveyWorkbook) {
    base.RunFixture(QStringLiteral("talent_start.sql"));
    TSheetBook s;
    ApplySheetTemplate(s, QStringLiteral("i303"));
    ASSERT_TRUE(RunTalentTable(base.db(), ui, s, GidSummary::I303_1, QStringLiteral("2012-01-01"), unit));
    const WorkbookModel b = BuildWorkbook(TalentLayout(GidSummary::I303_1, unit), s);
    EXPECT_EQ(TalentStem(GidSummary::I303_1), QStringLiteral("汇总"));
    EXPECT_EQ(b.Text(1, 1), QStringLiteral("非公有制企业（单位）人才资源状况调查表"));
    EXPECT_EQ(b.Text(2, 7), QStringLiteral("表  号： Ⅰ303-1   表"));
    EXPECT_EQ(b.Text(6, 1), QStringLiteral("单位名称：青石测试单位"));
    EXPECT_EQ(b.Text(11, 3), QStringLiteral("7"));  // sheet row 4 goes to row 11
    EXPECT_EQ(b.Text(50, 1), QStringLiteral("    4、其他岗位工作人员"));
    EXPECT_EQ(b.Find(50, 11)->bottom, kThick);
    EXPECT_TRUE(b.landscape);
    EXPECT_TRUE(ui.shown.empty());
}

// The closing message names the workbook as it lies in XLS/, the file a person will look for.
TEST_F(GidLayoutsTest, EachSummaryExportNamesTheFileItWrote) {
    MemoryProgress pb;
    TSheetBook sheet;
    for (const auto& [layout, file] : {std::pair{WageSummaryLayout(GidSummary::I705, {1, 12}, unit), "工资1_12.xlsx"},
                                       std::pair{TalentLayout(GidSummary::X505, unit), "汇总表.xlsx"},
                                       std::pair{TalentLayout(GidSummary::I303_1, unit), "汇总.xlsx"}}) {
        ui.Clear();
        EXPECT_TRUE(ExportWorkbook(ui, pb, base.paths(), layout, sheet));
        EXPECT_EQ(ui.Texts().value(0), QStringLiteral("你导出到'") + QDir::toNativeSeparators(base.paths().Xls()) +
                                           QStringLiteral("/'里,文件名为:") + QString::fromUtf8(file));
        EXPECT_TRUE(QFileInfo::exists(base.paths().Xls() + QLatin1Char('/') + QString::fromUtf8(file)));
    }
}

}  // namespace
