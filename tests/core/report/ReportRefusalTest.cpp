// Reports that cannot be made. A wage sum beyond what a report's result table and upload file
// hold (a predecessor's 1e300 or 9e18 flagged valid) refuses, naming the indicator and the
// figure; a database that will not take the result (read-only, locked by another program)
// refuses in Chinese. Either way the result table keeps its row, the sheet is not left
// half-held, and the main window's bar goes back to 0.

#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/report/AnnualLabourReport.h"
#include "core/report/AnnualWageReport.h"
#include "core/report/QuarterLabourReport.h"
#include "core/report/QuarterWageReport.h"
#include "core/report/Refusal.h"
#include "core/report/WageSummary.h"
#include "core/sheet/SheetTemplate.h"
#include "tests/core/report/ReportTestSupport.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::report;

namespace {

struct Form {
    const char *name, *fixture, *table;
    int lastWageMonth;     // a wage row of months 1..this is made too large
    const char* wageCell;  // the first wage indicator, as the refusal names it
};
const Form kForms[] = {
    {"202-1", "report_quarter.sql", "JGLabor_info", 3, "从业人员工资总额(12)"},
    {"102-1", "report_annual.sql", "NGLabor_info", 12, "(一)从业人员工资总额(12)"},
    {"I202-2", "labour_quarter.sql", "JLabor_info", 3, "三、从业人员劳动报酬(I12)"},
    {"I102-2", "labour_annual.sql", "NLabor_info", 12, "三、从业人员劳动报酬(I12)"},
};

class ReportRefusalTest : public ::testing::Test {
protected:
    void Compute(const Form& f, db::Connection& c) {
        const QString name = QString::fromLatin1(f.name);
        if (name == QLatin1String("202-1")) QuarterWageReport(Quarter(1)).Compute(c, unit, *sheet, pb);
        if (name == QLatin1String("102-1")) AnnualWageReport().Compute(c, unit, *sheet, pb);
        if (name == QLatin1String("I202-2")) {
            QuarterLabourReport::Prepare(*sheet);
            QuarterLabourReport(MonthRun(Quarter(1))).Compute(c, unit, *sheet, pb);
        }
        if (name == QLatin1String("I102-2")) {
            AnnualLabourReport::Prepare(*sheet);
            AnnualLabourReport().Compute(c, unit, *sheet, pb);
        }
    }
    // The form's unit with its result computed and stored once.
    void Load(const Form& f) {
        base = std::make_unique<test::TempBase>();
        sheet = std::make_unique<TSheetBook>();
        base->RunFixture(QString::fromLatin1(f.fixture));
        unit = test::UnitOf(*base);
        Compute(f, base->db());
        stored = Table(f);
    }
    QString Table(const Form& f) {
        return base->Scalar(QStringLiteral("select group_concat(quote(I12)||quote(frmc)) from ") +
                            QString::fromLatin1(f.table));
    }
    // The k-th wage row the report reads gets `amount` as its total and basic wage, flagged valid.
    void Poison(const Form& f, double amount, int k = 0) {
        base->db().Exec(QStringLiteral("update Wage_Info set sTotal=?, sN1=?, sFlag='1', wFlag='1' where rowid=(select "
                                       "w.rowid from Wage_Info w join Staff_moninfo s on s.sMon=w.Smon and "
                                       "s.sNumber=w.sNumber where w.Smon between 1 and ? and s.ssf=1 "
                                       "order by w.rowid limit 1 offset ?)"),
                        {amount, amount, f.lastWageMonth, k});
    }
    // The refusal's text; empty when the report went through.
    QString Refusal(const Form& f, db::Connection& c) {
        pb.SetPosition(40);
        try {
            Compute(f, c);
        } catch (const Refused& e) {
            return e.Text();
        }
        return {};
    }

