// Keys, mouse and selection moving the records as the grid promises.
#include "core/base/ScriptedUiService.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QTest>
#include <QWheelEvent>

using namespace qm;
using namespace qm::grid;

namespace {

void Columns3(TDBGridX* g) {
    g->BeginLayout();
    for (const char* n : {"id", "name", "amount"}) {
        TColumnX* c = g->Columns().Add();
        c->SetFieldName(QString::fromLatin1(n));
        c->SetWidth(50);
    }
    g->EndLayout();
}

struct Browse : ::testing::Test {
    test::GridHost h{400, 200};
    TMemDataSet ds;
    ScriptedUiService ui;
    void SetUp() override {
        h.grid->MetricsHook = test::StubMetrics;
        h.grid->SetUiService(&ui);
        test::OpenNumbered(ds, 50);
        h.grid->SetOptions(h.grid->Options().Without(dgEditing).With(dgRowSelect));
        Columns3(h.grid);
        h.Bind(ds);
        h.grid->setFocus();
    }
    void Key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(h.grid, Qt::Key(k), m); }
};

TEST_F(Browse, KeysMoveTheRecord) {
    Key(Qt::Key_Down);
    EXPECT_EQ(ds.RecNo(), 2);
    Key(Qt::Key_PageDown);  // ten visible rows
    EXPECT_EQ(ds.RecNo(), 12);
    Key(Qt::Key_Up);
    EXPECT_EQ(ds.RecNo(), 11);
    Key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(ds.RecNo(), 50);
    EXPECT_EQ(h.grid->Row(), 10);
    Key(Qt::Key_Home);  // row select: first record
    EXPECT_EQ(ds.RecNo(), 1);
    Key(Qt::Key_Down, Qt::ControlModifier);  // from the top: the last visible record, not the last
    EXPECT_EQ(ds.RecNo(), 10);
    Key(Qt::Key_End);
    EXPECT_EQ(ds.RecNo(), 50);
    Key(Qt::Key_PageUp, Qt::ControlModifier);  // first visible record
    EXPECT_EQ(ds.RecNo(), 41);
    Key(Qt::Key_Down, Qt::ControlModifier);  // last visible record
    EXPECT_EQ(ds.RecNo(), 50);
    Key(Qt::Key_Down);  // no append in a browsing grid
    EXPECT_EQ(ds.RecordCount(), 50);
    EXPECT_EQ(ds.State(), dsBrowse);
}

TEST_F(Browse, ClickAndWheelMoveTheRecord) {
    const QRect r = h.grid->CellRect(2, 3);
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    EXPECT_EQ(ds.RecNo(), 3);
    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(h.grid->viewport(), &down);
    EXPECT_EQ(ds.RecNo(), 5);
    QWheelEvent half(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 60), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(h.grid->viewport(), &half);
    EXPECT_EQ(ds.RecNo(), 5);
    QApplication::sendEvent(h.grid->viewport(), &half);
    EXPECT_EQ(ds.RecNo(), 4);
}

TEST_F(Browse, CtrlDeleteOnAReadOnlyQueryChangesNothing) {
    test::TempBase base;
    for (int i = 0; i < 3; ++i)
        base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName) values (0, ?)"), {db::Value(i)});
    TQueryDataSet q(base.db());
    q.Open(QStringLiteral("select * from Staff_moninfo"));
    h.src.SetDataSet(&q);
    Key(Qt::Key_Delete, Qt::ControlModifier);
    Key(Qt::Key_Insert);
    EXPECT_EQ(q.RecordCount(), 3);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo")), QStringLiteral("3"));
    h.src.SetDataSet(&ds);
    h.grid->SetReadOnly(true);  // a read-only grid over a modifiable set deletes nothing either
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds.RecordCount(), 50);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Browse, DeletePromptsThroughTheMessageService) {
    ui.answers = {DlgAnswer::Cancel};
    Key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(ui.Texts(), QStringList{QStringLiteral("Delete record?")});
    EXPECT_EQ(ui.shown[0].title, QStringLiteral("确认"));
    EXPECT_EQ(ds.RecordCount(), 50);
    ui.answers = {DlgAnswer::Ok};
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds.RecordCount(), 49);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("id"))->AsInteger(), 2);
    // Two selected records: the other question, and both go.
    h.grid->SetOptions(h.grid->Options().With(dgMultiSelect));
    h.grid->SelectedRows().SetCurrentRowSelected(true);
    ds.MoveBy(2);
    h.grid->SelectedRows().SetCurrentRowSelected(true);
    ui.Clear();
    ui.answers = {DlgAnswer::Ok};
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("Delete all selected records?")});
    EXPECT_EQ(ds.RecordCount(), 47);
    // Without the confirmation option nothing is asked.
    ui.Clear();
    h.grid->SetOptions(h.grid->Options().Without(dgConfirmDelete));
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(ds.RecordCount(), 46);
}

