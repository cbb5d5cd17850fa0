// Every question whose Yes deletes stored rows, empties a list or the database, or discards
// typed work has No as its default: Enter and Esc keep. Each is asked here and answered as a
// habitual key answers it, with the box's default, and nothing may be given up.
#include "core/app/Maintenance.h"
#include "core/db/Errors.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/AllputSheet.h"
#include "core/staff/MonputSheet.h"
#include "core/wage/WageSheet.h"
#include "entry/month/ClearMonthForm.h"
#include "entry/staff/AllputForm.h"
#include "entry/staff/DelPersnoForm.h"
#include "entry/staff/MonputForm.h"
#include "entry/staff/PerputForm.h"
#include "entry/wage/WageSheetForm.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RecordingMain.h"

#include <QApplication>
#include <QPointer>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::MonputEnv;

QString Count(MonputEnv& env, const char* table, int month) {
    return env.tb.Scalar(QStringLiteral("select count(*) from %1 where sMon=?").arg(QLatin1String(table)), {month});
}

void StoreWages(MonputEnv& env, int month, int persons) {
    for (int i = 1; i <= persons; ++i)
        env.tb.db().Exec(QStringLiteral("insert into Wage_Info(Smon,sNumber,sName,sN1,sTotal,sFlag,wFlag) "
                                        "values(?,?,?,3000,3000,'1','1')"),
                         {month, QString::number(i), QStringLiteral("人%1").arg(i)});
}

// The month's list window of the program, gone at the end of a case.
struct ListWindow {
    explicit ListWindow(MonputEnv& env, Month m) : w(TFrm_monput::ShowList(env.ctx, m)) {}
    ~ListWindow() {
        if (w) {
            w->setAttribute(Qt::WA_DeleteOnClose, false);
            delete w.data();
        }
    }
    TFrm_monput* operator->() const { return w.data(); }
    QPointer<TFrm_monput> w;
};

