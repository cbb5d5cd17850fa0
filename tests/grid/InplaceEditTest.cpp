// The in-place editor: pick-list completion and type-ahead, list sizes and placement, the
// edit button keys, Escape, the calendar's start date, committing text, and Tab.
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

struct EditGrid {
    test::GridHost host{400, 200};
    TMemDataSet ds;
    TDBGridX& g;
    EditGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("id"), ftInteger, 0},
                 {QStringLiteral("fruit"), ftString, 20},
                 {QStringLiteral("day"), ftDate, 10}},
                {{db::Value(1), db::Value(QStringLiteral("Apple")), db::Value(QStringLiteral("2012-03-04"))},
                 {db::Value(2), db::Value(QStringLiteral("Berry")), db::Value()}});
        const char* names[] = {"id", "fruit", "day"};
        for (const char* n : names) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(90);
        }
        g.Columns()[1]->SetPickList({QStringLiteral("Apple"), QStringLiteral("banana"), QStringLiteral("Berry")});
        host.Bind(ds);
        g.setFocus();
        g.SetSelectedIndex(1);
    }
    TDBGridInplaceEdit* Editor() { return g.InplaceEditor(); }
};

TEST(InplaceEdit, TypingInAPickListColumnCompletesFromTheList) {
    EXPECT_EQ(FindPickListItem({QStringLiteral("Apple"), QStringLiteral("banana"), QStringLiteral("Berry")},
                               QStringLiteral("B")),
              1);
    EXPECT_EQ(FindPickListItem({QStringLiteral("Apple")}, QStringLiteral("x")), -1);
    EditGrid e;
    EXPECT_EQ(e.g.GetColumnEditStyle(e.g.Columns()[1]), esPickList);
    EXPECT_EQ(e.g.GetColumnEditStyle(e.g.Columns()[2]), esDateCalendar);
    EXPECT_EQ(e.g.GetColumnEditStyle(e.g.Columns()[0]), esSimple);
    QTest::keyClick(&e.g, Qt::Key_B);  // starts the editor with the typed letter
    ASSERT_TRUE(e.g.EditorMode());
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("banana"));
    EXPECT_EQ(e.Editor()->selectedText(), QStringLiteral("anana"));
    EXPECT_EQ(e.ds.State(), dsEdit);
    QTest::keyClick(e.Editor(), Qt::Key_E);  // "be" finds Berry
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("Berry"));
    EXPECT_EQ(e.Editor()->selectedText(), QStringLiteral("rry"));
    QTest::keyClick(e.Editor(), Qt::Key_Down);  // the move writes the text into the field
    EXPECT_FALSE(e.g.EditorMode());
    EXPECT_EQ(e.ds.RecNo(), 2);
    e.ds.First();
    EXPECT_EQ(e.ds.FieldByName(QStringLiteral("fruit"))->AsString(), QStringLiteral("Berry"));
}

TEST(InplaceEdit, TypeAheadForgetsAfterTwoSecondsAndHoldsAtMost32Characters) {
    EditGrid e;
    e.g.ShowEditor();
    ASSERT_TRUE(e.g.EditorMode());
    e.Editor()->DropDown();
    TPopupListbox* list = e.Editor()->PickList();
    ASSERT_TRUE(list && list->isVisible());
    qint64 now = 10000;
    list->TickCount = [&] { return now; };
    list->TypeAhead(u'b');
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("banana"));
    now += 1999;
    list->TypeAhead(u'e');
    EXPECT_EQ(list->SearchText, QStringLiteral("be"));
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Berry"));
    now += 2001;  // silence: the search starts again
    list->TypeAhead(u'a');
    EXPECT_EQ(list->SearchText, QStringLiteral("a"));
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("Apple"));
    for (int i = 0; i < 40; ++i) list->TypeAhead(u'x');
    EXPECT_EQ(list->SearchText.size(), 32);
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_TRUE(list->SearchText.isEmpty());
}

TEST(InplaceEdit, PickListHeightAndPlacementInsideTheWorkArea) {
    EXPECT_EQ(PickListHeight(20, 7), 81);
    EXPECT_EQ(PickListHeight(3, 7), 37);
    EditGrid e;
    QStringList many;
    for (int i = 0; i < 20; ++i) many << QStringLiteral("item %1").arg(i);
    e.g.Columns()[1]->SetPickList(many);
    e.g.ShowEditor();
    ASSERT_TRUE(e.g.EditorMode());
    const QRect editor(e.Editor()->mapToGlobal(QPoint(0, 0)), e.Editor()->size());
    // A work area that ends just below the cell: the list opens above it.
    e.Editor()->WorkArea = [&] { return QRect(0, 0, 1000, editor.bottom() + 30); };
    e.Editor()->DropDown();
    ASSERT_TRUE(e.Editor()->ListVisible());
    EXPECT_EQ(e.Editor()->PickList()->height(), 81);
    EXPECT_EQ(e.Editor()->PickList()->geometry().bottom() + 1, editor.top());
    e.Editor()->CloseUp(false);

    EXPECT_EQ(PlacePopup(QRect(100, 100, 50, 20), QSize(80, 81), QRect(0, 0, 800, 600)), QRect(100, 120, 80, 81));
    EXPECT_EQ(PlacePopup(QRect(100, 550, 50, 20), QSize(80, 81), QRect(0, 0, 800, 600)), QRect(100, 469, 80, 81));
    EXPECT_EQ(PlacePopup(QRect(780, 100, 50, 20), QSize(80, 81), QRect(0, 0, 800, 600)), QRect(720, 120, 80, 81));
    EXPECT_EQ(PlacePopup(QRect(0, 100, 50, 20), QSize(900, 81), QRect(0, 0, 800, 600)).width(), 800);
}

