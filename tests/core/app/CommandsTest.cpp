#include "core/report/RangeChoice.h"
#include "tests/core/files/NoLocks.h"
#include "tests/shell/MainFixture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QScopeGuard>

namespace {

using qm::DlgButtons;
using qm::DlgKind;
using Fixture = qm::test::MainFixture;

const QString kNoUnit = QStringLiteral("请先填写单位基本信息！");

TEST(CommandsWithoutAUnit, MonthTwoOnlySaysSoWhileMonthOneAlsoOpensTheUnitForm) {
    Fixture f;
    f.Run([&] { f.cmd.MonthClick(2); });
    ASSERT_EQ(f.ui.shown.size(), 1u);
    EXPECT_EQ(f.ui.shown[0].text, kNoUnit);
    EXPECT_EQ(f.ui.shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(f.ui.shown[0].buttons, DlgButtons::Ok);
    EXPECT_TRUE(f.rec.uses.empty());

    f.ui.Clear();
    f.Run([&] { f.cmd.MonthClick(1); });
    EXPECT_EQ(f.ui.Texts(), QStringList{kNoUnit});
    EXPECT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_dep:modal")});
}

TEST(CommandsWithoutAUnit, TheWagePaymentListHasItsOwnWordingAndOpensTheUnitForm) {
    Fixture f;
    f.Run([&] { f.cmd.N14Click(); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("请先填写单位基本信息。")});
    EXPECT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_dep:modal")});
}

TEST(CommandsWithoutAUnit, EveryUnitAndFormCommandOpensOnlyTheUnitForm) {
    using Cmd = void (qm::MainCommands::*)();
    const Cmd commands[] = {
        &qm::MainCommands::N10Click,          &qm::MainCommands::N13Click,         &qm::MainCommands::N42Click,
        &qm::MainCommands::N71Click,          &qm::MainCommands::N72Click,         &qm::MainCommands::N73Click,
        &qm::MainCommands::N60Click,          &qm::MainCommands::N66Click,         &qm::MainCommands::N46Click,
        &qm::MainCommands::SpeedButton8Click, &qm::MainCommands::SpeedButton3Click};
    for (Cmd c : commands) {
        Fixture f;
        f.Run([&] { (f.cmd.*c)(); });
        EXPECT_EQ(f.ui.Texts(), QStringList{kNoUnit});
        EXPECT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_dep:modal")});
    }
}

TEST(MonthCommand, CleanPreviousMonthAndAListOpenTheWageSheetForThatMonth) {
    Fixture f;
    f.Unit();
    f.CleanMonths(1, 2);
    f.Staff(3, QStringLiteral("001"));
    f.Run([&] { f.cmd.MonthClick(3); });
    EXPECT_TRUE(f.ui.shown.empty());
    ASSERT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_mon:modal")});
    EXPECT_EQ(f.rec.uses[0].month, QStringLiteral("3"));
}

TEST(MonthCommand, WithoutTheMonthsListTheMonthlyStaffListOpensInstead) {
    Fixture f;
    f.Unit();
    f.CleanMonths(1, 2);
    f.Run([&] { f.cmd.MonthClick(3); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("必须先核实3月名单！")});
    EXPECT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_monput:modeless")});
    EXPECT_EQ(f.rec.uses[0].month, QStringLiteral("3"));
}

TEST(MonthCommand, ErrorsOfThePreviousMonthRefuse) {
    Fixture f;
    f.Unit();
    f.CleanMonths(1, 2);
    f.Staff(3, QStringLiteral("001"));
    f.Wage(2, QStringLiteral("002"), QStringLiteral("0"));
    f.Run([&] { f.cmd.MonthClick(3); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("必须先核实2月[工资]数据，否则无法进行本月操作！")});
    EXPECT_TRUE(f.rec.uses.empty());
}

TEST(QuarterWageReport, NoDataErrorsOrCleanDataDecideWhatOpens) {
    Fixture f;
    f.Unit();
    f.Run([&] { f.cmd.QuarterWageClick(2); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("无6月工资数据，无法统计。")});
    EXPECT_EQ(f.ui.shown[0].kind, DlgKind::Information);
    EXPECT_TRUE(f.rec.uses.empty());

    Fixture clean;
    clean.CleanMonths(1, 6);
    clean.Run([&] { clean.cmd.QuarterWageClick(2); });
    EXPECT_TRUE(clean.ui.shown.empty());
    ASSERT_EQ(clean.rec.Shown(), QStringList{QStringLiteral("TFrm_JGLabor:modeless")});
    EXPECT_EQ(clean.rec.uses[0].quarter, 2);

    Fixture errors;
    errors.CleanMonths(1, 6);
    errors.Staff(4, QStringLiteral("002"), QStringLiteral("0"));
    errors.Run([&] { errors.cmd.QuarterWageClick(2); });
    EXPECT_EQ(errors.ui.Texts(), QStringList{QStringLiteral("4月份,有人员数据错误，请纠正。")});
    EXPECT_TRUE(errors.rec.uses.empty());
}

TEST(QuarterWageReport, CleanStaffWithoutWagesOfTheMonthSaysThereAreNoWages) {
    Fixture f;
    f.CleanMonths(1, 2);
    f.Staff(3, QStringLiteral("001"));  // clean list of March, no wages of March
    f.Run([&] { f.cmd.QuarterWageClick(1); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("无3月工资数据，无法统计。")});
    EXPECT_TRUE(f.rec.uses.empty());
}

TEST(WageSummary, StaffErrorMonthsRefuseBeforeAnyChooserIsCreated) {
    Fixture f;
    f.Unit();
    f.Staff(3, QStringLiteral("001"), QStringLiteral("0"));
    f.Staff(0, QStringLiteral("001"), QStringLiteral("0"));
    f.Run([&] { f.cmd.N72Click(); });
    ASSERT_EQ(f.ui.Texts(), QStringList{QStringLiteral("年初,3月度,人员有错误信息，请核对。")});
    EXPECT_EQ(f.ui.shown[0].kind, DlgKind::Information);
    EXPECT_TRUE(f.rec.uses.empty());
}

TEST(WageSummary, AChooserThatFindsNoMonthsIsFreedUnshownWithoutItsErrorCheck) {
    Fixture f;
    f.Unit();
    f.rec.loadMonths[QStringLiteral("TFrm_chooseAB")] = false;
    f.Run([&] { f.cmd.N72Click(); });
    ASSERT_EQ(f.rec.uses.size(), 1u);
    EXPECT_EQ(f.rec.uses[0].how, QStringLiteral("freed"));
    EXPECT_EQ(f.rec.uses[0].calls, QStringList{QStringLiteral("LoadMonths")});

    Fixture g;
    g.Unit();
    g.rec.checkErrors[QStringLiteral("TFrm_chooseAB")] = false;
    g.Run([&] { g.cmd.N72Click(); });
    ASSERT_EQ(g.rec.uses.size(), 1u);
    EXPECT_EQ(g.rec.uses[0].how, QStringLiteral("freed"));
    EXPECT_EQ(g.rec.uses[0].calls, (QStringList{QStringLiteral("LoadMonths"), QStringLiteral("CheckMonthErrors")}));
}

TEST(WageSummary, EnterprisesGetTheSummaryModeChooserAndOrgansTheirOwn) {
    Fixture f;
    f.Unit();
    f.Run([&] { f.cmd.SpeedButton5Click(); });
    ASSERT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_chooseAB:modal")});
    EXPECT_EQ(f.rec.uses[0].summaryMode, 1);

    Fixture organ;
    organ.Unit(QStringLiteral("99"), QStringLiteral("机关单位"));
    organ.cmd.LoadUnitInfo();
    organ.Run([&] { organ.cmd.SpeedButton5Click(); });
    EXPECT_EQ(organ.rec.Shown(), QStringList{QStringLiteral("TFrm_chooseBA:modal")});
}

TEST(PeriodReport, ThePeriodModeChooserOpensAfterBothChecks) {
    Fixture f;
    f.Unit();
    f.Run([&] { f.cmd.N60Click(); });
    ASSERT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_chooseAB:modal")});
    EXPECT_EQ(f.rec.uses[0].summaryMode, 0);
    EXPECT_EQ(f.rec.uses[0].calls, (QStringList{QStringLiteral("LoadMonths"), QStringLiteral("CheckMonthErrors")}));
}

TEST(QuarterLabourReport, MissingMonthWageErrorsOrTheReportWithItsPeriod) {
    Fixture f;
    f.Run([&] { f.cmd.QuarterLabourClick(1); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("一季度数据不全，请保证具有1-3月的工资数据！")});
    f.ui.Clear();
    f.Run([&] { f.cmd.QuarterLabourClick(3); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("三季度数据不全，请保证具有1-9月的工资数据！")});

    Fixture errors;
    errors.CleanMonths(1, 3);
    errors.Wage(2, QStringLiteral("002"), QStringLiteral("0"));
    errors.Wage(1, QStringLiteral("003"), QStringLiteral("1"), QStringLiteral("0"));
    errors.Run([&] { errors.cmd.QuarterLabourClick(1); });
    EXPECT_EQ(errors.ui.Texts(), QStringList{QStringLiteral("[1,2]月有工资错误信息，请核查!")});
    EXPECT_TRUE(errors.rec.uses.empty());

    Fixture clean;
    clean.CleanMonths(1, 3);
    clean.Run([&] { clean.cmd.QuarterLabourClick(1); });
    ASSERT_EQ(clean.rec.Shown(), QStringList{QStringLiteral("TFrm_JLabor:modal")});
    const auto& u = clean.rec.uses[0];
    EXPECT_EQ(u.periodMonths, 3);
    EXPECT_EQ(u.startMonth, QStringLiteral("1"));
    EXPECT_EQ(u.endMonth, QStringLiteral("3"));
    EXPECT_EQ(u.periodLabel, QStringLiteral("2012年1季度"));
    EXPECT_EQ(u.quarter, 1);

    Fixture second;
    second.CleanMonths(1, 6);
    second.Run([&] { second.cmd.QuarterLabourClick(2); });
    ASSERT_EQ(second.rec.uses.size(), 1u);
    EXPECT_EQ(second.rec.uses[0].periodLabel, QStringLiteral("2012年2季度"));
    EXPECT_EQ(second.rec.uses[0].periodMonths, 6);
}

TEST(AnnualLabourReport, OnlyWageErrorsUpToDecemberRefuse) {
    Fixture f;
    f.Run([&] { f.cmd.N59Click(); });
    EXPECT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_NLabor:modeless")});
    Fixture e;
    e.Wage(12, QStringLiteral("001"), QStringLiteral("0"));
    e.Run([&] { e.cmd.N59Click(); });
    EXPECT_EQ(e.ui.Texts(), QStringList{QStringLiteral("[12]月有工资错误信息，请核查!")});
}

TEST(YearReports, DecemberDataIsNeeded) {
    Fixture f;
    f.Unit();
    f.Run([&] { f.cmd.N66Click(); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("无12月数据，无法统计。")});
    f.ui.Clear();
    f.Run([&] { f.cmd.N42Click(); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("年度数据不全，请保证有年末12月数据。")});
    EXPECT_TRUE(f.rec.uses.empty());

    f.Staff(12, QStringLiteral("001"));
    f.ui.Clear();
    // The annual report also needs December's wages and refuses error rows of the year.
    f.Run([&] { f.cmd.N66Click(); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("无12月工资数据，无法统计。")});
    f.Wage(12, QStringLiteral("001"));
    f.Staff(5, QStringLiteral("002"), QStringLiteral("0"));
    f.ui.Clear();
    f.Run([&] { f.cmd.N66Click(); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("5月份,有人员数据错误，请纠正。")});
    EXPECT_TRUE(f.rec.uses.empty());
    f.base.db().Exec(QStringLiteral("delete from Staff_moninfo where sMon=5"));
    f.ui.Clear();
    f.Run([&] { f.cmd.N66Click(); });
    f.Run([&] { f.cmd.N42Click(); });
    f.Run([&] { f.cmd.N71Click(); });
    EXPECT_TRUE(f.ui.shown.empty());
    EXPECT_EQ(f.rec.Shown(), (QStringList{QStringLiteral("TFrm_NGLabor:modal"), QStringLiteral("TFrm_hzinfo:modal"),
                                          QStringLiteral("TFrm_hz:modal")}));
}

TEST(EntryCommands, TheBatchSheetAndSinglePersonEntryGetTheirParameters) {
    Fixture f;
    f.Unit();
    f.Run([&] { f.cmd.N10Click(); });
    f.Run([&] { f.cmd.N46Click(); });
    f.Run([&] { f.cmd.N13Click(); });
    ASSERT_EQ(f.rec.Shown(), (QStringList{QStringLiteral("TFrm_allput:modal"), QStringLiteral("TFrm_allput:modal"),
                                          QStringLiteral("TFrm_perput:modal")}));
    EXPECT_EQ(f.rec.uses[0].month, QStringLiteral("0"));
    EXPECT_EQ(f.rec.uses[1].month, QString());  // register mode
    EXPECT_EQ(f.rec.uses[2].monthNo, QStringLiteral("0"));
    EXPECT_EQ(f.rec.uses[2].opener, qm::PerputOpener::MainWindow);
}

TEST(ToolButtonWageEntry, OpensTheLastMonthOfTheRunOfOpenItems) {
    Fixture f;
    f.Unit();
    f.CleanMonths(1, 3);
    f.Staff(4, QStringLiteral("001"));
    f.cmd.RefreshMonthMenus();
    f.cmd.RefreshInitialDataMenus();
    ASSERT_EQ(f.EnabledMonths(), (QList<int>{1, 2, 3, 4}));
    f.Run([&] { f.cmd.SpeedButton8Click(); });
    ASSERT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_mon:modal")});
    EXPECT_EQ(f.rec.uses[0].month, QStringLiteral("4"));
}

TEST(ToolButtonWageEntry, WithoutAStartOfPeriodListTheBatchSheetOpens) {
    Fixture f;
    f.Unit(QStringLiteral("4"));
    f.cmd.RefreshMonthMenus();
    f.cmd.RefreshInitialDataMenus();
    f.Run([&] { f.cmd.SpeedButton8Click(); });
    EXPECT_EQ(f.ui.Texts(), QStringList{QStringLiteral("请先输入期初数据。")});
    ASSERT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_allput:modal")});
    EXPECT_EQ(f.rec.uses[0].month, QStringLiteral("0"));
}

TEST(ToolButtonWageEntry, DecemberFoundingWithItsItemClosedOrAnInvalidMonthDoNothing) {
    for (const char* c : {"11", "abc"}) {
        Fixture f;
        f.Unit(QString::fromLatin1(c));
        f.Staff(0, QStringLiteral("001"));
        f.cmd.RefreshInitialDataMenus();
        f.cmd.menus.month.fill(false);
        f.Run([&] { f.cmd.SpeedButton8Click(); });
        EXPECT_TRUE(f.ui.shown.empty()) << c;
        EXPECT_TRUE(f.rec.uses.empty()) << c;
    }
    // Founded in December with the item open: December's sheet.
    Fixture d;
    d.Unit(QStringLiteral("11"));
    d.Staff(0, QStringLiteral("001"));
    d.Staff(12, QStringLiteral("001"));
    d.cmd.RefreshMonthMenus();
    d.cmd.RefreshInitialDataMenus();
    d.Run([&] { d.cmd.SpeedButton8Click(); });
    ASSERT_EQ(d.rec.Shown(), QStringList{QStringLiteral("TFrm_mon:modal")});
    EXPECT_EQ(d.rec.uses[0].month, QStringLiteral("12"));
}

TEST(ToolButtonWageEntry, AUnitFoundedInAprilStartsAtApril) {
    Fixture f;
    f.Unit(QStringLiteral("3"));
    f.Staff(0, QStringLiteral("001"));
    f.Staff(4, QStringLiteral("001"));
    f.cmd.RefreshMonthMenus();
    f.cmd.RefreshInitialDataMenus();
    f.Run([&] { f.cmd.SpeedButton8Click(); });
    ASSERT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_mon:modal")});
    EXPECT_EQ(f.rec.uses[0].month, QStringLiteral("4"));
    EXPECT_EQ(f.state.MaxWageMonth, qm::Month(4));  // the founding month's shortcut
}

TEST(HelpAndOtherForms, HelpOpensFromTheBaseFolderAndTheOtherItemsOpenTheirForms) {
    Fixture f;
    // The current folder plays no part; it is put back so later tests in this process keep theirs.
    const auto restore = qScopeGuard([cwd = QDir::currentPath()] { QDir::setCurrent(cwd); });
    QDir::setCurrent(QDir::tempPath());
    f.Run([&] { f.cmd.N5Click(); });
    f.Run([&] { f.cmd.N6Click(); });
    ASSERT_EQ(f.ui.shown.size(), 2u);
    EXPECT_EQ(f.ui.shown[0].sort, qm::ShownBox::Sort::OpenDocument);
    EXPECT_EQ(f.ui.shown[0].text, f.base.base() + QStringLiteral("/HLP/填写说明及指标解释.html"));
    EXPECT_EQ(f.ui.shown[1].text, f.base.base() + QStringLiteral("/HLP/Quillmarsh说明.html"));
    // A desktop without a program for the pages says so.
    f.ui.Clear();
    f.ui.desktopOpens = false;
    f.Run([&] { f.cmd.N6Click(); });
    ASSERT_EQ(f.ui.Texts().size(), 1);
    EXPECT_TRUE(f.ui.Texts()[0].startsWith(QStringLiteral("没有可以打开“Quillmarsh说明.html”的程序")));
    EXPECT_TRUE(f.ui.Texts()[0].contains(QDir::toNativeSeparators(f.base.base() + QStringLiteral("/HLP"))));
    f.ui.Clear();
    f.ui.desktopOpens = true;

    f.Run([&] { f.cmd.N70Click(); });
    f.Run([&] { f.cmd.N75Click(); });
    f.Run([&] { f.cmd.N56Click(); });
    f.Run([&] { f.cmd.N50Click(); });
    f.Run([&] { f.cmd.N11Click(); });
    EXPECT_EQ(f.rec.Shown(), (QStringList{QStringLiteral("TAboutFrm:modal"), QStringLiteral("TFrm_historyfrom:modal"),
                                          QStringLiteral("TFrm_Brower:modeless"),
                                          QStringLiteral("TFrm_changeDep:modal"), QStringLiteral("TFrm_dep:modal")}));
}

TEST(Exit, TheTopLevelExitClosesTheConnectionThenTheWindow) {
    Fixture f;
    bool connectionOpenAtClose = true;
    f.cmd.closeWindow = [&] { connectionOpenAtClose = f.base.db().IsOpen(); };
    f.cmd.N4Click();
    EXPECT_FALSE(connectionOpenAtClose);

    Fixture g;
    int closed = 0;
    g.cmd.closeWindow = [&] { ++closed; };
    g.cmd.N16Click();
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(g.base.db().IsOpen());
}

TEST(Placeholders, AFormNotYetAvailableSaysSoInTheStatusBarUntilItsRegistrationReplacesIt) {
    qm::test::TempBase base;
    qm::ScriptedUiService ui;
    qm::MemoryProgress pb;
    qm::MainState state;
    qm::AppContext ctx{base.db(), ui, base.paths(), state, pb, nullptr, nullptr, nullptr};
    qm::FormFactory forms(ctx);
    qm::MainCommands cmd(ctx);
    ctx.main = &cmd;
    ctx.forms = &forms;
    qm::RegisterPlaceholders(forms);
    base.db().Exec(QStringLiteral("insert into Dep_Info values('某单位','12345678X','企业事业单位','否','1','99')"));

    // Every interface a command asks for is answered by the placeholder.
    Guarded(ui, [&] { cmd.QuarterLabourClick(1); });  // refused: no data
    Guarded(ui, [&] { cmd.N60Click(); });
    EXPECT_EQ(cmd.statusText, QStringLiteral("“选择汇总月度区间”功能尚未提供。"));
    Guarded(ui, [&] { cmd.N13Click(); });
    EXPECT_EQ(cmd.statusText, QStringLiteral("“从业人员个人输入”功能尚未提供。"));
    Guarded(ui, [&] { cmd.N10Click(); });
    EXPECT_EQ(cmd.statusText, QStringLiteral("“从业人员批量输入”功能尚未提供。"));

    qm::test::FormRecorder rec;
    forms.Register(QStringLiteral("TFrm_allput"),
                   [&](qm::AppContext&, const qm::FormArgs& args) -> std::unique_ptr<qm::IForm> {
                       return std::make_unique<qm::test::RecordingForm>(rec, QStringLiteral("TFrm_allput"), args);
                   });
    cmd.statusText.clear();
    Guarded(ui, [&] { cmd.N10Click(); });
    EXPECT_EQ(rec.Shown(), QStringList{QStringLiteral("TFrm_allput:modal")});
    EXPECT_TRUE(cmd.statusText.isEmpty());

    // A later registration is not overwritten by registering placeholders again.
    qm::RegisterPlaceholders(forms);
    Guarded(ui, [&] { cmd.N10Click(); });
    EXPECT_EQ(rec.uses.size(), 2u);
}

TEST(ShowHandler, WithoutAUnitTheCaptionIsMarkedAndTheUnitFormOpens) {
    Fixture f;
    f.cmd.FormShow();
    EXPECT_EQ(f.cmd.caption, QStringLiteral("Quillmarsh.2012版[未登记]"));
    EXPECT_EQ(f.rec.Shown(), QStringList{QStringLiteral("TFrm_dep:modal")});
    EXPECT_EQ(f.EnabledMonths(), QList<int>{1});
    EXPECT_FALSE(f.cmd.menus.N8);
    EXPECT_TRUE(QDir(f.base.paths().Error()).exists());
}

// As the program starts, what a killed restore left beside the live database goes: its copy
// and the copy's journal (the other folders are swept alike).
TEST(ShowHandler, AKilledRestoresCopyAndItsJournalGoAsTheProgramStarts) {
    Fixture f;
    const QString copy = f.base.paths().DatabaseDir() + QStringLiteral("/.RCdatabase.mdb.qmtmp.Kill01");
    for (const QString& file : {copy, copy + QStringLiteral("-journal")}) ASSERT_TRUE(qm::test::PutAged(file, "x", 0));
    f.cmd.FormShow();
    EXPECT_EQ(qm::test::Entries(f.base.paths().DatabaseDir()), "RCdatabase.mdb");
}

TEST(ShowHandler, AnOrganWithBlanksInItsTypeIsRecognisedAndItsClassDecoded) {
    Fixture f;
    f.base.db().Exec(QStringLiteral("insert into Dep_Info values('某机关','12345678X','机关单位  ',' 否 ','1','3')"));
    f.Staff(0, QStringLiteral("001"));
    f.cmd.FormShow();
    EXPECT_EQ(f.cmd.caption, QStringLiteral("Quillmarsh.2012版"));
    EXPECT_TRUE(f.state.DepClass.IsOrgan());
    EXPECT_EQ(f.cmd.panel[0], QStringLiteral("当前单位： 某机关"));
    EXPECT_EQ(f.cmd.panel[1], QStringLiteral("机关单位"));
    EXPECT_FALSE(f.cmd.menus.N72);
    EXPECT_TRUE(f.cmd.menus.N73);
    EXPECT_EQ(f.state.DepClass, qm::UnitClass(true, qm::UnitClass::Kind::Other));
    EXPECT_EQ(f.state.CreateMon, qm::FoundingMonth::NotThisYear());  // left to the next unit gate
    EXPECT_TRUE(f.cmd.menus.N8);
    EXPECT_EQ(f.EnabledMonths(), QList<int>{4});
    EXPECT_TRUE(f.rec.uses.empty());
}

TEST(ShowHandler, ALabourSubcontractorShowsItsClass) {
    Fixture f;
    f.Unit(QStringLiteral("99"), QStringLiteral("企业事业单位"), QStringLiteral("是2"));
    f.state.DepClass = qm::UnitClass(true, qm::UnitClass::Kind::Other);
    f.cmd.FormShow();
    EXPECT_EQ(f.cmd.panel[1], QStringLiteral("有劳务分包资质的建筑业单位"));
    EXPECT_EQ(f.state.DepClass, qm::UnitClass(false, qm::UnitClass::Kind::LabourSubcontract));
    EXPECT_TRUE(f.cmd.menus.N72);
    EXPECT_FALSE(f.cmd.menus.N73);
}

}  // namespace

namespace {

TEST(MainMaintenanceCommands, ClearingTheStartOfPeriodListClosesTheWageAndSummaryMenus) {
    Fixture f;
    f.Unit();
    f.Staff(0, QStringLiteral("001"));
    f.cmd.RefreshInitialDataMenus();
    ASSERT_TRUE(f.cmd.menus.N8);

    f.ui.answers.push_back(qm::DlgAnswer::No);
    EXPECT_FALSE(f.cmd.N34Click());
    EXPECT_TRUE(f.cmd.menus.N8);
    EXPECT_EQ(f.state.InitialCleared, 0);

    f.ui.answers.push_back(qm::DlgAnswer::Yes);
    EXPECT_TRUE(f.cmd.N34Click());
    EXPECT_FALSE(f.cmd.menus.N8);
    EXPECT_FALSE(f.cmd.menus.N2);
    EXPECT_EQ(f.state.InitialCleared, 1);
    EXPECT_EQ(f.base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), QStringLiteral("0"));
}

TEST(MainMaintenanceCommands, DeclinedReinitialisationOrRestoreKeepsTheWindowOpen) {
    Fixture f;
    int closed = 0;
    f.cmd.closeWindow = [&] { ++closed; };
    f.ui.defaultAnswer = qm::DlgAnswer::No;
    f.Run([&] { f.cmd.N43Click(); });
    f.Run([&] { f.cmd.N41Click(); });
    EXPECT_EQ(closed, 0);
    EXPECT_TRUE(f.base.db().IsOpen());
}

// A list or a wage month carrying one number twice would count its wages twice: a report whose
// period holds it refuses.
TEST(ReportGates, AListThatCarriesOneNumberTwiceRefusesEveryReportOfItsPeriod) {
    using Cmd = std::function<void(Fixture&)>;
    const QString april = QStringLiteral(
        "4月名单中“甲”和“乙”的姓名编号都是“1”。同一名单中的姓名编号不能重复，否则报表会把该编号的工资统计两次；"
        "请在4月名单中改正后再统计。");
    const QString aprilWages = QStringLiteral(
        "4月工资中“甲”和“乙”的姓名编号都是“1”。同一月份的工资中姓名编号不能重复，否则报表会把该编号的工资统计两次；"
        "请在4月工资过录表中改正后再统计。");
    const struct {
        const char* what;
        int twiceIn;  // the month of the list that carries "1" twice
        Cmd run;
        QString refusal;     // empty: the report opens
        bool wages = false;  // the month's wages carry "1" twice, not its list
    } cases[] = {
        {"202-1 Q2", 4, [](Fixture& f) { f.cmd.QuarterWageClick(2); }, april},
        {"202-1 Q1", 4, [](Fixture& f) { f.cmd.QuarterWageClick(1); }, {}},
        {"I202-2 Q2", 4, [](Fixture& f) { f.cmd.QuarterLabourClick(2); }, april},
        {"I202-2 Q1", 4, [](Fixture& f) { f.cmd.QuarterLabourClick(1); }, {}},
        {"202-1 Q1 over the start of the period", 0, [](Fixture& f) { f.cmd.QuarterWageClick(1); },
         QStringLiteral("期初名单中“甲”和“乙”的姓名编号都是“1”。同一名单中的姓名编号不能重复，否则报表会把该编号的"
                        "工资统计两次；请在期初名单中改正后再统计。")},
        {"the range chooser's check", 4,
         [](Fixture& f) {
             qm::report::RangeChoice(f.base.db(), f.ui, qm::report::RangeChoice::Twin::AB).CheckMonthErrors();
         },
         april},
        {"202-1 Q2, wages", 4, [](Fixture& f) { f.cmd.QuarterWageClick(2); }, aprilWages, true},
        {"202-1 Q1, wages", 4, [](Fixture& f) { f.cmd.QuarterWageClick(1); }, {}, true},
        {"I202-2 Q2, wages", 4, [](Fixture& f) { f.cmd.QuarterLabourClick(2); }, aprilWages, true},
        {"the range chooser's check, wages", 4,
         [](Fixture& f) {
             qm::report::RangeChoice(f.base.db(), f.ui, qm::report::RangeChoice::Twin::AB).CheckMonthErrors();
         },
         aprilWages, true},
    };
    for (const auto& k : cases) {
        Fixture f;
        f.Unit();
        f.CleanMonths(1, 12);
        for (const char* name : {"甲", "乙"})
            f.base.db().Exec(k.wages ? QStringLiteral("insert into Wage_Info(Smon,sName,sNumber,sFlag,wFlag) "
                                                      "values(?,?,'1','1','1')")
                                     : QStringLiteral("insert into Staff_moninfo(sMon,sName,sNumber,sIsok) "
                                                      "values(?,?,'1','1')"),
                             {k.twiceIn, QString::fromUtf8(name)});
        f.Wage(4, QStringLiteral("1"));
        f.Run([&] { k.run(f); });
        EXPECT_EQ(f.ui.Texts(), k.refusal.isEmpty() ? QStringList() : QStringList{k.refusal}) << k.what;
        EXPECT_TRUE(!k.refusal.isEmpty() || f.ui.shown.empty()) << k.what;
        EXPECT_EQ(f.rec.Shown().size(), k.refusal.isEmpty() ? 1 : 0) << k.what;
    }
}

}  // namespace
