// The grid's further mouse modes driven by offscreen mouse events: the cursors, selecting
// columns over their titles with sideways auto-scrolling, sizing frozen columns, the
// automatic dragging of a selection; and the lines of a footer band painted as fixed.
#include "tests/grid/GridTestSupport.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

using namespace qm;
using namespace qm::grid;

namespace {

// Rows: title 0..16 (line 17), data rows of 17 pixels with a line. Columns: indicator
// 0..10 (line 11), then 50, 60 and 70 pixels wide, each with its line.
void Columns3(TDBGridX* g) {
    g->BeginLayout();
    for (const char* n : {"id", "name", "amount"}) {
        TColumnX* c = g->Columns().Add();
        c->SetFieldName(QString::fromLatin1(n));
        c->SetWidth(g->Columns().Count() == 1 ? 50 : g->Columns().Count() == 2 ? 60 : 70);
    }
    g->EndLayout();
}

void Send(QWidget* w, QEvent::Type t, QPoint p, Qt::MouseButton b, Qt::MouseButtons held,
          Qt::KeyboardModifiers m = Qt::NoModifier) {
    QMouseEvent e(t, QPointF(p), w->mapToGlobal(QPointF(p)), b, held, m);
    QApplication::sendEvent(w, &e);
}
void Press(QWidget* w, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
    Send(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, m);
}
void Drag(QWidget* w, QPoint p) { Send(w, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
void Hover(QWidget* w, QPoint p) { Send(w, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
void Release(QWidget* w, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier) {
    Send(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton, m);
}

struct Modes : ::testing::Test {
    test::GridHost h{400, 200};
    TMemDataSet ds;
    TDBGridX* g = nullptr;
    QWidget* vp = nullptr;
    void SetUp() override {
        g = h.grid;
        g->MetricsHook = test::StubMetrics;
        test::OpenNumbered(ds, 50);
        g->SetOptions(g->Options().Without(dgEditing).With(dgMultiSelect));
        Columns3(g);
        h.Bind(ds);
        g->setFocus();
        vp = g->viewport();
    }
    TDBGridXSelectionCols& Cols() { return g->Selection().Columns(); }
};

TEST_F(Modes, CursorsOverTitlesIndicatorsAndSizingLines) {
    EXPECT_EQ(g->CursorAt({30, 16}), gcColumnSelect);  // the lowest 7 pixels of a title
    EXPECT_EQ(g->CursorAt({30, 10}), gcColumnSelect);
    EXPECT_EQ(g->CursorAt({30, 9}), gcDefault);
    EXPECT_EQ(g->CursorAt({5, 14}), gcDefault);  // the corner cell is no data title
    EXPECT_EQ(g->CursorAt({5, 30}), gcRowSelect);
    EXPECT_EQ(g->CursorAt({30, 30}), gcDefault);
    EXPECT_EQ(g->CursorAt({62, 5}), gcSizing);
    // Below the last record there is no row to select.
    ds.Close();
    test::OpenNumbered(ds, 2);
    EXPECT_EQ(g->CursorAt({5, 60}), gcDefault);

    Hover(vp, {30, 14});
    EXPECT_EQ(vp->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(vp->cursor().hotSpot(), g->ColumnSelectCursor().hotSpot());
    Hover(vp, {5, 25});
    EXPECT_EQ(vp->cursor().hotSpot(), g->RowSelectCursor().hotSpot());
    Hover(vp, {62, 5});
    EXPECT_EQ(vp->cursor().shape(), Qt::SplitHCursor);
    Hover(vp, {30, 40});
    EXPECT_EQ(vp->cursor().shape(), Qt::ArrowCursor);

    // Row select takes the column cursor away; without multi-select there are none.
    g->SetOptions(g->Options().With(dgRowSelect));
    EXPECT_EQ(g->CursorAt({30, 16}), gcDefault);
    EXPECT_EQ(g->CursorAt({5, 30}), gcRowSelect);
    g->SetOptions(g->Options().Without(dgRowSelect).Without(dgMultiSelect));
    EXPECT_EQ(g->CursorAt({30, 16}), gcDefault);
    EXPECT_EQ(g->CursorAt({5, 30}), gcDefault);
}

TEST_F(Modes, DraggingOverTitlesSelectsColumnsCtrlInvertsShiftExtends) {
    Press(vp, {30, 14});
    EXPECT_EQ(g->MouseSelectionState(), 2);
    EXPECT_EQ(g->AutoScrollInterval(), 60);
    EXPECT_EQ(g->Selection().SelectionType(), gstColumns);
    ASSERT_EQ(Cols().Count(), 1);
    EXPECT_EQ(Cols().Items(0), g->Columns()[0]);
    EXPECT_EQ(ds.RecNo(), 1);  // the records stay where they are
    Drag(vp, {150, 40});       // over the third column, below the titles
    EXPECT_EQ(Cols().Count(), 3);
    Drag(vp, {90, 14});  // back: the third column leaves again
    EXPECT_EQ(Cols().Count(), 2);
    Release(vp, {90, 14});
    EXPECT_EQ(g->MouseSelectionState(), 0);
    EXPECT_EQ(g->AutoScrollInterval(), -1);
    EXPECT_TRUE(Cols().Contains(g->Columns()[1]));

    Press(vp, {150, 14}, Qt::ControlModifier);  // Ctrl adds a column
    Release(vp, {150, 14}, Qt::ControlModifier);
    EXPECT_EQ(Cols().Count(), 3);
    Press(vp, {30, 14}, Qt::ControlModifier);  // and takes a selected one away
    Release(vp, {30, 14}, Qt::ControlModifier);
    EXPECT_EQ(Cols().Count(), 2);
    EXPECT_FALSE(Cols().Contains(g->Columns()[0]));
    Press(vp, {30, 14});  // a plain press selects that column alone
    Release(vp, {30, 14});
    EXPECT_EQ(Cols().Count(), 1);
    Press(vp, {150, 14}, Qt::ShiftModifier);  // Shift extends from there
    Release(vp, {150, 14}, Qt::ShiftModifier);
    EXPECT_EQ(Cols().Count(), 3);
    // A press higher up the title is no column selection.
    Press(vp, {30, 4});
    Release(vp, {30, 4});
    EXPECT_EQ(g->MouseSelectionState(), 0);
}

TEST(GridMouseModes, ColumnSelectionScrollsSidewaysPastTheRightEdge) {
    test::GridHost h{150, 200};
    TMemDataSet ds;
    h.grid->MetricsHook = test::StubMetrics;
    test::OpenNumbered(ds, 5);
    h.grid->SetOptions(h.grid->Options().Without(dgEditing).With(dgMultiSelect));
    Columns3(h.grid);
    h.Bind(ds);
    TDBGridX* g = h.grid;
    QWidget* vp = g->viewport();
    ASSERT_EQ(g->LeftCol(), 1);
    Press(vp, {30, 14});
    TGridDrawInfo info;
    g->CalcDrawInfo(info);
    const int beyond = info.Horz.GridBoundary + 4;  // 5 pixels past the columns
    Drag(vp, {beyond, 14});
    EXPECT_EQ(g->LeftCol(), 2);
    EXPECT_EQ(g->AutoScrollInterval(), 200 - 10 * 5);
    EXPECT_EQ(g->Selection().Columns().Count(), 3);  // up to the column now at the edge
    Drag(vp, {60, 14});  // back over the columns: the selection follows, the timer keeps its pace
    EXPECT_EQ(g->AutoScrollInterval(), 150);
    Drag(vp, {5, 14});  // left of the columns: back one column, extended to it
    EXPECT_EQ(g->LeftCol(), 1);
    EXPECT_EQ(g->Selection().Columns().Count(), 1);
    EXPECT_EQ(g->Selection().Columns().Items(0), g->Columns()[0]);
    g->CalcDrawInfo(info);
    EXPECT_EQ(g->AutoScrollInterval(), 200 - 10 * (info.Horz.FixedBoundary - 5));
    Release(vp, {5, 14});
    EXPECT_EQ(g->AutoScrollInterval(), -1);
}

TEST_F(Modes, AFrozenColumnIsSizedFromItsTitleLine) {
    g->SetFrozenCols(1);
    ASSERT_EQ(g->FixedCols(), 2);
    // The first column ends at 61; its line is pixel 62; the zone spans 59..65.
    EXPECT_EQ(g->FrozenSizingIndexAt(59, 5), 1);
    EXPECT_EQ(g->FrozenSizingIndexAt(65, 5), 1);
    EXPECT_EQ(g->FrozenSizingIndexAt(58, 5), -1);
    EXPECT_EQ(g->FrozenSizingIndexAt(66, 5), -1);
    EXPECT_EQ(g->FrozenSizingIndexAt(60, 30), -1);  // only over the titles
    EXPECT_EQ(g->CursorAt({60, 5}), gcSizing);
    const QImage before = g->RenderImage();
    Press(vp, {60, 5});
    EXPECT_EQ(g->MouseSelectionState(), 6);
    Drag(vp, {80, 5});
    EXPECT_EQ(g->FrozenSizingPos(), 82);      // the press was two pixels left of the line
    EXPECT_EQ(g->Columns()[0]->Width(), 50);  // not yet
    // The dotted sizing line shows at 82 while the mouse is held.
    const QImage during = g->RenderImage();
    int changed = 0;
    for (int y = 20; y < 150; ++y) changed += during.pixel(82, y) != before.pixel(82, y);
    EXPECT_GT(changed, 20);
    Release(vp, {80, 5});
    EXPECT_EQ(g->MouseSelectionState(), 0);
    EXPECT_EQ(g->Columns()[0]->Width(), 70);  // 82 − 12
    EXPECT_EQ(g->ColWidths(1), 70);
    EXPECT_EQ(ds.RecNo(), 1);
    // A release too near the column's left edge changes nothing.
    Press(vp, {84, 5});
    Drag(vp, {12, 5});
    Release(vp, {12, 5});
    EXPECT_EQ(g->Columns()[0]->Width(), 70);

    // Traced sizing changes the width while the mouse moves.
    g->SetOptionsX(g->OptionsX().With(dghTraceColSizing));
    Press(vp, {84, 5});
    Drag(vp, {50, 5});
    EXPECT_EQ(g->Columns()[0]->Width(), 36);  // 50 − 2 − 12
    Release(vp, {50, 5});
    EXPECT_EQ(g->Columns()[0]->Width(), 36);
    EXPECT_EQ(g->FrozenSizingIndexAt(48, 5), 1);
    // Without column sizing there is no zone.
    g->SetOptions(g->Options().Without(dgColumnResize));
    EXPECT_EQ(g->FrozenSizingIndexAt(48, 5), -1);
}

struct DragGrid : TDBGridX {
    using TDBGridX::TDBGridX;
    int drags = 0;
    void BeginDrag() override { ++drags; }
};

struct AutoDrag : ::testing::Test {
    QWidget window;
    DragGrid* g = nullptr;
    TDataSource src;
    TMemDataSet ds;
    QWidget* vp = nullptr;
    void SetUp() override {
        window.setPalette(test::PinnedPalette());
        window.setFont(test::PinnedFont());
        g = new DragGrid(&window);
        g->setFrameShape(QFrame::NoFrame);
        g->setGeometry(0, 0, 400, 200);
        window.resize(400, 200);
        window.show();
        g->MetricsHook = test::StubMetrics;
        test::OpenNumbered(ds, 20);
        g->SetOptions(g->Options().Without(dgEditing).With(dgMultiSelect).With(dgRowSelect));
        g->DragMode = dmAutomatic;
        Columns3(g);
        src.SetDataSet(&ds);
        g->SetDataSource(&src);
        g->setFocus();
        vp = g->viewport();
        for (int r : {2, 3}) {  // records 2 and 3 selected
            ds.SetRecNo(r);
            g->SelectedRows().SetCurrentRowSelected(true);
        }
        ds.First();
    }
    void TearDown() override { g->SetDataSource(nullptr); }
    QPoint RowPoint(int record) { return g->CellRect(2, record).center(); }  // the first rows show records 1..
};

TEST_F(AutoDrag, APressOnTheSelectionArmsAndTheFirstMoveStartsTheDrag) {
    Press(vp, RowPoint(2));
    EXPECT_TRUE(g->AutoDragArmed());
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(g->MouseSelectionState(), 0);  // no row drag begins
    EXPECT_EQ(g->drags, 0);
    Drag(vp, RowPoint(5));
    EXPECT_EQ(g->drags, 1);
    EXPECT_FALSE(g->AutoDragArmed());
    Drag(vp, RowPoint(6));
    EXPECT_EQ(g->drags, 1);
    Release(vp, RowPoint(6));
    EXPECT_EQ(g->SelectedRows().Count(), 2);  // the dragged selection stays
    EXPECT_EQ(ds.RecNo(), 2);
}

TEST_F(AutoDrag, APressOnTheSelectionWithoutAMoveActsAsAClick) {
    Press(vp, RowPoint(3), Qt::ControlModifier);  // Ctrl with row select toggles the row
    Release(vp, RowPoint(3), Qt::ControlModifier);
    EXPECT_EQ(g->drags, 0);
    EXPECT_EQ(g->SelectedRows().Count(), 1);
    Press(vp, RowPoint(2));  // without Ctrl the selection is cleared
    Release(vp, RowPoint(2));
    EXPECT_EQ(g->SelectedRows().Count(), 0);
    EXPECT_EQ(g->drags, 0);
}

TEST_F(AutoDrag, OffTheSelectionOrInManualModeTheMouseSelectsAsUsual) {
    Press(vp, RowPoint(5));
    EXPECT_FALSE(g->AutoDragArmed());
    EXPECT_EQ(g->MouseSelectionState(), 1);
    Drag(vp, RowPoint(6));
    Release(vp, RowPoint(6));
    EXPECT_EQ(g->drags, 0);
    EXPECT_EQ(g->SelectedRows().Count(), 2);  // records 5 and 6, the press cleared the others

    g->SelectedRows().SetCurrentRowSelected(true);
    g->DragMode = dmManual;
    Press(vp, RowPoint(5));
    EXPECT_FALSE(g->AutoDragArmed());
    Drag(vp, RowPoint(7));
    Release(vp, RowPoint(7));
    EXPECT_EQ(g->drags, 0);
    // Shift never arms a drag.
    g->DragMode = dmAutomatic;
    Press(vp, RowPoint(6), Qt::ShiftModifier);
    EXPECT_FALSE(g->AutoDragArmed());
    Release(vp, RowPoint(6), Qt::ShiftModifier);
}

// Footer rows in the button face get the lines of a fixed band: black, also between the
// footer rows and over the band, where a data band has silver lines.
TEST(GridFooterBand, FooterRowsInTheButtonFaceAreLinedAsAFixedBand) {
    test::GridHost h{400, 200};
    TMemDataSet ds;
    h.grid->MetricsHook = test::StubMetrics;
    test::OpenNumbered(ds, 3);
    h.grid->SetOptions(h.grid->Options().Without(dgEditing));
    Columns3(h.grid);
    h.grid->SetFooterRowCount(2);
    h.Bind(ds);
    TDBGridX* g = h.grid;
    const int last = g->RowCount() - 1;
    const QRect f2 = g->CellRect(2, last), f1 = g->CellRect(2, last - 1);
    const int x = f2.center().x();
    auto px = [](const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    QImage img = g->RenderImage();
    EXPECT_EQ(px(img, x, f2.top() - 1), 0xC0C0C0u);                  // between the footer rows: a data line
    EXPECT_EQ(px(img, f2.right() + 1, f2.center().y()), 0xC0C0C0u);  // after the second column
    g->SetFooterColor(g->palette().color(QPalette::Button));
    img = g->RenderImage();
    EXPECT_EQ(px(img, x, f2.top() - 1), 0u);
    EXPECT_EQ(px(img, f2.right() + 1, f2.center().y()), 0u);
    EXPECT_EQ(px(img, x, f1.top() - 1), 0u);  // the line over the band
    EXPECT_EQ(px(img, 30, f1.top() - 1), 0u);
    EXPECT_EQ(px(img, f2.right() + 1, 40), 0xC0C0C0u);  // the data rows keep theirs
    // A raised footer is lined the same way in any colour.
    g->SetFooterColor(QColor(255, 255, 255));
    g->SetOptionsX(g->OptionsX().With(dghFooter3D));
    img = g->RenderImage();
    EXPECT_EQ(px(img, x, f1.top() - 1), 0u);
}

}  // namespace
