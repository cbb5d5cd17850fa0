// The editor's pop-ups from the keyboard and their look: an open calendar takes the arrow
// and page keys, the pick list and the calendar take the editor's colour and font, and the
// edit button shows the arrow cursor.
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

struct PopupGrid {
    test::GridHost host{420, 200};
    TMemDataSet ds;
    TDBGridX& g;
    PopupGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("post"), ftString, 12}, {QStringLiteral("day"), ftDate, 10}},
                {{db::Value(QStringLiteral("工人")), db::Value(QStringLiteral("2012-03-15"))}});
        for (const char* n : {"post", "day"}) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(140);
        }
        g.Columns()[0]->SetPickList({QStringLiteral("工程师"), QStringLiteral("工人")});
        host.Bind(ds);
        g.setFocus();
    }
    TDBGridInplaceEdit* Open(int dataCol) {
        g.SetSelectedIndex(dataCol);
        g.ShowEditor();
        TDBGridInplaceEdit* e = g.InplaceEditor();
        e->DropDown();
        return e;
    }
};

TEST(EditorPopups, AnOpenCalendarTakesTheArrowAndPageKeysAndTheEditorKeepsItsText) {
    PopupGrid t;
    TDBGridInplaceEdit* e = t.Open(1);
    ASSERT_TRUE(e->ListVisible());
    QCalendarWidget* cal = e->Calendar();
    ASSERT_EQ(cal->selectedDate(), QDate(2012, 3, 15));
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        QDate expected;
    } steps[] = {{Qt::Key_Down, Qt::NoModifier, {2012, 3, 22}},     {Qt::Key_Up, Qt::NoModifier, {2012, 3, 15}},
                 {Qt::Key_Right, Qt::NoModifier, {2012, 3, 16}},    {Qt::Key_Left, Qt::NoModifier, {2012, 3, 15}},
                 {Qt::Key_PageDown, Qt::NoModifier, {2012, 4, 15}}, {Qt::Key_PageUp, Qt::NoModifier, {2012, 3, 15}}};
    for (const Step& s : steps) {
        QTest::keyClick(e, Qt::Key(s.key), s.mods);
        EXPECT_EQ(cal->selectedDate(), s.expected) << s.key;
    }
    EXPECT_EQ(e->text(), QStringLiteral("2012-03-15"));  // the caret keys did not move into the text
    EXPECT_TRUE(t.g.EditorMode());
    QTest::keyClick(e, Qt::Key_Down);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(t.ds.FieldByName(QStringLiteral("day"))->AsString(), QStringLiteral("2012-03-22"));
}

TEST(EditorPopups, ThePickListAndTheCalendarTakeTheEditorsColourAndFont) {
    PopupGrid t;
    QFont big(QStringLiteral("Noto Sans CJK SC"));
    big.setPixelSize(17);
    for (int i = 0; i < 2; ++i) {
        t.g.Columns()[i]->SetColor(QColor(255, 255, 200));
        t.g.Columns()[i]->SetFont(big);
    }
    TDBGridInplaceEdit* e = t.Open(0);
    ASSERT_TRUE(e->ListVisible());
    EXPECT_EQ(e->PickList()->font().pixelSize(), 17);
    EXPECT_EQ(e->PickList()->palette().color(QPalette::Base), QColor(255, 255, 200));
    e->CloseUp(false);
    t.g.HideEditor();
    e = t.Open(1);
    ASSERT_TRUE(e->ListVisible());
    EXPECT_EQ(e->Calendar()->font().pixelSize(), 17);
    EXPECT_EQ(e->Calendar()->palette().color(QPalette::Base), QColor(255, 255, 200));
    e->CloseUp(false);
}

TEST(EditorPopups, TheEditButtonShowsTheArrowCursorAndTheTextTheIBeam) {
    PopupGrid t;
    TDBGridInplaceEdit* e = t.Open(0);
    e->CloseUp(false);
    auto moveTo = [&](const QPoint& p) {
        QMouseEvent m(QEvent::MouseMove, QPointF(p), QPointF(e->mapToGlobal(p)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(e, &m);
        return e->cursor().shape();
    };
    EXPECT_EQ(moveTo(e->ButtonRect().center()), Qt::ArrowCursor);
    EXPECT_EQ(moveTo(QPoint(5, e->height() / 2)), Qt::IBeamCursor);
    EXPECT_EQ(moveTo(e->ButtonRect().center()), Qt::ArrowCursor);
    // A column without a button: the I-beam everywhere.
    t.g.Columns()[0]->SetPickList({});
    t.g.HideEditor();
    t.g.ShowEditor();
    EXPECT_EQ(moveTo(QPoint(e->width() - 3, e->height() / 2)), Qt::IBeamCursor);
    // The up-down buttons are buttons too.
    t.g.Columns()[0]->SetButtonStyle(cbsUpDown);
    t.g.HideEditor();
    t.g.ShowEditor();
    ASSERT_TRUE(e->UpButton());
    EXPECT_EQ(e->UpButton()->cursor().shape(), Qt::ArrowCursor);
}

// Columns that show their edit buttons in every data cell: a pick list, an ellipsis and an
// up-down column, beside a plain one.
struct ButtonGrid {
    test::GridHost host{600, 200};
    TMemDataSet ds;
    TDBGridX& g;
    int clicks = 0;
    ButtonGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("name"), ftString, 12},
                 {QStringLiteral("post"), ftString, 12},
                 {QStringLiteral("note"), ftString, 20},
                 {QStringLiteral("qty"), ftInteger, 0}},
                {{db::Value(QStringLiteral("张三")), db::Value(QStringLiteral("工人")), db::Value(QStringLiteral("a")),
                  db::Value(5)},
                 {db::Value(QStringLiteral("李四")), db::Value(QStringLiteral("工程师")),
                  db::Value(QStringLiteral("b")), db::Value(7)}});
        for (const char* n : {"name", "post", "note", "qty"}) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(140);
            c->SetAlwaysShowEditButton(true);
        }
        g.Columns()[1]->SetPickList({QStringLiteral("工程师"), QStringLiteral("工人")});
        g.Columns()[2]->SetButtonStyle(cbsEllipsis);
        g.Columns()[3]->SetButtonStyle(cbsUpDown);
        g.OnEditButtonClick = [this] { ++clicks; };
        host.Bind(ds);
        g.setFocus();
    }
    QRect Button(int col, int row) { return g.EditButtonRect(g.Columns()[col - 1], g.CellRect(col, row)); }
    void Click(const QPoint& p) { QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, p); }
};

