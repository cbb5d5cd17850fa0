// The sheet widget, offscreen: events report 1-based cells, list objects write their cell,
// the clipboard keys run on the model, and a pending edit is committed before handlers run.

#include "core/base/ScriptedUiService.h"
#include "core/sheet/SheetTemplate.h"
#include "sheet/SheetCellCache.h"
#include "sheet/SheetView.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

using namespace qm;

namespace {
QString S(const char* s) { return QString::fromUtf8(s); }

struct View : ::testing::Test {
    TSheetBook book;
    std::unique_ptr<SheetView> view;
    void SetUp() override {
        ApplySheetTemplate(book, "staff");
        view = std::make_unique<SheetView>(book);
        view->resize(1200, 600);
        view->show();
        QApplication::processEvents();
    }
    QPoint Centre(int r, int c) { return CellCentreIn(view->TableAt(r, c), r, c); }
    static QPoint CellCentreIn(QTableView* t, int r, int c) {
        return t->visualRect(t->model()->index(r - 1, c - 1)).center();
    }
    QWidget* Viewport(int r, int c) { return view->TableAt(r, c)->viewport(); }
};
}  // namespace

TEST_F(View, DoubleClickAndClicksReportTheCell) {
    QSignalSpy dbl(view.get(), &SheetView::DblClick);
    QSignalSpy click(view.get(), &SheetView::Click);
    QSignalSpy rclick(view.get(), &SheetView::RClick);
    QTest::mouseDClick(Viewport(5, 9), Qt::LeftButton, {}, Centre(5, 9));
    ASSERT_GE(dbl.count(), 1);
    EXPECT_EQ(dbl.last()[0].toInt(), 5);
    EXPECT_EQ(dbl.last()[1].toInt(), 9);
    // A cell of the frozen name column is reported from its pane.
    QTest::mouseClick(Viewport(7, 1), Qt::LeftButton, {}, Centre(7, 1));
    ASSERT_GE(click.count(), 1);
    EXPECT_EQ(click.last()[0].toInt(), 7);
    EXPECT_EQ(click.last()[1].toInt(), 1);
    QTest::mousePress(Viewport(4, 3), Qt::RightButton, {}, Centre(4, 3));
    ASSERT_EQ(rclick.count(), 1);
    EXPECT_EQ(rclick.last()[0].toInt(), 4);
    EXPECT_EQ(rclick.last()[1].toInt(), 3);
    EXPECT_EQ(book.SelStartRow(), 4);
}

TEST_F(View, PickInAListWritesItsLinkedCell) {
    const int id = book.ObjectIdByName("XL");
    book.SetObjectText(id, S("大学本科;大学专科;初中;"));
    book.SetObjectPos(id, 8, 4, 9, 4 + 9);  // over (5,9) and nine rows below
    book.SetObjectLink(id, 2, 5, 9);
    book.ObjectSelection(id, -1);
    book.ObjectVisible(id, true);
    QApplication::processEvents();
    QListWidget* list = view->ObjectWidget(id);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 3);
    // The list covers its cell.
    const QRect cell = view->CellRect(5, 9);
    EXPECT_EQ(list->geometry().topLeft(), cell.topLeft());
    EXPECT_NEAR(list->geometry().width(), cell.width(), 1);  // the grid line
    QSignalSpy picked(&book, &TSheetBook::objectPicked);
    const QRect item = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(book.GetCellText(5, 9), S("大学专科"));
    EXPECT_EQ(picked.count(), 1);
    book.ObjectVisible(id, false);
    EXPECT_EQ(view->ObjectWidget(id), nullptr);
}