TEST_F(Browse, DeleteConfirmationIsAnOkCancelBoxAndCancelKeepsTheRecord) {
    Key(Qt::Key_Delete, Qt::ControlModifier);  // no scripted answer: the box is cancelled
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::OkCancel);
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(ds.RecordCount(), 50);
    ui.answers = {DlgAnswer::Ok};
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ds.RecordCount(), 49);
}

TEST_F(Browse, BookmarkListFindAndToggle) {
    h.grid->SetOptions(h.grid->Options().With(dgMultiSelect));
    TBookmarkListX& rows = h.grid->SelectedRows();
    int i = -1;
    EXPECT_FALSE(rows.Find(ds.Bookmark(), i));
    EXPECT_EQ(i, 0);
    ds.SetRecNo(10);
    rows.SetCurrentRowSelected(true);
    ds.SetRecNo(20);
    rows.SetCurrentRowSelected(true);
    ds.SetRecNo(5);
    EXPECT_FALSE(rows.Find(ds.Bookmark(), i));
    EXPECT_EQ(i, 0);
    ds.SetRecNo(30);
    EXPECT_FALSE(rows.Find(ds.Bookmark(), i));
    EXPECT_EQ(i, rows.Count());
    // Toggling the same row twice leaves nothing behind (a stale lookup would duplicate it).
    rows.SetCurrentRowSelected(true);
    rows.SetCurrentRowSelected(false);
    EXPECT_EQ(rows.Count(), 2);
    rows.Clear();
    rows.SetCurrentRowSelected(true);
    rows.SetCurrentRowSelected(false);
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(h.grid->Selection().SelectionType(), gstNone);
    h.grid->SetDataSource(nullptr);
    try {
        rows.CurrentRow();
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(e.Text(), QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
    try {
        h.grid->Selection().Rect().GetBottomRow();
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(e.Text(), QStringLiteral("Error in TDBGridXSelectionRect.GetBottomRow"));
    }
}

TEST_F(Browse, ShiftDownExtendsTheRowSelection) {
    h.grid->SetOptions(h.grid->Options().With(dgMultiSelect));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(h.grid->SelectedRows().Count(), 3);
    Key(Qt::Key_Up, Qt::ShiftModifier);  // moving back deselects the row left
    EXPECT_EQ(h.grid->SelectedRows().Count(), 2);
    Key(Qt::Key_Down);  // a plain move clears
    EXPECT_EQ(h.grid->SelectedRows().Count(), 0);
}

TEST(GridInput, RectangleOfOneCellIsNoSelection) {
    test::GridHost h;
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    Columns3(h.grid);
    h.Bind(ds);
    TDBGridXSelectionRect& r = h.grid->Selection().Rect();
    r.Select(0, ds.Bookmark(), false);
    EXPECT_EQ(h.grid->Selection().SelectionType(), gstNone);
    ds.SetRecNo(3);
    r.Select(1, ds.Bookmark(), true);
    EXPECT_EQ(h.grid->Selection().SelectionType(), gstRectangle);
    EXPECT_EQ(r.GetLeftCol(), 0);
    EXPECT_EQ(r.GetRightCol(), 1);
    ds.SetRecNo(2);
    EXPECT_TRUE(h.grid->Selection().DataCellSelected(1, ds.Bookmark()));
    EXPECT_FALSE(h.grid->Selection().DataCellSelected(2, ds.Bookmark()));
}

TEST(GridInput, TabEnterAndShiftTabWrapRows) {
    test::GridHost h;
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    Columns3(h.grid);
    h.Bind(ds);
    h.grid->setFocus();
    h.grid->SetOptionsX(h.grid->OptionsX().With(dghEnterAsTab));
    EXPECT_EQ(h.grid->SelectedIndex(), 0);
    QTest::keyClick(h.grid, Qt::Key_Return);
    EXPECT_EQ(h.grid->SelectedIndex(), 1);
    QTest::keyClick(h.grid, Qt::Key_Tab, Qt::AltModifier);  // ignored
    EXPECT_EQ(h.grid->SelectedIndex(), 1);
    h.grid->SetOptions(h.grid->Options().Without(dgIndicator));
    ds.SetRecNo(3);
    h.grid->SetSelectedIndex(0);
    QTest::keyClick(h.grid, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(ds.RecNo(), 2);
    EXPECT_EQ(h.grid->SelectedIndex(), 2);
}

TEST(GridInput, AutoScrollNumbers) {
    EXPECT_EQ(TCustomDBGridX::AutoScrollRows(30).Rows, 5);
    EXPECT_EQ(TCustomDBGridX::AutoScrollRows(30).Interval, 0);
    EXPECT_EQ(TCustomDBGridX::AutoScrollRows(6).Rows, 1);
    EXPECT_EQ(TCustomDBGridX::AutoScrollRows(6).Interval, 110);
    EXPECT_EQ(TCustomDBGridX::AutoScrollRows(5).Rows, 0);
    EXPECT_EQ(TCustomDBGridX::AutoScrollRows(100).Rows, 8);
    EXPECT_EQ(TCustomDBGridX::AutoScrollColumnsInterval(6), 140);
}

TEST(GridInput, TitleDraggedSidewaysMovesTheColumn) {
    test::GridHost h;
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    Columns3(h.grid);
    h.grid->Columns()[0]->Title()->SetTitleButton(true);
    h.Bind(ds);
    TColumnX* first = h.grid->Columns()[0];
    int from = -1, to = -1;
    h.grid->OnColumnMoved = [&](int f, int t) {
        from = f;
        to = t;
    };
    const QPoint a = h.grid->CellRect(1, 0).center(), b = h.grid->CellRect(3, 0).center();
    QTest::mousePress(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, a);
    QMouseEvent move(QEvent::MouseMove, QPointF(b), QPointF(b), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.grid->viewport(), &move);
    QTest::mouseRelease(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, b);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 2);
    EXPECT_EQ(h.grid->Columns()[2], first);
}

TEST(GridInput, DraggedTitleShowsWhereTheColumnWillLand) {
    test::GridHost h;
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    Columns3(h.grid);
    h.Bind(ds);
    const QPoint a = h.grid->CellRect(1, 0).center(), c = h.grid->CellRect(3, 0).center();
    const QRect third = h.grid->CellRect(3, 2);
    const int y = third.center().y();
    auto ink = [&](int x) { return h.grid->RenderImage().pixel(x, y) & 0xFFFFFF; };
    const QRgb lineBefore = ink(third.right() + 1);
    QTest::mousePress(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, a);
    auto moveTo = [&](QPoint p) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.grid->viewport(), &move);
    };
    // Dragged right over the third column: the bar stands after it, in the data rows too.
    moveTo(c);
    ASSERT_FALSE(h.grid->MoveIndicatorRect().isEmpty());
    EXPECT_EQ(ink(third.right() + 1), 0x000000u);
    EXPECT_NE(lineBefore, 0x000000u);
    // Back over the second column: the bar moves to that column's trailing edge.
    moveTo(h.grid->CellRect(2, 0).center());
    EXPECT_EQ(ink(h.grid->CellRect(2, 2).right() + 1), 0x000000u);
    EXPECT_EQ(ink(third.right() + 1), lineBefore);
    // Back over its own place: no bar; released: the column moved and the bar is gone.
    moveTo(a);
    EXPECT_TRUE(h.grid->MoveIndicatorRect().isEmpty());
    moveTo(c);
    QTest::mouseRelease(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, c);
    EXPECT_TRUE(h.grid->MoveIndicatorRect().isEmpty());
    EXPECT_EQ(ink(third.right() + 1), lineBefore);
    EXPECT_EQ(h.grid->Columns()[2]->FieldName(), QStringLiteral("id"));
}

