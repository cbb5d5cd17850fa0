// Layout points finished with the editing grid: a frozen current column survives data
// changes, and a resized column that mirrors its field writes the width back to the field.
#include "tests/grid/GridTestSupport.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

TEST(GridLayout, AFrozenCurrentColumnStaysCurrentWhenTheDataChanges) {
    test::GridHost host;
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    host.Bind(ds);
    TDBGridX& g = *host.grid;
    g.SetFrozenCols(1);
    g.SetSelectedIndex(0);
    ASSERT_EQ(g.SelectedIndex(), 0);
    ds.SetRecNo(3);
    ds.Edit();
    ds.FieldByName(QStringLiteral("name"))->SetValue(db::Value(QStringLiteral("x")));
    ds.Post();
    EXPECT_EQ(g.SelectedIndex(), 0);
    TMemDataSet other;  // a data set replaced under the grid
    test::OpenNumbered(other, 3);
    host.src.SetDataSet(&other);
    EXPECT_EQ(g.SelectedIndex(), 0);
}

TEST(GridLayout, AResizedMirroringColumnWritesItsWidthToTheField) {
    test::GridHost host;
    TMemDataSet ds;
    test::OpenNumbered(ds, 5);
    host.Bind(ds);
    TDBGridX& g = *host.grid;
    TField* name = ds.FieldByName(QStringLiteral("name"));
    const int before = name->DisplayWidth();
    const TTextMetrics m = g.MetricsOf(g.Columns()[1]->Font());
    ASSERT_GT(m.ZeroWidth, 0);
    g.SetColWidths(g.DataToRawColumn(1), 200);  // as a drag of the column's edge ends
    EXPECT_EQ(g.Columns()[1]->Width(), 200);
    EXPECT_EQ(name->DisplayWidth(), (m.AveCharWidth / 2 + 200 - m.Overhang - 3) / m.ZeroWidth);
    EXPECT_NE(name->DisplayWidth(), before);
}

}  // namespace
