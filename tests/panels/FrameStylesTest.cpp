// Every frame style: where the client area sits and which pixel each line starts and ends on.

#include "PanelTestSupport.h"
#include "panels/PTGroup.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

struct Probe {
    int x, y;
    QColor color;
    const char* what;
};

struct StyleCase {
    TPTFrameStyle style;
    const char* name;
    QMargins insets;                             // left, top, right, bottom
    std::vector<Probe> (*probes)(int R, int B);  // R, B: last column and row
};

// Lowered and raised share their four polylines; only the colours differ.
std::vector<Probe> Bevel(int R, int B, QColor c1, QColor c2, QColor c3, QColor c4) {
    return {
        {0, B - 1, c1, "outer top-left: first point"},
        {0, 0, c1, "outer top-left: corner"},
        {R - 1, 0, c1, "outer top-left: last painted"},
        {R, 0, c4, "outer top-left: end point left to the outer bottom-right"},
        {1, B - 2, c2, "inner top-left: first point"},
        {1, 1, c2, "inner top-left: corner"},
        {R - 2, 1, c2, "inner top-left: last painted"},
        {R - 1, 1, c3, "inner top-left: end point left to the inner bottom-right"},
        {1, B - 1, c3, "inner bottom-right: first point"},
        {R - 1, B - 1, c3, "inner bottom-right: corner"},
        {0, B, c4, "outer bottom-right: first point"},
        {R, B, c4, "outer bottom-right: corner"},
    };
}

std::vector<Probe> Edge1(int R, int B, QColor c1, QColor c2) {
    return {
        {0, B - 1, c1, "top-left: first point"},
        {0, 0, c1, "top-left: corner"},
        {R - 1, 0, c1, "top-left: last painted"},
        {R, 0, c2, "top-left: end point"},
        {0, B, c2, "bottom-right: first point"},
        {R, B, c2, "bottom-right: corner"},
        {R, 1, c2, "bottom-right: runs up to the top row"},
    };
}

const std::vector<StyleCase>& Cases() {
    static const std::vector<StyleCase> cases = {
        {TPTFrameStyle::ptfsNone,
         "None",
         {0, 0, 0, 0},
         [](int R, int B) -> std::vector<Probe> {
             return {{0, 0, kPanel, "no frame"}, {R, B, kPanel, "no frame"}};
         }},
        {TPTFrameStyle::ptfsGroup,
         "Group",
         {2, 2, 2, 2},
         [](int R, int B) -> std::vector<Probe> {
             // Empty caption: band 2, so the shadow rectangle starts on row 0, the highlight on row 1.
             return {
                 {0, 0, kBtnShadow, "shadow top-left"},
                 {R - 1, 0, kBtnShadow, "shadow top-right"},
                 {R, 0, kPanel, "outside both rectangles"},
                 {0, B, kPanel, "outside both rectangles"},
                 {1, 1, kHighlight, "highlight top-left"},
                 {R, 1, kHighlight, "highlight right"},
                 {1, B, kHighlight, "highlight bottom"},
                 {R, B, kHighlight, "highlight bottom-right"},
                 {R - 1, B - 1, kBtnShadow, "shadow bottom-right over the highlight"},
                 {R - 1, 1, kBtnShadow, "shadow right edge"},
                 {1, B - 1, kBtnShadow, "shadow bottom edge"},
             };
         }},
        {TPTFrameStyle::ptfsLowered,
         "Lowered",
         {2, 2, 2, 2},
         [](int R, int B) { return Bevel(R, B, kBtnShadow, kDkShadow, kBtnFace, kHighlight); }},
        {TPTFrameStyle::ptfsRaised,
         "Raised",
         {2, 2, 2, 2},
         [](int R, int B) { return Bevel(R, B, kHighlight, kBtnFace, kBtnShadow, kDkShadow); }},
        {TPTFrameStyle::ptfsDint,
         "Dint",
         {1, 1, 1, 1},
         [](int R, int B) { return Edge1(R, B, kBtnShadow, kHighlight); }},
        {TPTFrameStyle::ptfsBump,
         "Bump",
         {1, 1, 1, 1},
         [](int R, int B) { return Edge1(R, B, kHighlight, kBtnShadow); }},
        {TPTFrameStyle::ptfsSingle,
         "Single",
         {1, 1, 1, 1},
         [](int R, int B) -> std::vector<Probe> {
             return {{0, 0, kFrame, "top-left"},     {R, 0, kFrame, "top-right"}, {0, B, kFrame, "bottom-left"},
                     {R, B, kFrame, "bottom-right"}, {R / 2, 0, kFrame, "top"},   {0, B / 2, kFrame, "left"}};
         }},
        {TPTFrameStyle::ptfsHorzLine,
         "HorzLine",
         {0, 2, 0, 0},
         [](int R, int B) -> std::vector<Probe> {
             return {{0, 0, kBtnShadow, "shadow row starts"},
                     {R, 0, kBtnShadow, "shadow row reaches R"},
                     {0, 1, kHighlight, "highlight row starts"},
                     {R, 1, kHighlight, "highlight row reaches R"},
                     {0, B, kPanel, "no bottom line"}};
         }},
        {TPTFrameStyle::ptfsHorzEdge,
         "HorzEdge",
         {0, 2, 0, 2},
         [](int R, int B) -> std::vector<Probe> {
             return {{0, 0, kBtnShadow, "top shadow"},        {R, 0, kBtnShadow, "top shadow reaches R"},
                     {0, 1, kHighlight, "top highlight"},     {R, 1, kHighlight, "top highlight reaches R"},
                     {0, B - 1, kBtnShadow, "bottom shadow"}, {R, B - 1, kBtnShadow, "bottom shadow reaches R"},
                     {0, B, kHighlight, "bottom highlight"},  {R, B, kHighlight, "bottom highlight reaches R"}};
         }},
        {TPTFrameStyle::ptfsVertLine,
         "VertLine",
         {2, 0, 0, 0},
         [](int R, int B) -> std::vector<Probe> {
             return {{0, 0, kBtnShadow, "shadow column starts"},
                     {0, B, kBtnShadow, "shadow column reaches B"},
                     {1, 0, kHighlight, "highlight column starts"},
                     {1, B, kHighlight, "highlight column reaches B"},
                     {R, 0, kPanel, "no right line"}};
         }},
        {TPTFrameStyle::ptfsVertEdge,
         "VertEdge",
         {2, 0, 2, 0},
         [](int R, int B) -> std::vector<Probe> {
             return {{0, 0, kBtnShadow, "left shadow"},      {0, B, kBtnShadow, "left shadow reaches B"},
                     {1, 0, kHighlight, "left highlight"},   {1, B, kHighlight, "left highlight reaches B"},
                     {R - 1, 0, kBtnShadow, "right shadow"}, {R - 1, B, kBtnShadow, "right shadow reaches B"},
                     {R, 0, kHighlight, "right highlight"},  {R, B, kHighlight, "right highlight reaches B"}};
         }},
    };
    return cases;
}

