#include "core/base/ScriptedUiService.h"
#include "core/db/DataModule.h"
#include "shell/MainForm.h"
#include "shell/UnitForm.h"
#include "tests/shell/MainFixture.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

// A registered enterprise with a start-of-period list and wages of January and February.
struct Window {
    qm::test::TempBase base;
    qm::ScriptedUiService ui;
    std::unique_ptr<qm::TDataModule1> dm;
    std::unique_ptr<qm::TFrm_main> main;

    Window() {
        base.db().Exec(QStringLiteral(
            "insert into Dep_Info values('青石湾建设工程有限公司','91320500X','企业事业单位','是1','1','99')"));
        for (int m = 0; m <= 2; ++m)
            base.db().Exec(
                QStringLiteral("insert into Staff_moninfo(sMon,sName,sNumber,sIsok) values(?,'张三','001','1')"), {m});
        for (int m = 1; m <= 2; ++m)
            base.db().Exec(
                QStringLiteral(
                    "insert into Wage_Info(Smon,sNumber,sName,sTotal,sFlag,wFlag) values(?,'001','张三',3000,'1','1')"),
                {m});
        base.db().Close();
        dm = std::make_unique<qm::TDataModule1>(base.paths().Database(), ui);
        main = std::make_unique<qm::TFrm_main>(*dm, ui, base.paths());
        dm->DataModuleCreate();
        main->resize(1000, 640);
        main->show();
    }
    ~Window() { main->close(); }

    QStringList Captions(const QString& menuTitle) const {
        QStringList out;
        for (QAction* top : main->menuBar()->actions()) {
            if (top->text() != menuTitle || !top->menu()) continue;
            for (QAction* a : top->menu()->actions())
                if (!a->isSeparator() && a->isVisible()) out << a->text();
        }
        return out;
    }
};

TEST(MainWindow, MenusToolBarAndStatusBarOfARegisteredUnit) {
    Window w;
    EXPECT_TRUE(w.ui.shown.empty());
    EXPECT_EQ(w.main->windowTitle(), QStringLiteral("Quillmarsh.2012版"));
    EXPECT_EQ(w.main->PanelText(0), QStringLiteral("当前单位： 青石湾建设工程有限公司"));
    EXPECT_EQ(w.main->PanelText(1), QStringLiteral("有总承包和专业承包资质的建筑业单位"));

    QStringList tops;
    for (QAction* a : w.main->menuBar()->actions())
        if (a->isVisible()) tops << a->text();
    EXPECT_EQ(tops, (QStringList{QStringLiteral("从业人员管理"), QStringLiteral("工资录入"), QStringLiteral("数据汇总"),
                                 QStringLiteral("系统管理"), QStringLiteral("退出")}));
    EXPECT_EQ(w.Captions(QStringLiteral("从业人员管理")),
              (QStringList{QStringLiteral("单位基本信息"), QStringLiteral("期初人员情况"), QStringLiteral("退出")}));
    EXPECT_EQ(w.Captions(QStringLiteral("数据汇总")),
              (QStringList{QStringLiteral("年末人才资源情况汇总"), QStringLiteral("按人员分类工资情况汇总"),
                           QStringLiteral("从业人员及工资总额季报"), QStringLiteral("从业人员及工资总额年报"),
                           QStringLiteral("工资发放清单")}));
    EXPECT_EQ(w.Captions(QStringLiteral("系统管理")),
              (QStringList{QStringLiteral("关于本系统"), QStringLiteral("填写说明"), QStringLiteral("系统使用说明"),
                           QStringLiteral("清空期初从业人员"), QStringLiteral("初始化系统"), QStringLiteral("数据备份"),
                           QStringLiteral("数据还原"), QStringLiteral("导入历史数据[仅Korvath省]")}));
    EXPECT_EQ(w.main->Action(QStringLiteral("N21"))->text(), QStringLiteral("清空月度工资 "));

    // Months 1 to 3 are open; the wage and summary menus are enabled.
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(w.main->Action(QStringLiteral("N90") + QString::number(k))->isEnabled(), k <= 3) << k;
    EXPECT_TRUE(w.main->Action(QStringLiteral("N8"))->isEnabled());
    EXPECT_TRUE(w.main->Action(QStringLiteral("N2"))->isEnabled());
    EXPECT_TRUE(w.main->Action(QStringLiteral("N72"))->isVisible());
    EXPECT_FALSE(w.main->Action(QStringLiteral("N73"))->isVisible());
    EXPECT_FALSE(w.main->Action(QStringLiteral("N61"))->isEnabled());

    QToolBar* tb = w.main->findChild<QToolBar*>();
    ASSERT_NE(tb, nullptr);
    QStringList tools;
    for (QAction* a : tb->actions())
        if (a->isVisible()) tools << a->text();
    EXPECT_EQ(tools, (QStringList{QStringLiteral("工资录入"), QStringLiteral("工资情况"), QStringLiteral("季  报"),
                                  QStringLiteral("年  报"), QStringLiteral("退  出")}));

    // The progress bar holds values at the nearest end.
    w.main->Pb().SetPosition(140);
    EXPECT_EQ(w.main->Pb().Position(), 100);
    w.main->Pb().SetPosition(-3);
    EXPECT_EQ(w.main->Pb().Position(), 0);

    // The show handler runs once only.
    w.main->hide();
    w.main->show();
    EXPECT_TRUE(w.ui.shown.empty());

    if (const QString dir = qEnvironmentVariable("QM_SHOT_DIR"); !dir.isEmpty()) {
        QDir().mkpath(dir);
        w.main->grab().save(dir + QStringLiteral("/main-window.png"));
        auto* wages = w.main->Action(QStringLiteral("N8"))->menu();
        wages->popup(w.main->mapToGlobal(QPoint(100, 30)));
        wages->grab().save(dir + QStringLiteral("/menu-wages.png"));
        wages->hide();
        auto* sums = w.main->Action(QStringLiteral("N2"))->menu();
        sums->popup(w.main->mapToGlobal(QPoint(200, 30)));
        sums->grab().save(dir + QStringLiteral("/menu-sums.png"));
        sums->hide();
        qm::TFrm_dep form(w.main->context(), w.main->commands(), w.main.get());
        form.FormShow();
        form.grab().save(dir + QStringLiteral("/unit-form.png"));
    }
}

TEST(MainWindow, ACommandToAFormNotYetAvailableSaysSoInTheStatusBar) {
    Window w;
    w.main->Action(QStringLiteral("N14"))->trigger();
    EXPECT_EQ(w.main->commands().statusText, QStringLiteral("“工资发放清单”功能尚未提供。"));
    EXPECT_TRUE(w.ui.shown.empty());
}

TEST(MainWindow, TheTopLevelExitClosesTheConnectionAndTheWindow) {
    Window w;
    w.main->Action(QStringLiteral("N4"))->trigger();
    EXPECT_FALSE(w.main->isVisible());
    EXPECT_FALSE(w.dm->ADOConn.IsOpen());
}

}  // namespace
