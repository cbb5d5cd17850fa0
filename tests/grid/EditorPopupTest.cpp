// The editor's pop-ups from the keyboard and their look: an open calendar takes the arrow
// and page keys, the pick list and the calendar take the editor's colour and font, and the
// edit button shows the arrow cursor.
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

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

}  // namespace
