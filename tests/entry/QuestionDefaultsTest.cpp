// Every question whose Yes deletes stored rows, empties a list or the database, or discards
// typed work has No as its default: Enter and Esc keep. Each is asked over one stored unit and
// answered as a habitual key answers it, with the box's default: no stored row may go, and no
// typed work. The three sheets' question before rows below an empty name are left out stands in
// their own table (SaveRefusalTest); the wage sheet's import and the month-clearing dialogs'
// question in their forms' tests.
#include "core/app/Maintenance.h"
#include "core/db/Errors.h"
#include "entry/staff/AllputForm.h"
#include "entry/staff/DelPersnoForm.h"
#include "entry/staff/PerputForm.h"
#include "entry/wage/WageSheetForm.h"
#include "tests/entry/staff/ListWindow.h"
#include "tests/support/RecordingMain.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::ListWindow;
using test::MonputEnv;

// The rows each month's staff list holds.
QString Counts(MonputEnv& env) {
    return env.tb.Scalar(
        "select group_concat(sMon || ':' || n) from (select sMon, count(*) n from Staff_moninfo "
        "group by sMon)");
}

// The month's list of month 2 whose first name is typed over.
struct TypedList : ListWindow {
    explicit TypedList(MonputEnv& env) : ListWindow(env, Month(2)) {
        w->Sheet().SetCellText(3, 1, QStringLiteral("新人"));
    }
    bool Kept() const { return w->Dirty() && w->Sheet().GetCellText(3, 1) == "新人"; }
};

template <class Dialog>
bool ClosingKeepsTyped(Dialog& f, int row, int col) {
    f.show();
    f.Book().SetCellText(row, col, QStringLiteral("新人"));
    f.reject();
    return f.isVisible();
}

bool DeletingMatches(MonputEnv& env, bool one) {
    DelPersnoForm d(env.ctx, Month(2));
    MonputEnv::Type(d.Form().Left(), 2, {"甲", "1", ""});
    d.Form().BitBtn1Click();
    d.Form().Right().SetSelection(2, 1, 2, 1);
    one ? d.Form().N7Click() : d.Form().N9Click();
    return true;
}

TEST(QuestionDefaults, EveryQuestionThatGivesWorkUpKeepsItOnItsDefault) {
    // Each asks its question; answers whether the typed work it could give up is still there.
    using Ask = std::function<bool(MonputEnv&)>;
    const std::pair<const char*, Ask> cases[] = {
        {"是否不保存，直接关闭",
         [](MonputEnv& env) {
             TFrm_allput f(env.ctx, Month::Start());
             return ClosingKeepsTyped(f, 3, 1);
         }},
        {"是否不保存，直接关闭",
         [](MonputEnv& env) {
             TFrm_mon f(env.ctx, Month(2));
             return ClosingKeepsTyped(f, 2, 2);
         }},
        {"2月名册尚未保存，是否放弃修改",
         [](MonputEnv& env) {
             TypedList w(env);
             TFrm_monput::ShowList(env.ctx, Month(3));
             return w.Kept() && w->Month() == 2;
         }},
        {"是否放弃未保存的修改",  // opened again after another program changed the month
         [](MonputEnv& env) {
             TypedList w(env);
             env.tb.db().Exec("update Staff_moninfo set sName='别处' where sMon=2 and sNumber='2'");
             TFrm_monput::ShowList(env.ctx, Month(2));
             return w.Kept();
         }},
        {"导入名单将覆盖上面显示名单",
         [](MonputEnv& env) {
             TypedList w(env);
             w->BitBtn2Click();
             w->B1Click();
             return w.Kept();
         }},
        {"是否不保存，直接退出",
         [](MonputEnv& env) {
             TypedList w(env);
             return !TFrm_monput::MayLeave(env.ctx) && w.Kept();
         }},
        {"Yes:清空，无法恢复", [](MonputEnv& env) { return !Maintenance(env.ctx).N34Click(); }},
        {"一旦清空，无法恢复", [](MonputEnv& env) { return Maintenance(env.ctx).N31Click(), true; }},
        {"系统数据将清空", [](MonputEnv& env) { return !Maintenance(env.ctx).N43Click(); }},
        {"确认还原", [](MonputEnv& env) { return !Maintenance(env.ctx).N41Click(); }},
        {"确认清空",  // the single-person form's whole list
         [](MonputEnv& env) {
             TFrm_perput f(env.ctx, nullptr, Month(2), PerputOpener::MonthList);
             f.show();
             QApplication::processEvents();
             f.N4Click();
             return true;
         }},
        {"请慎重清空", [](MonputEnv& env) { return DeletingMatches(env, false); }},
        {"确定删除", [](MonputEnv& env) { return DeletingMatches(env, true); }},
    };
    for (const auto& c : cases) {
        const char* const asked = c.first;  // clang 14 captures no structured binding
        SCOPED_TRACE(asked);
        MonputEnv env("否", "2");
        test::RecordingMain main;
        env.ctx.main = &main;
        for (int mon : {0, 2}) {
            int number = 0;
            for (const char* n : {"甲", "乙", "丙", "丁"}) env.Store(mon, n, QString::number(++number));
        }
        const QString stored = Counts(env);
        bool kept = false;
        Guarded(env.ui, [&] { kept = c.second(env); });
        const auto box = std::find_if(env.ui.shown.begin(), env.ui.shown.end(),
                                      [&](const ShownBox& b) { return b.text.contains(QString::fromUtf8(asked)); });
        ASSERT_NE(box, env.ui.shown.end()) << env.ui.Texts().join(" | ").toStdString();
        EXPECT_EQ(box->buttons, DlgButtons::YesNoDefaultNo);
        EXPECT_TRUE(kept);
        EXPECT_EQ(Counts(env), stored);
    }
}

}  // namespace
}  // namespace qm
