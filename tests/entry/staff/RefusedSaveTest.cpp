// One rule, one message: the batch sheet, the monthly list, single-person entry and the error list
// refuse a staff number that another person of the same list carries with the same words, naming
// both persons (the sheets show no row numbers), under one caption and icon; nothing is stored and
// the person's rows stay as typed.
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "entry/staff/PerputForm.h"
#include "entry/staff/WrongForm.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RecordingMain.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <functional>

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::MonputEnv;

QString Refusal(const QString& list) {
    return QStringLiteral(
               "“李四”的姓名编号“1”在%1中已由“张三”使用，同一名单中的姓名编号不能重复，请核实！\n"
               "本次未保存，已保存的数据没有改变。")
        .arg(list);
}

void BatchSheet(MonputEnv& env) {
    TFrm_allput f(env.ctx, Month::Start());
    f.show();
    QApplication::processEvents();
    MonputEnv::Type(f.Book(), 3, MonputEnv::ValidTexts(QStringLiteral("张三"), QStringLiteral("1")));
    MonputEnv::Type(f.Book(), 4, MonputEnv::ValidTexts(QStringLiteral("李四"), QStringLiteral("1 ")));
    env.ui.Clear();
    f.BitBtn7Click();
    EXPECT_EQ(f.Book().GetCellText(4, 1), QStringLiteral("李四"));
}

void MonthlyList(MonputEnv& env) {
    env.Store(4, QStringLiteral("张三"), QStringLiteral("1"));
    QPointer<TFrm_monput> w(TFrm_monput::ShowList(env.ctx, Month(4)));
    w->BitBtn2Click();
    MonputEnv::Type(w->Sheet(), 4, MonputEnv::ValidTexts(QStringLiteral("李四"), QStringLiteral("1 ")));
    env.ui.Clear();
    w->B3Click();
    // Still in edit mode over the rows as typed: they can be put right and saved again.
    EXPECT_TRUE(w->B3->isEnabled());
    EXPECT_EQ(w->BitBtn2->text(), QStringLiteral("取消编辑"));
    EXPECT_EQ(w->Sheet().GetCellText(4, 1), QStringLiteral("李四"));
    EXPECT_TRUE(w->Dirty());
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    delete w.data();
}

void SinglePerson(MonputEnv& env) {
    env.Store(4, QStringLiteral("张三"), QStringLiteral("1"));
    test::RecordingMain main;
    env.ctx.main = &main;
    TFrm_perput f(env.ctx);
    f.MonthNo = Month(4);
    f.ReturnMode = QStringLiteral("1");
    f.show();
    QApplication::processEvents();
    f.Edit1->setText(QStringLiteral("李四"));
    f.Edit2->setText(QStringLiteral(" 1"));
    f.CByear->setEditText(QStringLiteral("1970"));
    f.CBm->setEditText(QStringLiteral("03"));
    f.NX1->setText(QStringLiteral("12"));
    f.NX2->setText(QStringLiteral("4"));
    env.ui.Clear();
    f.B1Click();
    EXPECT_EQ(f.Edit1->text(), QStringLiteral("李四"));
    env.ctx.main = nullptr;
}

void ErrorList(MonputEnv& env) {
    env.Store(4, QStringLiteral("张三"), QStringLiteral("1"));
    env.Store(4, QStringLiteral("李四"), QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("大专"));
    WrongForm w(env.ctx, Month(4));
    w.Form().FormShow();
    w.Form().FormActivate();
    TSheetBook& b = w.Form().Sheet();
    ASSERT_EQ(b.GetCellText(3, 1), QStringLiteral("李四"));
    b.SetCellText(3, 9, QStringLiteral("大学本科"));
    b.SetCellText(3, 2, QStringLiteral("1"));
    env.ui.Clear();
    w.Form().BitBtn2Click();
    EXPECT_EQ(b.GetCellText(3, 2), QStringLiteral("1"));
}

TEST(RefusedSave, ANumberAnotherPersonOfTheListCarriesIsRefusedInOneWayByEverySave) {
    const struct {
        const char* form;
        std::function<void(MonputEnv&)> save;
        int month;
    } cases[] = {
        {"batch sheet", BatchSheet, 0},
        {"monthly list", MonthlyList, 4},
        {"single person", SinglePerson, 4},
        {"error list", ErrorList, 4},
    };
    for (const auto& k : cases) {
        MonputEnv env(QStringLiteral("否"), QString::number(k.month));
        k.save(env);
        ASSERT_EQ(env.ui.shown.size(), 1u) << k.form << ": " << env.ui.Texts().join('|').toStdString();
        const ShownBox& box = env.ui.shown[0];
        EXPECT_EQ(box.text, Refusal(k.month == 0 ? QStringLiteral("期初名单") : QStringLiteral("4月名单"))) << k.form;
        EXPECT_EQ(box.sort, ShownBox::Sort::Dlg) << k.form;
        EXPECT_EQ(box.kind, DlgKind::Warning) << k.form;
        EXPECT_EQ(box.title, QStringLiteral("警告")) << k.form;
        EXPECT_EQ(box.buttons, DlgButtons::Ok) << k.form;
        EXPECT_EQ(env.tb.Scalar("select group_concat(sName) from Staff_moninfo where trim(sNumber)='1'"),
                  k.month == 0 ? QString() : QStringLiteral("张三"))
            << k.form;
    }
}

}  // namespace
}  // namespace qm
