// The in-place editor: pick-list completion and type-ahead, list sizes and placement, the
// edit button keys, Escape, the calendar's start date, committing text, and Tab.
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

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
    // Seven items high plus four pixels, an item being as tall as the font needs.
    EXPECT_EQ(e.Editor()->PickList()->height(), 7 * PickItemHeight(e.Editor()->PickList()->fontMetrics().height()) + 4);
    EXPECT_EQ(e.Editor()->PickList()->geometry().bottom() + 1, editor.top());
    e.Editor()->CloseUp(false);

    EXPECT_EQ(PlacePopup(QRect(100, 100, 50, 20), QSize(80, 81), QRect(0, 0, 800, 600)), QRect(100, 120, 80, 81));
    EXPECT_EQ(PlacePopup(QRect(100, 550, 50, 20), QSize(80, 81), QRect(0, 0, 800, 600)), QRect(100, 469, 80, 81));
    EXPECT_EQ(PlacePopup(QRect(780, 100, 50, 20), QSize(80, 81), QRect(0, 0, 800, 600)), QRect(720, 120, 80, 81));
    EXPECT_EQ(PlacePopup(QRect(0, 100, 50, 20), QSize(900, 81), QRect(0, 0, 800, 600)).width(), 800);
}

TEST(InplaceEdit, PickListRowsOfATallFontDoNotOverlap) {
    EXPECT_EQ(PickItemHeight(9), 11);
    EXPECT_EQ(PickListHeight(20, 7, PickItemHeight(17)), 7 * 17 + 4);
    EditGrid e;
    QFont big = e.g.font();
    big.setPixelSize(16);
    e.g.setFont(big);
    e.g.Columns()[1]->SetPickList({QStringLiteral("工程师"), QStringLiteral("技术员"), QStringLiteral("工人")});
    e.g.ShowEditor();
    ASSERT_TRUE(e.g.EditorMode());
    e.Editor()->DropDown();
    ASSERT_TRUE(e.Editor()->ListVisible());
    QListWidget* list = e.Editor()->PickList();
    const int line = list->fontMetrics().height();
    ASSERT_GT(line, 11);
    EXPECT_EQ(list->height(), 3 * line + 4);
    EXPECT_LE(list->visualItemRect(list->item(0)).bottom(), list->visualItemRect(list->item(1)).top());
    e.Editor()->CloseUp(false);
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

// Up-down buttons: a click steps the value by the column's increment, up adds and down
// subtracts (the other way round for list columns), holding a button repeats the step, and
// text typed before the click is written first.
struct UpDownGrid : EditGrid {
    UpDownGrid() {
        ds.Close();
        ds.Open({{QStringLiteral("n"), ftInteger, 0},
                 {QStringLiteral("fruit"), ftString, 20},
                 {QStringLiteral("rate"), ftFloat, 0}},
                {{db::Value(1), db::Value(QStringLiteral("Apple")), db::Value()}});
        const char* names[] = {"n", "fruit", "rate"};
        for (int i = 0; i < 3; ++i) {
            g.Columns()[i]->SetFieldName(QString::fromLatin1(names[i]));
            g.Columns()[i]->SetButtonStyle(cbsUpDown);
        }
        g.Columns()[2]->Increment = 0.25;
    }
    void Start(int column) {
        g.SetSelectedIndex(column);
        g.ShowEditor();
        ASSERT_TRUE(g.EditorMode());
        ASSERT_EQ(Editor()->EditStyle(), esUpDown);
    }
    void Click(QToolButton* b) { QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center()); }
    TField* F(const char* n) { return ds.FieldByName(QString::fromLatin1(n)); }
};

TEST(InplaceEditUpDown, ButtonsStepByTheIncrementAndSitAtTheRightEdge) {
    UpDownGrid e;
    e.Start(0);
    TDBGridInplaceEdit* ed = e.Editor();
    QToolButton* up = ed->UpButton();
    QToolButton* down = ed->DownButton();
    ASSERT_TRUE(up && down);
    EXPECT_TRUE(up->isVisible() && down->isVisible());
    EXPECT_EQ(up->geometry().left(), ed->width() - ed->ButtonWidth());
    EXPECT_EQ(up->width(), ed->ButtonWidth());
    EXPECT_EQ(up->height() + down->height(), ed->height());
    EXPECT_EQ(ed->ActiveList(), nullptr);

    e.Click(up);
    EXPECT_EQ(e.F("n")->AsInteger(), 2);
    EXPECT_EQ(ed->text(), QStringLiteral("2"));
    EXPECT_EQ(e.ds.State(), dsEdit);
    e.Click(down);
    e.Click(down);
    e.Click(down);
    EXPECT_EQ(e.F("n")->AsInteger(), -1);  // a plain value does not wrap
    EXPECT_EQ(ed->text(), QStringLiteral("-1"));

    // Text typed into the editor is written before the step.
    ed->selectAll();
    QTest::keyClicks(ed, QStringLiteral("40"));
    e.Click(up);
    EXPECT_EQ(e.F("n")->AsInteger(), 41);
    EXPECT_EQ(ed->text(), QStringLiteral("41"));
}

