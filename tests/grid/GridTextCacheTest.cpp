// The cache of finished cell texts: a grid painted through it must come out pixel for pixel
// as one painted without it, also right after a width, font, colour or value change.
#include "tests/grid/GridTestSupport.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

using namespace qm;
using namespace qm::grid;

namespace {

// An antialiased font with Chinese glyphs, so glyph blending is exercised.
QFont SmoothFont(int px = 12) {
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(px);
    return f;
}

// Records with few distinct codes (as a register has), a long text that gets clipped, one
// cut with an ellipsis, and numbers.
void OpenRegister(TMemDataSet& ds, int n) {
    const QString codes[] = {QStringLiteral("是"), QStringLiteral("否"), QStringLiteral("硕士研究生")};
    const QString posts[] = {QStringLiteral("专业技术负责人"), QStringLiteral("中级工岗位"),
                             QStringLiteral("办事人员")};
    std::vector<std::vector<db::Value>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({db::Value(i), db::Value(codes[i % 3]), db::Value(posts[i % 3]),
                        db::Value(posts[(i + 1) % 3] + QStringLiteral("和其他")), db::Value((i % 4) * 2.5)});
    ds.Open({{QStringLiteral("id"), ftInteger, 0},
             {QStringLiteral("code"), ftString, 10},
             {QStringLiteral("post"), ftString, 20},
             {QStringLiteral("note"), ftString, 20},
             {QStringLiteral("amount"), ftFloat, 0}},
            rows);
}

struct TextCacheFixture : ::testing::Test {
    test::GridHost h{420, 220};
    TMemDataSet ds;
    void SetUp() override {
        h.grid->SetFont(SmoothFont());
        h.grid->SetTitleFont(SmoothFont());
        OpenRegister(ds, 200);
        h.grid->SetOptions(h.grid->Options().Without(dgEditing).With(dgRowSelect));
        h.grid->SetTitleLines(2);
        h.grid->BeginLayout();
        const char* fields[] = {"id", "code", "post", "note", "amount"};
        const char* titles[] = {"编号", "是否少数民族", "岗位名称", "说明", "金额"};
        const int widths[] = {40, 50, 60, 70, 50};
        for (int i = 0; i < 5; ++i) {
            TColumnX* c = h.grid->Columns().Add();
            c->SetFieldName(QString::fromLatin1(fields[i]));
            c->Title()->SetCaption(QString::fromUtf8(titles[i]));
            c->Title()->SetAlignment(taCenter);
            c->SetWidth(widths[i]);
        }
        h.grid->Columns()[3]->SetEndEllipsis(true);
        h.grid->Columns()[1]->SetAlignment(taCenter);
        h.grid->Columns()[2]->Title()->SetSortMarker(smDownX);
        h.grid->EndLayout();
        h.Bind(ds);
        h.grid->setFocus();
    }
    // Painted through the cache, after it has seen the content twice.
    QImage Cached() {
        h.grid->RenderImage();
        h.grid->RenderImage();
        return h.grid->RenderImage();
    }
    // Painted without the cache (which keeps what it holds).
    QImage Direct() {
        h.grid->TextCache().SetEnabled(false);
        QImage img = h.grid->RenderImage();
        h.grid->TextCache().SetEnabled(true);
        return img;
    }
};

TEST_F(TextCacheFixture, PagesThroughTheCacheEqualPagesPaintedDirectly) {
    const int page = h.grid->VisibleDataRowCount();
    ASSERT_GT(page, 3);
    std::vector<QImage> cached;
    // Forward one page at a time, then back: the repeated codes and the titles come from the cache.
    for (int i = 0; i < 6; ++i) {
        ds.MoveBy(i < 3 ? page : -page);
        cached.push_back(h.grid->RenderImage());
    }
    EXPECT_GT(h.grid->TextCache().Hits(), 0);
    EXPECT_GT(h.grid->TextCache().ImageCount(), 0);
    ds.First();
    h.grid->TextCache().SetEnabled(false);
    for (int i = 0; i < 6; ++i) {
        ds.MoveBy(i < 3 ? page : -page);
        EXPECT_EQ(h.grid->RenderImage(), cached[size_t(i)]) << "page step " << i;
    }
}

// The first paint of a layout also makes the glyphs of every character the columns hold; that
// leaves no mark on what it paints, on an image or on the widget itself.
TEST_F(TextCacheFixture, TheFirstPaintOfALayoutDrawsWhatLaterPaintsDraw) {
    const QImage first = h.grid->RenderImage();
    EXPECT_EQ(first, Direct());
    h.grid->Columns()[3]->SetWidth(90);  // a new layout, which makes the glyphs again
    const QImage widened = h.grid->RenderImage();
    EXPECT_NE(widened, first);
    EXPECT_EQ(widened, Direct());
    h.grid->Columns()[3]->SetWidth(70);
    h.grid->resize(h.grid->size());
    QImage onWidget(h.grid->size(), QImage::Format_ARGB32_Premultiplied);
    h.grid->render(&onWidget);
    QImage again(h.grid->size(), QImage::Format_ARGB32_Premultiplied);
    h.grid->render(&again);
    EXPECT_EQ(onWidget, again);
}

TEST_F(TextCacheFixture, WidthChangesDoNotDrawStaleClippingOrEllipsis) {
    Cached();
    h.grid->Columns()[3]->SetWidth(45);  // shorter ellipsis
    h.grid->Columns()[2]->SetWidth(90);  // the clipped text now fits
    const QImage narrow = Cached();
    EXPECT_EQ(narrow, Direct());
    h.grid->Columns()[3]->SetWidth(110);  // room for the whole text again
    const QImage wide = Cached();
    EXPECT_EQ(wide, Direct());
    EXPECT_NE(narrow, wide);
}

TEST_F(TextCacheFixture, FontColourAndValueChangesDoNotDrawStaleText) {
    const QImage before = Cached();
    h.grid->SetFont(SmoothFont(14));
    const QImage bigger = Cached();
    EXPECT_EQ(bigger, Direct());
    EXPECT_NE(bigger, before);
    h.grid->Columns()[1]->SetFont(SmoothFont(10));
    EXPECT_EQ(Cached(), Direct());
    h.grid->Columns()[1]->Title()->SetFont(SmoothFont(13));
    EXPECT_EQ(Cached(), Direct());
    h.grid->SetColor(QColor(255, 255, 224));
    EXPECT_EQ(Cached(), Direct());
    h.grid->Columns()[2]->SetAlignment(taRightJustify);
    EXPECT_EQ(Cached(), Direct());
    // A stored value changes under a cell already cached.
    ds.First();
    ds.Edit();
    ds.FieldByName(QStringLiteral("code"))->SetAsString(QStringLiteral("否"));
    ds.Post();
    EXPECT_EQ(Cached(), Direct());
}

TEST_F(TextCacheFixture, CellParametersSetByTheFormPerCellAreHonoured) {
    h.grid->OnGetCellParams = [](TColumnX* c, TFont& f, QColor& bg, TGridDrawState) {
        if (c->Index() == 1) f.setBold(true);
        if (c->Field()->AsString() == QStringLiteral("否")) bg = QColor(255, 220, 220);
    };
    Cached();
    ds.MoveBy(10);
    EXPECT_EQ(Cached(), Direct());
    h.grid->OnGetCellParams = nullptr;
    EXPECT_EQ(Cached(), Direct());
}

TEST_F(TextCacheFixture, HighlightedRowAndPressedTitleComeOutAsPaintedDirectly) {
    ds.SetRecNo(4);
    EXPECT_EQ(Cached(), Direct());
    h.grid->Columns()[1]->Title()->SetSortMarker(smUpX);  // two markers: numbered
    EXPECT_EQ(Cached(), Direct());
    h.grid->clearFocus();
    h.window.setFocus();
    EXPECT_EQ(Cached(), Direct());
}

TEST_F(TextCacheFixture, PaintingOnTheWidgetItselfAlsoMatches) {
    QWidget* vp = h.grid->viewport();
    ds.MoveBy(30);
    const qsizetype hits = h.grid->TextCache().Hits();
    vp->grab();
    vp->grab();
    const QImage cached = vp->grab().toImage();
    EXPECT_GT(h.grid->TextCache().Hits(), hits);
    h.grid->TextCache().SetEnabled(false);
    const QImage direct = vp->grab().toImage();
    h.grid->TextCache().SetEnabled(true);
    EXPECT_EQ(cached, direct);
    // The window's font changes what the grid's fonts inherit on the widget (here: whether
    // glyphs are smoothed), though the grid's own fonts compare equal.
    QFont smooth = test::PinnedFont();
    smooth.setStyleStrategy(QFont::PreferAntialias);
    h.window.setFont(smooth);
    QApplication::processEvents();
    vp->grab();
    vp->grab();
    const QImage cachedAfter = vp->grab().toImage();
    h.grid->TextCache().SetEnabled(false);
    const QImage directAfter = vp->grab().toImage();
    h.grid->TextCache().SetEnabled(true);
    EXPECT_EQ(cachedAfter, directAfter);
    EXPECT_NE(directAfter, direct);
}

// ---------------------------------------------------------------- the cache alone

struct CacheProbe {
    QImage canvas{120, 40, QImage::Format_RGB32};
    TCellTextCache cache;
    int writes = 0;
    // One cell at (10, 10), 60 x 16, whose writer draws `spill` pixels beyond its right edge.
    QImage Paint(int spill, const QTransform& t = {}) {
        canvas.fill(Qt::darkGray);
        QPainter p(&canvas);
        p.setTransform(t);
        cache.BeginPaint(p);
        const QRect cell(10, 10, 60, 16);
        cache.Paint(p, cell, cell, Qt::white, Qt::black, SmoothFont(), QStringLiteral("是否"), 0, {2, 2, 0, 0},
                    [&](QPainter& q, const QRect& r) {
                        ++writes;
                        q.drawText(r.left() + 2, r.top() + 13, QStringLiteral("是否"));
                        if (spill > 0) q.fillRect(r.right() + 1, r.top() + 4, spill, 4, Qt::black);
                    });
        return canvas;
    }
};

TEST(CellTextCache, AdmitsOnTheSecondSightingAndCopiesAfterwards) {
    CacheProbe c;
    const QImage first = c.Paint(0);
    EXPECT_EQ(c.cache.ImageCount(), 0);  // seen once: drawn directly
    EXPECT_EQ(c.Paint(0), first);
    EXPECT_EQ(c.cache.ImageCount(), 1);
    const int writes = c.writes;
    EXPECT_EQ(c.Paint(0), first);
    EXPECT_EQ(c.writes, writes);  // copied, not written
    EXPECT_EQ(c.cache.Hits(), 1);
}

TEST(CellTextCache, InkOutsideTheCellIsNeverCachedAndStillDrawn) {
    CacheProbe c;
    const QImage first = c.Paint(3);
    EXPECT_EQ(first.pixel(71, 16) & 0xFFFFFF, 0u);  // the spilt ink reaches the canvas
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c.Paint(3), first);
    EXPECT_EQ(c.cache.ImageCount(), 0);
    EXPECT_EQ(c.cache.Hits(), 0);
}

