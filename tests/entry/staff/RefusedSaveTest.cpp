// Every sheet's save refuses a number another person of the list carries; the rows stay as typed.
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "entry/staff/WrongForm.h"
#include "tests/entry/staff/MonputTestSupport.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::MonputEnv;

const QStringList kZhang = MonputEnv::ValidTexts(QStringLiteral("张三"), QStringLiteral("1"));
const QStringList kLi = MonputEnv::ValidTexts(QStringLiteral("李四"), QStringLiteral("1 "));

void BatchSheet(MonputEnv& env) {
    TFrm_allput f(env.ctx, Month::Start());
    f.show();
    MonputEnv::Type(f.Book(), 3, kZhang);
    MonputEnv::Type(f.Book(), 4, kLi);
    env.ui.Clear();
    f.BitBtn7Click();
    EXPECT_EQ(f.Book().GetCellText(4, 1), QStringLiteral("李四"));
}

void MonthlyList(MonputEnv& env) {
    env.Store(4, QStringLiteral("张三"), QStringLiteral("1"));
    std::unique_ptr<TFrm_monput> w(TFrm_monput::ShowList(env.ctx, Month(4)));
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->BitBtn2Click();
    MonputEnv::Type(w->Sheet(), 4, kLi);
    env.ui.Clear();
    w->B3Click();
    EXPECT_TRUE(w->B3->isEnabled() && w->Dirty());  // still editing, to put it right
    EXPECT_EQ(w->Sheet().GetCellText(4, 1), QStringLiteral("李四"));
}

void ErrorList(MonputEnv& env) {
    env.Store(4, QStringLiteral("张三"), QStringLiteral("1"));
    env.Store(4, QStringLiteral("李四"), QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("大专"));
    WrongForm w(env.ctx, Month(4));
    w.Form().FormShow();
    w.Form().FormActivate();
    w.Form().Sheet().SetCellText(3, 9, QStringLiteral("大学本科"));
    w.Form().Sheet().SetCellText(3, 2, QStringLiteral("1"));
    env.ui.Clear();
    w.Form().BitBtn2Click();
}

TEST(RefusedSave, ANumberAnotherPersonOfTheListCarriesIsRefusedInOneWayByEverySave) {
    const struct {
        const char* form;
        void (*save)(MonputEnv&);
        const char* list;
    } cases[] = {{"batch sheet", BatchSheet, "期初名单"},
                 {"monthly list", MonthlyList, "4月名单"},
                 {"error list", ErrorList, "4月名单"}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.form);
        MonputEnv env(QStringLiteral("否"), QStringLiteral("4"));
        k.save(env);
        ASSERT_EQ(env.ui.shown.size(), 1u) << env.ui.Texts().join('|').toStdString();
        const ShownBox& box = env.ui.shown[0];
        EXPECT_TRUE(box.sort == ShownBox::Sort::Dlg && box.kind == DlgKind::Warning && box.buttons == DlgButtons::Ok &&
                    box.title == QStringLiteral("警告"));
        EXPECT_EQ(box.text, QStringLiteral("“李四”的姓名编号“1”在%1中已由“张三”使用，同一名单中的姓名编号不能重复，"
                                           "请核实！\n本次未保存，已保存的数据没有改变。")
                                .arg(QString::fromUtf8(k.list)));
        EXPECT_EQ(env.tb.Scalar("select count(*) from Staff_moninfo where sName='李四' and trim(sNumber)='1'"), "0");
    }
}

}  // namespace
}  // namespace qm
