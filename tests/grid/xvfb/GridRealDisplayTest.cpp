// The grid on a real X server: a cell's tool tip stays while the pointer rests on the cell,
// an open calendar follows the keys typed into the editor, and Chinese text wrapped into two
// lines shows both lines whole.
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QFontMetrics>
#include <QImage>

#include <vector>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;
namespace real = qm::test::real;

namespace {

// A shown tool-tip window, or null.
QWidget* ShownCellTip() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if ((w->windowFlags() & Qt::ToolTip) == Qt::ToolTip && w->isVisible()) return w;
    return nullptr;
}

struct RealGrid {
    QWidget window;
    TDBGridX* g;
    TDataSource src;
    TMemDataSet ds;
    RealGrid() {
        // A CJK face, so that the rows are as high as the Chinese texts in them.
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setPixelSize(13);
        window.setFont(f);
        g = new TDBGridX(&window);
        g->setGeometry(0, 0, 560, 260);
        window.resize(560, 260);
        ds.Open({{QStringLiteral("no"), ftInteger, 0},
                 {QStringLiteral("name"), ftString, 40},
                 {QStringLiteral("post"), ftString, 12},
                 {QStringLiteral("born"), ftDate, 10}},
                {{db::Value(1), db::Value(QStringLiteral("张三丰（武当山紫霄宫住持，太极拳创始人）")),
                  db::Value(QStringLiteral("道长")), db::Value(QStringLiteral("2012-03-15"))},
                 {db::Value(2), db::Value(QStringLiteral("李四")), db::Value(QStringLiteral("技术员")),
                  db::Value(QStringLiteral("2012-06-01"))}});
        const char* names[] = {"no", "name", "post", "born"};
        const char* caps[] = {"人员|编号", "人员|姓名", "岗位", "出生日期"};
        const int widths[] = {50, 120, 90, 110};
        for (int i = 0; i < 4; ++i) {
            TColumnX* c = g->Columns().Add();
            c->SetFieldName(QString::fromLatin1(names[i]));
            c->SetWidth(widths[i]);
            c->Title()->SetCaption(QString::fromUtf8(caps[i]));
            c->ToolTips = true;
        }
        src.SetDataSet(&ds);
        g->SetDataSource(&src);
        g->SetUseMultiTitle(true);
    }
    ~RealGrid() { g->SetDataSource(nullptr); }
    QPoint Global(int col, int row, QPoint offset = {}) const {
        return g->viewport()->mapToGlobal(g->CellRect(col, row).center() + offset);
    }
};

TEST(GridOnRealDisplay, ACellToolTipStaysWhileThePointerRestsOnTheCellAndGoesWhenItLeaves) {
    RealGrid t;
    ASSERT_TRUE(real::ShowActive(&t.window));
    real::MoveTo(t.Global(1, 2));  // a short text that fits: no tip
    real::MoveTo(t.Global(2, 1));  // the long name
    ASSERT_TRUE(real::WaitFor([] { return ShownCellTip() != nullptr; }, 2000)) << "no tool tip over the long name";
    // The tip lies over the pointer, yet it stays while the pointer rests, also after a
    // small move inside the same cell.
    real::Settle(600);
    EXPECT_TRUE(ShownCellTip());
    real::MoveTo(t.Global(2, 1, QPoint(6, 0)));
    real::Settle(400);
    ASSERT_TRUE(ShownCellTip());
    // Out of the cell, to one whose text fits but which the long tip covers: the grid sees
    // the pointer through the tip, and the tip goes.
    const QPoint next = t.Global(3, 1);
    ASSERT_TRUE(ShownCellTip()->geometry().contains(next));
    real::MoveTo(next);
    EXPECT_TRUE(real::WaitFor([] { return ShownCellTip() == nullptr; }, 1500));
}

// The calendar opens under its cell and follows the keys typed into the editor; the pointer
// moved over the long name (no press) shows its tip while the calendar stays open. The
// picture of two-level titles, calendar and tip is kept (QM_SCREENSHOT_DIR) to be looked at.
TEST(GridOnRealDisplay, AnOpenCalendarMovesWithTheKeysBesideATipUnderTwoLevelTitles) {
    RealGrid t;
    t.g->Columns()[2]->SetPickList({QStringLiteral("道长"), QStringLiteral("技术员")});
    t.g->Columns()[2]->SetAlwaysShowEditButton(true);
    ASSERT_TRUE(real::ShowActive(&t.window));
    real::Click(t.Global(4, 1));
    real::Key(QStringLiteral("F2"));
    ASSERT_TRUE(real::WaitFor([&] { return t.g->EditorMode(); }));
    TDBGridInplaceEdit* e = t.g->InplaceEditor();
    real::Key(QStringLiteral("alt+Down"));
    ASSERT_TRUE(real::WaitFor([&] { return e->ListVisible(); }));
    QWidget* calendar = e->ActiveList();
    EXPECT_EQ(calendar->geometry().top(), e->mapToGlobal(QPoint(0, e->height())).y());
    ASSERT_EQ(e->Calendar()->selectedDate(), QDate(2012, 3, 15));
    real::Key(QStringLiteral("Down"));
    EXPECT_TRUE(real::WaitFor([&] { return e->Calendar()->selectedDate() == QDate(2012, 3, 22); }));
    real::Key(QStringLiteral("Left"));
    real::Key(QStringLiteral("Next"));  // Page Down: a month on
    EXPECT_TRUE(real::WaitFor([&] { return e->Calendar()->selectedDate() == QDate(2012, 4, 21); }));

    real::MoveTo(t.Global(2, 2, QPoint(0, 0)));
    real::MoveTo(t.Global(2, 1));
    ASSERT_TRUE(real::WaitFor([] { return ShownCellTip() != nullptr; }, 2000));
    EXPECT_TRUE(e->ListVisible());
    real::Settle(300);
    const QRect area = t.window.geometry().united(calendar->geometry()).united(ShownCellTip()->geometry());
    EXPECT_TRUE(
        QFile::exists(real::SaveScreenshot(area.adjusted(-4, -4, 4, 4), QStringLiteral("grid-real-display.png"))));

    real::Key(QStringLiteral("Return"));  // the editor kept the keys all along
    EXPECT_TRUE(real::WaitFor([&] { return !e->ListVisible(); }));
    EXPECT_EQ(t.ds.FieldByName(QStringLiteral("born"))->AsString(), QStringLiteral("2012-04-21"));
}