    std::unique_ptr<test::TempBase> base;
    MainState unit;
    std::unique_ptr<TSheetBook> sheet;
    MemoryProgress pb;
    QString stored;
};

TEST_F(ReportRefusalTest, AWageSumBeyondWhatTheReportHoldsRefusesNamingTheIndicatorAndKeepsTheTable) {
    for (const Form& f : kForms) {
        SCOPED_TRACE(f.name);
        Load(f);
        ASSERT_FALSE(stored.isEmpty());
        Poison(f, 1e300);
        const QString text = Refusal(f, base->db());
        EXPECT_TRUE(text.contains(QString::fromUtf8(f.wageCell) + QStringLiteral("”计入的一项工资为 1E+300")))
            << text.toStdString();
        EXPECT_EQ(Table(f), stored);
        EXPECT_EQ(pb.Position(), 0);
        // The sheet is not left holding its repaint: a later change is signalled at once.
        int changes = 0;
        QObject::connect(sheet.get(), &TSheetBook::cellsChanged, [&] { ++changes; });
        sheet->SetCellText(60, 1, QStringLiteral("x"));
        EXPECT_EQ(changes, 1);
        sheet->disconnect();
        // 9e18 still casts to a whole number, but no report field holds it either.
        Poison(f, 9e18);
        EXPECT_TRUE(Refusal(f, base->db()).contains(QStringLiteral("的工资合计为 9.0")));
        EXPECT_EQ(Table(f), stored);
        // Whole amounts of 2^62 add up beyond any 64-bit whole number: refused the same way.
        base->db().Exec(QStringLiteral("update Wage_Info set sTotal=4611686018427387904, sN1=4611686018427387904"));
        EXPECT_TRUE(Refusal(f, base->db()).contains(QString::fromUtf8(f.wageCell) + QStringLiteral("”的工资合计为 ")));
        EXPECT_EQ(Table(f), stored);
        // The limit itself: a sum of exactly 1e15 refuses, one yuan less does not.
        base->db().Exec(QStringLiteral("update Wage_Info set sTotal=0, sN1=0"));
        Poison(f, 1e15);
        EXPECT_TRUE(Refusal(f, base->db()).contains(QStringLiteral("的工资合计为 1E+15")));
        Poison(f, 999999999999999);
        EXPECT_FALSE(Refusal(f, base->db()).contains(QStringLiteral("的工资合计为")));
    }
    // The wage summaries name the line.
    base = std::make_unique<test::TempBase>();
    base->RunFixture(QStringLiteral("wage_summaries.sql"));
    const QString before = base->Scalar(QStringLiteral("select group_concat(G21) from Total_Info"));
    ScriptedUiService ui;
    TSheetBook s;
    ApplySheetTemplate(s, QStringLiteral("i704"));
    SummaryUnit u;
    // One amount of 1e300, named; then whole amounts that add up beyond any 64-bit whole number.
    const std::pair<const char*, const char*> cases[] = {
        {"1e300 where rowid=(select min(rowid) from Wage_Info)", "计入的一项工资为 1E+300"},
        {"4611686018427387904", "的工资合计为 "}};
    for (const auto& [amounts, figure] : cases) {
        base->db().Exec(QStringLiteral("update Wage_Info set sTotal=") + QLatin1String(amounts));
        try {
            RunWageSummary(base->db(), ui, s, GidSummary::I704, {1, 3}, QStringLiteral("2012-12-09"), u);
            ADD_FAILURE() << "not refused";
        } catch (const Refused& e) {
            EXPECT_TRUE(e.Text().startsWith(QStringLiteral("“合计(1)”") + QString::fromUtf8(figure)))
                << e.Text().toStdString();
        }
        EXPECT_EQ(base->Scalar(QStringLiteral("select group_concat(G21) from Total_Info")), before);
    }
}

// The refusal names the amount no sum can hold, never a sum made of such amounts.
TEST_F(ReportRefusalTest, AnAmountBeyondWhatASumHoldsIsNamedItself) {
    const std::tuple<double, double, const char*> cases[] = {
        {1e300, -1e300, "1E+300"}, {-1e300, 1e300, "1E+300"}, {-1e20, 2500, "-1E+20"}};
    for (const Form& f : kForms) {
        Load(f);
        for (const auto& [first, second, named] : cases) {  // each case sets both rows
            Poison(f, first, 0);
            Poison(f, second, 1);
            const QString text = Refusal(f, base->db());
            EXPECT_TRUE(text.startsWith(QStringLiteral("“%1”计入的一项工资为 %2，超出了报表和上报文件能容纳的范围")
                                            .arg(QString::fromUtf8(f.wageCell), QLatin1String(named))))
                << f.name << ": " << text.toStdString();
            EXPECT_EQ(Table(f), stored);
        }
    }
}

TEST_F(ReportRefusalTest, ADatabaseThatWillNotTakeTheResultRefusesInChineseAndResetsTheBar) {
    const Form& quarter = kForms[0];
    Load(quarter);
    base->db().Exec(QStringLiteral("update Wage_Info set sTotal=sTotal+1000"));
    db::Connection readOnly;
    readOnly.OpenReadOnly(base->paths().Database());
    QString text = Refusal(quarter, readOnly);
    EXPECT_TRUE(text.contains(QStringLiteral("JGLabor_info 未改动")) && text.contains(QStringLiteral("只读")))
        << text.toStdString();
    EXPECT_EQ(pb.Position(), 0);
    // Another program holds the database for writing.
    db::Connection other;
    other.Open(base->paths().Database());
    other.Exec(QStringLiteral("begin immediate"));
    text = Refusal(quarter, base->db());
    EXPECT_TRUE(text.contains(QStringLiteral("已锁定")) && !text.contains(QStringLiteral("locked")))
        << text.toStdString();
    EXPECT_EQ(pb.Position(), 0);
    other.Exec(QStringLiteral("rollback"));
    EXPECT_EQ(Table(quarter), stored);
    EXPECT_FALSE(base->db().InTransaction());
}

}  // namespace