TEST(CellTextCache, ScaledPaintersBypassIt) {
    CacheProbe c;
    const QTransform scaled = QTransform::fromScale(1.5, 1.5);
    const QImage first = c.Paint(0, scaled);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c.Paint(0, scaled), first);
    EXPECT_EQ(c.cache.EntryCount(), 0);
}

TEST(CellTextCache, StaysBoundedWhileTextsInUseSurvive) {
    QImage canvas(80, 24, QImage::Format_RGB32);
    QPainter p(&canvas);
    TCellTextCache cache;
    cache.BeginPaint(p);
    auto paint = [&](const QString& text) {
        cache.Paint(p, QRect(0, 0, 60, 16), QRect(0, 0, 60, 16), Qt::white, Qt::black, SmoothFont(), text, 0,
                    {2, 2, 0, 0}, [&](QPainter& q, const QRect& r) { q.drawText(r, text); });
    };
    paint(QStringLiteral("是"));
    paint(QStringLiteral("是"));
    ASSERT_EQ(cache.ImageCount(), 1);
    // Texts seen once, and texts seen twice (kept as images), far beyond one generation.
    for (int i = 0; i < 2 * TCellTextCache::kMaxSeen; ++i) paint(QStringLiteral("a%1").arg(i));
    EXPECT_LE(cache.SeenCount(), TCellTextCache::kMaxSeen);
    for (int i = 0; i < 3 * TCellTextCache::kMaxEntries; ++i) {
        if (i % 500 == 0) paint(QStringLiteral("是"));  // in use all along
        paint(QString::number(i));
        paint(QString::number(i));
    }
    EXPECT_LE(cache.EntryCount(), 2 * TCellTextCache::kMaxEntries);
    EXPECT_GT(cache.ImageCount(), 100);
    EXPECT_LE(cache.ImageCount() * 60 * 16 * 4, 2 * TCellTextCache::kMaxImageBytes);
    const qsizetype hits = cache.Hits();
    paint(QStringLiteral("是"));
    EXPECT_EQ(cache.Hits(), hits + 1);
}

}  // namespace