TEST(GridInput, SpaceCyclesACheckBoxCell) {
    test::GridHost h;
    TMemDataSet ds;
    ds.Open({{QStringLiteral("ok"), ftString, 1}}, {{db::Value(QStringLiteral("Y"))}});
    h.grid->BeginLayout();
    TColumnX* c = h.grid->Columns().Add();
    c->SetFieldName(QStringLiteral("ok"));
    c->SetCheckboxes(true);
    c->SetKeyList({QStringLiteral("Y;y"), QStringLiteral("N;n")});
    h.grid->EndLayout();
    h.Bind(ds);
    h.grid->setFocus();
    EXPECT_EQ(c->GetCheckboxState(), cbChecked);
    QTest::keyClick(h.grid, Qt::Key_Space);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("ok"))->AsString(), QStringLiteral("N"));
    QTest::keyClick(h.grid, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("ok"))->AsString(), QStringLiteral("Y"));
    // A cell of three values drawn as images: Shift steps backwards, from the first to the last.
    c->SetCheckboxes(false);
    c->HasImageList = true;
    c->SetKeyList({QStringLiteral("Y"), QStringLiteral("N"), QStringLiteral("X")});
    QTest::keyClick(h.grid, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("ok"))->AsString(), QStringLiteral("X"));
    QTest::keyClick(h.grid, Qt::Key_Space);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("ok"))->AsString(), QStringLiteral("Y"));
}