TEST(AlwaysShownEditButtons, DrawnInEveryDataCellOfAColumnWithAButtonAndTheTextKeepsToTheRest) {
    ButtonGrid t;
    EXPECT_TRUE(t.Button(1, 2).isEmpty());  // a plain column has no button to show
    const QRect b = t.Button(2, 2);
    ASSERT_FALSE(b.isEmpty());
    EXPECT_EQ(b.right(), t.g.CellRect(2, 2).right());
    EXPECT_EQ(b.width(), t.g.EditButtonWidth());
    // The cells' text in red: none of it in the button, and the button is no white cell.
    t.g.OnGetCellParams = [](TColumnX*, TFont& f, QColor&, TGridDrawState) { f.Color = QColor(255, 0, 0); };
    t.g.Columns()[1]->SetAlignment(taRightJustify);
    const QImage img = t.g.RenderImage();
    int red = 0, white = 0;
    for (int y = b.top(); y <= b.bottom(); ++y)
        for (int x = b.left(); x <= b.right(); ++x) {
            red += (img.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
            white += (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
        }
    EXPECT_EQ(red, 0);
    EXPECT_LT(white, b.width() * b.height() / 2);
    int redLeft = 0;
    for (int x = b.left() - 30; x < b.left(); ++x)
        for (int y = b.top(); y <= b.bottom(); ++y) redLeft += (img.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
    EXPECT_GT(redLeft, 0);  // the right-aligned text ends just left of the button

    // A tool tip counts the button out of the room: a text as wide as the cell without the
    // button shows one.
    t.g.Columns()[1]->ToolTips = true;
    t.g.Columns()[1]->SetAlignment(taLeftJustify);
    t.g.OnGetCellParams = nullptr;
    QString text;
    const QFontMetrics fm(t.g.Columns()[1]->Font());
    while (fm.horizontalAdvance(text + u'W') < 140 - 8) text += u'W';
    ASSERT_GT(fm.horizontalAdvance(text), 140 - t.g.EditButtonWidth());
    t.ds.Last();
    t.ds.Edit();
    t.ds.FieldByName(QStringLiteral("post"))->SetText(text);
    t.ds.Post();
    EXPECT_TRUE(t.g.CellToolTipAt(t.g.CellRect(2, 2).center(), {}).Show);
    t.g.Columns()[1]->SetAlwaysShowEditButton(false);
    EXPECT_FALSE(t.g.CellToolTipAt(t.g.CellRect(2, 2).center(), {}).Show);
}

TEST(AlwaysShownEditButtons, APressOnTheButtonGoesOnToTheEditorsButton) {
    ButtonGrid t;
    t.Click(t.Button(2, 2).center());  // a pick list on another record
    EXPECT_EQ(t.ds.RecNo(), 2);
    ASSERT_TRUE(t.g.EditorMode());
    EXPECT_TRUE(t.g.InplaceEditor()->ListVisible());
    t.g.InplaceEditor()->CloseUp(false);
    t.g.HideEditor();
    t.Click(t.Button(3, 1).center());  // an ellipsis: the grid's edit-button event, once
    EXPECT_EQ(t.ds.RecNo(), 1);
    EXPECT_EQ(t.clicks, 1);
    t.g.HideEditor();
    const QRect b = t.Button(4, 1);  // the lower half of up-down steps down
    t.Click(QPoint(b.center().x(), b.bottom() - 2));
    EXPECT_EQ(t.ds.FieldByName(QStringLiteral("qty"))->AsInteger(), 4);
    // A press beside the button is a press on the cell as before: no pop-up, no event.
    t.g.HideEditor();
    t.Click(t.g.CellRect(3, 2).center() - QPoint(40, 0));
    EXPECT_EQ(t.ds.RecNo(), 2);
    EXPECT_EQ(t.clicks, 1);
}

}  // namespace
