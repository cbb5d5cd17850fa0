// Ledger money cells and captions, and the multi-level title tree with its bands.
#include "grid/Export.h"
#include "grid/MoneyStyle.h"
#include "grid/TitleTree.h"
#include "tests/grid/GridTestSupport.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

QString Digits(const TMoneyCellLayout& l) { return l.text; }

TEST(MoneyStyle, DigitsOnePerPositionWithTheSymbolLeftOfThem) {
    TMoneyStyle st;
    st.SetCurrencyFont(test::PinnedFont());
    const int w = st.CHNWidth();
    ASSERT_GT(w, 0);
    EXPECT_EQ(w, 2 * ((st.ENGWidth() + st.ENGWidth() / 2) / 2));
    const QRect wide(0, 0, 20 * w, 20);
    const TMoneyCellLayout l = LayoutMoneyCell(st, QStringLiteral("1234.5"), wide, Qt::black);
    EXPECT_EQ(Digits(l), QStringLiteral("123450"));
    ASSERT_EQ(l.boxes.size(), 6u);
    EXPECT_EQ(l.boxes[0], QRect(20 * w - 2 - w, 0, w, 20));  // the last digit in the rightmost position
    EXPECT_EQ(l.boxes[5].left(), 20 * w - 2 - 6 * w);
    EXPECT_TRUE(l.symbol);
    EXPECT_EQ(l.symbolBox.right() + 1, 20 * w - 6 * w);  // the seventh position from the right
    // Too narrow for the symbol: digits only.
    EXPECT_FALSE(LayoutMoneyCell(st, QStringLiteral("1234.5"), QRect(0, 0, 6 * w + 2, 20), Qt::black).symbol);
}

TEST(MoneyStyle, MinusZeroAndTextThatIsNoAmount) {
    TMoneyStyle st;
    const QRect r(0, 0, 200, 20);
    TMoneyCellLayout l = LayoutMoneyCell(st, QStringLiteral("-8"), r, Qt::black);
    EXPECT_EQ(Digits(l), QStringLiteral("-800"));
    EXPECT_EQ(l.color, QColor(255, 0, 0));
    st.SetShowMinus(false);
    l = LayoutMoneyCell(st, QStringLiteral("-8"), r, Qt::black);
    EXPECT_EQ(Digits(l), QStringLiteral("800"));
    EXPECT_EQ(l.color, QColor(255, 0, 0));
    l = LayoutMoneyCell(st, QStringLiteral("0"), r, Qt::black);
    EXPECT_EQ(Digits(l), QString());
    EXPECT_FALSE(l.lineX.empty());  // only the lines
    EXPECT_EQ(Digits(LayoutMoneyCell(st, QStringLiteral("abc"), r, Qt::black)), QString());
    st.SetShowZero(true);
    EXPECT_EQ(Digits(LayoutMoneyCell(st, QStringLiteral("0"), r, Qt::black)), QStringLiteral("000"));
    EXPECT_EQ(Digits(LayoutMoneyCell(st, QStringLiteral("abc"), r, Qt::black)), QStringLiteral("000"));
    st.SetDigits(4);
    EXPECT_EQ(Digits(LayoutMoneyCell(st, QStringLiteral("1.23456"), r, Qt::black)), QStringLiteral("12346"));
}

TEST(MoneyStyle, SeparatorColoursDigitsRangeAndAssign) {
    TMoneyStyle st;
    const QColor silver(192, 192, 192), green(0, 128, 0), red(255, 0, 0);
    EXPECT_EQ(st.LineColor(0), silver);
    EXPECT_EQ(st.LineColor(1), silver);
    EXPECT_EQ(st.LineColor(2), red);
    for (int i : {5, 8, 11}) EXPECT_EQ(st.LineColor(i), green) << i;
    for (int i : {3, 4, 6, 7, 9}) EXPECT_EQ(st.LineColor(i), silver) << i;
    // Every third line from the decimal point is green on both sides of it: with 3 or 4
    // decimals one falls among the decimals.
    st.SetDigits(3);
    EXPECT_EQ(st.LineColor(0), green);
    EXPECT_EQ(st.LineColor(1), silver);
    EXPECT_EQ(st.LineColor(3), red);
    EXPECT_EQ(st.LineColor(6), green);
    st.SetDigits(4);
    EXPECT_EQ(st.LineColor(0), silver);
    EXPECT_EQ(st.LineColor(1), green);
    EXPECT_EQ(st.LineColor(4), red);
    EXPECT_EQ(st.LineColor(7), green);
    st.SetDigits(0);
    EXPECT_EQ(st.Digits(), 4);
    st.SetDigits(5);
    EXPECT_EQ(st.Digits(), 4);

    TMoneyStyle other;
    other.SetShowZero(true);
    other.SetRadixColor(Qt::blue);
    other.SetCurrencySymbol(QStringLiteral("$"));
    st.Assign(other);
    EXPECT_EQ(st.RadixColor(), QColor(Qt::blue));
    EXPECT_EQ(st.CurrencySymbol(), QStringLiteral("$"));
    EXPECT_FALSE(st.ShowZero());  // not copied
    EXPECT_EQ(st.Digits(), 4);    // not copied

    const QString caps = TMoneyStyle::CaptionString(2);
    EXPECT_EQ(caps.size(), 8 * 4 + 7 + 3);
    EXPECT_TRUE(caps.endsWith(QStringLiteral("千百十元角分")));
    EXPECT_TRUE(TMoneyStyle::CaptionString(4).endsWith(QStringLiteral("元角分毫厘")));
    EXPECT_EQ(ReplaceAll(QStringLiteral("a.b.c"), QStringLiteral("."), QStringLiteral("..")),
              QStringLiteral("a..b..c"));
}