TEST(QuestionDefaults, EveryQuestionThatGivesWorkUpKeepsItOnItsDefault) {
    const struct {
        const char* what;
        const char* asked;  // a part of the question's text
        // Asks the question on `env`; answers whether what it would give up is still there.
        std::function<bool(MonputEnv&)> ask;
    } cases[] = {
        {"batch sheet: rows below an empty name", "保存后只剩2人",
         [](MonputEnv& env) {
             for (const char* n : {"甲", "乙", "丙", "丁"}) env.Store(0, n, n);
             TSheetBook book;
             ApplySheetTemplate(book, QStringLiteral("staff"));
             AllputSheet sheet(book, env.ctx, ProgramCodeLists());
             sheet.FillSheet();
             book.SetCellText(5, 1, QString());
             return sheet.Save() == AllputSheet::SaveResult::Cancelled && Count(env, "Staff_moninfo", 0) == "4";
         }},
        {"month's list: rows below an empty name", "保存后只剩2人",
         [](MonputEnv& env) {
             for (const char* n : {"甲", "乙", "丙", "丁"}) env.Store(2, n, n);
             TSheetBook book;
             ApplySheetTemplate(book, QStringLiteral("staff"));
             MonputSheet sheet(book, env.ctx, ProgramCodeLists());
             sheet.SetMonth(Month(2));
             sheet.Load();
             book.SetCellText(5, 1, QString());
             return sheet.Save() == MonputSheet::SaveResult::Cancelled && Count(env, "Staff_moninfo", 2) == "4";
         }},
        {"wage sheet: rows below an empty name", "保存后只剩1人",
         [](MonputEnv& env) {
             StoreWages(env, 2, 3);
             env.state.MaxWageMonth = Month(2);
             TSheetBook book;
             WageSheet sheet(env.ctx, book, Month(2));
             sheet.Load();
             book.SetCellText(3, 2, QString());
             return !sheet.Save() && Count(env, "Wage_Info", 2) == "3";
         }},
        {"batch sheet: close over unsaved rows", "是否不保存，直接关闭",
         [](MonputEnv& env) {
             TFrm_allput f(env.ctx, Month::Start());
             f.show();
             f.Book().SetCellText(3, 1, QStringLiteral("新人"));
             f.reject();
             return f.isVisible();
         }},
        {"wage sheet: close over unsaved rows", "是否不保存，直接关闭",
         [](MonputEnv& env) {
             TFrm_mon f(env.ctx, Month(2));
             f.show();
             f.Book().SetCellText(2, 2, QStringLiteral("新人"));
             f.reject();
             return f.isVisible();
         }},
        {"month's list: another month over unsaved rows", "2月名册尚未保存，是否放弃修改",
         [](MonputEnv& env) {
             ListWindow w(env, Month(2));
             w->Sheet().SetCellText(3, 1, QStringLiteral("新人"));
             TFrm_monput::ShowList(env.ctx, Month(3));
             return w->Month() == 2 && w->Dirty() && w->Sheet().GetCellText(3, 1) == "新人";
         }},
        {"month's list: opened again after the month changed", "是否放弃未保存的修改",
         [](MonputEnv& env) {
             env.Store(2, "甲", "1");
             ListWindow w(env, Month(2));
             w->Sheet().SetCellText(3, 1, QStringLiteral("改名"));
             env.tb.db().Exec("update Staff_moninfo set sNumber='9'");
             TFrm_monput::ShowList(env.ctx, Month(2));
             return w->Dirty() && w->Sheet().GetCellText(3, 1) == "改名";
         }},
        {"month's list: import over shown rows", "导入名单将覆盖上面显示名单",
         [](MonputEnv& env) {
             env.Store(2, "甲", "1");
             env.Store(0, "乙", "2");
             ListWindow w(env, Month(2));
             w->BitBtn2Click();
             w->B1Click();
             return w->Sheet().GetCellText(3, 1) == "甲";
         }},
        {"wage sheet: import over typed rows", "导入名单将覆盖上面显示名单",
         [](MonputEnv& env) {
             env.Store(2, "甲", "1");
             TSheetBook book;
             WageSheet sheet(env.ctx, book, Month(2));
             book.SetCellText(2, 1, QStringLiteral("7"));
             book.SetCellText(2, 3, QStringLiteral("4321"));
             return !sheet.ImportRoster() && book.GetCellText(2, 3) == "4321";
         }},
        {"leaving the program over the list's unsaved rows", "是否不保存，直接退出",
         [](MonputEnv& env) {
             ListWindow w(env, Month(2));
             w->Sheet().SetCellText(3, 1, QStringLiteral("新人"));
             return !TFrm_monput::MayLeave(env.ctx) && w->Dirty();
         }},
        {"clearing the start-of-period list", "Yes:清空，无法恢复",
         [](MonputEnv& env) {
             env.Store(0, "甲", "1");
             return !Maintenance(env.ctx).N34Click() && Count(env, "Staff_moninfo", 0) == "1";
         }},
        {"clearing every month's staff", "一旦清空，无法恢复",
         [](MonputEnv& env) {
             env.Store(4, "甲", "1");
             Maintenance(env.ctx).N31Click();
             return Count(env, "Staff_moninfo", 4) == "1";
         }},
        {"reinitialising the database", "系统数据将清空",
         [](MonputEnv& env) {
             env.Store(0, "甲", "1");
             return !Maintenance(env.ctx).N43Click() && Count(env, "Staff_moninfo", 0) == "1";
         }},
        {"restoring a backup", "确认还原",
         [](MonputEnv& env) {
             env.Store(0, "甲", "1");
             return !Maintenance(env.ctx).N41Click() && Count(env, "Staff_moninfo", 0) == "1";
         }},
        {"clearing a month's staff", "一旦清空，无法恢复",
         [](MonputEnv& env) {
             env.Store(2, "甲", "1");
             ClearMonthDialog d(env.ctx, ClearChMon());
             d.show();
             d.R1->setChecked(true);
             d.BitBtn1Click();
             return Count(env, "Staff_moninfo", 2) == "1";
         }},
        {"clearing a month's wages", "一旦清空，无法恢复",
         [](MonputEnv& env) {
             StoreWages(env, 2, 3);
             ClearMonthDialog d(env.ctx, ClearChWage());
             d.show();
             d.R1->setChecked(true);
             d.BitBtn1Click();
             return Count(env, "Wage_Info", 2) == "3";
         }},
        {"single person: clearing the month's list", "确认清空",
         [](MonputEnv& env) {
             env.Store(2, "甲", "1");
             TFrm_perput f(env.ctx, nullptr, Month(2), PerputOpener::MonthList);
             f.show();
             QApplication::processEvents();
             f.N4Click();
             return Count(env, "Staff_moninfo", 2) == "1";
         }},
        {"batch deletion: clearing the matches", "请慎重清空",
         [](MonputEnv& env) {
             env.Store(2, "甲", "1");
             DelPersnoForm d(env.ctx, Month(2));
             MonputEnv::Type(d.Form().Left(), 2, {"甲", "1", ""});
             d.Form().BitBtn1Click();
             d.Form().N9Click();
             return Count(env, "Staff_moninfo", 2) == "1";
         }},
        {"batch deletion: deleting one match", "确定删除",
         [](MonputEnv& env) {
             env.Store(2, "甲", "1");
             DelPersnoForm d(env.ctx, Month(2));
             MonputEnv::Type(d.Form().Left(), 2, {"甲", "1", ""});
             d.Form().BitBtn1Click();
             d.Form().Right().SetSelection(2, 1, 2, 1);
             d.Form().N7Click();
             return Count(env, "Staff_moninfo", 2) == "1";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MonputEnv env("否", "2");
        test::RecordingMain main;
        env.ctx.main = &main;
        bool kept = false;
        Guarded(env.ui, [&] { kept = c.ask(env); });
        const auto asked = std::find_if(env.ui.shown.begin(), env.ui.shown.end(),
                                        [&](const ShownBox& b) { return b.text.contains(QString::fromUtf8(c.asked)); });
        ASSERT_NE(asked, env.ui.shown.end()) << env.ui.Texts().join(" | ").toStdString();
        EXPECT_EQ(asked->buttons, DlgButtons::YesNoDefaultNo);
        EXPECT_TRUE(kept);
    }
}

}  // namespace
}  // namespace qm