// X11 gives Delete the text "\x7f": in the editor of a pick-list cell that drops its list down on
// typing it deletes and opens no list; a printable character still types and drops the list down.
TEST(GridOnRealDisplay, DeleteDeletesInTheEditorAndOnlyPrintableTextTypes) {
    const struct {
        const char* keys;
        const char* text;  // the editor's text afterwards, from 道长
        bool listOpen;
    } cases[] = {{"Home Delete", "长", false}, {"End a", "道长a", true}};
    for (const auto& k : cases) {
        RealGrid t;
        t.g->Columns()[2]->SetPickList({QStringLiteral("道长"), QStringLiteral("技术员")});
        t.g->Columns()[2]->AutoDropDown = true;
        ASSERT_TRUE(real::ShowActive(&t.window));
        real::Click(t.Global(3, 1));
        real::Key(QStringLiteral("F2"));
        ASSERT_TRUE(real::WaitFor([&] { return t.g->EditorMode(); })) << k.keys;
        TDBGridInplaceEdit* e = t.g->InplaceEditor();
        for (const QString& key : QString::fromLatin1(k.keys).split(u' ')) real::Key(key);
        real::Settle(200);
        EXPECT_EQ(e->text(), QString::fromUtf8(k.text)) << k.keys;
        EXPECT_EQ(e->ListVisible(), k.listOpen) << k.keys;
        if (e->ListVisible()) real::Key(QStringLiteral("Escape"));
    }
}

// A Latin face lends Chinese characters from a taller one: a data row and a title of two
// lines are sized for it, so both lines of the wrapped text show whole (pictures kept in
// QM_SCREENSHOT_DIR).
TEST(GridOnRealDisplay, ChineseTextWrappedIntoTwoLinesShowsBothLinesWhole) {
    const QString text = QStringLiteral("国家统计局人才资源统计调查");
    for (const auto& [pixels, title] : {std::pair{12, false}, {16, false}, {12, true}}) {
        QWidget window;
        QFont latin(QStringLiteral("DejaVu Sans"));
        latin.setPixelSize(pixels);
        window.setFont(latin);
        auto* g = new TDBGridX(&window);
        TDataSource src;
        TMemDataSet ds;  // the text in the second record: the first carries the focus frame
        ds.Open({{QStringLiteral("name"), ftString, 40}}, {{db::Value(QStringLiteral("甲"))}, {db::Value(text)}});
        TColumnX* col = g->Columns().Add();
        col->SetFieldName(QStringLiteral("name"));
        col->SetWidth(QFontMetrics(window.font()).horizontalAdvance(text.left(7)) + 8);  // two lines
        col->SetWordWrap(true);
        col->Title()->SetCaption(title ? text : QStringLiteral("姓名"));
        src.SetDataSet(&ds);
        g->SetDataSource(&src);
        g->SetRowLines(2);
        g->SetTitleLines(title ? 2 : 0);
        g->setGeometry(0, 0, 300, 200);
        ASSERT_TRUE(real::ShowActive(&window));
        const QRect cell = g->CellRect(1, title ? 0 : 2);
        const QRect global(g->viewport()->mapToGlobal(cell.topLeft()), cell.size());
        real::SaveScreenshot(global.adjusted(-20, -40, 20, 20),
                             QStringLiteral("grid-chinese-%1-%2.png").arg(pixels).arg(title));
        // The rows of ink (darker than mid-grey) down the cell, as runs: two lines of the same
        // height, the second ending above the cell's edge.
        const QImage shot = real::GrabScreen(global);
        std::vector<std::pair<int, int>> lines;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 2; x < shot.width() - 2; ++x)
                if (qGray(shot.pixel(x, y)) < 110) {
                    if (lines.empty() || lines.back().second < y - 1) lines.push_back({y, y});
                    lines.back().second = y;
                    break;
                }
        ASSERT_EQ(lines.size(), 2u) << pixels << title;
        EXPECT_LT(lines[1].second, shot.height() - 1) << pixels << title;
        EXPECT_LE(std::abs(lines[0].second - lines[0].first - lines[1].second + lines[1].first), 1) << pixels << title;
        g->SetDataSource(nullptr);
    }
}

}  // namespace
