// Layout and geometry of the data grid, against hand-computed values.
#include "tests/grid/GridTestSupport.h"

#include <gtest/gtest.h>
#include <QScrollBar>
#include <QSignalSpy>

using namespace qm;
using namespace qm::grid;

namespace {

void ThreeColumns(TDBGridX* g, int w0 = 50, int w1 = 60, int w2 = 70) {
    g->BeginLayout();
    const QString names[] = {QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("amount")};
    const int widths[] = {w0, w1, w2};
    for (int i = 0; i < 3; ++i) {
        TColumnX* c = g->Columns().Add();
        c->SetFieldName(names[i]);
        c->SetWidth(widths[i]);
    }
    g->EndLayout();
}

TEST(GridLayout, ConstructionDefaults) {
    test::GridHost h;
    EXPECT_EQ(h.grid->Options().Value(), 3325u);
    EXPECT_EQ(h.grid->OptionsX().Value(), 97u);
    EXPECT_EQ(h.grid->GridOptions().Value(), 3727u);
    EXPECT_EQ(h.grid->TitleOffset(), 1);
    EXPECT_EQ(h.grid->IndicatorOffset(), 1);
    EXPECT_EQ(h.grid->VTitleMargin(), 10);
    EXPECT_EQ(h.grid->RowCount(), 2);
    EXPECT_EQ(h.grid->ColWidths(0), 11);
    TDBGridOptions browse = h.grid->Options().Without(dgEditing).With(dgRowSelect);
    EXPECT_EQ(browse.Value(), 3580u);
}

TEST(GridLayout, RowHeightsFromTheTextMetrics) {
    test::GridHost h;
    h.grid->MetricsHook = test::StubMetrics;
    h.grid->SetOptions(h.grid->Options().Without(dgRowLines));
    h.grid->SetOptionsX(h.grid->OptionsX().With(dghFitRowHeightToText));
    EXPECT_EQ(h.grid->DefaultRowHeight(), 16);
    EXPECT_EQ(h.grid->RowLines(), 1);
    EXPECT_EQ(h.grid->RowHeight(), 3);
    EXPECT_FALSE(h.grid->MultiLineRows());  // 16 is not above 13 + 0 + 3 + 4

    test::GridHost h2;
    h2.grid->MetricsHook = test::StubMetrics;
    h2.grid->SetRowLines(2);
    EXPECT_EQ(h2.grid->DefaultRowHeight(), 26);
    EXPECT_TRUE(h2.grid->MultiLineRows());
    h2.grid->SetRowLines(0);
    h2.grid->SetRowHeight(20);  // (13 + 0) × 0 + 20
    EXPECT_EQ(h2.grid->DefaultRowHeight(), 20);
    EXPECT_FALSE(h2.grid->MultiLineRows());
    h2.grid->SetFlat(true);  // the threshold drops to 18
    EXPECT_TRUE(h2.grid->MultiLineRows());
}

TEST(GridLayout, LineCountedTitleRow) {
    test::GridHost h;
    h.grid->MetricsHook = test::StubMetrics;
    h.grid->SetTitleLines(3);
    // 3 × 13 + 0 + 2 + 0, plus 1 with row lines.
    EXPECT_EQ(h.grid->RowHeights(0), 42);
    h.grid->SetTitleHeight(5);
    EXPECT_EQ(h.grid->RowHeights(0), 47);
    h.grid->SetTitleLines(0);
    h.grid->SetTitleHeight(0);
    EXPECT_EQ(h.grid->RowHeights(0), 17);  // "Wg" height plus row spacing 4
}

TEST(GridGeometry, CellRectMouseCoordAndVisibleRows) {
    test::GridHost h(400, 200);
    h.grid->MetricsHook = test::StubMetrics;
    TMemDataSet ds;
    test::OpenNumbered(ds, 50);
    ThreeColumns(h.grid);
    h.Bind(ds);
    // Indicator 11 + line; title row 17 + line; data rows 13 + 4 (+ line).
    EXPECT_EQ(h.grid->CellRect(1, 1), QRect(12, 18, 50, 17));
    EXPECT_EQ(h.grid->CellRect(2, 2), QRect(63, 36, 60, 17));
    EXPECT_EQ(h.grid->BoxRect(1, 1, 3, 1), QRect(12, 18, 50 + 1 + 60 + 1 + 70, 17));
    EXPECT_EQ(h.grid->MouseCoord(12, 18), (TGridCoord{1, 1}));
    EXPECT_EQ(h.grid->MouseCoord(62, 18), (TGridCoord{1, 1}));  // a line belongs to the cell before it
    EXPECT_EQ(h.grid->MouseCoord(63, 35), (TGridCoord{2, 1}));
    EXPECT_EQ(h.grid->MouseCoord(5, 5), (TGridCoord{0, 0}));
    EXPECT_EQ(h.grid->MouseCoord(390, 20), (TGridCoord{}));  // right of the last column
    // 18 + 10 × 18 = 198 fits in 200 (+ line); an eleventh row would not.
    EXPECT_EQ(h.grid->VisibleRowCount(), 10);
    EXPECT_EQ(h.grid->DataLink()->BufferCount(), 10);
    EXPECT_EQ(h.grid->RowCount(), 11);
}

TEST(GridGeometry, HiddenColumnHasNoLineAndZeroWidthKeepsIt) {
    test::GridHost h(400, 200);
    h.grid->MetricsHook = test::StubMetrics;
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    ThreeColumns(h.grid);
    h.Bind(ds);
    h.grid->Columns()[1]->SetVisible(false);
    EXPECT_EQ(h.grid->ColWidths(2), -1);
    EXPECT_EQ(h.grid->CellRect(3, 1).left(), 63);  // the hidden column and its line take nothing
    h.grid->SetOptions(h.grid->Options().Without(dgColLines));
    EXPECT_EQ(h.grid->ColWidths(2), 0);
}

TEST(GridLayout, VerticalBarCountsRecords) {
    test::GridHost h(400, 200);
    h.grid->MetricsHook = test::StubMetrics;
    TMemDataSet ds;
    test::OpenNumbered(ds, 50);
    ThreeColumns(h.grid);
    h.Bind(ds);
    ds.SetRecNo(7);
    QScrollBar* sb = h.grid->verticalScrollBar();
    EXPECT_EQ(sb->minimum(), 1);
    EXPECT_EQ(sb->maximum(), 50);
    EXPECT_EQ(sb->pageStep(), 10);
    EXPECT_EQ(sb->value(), 7);
    // Line down from the last visible row scrolls the window by one record.
    ds.SetRecNo(10);
    ASSERT_EQ(h.grid->DataLink()->ActiveRecord(), 9);
    sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(ds.RecNo(), 11);
    EXPECT_EQ(ds.WindowStart(), 1);
    EXPECT_EQ(h.grid->Row(), 10);
    // Line down from the first visible row moves to the record below the window.
    ds.First();
    sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(ds.RecNo(), 11);
    sb->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(ds.RecNo(), 1);
    sb->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(ds.RecNo(), 11);
    // A thumb released at position 1 goes to the first record, at the end to the last.
    sb->setSliderPosition(1);
    emit sb->sliderReleased();
    EXPECT_EQ(ds.RecNo(), 1);
    sb->setSliderPosition(50);
    emit sb->sliderReleased();
    EXPECT_EQ(ds.RecNo(), 50);
}

TEST(GridLayout, AutoFitSharesTheClientWidth) {
    test::GridHost h(400, 200);
    h.grid->MetricsHook = test::StubMetrics;
    ThreeColumns(h.grid, 100, 300, 1);
    h.grid->Columns().Delete(2);
    h.grid->SetAutoFitColWidths(true);
    // 400 − 11 − 2 − 1 = 386: shares 97 and 290 sum to 387, so the rightmost gives one back.
    EXPECT_EQ(h.grid->Columns()[0]->Width(), 97);
    EXPECT_EQ(h.grid->Columns()[1]->Width(), 289);

    test::GridHost h2(400, 200);
    h2.grid->MetricsHook = test::StubMetrics;
    ThreeColumns(h2.grid, 100, 300, 1);
    h2.grid->Columns().Delete(2);
    h2.grid->Columns()[0]->SetMaxWidth(50);
    h2.grid->Columns()[0]->SetWidth(100);  // clamped to 50, but the base width stays 100
    h2.grid->Columns()[0]->BaseWidth = 100;
    h2.grid->Columns()[1]->BaseWidth = 300;
    h2.grid->SetAutoFitColWidths(true);
    h2.grid->Columns()[0]->BaseWidth = 100;
    h2.grid->LayoutChanged();
    EXPECT_EQ(h2.grid->Columns()[0]->Width(), 50);
    EXPECT_EQ(h2.grid->Columns()[1]->Width(), 400 - 50 - 11 - 2 - 1);
}

TEST(GridLayout, DefaultCollectionMirrorsVisibleFields) {
    test::GridHost h;
    TMemDataSet ds;
    test::OpenNumbered(ds, 3);
    ds.FieldByName(QStringLiteral("name"))->SetVisible(false);
    h.Bind(ds);
    ASSERT_EQ(h.grid->Columns().Count(), 2);
    EXPECT_EQ(h.grid->Columns().State(), csDefault);
    EXPECT_NE(dynamic_cast<TPassthroughColumn*>(h.grid->Columns()[0]), nullptr);
    EXPECT_EQ(h.grid->Columns()[1]->FieldName(), QStringLiteral("amount"));
    ds.FieldByName(QStringLiteral("name"))->SetVisible(true);
    EXPECT_EQ(h.grid->Columns().Count(), 3);
    EXPECT_EQ(h.grid->Columns()[1]->FieldName(), QStringLiteral("name"));
    // A column of our own makes the mirrored ones go at the next layout.
    TColumnX* own = h.grid->Columns().Add();
    own->SetFieldName(QStringLiteral("name"));
    EXPECT_EQ(h.grid->Columns().Count(), 1);
    EXPECT_EQ(h.grid->Columns().State(), csCustomized);
    EXPECT_EQ(h.grid->Columns()[0], own);
}

TEST(GridLayout, MissingFieldLaysOutWithEmptyCellsAndNoTabStop) {
    test::GridHost h;
    TMemDataSet ds;
    test::OpenNumbered(ds, 3);
    h.grid->BeginLayout();
    h.grid->Columns().Add()->SetFieldName(QStringLiteral("nosuch"));
    h.grid->Columns().Add()->SetFieldName(QStringLiteral("name"));
    h.grid->EndLayout();
    h.Bind(ds);
    EXPECT_EQ(h.grid->Columns()[0]->Field(), nullptr);
    EXPECT_EQ(h.grid->GetFields(0), nullptr);
    EXPECT_EQ(h.grid->GetFields(1)->FieldName(), QStringLiteral("name"));
    EXPECT_FALSE(h.grid->TabStops(1));
    EXPECT_TRUE(h.grid->TabStops(2));
    EXPECT_NO_THROW(h.grid->RenderImage());
}

TEST(GridLayout, HiddenLeadingColumnBecomesFixed) {
    test::GridHost h(600, 300);
    TMemDataSet ds;
    test::OpenNumbered(ds, 30);
    h.grid->SetOptions(h.grid->Options().Without(dgEditing).With(dgRowSelect));
    h.grid->BeginLayout();
    for (int i = 0; i < 20; ++i) {
        TColumnX* c = h.grid->Columns().Add();
        if (i == 1) c->SetFieldName(QStringLiteral("id"));
        if (i == 2) c->SetFieldName(QStringLiteral("name"));
        c->SetWidth(40);
    }
    h.grid->Columns()[0]->SetVisible(false);
    h.grid->Columns()[10]->SetVisible(false);
    h.grid->EndLayout();
    h.Bind(ds);
    EXPECT_EQ(h.grid->FixedCols(), 2);
    EXPECT_EQ(h.grid->SelectedIndex(), 1);
    EXPECT_EQ(h.grid->GetSelectedField()->FieldName(), QStringLiteral("id"));
    // Reading the current record as the forms do.
    ds.SetRecNo(4);
    EXPECT_EQ(h.grid->GetFields(1)->AsString(), QStringLiteral("4"));
    EXPECT_EQ(h.grid->GetFields(0), nullptr);  // column 0 names no field
}

TEST(GridLayout, DeferredLayoutIsQueuedOnceAndDroppedByADirectLayout) {
    test::GridHost h;
    h.grid->BeginLayout();
    h.grid->DeferLayout();
    h.grid->BeginLayout();
    h.grid->DeferLayout();
    EXPECT_TRUE(h.grid->IsLayoutPosted());
    EXPECT_EQ(h.grid->LayoutLock(), 0);
    h.grid->LayoutChanged();  // runs first
    EXPECT_FALSE(h.grid->IsLayoutPosted());
    QApplication::processEvents();  // the queued call finds nothing to do
    EXPECT_FALSE(h.grid->IsLayoutPosted());
}

TEST(GridLayout, ReplacingTheDataSetRelaysOut) {
    test::GridHost h;
    TMemDataSet a, b;
    test::OpenNumbered(a, 3);
    b.Open({{QStringLiteral("x"), ftString, 5}}, {{db::Value(QStringLiteral("q"))}});
    h.Bind(a);
    EXPECT_EQ(h.grid->Columns().Count(), 3);
    h.src.SetDataSet(&b);
    EXPECT_EQ(h.grid->Columns().Count(), 1);
    EXPECT_EQ(h.grid->GetFields(0)->AsString(), QStringLiteral("q"));
}

TEST(GridColumns, DefaultWidthAskedForStaysDefaultAndAssignBindsTheNamedField) {
    test::GridHost h;
    h.grid->MetricsHook = test::StubMetrics;
    TMemDataSet ds;
    test::OpenNumbered(ds, 3);
    h.grid->BeginLayout();
    TColumnX* a = h.grid->Columns().Add();
    a->SetFieldName(QStringLiteral("id"));
    TColumnX* b = h.grid->Columns().Add();
    b->SetFieldName(QStringLiteral("name"));
    h.grid->EndLayout();
    h.Bind(ds);
    EXPECT_EQ(b->Width(), 7 * 10 + 4);
    b->SetWidth(74);  // the default: it keeps following the field
    EXPECT_FALSE(b->IsExplicit(cvWidth));
    ds.FieldByName(QStringLiteral("name"))->SetDisplayWidth(20);
    EXPECT_EQ(b->Width(), 7 * 20 + 4);
    b->SetWidth(90);
    EXPECT_TRUE(b->IsExplicit(cvWidth));
    EXPECT_EQ(b->Width(), 90);
    // Assigning a column takes its field too, not only its name.
    ASSERT_EQ(a->Field(), ds.FieldByName(QStringLiteral("id")));
    a->Assign(*b);
    EXPECT_EQ(a->FieldName(), QStringLiteral("name"));
    EXPECT_EQ(a->Field(), ds.FieldByName(QStringLiteral("name")));
    EXPECT_EQ(a->Width(), 90);
}

TEST(GridColumns, WidthSetBeforeTheDataArrivesSticksEvenAtTheGridDefault) {
    test::GridHost h;
    h.grid->MetricsHook = test::StubMetrics;
    TMemDataSet ds;
    test::OpenNumbered(ds, 3);
    h.grid->BeginLayout();
    TColumnX* c = h.grid->Columns().Add();
    c->SetFieldName(QStringLiteral("name"));
    c->SetWidth(h.grid->DefaultColWidth());  // asked for while no field is bound
    h.grid->EndLayout();
    h.Bind(ds);
    EXPECT_TRUE(c->IsExplicit(cvWidth));
    EXPECT_EQ(c->Width(), h.grid->DefaultColWidth());
    EXPECT_NE(c->DefaultWidth(), h.grid->DefaultColWidth());  // the field would ask for another
}

TEST(GridColumns, AssignLeavesVisibilityAndWidthLimitsAlone) {
    test::GridHost h;
    h.grid->BeginLayout();
    TColumnX* a = h.grid->Columns().Add();
    TColumnX* b = h.grid->Columns().Add();
    b->SetVisible(false);
    b->SetMinWidth(20);
    b->SetMaxWidth(40);
    b->Title()->SetCaption(QStringLiteral("乙"));
    a->SetMaxWidth(90);
    h.grid->EndLayout();
    a->Assign(*b);
    EXPECT_EQ(a->Title()->Caption(), QStringLiteral("乙"));  // what the copy lists travels
    EXPECT_TRUE(a->Visible());
    EXPECT_EQ(a->MinWidth(), 0);
    EXPECT_EQ(a->MaxWidth(), 90);
}

TEST(GridColumns, PlainValuesStepByTheIncrementGiven) {
    test::GridHost h;
    TMemDataSet ds;
    ds.Open({{QStringLiteral("n"), ftInteger, 0}, {QStringLiteral("x"), ftFloat, 0}}, {{db::Value(5), db::Value()}});
    h.grid->BeginLayout();
    TColumnX* n = h.grid->Columns().Add();
    n->SetFieldName(QStringLiteral("n"));
    TColumnX* x = h.grid->Columns().Add();
    x->SetFieldName(QStringLiteral("x"));
    h.grid->EndLayout();
    h.Bind(ds);
    n->SetNextFieldValue(-1);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("n"))->AsInteger(), 4);
    n->SetNextFieldValue(2.6);  // an integer field takes the rounded sum
    EXPECT_EQ(ds.FieldByName(QStringLiteral("n"))->AsInteger(), 7);
    x->SetNextFieldValue(-0.5);  // a null counts as minus the step: it becomes 0
    EXPECT_DOUBLE_EQ(ds.FieldByName(QStringLiteral("x"))->AsFloat(), 0.0);
    EXPECT_FALSE(ds.FieldByName(QStringLiteral("x"))->IsNull());
}

}  // namespace
