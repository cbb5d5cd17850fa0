#include "reports/RangeChooserForm.h"
#include "tests/shell/MainFixture.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTimer>

using namespace qm;

namespace {

class RangeChoosersTest : public ::testing::Test, public test::MainFixture {
protected:
    void SetUp() override {
        Unit();
        for (int m = 1; m <= 12; ++m) Staff(13 - m, QStringLiteral("001"));  // saved last month first
        Staff(0, QStringLiteral("001"));
        // The choosers are real; the reports they open record how they were opened.
        forms.Register(QStringLiteral("TFrm_chooseAB"),
                       [](AppContext& c) { return std::make_unique<TFrm_chooseAB>(c); });
        forms.Register(QStringLiteral("TFrm_chooseBA"),
                       [](AppContext& c) { return std::make_unique<TFrm_chooseBA>(c); });
    }
    // A copy of the range with `rows` lines.
    void Copy(const QString& name, int rows) {
        base.db().Exec(QStringLiteral("create table ") + name +
                       QStringLiteral(" as select * from Total_Info where Gid<=") + QString::number(rows));
    }
    std::unique_ptr<TFrm_chooseAB> Ab() {
        auto c = std::make_unique<TFrm_chooseAB>(ctx);
        EXPECT_TRUE(c->LoadMonths());
        EXPECT_TRUE(c->CheckMonthErrors());
        c->show();
        return c;
    }
    static void Choose(RangeChooserDialog& c, const QString& from, const QString& to) {
        c.FromMon->setEditText(from);
        c.ToMon->setEditText(to);
    }
};

TEST_F(RangeChoosersTest, BothChoosersListTheMonthsInOrderAndStartOnTheFirst) {
    TFrm_chooseAB ab(ctx);
    TFrm_chooseBA ba(ctx);
    for (RangeChooserDialog* c : {static_cast<RangeChooserDialog*>(&ab), static_cast<RangeChooserDialog*>(&ba)}) {
        EXPECT_EQ(c->windowTitle(), QStringLiteral("选择汇总月度区间"));
    }
    ASSERT_TRUE(ab.LoadMonths());
    ASSERT_TRUE(ba.LoadMonths());
    for (QComboBox* cb : {ab.FromMon, ab.ToMon, ba.FromMon, ba.ToMon}) {
        ASSERT_EQ(cb->count(), 12);
        for (int i = 0; i < 12; ++i) EXPECT_EQ(cb->itemText(i), QString::number(i + 1));
        EXPECT_EQ(cb->currentText(), QStringLiteral("1"));
    }
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(RangeChoosersTest, SummaryOfARangeWithoutCopyComputesWithoutAsking) {
    auto c = Ab();
    Choose(*c, QStringLiteral("3"), QStringLiteral("3"));
    c->BitBtn1->click();
    const test::FormUse* u = rec.Find(QStringLiteral("TFrm_wagehz"));
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->how, QStringLiteral("modal"));
    EXPECT_EQ(u->monthCount, 1);
    EXPECT_EQ(u->fromMonth, QStringLiteral("3"));
    EXPECT_EQ(u->toMonth, QStringLiteral("3"));
    EXPECT_TRUE(u->recompute);
    EXPECT_EQ(c->Label3, QStringLiteral("1"));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(c->isVisible());  // closed once the summary closed
}

TEST_F(RangeChoosersTest, ASavedCopyIsOfferedByBothChoosersAndNoShowsIt) {
    Copy(QStringLiteral("Total_2_6"), 40);
    auto c = Ab();
    Choose(*c, QStringLiteral("2"), QStringLiteral("6"));
    ui.answers = {DlgAnswer::No};
    c->BitBtn1->click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("已经有汇总数据，是否重新汇总？")});
    const test::FormUse* u = rec.Find(QStringLiteral("TFrm_wagehz"));
    ASSERT_NE(u, nullptr);
    EXPECT_FALSE(u->recompute);
    EXPECT_EQ(u->monthCount, 5);
    EXPECT_EQ(c->Label3, QStringLiteral("0"));

    // The organ chooser finds a copy of its own size for the same name; Yes recomputes.
    base.db().Exec(QStringLiteral("drop table Total_2_6"));
    Copy(QStringLiteral("TOTAL_2_6"), 21);
    ui.Clear();
    TFrm_chooseBA ba(ctx);
    ASSERT_TRUE(ba.LoadMonths());
    ba.show();
    Choose(ba, QStringLiteral("2"), QStringLiteral("6"));
    ui.answers = {DlgAnswer::Yes};
    ba.BitBtn1->click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("已经有汇总数据，是否重新汇总？")});
    const test::FormUse* o = rec.Find(QStringLiteral("TFrm_wagejghz"));
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->recompute);
    EXPECT_FALSE(ba.isVisible());

    // That 21-line copy is no copy for the enterprise form: computed without a question.
    ui.Clear();
    rec.uses.clear();
    auto again = Ab();
    Choose(*again, QStringLiteral("2"), QStringLiteral("6"));
    again->BitBtn1->click();
    EXPECT_TRUE(ui.shown.empty());
    ASSERT_NE(rec.Find(QStringLiteral("TFrm_wagehz")), nullptr);
    EXPECT_TRUE(rec.Find(QStringLiteral("TFrm_wagehz"))->recompute);
}

