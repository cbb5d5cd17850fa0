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

}  // namespace
}  // namespace qm::test
