// The sheet's clipboard keys as X11 sends them, the modifier let go before the key (as xdotool
// does it): Shift+Delete cuts, Shift+Insert pastes, Ctrl+Insert copies; Delete only clears.
#include "core/sheet/SheetTemplate.h"
#include "sheet/SheetView.h"
#include "tests/support/RealDisplay.h"

#include <QSignalSpy>
#include <QTableView>

#include <gtest/gtest.h>

using namespace qm;
namespace real = qm::test::real;

namespace {

QPoint CellCentre(SheetView& view, int row, int col) {
    QTableView* t = view.TableAt(row, col);
    return t->viewport()->mapToGlobal(t->visualRect(t->model()->index(row - 1, col - 1)).center());
}

// The cell (3, 9) holds 甲; the first key is pressed on it, the second on (3, 10).
TEST(SheetKeysOnRealDisplay, TheClipboardKeysOfX11CutCopyAndPasteAsTheCtrlKeysDo) {
    const struct {
        const char *first, *second;
        const char *left, *right;  // the two cells afterwards
    } cases[] = {{"shift+Delete", "shift+Insert", "", "甲"},
                 {"ctrl+Insert", "ctrl+v", "甲", "甲"},
                 {"Delete", "ctrl+v", "", ""}};
    for (const auto& k : cases) {
        TSheetBook book;
        ApplySheetTemplate(book, QStringLiteral("staff"));
        book.SetCellText(3, 9, QStringLiteral("甲"));
        SheetView view(book);
        view.resize(900, 400);
        QSignalSpy pasted(&view, &SheetView::KeyPasted);
        ASSERT_TRUE(real::ShowActive(&view));
        real::Click(CellCentre(view, 3, 9));
        real::Key(QString::fromLatin1(k.first));
        real::Click(CellCentre(view, 3, 10));
        real::Key(QString::fromLatin1(k.second));
        EXPECT_EQ(book.GetCellText(3, 9), QString::fromUtf8(k.left)) << k.first << " " << k.second;
        EXPECT_EQ(book.GetCellText(3, 10), QString::fromUtf8(k.right)) << k.first << " " << k.second;
        EXPECT_EQ(pasted.count(), 1) << k.first << " " << k.second;
    }
}

}  // namespace
