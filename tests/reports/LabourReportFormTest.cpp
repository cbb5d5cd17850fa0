#include "core/app/FormFactory.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Errors.h"
#include "reports/LabourRegistration.h"
#include "reports/LabourReportForm.h"
#include "reports/PaymentListForm.h"
#include "sheet/SheetView.h"
#include "tests/support/TempBase.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace qm {
namespace {

QString ShotDir() {
    const QString dir = qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath() + QStringLiteral("/qm-shots"));
    QDir().mkpath(dir);
    return dir;
}

class LabourFormsTest : public ::testing::Test {
protected:
    void Use(const char* fixture, const QString& depNo, const QString& depName) {
        base.RunFixture(QString::fromLatin1(fixture));
        state.DepNo = depNo;
        state.DepName = depName;
        state.DepClass = UnitClass(false, UnitClass::Kind::AboveSize);
    }
    test::TempBase base;
    ScriptedUiService ui;
    MainState state;
    MemoryProgress pb;
    AppContext ctx{base.db(), ui, base.paths(), state, pb, nullptr, nullptr, nullptr};
};

TEST_F(LabourFormsTest, QuarterFormComputesExportsPrintsAndUploads) {
    Use("labour_quarter.sql", QStringLiteral("12345678X"), QStringLiteral("测试单位"));
    TFrm_JLabor f(ctx, nullptr, MonthRun(Quarter(1)));
    f.FormShow();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("企事业单位劳动统计报表（季度） 统计第一季度，即从 1 月到 3月"));
    EXPECT_EQ(f.Label(3)->text(), QStringLiteral("组织机构代码 12345678X"));
    EXPECT_EQ(f.Label(4)->text(), QStringLiteral("企业（单位）详细名称 测试单位"));
    EXPECT_EQ(f.Book().GetCellText(3, 4), QStringLiteral("4"));
    EXPECT_EQ(f.Book().GetCellText(16, 5), QStringLiteral("8600"));
    EXPECT_TRUE(f.BitBtn(4)->isEnabled());
    f.show();
    QApplication::processEvents();
    EXPECT_TRUE(f.grab().save(ShotDir() + QStringLiteral("/jlabor-q1.png")));

    // Printing before the export says so.
    f.BitBtn3Click();
    ASSERT_NE(ui.Last(), nullptr);
    EXPECT_EQ(ui.Last()->text, QStringLiteral("必须导成EXCEL才支持打印。"));
    f.BitBtn2Click();
    const QString book = base.paths().Xls() + QStringLiteral("/基础定期报表I202-2_2012年1季度.xlsx");
    EXPECT_TRUE(QFileInfo::exists(book));
    ui.Clear();
    f.BitBtn3Click();
    ASSERT_NE(ui.Last(), nullptr);
    EXPECT_EQ(ui.Last()->sort, ShownBox::Sort::OpenDocument);

    f.BitBtn4Click();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Rcsb() + QStringLiteral("/12345678X_1_i202.dbf")));
    EXPECT_FALSE(f.isVisible());  // the upload closes the form
    EXPECT_EQ(pb.Position(), 0);
}

TEST_F(LabourFormsTest, PeriodModeDisablesTheUploadAndDividesByTheRunsMonths) {
    Use("labour_quarter.sql", QStringLiteral("12345678X"), QStringLiteral("测试单位"));
    TFrm_JLabor f(ctx, nullptr, MonthRun(Month(2), Month(3)));
    f.FormShow();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("企事业单位劳动统计报表（季度） 统计从 2月到3月"));
    EXPECT_FALSE(f.BitBtn(4)->isEnabled());
    EXPECT_EQ(f.Book().GetCellText(1, 5), QStringLiteral("统计月间"));
    EXPECT_EQ(f.Book().GetCellText(9, 5), QStringLiteral("3"));   // 6 person-months over 2 months
    EXPECT_EQ(f.Book().GetCellText(24, 5), QStringLiteral("3"));  // B5
    EXPECT_TRUE(f.Label(7)->text().isEmpty());
    f.show();
    QApplication::processEvents();
    EXPECT_TRUE(f.grab().save(ShotDir() + QStringLiteral("/jlabor-period.png")));
    f.BitBtn2Click();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Xls() + QStringLiteral("/基础定期报表I202-2_.xlsx")));
}

