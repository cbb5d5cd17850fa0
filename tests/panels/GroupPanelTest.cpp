// The group caption, the client caption, the client background, repaints and the enabled state.

#include "PanelTestSupport.h"
#include "panels/PTGroup.h"

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>

using namespace qm;
using namespace qm::test;

namespace {

// Pixels of text drawn alone in a w×h box with the given flags: true where a glyph pixel is.
std::vector<std::vector<bool>> TextMask(const QString& text, int w, int h, int flags, const QFont& font) {
    QImage ref(w, h, QImage::Format_RGB32);
    ref.fill(Qt::white);
    {
        QPainter p(&ref);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, w, h), flags, text);
    }
    std::vector<std::vector<bool>> m(h, std::vector<bool>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m[y][x] = QColor(ref.pixel(x, y)) == Qt::black;
    return m;
}

int Count(const std::vector<std::vector<bool>>& m) {
    int n = 0;
    for (const auto& row : m)
        for (bool b : row) n += b;
    return n;
}

// The text pixels of img inside r, compared with the mask of the text expected there.
void ExpectTextAt(const QImage& img, const QRect& r, const std::vector<std::vector<bool>>& mask) {
    int mismatches = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if ((At(img, r.left() + x, r.top() + y) == kFrame) != mask[y][x]) ++mismatches;
    EXPECT_EQ(mismatches, 0) << "caption pixels differ from the expected text";
}

class EventCounter : public QObject {
public:
    explicit EventCounter(QObject* target) { target->installEventFilter(this); }
    int paints = 0, resizes = 0, moves = 0;
    void Reset() { paints = resizes = moves = 0; }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        if (e->type() == QEvent::Resize) ++resizes;
        if (e->type() == QEvent::Move) ++moves;
        return false;
    }
};

void Settle(QWidget& w) {
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

TEST(GroupPanel, StartsAsAnEmptyGroupOf64By48) {
    TPTGroup g;
    EXPECT_EQ(g.size(), QSize(64, 48));
    EXPECT_EQ(g.FrameStyle(), TPTFrameStyle::ptfsGroup);
    EXPECT_EQ(g.Alignment(), TPTAlignment::taCenter);
    EXPECT_TRUE(g.DefaultDrawing());
    EXPECT_EQ(g.FrameSpace(), 2);
    EXPECT_FALSE(g.OnPaint());
    EXPECT_EQ(g.ClientWidget()->geometry(), QRect(2, 2, 60, 44));
}

TEST(GroupPanel, CaptionSitsInTheTopBandAndSplitsTheTopLine) {
    TPTGroup g;
    Pin(g);
    g.resize(160, 60);
    g.SetCaption(QStringLiteral("单位信息"));
    g.show();
    const QFontMetrics fm(g.font());
    const int h = fm.height(), h2 = h / 2, R = 159;
    ASSERT_GT(h, 8);
    EXPECT_EQ(g.ClientWidget()->geometry(), QRect(2, h, 156, 60 - h - 2));

    const QImage img = Grab(g);
    // The etched top line runs through the middle of the band.
    EXPECT_EQ(At(img, 0, h2 - 1), kBtnShadow);
    EXPECT_EQ(At(img, 7, h2 - 1), kBtnShadow);
    EXPECT_EQ(At(img, R - 1, h2 - 1), kBtnShadow);
    EXPECT_EQ(At(img, 1, h2), kHighlight);
    EXPECT_EQ(At(img, R, h2), kHighlight);
    EXPECT_EQ(At(img, R, h2 - 1), kPanel);  // above the highlight's right end
    EXPECT_EQ(At(img, 3, h2 - 2), kPanel);  // the band above the line is panel colour
    EXPECT_EQ(At(img, 1, h), kHighlight);   // left lines continue down beside the client
    EXPECT_EQ(At(img, 0, h), kBtnShadow);

    // The caption's opaque background cuts both top lines over the text's width, no further.
    const int adv = fm.horizontalAdvance(QStringLiteral("单位信息"));
    for (int x = 8; x < 8 + adv; ++x) {
        EXPECT_NE(At(img, x, h2 - 1), kBtnShadow) << x;
        EXPECT_NE(At(img, x, h2), kHighlight) << x;
    }
    EXPECT_EQ(At(img, 8 + adv, h2 - 1), kBtnShadow);
    EXPECT_EQ(At(img, 8 + adv, h2), kHighlight);

    // The text itself: left-aligned at L+8, top of the band, in the text colour.
    ExpectTextAt(
        img, QRect(8, 0, adv, h),
        TextMask(QStringLiteral("单位信息"), adv, h, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, g.font()));

    // Without a caption the band is 2 pixels again.
    g.SetCaption(QString());
    EXPECT_EQ(g.ClientWidget()->geometry(), QRect(2, 2, 156, 56));
}

TEST(GroupPanel, LongGroupCaptionEndsWithEllipsisAndNeverWraps) {
    TPTGroup g;
    Pin(g);
    g.resize(90, 60);
    const QString caption = QStringLiteral("工资总额及从业人员年度报告");
    g.SetCaption(caption);
    g.show();
    const QFontMetrics fm(g.font());
    const int h = fm.height();
    const int width = (89 - 9) - 8;
    const QString shown = fm.elidedText(caption, Qt::ElideRight, width);
    ASSERT_NE(shown, caption);
    ASSERT_TRUE(shown.endsWith(QChar(0x2026)));

    const QImage img = Grab(g);
    ExpectTextAt(img, QRect(8, 0, width, h),
                 TextMask(shown, width, h, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, g.font()));
    // Nothing of the text right of the caption space or below the band.
    EXPECT_FALSE(FindInk(img, QRect(8 + width, 0, 90 - 8 - width, h), kFrame).Found());
    EXPECT_FALSE(FindInk(img, QRect(0, h, 90, 60 - h), kFrame).Found());
}

TEST(GroupPanel, DisabledGroupCaptionIsEngraved) {
    TPTGroup g;
    Pin(g);
    g.resize(160, 60);
    const QString caption = QStringLiteral("单位信息");
    g.SetCaption(caption);
    g.setEnabled(false);
    g.show();
    const QFontMetrics fm(g.font());
    const int h = fm.height(), adv = fm.horizontalAdvance(caption);
    const auto m = TextMask(caption, adv + 1, h + 1, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, g.font());
    ASSERT_GT(Count(m), 20);

    const QImage img = Grab(g);
    EXPECT_FALSE(FindInk(img, img.rect(), kFrame).Found()) << "no caption in the enabled text colour";
    int shadow = 0, highlight = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < adv; ++x) {
            const QColor c = At(img, 8 + x, y);
            if (m[y][x]) {
                EXPECT_EQ(c, kBtnShadow) << "shadow copy at its place (" << x << "," << y << ")";
                ++shadow;
            } else if (x > 0 && y > 0 && m[y - 1][x - 1]) {
                EXPECT_EQ(c, kHighlight) << "highlight copy one right and down (" << x << "," << y << ")";
                ++highlight;
            } else if (x > 0 && y > 0) {
                EXPECT_EQ(c, kPanel) << "opaque background of the highlight copy (" << x << "," << y << ")";
            }
        }
    EXPECT_GT(shadow, 0);
    EXPECT_GT(highlight, 0);
}

