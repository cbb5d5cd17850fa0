// The splitter pane: a lowered panel with its splitter values.

#include "PanelTestSupport.h"
#include "panels/PTPane.h"

#include <gtest/gtest.h>
#include <QFontMetrics>

using namespace qm;
using namespace qm::test;

namespace {

TEST(Pane, NewPaneIsLoweredWithMinSize20) {
    TPTPane pane;
    EXPECT_EQ(pane.FrameStyle(), TPTFrameStyle::ptfsLowered);
    EXPECT_EQ(pane.MinSize, 20);
    EXPECT_EQ(pane.Index, 0);
    EXPECT_EQ(pane.size(), QSize(64, 48));
    EXPECT_EQ(pane.ClientWidget()->geometry(), QRect(2, 2, 60, 44));
    EXPECT_EQ(pane.Alignment(), TPTAlignment::taCenter);
    EXPECT_TRUE(pane.DefaultDrawing());
}

TEST(Pane, DrawsTheLoweredFrameAndCentresItsCaption) {
    TPTPane pane;
    Pin(pane);
    pane.resize(120, 40);
    pane.SetCaption(QStringLiteral("窗格"));
    pane.show();
    const QImage img = Grab(pane);
    EXPECT_EQ(At(img, 0, 0), kBtnShadow);
    EXPECT_EQ(At(img, 1, 1), kDkShadow);
    EXPECT_EQ(At(img, 118, 38), kBtnFace);
    EXPECT_EQ(At(img, 119, 39), kHighlight);

    const QRect cl = pane.ClientWidget()->geometry();
    const Ink ink = FindInk(img, cl, kFrame);
    ASSERT_TRUE(ink.Found());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, cl.center().x() + 0.5, 2.5);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, cl.center().y() + 0.5, 4.0);
}

TEST(Pane, SplitterValuesArePlainAndTheStyleCanStillChange) {
    TPTPane pane;
    pane.MinSize = 5;
    pane.Index = 3;
    EXPECT_EQ(pane.MinSize, 5);
    EXPECT_EQ(pane.Index, 3);
    EXPECT_EQ(pane.ClientWidget()->geometry(), QRect(2, 2, 60, 44));
    pane.SetFrameStyle(TPTFrameStyle::ptfsSingle);
    EXPECT_EQ(pane.ClientWidget()->geometry(), QRect(1, 1, 62, 46));
}

}  // namespace