TEST_F(RangeChoosersTest, ARefusedRangeTouchesNothingAndLeavesTheChooserOpen) {
    const QString tables = base.db().TableNames().join(QLatin1Char(','));
    for (auto [from, to] :
         {std::pair{"1;x", "3"}, std::pair{"1", "drop table Total_Info"}, std::pair{"7", "2"}, std::pair{"", "3"}}) {
        ui.Clear();
        auto c = Ab();
        Choose(*c, QString::fromUtf8(from), QString::fromUtf8(to));
        c->BitBtn1->click();
        EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("开始、截止月份错误!")}) << from << " " << to;
        EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::Stop);
        EXPECT_TRUE(c->isVisible());
    }
    EXPECT_TRUE(rec.uses.empty());
    EXPECT_EQ(base.db().TableNames().join(QLatin1Char(',')), tables);
}

TEST_F(RangeChoosersTest, WageErrorsInsideTheRangeKeepTheEnterpriseChooserOpen) {
    Wage(4, QStringLiteral("001"), QStringLiteral("1"), QStringLiteral("0"));
    TFrm_chooseAB c(ctx);
    ASSERT_TRUE(c.LoadMonths());
    c.show();
    Choose(c, QStringLiteral("1"), QStringLiteral("6"));
    c.BitBtn1->click();
    EXPECT_EQ(ui.Texts().last(), QStringLiteral("4月有工资错误信息，请核查"));
    EXPECT_TRUE(c.isVisible());
    EXPECT_TRUE(rec.uses.empty());
}

TEST_F(RangeChoosersTest, PeriodModeOpensTheLabourReportOverTheChosenMonths) {
    TFrm_chooseAB c(ctx);
    c.SetSummaryMode(false);
    ASSERT_TRUE(c.LoadMonths());
    c.show();
    EXPECT_FALSE(c.BitBtn1->isVisible());
    EXPECT_TRUE(c.BitBtn3->isVisible());
    EXPECT_EQ(c.BitBtn3->text(), QStringLiteral("确 定"));
    Choose(c, QStringLiteral("2"), QStringLiteral("5"));
    c.BitBtn3->click();
    const test::FormUse* u = rec.Find(QStringLiteral("TFrm_JLabor"));
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->how, QStringLiteral("modal"));
    EXPECT_EQ(u->periodMonths, 4);
    EXPECT_EQ(u->startMonth, QStringLiteral("2"));
    EXPECT_EQ(u->endMonth, QStringLiteral("5"));
    EXPECT_EQ(u->periodLabel, QString());  // a chosen run is no quarter
    EXPECT_TRUE(ui.shown.empty());         // no JLabor_ copy exists: no question
    EXPECT_FALSE(c.isVisible());
}

TEST_F(RangeChoosersTest, TheSummaryCommandsOpenTheRealChoosers) {
    // The enterprise command hands over in summary mode and shows the chooser modally; a timer
    // plays the person who closes it.
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    EXPECT_TRUE(MainFixture::Run([this] { cmd.N72Click(); }));
    EXPECT_TRUE(ui.shown.empty());
    // Errors in the data: the chooser's three checks speak, and it is never shown.
    Wage(2, QStringLiteral("001"), QStringLiteral("0"));
    Staff(5, QStringLiteral("002"), QStringLiteral("0"));
    MainFixture::Run([this] { cmd.N73Click(); });
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("5月度,人员有错误信息，请核对。")});
    base.db().Exec(QStringLiteral("update Staff_moninfo set sIsok='1'"));
    ui.Clear();
    MainFixture::Run([this] { cmd.N73Click(); });
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("[2]月工资数据还有错误，不能汇总，请核实！")});
}

TEST_F(RangeChoosersTest, Screenshots) {
    const QString dir = qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath());
    TFrm_chooseAB ab(ctx);
    ASSERT_TRUE(ab.LoadMonths());
    ab.show();
    EXPECT_TRUE(ab.grab().save(dir + QStringLiteral("/chooseAB.png")));
    TFrm_chooseBA ba(ctx);
    ASSERT_TRUE(ba.LoadMonths());
    ba.show();
    ba.ToMon->setCurrentIndex(11);
    EXPECT_TRUE(ba.grab().save(dir + QStringLiteral("/chooseBA.png")));
}

}  // namespace