TEST(InplaceEdit, EscapeOnAnOpenPickListRestoresTheFieldsText) {
    EditGrid e;
    e.g.ShowEditor();
    e.Editor()->DropDown();
    ASSERT_TRUE(e.Editor()->ListVisible());
    QTest::keyClick(e.Editor(), Qt::Key_Down);  // goes to the open list
    QTest::keyClick(e.Editor(), Qt::Key_Down);
    EXPECT_NE(e.Editor()->text(), QStringLiteral("Apple"));
    QTest::keyClick(e.Editor(), Qt::Key_Escape);
    EXPECT_FALSE(e.Editor()->ListVisible());
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("Apple"));
    EXPECT_TRUE(e.g.EditorMode());  // the first Escape only closed the list
    // Alt+Down opens it, Enter takes the selected item.
    QTest::keyClick(e.Editor(), Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(e.Editor()->ListVisible());
    e.Editor()->PickList()->setCurrentRow(1);
    QTest::keyClick(e.Editor(), Qt::Key_Return);
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("banana"));
    EXPECT_EQ(e.ds.FieldByName(QStringLiteral("fruit"))->AsString(), QStringLiteral("banana"));
}

TEST(InplaceEdit, CtrlEnterOnAnEllipsisColumnRaisesTheButtonEventWithoutABreak) {
    EditGrid e;
    e.g.Columns()[0]->SetButtonStyle(cbsEllipsis);
    e.g.SetSelectedIndex(0);
    int clicks = 0;
    e.g.OnEditButtonClick = [&] { ++clicks; };
    e.g.ShowEditor();
    ASSERT_EQ(e.Editor()->EditStyle(), esEllipsis);
    const QString before = e.Editor()->text();
    QTest::keyClick(e.Editor(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(e.Editor()->text(), before);
    EXPECT_TRUE(e.g.EditorMode());
    // A click on the button raises it too.
    const QPoint b = e.Editor()->ButtonRect().center();
    QTest::mousePress(e.Editor(), Qt::LeftButton, Qt::NoModifier, b);
    QTest::mouseRelease(e.Editor(), Qt::LeftButton, Qt::NoModifier, b);
    EXPECT_EQ(clicks, 2);
}

TEST(InplaceEdit, ACalendarOverTextThatIsNoDateOpensOnToday) {
    const QDate today(2012, 6, 1);
    EXPECT_EQ(CalendarDateOf(QStringLiteral("2012-03-04"), today), QDate(2012, 3, 4));
    EXPECT_EQ(CalendarDateOf(QString(), today), today);
    EXPECT_EQ(CalendarDateOf(QStringLiteral("not a date"), today), today);
    EXPECT_EQ(CalendarDateOf(QStringLiteral("2012-13-45"), today), today);
    EditGrid e;
    e.g.SetSelectedIndex(2);
    e.g.ShowEditor();
    ASSERT_EQ(e.Editor()->EditStyle(), esDateCalendar);
    e.Editor()->setText(QStringLiteral("tomorrow-ish"));
    e.Editor()->DropDown();  // no conversion error
    EXPECT_EQ(e.Editor()->Calendar()->selectedDate(), QDate::currentDate());
    e.Editor()->CloseUp(false);
}

TEST(InplaceEdit, EscapeKeepsTheFieldAndTabMovesBetweenColumnsInsideTheGrid) {
    EditGrid e;
    QLineEdit other(&e.host.window);
    other.setGeometry(0, 0, 10, 10);
    other.show();
    e.g.setFocus();
    QTest::keyClick(&e.g, Qt::Key_Z);
    ASSERT_TRUE(e.g.EditorMode());
    QTest::keyClick(e.Editor(), Qt::Key_Escape);
    EXPECT_FALSE(e.g.EditorMode());
    EXPECT_EQ(e.ds.FieldByName(QStringLiteral("fruit"))->AsString(), QStringLiteral("Apple"));

    e.g.SetSelectedIndex(0);
    e.g.setFocus();
    QTest::keyClick(&e.g, Qt::Key_Tab);
    EXPECT_EQ(e.g.SelectedIndex(), 1);
    EXPECT_TRUE(e.g.hasFocus());
    QTest::keyClick(&e.g, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(e.g.SelectedIndex(), 0);
    EXPECT_TRUE(e.g.hasFocus());
}

}  // namespace
