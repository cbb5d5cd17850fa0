// The editor's gates, keys and buttons: the field's own refusals, an open calendar that
// takes the arrow and page keys, pop-ups in the editor's colour and font, the arrow cursor
// over the edit button, and edit buttons that a column shows in every data cell.
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

// no (integer, up-down), name (8 characters), post (pick list), day (date), note (ellipsis).
struct EditorGrid {
    test::GridHost host{700, 200};
    TMemDataSet ds;
    TDBGridX& g;
    int clicks = 0;
    EditorGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("no"), ftInteger, 0},
                 {QStringLiteral("name"), ftString, 8},
                 {QStringLiteral("post"), ftString, 12},
                 {QStringLiteral("day"), ftDate, 10},
                 {QStringLiteral("note"), ftString, 20}},
                {{db::Value(5), db::Value(QStringLiteral("张三")), db::Value(QStringLiteral("工人")),
                  db::Value(QStringLiteral("2012-03-15")), db::Value(QStringLiteral("a"))},
                 {db::Value(7), db::Value(QStringLiteral("李四")), db::Value(QStringLiteral("工程师")),
                  db::Value(QStringLiteral("2012-06-01")), db::Value(QStringLiteral("b"))}});
        for (const char* n : {"no", "name", "post", "day", "note"}) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(130);
        }
        g.Columns()[0]->SetButtonStyle(cbsUpDown);
        g.Columns()[2]->SetPickList({QStringLiteral("工程师"), QStringLiteral("工人")});
        g.Columns()[4]->SetButtonStyle(cbsEllipsis);
        g.OnEditButtonClick = [this] { ++clicks; };
        host.Bind(ds);
        g.setFocus();
    }
    TDBGridInplaceEdit* Edit(int dataCol) {
        g.HideEditor();
        g.SetSelectedIndex(dataCol);
        g.ShowEditor();
        return g.InplaceEditor();
    }
    QString Field(const char* n) { return ds.FieldByName(QString::fromLatin1(n))->AsString(); }
    QRect Button(int col, int row) { return g.EditButtonRect(g.Columns()[col - 1], g.CellRect(col, row)); }
    void Click(const QPoint& p) { QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, p); }
};

TEST(EditorGates, ALetterIsNotTypedIntoANumberAndTheCellKeepsItsValue) {
    EditorGrid t;
    t.g.SetSelectedIndex(0);
    QTest::keyClick(&t.g, Qt::Key_X);  // starting the editor with a letter
    ASSERT_TRUE(t.g.EditorMode());
    EXPECT_EQ(t.g.InplaceEditor()->text(), QStringLiteral("5"));
    t.g.InplaceEditor()->end(false);
    QTest::keyClicks(t.g.InplaceEditor(), QStringLiteral("a 9"));
    QInputMethodEvent ime;  // an input method's letters are left out too
    ime.setCommitString(QStringLiteral("号1"));
    QApplication::sendEvent(t.g.InplaceEditor(), &ime);
    QTest::keyClick(t.g.InplaceEditor(), Qt::Key_Down);  // writes a number, no error
    t.ds.First();
    EXPECT_EQ(t.Field("no"), QStringLiteral("591"));
    // A key-list column takes the words of its list, letters and all.
    t.g.Columns()[2]->SetKeyList({QStringLiteral("E"), QStringLiteral("W")});
    t.g.SetSelectedIndex(2);
    EXPECT_TRUE(t.g.CanEditAcceptKey(u'工'));
    EXPECT_EQ(t.g.GetEditLimit(), 0);
    // A typed blank starts the editor too, with itself as the text.
    t.g.HideEditor();
    t.g.SetSelectedIndex(1);
    QTest::keyClick(&t.g, Qt::Key_Space);
    ASSERT_TRUE(t.g.EditorMode());
    EXPECT_EQ(t.g.InplaceEditor()->text(), QStringLiteral(" "));
}

TEST(EditorGates, AStringFieldTakesNoMoreThanItsSizeTypedPastedOrCommitted) {
    EditorGrid t;
    TDBGridInplaceEdit* e = t.Edit(1);
    e->end(false);
    QTest::keyClicks(e, QStringLiteral("abcdefghij"));
    EXPECT_EQ(e->text(), QStringLiteral("张三abcdef"));
    QApplication::clipboard()->setText(QStringLiteral("XY"));
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);  // a paste that would not fit
    EXPECT_EQ(e->text(), QStringLiteral("张三abcdef"));
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClick(e, Qt::Key_Backspace);
    QInputMethodEvent ime;  // an input method's text: as much as fits
    ime.setCommitString(QStringLiteral("王五赵六"));
    QApplication::sendEvent(e, &ime);
    QTest::keyClick(e, Qt::Key_Down);
    t.ds.First();
    EXPECT_EQ(t.Field("name"), QStringLiteral("张三abcd王五"));
}

TEST(EditorPopups, AnOpenCalendarTakesTheArrowAndPageKeysAndTheEditorKeepsItsText) {
    EditorGrid t;
    TDBGridInplaceEdit* e = t.Edit(3);
    e->DropDown();
    ASSERT_TRUE(e->ListVisible());
    const std::pair<Qt::Key, QDate> steps[] = {{Qt::Key_Down, {2012, 3, 22}},     {Qt::Key_Up, {2012, 3, 15}},
                                               {Qt::Key_Right, {2012, 3, 16}},    {Qt::Key_Left, {2012, 3, 15}},
                                               {Qt::Key_PageDown, {2012, 4, 15}}, {Qt::Key_PageUp, {2012, 3, 15}}};
    for (const auto& [key, date] : steps) {
        QTest::keyClick(e, key);
        EXPECT_EQ(e->Calendar()->selectedDate(), date) << key;
    }
    EXPECT_EQ(e->text(), QStringLiteral("2012-03-15"));  // the caret keys did not move into the text
    QTest::keyClick(e, Qt::Key_Down);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(t.Field("day"), QStringLiteral("2012-03-22"));
}