TEST(GroupPanel, GroupStyleNeverDrawsItsCaptionInTheClient) {
    TPTGroup g;
    Pin(g);
    g.resize(120, 60);
    g.SetCaption(QStringLiteral("标题"));
    g.show();
    const QImage img = Grab(g);
    EXPECT_FALSE(FindInk(img, g.ClientWidget()->geometry(), kFrame).Found());
    EXPECT_TRUE(FindInk(img, QRect(0, 0, 120, QFontMetrics(g.font()).height()), kFrame).Found());
}

TEST(ClientCaption, FollowsAlignmentAndFrameSpace) {
    TPTGroup g;
    Pin(g);
    g.resize(200, 40);
    g.SetFrameStyle(TPTFrameStyle::ptfsLowered);
    g.SetCaption(QStringLiteral("单位"));
    g.show();
    const QRect cl = g.ClientWidget()->geometry();  // 2..197 × 2..37
    ASSERT_EQ(cl, QRect(2, 2, 196, 36));
    const int adv = QFontMetrics(g.font()).horizontalAdvance(QStringLiteral("单位"));

    // Centre (the default): the text's box sits in the middle of the client.
    Ink ink = FindInk(Grab(g), cl, kFrame);
    ASSERT_TRUE(ink.Found());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, cl.center().x() + 0.5, 2.5);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, cl.center().y() + 0.5, 4.0);

    g.SetAlignment(TPTAlignment::taLeftJustify);
    ink = FindInk(Grab(g), cl, kFrame);
    EXPECT_GE(ink.left, cl.left() + 2);
    EXPECT_LE(ink.left, cl.left() + 2 + 3);

    g.SetFrameSpace(20);
    const Ink moved = FindInk(Grab(g), cl, kFrame);
    EXPECT_EQ(moved.left - ink.left, 18);

    g.SetAlignment(TPTAlignment::taRightJustify);
    ink = FindInk(Grab(g), cl, kFrame);
    EXPECT_LE(ink.right, cl.right() - 20);
    EXPECT_GE(ink.right, cl.right() - 20 - 3);
    EXPECT_GE(ink.left, cl.right() - 20 - adv);

    // The whole client, exactly: text vertically centred between the FrameSpace margins.
    const QImage img = Grab(g);
    const QRect textRect(cl.left() + 20, cl.top(), cl.width() - 40, cl.height());
    ExpectTextAt(img, textRect,
                 TextMask(QStringLiteral("单位"), textRect.width(), textRect.height(),
                          Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, g.font()));
}