// An editable one-column grid over a check-box field "ok" holding Y.
struct CheckBoxGrid : ::testing::Test {
    test::GridHost h;
    TMemDataSet ds;
    TColumnX* c = nullptr;
    void SetUp() override {
        ds.Open({{QStringLiteral("ok"), ftString, 1}},
                {{db::Value(QStringLiteral("Y"))}, {db::Value(QStringLiteral("Y"))}});
        h.grid->BeginLayout();
        c = h.grid->Columns().Add();
        c->SetFieldName(QStringLiteral("ok"));
        c->SetCheckboxes(true);
        c->SetKeyList({QStringLiteral("Y;y"), QStringLiteral("N;n")});
        h.grid->EndLayout();
        h.Bind(ds);
        h.grid->setFocus();
    }
    QString Ok() const { return ds.FieldByName(QStringLiteral("ok"))->AsString(); }
    QPoint Cell() const { return h.grid->CellRect(1, 1).center(); }
};

TEST_F(CheckBoxGrid, AClickStepsTheCellUnlessDoubleClicksDoAndDeleteEmptiesIt) {
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, Cell());
    EXPECT_EQ(Ok(), QStringLiteral("N"));
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, Cell());
    EXPECT_EQ(Ok(), QStringLiteral("Y"));
    // A column stepped by double clicks ignores single ones; the double click steps once.
    c->DblClickNextVal = true;
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, Cell());
    EXPECT_EQ(Ok(), QStringLiteral("Y"));
    QTest::mouseDClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, Cell());
    EXPECT_EQ(Ok(), QStringLiteral("N"));
    QTest::keyClick(h.grid, Qt::Key_Delete);
    EXPECT_TRUE(ds.FieldByName(QStringLiteral("ok"))->IsNull());
    EXPECT_EQ(c->GetCheckboxState(), cbGrayed);
}

TEST_F(CheckBoxGrid, NothingStepsOnAReadOnlyGridOrARowSelectGrid) {
    h.grid->SetReadOnly(true);
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, Cell());
    QTest::keyClick(h.grid, Qt::Key_Delete);
    EXPECT_EQ(Ok(), QStringLiteral("Y"));
    h.grid->SetReadOnly(false);
    h.grid->SetOptions(h.grid->Options().With(dgRowSelect));
    QTest::keyClick(h.grid, Qt::Key_Delete);
    EXPECT_EQ(Ok(), QStringLiteral("Y"));
}

