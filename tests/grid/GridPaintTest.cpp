// Painting probed pixel by pixel on an image, with a pinned palette and font.
#include "grid/TitleTree.h"
#include "tests/grid/GridTestSupport.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

using namespace qm;
using namespace qm::grid;

namespace {

QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kSilver = 0xC0C0C0, kGrey = 0x808080, kBlack = 0, kWhite = 0xFFFFFF, kFace = 0xD4D0C8,
               kHighlight = 0x0A246A, kDark = 0x404040;

struct PaintFixture : ::testing::Test {
    test::GridHost h{400, 200};
    TMemDataSet ds;
    void SetUp() override {
        h.grid->MetricsHook = test::StubMetrics;
        test::OpenNumbered(ds, 50);
        h.grid->SetOptions(h.grid->Options().Without(dgEditing).With(dgRowSelect));
        h.grid->BeginLayout();
        const QString names[] = {QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("amount")};
        for (int i = 0; i < 3; ++i) {
            TColumnX* c = h.grid->Columns().Add();
            c->SetFieldName(names[i]);
            c->SetWidth(50 + 10 * i);
        }
        h.grid->EndLayout();
        h.Bind(ds);
        h.grid->setFocus();
    }
};

TEST_F(PaintFixture, LineColours) {
    QImage img = h.grid->RenderImage();
    EXPECT_EQ(Px(img, 62, 40), kSilver);   // data line after column 1
    EXPECT_EQ(Px(img, 11, 40), kBlack);    // fixed line after the indicator
    EXPECT_EQ(Px(img, 90, 17), kBlack);    // below the title row
    EXPECT_EQ(Px(img, 100, 53), kSilver);  // between data rows 2 and 3
    h.grid->SetColor(QColor(0xC0, 0xC0, 0xC0));
    img = h.grid->RenderImage();
    EXPECT_EQ(Px(img, 62, 40), kGrey);
    EXPECT_EQ(Px(img, 300, 100), kSilver);  // right of the cells: the grid's colour
    h.grid->SetFlat(true);
    EXPECT_EQ(h.grid->FixedLineColor().rgb() & 0xFFFFFF, kGrey);
    h.grid->SetTarnStyle(true);
    EXPECT_EQ(h.grid->FixedLineColor().rgb() & 0xFFFFFF, kBlack);
}

TEST_F(PaintFixture, RowSelectHighlightIndicatorAndFocusFrame) {
    ds.SetRecNo(2);  // data row 1: y 36..52
    QImage img = h.grid->RenderImage();
    EXPECT_EQ(Px(img, 118, 44), kHighlight);  // current row, away from the text
    EXPECT_EQ(Px(img, 118, 26), kWhite);      // another row
    // Indicator arrow at x = 10 − 6 − 1 = 3, centred vertically: its middle point (5, 44).
    EXPECT_EQ(Px(img, 5, 44), kBlack);
    EXPECT_EQ(Px(img, 5, 26), kFace);
    EXPECT_EQ(h.grid->IndicatorRow(), 2);
    // The dotted focus frame lies on the row's top edge.
    int black = 0;
    for (int x = 70; x < 120; ++x) black += Px(img, x, 36) != kHighlight;
    EXPECT_GT(black, 0);
    // Without the focus: neither highlight nor frame.
    h.grid->clearFocus();
    h.window.setFocus();
    img = h.grid->RenderImage();
    EXPECT_EQ(Px(img, 118, 44), kWhite);
    int marks = 0;
    for (int x = 70; x < 120; ++x) marks += Px(img, x, 36) != kWhite;
    EXPECT_EQ(marks, 0);
}

TEST_F(PaintFixture, MultiSelectPaintsEachRowByItsOwnBookmark) {
    h.grid->SetOptions(h.grid->Options().With(dgMultiSelect));
    ds.SetRecNo(3);  // data row 2: y 54..70
    h.grid->SelectedRows().SetCurrentRowSelected(true);
    ds.SetRecNo(1);  // the cursor on an unselected row
    const QImage img = h.grid->RenderImage();
    // Only the selected row is dark in its indicator and highlighted in its cells.
    EXPECT_EQ(Px(img, 2, 62), kDark);
    EXPECT_EQ(Px(img, 118, 62), kHighlight);
    for (int y : {26, 44, 80}) {
        EXPECT_EQ(Px(img, 2, y), kFace) << y;
        EXPECT_EQ(Px(img, 118, y), kWhite) << y;
    }
}

TEST_F(PaintFixture, ThreeDimensionalTitleAndSelectedColumnTitle) {
    QImage img = h.grid->RenderImage();
    const QRect t = h.grid->CellRect(1, 0);
    EXPECT_EQ(Px(img, t.left(), t.top()), kWhite);     // light top-left
    EXPECT_EQ(Px(img, t.right(), t.bottom()), kGrey);  // dark bottom-right
    EXPECT_EQ(Px(img, t.right() - 3, t.top() + 3), kFace);
    h.grid->Selection().Columns().Add(h.grid->Columns()[0], false);
    img = h.grid->RenderImage();
    EXPECT_EQ(Px(img, t.right() - 3, t.top() + 3), kDark);
}

TEST_F(PaintFixture, ChineseTitleCaptionInkStaysInItsCell) {
    h.grid->SetTitleLines(3);
    h.grid->Columns()[1]->Title()->SetCaption(QStringLiteral("具有国家评定专业技术职称"));
    h.grid->Columns()[1]->Title()->SetAlignment(taCenter);
    const QImage img = h.grid->RenderImage();
    const QRect t = h.grid->CellRect(2, 0);
    EXPECT_EQ(t.height(), 3 * 13 + 2 + 1);
    int inkTop = 1000, inkBottom = -1;
    for (int y = t.top() + 1; y < t.bottom(); ++y)
        for (int x = t.left() + 1; x < t.right(); ++x)
            if (Px(img, x, y) != kFace) {
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
            }
    ASSERT_GE(inkBottom, 0);            // some caption ink
    EXPECT_GT(inkBottom - inkTop, 13);  // wrapped onto more than one line
}

TEST_F(PaintFixture, InactiveLinkDrawsBackgroundsAndTitlesOnly) {
    h.grid->SetDataSource(nullptr);
    const QImage img = h.grid->RenderImage();
    EXPECT_EQ(Px(img, 5, 26), kFace);
    EXPECT_EQ(Px(img, 118, 26), kWhite);
}

TEST_F(PaintFixture, ThrowingDrawHookLeavesTheActiveRecordRestored) {
    ds.SetRecNo(3);
    const int before = h.grid->DataLink()->ActiveRecord();
    h.grid->OnDrawColumnCell = [](const QRect&, int, TColumnX*, TGridDrawState) { throw std::runtime_error("x"); };
    EXPECT_THROW(h.grid->RenderImage(), std::runtime_error);
    EXPECT_EQ(h.grid->DataLink()->ActiveRecord(), before);
    EXPECT_EQ(ds.FieldByName(QStringLiteral("id"))->AsInteger(), 3);
    h.grid->OnDrawColumnCell = nullptr;
}

TEST(GridPaint, EllipsisShortensFromTwoCharactersOn) {
    QStringList tried;
    const QString out = TCustomDBGridX::ShortenWithEllipsis(QStringLiteral("ABCDEFG"), 0, [&](const QString& s) {
        tried << s;
        return int(s.size()) * 10;
    });
    EXPECT_EQ(tried, (QStringList{"ABCDEFG", "ABCDE...", "ABCD...", "ABC...", "AB...", "A...", "..."}));
    EXPECT_EQ(out, QStringLiteral("..."));
    EXPECT_EQ(TCustomDBGridX::ShortenWithEllipsis(QStringLiteral("ABCDEFG"), 60,
                                                  [](const QString& s) { return int(s.size()) * 10; }),
              QStringLiteral("ABC..."));
}

// The bounding box of the black pixels inside a rectangle.
QRect InkBox(const QImage& img, const QRect& r) {
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Px(img, x, y) == kBlack) box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(PaintFixture, TitleCaptionSitsAtTheCellsOffsetsWithAndWithout3D) {
    h.grid->Columns()[0]->Title()->SetCaption(QStringLiteral("W"));
    const QRect cell = h.grid->CellRect(1, 0);
    // A 3D cell shrinks by one pixel and writes one pixel in; a flat one writes two pixels in.
    const QRect with3D = InkBox(h.grid->RenderImage(), cell.adjusted(1, 1, -1, -1));
    h.grid->SetOptionsX(h.grid->OptionsX().Without(dghFixed3D));
    const QRect flat = InkBox(h.grid->RenderImage(), cell.adjusted(1, 1, -1, -1));
    ASSERT_FALSE(with3D.isEmpty());
    EXPECT_EQ(with3D.topLeft(), flat.topLeft());
    EXPECT_LE(with3D.left(), cell.left() + 3);  // "W" has next to no side bearing
}

// Two columns under the band "人员" and one on its own; the band's rows probed on an image.
struct BandFixture : ::testing::Test {
    test::GridHost h{400, 200};
    TMemDataSet ds;
    void SetUp() override {
        test::OpenNumbered(ds, 5);
        const QString caps[] = {QStringLiteral("人员|编号"), QStringLiteral("人员|姓名"), QStringLiteral("金额")};
        const QString names[] = {QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("amount")};
        for (int i = 0; i < 3; ++i) {
            TColumnX* c = h.grid->Columns().Add();
            c->SetFieldName(names[i]);
            c->SetWidth(i == 0 ? 50 : 80);
            c->Title()->SetCaption(caps[i]);
        }
        h.Bind(ds);
        h.grid->SetUseMultiTitle(true);
    }
    // A pixel row inside the band, clear of its edges and of its text.
    int BandRow() const { return h.grid->CellRect(1, 0).top() + 2; }
    int BandHeight() const { return h.grid->LeafOf(0)->Host->Height; }
};

TEST_F(BandFixture, TheGroupBandIsDrawnWholeOverItsColumnsWithItsCaptionCentred) {
    QImage img = h.grid->RenderImage();
    const QRect c1 = h.grid->CellRect(1, 0), c2 = h.grid->CellRect(2, 0);
    const int y = BandRow();
    // No column line and no cell edge splits the band: over the line and the pixels beside
    // it the band's face goes on.
    for (int x = c1.right() - 1; x <= c2.left() + 1; ++x) EXPECT_EQ(Px(img, x, y), kFace) << x;
    {
        // So it stays when only the line is repainted.
        QPainter p(&img);
        h.grid->PaintGrid(p, QRect(c1.right() + 1, 0, 1, c1.bottom()));
    }
    EXPECT_EQ(Px(img, c1.right() + 1, y), kFace);
    // The band's own raised edge: light at its start, dark at its end; none at the join.
    EXPECT_EQ(Px(img, c1.left(), y), kWhite);
    EXPECT_EQ(Px(img, c2.right(), y), kGrey);
    // Below the band, the columns' own cells keep their edges and the line between them.
    const int leafY = c1.bottom() - 3;
    EXPECT_EQ(Px(img, c1.right() + 1, leafY), kBlack);
    EXPECT_EQ(Px(img, c1.right(), leafY), kGrey);
    // The caption is centred over the whole band, not over the first column.
    const QRect band(c1.left() + 2, c1.top() + 1, c2.right() - c1.left() - 3, BandHeight() - 3);
    const QRect ink = InkBox(img, band);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(std::abs((ink.left() + ink.right()) / 2 - (c1.left() + c2.right()) / 2), 1)
        << ink.left() << ".." << ink.right() << " in " << c1.left() << ".." << c2.right();
}

TEST_F(BandFixture, ASelectedColumnsPieceOfTheBandIsDarkAndAScrolledFrozenColumnEndsItsPiece) {
    h.grid->Selection().Columns().Add(h.grid->Columns()[0], false);
    QImage img = h.grid->RenderImage();
    const QRect c1 = h.grid->CellRect(1, 0), c2 = h.grid->CellRect(2, 0);
    EXPECT_EQ(Px(img, c1.left() + 3, BandRow()), kDark);
    EXPECT_EQ(Px(img, c2.left() + 3, BandRow()), kFace);
    h.grid->Selection().Clear();
    // The first column frozen and the rest scrolled: the band's piece over the frozen
    // column stops at its line.
    h.grid->SetFrozenCols(1);
    h.grid->resize(170, 200);
    h.grid->SetLeftCol(h.grid->FixedCols() + 1);
    ASSERT_NE(h.grid->LeftCol(), h.grid->FixedCols());
    img = h.grid->RenderImage();
    const QRect f = h.grid->CellRect(1, 0);
    EXPECT_EQ(Px(img, f.right() + 1, BandRow()), kBlack);
    h.grid->SetLeftCol(h.grid->FixedCols());
    img = h.grid->RenderImage();
    EXPECT_EQ(Px(img, f.right() + 1, BandRow()), kFace);
}

}  // namespace