TEST(ClientCaption, LongCaptionIsShortenedBetweenTheMargins) {
    TPTGroup g;
    Pin(g);
    g.resize(100, 30);
    g.SetFrameStyle(TPTFrameStyle::ptfsSingle);
    const QString caption = QStringLiteral("工资总额及从业人员年度报告");
    g.SetCaption(caption);
    g.SetAlignment(TPTAlignment::taLeftJustify);
    g.show();
    const QRect cl = g.ClientWidget()->geometry();
    const QRect textRect(cl.left() + 2, cl.top(), cl.width() - 4, cl.height());
    const QString shown = QFontMetrics(g.font()).elidedText(caption, Qt::ElideRight, textRect.width());
    ASSERT_TRUE(shown.endsWith(QChar(0x2026)));

    const QImage img = Grab(g);
    ExpectTextAt(img, textRect,
                 TextMask(shown, textRect.width(), textRect.height(),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, g.font()));
    // The right FrameSpace margin stays clear, and nothing is drawn on a second line.
    EXPECT_FALSE(FindInk(img, QRect(textRect.right() + 1, cl.top(), 2, cl.height()), kFrame).Found());
}

TEST(ClientCaption, NoneStyleTakesNoSpaceAndStillDrawsTheCaption) {
    TPTGroup g;
    Pin(g);
    g.resize(100, 30);
    g.SetFrameStyle(TPTFrameStyle::ptfsNone);
    g.SetCaption(QStringLiteral("单位"));
    g.show();
    EXPECT_EQ(g.ClientWidget()->geometry(), g.rect());
    EXPECT_TRUE(FindInk(Grab(g), g.rect(), kFrame).Found());
}

TEST(ClientBackground, WithoutDefaultDrawingTheClientIsLeftAlone) {
    TPTGroup g;
    Pin(g);
    g.resize(60, 40);
    g.SetFrameStyle(TPTFrameStyle::ptfsLowered);
    g.SetCaption(QStringLiteral("单位"));
    g.show();
    const QRect cl = g.ClientWidget()->geometry();

    auto render = [&] {
        QImage img(g.size(), QImage::Format_RGB32);
        img.fill(kSentinel);
        g.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        return img;
    };
    // With default drawing the client is erased to the panel colour and shows the caption ...
    QImage img = render();
    EXPECT_EQ(At(img, cl.left(), cl.top()), kPanel);
    EXPECT_TRUE(FindInk(img, cl, kFrame).Found());

    // ... without it, neither: every client pixel keeps what was there.
    g.SetDefaultDrawing(false);
    img = render();
    for (int y = cl.top(); y <= cl.bottom(); ++y)
        for (int x = cl.left(); x <= cl.right(); ++x)
            ASSERT_EQ(At(img, x, y), kSentinel) << "(" << x << "," << y << ")";
    // The frame is drawn in any case.
    EXPECT_EQ(At(img, 0, 0), kBtnShadow);
    EXPECT_EQ(At(img, 1, 1), kDkShadow);

    // And OnPaint alone draws the client.
    int calls = 0;
    g.SetOnPaint([&](QObject* sender, QPainter& p) {
        ++calls;
        EXPECT_EQ(sender, &g);
        p.fillRect(QRect(0, 0, 3, 3), Qt::red);
    });
    img = render();
    EXPECT_GE(calls, 1);
    EXPECT_EQ(At(img, cl.left(), cl.top()), QColor(Qt::red));
    EXPECT_EQ(At(img, cl.left() + 3, cl.top()), kSentinel);
}

TEST(ClientBackground, OnPaintDrawsOverTheDefaultDrawing) {
    TPTGroup g;
    Pin(g);
    g.resize(100, 30);
    g.SetFrameStyle(TPTFrameStyle::ptfsDint);
    g.SetCaption(QStringLiteral("单位"));
    g.SetOnPaint([](QObject*, QPainter& p) { p.fillRect(p.window(), Qt::red); });
    g.show();
    const QImage img = Grab(g);
    const Ink red = FindInk(img, img.rect(), Qt::red);
    EXPECT_EQ(QRect(QPoint(red.left, red.top), QPoint(red.right, red.bottom)), g.ClientWidget()->geometry());
    EXPECT_FALSE(FindInk(img, img.rect(), kFrame).Found()) << "caption painted over";
}

