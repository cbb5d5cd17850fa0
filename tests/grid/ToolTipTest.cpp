// Cell tool tips: which cells show one, where it goes, and what suppresses it.
#include "tests/grid/GridTestSupport.h"

#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

struct TipGrid {
    test::GridHost host;
    TMemDataSet ds;
    TDBGridX& g;
    explicit TipGrid(int w) : host(w, 200), g(*host.grid) {
        ds.Open({{QStringLiteral("id"), ftInteger, 0},
                 {QStringLiteral("name"), ftString, 40},
                 {QStringLiteral("amount"), ftFloat, 0}},
                {{db::Value(1), db::Value(QStringLiteral("a name far too long for its cell")), db::Value(1.5)},
                 {db::Value(2), db::Value(QStringLiteral("R2")), db::Value(2.5)}});
        const char* names[] = {"id", "name", "amount"};
        for (const char* n : names) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(60);
            c->ToolTips = true;
            c->Title()->SetCaption(QString::fromLatin1(n));
        }
        host.Bind(ds);
    }
    QPoint In(int col, int row) const { return g.CellRect(col, row).center(); }
    void Move(const QPoint& p) {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(g.viewport()->mapToGlobal(p)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(g.viewport(), &e);
    }
    // The pointer leaves the viewport's window while it stands at `p` (as when a window
    // opens under it).
    void LeaveAt(const QPoint& p) {
        QCursor::setPos(g.viewport()->mapToGlobal(p));
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(g.viewport(), &e);
    }
};

TEST(ToolTips, ATruncatedDataCellShowsItsTextOverTheCellAFittingOneNothing) {
    TipGrid t(400);
    const QRect cell = t.g.CellRect(2, 1);
    auto tip = t.g.CellToolTipAt(t.In(2, 1), Qt::NoModifier);
    ASSERT_TRUE(tip.Show);
    EXPECT_FALSE(tip.IsHint);
    EXPECT_EQ(tip.Text, QStringLiteral("a name far too long for its cell"));
    EXPECT_EQ(tip.Pos, QPoint(cell.left() - 1, cell.top() - 1));            // (L − 1, T − E), E = 1
    EXPECT_FALSE(t.g.CellToolTipAt(t.In(2, 2), Qt::NoModifier).Show);       // "R2" fits
    EXPECT_FALSE(t.g.CellToolTipAt(t.In(2, 1), Qt::ControlModifier).Show);  // Ctrl held
    t.g.SetFlat(true);
    tip = t.g.CellToolTipAt(t.In(2, 1), Qt::NoModifier);
    EXPECT_EQ(tip.Pos.y(), t.g.CellRect(2, 1).top() - 2);  // E = 2 when flat
    t.g.Columns()[1]->ToolTips = false;
    EXPECT_FALSE(t.g.CellToolTipAt(t.In(2, 1), Qt::NoModifier).Show);
}

TEST(ToolTips, ARightAlignedColumnScrolledPartlyOutOfViewShowsEvenAShortText) {
    TipGrid t(170);
    const QRect cell = t.g.CellRect(3, 1);
    ASSERT_FALSE(cell.isEmpty());
    ASSERT_LT(cell.width(), 60);  // clipped by the client edge
    const auto tip = t.g.CellToolTipAt(QPoint(cell.left() + 2, cell.center().y()), Qt::NoModifier);
    ASSERT_TRUE(tip.Show);
    const int fullRight = cell.left() + 60;
    // The text's width as the layout measures it (a rectangle calculation, single line).
    const int w =
        QFontMetrics(tip.Font).boundingRect(QRect(0, 0, 1000, 1000), Qt::TextSingleLine, QStringLiteral("1.5")).width();
    EXPECT_EQ(tip.Pos, QPoint(fullRight + 1 - w - 7, cell.top() - 1));
}

