// Lookup fields of the in-memory data set and the lookup list of the in-place editor: the
// looked-up text follows the key, typing completes from the lookup data set, the list opens
// on the current key, and a choice writes the key (Enter, a click) or is dropped (Escape).
#include "grid/Clipboard.h"
#include "grid/Import.h"
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

#include <QBuffer>

#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

struct LookupGrid {
    test::GridHost host{400, 200};
    TMemDataSet depts, staff;
    TDBGridX& g;
    LookupGrid() : g(*host.grid) {
        depts.Open({{QStringLiteral("code"), ftInteger, 0}, {QStringLiteral("name"), ftString, 12}},
                   {{db::Value(10), db::Value(QStringLiteral("Accounts"))},
                    {db::Value(20), db::Value(QStringLiteral("Buying"))},
                    {db::Value(30), db::Value(QStringLiteral("Binding"))},
                    {db::Value(40), db::Value(QStringLiteral("Cellar"))}});
        staff.Open({{QStringLiteral("id"), ftInteger, 0}, {QStringLiteral("dept"), ftInteger, 0}},
                   {{db::Value(1), db::Value(20)}, {db::Value(2), db::Value()}, {db::Value(3), db::Value(40)}},
                   {{QStringLiteral("deptName"), ftString, 12, QStringLiteral("dept"), &depts, QStringLiteral("code"),
                     QStringLiteral("name")}});
        for (const char* n : {"id", "deptName"}) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(n));
            c->SetWidth(90);
        }
        host.Bind(staff);
        g.setFocus();
        g.SetSelectedIndex(1);
    }
    TDBGridInplaceEdit* Editor() { return g.InplaceEditor(); }
    TField* Dept() { return staff.FieldByName(QStringLiteral("dept")); }
    TField* Name() { return staff.FieldByName(QStringLiteral("deptName")); }
};

TEST(LookupField, ShowsTheResultOfTheKeyAndFollowsItWhileEditing) {
    LookupGrid l;
    TField* name = l.Name();
    EXPECT_EQ(name->FieldKind(), fkLookup);
    EXPECT_EQ(name->AsString(), QStringLiteral("Buying"));
    l.staff.Next();
    EXPECT_TRUE(name->IsNull());  // no key, nothing looked up
    l.staff.Next();
    EXPECT_EQ(name->DisplayText(), QStringLiteral("Cellar"));
    l.Dept()->SetValue(db::Value(99));  // a key with no record
    EXPECT_TRUE(name->IsNull());
    l.Dept()->SetValue(db::Value(10));
    EXPECT_EQ(name->AsString(), QStringLiteral("Accounts"));
    l.staff.Cancel();
    EXPECT_EQ(name->AsString(), QStringLiteral("Cellar"));
    // Setting the looked-up text stores nothing: the key decides.
    name->SetText(QStringLiteral("Buying"));
    EXPECT_EQ(l.Dept()->AsInteger(), 40);
    // An inserted record gets no stored column for the lookup field.
    l.staff.Append();
    l.Dept()->SetValue(db::Value(30));
    l.staff.Post();
    EXPECT_EQ(name->AsString(), QStringLiteral("Binding"));
    EXPECT_EQ(l.staff.RecordCount(), 4);

    // Lookup reads without moving; Locate moves only when it finds.
    l.depts.First();
    EXPECT_EQ(l.depts.Lookup(QStringLiteral("code"), db::Value(30), QStringLiteral("name")).AsString(),
              QStringLiteral("Binding"));
    EXPECT_EQ(l.depts.RecNo(), 1);
    EXPECT_TRUE(l.depts.Lookup(QStringLiteral("code"), db::Value(31), QStringLiteral("name")).IsNull());
    EXPECT_TRUE(l.depts.Locate(QStringLiteral("name"), QStringLiteral("bi"), true, true));
    EXPECT_EQ(l.depts.RecNo(), 3);
    EXPECT_FALSE(l.depts.Locate(QStringLiteral("name"), QStringLiteral("bi"), false, true));    // case counts
    EXPECT_FALSE(l.depts.Locate(QStringLiteral("name"), QStringLiteral("Bind"), true, false));  // whole text
    EXPECT_EQ(l.depts.RecNo(), 3);
}