TEST(Repaint, SameFrameStyleDoesNothingAlignmentAndFrameSpaceAlwaysRepaint) {
    TPTGroup g;
    Pin(g);
    g.resize(100, 50);
    g.SetFrameStyle(TPTFrameStyle::ptfsRaised);
    g.show();
    Settle(g);
    EventCounter outer(&g), client(g.ClientWidget());

    g.SetFrameStyle(TPTFrameStyle::ptfsRaised);
    Settle(g);
    EXPECT_EQ(outer.paints + client.paints + client.resizes + client.moves, 0);

    g.SetAlignment(g.Alignment());
    Settle(g);
    EXPECT_GE(client.paints, 1);

    client.Reset();
    g.SetFrameSpace(g.FrameSpace());
    Settle(g);
    EXPECT_GE(client.paints, 1);

    // A different style moves the client and repaints the frame.
    outer.Reset();
    client.Reset();
    g.SetFrameStyle(TPTFrameStyle::ptfsHorzLine);
    Settle(g);
    EXPECT_EQ(g.ClientWidget()->geometry(), QRect(0, 2, 100, 48));
    EXPECT_GE(outer.paints, 1);
}

TEST(Relayout, GroupFollowsItsFontOtherStylesKeepTheirClient) {
    TPTGroup g;
    Pin(g);
    g.resize(160, 80);
    g.SetCaption(QStringLiteral("单位"));
    g.setFont(PinnedFont(24));
    EXPECT_EQ(g.ClientWidget()->geometry().top(), QFontMetrics(PinnedFont(24)).height());

    g.SetFrameStyle(TPTFrameStyle::ptfsBump);
    const QRect before = g.ClientWidget()->geometry();
    g.setFont(PinnedFont(10));
    g.SetCaption(QStringLiteral("另一个"));
    EXPECT_EQ(g.ClientWidget()->geometry(), before);
    EXPECT_EQ(before, QRect(1, 1, 158, 78));

    // Resizing keeps the insets (a hidden widget hears of its new size only when shown).
    g.show();
    g.resize(50, 30);
    EXPECT_EQ(g.ClientWidget()->geometry(), QRect(1, 1, 48, 28));
}

TEST(Relayout, FrameFollowsThePalette) {
    TPTGroup g;
    Pin(g);
    g.resize(40, 30);
    g.SetFrameStyle(TPTFrameStyle::ptfsLowered);
    g.show();
    QPalette p = g.palette();
    p.setColor(QPalette::Dark, Qt::red);
    g.setPalette(p);
    EXPECT_EQ(At(Grab(g), 0, 0), QColor(Qt::red));
}

TEST(Children, DisablingThePanelKeepsEachChildsOwnState) {
    TPTGroup g;
    auto* a = new QPushButton(QStringLiteral("a"), g.ClientWidget());
    auto* b = new QPushButton(QStringLiteral("b"), g.ClientWidget());
    b->setEnabled(false);

    g.setEnabled(false);
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());

    g.setEnabled(true);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled()) << "a child its form disabled stays disabled";

    g.SetChildrenEnabled(true);
    EXPECT_TRUE(b->isEnabled());
    g.SetChildrenEnabled(false);
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(b->isEnabled());
}

TEST(Children, ClicksOnTheClientReachThePanel) {
    TPTGroup g;
    g.resize(80, 60);
    g.show();
    Settle(g);
    QSignalSpy clicked(&g, &TPTCustomGroup::clicked);
    QSignalSpy doubled(&g, &TPTCustomGroup::doubleClicked);
    QTest::mouseClick(g.ClientWidget(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseDClick(g.ClientWidget(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(doubled.count(), 1);
    QTest::mouseClick(&g, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 1);
}

TEST(Children, ClicksOnTheFrameRaiseNoEvent) {
    TPTGroup g;
    Pin(g);
    g.resize(80, 60);
    g.SetCaption(QStringLiteral("单位"));
    g.show();
    Settle(g);
    QSignalSpy clicked(&g, &TPTCustomGroup::clicked);
    QSignalSpy doubled(&g, &TPTCustomGroup::doubleClicked);
    const int h = QFontMetrics(g.font()).height();
    // On the etched lines, in the caption band, on the right edge: all frame, none client.
    for (QPoint at : {QPoint(1, 1), QPoint(20, h / 2), QPoint(78, 30), QPoint(40, 59)}) {
        QTest::mouseClick(&g, Qt::LeftButton, {}, at);
        QTest::mouseDClick(&g, Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(doubled.count(), 0);
    // Pressed on the frame and released on the client is no click either.
    QTest::mousePress(&g, Qt::LeftButton, {}, QPoint(1, 1));
    QTest::mouseRelease(&g, Qt::LeftButton, {}, QPoint(20, h + 5));
    EXPECT_EQ(clicked.count(), 0);
    // The client's first pixel row and column count.
    QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(2, h));
    EXPECT_EQ(clicked.count(), 1);
}

}  // namespace
