#include "core/app/MainCommands.h"

#include "core/report/AnnualWageReport.h"
#include "core/report/QuarterWageReport.h"

#include "core/app/FormFactory.h"
#include "core/app/FormInterfaces.h"
#include "core/app/Placeholders.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/db/StaffTable.h"
#include "core/unit/UnitInfo.h"

#include <QDir>

namespace qm {

MainCommands::MainCommands(AppContext& ctx) : ctx_(ctx), gates_(ctx.db, ctx.state, ctx.ui), maint_(ctx) {
    gates_.openMonthStaffList = [this](Month m) { OpenModeless(QStringLiteral("TFrm_monput"), {m}); };
}

void MainCommands::Changed() {
    if (changed) changed();
}

void MainCommands::ShowStatus(const QString& text) {
    statusText = text;
    if (statusMessage) statusMessage(text);
}

// ---------------------------------------------------------------- show handler and menus

void MainCommands::FormShow() {
    maint_.SweepLeftovers();
    maint_.N32Click();
    ctx_.state.InitialCleared = 0;
    RefreshMonthMenus();
    RefreshInitialDataMenus();

    const std::optional<UnitRecord> u = unit::Load(ctx_.db);
    if (!u) {
        caption = kAppTitle + QStringLiteral("[未登记]");
        Changed();
        // the unit form writes a saved unit into the state, panels and caption itself
        if (afterShown)
            afterShown([this] { N11Click(); });
        else
            N11Click();
        return;
    }
    MainState& s = ctx_.state;
    s.DepClass = u->DepClass;
    s.DepType = u->DepType;
    s.DepInfo = u->DepInfo;
    panel[1] = u->DepClass.StatusText();
    menus.N72 = u->DepClass.IsEnterprise();
    menus.N73 = u->DepClass.IsOrgan();
    panel[0] = QStringLiteral("当前单位： ") + u->DepName;
    s.DepNo = u->DepNo;
    s.DepName = u->DepName;
    Changed();
}

void MainCommands::RefreshMonthMenus() {
    ctx_.state.InitialCleared = 0;
    const MonthMenuPlan plan = gates_.PlanMonthMenus();
    menus.month = plan.enabled;
    ctx_.state.MaxWageMonth = plan.maxWageMonth;
    Changed();
}

void MainCommands::RefreshInitialDataMenus() {
    const bool has = gates_.HasInitialData();
    menus.N8 = has;
    menus.N2 = has;
    Changed();
}

// ---------------------------------------------------------------- unit form

void MainCommands::UnitSaved(const QString& depName, const QString& depNo, UnitClass cls) {
    MainState& s = ctx_.state;
    menus.N72 = cls.IsEnterprise();
    menus.N73 = cls.IsOrgan();
    panel[0] = QStringLiteral("当前单位： ") + depName;
    s.DepNo = depNo;
    s.DepName = depName;
    s.DepClass = cls;
    // What the unit form stored.
    s.DepType = cls.DepTypeText();
    s.DepInfo = cls.DepInfoText();
    // After a first registration too: a unit founded in May must not see January open.
    RefreshMonthMenus();
}

void MainCommands::UnitFormFinished(const QString& classText) {
    // The mark stays while no unit is stored (a refused first registration saved nothing).
    caption = unit::Load(ctx_.db) ? kAppTitle : kAppTitle + QStringLiteral("[未登记]");
    panel[1] = classText;
    Changed();
}

void MainCommands::ShowUnitClass(const QString& classText) {
    panel[1] = classText;
    Changed();
}

// ---------------------------------------------------------------- helpers

void MainCommands::UnitGate(bool openForm, bool fullStopWording) {
    if (gates_.LoadUnitInfo()) return;
    ctx_.ui.Info(fullStopWording ? QStringLiteral("请先填写单位基本信息。") : QStringLiteral("请先填写单位基本信息！"));
    if (openForm) N11Click();
    Abort();
}

std::unique_ptr<IForm> MainCommands::Create(const QString& formClass, const FormArgs& args) {
    std::unique_ptr<IForm> f = ctx_.forms ? ctx_.forms->Create(formClass, args) : nullptr;
    if (!f) {
        ShowStatus(FormNotAvailableText(formClass));
        Abort();
    }
    return f;
}

template <class I>
std::unique_ptr<I> MainCommands::CreateAs(const QString& formClass, const FormArgs& args) {
    std::unique_ptr<I> f = ctx_.forms ? ctx_.forms->CreateAs<I>(formClass, args) : nullptr;
    if (!f) {
        ShowStatus(FormNotAvailableText(formClass));
        Abort();
    }
    return f;
}

void MainCommands::OpenModal(const QString& formClass, const FormArgs& args) { Create(formClass, args)->ShowModal(); }

void MainCommands::OpenModeless(const QString& formClass, const FormArgs& args) {
    std::unique_ptr<IForm> f = Create(formClass, args);
    IForm* raw = f.get();
    raw->ShowModeless(std::move(f));
}

void MainCommands::CloseConnectionAndWindow() {
    ctx_.db.Close();
    if (closeWindow) closeWindow();
}

// ---------------------------------------------------------------- 从业人员管理

void MainCommands::N56Click() { OpenModeless(QStringLiteral("TFrm_Brower")); }
void MainCommands::N11Click() { OpenModal(QStringLiteral("TFrm_dep")); }
void MainCommands::N50Click() { OpenModal(QStringLiteral("TFrm_changeDep")); }

void MainCommands::N10Click() {
    UnitGate(true);
    OpenModal(QStringLiteral("TFrm_allput"), {Month::Start()});
}

void MainCommands::N13Click() {
    UnitGate(true);
    CreateAs<IPerput>(QStringLiteral("TFrm_perput"), {.month = Month::Start(), .opener = PerputOpener::MainWindow})
        ->ShowModal();
}

void MainCommands::N16Click() {
    if (closeWindow) closeWindow();
}

// ---------------------------------------------------------------- 工资录入

void MainCommands::N9Click() { maint_.N9Click(); }

void MainCommands::MonthClick(int k) {
    if (k < 1 || k > 12) return;
    UnitGate(k == 1);
    const Month month(k);
    if (k >= 2 && !gates_.CheckPreviousMonth(*month.Previous())) return;
    if (!gates_.CheckMonthStaffList(month)) return;
    OpenModal(QStringLiteral("TFrm_mon"), {month});
}

// ---------------------------------------------------------------- 数据汇总

void MainCommands::N42Click() {
    UnitGate(true);
    if (!StaffTable(ctx_.db).HasRows(Month::YearEnd())) {
        ctx_.ui.Info(QStringLiteral("年度数据不全，请保证有年末12月数据。"));
        return;
    }
    OpenModal(QStringLiteral("TFrm_hzinfo"));
}

void MainCommands::N71Click() {
    UnitGate(true);
    OpenModal(QStringLiteral("TFrm_hz"));
}

void MainCommands::WageSummary(const QString& chooser, bool summaryModeSwitch) {
    UnitGate(true);
    const QString errors = gates_.StaffErrorMonthList();
    if (!errors.isEmpty()) {
        ctx_.ui.Info(errors + QStringLiteral("人员有错误信息，请核对。"));
        return;
    }
    std::unique_ptr<IMonthRangeChooser> c;
    if (summaryModeSwitch) {
        auto ab = CreateAs<ISummaryPeriodChooser>(chooser);
        ab->SetSummaryMode(true);
        c = std::move(ab);
    } else {
        c = CreateAs<IMonthRangeChooser>(chooser);
    }
    // Freed unshown when either check refuses; the second runs only after the first passed.
    if (c->LoadMonths() && c->CheckMonthErrors()) c->ShowModal();
}

void MainCommands::N72Click() { WageSummary(QStringLiteral("TFrm_chooseAB"), true); }
void MainCommands::N73Click() { WageSummary(QStringLiteral("TFrm_chooseBA"), false); }

void MainCommands::N60Click() {
    UnitGate(true);
    auto c = CreateAs<ISummaryPeriodChooser>(QStringLiteral("TFrm_chooseAB"));
    c->SetSummaryMode(false);
    if (c->LoadMonths() && c->CheckMonthErrors()) c->ShowModal();
}

void MainCommands::QuarterLabourClick(int quarter) {
    const std::optional<Quarter> q = Quarter::Of(quarter);
    if (!q) return;
    const QString refusal = gates_.PeriodRefusal(q->LastMonth(), true);
    if (!refusal.isEmpty()) {
        ctx_.ui.Info(refusal);
        return;
    }
    OpenModal(QStringLiteral("TFrm_JLabor"), {.quarter = q});
}

void MainCommands::N59Click() {
    const QString refusal = gates_.PeriodRefusal(Month::YearEnd(), false);
    if (!refusal.isEmpty()) {
        ctx_.ui.Info(refusal);
        return;
    }
    OpenModeless(QStringLiteral("TFrm_NLabor"));
}

void MainCommands::QuarterWageClick(int quarter) {
    const std::optional<Quarter> q = Quarter::Of(quarter);
    if (!q || !report::QuarterWageReport(*q).PassGates(gates_, ctx_.ui)) return;
    OpenModeless(QStringLiteral("TFrm_JGLabor"), {.quarter = q});
}

void MainCommands::N66Click() {
    UnitGate(true);
    if (!report::AnnualWageReport::PassGates(gates_, ctx_.ui)) return;
    OpenModal(QStringLiteral("TFrm_NGLabor"));
}

void MainCommands::N14Click() {
    UnitGate(true, true);
    auto c = CreateAs<IMonthLoader>(QStringLiteral("TFrm_chooseMon"));
    if (c->LoadMonths()) c->ShowModal();
}

void MainCommands::N46Click() {
    UnitGate(true);
    OpenModal(QStringLiteral("TFrm_allput"), {std::nullopt});  // the staff register
}

// ---------------------------------------------------------------- 系统管理

void MainCommands::N70Click() { OpenModal(QStringLiteral("TAboutFrm")); }

// Help opens from the base folder, whatever folder a dialog last visited.
void MainCommands::N5Click() { ctx_.ui.OpenDocument(ctx_.paths.FillingHelp()); }
void MainCommands::N6Click() { ctx_.ui.OpenDocument(ctx_.paths.SystemHelp()); }

void MainCommands::N32Click() { maint_.N32Click(); }
void MainCommands::N21Click() { maint_.N21Click(); }
void MainCommands::N31Click() { maint_.N31Click(); }
void MainCommands::N33Click() { maint_.N33Click(); }

bool MainCommands::N34Click() {
    bool deleted = false;
    try {
        deleted = maint_.N34Click();
    } catch (const SilentAbort&) {
        return false;  // its own message said why
    }
    if (deleted) {
        menus.N8 = false;
        menus.N2 = false;
        ctx_.state.InitialCleared = 1;
        Changed();
    }
    return deleted;
}

void MainCommands::N43Click() {
    if (maint_.N43Click()) CloseConnectionAndWindow();
}
void MainCommands::N37Click() { maint_.N37Click(); }
void MainCommands::N41Click() {
    if (maint_.N41Click()) CloseConnectionAndWindow();
}

void MainCommands::N75Click() { OpenModal(QStringLiteral("TFrm_historyfrom")); }

void MainCommands::N4Click() {
    // Unsaved work in an open window is given up only when the person says so.
    if (ctx_.forms && !ctx_.forms->MayLeave()) return;
    leaving = true;
    CloseConnectionAndWindow();
}

// ---------------------------------------------------------------- tool bar

void MainCommands::SpeedButton8Click() {
    UnitGate(true);
    const FoundingMonth c = ctx_.state.CreateMon;  // just reloaded by the gate
    if (!menus.N8) {
        ctx_.ui.Info(QStringLiteral("请先输入期初数据。"));
        OpenModal(QStringLiteral("TFrm_allput"), {Month::Start()});
        return;
    }
    if (!c.valid) return;  // not a founding month: nothing
    int s = 1;
    if (c.before) {
        if (*c.before == Month(11)) {
            if (menus.month[12]) MonthClick(12);
            return;
        }
        s = c.before->Number() + 1;
    }
    // The last month of the run of enabled items that follows s.
    int k = s;
    while (k < 12 && menus.month[size_t(k + 1)]) ++k;
    MonthClick(k);
}

void MainCommands::SpeedButton5Click() {
    // By the unit's type, as the menu item of the other kind may be hidden.
    if (ctx_.state.DepClass.IsOrgan())
        N73Click();
    else
        N72Click();
}

void MainCommands::SpeedButton3Click() {
    UnitGate(true);
    OpenModal(QStringLiteral("TFrm_ChooseJLabor"));
}

}  // namespace qm