TEST(ToolTips, ATipCellShowsAtOnceAndTheTipStaysUntilThePointerLeavesTheCell) {
    TipGrid t(400);
    t.Move(t.In(3, 1));  // "1.5" fits
    EXPECT_FALSE(t.g.CellTipWindow());
    t.Move(t.In(2, 1));  // no hint pause for a tool-tip cell
    QWidget* tip = t.g.CellTipWindow();
    ASSERT_TRUE(tip);
    EXPECT_EQ(tip->geometry().topLeft(), t.g.viewport()->mapToGlobal(t.g.CellToolTipAt(t.In(2, 1), {}).Pos));
    // The window opening under the pointer makes the viewport see a Leave: the pointer is
    // still on the cell, so the tip stays; so it does for moves inside the cell.
    t.LeaveAt(t.In(2, 1));
    EXPECT_TRUE(t.g.CellTipWindow());
    t.Move(t.In(2, 1) + QPoint(20, 3));
    EXPECT_TRUE(t.g.CellTipWindow());
    // Leaving the cell, inside the grid or out of it, takes the tip away.
    t.Move(t.In(2, 2));
    EXPECT_FALSE(t.g.CellTipWindow());
    t.Move(t.In(2, 1));
    ASSERT_TRUE(t.g.CellTipWindow());
    t.LeaveAt(QPoint(-30, -30));
    EXPECT_FALSE(t.g.CellTipWindow());
}

// A wrapped cell's tip breaks its text into lines as wide as the cell less 4 allows, not into
// the narrow block a word-wrapping label picks by itself.
TEST(ToolTips, AWrappedCellsTipIsAsWideAsItsMaximumWidthAllows) {
    TipGrid t(400);
    const QString text = QStringLiteral("中华人民共和国国家统计局人才资源统计调查制度");
    t.ds.Edit();
    t.ds.FieldByName(QStringLiteral("name"))->SetText(text);
    t.ds.Post();
    t.g.Columns()[1]->SetWidth(130);
    t.g.Columns()[1]->SetWordWrap(true);
    t.g.SetRowLines(2);
    t.Move(t.In(2, 1));
    auto* tip = qobject_cast<QLabel*>(t.g.CellTipWindow());
    ASSERT_TRUE(tip);
    const int lines = QFontMetrics(tip->font()).boundingRect(QRect(0, 0, 126, 10000), Qt::TextWordWrap, text).width();
    const int room = tip->contentsRect().width() - 2 * tip->margin();
    EXPECT_TRUE(lines > 100 && room >= lines && room <= 126) << lines << " in " << room;
}

TEST(ToolTips, TitleHintsComeFirstAndGroupBandsShowNothing) {
    TipGrid t(400);
    t.g.Columns()[0]->Title()->Hint = QStringLiteral("编号的说明");
    auto tip = t.g.CellToolTipAt(t.In(1, 0), Qt::NoModifier);
    EXPECT_TRUE(tip.Show && tip.IsHint);
    EXPECT_EQ(tip.Text, QStringLiteral("编号的说明"));
    t.g.Columns()[0]->Title()->Hint = QStringLiteral("编号|员工编号，六位数字");  // the short part only
    EXPECT_EQ(t.g.CellToolTipAt(t.In(1, 0), Qt::NoModifier).Text, QStringLiteral("编号"));
    EXPECT_FALSE(t.g.CellToolTipAt(t.In(2, 0), Qt::NoModifier).Show);  // no title tool tips asked for

    t.g.Columns()[1]->Title()->SetCaption(QStringLiteral("Group|Supercalifragilisticexpialidocious"));
    t.g.Columns()[1]->Title()->ToolTips = true;
    t.g.SetUseMultiTitle(true);
    const QRect cell = t.g.CellRect(2, 0);
    tip = t.g.CellToolTipAt(QPoint(cell.left() + 3, cell.bottom() - 2), Qt::NoModifier);
    EXPECT_TRUE(tip.Show);
    EXPECT_EQ(tip.Text, QStringLiteral("Supercalifragilisticexpialidocious"));  // one word wider than the cell
    EXPECT_GT(tip.MaxWidth, 0);                                                 // multi-level titles wrap
    EXPECT_FALSE(t.g.CellToolTipAt(QPoint(cell.left() + 3, cell.top() + 1), Qt::NoModifier).Show);
}

}  // namespace
