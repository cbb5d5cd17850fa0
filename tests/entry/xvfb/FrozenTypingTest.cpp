// Typing into the frozen name and number columns of the staff sheets on a real display: each
// key reaches the cell once.
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/AllputTestSupport.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RealDisplay.h"

#include <QTableView>

#include <gtest/gtest.h>

namespace real = qm::test::real;

namespace qm::test {
namespace {

// Clicks a cell of the sheet, types into it and ends the edit with Return.
void TypeInto(SheetView* view, int row, int col, const QString& text) {
    QTableView* t = view->TableAt(row, col);
    const QRect r = t->visualRect(t->model()->index(row - 1, col - 1));
    real::Click(t->viewport()->mapToGlobal(r.center()));
    real::Type(text);
    real::Key("Return");
}

class AllputTyping : public AllputFixture {};

TEST_F(AllputTyping, NameAndNumberAreStoredAsTyped) {
    TFrm_allput form(ctx);
    ASSERT_TRUE(real::ShowActive(&form));
    TypeInto(form.View(), 3, 2, "001");
    TypeInto(form.View(), 3, 1, QStringLiteral("张三"));
    EXPECT_EQ(form.Book().GetCellText(3, 2), "001");
    EXPECT_EQ(form.Book().GetCellText(3, 1), QStringLiteral("张三"));
    form.BitBtn7Click();
    EXPECT_EQ(Scalar("select sNumber || '|' || sName from Staff_moninfo where sMon=0"), QStringLiteral("001|张三"));
}

TEST(MonputTyping, NameAndNumberAreStoredAsTyped) {
    MonputEnv env("否", "2");
    TFrm_monput* w = TFrm_monput::ShowList(env.ctx);
    ASSERT_TRUE(real::ShowActive(w));
    TypeInto(w->View(), 3, 2, "001");
    TypeInto(w->View(), 3, 1, QStringLiteral("张三"));
    EXPECT_EQ(w->Sheet().GetCellText(3, 2), "001");
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), QStringLiteral("张三"));
    w->B3Click();
    EXPECT_EQ(env.Col("sNumber || '|' || sName", 2), QStringLiteral("001|张三"));
    delete w;
}

}  // namespace
}  // namespace qm::test
