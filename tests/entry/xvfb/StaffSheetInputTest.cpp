// The staff sheets with real keys: each key typed into the frozen name and number columns
// reaches the cell once.
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RealDisplay.h"

#include <QTableView>

#include <gtest/gtest.h>

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

TEST(StaffSheetInput, NameAndNumberAreStoredAsTypedInTheBatchSheetAndTheMonthlyList) {
    MonputEnv env("否", "0");
    {
        TFrm_allput batch(env.ctx, Month::Start());
        ASSERT_TRUE(real::ShowActive(&batch));
        TypeInto(batch.View(), 3, 2, "001");
        TypeInto(batch.View(), 3, 1, QStringLiteral("张三"));
        batch.BitBtn7Click();
    }
    std::unique_ptr<TFrm_monput> list(TFrm_monput::ShowList(env.ctx, Month(2)));
    ASSERT_TRUE(real::ShowActive(list.get()));
    TypeInto(list->View(), 3, 2, "001");
    TypeInto(list->View(), 3, 1, QStringLiteral("张三"));
    list->B3Click();
    EXPECT_EQ(env.Col("sNumber || '|' || sName", 0), QStringLiteral("001|张三"));
    EXPECT_EQ(env.Col("sNumber || '|' || sName", 2), QStringLiteral("001|张三"));
}

}  // namespace
}  // namespace qm::test