TEST_F(LabourFormsTest, AnnualFormComputesAndUploads) {
    Use("labour_annual.sql", QStringLiteral("87654321Y"), QStringLiteral("年报单位"));
    auto* f = new TFrm_NLabor(ctx);
    f->ShowModeless(std::unique_ptr<IForm>(f));
    QApplication::processEvents();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Label(7)->text(), QStringLiteral("2011年"));
    EXPECT_EQ(f->Book().GetCellText(22, 4), QStringLiteral("3050.13"));
    EXPECT_EQ(f->Book().GetCellText(9, 9), QStringLiteral("7"));
    EXPECT_EQ(pb.Position(), 100);
    EXPECT_TRUE(f->grab().save(ShotDir() + QStringLiteral("/nlabor.png")));
    f->BitBtn2Click();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Xls() + QStringLiteral("/基础定期报表I102-2_2011年.xlsx")));
    QPointer<TFrm_NLabor> alive(f);
    f->BitBtn4Click();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Rcsb() + QStringLiteral("/87654321Y_i102.dbf")));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());  // closed and freed
    EXPECT_EQ(pb.Position(), 0);
}

TEST_F(LabourFormsTest, PaymentChooserRefusesBadRangesAndListsTheChosenMonths) {
    Use("payment_list.sql", QStringLiteral("12345678X"), QStringLiteral("测试单位"));
    TFrm_chooseMon empty(ctx);
    EXPECT_FALSE(empty.LoadMonths());  // no monthly staff list yet
    ASSERT_NE(ui.Last(), nullptr);
    EXPECT_EQ(ui.Last()->sort, ShownBox::Sort::Stop);
    EXPECT_EQ(ui.Last()->text, QStringLiteral("没有输入月工资信息！"));

    for (int m : {5, 3, 4})
        base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sIsok) values (?, '1', '1')"), {m});
    TFrm_chooseMon c(ctx);
    ASSERT_TRUE(c.LoadMonths());
    EXPECT_EQ(c.FromMon()->count(), 3);
    EXPECT_EQ(c.FromMon()->itemText(0), QStringLiteral("3"));
    EXPECT_EQ(c.ToMon()->itemText(2), QStringLiteral("5"));
    c.show();
    for (const auto& bad : {std::pair{"5", "3"}, std::pair{"x", "5"}, std::pair{"3", "13"}}) {
        ui.Clear();
        c.FromMon()->setEditText(QString::fromLatin1(bad.first));
        c.ToMon()->setEditText(QString::fromLatin1(bad.second));
        c.BitBtn1Click();
        EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("开始、截止月份错误!")}) << bad.first << "-" << bad.second;
        EXPECT_TRUE(c.isVisible());
    }

    c.FromMon()->setEditText(QStringLiteral("3"));
    c.ToMon()->setEditText(QStringLiteral("5"));
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* list = qobject_cast<TFrm_permonWage*>(QApplication::activeModalWidget());
        if (!list) return;
        seen << list->windowTitle() << list->Label1()->text() << list->Book().GetCellText(2, 1)
             << list->Book().GetCellText(8, 14) << list->Book().GetCellText(8, 15);
        list->grab().save(ShotDir() + QStringLiteral("/permonwage.png"));
        list->SpeedButton2Click();
    });
    c.BitBtn1Click();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("[测试单位] 工资发放汇总清单"),
                                 QStringLiteral("3月 - 5月 的工资发放汇总清单"), QStringLiteral("王一"),
                                 QStringLiteral("总计："), QStringLiteral("25700")}));
    EXPECT_FALSE(c.isVisible());  // the chooser closes after the list
}

TEST_F(LabourFormsTest, RegisteredUnderTheirClassNames) {
    FormFactory forms(ctx);
    RegisterLabourForms(forms);
    // The quarterly form counts the run it is made with: a chosen run before a quarter, the
    // first quarter when given neither; only a quarter's run is uploaded.
    const struct {
        FormArgs args;
        int first, last, quarter;  // 0: none
    } runs[] = {{{}, 1, 3, 1},
                {{.quarter = Quarter(2)}, 1, 6, 2},
                {{.run = MonthRun(Month(2), Month(5))}, 2, 5, 0},
                {{.quarter = Quarter(3), .run = MonthRun(Month(4), Month(4))}, 4, 4, 0}};
    for (const auto& r : runs) {
        SCOPED_TRACE(r.first * 100 + r.last);
        const auto form = forms.CreateAs<IJLabor>(QStringLiteral("TFrm_JLabor"), r.args);
        const auto* window = dynamic_cast<const TFrm_JLabor*>(form.get());
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->Report().Run(), form->Run());
        EXPECT_EQ(form->Run(), r.quarter ? MonthRun(Quarter(r.quarter)) : MonthRun(Month(r.first), Month(r.last)));
        EXPECT_EQ(window->BitBtn(4)->isEnabled(), r.quarter != 0);
    }
    EXPECT_NE(forms.CreateAs<IMonthLoader>(QStringLiteral("TFrm_chooseMon")), nullptr);
    EXPECT_NE(forms.Create(QStringLiteral("TFrm_NLabor")), nullptr);
}

}  // namespace
}  // namespace qm