TEST(InplaceEditUpDown, ANullCountsAsMinusTheStepAndFractionsStayExact) {
    UpDownGrid e;
    e.Start(2);
    ASSERT_TRUE(e.F("rate")->IsNull());
    e.Click(e.Editor()->UpButton());
    EXPECT_EQ(e.F("rate")->AsFloat(), 0.0);  // null + 0.25 counts as 0
    e.Click(e.Editor()->UpButton());
    e.Click(e.Editor()->UpButton());
    EXPECT_EQ(e.F("rate")->AsFloat(), 0.5);
    e.Click(e.Editor()->DownButton());
    EXPECT_EQ(e.F("rate")->AsFloat(), 0.25);
}

TEST(InplaceEditUpDown, OnAListColumnUpStepsBackAndDownForwardWithWrapping) {
    UpDownGrid e;
    e.g.Columns()[1]->SetPickList({QStringLiteral("Apple"), QStringLiteral("banana"), QStringLiteral("Berry")});
    e.Start(1);
    ASSERT_EQ(e.g.Columns()[1]->ColumnKind(), 1);
    e.Click(e.Editor()->UpButton());  // the step is negated for list columns: Apple → the last entry
    EXPECT_EQ(e.F("fruit")->AsString(), QStringLiteral("Berry"));
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("Berry"));
    e.Click(e.Editor()->DownButton());  // forward from the last entry wraps to the first
    EXPECT_EQ(e.F("fruit")->AsString(), QStringLiteral("Apple"));
    e.Click(e.Editor()->DownButton());
    EXPECT_EQ(e.F("fruit")->AsString(), QStringLiteral("banana"));
}

TEST(InplaceEditUpDown, HoldingAButtonRepeatsTheStep) {
    UpDownGrid e;
    e.Start(0);
    QToolButton* up = e.Editor()->UpButton();
    ASSERT_TRUE(up->autoRepeat());
    up->setAutoRepeatDelay(50);
    up->setAutoRepeatInterval(20);
    QTest::mousePress(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    QTest::qWait(300);
    QTest::mouseRelease(up, Qt::LeftButton, Qt::NoModifier, up->rect().center());
    const long long n = e.F("n")->AsInteger();
    EXPECT_GE(n, 4);  // several repeats besides the release's own step
    QTest::qWait(100);
    EXPECT_EQ(e.F("n")->AsInteger(), n);  // and nothing after the release
}

TEST(InplaceEditUpDown, AReadOnlyColumnOrGridIsNotStepped) {
    UpDownGrid e;
    e.g.Columns()[0]->SetReadOnly(true);
    e.Start(0);
    e.Click(e.Editor()->UpButton());
    EXPECT_EQ(e.F("n")->AsInteger(), 1);
    EXPECT_EQ(e.ds.State(), dsBrowse);
    e.g.HideEditor(false);
    e.Start(2);
    e.g.SetReadOnly(true);
    e.Click(e.Editor()->DownButton());
    EXPECT_TRUE(e.F("rate")->IsNull());
    EXPECT_EQ(e.ds.State(), dsBrowse);
}

}  // namespace

namespace {

// Word wrap: over a word-wrapping column of a grid with multi-line rows the editor edits
// in a multi-line box; Up and Down move through its lines and reach the grid only at the
// first or last line, and only in a grid that always shows its editor.
struct WrapGrid {
    test::GridHost host{400, 300};
    TMemDataSet ds;
    TDBGridX& g;
    const QString longText = QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa");
    WrapGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("id"), ftInteger, 0}, {QStringLiteral("note"), ftString, 80}},
                {{db::Value(1), db::Value(longText)},
                 {db::Value(2), db::Value(longText)},
                 {db::Value(3), db::Value(longText)}});
        for (const char* n : {"id", "note"}) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(n[0] == 'n' ? 100 : 40);
        }
        g.SetRowLines(4);
        host.Bind(ds);
        g.setFocus();
        g.SetSelectedIndex(1);
    }
    TDBGridInplaceEdit* Editor() { return g.InplaceEditor(); }
    TInplaceWrapEdit* Box() { return Editor()->WrapEdit(); }
    void Key(int k) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(k)); }
    int Caret() { return Box()->textCursor().position(); }
    void CaretTo(QTextCursor::MoveOperation op) {
        Box()->moveCursor(QTextCursor::Start);
        Box()->moveCursor(op);
    }
};

