// The staff sheets with real keys and pointer: each key typed into the frozen name and number
// columns reaches the cell once, a code list closes when an item is picked, Delete clears.
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/AllputTestSupport.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QListWidget>
#include <QTableView>

#include <gtest/gtest.h>

namespace real = qm::test::real;

namespace qm::test {
namespace {

QPoint CellCentre(SheetView* view, int row, int col) {
    QTableView* t = view->TableAt(row, col);
    return t->viewport()->mapToGlobal(t->visualRect(t->model()->index(row - 1, col - 1)).center());
}

// Clicks a cell of the sheet, types into it and ends the edit with Return.
void TypeInto(SheetView* view, int row, int col, const QString& text) {
    real::Click(CellCentre(view, row, col));
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

TEST(MonputTyping, ACodeListClosesWhenAnItemIsPickedOrThePersonClicksElsewhereAndDeleteClears) {
    MonputEnv env("否", "2");
    TFrm_monput* w = TFrm_monput::ShowList(env.ctx);
    ASSERT_TRUE(real::ShowActive(w));
    const int sex = w->Sheet().ObjectIdByName(QStringLiteral("sexCom"));
    real::DoubleClick(CellCentre(w->View(), 3, 3));
    QListWidget* list = w->View()->ObjectWidget(sex);
    ASSERT_NE(list, nullptr);
    real::SaveScreenshot(w->frameGeometry(), "monthly_list_sex_list.png");
    QListWidgetItem* man = list->findItems(QStringLiteral("男"), Qt::MatchExactly).value(0);
    ASSERT_NE(man, nullptr);
    real::Click(list->viewport()->mapToGlobal(list->visualItemRect(man).center()));
    EXPECT_EQ(w->Sheet().GetCellText(3, 3), QStringLiteral("男"));
    EXPECT_EQ(w->View()->ObjectWidget(sex), nullptr);

    // Far enough in time from the pick that the next press starts a double-click of its own.
    real::Settle(QApplication::doubleClickInterval() + 100);
    real::DoubleClick(CellCentre(w->View(), 4, 3));
    ASSERT_NE(w->View()->ObjectWidget(sex), nullptr);
    real::Click(CellCentre(w->View(), 6, 9));
    EXPECT_EQ(w->View()->ObjectWidget(sex), nullptr);
    EXPECT_EQ(w->Sheet().GetCellText(4, 3), QString());

    // Delete empties the selected cell.
    real::Click(CellCentre(w->View(), 3, 3));
    real::Key("Delete");
    EXPECT_EQ(w->Sheet().GetCellText(3, 3), QString());
    delete w;
}

}  // namespace
}  // namespace qm::test
