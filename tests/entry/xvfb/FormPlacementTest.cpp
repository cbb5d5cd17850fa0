// Where the entry forms open on a real display: whole on the screen, centred on the window that
// opened them (the monthly list on the screen), also when the opener stands near the screen's edge.
#include "core/base/FormFactory.h"
#include "entry/EntryRegistration.h"
#include "entry/staff/AllputForm.h"
#include "entry/staff/DelPersnoForm.h"
#include "entry/staff/MonputForm.h"
#include "entry/staff/WrongForm.h"
#include "entry/wage/WageSheetForm.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace real = qm::test::real;

namespace qm::test {
namespace {

class FormPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        env.Store(2, "张三", "1001", "0", "大专");  // an error row for the error list
        env.ctx.forms = &forms;
        env.ctx.mainWidget = &main;
        RegisterEntryForms(forms);
        // The main window low and to the right: centring on it alone would run off the screen.
        main.setWindowTitle("main");
        main.resize(1024, 700);
        main.move(area().right() - 700, area().bottom() - 420);
        ASSERT_TRUE(real::ShowActive(&main));
    }
    static QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // Whole on the screen and centred on `anchor` (on the screen when null) as far as the screen allows.
    static void ExpectPlaced(const QWidget* w, const QWidget* anchor, const char* what) {
        real::Settle(150);
        const QRect f = w->frameGeometry();
        EXPECT_TRUE(area().contains(f)) << what;
        const QPoint c = anchor ? anchor->frameGeometry().center() : area().center();
        const int x = std::clamp(c.x() - f.width() / 2, area().left(), area().right() + 1 - f.width());
        const int y = std::clamp(c.y() - f.height() / 2, area().top(), area().bottom() + 1 - f.height());
        EXPECT_NEAR(f.x(), x, 2) << what;
        EXPECT_NEAR(f.y(), y, 2) << what;
        real::SaveScreenshot(area(), QString("placement_%1.png").arg(what));
    }
    // Runs `fn` on the modal window once it is up.
    static void WhenModal(std::function<void(QWidget*)> fn) {
        QTimer::singleShot(300, [fn] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            fn(w);
        });
    }

    MonputEnv env{"否", "2"};
    FormFactory forms{env.ctx};
    QWidget main;
};

TEST_F(FormPlacement, EntryFormsOpenWholeCentredOnTheirOpener) {
    env.state.CurrentMonth = Month::Start();
    {
        TFrm_allput batch(env.ctx);
        batch.show();
        ExpectPlaced(&batch, &main, "batch_sheet");
    }
    env.state.CurrentMonth = Month(2);
    QPointer<TFrm_monput> list = TFrm_monput::ShowList(env.ctx);
    ExpectPlaced(list, nullptr, "monthly_list");
    WhenModal([&](QWidget* w) {
        ExpectPlaced(w, list, "staff_error_list");
        w->close();
    });
    list->B5Click();
    WhenModal([&](QWidget* w) {
        ExpectPlaced(w, list, "batch_deletion");
        w->close();
    });
    list->B4Click();
    delete list.data();

    // The wage sheet, and the monthly list its 核实名册 opens beside it.
    env.state.CurrentMonth = Month(2);
    TFrm_mon wage(env.ctx, &main);
    WhenModal([&](QWidget* w) {
        ExpectPlaced(w, &main, "wage_sheet");
        static_cast<TFrm_mon*>(w)->BitBtn1Click();
        if (QWidget* staff = TFrm_monput::Instance()) {
            ExpectPlaced(staff, nullptr, "monthly_list_from_wage_sheet");
            delete staff;
        } else {
            ADD_FAILURE() << "no monthly list";
        }
        w->close();
    });
    wage.ShowModal();
}

}  // namespace
}  // namespace qm::test