TEST(InplaceEditWordWrap, AWrappingColumnOfAMultiLineGridGetsAMultiLineBox) {
    WrapGrid w;
    ASSERT_TRUE(w.g.MultiLineRows());
    w.g.ShowEditor();
    ASSERT_TRUE(w.g.EditorMode());
    ASSERT_TRUE(w.Editor()->WordWrap());
    ASSERT_TRUE(w.Box() && w.Box()->isVisible());
    EXPECT_TRUE(w.Box()->hasFocus());
    EXPECT_TRUE(w.Editor()->hasFocus());
    EXPECT_EQ(w.Box()->toPlainText(), w.longText);
    EXPECT_GE(w.Box()->document()->firstBlock().layout()->lineCount(), 3);
    EXPECT_TRUE(w.Box()->textCursor().hasSelection());  // all of it, ready to be replaced
    // Typing edits the text; leaving the cell writes it.
    w.Box()->moveCursor(QTextCursor::End);
    QTest::keyClicks(w.Box(), QStringLiteral(" mu"));
    EXPECT_EQ(w.Editor()->text(), w.longText + QStringLiteral(" mu"));
    EXPECT_EQ(w.g.EditText(), w.longText + QStringLiteral(" mu"));
    w.Key(Qt::Key_Tab);                 // Tab is not taken by the box
    EXPECT_EQ(w.g.SelectedIndex(), 0);  // wrapped round to the first column of the next row
    EXPECT_EQ(w.ds.RecNo(), 2);
    w.ds.First();
    EXPECT_EQ(w.ds.FieldByName(QStringLiteral("note"))->AsString(), w.longText + QStringLiteral(" mu"));

    // A column that does not wrap, or a grid with one-line rows, keeps the line edit.
    w.g.SetSelectedIndex(0);
    w.g.ShowEditor();
    EXPECT_FALSE(w.Editor()->WordWrap());
    EXPECT_FALSE(w.Box()->isVisible());
    w.g.HideEditor(false);
    w.g.SetRowLines(0);
    w.g.SetSelectedIndex(1);
    w.g.ShowEditor();
    EXPECT_FALSE(w.Editor()->WordWrap());
}

TEST(InplaceEditWordWrap, UpAndDownStayInsideWithoutAlwaysShowEditor) {
    WrapGrid w;
    w.ds.Next();
    w.g.ShowEditor();
    ASSERT_TRUE(w.Editor()->WordWrap());
    w.CaretTo(QTextCursor::NoMove);
    w.Key(Qt::Key_Down);
    EXPECT_GT(w.Caret(), 0);  // the caret went down a line
    EXPECT_EQ(w.ds.RecNo(), 2);
    for (int i = 0; i < 10; ++i) w.Key(Qt::Key_Down);  // past the last line: still inside
    for (int i = 0; i < 10; ++i) w.Key(Qt::Key_Up);
    EXPECT_EQ(w.ds.RecNo(), 2);
    EXPECT_TRUE(w.g.EditorMode());
    EXPECT_EQ(w.Editor()->text(), w.longText);
}