TEST_F(View, AListShowsItsItemsWholeAndClosesOnAPickEnterEscOrAPressElsewhere) {
    const int id = book.ObjectIdByName("sexCom");
    book.SetObjectText(id, S("女;专业技术岗位工作人员;"));
    auto open = [&](int row) {
        book.SetObjectPos(id, 2, row - 1, 3, row + 3);
        book.SetObjectLink(id, 2, row, 3);
        book.ObjectSelection(id, -1);
        book.ObjectVisible(id, true);
        QApplication::processEvents();
        return view->ObjectWidget(id);
    };
    QListWidget* list = open(5);
    ASSERT_NE(list, nullptr);
    EXPECT_GE(list->width(), list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width());
    // Through the window, as a real click comes: the window sees the press before the list.
    const QPoint item = list->viewport()->mapTo(view.get(), list->visualItemRect(list->item(1)).center());
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(t, item, view->mapToGlobal(item), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QApplication::sendEvent(view->windowHandle(), &click);
    }
    EXPECT_EQ(book.GetCellText(5, 3), S("专业技术岗位工作人员"));
    EXPECT_EQ(view->ObjectWidget(id), nullptr);
    QTest::keyClick(open(6), Qt::Key_Return);  // nothing chosen: closes, writes nothing
    EXPECT_FALSE(book.Object(id).visible);
    QTest::keyClick(open(6), Qt::Key_Escape);
    EXPECT_FALSE(book.Object(id).visible);
    open(6);
    QTest::mouseClick(Viewport(9, 5), Qt::LeftButton, {}, Centre(9, 5));
    EXPECT_FALSE(book.Object(id).visible);
    EXPECT_EQ(book.GetCellText(6, 3), QString());
    // A list the form opens on a double click takes the keys, not the cell's editor; Enter
    // writes the chosen item and moves down as in the sheet.
    QObject::connect(view.get(), &SheetView::DblClick, [&](int r, int) { open(r); });
    QTest::mouseDClick(Viewport(7, 3), Qt::LeftButton, {}, Centre(7, 3));
    QTest::keyClick(view->ObjectWidget(id), Qt::Key_Down);
    QTest::keyClick(view->ObjectWidget(id), Qt::Key_Return);
    EXPECT_EQ(book.GetCellText(7, 3), S("女"));
    EXPECT_EQ(view->Table()->currentIndex().row() + 1, 8);
    EXPECT_EQ(view->Table()->viewport()->findChild<QLineEdit*>(), nullptr);
}

// The keys and clicks of a spreadsheet, as SheetView.h words them: each case starts on (4,4),
// which holds 1000, takes its steps (keys, or a double click there, a click on (6,6), a jump
// far away), then 5 is typed and the edit committed.
TEST_F(View, KeysAndClicksMoveOpenAndReplaceAsInASpreadsheet) {
    const struct {
        const char* steps;
        int row, col;               // the current cell after the steps, in view
        bool editing;               // an editor is open then
        const char *typed, *start;  // that cell's text after the 5, and (4,4)'s
    } cases[] = {{"Return", 5, 4, false, "5", "1000"},
                 {"Shift+Return", 3, 4, false, "5", "1000"},
                 {"Tab", 4, 5, false, "5", "1000"},
                 {"Shift+Tab", 4, 3, false, "5", "1000"},
                 {"", 4, 4, false, "5", "5"},
                 {"F2", 4, 4, true, "10005", "10005"},
                 {"dbl", 4, 4, true, "10005", "10005"},
                 {"F2 9 Tab", 4, 5, false, "5", "10009"},
                 {"F2 9 Return", 5, 4, false, "5", "10009"},
                 {"F2 9 Esc", 4, 4, false, "5", "5"},
                 {"F2 9 click", 6, 6, false, "5", "10009"},
                 {"Ctrl+End", 40, 12, false, "5", "1000"},
                 {"far Ctrl+Home", 3, 1, false, "5", "1000"}};
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    for (const auto& k : cases) {
        book.ClearRange(3, 1, book.MaxRow(), 30, TSheetBook::ClearAll);
        for (auto [r, c, text] : {std::tuple{4, 4, "1000"},
                                  {5, 4, "7"},
                                  {4, 5, "x"},
                                  {40, 9, "y"},
                                  {10, 12, "z"},
                                  {20, 25, "a code beyond the shown columns"}})
            book.SetCellText(r, c, text);
        view->GoToCell(4, 4);
        view->ReturnFromEditor(std::nullopt);
        for (const QString& step : QString::fromLatin1(k.steps).split(' ')) {
            if (step == "dbl")
                QTest::mouseDClick(Viewport(4, 4), Qt::LeftButton, {}, Centre(4, 4));
            else if (step == "click")
                QTest::mouseClick(Viewport(6, 6), Qt::LeftButton, {}, Centre(6, 6));
            else if (step == "far")
                view->GoToCell(300, 15);
            else if (const QKeyCombination key = QKeySequence(step)[0]; !step.isEmpty())
                QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        }
        const QModelIndex cur = view->Table()->currentIndex();
        ASSERT_EQ(std::pair(cur.row() + 1, cur.column() + 1), std::pair(k.row, k.col)) << k.steps;
        EXPECT_EQ(view->Table()->selectionModel()->selectedIndexes(), QModelIndexList{cur}) << k.steps;
        QTableView* pane = view->TableAt(k.row, k.col);
        EXPECT_TRUE(pane->viewport()->rect().contains(pane->visualRect(cur).center())) << k.steps;
        EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()) != nullptr, k.editing) << k.steps;
        QTest::keyClicks(QApplication::focusWidget(), "5");
        view->CommitPendingEdit();
        EXPECT_EQ(book.GetCellText(k.row, k.col), k.typed) << k.steps;
        EXPECT_EQ(book.GetCellText(4, 4), k.start) << k.steps;
    }
}

