// The editor refuses what the field refuses: a character the field cannot take is not
// typed, and a string field's text does not grow beyond the field's size, whether typed,
// pasted or committed by an input method.
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

struct GateGrid {
    test::GridHost host{420, 200};
    TMemDataSet ds;
    TDBGridX& g;
    GateGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("no"), ftInteger, 0},
                 {QStringLiteral("name"), ftString, 8},
                 {QStringLiteral("sex"), ftInteger, 0}},
                {{db::Value(1), db::Value(QStringLiteral("张三")), db::Value(1)},
                 {db::Value(2), db::Value(QStringLiteral("李四")), db::Value(2)}});
        for (const char* n : {"no", "name", "sex"}) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(120);
        }
        // Codes shown as words: what is typed is a word of the list, not the number.
        g.Columns()[2]->SetKeyList({QStringLiteral("1"), QStringLiteral("2")});
        g.Columns()[2]->SetPickList({QStringLiteral("男"), QStringLiteral("女")});
        host.Bind(ds);
        g.setFocus();
    }
    TDBGridInplaceEdit* E() { return g.InplaceEditor(); }
    QString Field(const char* n) { return ds.FieldByName(QString::fromLatin1(n))->AsString(); }
};

TEST(EditorGates, ALetterIsNotTypedIntoANumberAndTheCellKeepsItsValue) {
    GateGrid t;
    t.g.SetSelectedIndex(0);
    EXPECT_FALSE(t.g.CanEditAcceptKey(u'x'));
    EXPECT_TRUE(t.g.CanEditAcceptKey(u'7'));
    QTest::keyClick(&t.g, Qt::Key_X);  // starting the editor with a letter
    ASSERT_TRUE(t.g.EditorMode());
    EXPECT_EQ(t.E()->text(), QStringLiteral("1"));
    t.E()->end(false);
    QTest::keyClicks(t.E(), QStringLiteral("a 9"));
    EXPECT_EQ(t.E()->text(), QStringLiteral("19"));
    QTest::keyClick(t.E(), Qt::Key_Down);  // leaving the cell writes a number, no error
    t.ds.First();
    EXPECT_EQ(t.Field("no"), QStringLiteral("19"));
    // In a key-list column the words of the list are typed, letters and all.
    t.g.SetSelectedIndex(2);
    EXPECT_TRUE(t.g.CanEditAcceptKey(u'女'));
    EXPECT_EQ(t.g.GetEditLimit(), 0);
}

TEST(EditorGates, AStringFieldTakesNoMoreThanItsSizeTypedPastedOrCommitted) {
    GateGrid t;
    t.g.SetSelectedIndex(1);
    EXPECT_EQ(t.g.GetEditLimit(), 8);
    t.g.ShowEditor();
    ASSERT_TRUE(t.g.EditorMode());
    t.E()->end(false);
    QTest::keyClicks(t.E(), QStringLiteral("abcdefghij"));
    EXPECT_EQ(t.E()->text(), QStringLiteral("张三abcdef"));
    QApplication::clipboard()->setText(QStringLiteral("XY"));
    t.E()->setCursorPosition(2);
    QTest::keyClick(t.E(), Qt::Key_V, Qt::ControlModifier);  // a paste that would not fit
    EXPECT_EQ(t.E()->text(), QStringLiteral("张三abcdef"));
    QTest::keyClick(t.E(), Qt::Key_Backspace);
    QTest::keyClick(t.E(), Qt::Key_Backspace);
    // An input method's text: as much as fits.
    QInputMethodEvent ime;
    ime.setCommitString(QStringLiteral("王五赵六"));
    QApplication::sendEvent(t.E(), &ime);
    EXPECT_EQ(t.E()->text(), QStringLiteral("王五abcdef"));
    QTest::keyClick(t.E(), Qt::Key_Down);
    t.ds.First();
    EXPECT_EQ(t.Field("name"), QStringLiteral("王五abcdef"));
    // Into a number, an input method's letters are left out.
    t.g.SetSelectedIndex(0);
    t.g.ShowEditor();
    t.E()->end(false);
    QInputMethodEvent digits;
    digits.setCommitString(QStringLiteral("3号4"));
    QApplication::sendEvent(t.E(), &digits);
    EXPECT_EQ(t.E()->text(), QStringLiteral("134"));
}

}  // namespace