TEST(LookupField, AColumnOverItEditsThroughTheListOnlyWhenTheKeyMayChange) {
    LookupGrid l;
    TColumnX* c = l.g.Columns()[1];
    EXPECT_EQ(c->ColumnKind(), 2);
    EXPECT_EQ(c->ModifiedField(), l.Dept());
    EXPECT_EQ(c->LookupDisplayFields(), QStringLiteral("name"));
    EXPECT_EQ(l.g.GetColumnEditStyle(c), esDataList);
    EXPECT_TRUE(c->CanModify(false));
    l.Dept()->SetReadOnly(true);
    EXPECT_EQ(l.g.GetColumnEditStyle(c), esSimple);
    EXPECT_FALSE(c->CanModify(false));
    l.Dept()->SetReadOnly(false);
    c->SetReadOnly(true);
    EXPECT_EQ(l.g.GetColumnEditStyle(c), esSimple);
    c->SetReadOnly(false);
    l.g.SetReadOnly(true);
    EXPECT_EQ(l.g.GetColumnEditStyle(c), esSimple);
}

TEST(LookupList, OpensOnTheCurrentKeyAndEnterWritesTheChosenKey) {
    LookupGrid l;
    l.g.ShowEditor();
    ASSERT_TRUE(l.g.EditorMode());
    TDBGridInplaceEdit* e = l.Editor();
    ASSERT_EQ(e->EditStyle(), esDataList);
    EXPECT_EQ(e->text(), QStringLiteral("Buying"));
    EXPECT_EQ(l.g.EditKeyValue().AsInteger(), 20);
    QTest::keyClick(e, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(e->ListVisible());
    TPopupDataList* list = e->DataList();
    ASSERT_EQ(list->topLevelItemCount(), 4);
    EXPECT_EQ(list->topLevelItem(3)->text(0), QStringLiteral("Cellar"));
    EXPECT_EQ(list->KeyValue().AsInteger(), 20);
    EXPECT_EQ(l.depts.RecNo(), 1);     // filling the list left the lookup data set where it was
    QTest::keyClick(e, Qt::Key_Down);  // to the list: the editor shows its choice
    EXPECT_EQ(e->text(), QStringLiteral("Binding"));
    EXPECT_EQ(l.staff.RecNo(), 1);
    EXPECT_EQ(l.Dept()->AsInteger(), 20);  // nothing written before the choice is taken
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(l.Dept()->AsInteger(), 30);
    EXPECT_EQ(l.Name()->AsString(), QStringLiteral("Binding"));
    EXPECT_EQ(e->text(), QStringLiteral("Binding"));
    EXPECT_EQ(l.staff.State(), dsEdit);
    QTest::keyClick(e, Qt::Key_Down);  // leaving the row posts it
    EXPECT_EQ(l.staff.RecNo(), 2);
    l.staff.First();
    EXPECT_EQ(l.Dept()->AsInteger(), 30);
}

TEST(LookupList, EscapeAndAClickOutsideDropTheChoiceAClickOnARowTakesIt) {
    LookupGrid l;
    l.g.ShowEditor();
    TDBGridInplaceEdit* e = l.Editor();
    e->DropDown();
    ASSERT_TRUE(e->ListVisible());
    QTest::keyClick(e, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(e->text(), QStringLiteral("Accounts"));
    QTest::keyClick(e, Qt::Key_Escape);
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(e->text(), QStringLiteral("Buying"));
    EXPECT_EQ(l.Dept()->AsInteger(), 20);
    EXPECT_TRUE(l.g.EditorMode());

    e->DropDown();
    TPopupDataList* list = e->DataList();
    const QRect row = list->visualItemRect(list->topLevelItem(3));
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(e->text(), QStringLiteral("Cellar"));  // follows while the button is held
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(l.Dept()->AsInteger(), 20);  // released outside: not taken
    EXPECT_EQ(e->text(), QStringLiteral("Buying"));

    e->DropDown();
    const QRect first = list->visualItemRect(list->topLevelItem(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    EXPECT_FALSE(e->ListVisible());
    EXPECT_EQ(l.Dept()->AsInteger(), 10);
    EXPECT_EQ(e->text(), QStringLiteral("Accounts"));
}

TEST(LookupList, TypingCompletesFromTheLookupDataSetAndTheKeyIsWrittenOnLeaving) {
    LookupGrid l;
    QTest::keyClick(&l.g, Qt::Key_B);
    ASSERT_TRUE(l.g.EditorMode());
    TDBGridInplaceEdit* e = l.Editor();
    EXPECT_EQ(e->text(), QStringLiteral("Buying"));
    EXPECT_EQ(e->selectedText(), QStringLiteral("uying"));
    EXPECT_EQ(l.g.EditKeyValue().AsInteger(), 20);
    QTest::keyClick(e, Qt::Key_I);  // "bi": Binding
    EXPECT_EQ(e->text(), QStringLiteral("Binding"));
    EXPECT_EQ(e->selectedText(), QStringLiteral("nding"));
    EXPECT_EQ(l.g.EditKeyValue().AsInteger(), 30);
    EXPECT_EQ(l.g.EditText(), QStringLiteral("Binding"));
    EXPECT_EQ(l.staff.State(), dsEdit);
    EXPECT_EQ(l.Dept()->AsInteger(), 20);
    QTest::keyClick(e, Qt::Key_Down);  // leaving writes the completed key
    EXPECT_EQ(l.staff.RecNo(), 2);
    l.staff.First();
    EXPECT_EQ(l.Dept()->AsInteger(), 30);
    EXPECT_EQ(l.Name()->AsString(), QStringLiteral("Binding"));

    // An open list follows the completed key; text that completes nothing is typed as it is.
    l.staff.Next();
    QTest::keyClick(&l.g, Qt::Key_C);
    ASSERT_TRUE(l.g.EditorMode());
    EXPECT_EQ(e->text(), QStringLiteral("Cellar"));
    e->DropDown();
    EXPECT_EQ(e->DataList()->KeyValue().AsInteger(), 40);
    QTest::keyClick(e, Qt::Key_A);
    EXPECT_EQ(e->text(), QStringLiteral("Ca"));
    EXPECT_EQ(l.g.EditKeyValue().AsInteger(), 40);
    e->CloseUp(false);
}

TEST(LookupList, DeleteAtTheEndEmptiesTheKey) {
    LookupGrid l;
    l.g.ShowEditor();
    TDBGridInplaceEdit* e = l.Editor();
    e->end(false);
    QTest::keyClick(e, Qt::Key_Delete);
    EXPECT_TRUE(e->text().isEmpty());
    EXPECT_TRUE(l.Dept()->IsNull());
    EXPECT_TRUE(l.Name()->IsNull());
    EXPECT_TRUE(l.g.EditKeyValue().IsNull());
    QTest::keyClick(e, Qt::Key_Down);
    l.staff.First();
    EXPECT_TRUE(l.Dept()->IsNull());
}

TEST(LookupList, SizeFromTheDisplayFieldsAndPlacementAboveNearTheWorkAreasBottom) {
    LookupGrid l;
    TColumnX* c = l.g.Columns()[1];
    c->DropDownRows = 3;
    c->DropDownWidth = -1;
    c->SetLookupDisplayFields(QStringLiteral("code;name"));
    l.g.ShowEditor();
    TDBGridInplaceEdit* e = l.Editor();
    const QRect editor(e->mapToGlobal(QPoint(0, 0)), e->size());
    e->WorkArea = [&] { return QRect(0, 0, 1000, editor.bottom() + 20); };
    e->DropDown();
    TPopupDataList* list = e->DataList();
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(list->columnCount(), 2);
    EXPECT_EQ(list->ListFieldIndex, 1);  // the result field's column gives the text
    const int zero = QFontMetrics(e->font()).horizontalAdvance(QLatin1Char('0'));
    EXPECT_EQ(list->columnWidth(0), 10 * zero + 4);
    EXPECT_EQ(list->columnWidth(1), 12 * zero + 4);
    EXPECT_EQ(list->width(), std::max(22 * zero + 8 + 2, e->width()));
    EXPECT_EQ(list->height(), 3 * list->sizeHintForRow(0) + 2);
    EXPECT_EQ(list->geometry().bottom() + 1, editor.top());  // opened above the cell
    QTest::keyClick(e, Qt::Key_Down);
    EXPECT_EQ(e->text(), QStringLiteral("Binding"));  // the result field, not the code
    e->CloseUp(false);
    c->DropDownWidth = 250;
    e->DropDown();
    EXPECT_EQ(list->width(), 252);
    e->CloseUp(false);
}

TEST(LookupList, SteppingMovesThroughTheLookupRecordsAndWraps) {
    LookupGrid l;
    TColumnX* c = l.g.Columns()[1];
    c->SetNextFieldValue(1);
    EXPECT_EQ(l.Dept()->AsInteger(), 30);
    c->SetNextFieldValue(1);
    c->SetNextFieldValue(1);  // past the last record: the first
    EXPECT_EQ(l.Dept()->AsInteger(), 10);
    c->SetNextFieldValue(-1);  // before the first: the last
    EXPECT_EQ(l.Dept()->AsInteger(), 40);
    c->SetNextFieldValue(0);
    EXPECT_EQ(l.Dept()->AsInteger(), 40);
    l.Dept()->Clear();
    c->SetNextFieldValue(-1);  // no key: the first record
    EXPECT_EQ(l.Dept()->AsInteger(), 10);
}

// Import, GRIDBIF and clearing reach a lookup column through its key field.
TEST(LookupField, ImportCopyAndClearGoThroughTheKey) {
    LookupGrid l;
    auto import = [&](auto tag, QByteArray bytes) {
        QBuffer b(&bytes);
        b.open(QIODevice::ReadOnly);
        ImportGridFromStream<decltype(tag)>(l.g, b, false);
    };
    // Text names a lookup record (without case, by its beginning); unknown text stores nothing.
    l.staff.First();
    import(TDBGridXImportAsText(&l.g), QByteArray("cel\r\nNo such dept\r\nbuy"));
    l.staff.First();
    EXPECT_EQ(l.Dept()->AsInteger(), 40);
    l.staff.Next();
    EXPECT_TRUE(l.Dept()->IsNull());
    l.staff.Next();
    EXPECT_EQ(l.Dept()->AsInteger(), 20);

    // GRIDBIF carries the key: copied, changed, pasted back.
    l.g.Selection().Columns().Add(l.g.Columns()[1], false);
    const QByteArray gridbif = GridMimeData(l.g, false)->data(kMimeGridbif);
    ASSERT_FALSE(gridbif.isEmpty());
    // The first cell after the header and one column entry: tag 3, the key 40.
    EXPECT_EQ(gridbif.mid(14, 5), QByteArray("\x03\x28\x00\x00\x00", 5));
    l.g.SetOptions(l.g.Options().Without(dgConfirmDelete));
    GridDelete(l.g, false);  // clearing the column empties the keys
    l.staff.First();
    EXPECT_TRUE(l.Dept()->IsNull());
    l.staff.Last();
    EXPECT_TRUE(l.Dept()->IsNull());
    l.g.Selection().Clear();
    l.staff.First();
    import(TDBGridXImportAsGRIDBIF(&l.g), gridbif);
    l.staff.First();
    EXPECT_EQ(l.Name()->AsString(), QStringLiteral("Cellar"));
    l.staff.Last();
    EXPECT_EQ(l.Name()->AsString(), QStringLiteral("Buying"));
}

}  // namespace