TEST(MoneyStyle, TheGridsTitleGrowsForMoneyColumnsUntilDrawCurrencyIsOff) {
    test::GridHost host;
    TMemDataSet ds;
    test::OpenNumbered(ds, 3);
    ds.FieldByName(QStringLiteral("amount"))->SetCurrency(true);
    host.Bind(ds);
    TDBGridX& g = *host.grid;
    const int plain = g.RowHeights(0);
    g.SetDrawCurrency(true);
    EXPECT_TRUE(g.HasMoneyColumns());
    EXPECT_TRUE(g.Columns()[2]->IsMoneyColumn);
    EXPECT_FALSE(g.Columns()[0]->IsMoneyColumn);
    EXPECT_EQ(g.RowHeights(0), plain + g.CurrencyStyle().CHNHeight());
    g.Columns()[2]->SetVisible(false);  // a later layout never clears the flag
    EXPECT_TRUE(g.HasMoneyColumns());
    g.SetDrawCurrency(false);
    EXPECT_FALSE(g.HasMoneyColumns());
    EXPECT_EQ(g.RowHeights(0), plain);
}

// ---------------------------------------------------------------- title tree

std::vector<TTitleLeaf> Leaves(std::initializer_list<std::pair<const char*, int>> l) {
    std::vector<TTitleLeaf> v;
    for (auto& [c, w] : l) v.push_back({QString::fromUtf8(c), w, false, QFont(), nullptr});
    return v;
}

TEST(TitleTree, CaptionsSplitAtBarsMakeBands) {
    THeadTreeNode root;
    auto leaves = BuildTitleTree(root, Leaves({{"A|B", 50}, {"A|C", 40}}), 30, true);
    ASSERT_EQ(root.Children().size(), 1u);
    THeadTreeNode* a = root.Child;
    EXPECT_EQ(a->Text, QStringLiteral("A"));
    EXPECT_EQ(a->Width, 51 + 41 - 1);
    EXPECT_EQ(leaves[0]->Host, a);
    EXPECT_EQ(leaves[1]->Host, a);
    EXPECT_EQ(leaves[0]->Text, QStringLiteral("B"));
    EXPECT_EQ(leaves[1]->Text, QStringLiteral("C"));

    leaves = BuildTitleTree(root, Leaves({{"A|B", 50}, {"X", 40}, {"A|C", 30}}), 30, true);
    ASSERT_EQ(root.Children().size(), 3u);
    EXPECT_NE(leaves[0]->Host, leaves[2]->Host);
    EXPECT_EQ(leaves[0]->Host->Text, QStringLiteral("A"));
    EXPECT_EQ(leaves[2]->Host->Text, QStringLiteral("A"));
    EXPECT_TRUE(leaves[1]->Host->IsRoot());

    leaves = BuildTitleTree(root, Leaves({{"A|B", 50}}), 30, true);
    EXPECT_EQ(leaves[0]->Host->Text, QStringLiteral("A"));

    // Nested bands, and a hidden column (−1 with column lines) keeping the band aligned.
    leaves = BuildTitleTree(root, Leaves({{"A|B|x", 50}, {"A|B|y", -1}, {"A|z", 40}}), 60, true);
    THeadTreeNode* b = leaves[0]->Host;
    EXPECT_EQ(b->Text, QStringLiteral("B"));
    EXPECT_EQ(b->Width, 51 + 0 - 1);
    EXPECT_EQ(b->Host->Text, QStringLiteral("A"));
    EXPECT_EQ(b->Host->Width, 51 + 41 - 1);
    EXPECT_EQ(leaves[2]->Host, b->Host);
    // A run never reaches across a band's edge.
    leaves = BuildTitleTree(root, Leaves({{"A|B|C", 50}, {"B|D", 40}}), 60, true);
    EXPECT_NE(leaves[0]->Host, leaves[1]->Host);
}

