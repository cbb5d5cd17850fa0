// Where the entry forms open on a real display: whole on the screen, centred on the window that
// opened them (the monthly list on the screen), also when the opener stands near the screen's edge.
#include "core/app/FormFactory.h"
#include "entry/EntryRegistration.h"
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "entry/wage/WageSheetForm.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace qm::test {
namespace {

QRect Area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Whole on the screen, and centred on `anchor` (on the screen when null) as far as the screen allows.
void ExpectPlaced(const QWidget* w, const QWidget* anchor, const QString& what) {
    real::Settle(150);
    const QRect f = w->frameGeometry(), a = Area();
    const QPoint c = anchor ? anchor->frameGeometry().center() : a.center();
    EXPECT_TRUE(a.contains(f)) << what.toStdString();
    EXPECT_NEAR(f.x(), std::clamp(c.x() - f.width() / 2, a.left(), a.right() + 1 - f.width()), 2) << what.toStdString();
    EXPECT_NEAR(f.y(), std::clamp(c.y() - f.height() / 2, a.top(), a.bottom() + 1 - f.height()), 2)
        << what.toStdString();
    real::SaveScreenshot(a, "placement_" + what + ".png");
}

TEST(FormPlacement, EntryFormsOpenWholeCentredOnTheirOpener) {
    MonputEnv env("否", "0");
    env.Store(2, "张三", "1001", "0", "大专");  // an error row for the error list
    FormFactory forms(env.ctx);
    RegisterEntryForms(forms);
    QWidget main;
    env.ctx.forms = &forms;
    env.ctx.mainWidget = &main;
    main.resize(1024, 700);  // low and to the right: centring on it alone would run off the screen
    main.move(Area().right() - 700, Area().bottom() - 420);
    ASSERT_TRUE(real::ShowActive(&main));
    // Checks the modal window once it is up, with `then`, and closes it.
    auto whenModal = [](std::function<void(QWidget*)> then) {
        QTimer::singleShot(300, [then] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            then(w);
            w->close();
        });
    };
    {
        TFrm_allput batch(env.ctx, Month::Start());
        batch.show();
        ExpectPlaced(&batch, &main, "batch_sheet");
    }
    std::unique_ptr<TFrm_monput> list(TFrm_monput::ShowList(env.ctx, Month(2)));
    ExpectPlaced(list.get(), nullptr, "monthly_list");
    whenModal([&](QWidget* w) { ExpectPlaced(w, list.get(), "staff_error_list"); });
    list->B5Click();
    list.reset();

    // The wage sheet, and the monthly list its 核实名册 opens beside it.
    TFrm_mon wage(env.ctx, Month(2), &main);
    whenModal([&](QWidget* w) {
        ExpectPlaced(w, &main, "wage_sheet");
        static_cast<TFrm_mon*>(w)->BitBtn1Click();
        ASSERT_NE(TFrm_monput::Instance(), nullptr);
        ExpectPlaced(TFrm_monput::Instance(), nullptr, "monthly_list_from_wage_sheet");
        delete TFrm_monput::Instance();
    });
    wage.ShowModal();
}

// Every entry window, for every unit class that changes its layout and with the lists' longest
// texts, opens whole in what a 1280 x 1024 screen leaves it beside a desktop's window frame (4 px
// either side, a title bar of 28 px) and panel (40 px); pictures of each are kept to be looked at.
TEST(FormPlacement, EveryEntryWindowFitsAScreenOf1280By1024) {
    const QSize room(1280 - 8, 1024 - 40 - 32);
    const QStringList forms = {"TFrm_allput", "TFrm_monput",    "TFrm_perput",      "TFrm_delPersno",  "TFrm_wrong",
                               "TFrm_mon",    "TFrm_wrontWage", "TFrm_clearChWage", "TFrm_clearChMon", "TFrm_set"};
    int aboveSizeListWidth = 0;
    for (const QString depInfo : {"否", "规上", "是1", "是2", "机关"}) {
        const bool organ = depInfo == QStringLiteral("机关");
        MonputEnv env(organ ? QStringLiteral("否") : depInfo, "2");
        const QString depType = organ ? QStringLiteral("机关单位") : QStringLiteral("企业事业单位");
        env.state.DepClass = UnitClass::Decode(depType, organ ? QStringLiteral("否") : depInfo);
        env.tb.db().Exec("update Dep_Info set DepType=?", {depType});
        for (int mon : {0, 2}) env.Store(mon, "张三", "1001");
        env.Store(2, "李四", "1002", "0", "大专");  // an error row for the error list
        env.tb.db().Exec(
            "update Staff_moninfo set sTPost='专业技术岗位工作人员', sTsf='劳务派遣人员', sTsg='是（持上岗证书）'");
        env.tb.db().Exec(
            "insert into Wage_Info(Smon,sNumber,sName,sTotal,sFlag,wFlag) values(2,'1001','张三',100,'0','1')");
        FormFactory factory(env.ctx);
        RegisterEntryForms(factory);
        QWidget main;
        env.ctx.forms = &factory;
        env.ctx.mainWidget = &main;
        main.resize(1024, 700);
        ASSERT_TRUE(real::ShowActive(&main));
        for (const QString& name : forms) {
            const QString what = name + u'_' + depInfo;
            std::unique_ptr<IForm> form =
                factory.Create(name, {.month = Month(name == QStringLiteral("TFrm_allput") ? 0 : 2)});
            ASSERT_NE(form, nullptr) << what.toStdString();
            auto check = [&, what](QWidget* w) {
                real::Settle(200);
                const QSize s = w->frameGeometry().size();
                if (what == QStringLiteral("TFrm_monput_规上")) aboveSizeListWidth = s.width();
                EXPECT_LE(s.width(), room.width()) << what.toStdString();
                EXPECT_LE(s.height(), room.height()) << what.toStdString();
                real::SaveScreenshot(w->frameGeometry(), "entry_window_" + what + ".png");
            };
            if (name == QStringLiteral("TFrm_monput")) {
                form->ShowModeless(std::move(form));
                ASSERT_NE(TFrm_monput::Instance(), nullptr);
                check(TFrm_monput::Instance());
                delete TFrm_monput::Instance();
                continue;
            }
            bool seen = false;
            QTimer::singleShot(300, [&] {
                if (QWidget* w = QApplication::activeModalWidget()) {
                    seen = true;
                    check(w);
                    w->close();
                }
            });
            form->ShowModal();
            EXPECT_TRUE(seen) << what.toStdString();
        }
    }
    // A list shown for a construction unit and activated as an above-size one takes that class's width.
    MonputEnv env("是1", "2");
    TFrm_monput* list = TFrm_monput::ShowList(env.ctx, Month(2));
    ASSERT_TRUE(real::ShowActive(list));
    env.state.DepClass = UnitClass::Decode(QStringLiteral("企业事业单位"), QStringLiteral("规上"));
    list->FormActivate();
    real::Settle(200);
    EXPECT_EQ(list->frameGeometry().width(), aboveSizeListWidth);
    real::SaveScreenshot(list->frameGeometry(), "entry_window_TFrm_monput_construction_then_above_size.png");
    delete list;
}

}  // namespace
}  // namespace qm::test
