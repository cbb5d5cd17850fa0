#pragma once
// Everything the main window does, without its widgets: the state of its menus, caption and
// status panels, the show handler, the two menu refreshers, and every command of its menus
// and tool bar. The window only draws this state and forwards its clicks; tests drive it
// with the scripted message service and a recording form factory.

#include "core/app/FormFactory.h"
#include "core/app/Maintenance.h"
#include "core/base/AppContext.h"
#include "core/base/UiService.h"
#include "core/unit/Gates.h"
#include "core/unit/UnitInfo.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>

namespace qm {

class IForm;

// What the menus show that code changes.
struct MenuFlags {
    std::array<bool, 13> month{};  // N901..N9012 enabled (index 1..12)
    bool N8 = false;               // "工资录入" enabled
    bool N2 = false;               // "数据汇总" enabled
    bool N72 = true;               // wage summary for enterprises and institutions visible
    bool N73 = true;               // wage summary for government organs visible
};

class MainCommands : public IMainWindow, public UnitFormHost {
public:
    explicit MainCommands(AppContext& ctx);

    // The window follows these.
    QString caption = kAppTitle;
    std::array<QString, 2> panel;  // status panels: unit name, unit class
    QString statusText;            // the last passing status message
    MenuFlags menus;
    std::function<void()> changed;                      // caption, panels or menus changed
    std::function<void(const QString&)> statusMessage;  // a passing message
    std::function<void()> closeWindow;                  // close the main window
    bool leaving = false;                               // 退出 asked already: closing asks no more
    // Runs a step once the window is on screen; unset, the step runs at once. A modal form
    // opened from inside the show event would come up over a window never painted.
    std::function<void(std::function<void()>)> afterShown;

    Gates& gates() { return gates_; }

    // The show handler; the window runs it once, on its first show.
    void FormShow();

    // IMainWindow
    void RefreshMonthMenus() override;
    void RefreshInitialDataMenus() override;
    bool N34Click() override;  // 清空期初从业人员
    bool LoadUnitInfo() override { return gates_.LoadUnitInfo(); }
    bool HasMonthData(Month m) override { return gates_.HasMonthData(m); }
    bool CheckMonthDataErrors(Month m) override { return gates_.CheckMonthDataErrors(m); }
    void ShowStatus(const QString& text) override;
    bool CheckPreviousMonth(Month p) { return gates_.CheckPreviousMonth(p); }
    bool CheckMonthStaffList(Month m) { return gates_.CheckMonthStaffList(m); }

    // The unit form's save reports here (after the row is written).
    void UnitSaved(const QString& depName, const QString& depNo, UnitClass cls) override;
    // The unit form's last step, saved or refused: caption and the class panel.
    void UnitFormFinished(const QString& classText) override;
    // The class panel alone: the unit form shows the stored unit's class as it loads it.
    void ShowUnitClass(const QString& classText);

    // 从业人员管理
    void N56Click();  // 人员基本情况
    void N11Click();  // 单位基本信息
    void N50Click();  // 切换单位
    void N10Click();  // 从业人员批量输入 (also N39 and the tool button 批量输入)
    void N13Click();  // 从业人员个人输入 (also N40 and the tool button 个人输入)
    void N16Click();  // 退出
    // 工资录入
    void N9Click();          // 期末从业人员总数设置
    void MonthClick(int k);  // N901Click .. N9012Click
    // 数据汇总
    void N42Click();                       // 年末人才资源情况汇总 (also the tool button 人才资源)
    void N71Click();                       // 人才资源汇总
    void N72Click();                       // 按人员分类工资情况汇总, an enterprise's
    void N73Click();                       // 按人员分类工资情况汇总, an organ's
    void N60Click();                       // 劳动情况基层季报表 > 期间报表
    void QuarterLabourClick(int quarter);  // N61Click, N62Click, N63Click
    void N59Click();                       // 劳动情况基层年报表
    void QuarterWageClick(int quarter);    // N67Click, N68Click, N69Click
    void N66Click();                       // 从业人员及工资总额年报 (also the tool button 年  报)
    void N14Click();                       // 工资发放清单
    void N46Click();                       // 人员名册
    // 系统管理
    void N70Click();  // 关于本系统 (also N54)
    void N5Click();   // 填写说明
    void N6Click();   // 系统使用说明
    void N32Click();  // 数据库检查
    void N21Click();  // 清空月度工资
    void N31Click();  // 清空从业人员
    void N33Click();  // 清空月度从业人员
    void N43Click();  // 初始化系统
    void N37Click();  // 数据备份
    void N41Click();  // 数据还原
    void N75Click();  // 导入历史数据[仅Korvath省]
    // 退出 (top level): closes the connection, then the window.
    void N4Click();
    // Tool bar.
    void SpeedButton8Click();  // 工资录入
    void SpeedButton5Click();  // 工资情况
    void SpeedButton3Click();  // 季  报

private:
    // No unit: the message (with the unit form when asked), then a silent stop.
    void UnitGate(bool openForm, bool fullStopWording = false);
    std::unique_ptr<IForm> Create(const QString& formClass, const FormArgs& args = {});
    template <class I>
    std::unique_ptr<I> CreateAs(const QString& formClass, const FormArgs& args = {});
    void OpenModal(const QString& formClass, const FormArgs& args = {});
    void OpenModeless(const QString& formClass, const FormArgs& args = {});
    void WageSummary(const QString& chooser, bool summaryModeSwitch);
    void CloseConnectionAndWindow();
    void Changed();

    AppContext& ctx_;
    Gates gates_;
    Maintenance maint_;
};

}  // namespace qm