TEST(TitleTree, TreeOperationsRefuseNodesOutsideTheTreeOrLevel) {
    THeadTreeNode root, stranger;
    THeadTreeNode* a = root.AddChild(&root, QStringLiteral("a"), 10, 10);
    THeadTreeNode* b = root.Add(a, QStringLiteral("b"), 10, 10);
    THeadTreeNode* c = root.AddChild(b, QStringLiteral("c"), 10, 10);
    EXPECT_EQ(a->Next, b);
    EXPECT_EQ(b->Next, a);
    try {
        root.Add(&stranger, QStringLiteral("x"), 1, 1);
        ADD_FAILURE();
    } catch (const ETitleTreeError& e) {
        EXPECT_STREQ(e.what(), "Node not in Tree");
    }
    try {
        root.Union(a, c, QStringLiteral("g"), 20);
        ADD_FAILURE();
    } catch (const ETitleTreeError& e) {
        EXPECT_STREQ(e.what(), "ATo not in level");
    }
    int count = 0;
    root.ForAll([&](THeadTreeNode*) { ++count; });
    EXPECT_EQ(count, 3);
}

TEST(TitleTree, BandHeightsAddTheMarginOnlyToTextThatHasHeight) {
    THeadTreeNode root;
    // Each text is 12 high per line; a width below 1 measures nothing.
    auto measure = [](const THeadTreeNode&, const QString& t, int) { return 12 * int(t.count(u'\n') + 1); };
    auto leaves = BuildTitleTree(root, Leaves({{"A|B", 50}, {"A|C\nD", 40}, {"E", 0}}), 30, true);
    const int h = CalcTitleBandHeights(root, 10, measure);
    // A: 12 + 10 over its tallest leaf (24 + 10) = 56; E measures nothing and gets the total.
    EXPECT_EQ(h, 56);
    EXPECT_EQ(leaves[0]->Host->Height, 56 - 34);
    EXPECT_EQ(leaves[0]->Height, 34);
    EXPECT_EQ(leaves[1]->Height, 34);
    EXPECT_EQ(leaves[2]->Height, 56);
}

TEST(TitleTree, GridUsesTheTreeForTitleHeightPressTestAndRtfTitles) {
    test::GridHost host(400, 200);
    TMemDataSet ds;
    test::OpenNumbered(ds, 2);
    TDBGridX& g = *host.grid;
    const char* caps[] = {"组|编号", "组|名称", "金额"};
    const char* names[] = {"id", "name", "amount"};
    for (int i = 0; i < 3; ++i) {
        TColumnX* c = g.Columns().Add();
        c->SetFieldName(QString::fromLatin1(names[i]));
        c->SetWidth(70);
        c->Title()->SetCaption(QString::fromUtf8(caps[i]));
    }
    host.Bind(ds);
    g.SetUseMultiTitle(true);
    THeadTreeNode* leaf = g.LeafOf(0);
    ASSERT_TRUE(leaf && leaf->Host);
    EXPECT_EQ(leaf->Host->Text, QStringLiteral("组"));
    EXPECT_EQ(g.RowHeights(0), g.TitleTree().Height - 1);  // dghFixed3D
    const QRect cell = g.CellRect(1, 0);
    EXPECT_TRUE(g.PointInLeafBand(1, cell.left() + 5, cell.bottom() - 2));
    EXPECT_FALSE(g.PointInLeafBand(1, cell.left() + 5, cell.top() + 1));  // on the group band

    QByteArray rtf;
    QBuffer buf(&rtf);
    buf.open(QIODevice::WriteOnly);
    ExportGridToStream<TDBGridXExportAsRTF>(g, buf, true);
    // Title spacing |round(10 / 2 / 96 × 1440 − 20)| = 55; two title rows: the band and the leaves.
    EXPECT_EQ(rtf.count("\\sb55\\sa55"), 6);
    EXPECT_TRUE(rtf.contains("\\qc\\sb55\\sa55\\fs18\\f0\\cf0\\cb2 \\uc1\\u32452?\\cell"));  // 组
    // The band spans two columns: the first keeps its left border, the second its right one.
    const int top = int(rtf.indexOf("\\trowd"));
    const QByteArray firstRow = rtf.mid(top, rtf.indexOf("{\\trrh0", top) - top);
    EXPECT_EQ(firstRow.count("\\clbrdrl"), 2);  // first column and the unbanded 金额
    EXPECT_EQ(firstRow.count("\\clbrdrb"), 2);  // both cells of 组; 金额 spans down and is closed below
}

}  // namespace