TEST(InplaceEditWordWrap, WithAlwaysShowEditorTheFirstAndLastLinesLeadToTheGrid) {
    WrapGrid w;
    w.g.SetOptions(w.g.Options().With(dgAlwaysShowEditor));
    w.ds.Next();
    w.g.ShowEditor();
    ASSERT_TRUE(w.Editor()->WordWrap());
    // Down inside the text moves the caret, on the last line it moves the row.
    w.CaretTo(QTextCursor::NoMove);
    ASSERT_TRUE(w.Box()->CaretOnFirstLine());
    w.Key(Qt::Key_Down);
    EXPECT_EQ(w.ds.RecNo(), 2);
    EXPECT_FALSE(w.Box()->CaretOnFirstLine());
    EXPECT_FALSE(w.Box()->CaretOnLastLine());
    w.CaretTo(QTextCursor::End);
    w.Box()->moveCursor(QTextCursor::StartOfLine);  // last line, not at the end
    ASSERT_TRUE(w.Box()->CaretOnLastLine());
    ASSERT_LT(w.Caret(), w.longText.size());
    w.Key(Qt::Key_Down);
    EXPECT_EQ(w.ds.RecNo(), 3);
    ASSERT_TRUE(w.g.EditorMode());  // shown again on the new row
    // Up in the middle stays, on the first line it moves the row.
    w.CaretTo(QTextCursor::Down);
    w.Key(Qt::Key_Up);
    EXPECT_EQ(w.ds.RecNo(), 3);
    EXPECT_TRUE(w.Box()->CaretOnFirstLine());
    w.Key(Qt::Key_Up);
    EXPECT_EQ(w.ds.RecNo(), 2);
    // With the caret at the end of the text, Up leaves at once.
    ASSERT_TRUE(w.g.EditorMode());
    w.CaretTo(QTextCursor::End);
    w.Key(Qt::Key_Up);
    EXPECT_EQ(w.ds.RecNo(), 1);
}

}  // namespace

namespace {

// A key-list column writes the key of the entry shown; text that is no entry keeps the
// stored key (it used to clear it), and only an emptied cell clears it.
TEST(InplaceEdit, AKeyListColumnKeepsItsKeyForTextThatIsNoEntry) {
    EditGrid e;
    TColumnX* c = e.g.Columns()[1];
    c->SetKeyList({QStringLiteral("Apple"), QStringLiteral("Berry")});
    c->SetPickList({QStringLiteral("Red apple"), QStringLiteral("Blue berry")});
    ASSERT_EQ(c->ColumnKind(), 3);
    TField* fruit = e.ds.FieldByName(QStringLiteral("fruit"));
    QTest::keyClick(&e.g, Qt::Key_Z);
    ASSERT_TRUE(e.g.EditorMode());
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("z"));
    QTest::keyClick(e.Editor(), Qt::Key_Down);
    e.ds.First();
    EXPECT_EQ(fruit->AsString(), QStringLiteral("Apple"));

    QTest::keyClick(&e.g, Qt::Key_B);  // completes to an entry: its key is written
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("Blue berry"));
    QTest::keyClick(e.Editor(), Qt::Key_Down);
    e.ds.First();
    EXPECT_EQ(fruit->AsString(), QStringLiteral("Berry"));

    e.g.ShowEditor();
    e.Editor()->end(false);
    QTest::keyClick(e.Editor(), Qt::Key_Delete);  // at the end: empties the cell
    EXPECT_TRUE(e.Editor()->text().isEmpty());
    QTest::keyClick(e.Editor(), Qt::Key_Down);
    e.ds.First();
    EXPECT_TRUE(fruit->IsNull());
}