TEST(EditorPopups, PopupsTakeTheEditorsColourAndFontAndTheButtonTheArrowCursor) {
    EditorGrid t;
    QFont big(QStringLiteral("Noto Sans CJK SC"));
    big.setPixelSize(17);
    for (int i : {2, 3}) {
        t.g.Columns()[i]->SetColor(QColor(255, 255, 200));
        t.g.Columns()[i]->SetFont(big);
    }
    for (int i : {2, 3}) {
        TDBGridInplaceEdit* e = t.Edit(i);
        e->DropDown();
        QWidget* list = i == 2 ? static_cast<QWidget*>(e->PickList()) : e->Calendar();
        EXPECT_EQ(list->font().pixelSize(), 17) << i;
        EXPECT_EQ(list->palette().color(QPalette::Base), QColor(255, 255, 200)) << i;
        e->CloseUp(false);
    }
    TDBGridInplaceEdit* e = t.Edit(2);
    auto cursorAt = [&](const QPoint& p) {
        QMouseEvent m(QEvent::MouseMove, QPointF(p), QPointF(e->mapToGlobal(p)), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(e, &m);
        return e->cursor().shape();
    };
    EXPECT_EQ(cursorAt(e->ButtonRect().center()), Qt::ArrowCursor);
    EXPECT_EQ(cursorAt(QPoint(5, 5)), Qt::IBeamCursor);
    e = t.Edit(1);  // no button: the I-beam everywhere
    EXPECT_EQ(cursorAt(QPoint(e->width() - 3, 5)), Qt::IBeamCursor);
    t.Edit(0);
    EXPECT_EQ(e->UpButton()->cursor().shape(), Qt::ArrowCursor);
}

TEST(AlwaysShownEditButtons, DrawnInEveryDataCellBesideTheTextAndLeftOutOfATipsRoom) {
    EditorGrid t;
    for (int i = 0; i < 5; ++i) t.g.Columns()[i]->SetAlwaysShowEditButton(true);
    EXPECT_TRUE(t.Button(2, 2).isEmpty());  // a plain column has no button to show
    const QRect b = t.Button(3, 2);
    ASSERT_EQ(b, QRect(t.g.CellRect(3, 2).right() + 1 - t.g.EditButtonWidth(), t.g.CellRect(3, 2).top(),
                       t.g.EditButtonWidth(), t.g.CellRect(3, 2).height()));
    // Right-aligned red text ends before the button, which is no white cell.
    t.g.OnGetCellParams = [](TColumnX*, TFont& f, QColor&, TGridDrawState) { f.Color = QColor(255, 0, 0); };
    t.g.Columns()[2]->SetAlignment(taRightJustify);
    const QImage img = t.g.RenderImage();
    int red = 0, white = 0;
    for (int y = b.top(); y <= b.bottom(); ++y)
        for (int x = b.left(); x <= b.right(); ++x) {
            red += (img.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
            white += (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
        }
    EXPECT_EQ(red, 0);
    EXPECT_LT(white, b.width() * b.height() / 2);
    // A text that fits the cell but not beside the button shows its tip.
    t.g.Columns()[2]->ToolTips = true;
    QString text;
    const QFontMetrics fm(t.g.Columns()[2]->Font());
    while (fm.horizontalAdvance(text + u'W') < 130 - 8) text += u'W';
    t.ds.Last();
    t.ds.FieldByName(QStringLiteral("post"))->SetText(text);
    t.ds.Post();
    EXPECT_TRUE(t.g.CellToolTipAt(b.center() - QPoint(40, 0), {}).Show);
    t.g.Columns()[2]->SetAlwaysShowEditButton(false);
    EXPECT_FALSE(t.g.CellToolTipAt(b.center() - QPoint(40, 0), {}).Show);
}

TEST(AlwaysShownEditButtons, APressOnTheButtonGoesOnToTheEditorsButton) {
    EditorGrid t;
    for (int i = 0; i < 5; ++i) t.g.Columns()[i]->SetAlwaysShowEditButton(true);
    t.Click(t.Button(3, 2).center());  // a pick list on another record opens
    EXPECT_EQ(t.ds.RecNo(), 2);
    ASSERT_TRUE(t.g.EditorMode());
    EXPECT_TRUE(t.g.InplaceEditor()->ListVisible());
    t.g.HideEditor(false);
    t.Click(t.Button(5, 1).center());  // an ellipsis: the grid's edit-button event, once
    EXPECT_EQ(t.clicks, 1);
    t.g.HideEditor(false);
    const QRect b = t.Button(1, 1);  // the lower half of up-down steps down
    t.Click(QPoint(b.center().x(), b.bottom() - 2));
    EXPECT_EQ(t.Field("no"), QStringLiteral("4"));
    t.g.HideEditor(false);
    t.Click(t.g.CellRect(5, 2).center() - QPoint(40, 0));  // beside the button: no event
    EXPECT_EQ(t.ds.RecNo(), 2);
    EXPECT_EQ(t.clicks, 1);
}

}  // namespace