class FrameStyles : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FrameStyles, ClientInsetAndLinePixels) {
    const StyleCase& c = Cases()[GetParam()];
    SCOPED_TRACE(c.name);
    TPTGroup panel;
    Pin(panel);
    panel.resize(41, 31);
    panel.SetFrameStyle(c.style);
    panel.show();

    const QRect expectedClient = QRect(0, 0, 41, 31).marginsRemoved(c.insets);
    EXPECT_EQ(panel.ClientWidget()->geometry(), expectedClient);
    EXPECT_EQ(panel.contentsRect(), expectedClient);

    const QImage img = Grab(panel);
    const int R = 40, B = 30;
    for (const Probe& p : c.probes(R, B))
        EXPECT_EQ(At(img, p.x, p.y), p.color) << p.what << " at (" << p.x << "," << p.y << ")";

    // The frame stays in its margins: the client's border pixels carry the panel colour.
    const QRect cl = expectedClient;
    for (QPoint pt : {cl.topLeft(), cl.topRight(), cl.bottomLeft(), cl.bottomRight()})
        EXPECT_EQ(At(img, pt.x(), pt.y()), kPanel) << "client corner (" << pt.x() << "," << pt.y() << ")";
    // And the frame fills its margins completely: no pixel there shows what lies behind.
    if (c.style != TPTFrameStyle::ptfsGroup) {
        for (int y = 0; y <= B; ++y)
            for (int x = 0; x <= R; ++x)
                if (!cl.contains(x, y)) {
                    ASSERT_NE(At(img, x, y), kPanel) << "unpainted frame pixel (" << x << "," << y << ")";
                }
    }
}

INSTANTIATE_TEST_SUITE_P(AllEleven, FrameStyles, ::testing::Range<std::size_t>(0, 11),
                         [](const auto& info) { return std::string(Cases()[info.param].name); });

TEST(FrameStyleOrder, OrdinalsAreFixed) {
    EXPECT_EQ(static_cast<int>(TPTFrameStyle::ptfsNone), 0);
    EXPECT_EQ(static_cast<int>(TPTFrameStyle::ptfsGroup), 1);
    EXPECT_EQ(static_cast<int>(TPTFrameStyle::ptfsLowered), 2);
    EXPECT_EQ(static_cast<int>(TPTFrameStyle::ptfsSingle), 6);
    EXPECT_EQ(static_cast<int>(TPTFrameStyle::ptfsVertEdge), 10);
    EXPECT_EQ(sizeof(TPTFrameStyle), 1u);
    EXPECT_EQ(static_cast<int>(TPTAlignment::taLeftJustify), 0);
    EXPECT_EQ(static_cast<int>(TPTAlignment::taRightJustify), 1);
    EXPECT_EQ(static_cast<int>(TPTAlignment::taCenter), 2);
}

TEST(FrameGeometry, PolylineLeavesItsLastPointAndKeepsItsCorners) {
    const auto spans = PolylineSpans({{0, 5}, {0, 0}, {4, 0}});
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0], QRect(QPoint(0, 1), QPoint(0, 5)));  // upward: start (0,5) in, corner (0,0) out
    EXPECT_EQ(spans[1], QRect(QPoint(0, 0), QPoint(3, 0)));  // the corner painted by the next segment
    const auto back = PolylineSpans({{4, 2}, {0, 2}});
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], QRect(QPoint(1, 2), QPoint(4, 2)));
}

TEST(FrameGeometry, GroupCaptionRectRunsFromEightInToNineIn) {
    // Panel 0..79: from L+8 = 8 up to the edge R-9 = 70, which is not part of it.
    EXPECT_EQ(GroupCaptionRect(QRect(0, 0, 80, 40), 17), QRect(8, 0, 62, 17));
    EXPECT_TRUE(GroupCaptionRect(QRect(0, 0, 12, 40), 17).isEmpty());
}

}  // namespace