// One press on the button, a drag into the list that opened and a release there choose an
// item; a press and release on the button alone leaves the list open.
TEST(InplaceEdit, PressDragReleaseFromTheButtonChoosesAPickListItem) {
    EditGrid e;
    e.g.ShowEditor();
    TDBGridInplaceEdit* ed = e.Editor();
    auto send = [&](QEvent::Type t, QPoint p, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent m(t, QPointF(p), QPointF(ed->mapToGlobal(p)), b, held, Qt::NoModifier);
        QApplication::sendEvent(ed, &m);
    };
    const QPoint button = ed->ButtonRect().center();
    send(QEvent::MouseButtonPress, button, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(ed->ListVisible());
    EXPECT_TRUE(ed->ButtonPressed());
    send(QEvent::MouseButtonRelease, button, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(ed->ListVisible());  // released on the button: the list stays
    EXPECT_FALSE(ed->ButtonPressed());
    send(QEvent::MouseButtonPress, button, Qt::LeftButton, Qt::LeftButton);  // a press on the button closes it
    EXPECT_FALSE(ed->ListVisible());
    send(QEvent::MouseButtonRelease, button, Qt::LeftButton, Qt::NoButton);

    send(QEvent::MouseButtonPress, button, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(ed->ListVisible());
    QListWidget* list = ed->PickList();
    auto inList = [&](int row) {
        const QRect r = list->visualItemRect(list->item(row));
        return ed->mapFromGlobal(list->viewport()->mapToGlobal(r.center()));
    };
    send(QEvent::MouseMove, QPoint(button.x(), -3), Qt::NoButton, Qt::LeftButton);  // off the button
    EXPECT_FALSE(ed->ButtonPressed());
    send(QEvent::MouseMove, inList(2), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(list->currentRow(), 2);
    send(QEvent::MouseMove, inList(1), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(list->currentRow(), 1);
    send(QEvent::MouseButtonRelease, inList(1), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(ed->ListVisible());
    EXPECT_EQ(ed->text(), QStringLiteral("banana"));
    EXPECT_EQ(e.ds.FieldByName(QStringLiteral("fruit"))->AsString(), QStringLiteral("banana"));
}

// A long text passes through the editor whole: a cut copy would be written back on leaving.
TEST(InplaceEdit, ALongTextIsNotCutByTheEditor) {
    EditGrid e;
    TField* fruit = e.ds.FieldByName(QStringLiteral("fruit"));
    const QString longText(40000, u'x');
    fruit->SetText(longText);
    e.ds.Post();
    e.g.ShowEditor();
    ASSERT_TRUE(e.g.EditorMode());
    EXPECT_EQ(e.Editor()->text().size(), 40000);
    e.Editor()->end(false);
    QTest::keyClick(e.Editor(), Qt::Key_Backspace);  // (a field's size lets it shrink, not grow)
    QTest::keyClick(e.Editor(), Qt::Key_Down);
    e.ds.First();
    EXPECT_EQ(fruit->AsString(), longText.chopped(1));
}

}  // namespace

namespace {

// The mouse reaches the editor: a press on the cell already current edits it, a press on
// another cell only moves there; a grid that always shows its editor edits at once.
TEST(InplaceEdit, ASecondPressOnTheCurrentCellStartsTheEditor) {
    EditGrid e;
    e.g.SetSelectedIndex(0);
    QWidget* vp = e.g.viewport();
    const QPoint fruit2 = e.g.CellRect(e.g.DataToRawColumn(1), 2).center();
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, fruit2);
    EXPECT_EQ(e.ds.RecNo(), 2);
    EXPECT_EQ(e.g.SelectedIndex(), 1);
    EXPECT_FALSE(e.g.EditorMode());
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, fruit2);
    ASSERT_TRUE(e.g.EditorMode());
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("Berry"));
    EXPECT_TRUE(e.Editor()->hasFocus());
    // A press elsewhere leaves the editor, writing nothing that was not changed.
    const QPoint id1 = e.g.CellRect(e.g.DataToRawColumn(0), 1).center();
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, id1);
    EXPECT_FALSE(e.g.EditorMode());
    EXPECT_EQ(e.ds.RecNo(), 1);
    EXPECT_EQ(e.ds.State(), dsBrowse);
    // The right button never edits.
    QTest::mouseClick(vp, Qt::RightButton, Qt::NoModifier, id1);
    EXPECT_FALSE(e.g.EditorMode());

    e.g.SetOptions(e.g.Options().With(dgAlwaysShowEditor));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, fruit2);
    EXPECT_TRUE(e.g.EditorMode());
    EXPECT_EQ(e.Editor()->text(), QStringLiteral("Berry"));
}

// A press anywhere but on the editor or its list cancels an open list; the pop-ups go with
// their editor.
TEST(InplaceEdit, APressElsewhereCancelsTheListAndThePopupsGoWithTheEditor) {
    QPointer<QWidget> popup;
    {
        EditGrid e;
        e.g.ShowEditor();
        TDBGridInplaceEdit* ed = e.Editor();
        ed->DropDown();
        ASSERT_TRUE(ed->ListVisible());
        QTest::keyClick(ed, Qt::Key_Down);
        EXPECT_EQ(ed->text(), QStringLiteral("banana"));
        QTest::mousePress(ed, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));  // in the editor's text
        QTest::mouseRelease(ed, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        EXPECT_TRUE(ed->ListVisible());
        QWidget other(&e.host.window);  // takes no focus: only the press itself can cancel
        other.setGeometry(0, 0, 10, 10);
        other.show();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(other.mapToGlobal(QPoint(5, 5))),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&other, &press);
        EXPECT_TRUE(ed->hasFocus());
        EXPECT_TRUE(e.g.EditorMode());
        EXPECT_FALSE(ed->ListVisible());
        EXPECT_EQ(ed->text(), QStringLiteral("Apple"));  // not taken
        EXPECT_EQ(e.ds.FieldByName(QStringLiteral("fruit"))->AsString(), QStringLiteral("Apple"));
        popup = ed->PickList();
        ASSERT_TRUE(popup);
    }
    EXPECT_TRUE(popup.isNull());
}

}  // namespace