TEST_F(Browse, TitleClicksReachTheFormAlsoWhereTitlesMoveColumns) {
    std::vector<TColumnX*> titles, buttons;
    h.grid->OnTitleClick = [&](TColumnX* c) { titles.push_back(c); };
    h.grid->OnTitleBtnClick = [&](int, TColumnX* c) { buttons.push_back(c); };
    ASSERT_TRUE(h.grid->Options().Has(dgColumnResize));
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, h.grid->CellRect(2, 0).center());
    ASSERT_EQ(titles.size(), 1u);
    EXPECT_EQ(titles[0], h.grid->Columns()[1]);
    EXPECT_EQ(h.grid->Columns()[1]->FieldName(), QStringLiteral("name"));  // a click moves nothing
    // A title button's click reaches both hooks.
    h.grid->Columns()[0]->Title()->SetTitleButton(true);
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, h.grid->CellRect(1, 0).center());
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0], h.grid->Columns()[0]);
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[1], h.grid->Columns()[0]);
}

TEST_F(Browse, CtrlOnATitleButtonKeepsTheOtherMarkersAndCyclesBackToNone) {
    h.grid->SetOptionsX(h.grid->OptionsX().With(dghAutoSortMarking));
    for (int i = 0; i < 2; ++i) h.grid->Columns()[i]->Title()->SetTitleButton(true);
    int changed = 0;
    h.grid->OnSortMarkingChanged = [&] { ++changed; };
    const QPoint t0 = h.grid->CellRect(1, 0).center();
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, t0);
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::NoModifier, t0);
    EXPECT_EQ(h.grid->Columns()[0]->Title()->SortMarker(), smUpX);
    EXPECT_EQ(changed, 2);
    QTest::mouseClick(h.grid->viewport(), Qt::LeftButton, Qt::ControlModifier, t0);
    EXPECT_EQ(h.grid->Columns()[0]->Title()->SortMarker(), smNoneX);
    EXPECT_EQ(changed, 2);  // with Ctrl the change is told on the Ctrl release
    QTest::keyRelease(h.grid, Qt::Key_Control);
    EXPECT_EQ(changed, 3);
}

TEST_F(Browse, ADragOverTheRowsCarriesTheCurrentRecord) {
    QWidget* vp = h.grid->viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, h.grid->CellRect(2, 2).center());
    EXPECT_EQ(ds.RecNo(), 2);
    const QPoint to = h.grid->CellRect(2, 6).center();
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &move);
    EXPECT_EQ(ds.RecNo(), 6);
    // Held 30 pixels below the rows: five records a step, the next at once.
    const QRect last = h.grid->CellRect(2, 10);
    const QPoint below(last.center().x(), last.bottom() + 30);
    QMouseEvent out(QEvent::MouseMove, QPointF(below), QPointF(below), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &out);
    EXPECT_EQ(ds.RecNo(), 15);
    EXPECT_EQ(h.grid->AutoScrollInterval(), 0);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, below);
    EXPECT_EQ(h.grid->AutoScrollInterval(), -1);
    const int at = ds.RecNo();
    QMouseEvent free(QEvent::MouseMove, QPointF(to), QPointF(to), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &free);
    EXPECT_EQ(ds.RecNo(), at);  // released: moving the mouse moves nothing
}

TEST(GridInput, CtrlDeleteWithTheDeleteActionAndASelectionAsksBeforeItDeletesEverything) {
    test::GridHost h;
    TMemDataSet ds;
    ScriptedUiService ui;
    ui.answers = {DlgAnswer::Cancel, DlgAnswer::Ok};
    test::OpenNumbered(ds, 5);
    h.grid->SetUiService(&ui);
    h.grid->SetOptions(h.grid->Options().With(dgMultiSelect));
    h.grid->EditActions = {geaDeleteX};
    Columns3(h.grid);
    h.Bind(ds);
    h.grid->setFocus();
    // Ctrl+A then Ctrl+Delete: the clipboard-style delete of everything asks first; "Cancel" keeps all.
    h.grid->Selection().SelectAll();
    QTest::keyClick(h.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds.RecordCount(), 5);
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("Delete all records?")});
    // Without a selection the record delete asks as usual.
    h.grid->Selection().Clear();
    QTest::keyClick(h.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ds.RecordCount(), 4);
    EXPECT_EQ(ui.Texts(), (QStringList{QStringLiteral("Delete all records?"), QStringLiteral("Delete record?")}));
}