TEST_F(View, DeleteClearsTheSelectedDataCellsOnly) {
    for (int r = 1; r <= 5; ++r) book.SetCellText(r, 3, QString::number(r));
    book.SetClipboardText("clip");
    view->Table()->selectionModel()->select(
        QItemSelection(view->Table()->model()->index(0, 2), view->Table()->model()->index(3, 3)),
        QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view->Table(), Qt::Key_Delete);
    QStringList col;
    for (int r = 1; r <= 5; ++r) col << book.GetCellText(r, 3);
    EXPECT_EQ(col, (QStringList{"1", "2", "", "", "5"}));  // the titles stay
    EXPECT_EQ(book.ClipboardText(), "clip");
}

TEST_F(View, CtrlVPastesAtTheCurrentCellAndCtrlCCopies) {
    book.SetClipboardText("a\tb\r\nc\td\r\n");
    view->GoToCell(3, 3);
    QTest::keyClick(view->Table(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(book.GetCellText(3, 3), "a");
    EXPECT_EQ(book.GetCellText(4, 4), "d");
    view->Table()->selectionModel()->select(
        QItemSelection(view->Table()->model()->index(2, 2), view->Table()->model()->index(3, 3)),
        QItemSelectionModel::ClearAndSelect);
    book.SetClipboardText("");
    QSignalSpy keyUp(view.get(), &SheetView::KeyUp);
    QTest::keyClick(view->Table(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(book.ClipboardText(), "a\tb\r\nc\td\r\n");
    bool sawC = false;
    for (const auto& args : keyUp)
        sawC = sawC ||
               (args[0].toInt() == int(Qt::Key_C) && (args[1].value<Qt::KeyboardModifiers>() & Qt::ControlModifier));
    EXPECT_TRUE(sawC);
    QTest::keyClick(view->Table(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(book.GetCellText(3, 3), "");
    EXPECT_EQ(book.GetCellText(4, 4), "");
}

// The view shows every row of the sheet as it grows and shrinks while shown; a paste past the
// sheet's limit is told.
TEST_F(View, ShowsEveryRowAsTheSheetGrowsAndShrinksAndTellsOnlyRowsPastItsLimit) {
    ScriptedUiService ui;
    view->SetUi(&ui);
    QTableView* t = view->Table();
    book.SetClipboardText("a\nb\nc\nd\n");
    const auto showsLastRow = [&](int row) {
        EXPECT_EQ(t->model()->rowCount(), book.MaxRow());
        view->GoToCell(row, 1);
        QApplication::processEvents();
        const QRect cell = t->visualRect(t->model()->index(row - 1, 0));
        EXPECT_TRUE(t->viewport()->rect().contains(cell.center())) << row;
        EXPECT_EQ(t->model()->index(row - 1, 0).data().toString(), book.GetCellText(row, 1)) << row;
    };
    book.SetCellText(30000, 1, "far");  // a load while the sheet is shown
    showsLastRow(30000);
    book.ClearRange(3, 1, book.MaxRow(), 20, TSheetBook::ClearAll);
    EXPECT_EQ(t->model()->rowCount(), TSheetBook::kMinRows);

    book.SetCellText(TSheetBook::kRowLimit - 1, 2, "x");
    showsLastRow(TSheetBook::kRowLimit - 1);
    QTest::keyClick(t, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(book.GetCellText(TSheetBook::kRowLimit, 1), "b");
    EXPECT_EQ(ui.Texts(), QStringList{TSheetBook::PasteClippedText(4, 2)});
    ui.Clear();
    view->GoToCell(3, 1);
    view->Edit(SheetView::EditOp::Paste);
    EXPECT_TRUE(ui.Texts().isEmpty());
}

TEST_F(View, TypingEditsInPlaceAndHandlersSeeThePendingEdit) {
    // The title rows take no typing, down to the last of them; the first data row does.
    const QAbstractItemModel* m = view->Table()->model();
    EXPECT_FALSE(m->flags(m->index(book.FrozenRows() - 1, 3)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->flags(m->index(book.FrozenRows(), 3)) & Qt::ItemIsEditable);
    view->GoToCell(3, 4);
    view->Table()->setFocus();
    QTest::keyClicks(view->Table(), "x");
    QLineEdit* editor = view->Table()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "yz");
    EXPECT_EQ(book.GetCellText(3, 4), "");  // still open
    QString seen;
    QObject::connect(view.get(), &SheetView::DblClick, [&](int r, int c) { seen = book.GetCellText(r, c); });
    QTest::mouseDClick(Viewport(3, 4), Qt::LeftButton, {}, Centre(3, 4));
    EXPECT_EQ(seen, "xyz");
    EXPECT_EQ(book.GetCellText(3, 4), "xyz");
}

TEST_F(View, MenuOperationsTakeThePendingEditWithThem) {
    view->GoToCell(3, 4);
    view->Table()->setFocus();
    QTest::keyClicks(view->Table(), "t");
    QLineEdit* editor = view->Table()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "yped");
    ASSERT_EQ(book.GetCellText(3, 4), "");  // still open
    book.SetSelection(3, 4, 3, 4);
    view->Edit(SheetView::EditOp::Copy);
    EXPECT_EQ(book.GetCellText(3, 4), "typed");
    EXPECT_EQ(book.ClipboardText().trimmed(), "typed");
    view->Edit(SheetView::EditOp::InsertRows);
    EXPECT_EQ(book.GetCellText(3, 4), "");
    EXPECT_EQ(book.GetCellText(4, 4), "typed");
}

TEST_F(View, LayoutFollowsTheModel) {
    book.SetMaxCol(14);
    QApplication::processEvents();
    EXPECT_EQ(view->Table()->model()->columnCount(), 14);
    book.SetMaxCol(18);
    book.SetColHidden(15, 17, true);
    EXPECT_TRUE(view->Table()->isColumnHidden(15));
    EXPECT_FALSE(view->Table()->isColumnHidden(17));
    EXPECT_EQ(view->Table()->rowHeight(5), 21);
    // Cell texts and marks are what the model says.
    book.SetCellText(3, 2, "7");
    book.SetSelection(3, 2, 3, 2);
    book.SetPattern(18, 200, 255);
    const QModelIndex i = view->Table()->model()->index(2, 1);
    EXPECT_EQ(i.data().toString(), "7");
    EXPECT_TRUE(i.data(Qt::BackgroundRole).value<QColor>().red() > 200);
}

// Filled and sized while hidden, as the report windows are: the frozen panes cover the laid-out
// viewport from the first showing on, and never scroll apart from the body.
TEST(FrozenPanes, FollowTheViewportAndTheBody) {
    TSheetBook book;
    ApplySheetTemplate(book, "staff");
    SheetView view(book);
    view.resize(500, 300);
    for (int r = 3; r < 200; ++r) book.SetCellText(r, 1, QString::number(r));
    view.show();
    QApplication::processEvents();
    QTableView* body = view.Table();
    QTableView *left = view.TableAt(50, 1), *top = view.TableAt(1, 9), *corner = view.TableAt(1, 1);
    const QRect vp(body->viewport()->mapTo(&view, QPoint(0, 0)), body->viewport()->size());
    EXPECT_EQ(top->geometry(), QRect(vp.topLeft(), QSize(vp.width(), top->height())));
    EXPECT_EQ(left->geometry(), QRect(vp.topLeft(), QSize(left->width(), vp.height())));
    // The wheel over any pane scrolls the sheet; the frozen part stays.
    for (QTableView* pane : {left, top, corner}) {
        const int before = body->verticalScrollBar()->value();
        const QPoint at = pane->viewport()->rect().center();
        QWheelEvent wheel(at, pane->viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(pane->viewport(), &wheel);
        EXPECT_GT(body->verticalScrollBar()->value(), before);
    }
    EXPECT_EQ(left->verticalScrollBar()->value(), body->verticalScrollBar()->value());
    EXPECT_EQ(top->verticalScrollBar()->value() + corner->verticalScrollBar()->value(), 0);
    left->horizontalScrollBar()->setValue(30);
    EXPECT_EQ(left->horizontalScrollBar()->value(), 0);
}

// Cells painted from the view's pixel cache are the very pixels the style draws for them, in
// every look a cell takes, and a change to a cell shows at once; the body leaves out only what
// the frozen panes cover.
TEST(SheetPainting, CopiedCellsAreWhatTheStyleDrawsAndChangesShowAtOnce) {
    TSheetBook book;
    ApplySheetTemplate(book, "staff");
    const char* rows[][6] = {{"张三", "0001", "男", "否", "是", "1967-03"},
                             {"李四", "0002", "女", "是", "否", "1980-05"},
                             {"王五", "", "男", "否", "否", "1990-13"},
                             {"赵六", "0004", "男", "否", "是", "其中本岗位年限很长的一段文字"}};
    for (int r = 3; r < 40; ++r)
        for (int c = 1; c <= 6; ++c) book.SetCellText(r, c, S(rows[(r - 3) % 4][c - 1]));
    book.SetSelection(3, 1, 16340, 20);
    book.SetFont("fnt", 10);
    book.SetSelection(5, 2, 5, 3);
    book.SetPattern(18, 200, 255);
    SheetView view(book);
    view.resize(700, 400);
    view.show();
    view.activateWindow();
    view.setFocus();
    view.GoToCell(4, 3);
    view.Table()->selectionModel()->select(view.Table()->model()->index(6, 4), QItemSelectionModel::Select);
    QApplication::processEvents();
    SheetCellCache& cache = view.CellCache();
    const auto directAndCopied = [&] {
        cache.SetEnabled(false);
        const QImage direct = view.grab().toImage();
        cache.SetEnabled(true);
        view.grab();  // fills the cache
        const qsizetype hits = cache.Hits();
        const QImage copied = view.grab().toImage();
        EXPECT_GT(cache.Hits() - hits, 100);
        return std::pair{direct, copied};
    };
    const auto [direct, copied] = directAndCopied();
    EXPECT_EQ(copied, direct);

    // A text, a mark, a font, a width, the current cell and the selection change.
    book.SetCellText(3, 3, S("女"));
    book.SetSelection(4, 4, 4, 4);
    book.SetPattern(18, 200, 255);
    book.SetSelection(6, 1, 6, 6);
    book.SetFont("fnt", 12, true);
    book.SetColWidth(6, 6, 40);
    view.GoToCell(8, 5);
    view.Table()->selectionModel()->select(view.Table()->model()->index(9, 2), QItemSelectionModel::Select);
    QApplication::processEvents();
    const auto [directAfter, copiedAfter] = directAndCopied();
    EXPECT_EQ(copiedAfter, directAfter);
    EXPECT_NE(directAfter, direct);

    // Scrolled, the body shows everything the panes leave uncovered, as when it paints alone.
    view.GoToCell(30, 9);
    QApplication::processEvents();
    const QImage composed = view.grab().toImage();
    QTableView* body = view.Table();
    std::vector<QTableView*> panes = {view.TableAt(1, 9), view.TableAt(30, 1), view.TableAt(1, 1)};
    for (QTableView* pane : panes) pane->hide();
    const QImage alone = body->viewport()->grab().toImage();
    for (QTableView* pane : panes) pane->show();
    const QPoint at = body->viewport()->mapTo(&view, QPoint(0, 0));
    QRegion uncovered(QRect(at, alone.size()));
    for (QTableView* pane : panes) uncovered -= pane->geometry();
    int differing = 0, compared = 0;
    for (const QRect& r : uncovered)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x, ++compared)
                differing += composed.pixel(x, y) != alone.pixel(x - at.x(), y - at.y());
    EXPECT_GT(compared, 100000);
    EXPECT_EQ(differing, 0);
}