// Rows sized by dragging a row's lower line in the indicator column. Geometry (stub font):
// title 0..16 with its line at 17, data rows 17 pixels high with a line, indicator 0..10.
struct RowSizing : ::testing::Test {
    test::GridHost h{400, 200};
    TMemDataSet ds;
    TDBGridX* g = nullptr;
    QWidget* vp = nullptr;
    void SetUp() override {
        g = h.grid;
        g->MetricsHook = test::StubMetrics;
        test::OpenNumbered(ds, 50);
        g->SetOptions(g->Options().Without(dgEditing));
        Columns3(g);
        h.Bind(ds);
        g->setFocus();
        vp = g->viewport();
    }
    void Send(QEvent::Type t, QPoint p, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent e(t, QPointF(p), vp->mapToGlobal(QPointF(p)), b, held, Qt::NoModifier);
        QApplication::sendEvent(vp, &e);
    }
    void Drag(QPoint from, QPoint to) {
        Send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    // The pixel row of the line under a grid row.
    int LineBelow(int row) const { return g->CellRect(0, row).bottom() + 1; }
    std::vector<int> DataRowHeights() const {
        std::vector<int> v;
        for (int r = 1; r < g->RowCount(); ++r) v.push_back(g->RowHeights(r));
        return v;
    }
};

TEST_F(RowSizing, ADraggedRowLineInTheIndicatorSetsEveryRowsHeight) {
    g->SetRowLines(1);  // a line-counted height, which the drag replaces
    g->SetRowSizingAllowed(true);
    ASSERT_EQ(g->DefaultRowHeight(), 13);
    EXPECT_TRUE(g->GridOptions().Has(goRowSizing));
    const int line = LineBelow(2);  // under the second record, at 18 + 14 + 14 − 1
    ASSERT_EQ(line, 45);
    EXPECT_EQ(g->CursorAt({5, line}), gcRowSizing);
    // Pressed a pixel above the line, dragged 20 pixels down: the line follows with that offset.
    const QImage before = g->RenderImage();
    Send(QEvent::MouseButtonPress, {5, line - 1}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(g->GridState(), gsRowSizing);
    Send(QEvent::MouseMove, {5, line + 19}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(g->SizingPos(), line + 20);
    EXPECT_EQ(g->DefaultRowHeight(), 13);  // not yet
    // The dotted sizing line runs across the grid at the sizing position, and only there.
    const QImage during = g->RenderImage();
    auto changedAt = [&](int y) {
        int n = 0;
        for (int x = 0; x < 150; ++x) n += during.pixel(x, y) != before.pixel(x, y);
        return n;
    };
    EXPECT_GT(changedAt(line + 20), 30);
    EXPECT_EQ(changedAt(line + 19), 0);
    EXPECT_EQ(changedAt(line + 21), 0);
    Send(QEvent::MouseButtonRelease, {5, line + 19}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(g->GridState(), gsNormal);
    // Row 2 started at 32: 65 − 32 = 33 pixels, now the height of every data row.
    EXPECT_EQ(g->RowLines(), 0);
    EXPECT_EQ(g->RowHeight(), 33);
    EXPECT_EQ(g->DefaultRowHeight(), 33);
    EXPECT_EQ(DataRowHeights(), std::vector<int>(size_t(g->RowCount() - 1), 33));
    EXPECT_EQ(g->RowHeights(0), 17);  // the title keeps its height
    EXPECT_EQ(ds.RecNo(), 1);         // the press moved no record

    // Released at or above the row's top: the height stays.
    const int top = g->CellRect(0, 1).top();
    Drag({5, LineBelow(1)}, {5, top});
    EXPECT_EQ(g->RowHeight(), 33);
    EXPECT_EQ(g->DefaultRowHeight(), 33);
}

TEST_F(RowSizing, NoRowSizingRightOfTheIndicatorOrWithoutTheProperty) {
    const int line = LineBelow(2);
    // Not allowed: the indicator line is no sizing line, a drag there changes no height.
    EXPECT_FALSE(g->GridOptions().Has(goRowSizing));
    EXPECT_EQ(g->CursorAt({5, line}), gcDefault);
    Drag({5, line}, {5, line + 20});
    EXPECT_EQ(g->RowHeight(), 0);
    EXPECT_EQ(g->DefaultRowHeight(), 17);

    // Allowed, and Options rebuilt from scratch keeps it.
    g->SetRowSizingAllowed(true);
    g->SetOptions(g->Options().With(dgRowSelect));
    EXPECT_TRUE(g->GridOptions().Has(goRowSizing));
    // A frozen column belongs to the fixed part but sizes no rows; data cells neither.
    g->SetFrozenCols(1);
    ASSERT_EQ(g->FixedCols(), 2);
    EXPECT_EQ(g->CursorAt({5, line}), gcRowSizing);
    EXPECT_EQ(g->CursorAt({11, line}), gcDefault);  // the indicator's own line
    EXPECT_EQ(g->CursorAt({30, line}), gcDefault);
    Drag({30, line}, {30, line + 20});
    EXPECT_EQ(g->RowHeight(), 0);
    EXPECT_EQ(g->DefaultRowHeight(), 17);
    // Titles are no row to size.
    EXPECT_EQ(g->CursorAt({5, 17}), gcDefault);

    // Switched off again: the base option goes with it.
    g->SetRowSizingAllowed(false);
    EXPECT_FALSE(g->GridOptions().Has(goRowSizing));
    EXPECT_EQ(g->CursorAt({5, line}), gcDefault);
}

TEST_F(RowSizing, TheCursorOverARowLineIsTheVerticalSplit) {
    g->SetRowSizingAllowed(true);
    g->SetOptions(g->Options().With(dgMultiSelect));  // the row-select cursor elsewhere on the indicator
    const int line = LineBelow(3);
    Send(QEvent::MouseMove, {5, line + 1}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(vp->cursor().shape(), Qt::SplitVCursor);
    Send(QEvent::MouseMove, {5, line - 6}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(vp->cursor().hotSpot(), g->RowSelectCursor().hotSpot());
    Send(QEvent::MouseMove, {62, 5}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(vp->cursor().shape(), Qt::SplitHCursor);  // columns keep theirs
    // A press on the row line sizes the row instead of selecting it.
    Drag({5, line}, {5, line + 4});
    EXPECT_EQ(g->RowHeight(), 21);
    EXPECT_EQ(g->SelectedRows().Count(), 0);
}

TEST_F(RowSizing, TheFillerRowAboveTheFootersSetsNoRowHeight) {
    ds.Close();
    test::OpenNumbered(ds, 3);
    g->SetFooterRowCount(1);
    g->SetRowSizingAllowed(true);
    const int filler = g->RowCount() - 2;
    ASSERT_EQ(filler, 4);
    ASSERT_GT(g->RowHeights(filler), 40);
    // Only data rows count: the filler's new height is no row height.
    Drag({5, LineBelow(filler)}, {5, LineBelow(filler) - 10});
    EXPECT_EQ(g->RowHeight(), 0);
    EXPECT_EQ(g->DefaultRowHeight(), 17);
    // A data row above the footers still sets it.
    Drag({5, LineBelow(3)}, {5, LineBelow(3) + 3});
    EXPECT_EQ(g->RowHeight(), 20);
    EXPECT_EQ(g->RowHeights(1), 20);
    EXPECT_EQ(g->RowHeights(2), 20);
}

// Cutting or deleting the selected record leaves the check box of the record that becomes current.
TEST_F(CheckBoxGrid, CuttingOrDeletingARecordLeavesTheCheckBoxOfTheNextOne) {
    ScriptedUiService ui;
    h.grid->SetUiService(&ui);
    h.grid->SetOptions(h.grid->Options().With(dgMultiSelect));
    ds.Open({{QStringLiteral("ok"), ftString, 1}},
            {{db::Value(QStringLiteral("Y"))}, {db::Value(QStringLiteral("N"))}, {db::Value(QStringLiteral("Y"))}});
    h.Bind(ds);
    const struct {
        Qt::KeyboardModifier key;
        TDBGridXEditAction action;
        const char* next;
    } cases[] = {{Qt::ShiftModifier, geaCutX, "N"}, {Qt::ControlModifier, geaDeleteX, "Y"}};
    for (const auto& c : cases) {
        const int records = ds.RecordCount();
        h.grid->EditActions = {c.action};
        h.grid->SelectedRows().SetCurrentRowSelected(true);
        ui.answers = {DlgAnswer::Ok};
        QTest::keyClick(h.grid, Qt::Key_Delete, c.key);
        EXPECT_EQ(ds.RecordCount(), records - 1) << c.next;
        EXPECT_EQ(Ok(), QLatin1String(c.next));
    }
}

}  // namespace
