// The non-visual sheet: cells, clears, marks, rows, list objects and the clipboard text.

#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"

#include <gtest/gtest.h>
#include <QSignalSpy>

#include <array>
#include <map>
#include <random>
#include <set>

using namespace qm;

namespace {
QString S(const char* s) { return QString::fromUtf8(s); }

void Mark(TSheetBook& b, int r, int c) {
    b.SetSelection(r, c, r, c);
    b.SetPattern(18, 200, 255);
}
}  // namespace

TEST(SheetBook, CellsAreSparseAndReachBeyondTheShownColumns) {
    TSheetBook b;
    EXPECT_EQ(b.MaxRow(), 16384);
    EXPECT_EQ(b.GetCellText(3, 1), "");
    b.SetMaxCol(14);
    b.SetCellText(3, 38, "id-7");
    b.SetCellText(16384, 1, "last");
    b.SetCellText(16385, 1, "beyond");                       // the sheet grows for it
    b.SetCellText(TSheetBook::kRowLimit + 1, 1, "nowhere");  // ignored, no crash
    b.SetCellText(0, 0, "nothing");
    EXPECT_EQ(b.GetCellText(3, 38), "id-7");
    EXPECT_EQ(b.GetCellText(16384, 1), "last");
    EXPECT_EQ(b.GetCellText(16385, 1), "beyond");
    EXPECT_EQ(b.GetCellText(TSheetBook::kRowLimit + 1, 1), "");
    EXPECT_EQ(b.LastUsedRow(), 16385);
    EXPECT_FALSE(b.IsColShown(38));
    EXPECT_FALSE(b.IsColHidden(38));  // beyond MaxCol, not hidden: it keeps its data
}

// Unmarks, deletes and clears at its end shrink the sheet to what it holds and the room below;
// fonts and heights set to its last row follow it as it grows.
TEST(SheetBook, TheSheetShrinksToWhatItHolds) {
    const struct {
        const char* what;
        void (*act)(TSheetBook&);
        int maxRow, lastUsed;
    } cases[] = {
        {"a mark removed",
         [](TSheetBook& b) {
             b.SetSelection(16300, 1, 16300, 1), b.SetPattern(18, 200, 255), b.SetPattern(0, 200, 255);
         },
         TSheetBook::kMinRows, 0},
        {"rows deleted above the last", [](TSheetBook& b) { b.SetCellText(30000, 1, "x"), b.DeleteRows(10, 10000); },
         20000 + TSheetBook::kRowsBelow, 20000},
        {"cleared to the end",
         [](TSheetBook& b) { b.SetCellText(20000, 1, "x"), b.ClearRange(3, 1, b.MaxRow(), 9, 1); },
         TSheetBook::kMinRows, 0},
    };
    for (const auto& c : cases) {
        TSheetBook b;
        c.act(b);
        EXPECT_EQ(b.MaxRow(), c.maxRow) << c.what;
        EXPECT_EQ(b.LastUsedRow(), c.lastUsed) << c.what;
    }
    TSheetBook b;
    b.SetSelection(3, 1, b.MaxRow(), 20);
    b.SetFont("fnt", 10);
    b.SetRowHeight(5, b.MaxRow(), 400);
    b.SetCellText(40000, 1, "x");
    EXPECT_EQ(b.CellFontSize(40000, 20), 10);
    EXPECT_EQ(b.RowHeight(40000), 400);
}

TEST(SheetBook, ClearKinds) {
    TSheetBook b;
    auto setup = [&] {
        b.SetCellText(3, 2, "x");
        Mark(b, 3, 2);
    };
    setup();
    b.ClearRange(3, 1, 3, 20, TSheetBook::ClearFormats);
    EXPECT_EQ(b.GetCellText(3, 2), "x");
    EXPECT_FALSE(b.IsMarked(3, 2));
    setup();
    b.ClearRange(3, 1, 3, 20, TSheetBook::ClearContents);
    EXPECT_EQ(b.GetCellText(3, 2), "");
    EXPECT_TRUE(b.IsMarked(3, 2));
    setup();
    b.ClearRange(1, 1, 16384, 20, TSheetBook::ClearAll);
    EXPECT_EQ(b.GetCellText(3, 2), "");
    EXPECT_FALSE(b.IsMarked(3, 2));
    // Columns outside the cleared block are kept.
    b.SetCellText(3, 25, "1");
    b.ClearRange(3, 1, 16340, 20, TSheetBook::ClearAll);
    EXPECT_EQ(b.GetCellText(3, 25), "1");
}

TEST(SheetBook, MarksPatternsAndFonts) {
    TSheetBook b;
    b.SetSelection(3, 1, 4, 2);
    b.SetPattern(20, 255, 200);
    EXPECT_EQ(b.CellPattern(4, 2), 20);
    EXPECT_FALSE(b.IsMarked(5, 2));
    b.SetPattern(0, 0, 0);
    EXPECT_FALSE(b.IsMarked(4, 2));
    // A font over most of the sheet, set again and again, stays one cheap range.
    for (int i = 0; i < 1000; ++i) {
        b.SetSelection(3, 1, 16340, 20);
        b.SetFont("fnt", 10);
    }
    EXPECT_EQ(b.CellFontSize(16000, 20), 10);
    EXPECT_EQ(b.CellFontSize(2, 1), 0);
    b.ClearRange(1, 1, 16384, 20, TSheetBook::ClearFormats);
    EXPECT_EQ(b.CellFontSize(16000, 20), 0);
}

TEST(SheetBook, RowHeightsWidthsAndHiddenColumns) {
    TSheetBook b;
    b.SetRowHeight(2, 16380, 310);
    EXPECT_EQ(b.RowHeight(100), 310);
    EXPECT_EQ(b.RowHeightPx(100), 21);
    b.SetRowHeight(1, 1, 720);
    EXPECT_EQ(b.RowHeight(1), 720);
    EXPECT_EQ(b.RowHeight(2), 310);
    b.SetColWidth(15, 17, 0);
    EXPECT_TRUE(b.IsColHidden(16));
    b.SetColWidth(15, 17, 40);
    b.SetColHidden(15, 17, true);
    EXPECT_TRUE(b.IsColHidden(15));
    EXPECT_EQ(b.ColWidth(15), 40);
    b.SetColHidden(15, 17, false);
    EXPECT_TRUE(b.IsColShown(15));
}

TEST(SheetBook, InsertAndDeleteMoveWholeRows) {
    TSheetBook b;
    for (int r = 3; r <= 5; ++r) {
        b.SetCellText(r, 1, QString("n%1").arg(r));
        b.SetCellText(r, 29, QString("c%1").arg(r));
        b.SetCellText(r, 38, QString("id%1").arg(r));
    }
    Mark(b, 4, 3);
    b.SetCellText(16384, 1, "bottom");
    b.SetSelection(4, 1, 5, 20);  // two rows selected
    b.EditInsert(3);
    EXPECT_EQ(b.GetCellText(3, 1), "n3");
    EXPECT_EQ(b.GetCellText(4, 1), "");
    EXPECT_EQ(b.GetCellText(5, 29), "");
    EXPECT_EQ(b.GetCellText(6, 1), "n4");
    EXPECT_EQ(b.GetCellText(6, 29), "c4");
    EXPECT_EQ(b.GetCellText(6, 38), "id4");
    EXPECT_TRUE(b.IsMarked(6, 3));
    EXPECT_EQ(b.GetCellText(7, 38), "id5");
    EXPECT_EQ(b.GetCellText(16386, 1), "bottom");  // moved down: the sheet grew for it
    EXPECT_EQ(b.MaxRow(), 16386 + TSheetBook::kRowsBelow);

    b.SetSelection(3, 5, 4, 5);
    b.EditDelete(3);
    EXPECT_EQ(b.GetCellText(3, 1), "");
    EXPECT_EQ(b.GetCellText(4, 1), "n4");
    EXPECT_EQ(b.GetCellText(4, 29), "c4");
    EXPECT_EQ(b.GetCellText(5, 38), "id5");
    EXPECT_TRUE(b.IsMarked(4, 3));
}

TEST(SheetBook, CopyGivesTabSeparatedText) {
    TSheetBook b;
    b.SetCellText(3, 1, "a");
    b.SetCellText(3, 3, "c");
    b.SetCellText(4, 2, S("张\n三"));
    b.SetCellText(4, 3, "say \"x\"");
    b.SetSelection(3, 1, 4, 3);
    b.EditCopy();
    EXPECT_EQ(b.ClipboardText(), S("a\t\tc\r\n\t\"张\n三\"\tsay \"x\"\r\n"));
    // And back: the same block lands in the same shape.
    b.PasteText(10, 1, b.ClipboardText());
    EXPECT_EQ(b.GetCellText(11, 2), S("张\n三"));
    EXPECT_EQ(b.GetCellText(11, 3), "say \"x\"");
    EXPECT_EQ(b.GetCellText(10, 3), "c");
    EXPECT_EQ(b.GetCellText(12, 1), "");
}

TEST(SheetBook, PasteOfSpreadsheetText) {
    TSheetBook b;
    b.SetMaxCol(18);
    b.SetColHidden(15, 17, true);
    // Two rows of 15 columns as a spreadsheet program puts them: CR LF, a quoted cell with an
    // embedded line break and a doubled quote, and the trailing empty line.
    QStringList r1, r2;
    for (int c = 1; c <= 15; ++c) {
        r1 << QString("a%1").arg(c);
        r2 << QString("b%1").arg(c);
    }
    r2[2] = "\"line1\r\nline2 \"\"q\"\"\"";
    const QString text = r1.join('\t') + "\r\n" + r2.join('\t') + "\r\n";
    b.SetClipboardText(text);
    b.SetSelection(3, 1, 3, 1);
    b.EditPaste();
    EXPECT_EQ(b.GetCellText(3, 1), "a1");
    EXPECT_EQ(b.GetCellText(3, 15), "a15");  // hidden column filled by position
    EXPECT_EQ(b.GetCellText(4, 15), "b15");
    EXPECT_EQ(b.GetCellText(4, 3), "line1\nline2 \"q\"");
    EXPECT_EQ(b.GetCellText(4, 4), "b4");
    EXPECT_EQ(b.GetCellText(5, 1), "");  // the trailing empty line adds no row
    EXPECT_EQ(b.GetCellText(3, 16), "");

    // LF rows, a lone cell, and a quote that does not open a quoted cell.
    b.PasteText(10, 2, "x\n\"half\ty\n");
    EXPECT_EQ(b.GetCellText(10, 2), "x");
    EXPECT_EQ(b.GetCellText(11, 2), "\"half");
    EXPECT_EQ(b.GetCellText(11, 3), "y");
    // Empty cells in the middle of a row clear what was there.
    b.PasteText(3, 1, "z\t\tz3\r\n");
    EXPECT_EQ(b.GetCellText(3, 2), "");
    EXPECT_EQ(b.GetCellText(3, 3), "z3");
}

// A paste longer than the sheet grows it; only rows past the guard on runaway row numbers
// are left out, and the person is told how many.
TEST(SheetBook, APasteGrowsTheSheetAndOnlyRowsPastItsLimitAreLeftOutAndTold) {
    TSheetBook b;
    QSignalSpy clipped(&b, &TSheetBook::pasteClipped);
    QStringList lines;
    for (int i = 1; i <= 17000; ++i) lines << QStringLiteral("人%1\t%1").arg(i);
    b.SetClipboardText(lines.join(QLatin1Char('\n')));
    b.SetSelection(3, 1, 3, 1);
    EXPECT_EQ(b.EditPaste(), 0);
    EXPECT_EQ(clipped.size(), 0);
    EXPECT_EQ(b.GetCellText(17002, 1), QStringLiteral("人17000"));
    EXPECT_EQ(b.LastPaste()->r2, 17002);

    b.SetCellText(TSheetBook::kRowLimit - 1, 1, "x");  // the sheet reaches its limit
    EXPECT_EQ(b.MaxRow(), TSheetBook::kRowLimit);
    EXPECT_EQ(b.PasteText(TSheetBook::kRowLimit - 1, 1, QStringLiteral("a\nb\nc\nd")), 2);
    ASSERT_EQ(clipped.size(), 1);
    EXPECT_EQ(clipped[0][0].toInt(), 4);
    EXPECT_EQ(clipped[0][1].toInt(), 2);
    EXPECT_EQ(b.GetCellText(TSheetBook::kRowLimit, 1), QStringLiteral("b"));
    EXPECT_EQ(TSheetBook::PasteClippedText(4, 2),
              QStringLiteral("粘贴的4行中有2行超出了表格的最后一行（第1048576行），没有粘贴。"));
    // A paste that fits says nothing.
    EXPECT_EQ(b.PasteText(1, 1, QStringLiteral("a\nb")), 0);
    EXPECT_EQ(clipped.size(), 1);
}

TEST(SheetBook, CutCopiesThenClearsTextKeepingMarks) {
    TSheetBook b;
    b.SetCellText(3, 1, "a");
    b.SetCellText(3, 2, "b");
    Mark(b, 3, 2);
    b.SetSelection(3, 1, 3, 2);
    b.EditCut();
    EXPECT_EQ(b.ClipboardText(), "a\tb\r\n");
    EXPECT_EQ(b.GetCellText(3, 1), "");
    EXPECT_TRUE(b.IsMarked(3, 2));
}

TEST(SheetBook, ListObjects) {
    TSheetBook b;
    const int id = b.AddObject("XL");
    EXPECT_EQ(b.ObjectIdByName("XL"), id);
    EXPECT_EQ(b.ObjectIdByName("none"), -1);
    b.SetObjectText(id, S("大学本科;大学专科;;初中;"));
    EXPECT_EQ(b.Object(id).items, (QStringList{S("大学本科"), S("大学专科"), "", S("初中")}));
    b.SetObjectPos(id, 8, 4, 9, 13);
    b.SetObjectLink(id, 2, 5, 9);
    b.ObjectVisible(id, true);
    QSignalSpy picked(&b, &TSheetBook::objectPicked);
    b.PickObjectItem(id, 1);
    EXPECT_EQ(b.GetCellText(5, 9), S("大学专科"));
    EXPECT_EQ(b.Object(id).selected, 1);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked[0][1].toInt(), 1);
    b.ObjectSelection(id, -1);
    EXPECT_EQ(b.Object(id).selected, -1);
    EXPECT_EQ(b.GetCellText(5, 9), S("大学专科"));
    EXPECT_THROW(b.SetObjectText(7, "a;"), std::out_of_range);
}

TEST(SheetBook, BulkUpdatesSignalOnce) {
    TSheetBook b;
    QSignalSpy cells(&b, &TSheetBook::cellsChanged);
    QSignalSpy reset(&b, &TSheetBook::sheetReset);
    b.BeginUpdate();
    for (int r = 1; r <= 100; ++r) b.SetCellText(r, 1, "x");
    b.EndUpdate();
    EXPECT_EQ(cells.count(), 0);
    EXPECT_EQ(reset.count(), 1);
    b.SetCellText(1, 2, "y");
    EXPECT_EQ(cells.count(), 1);
}

// Cells with the same text share it: whatever happens to one cell, every other one keeps its
// own text, also after the rows holding a text were dropped and new texts came in.
TEST(SheetBook, CellsSharingATextKeepTheirOwnThroughEditsClearsPastesAndRowMoves) {
    TSheetBook b;
    for (int r = 3; r <= 6; ++r)
        for (int c : {3, 25, 26}) b.SetCellText(r, c, "1");
    b.SetCellText(4, 25, "2");
    b.ClearRange(5, 1, 5, 40, TSheetBook::ClearContents);
    b.PasteText(3, 26, "9\t1\r\n");
    b.SetCellText(16384, 3, "1");
    b.SetSelection(16384, 1, 16384, 1);
    b.EditInsert(3);                                                                // row 16384 moves down
    for (int i = 0; i < 50; ++i) b.SetCellText(100 + i, 3, QString("t%1").arg(i));  // new texts
    const char* want[][3] = {{"1", "1", "9"}, {"1", "2", "1"}, {"", "", ""}, {"1", "1", "1"}};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(b.GetCellText(3 + i, std::array{3, 25, 26}[size_t(k)]), want[i][k]) << 3 + i << "," << k;
    EXPECT_EQ(b.GetCellText(3, 27), "1");  // the paste's second column
    EXPECT_EQ(b.GetCellText(149, 3), "t49");

    // Against a plain map, over a long run of edits, clears, pastes and row moves at both ends.
    b.Reset();
    std::map<std::pair<int, int>, QString> text;
    std::map<std::pair<int, int>, int> mark;
    const auto moveRows = [](auto& m, int from, int by) {
        std::remove_reference_t<decltype(m)> moved;
        for (auto& [rc, v] : m) {
            if (rc.first < from) {
                moved[rc] = v;
            } else if (by < 0 && rc.first < from - by) {
                continue;  // deleted
            } else {
                moved[{rc.first + by, rc.second}] = v;  // never off the sheet: it grows
            }
        }
        m = std::move(moved);
    };
    const QStringList words = {"", "1", "2", "是", "否", "大学本科", "x"};
    std::mt19937 rng(7);
    // The top rows, and the rows about the least length of a sheet, where it grows and shrinks.
    constexpr int kLow = TSheetBook::kMinRows;
    const auto row = [&] { return rng() % 2 ? 1 + int(rng() % 8) : kLow - int(rng() % 6); };
    for (int step = 0; step < 4000; ++step) {
        const int r = row(), c = 1 + int(rng() % 40), op = int(rng() % 10);
        if (op < 5) {
            const QString t = rng() % 4 ? words[int(rng() % words.size())] : QString::number(rng() % 100000);
            b.SetCellText(r, c, t);
            text[{r, c}] = t;
        } else if (op == 5 || op == 6) {
            const int kind = 1 + int(rng() % 3), c2 = std::min(40, c + int(rng() % 12));
            b.ClearRange(r, c, r, c2, kind);
            for (int k = c; k <= c2; ++k) {
                if (kind != TSheetBook::ClearFormats) text.erase({r, k});
                if (kind != TSheetBook::ClearContents) mark.erase({r, k});
            }
        } else if (op == 7) {
            const int pattern = rng() % 3 ? 18 : 0, c2 = std::min(40, c + int(rng() % 30));
            b.SetSelection(r, c, r, c2);
            b.SetPattern(pattern, 200, 255);
            for (int k = c; k <= c2; ++k) mark[{r, k}] = pattern;
        } else if (op == 8) {
            const QString second = words[int(rng() % words.size())];
            b.PasteText(r, c, words[1] + "\t" + second + "\r\n" + words[5] + "\r\n");
            text[{r, c}] = words[1];
            text[{r, c + 1}] = second;
            text[{r + 1, c}] = words[5];
        } else {
            const int n = 1 + int(rng() % 3);
            if (rng() % 2) {
                b.InsertRows(r, n);
                moveRows(text, r, n);
                moveRows(mark, r, n);
            } else {
                b.DeleteRows(r, n);
                moveRows(text, r, -n);
                moveRows(mark, r, -n);
            }
        }
        for (int rr : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}) {
            for (int cc = 1; cc <= 41; ++cc) {
                const auto t = text.find({rr, cc});
                const auto m = mark.find({rr, cc});
                ASSERT_EQ(b.GetCellText(rr, cc), t == text.end() ? QString() : t->second) << step;
                ASSERT_EQ(b.CellPattern(rr, cc), m == mark.end() ? 0 : m->second) << step;
            }
        }
        std::set<QString> distinct;
        for (const auto& [rc, t] : text)
            if (!t.isEmpty()) distinct.insert(t);
        ASSERT_EQ(b.DistinctTexts(), int(distinct.size())) << step;
        for (int rr = kLow - 8; rr <= kLow + 8; ++rr)
            for (int cc = 1; cc <= 41; ++cc) {
                const auto t = text.find({rr, cc});
                ASSERT_EQ(b.GetCellText(rr, cc), t == text.end() ? QString() : t->second) << step;
            }
        // The sheet reaches its last text and mark with room to spare below them.
        int lastText = 0, lastMark = 0;
        for (const auto& [rc, t] : text)
            if (!t.isEmpty()) lastText = std::max(lastText, rc.first);
        for (const auto& [rc, m] : mark)
            if (m != 0) lastMark = std::max(lastMark, rc.first);
        ASSERT_EQ(b.LastUsedRow(), lastText) << step;
        ASSERT_GE(b.MaxRow(), std::max(TSheetBook::kMinRows, std::max(lastText, lastMark) + TSheetBook::kRowsBelow))
            << step;
    }
    b.Reset();
    EXPECT_EQ(b.LastUsedRow(), 0);
    b.SetCellText(2, 2, "1");
    EXPECT_EQ(b.GetCellText(2, 2), "1");
}

// A mark and its removal cover the whole selection, however many cells its rows hold.
TEST(SheetBook, MarksCoverTheSelectionOverRowsShorterOrLongerThanIt) {
    TSheetBook b;
    b.SetCellText(3, 2, "a");
    b.SetSelection(3, 2, 4, 30);  // row 3 holds two cells, row 4 none
    b.SetPattern(18, 200, 255);
    EXPECT_EQ(b.CellPattern(3, 30), 18);
    EXPECT_EQ(b.CellPattern(4, 2), 18);
    EXPECT_EQ(b.GetCellText(3, 2), "a");
    b.SetCellText(3, 40, "far");  // the row grows beyond its marks
    b.SetSelection(3, 1, 4, 50);
    b.SetPattern(0, 0, 0);
    for (int c : {2, 30}) {
        EXPECT_FALSE(b.IsMarked(3, c)) << c;
        EXPECT_FALSE(b.IsMarked(4, c)) << c;
    }
    b.SetSelection(5, 25, 5, 25);
    b.SetPattern(18, 200, 255);
    b.SetSelection(5, 1, 5, 60);  // wider than the row
    b.SetPattern(0, 0, 0);
    EXPECT_FALSE(b.IsMarked(5, 25));
    EXPECT_EQ(b.GetCellText(3, 2), "a");
    EXPECT_EQ(b.GetCellText(3, 40), "far");
    // Clearing the texts keeps the marks beyond them, and a row emptied is written again.
    b.SetSelection(6, 10, 6, 10);
    b.SetPattern(18, 200, 255);
    b.SetCellText(6, 3, "x");
    b.ClearRange(6, 1, 6, 20, TSheetBook::ClearContents);
    EXPECT_TRUE(b.IsMarked(6, 10));
    b.ClearRange(6, 1, 6, 20, TSheetBook::ClearFormats);
    EXPECT_FALSE(b.IsMarked(6, 10));
    b.SetCellText(6, 37, "y");
    EXPECT_EQ(b.GetCellText(6, 37), "y");
    EXPECT_EQ(b.GetCellText(6, 3), "");
    EXPECT_EQ(b.LastUsedRow(), 6);
}

TEST(SheetTemplate, StaffTemplateCarriesTheHeadersAndLists) {
    const SheetTemplate t = LoadSheetTemplate("staff");
    const char* headers[] = {"姓名",
                             "姓名编号",
                             "性别",
                             "少数民族",
                             "中共党员",
                             "出生年月",
                             "参加工作年限",
                             "其中本岗位年限",
                             "学历",
                             "岗位名称",
                             "具有国家评定的专业技术等级",
                             "具有国家评定的技能等级",
                             "用工身份",
                             "全日制用工",
                             "工程技术人员",
                             "一级建造师",
                             "现场施工人员",
                             "是否直接从事生产经营活动"};
    for (int c = 1; c <= 18; ++c) EXPECT_EQ(t.Cell(1, c), S(headers[c - 1])) << c;
    EXPECT_EQ(t.Cell(2, 1), S("甲"));
    EXPECT_EQ(t.Cell(2, 6), "1967-01");
    for (int c = 2; c <= 5; ++c) EXPECT_EQ(t.Cell(2, c), QString::number(c - 1));
    for (int c = 7; c <= 18; ++c) EXPECT_EQ(t.Cell(2, c), QString::number(c - 1));
    EXPECT_EQ(t.Cell(1, 19), "");

    TSheetBook b;
    b.SetCellText(50, 50, "stale");
    ApplySheetTemplate(b, t);
    EXPECT_EQ(b.GetCellText(50, 50), "");
    EXPECT_EQ(b.GetCellText(1, 18), S("是否直接从事生产经营活动"));
    EXPECT_EQ(b.FrozenRows(), 2);
    for (const char* name : {"sexCom", "YorN", "XL", "GW", "ZC", "JN", "Sg", "Role"})
        EXPECT_GE(b.ObjectIdByName(name), 0) << name;
    EXPECT_EQ(b.Object(b.ObjectIdByName("sexCom")).items, (QStringList{S("女"), S("男")}));
    EXPECT_EQ(b.Object(b.ObjectIdByName("YorN")).items, (QStringList{S("否"), S("是")}));
    EXPECT_TRUE(b.Object(b.ObjectIdByName("GW")).items.isEmpty());
    EXPECT_FALSE(b.Object(b.ObjectIdByName("GW")).visible);
    // All 18 columns fit a window on a 1280-pixel screen, beside the scroll bar and the margins.
    int width = 0;
    for (int c = 1; c <= 18; ++c) width += b.ColWidth(c);
    EXPECT_LT(width, 1230);
    EXPECT_TRUE(b.IsColHidden(25));

    const SheetTemplate w = LoadSheetTemplate("staffwrong");
    EXPECT_EQ(w.Cell(1, 19), S("代码"));
    EXPECT_EQ(w.Cell(1, 20), S("代码"));
    EXPECT_EQ(w.Cell(1, 1), S("姓名"));
}

TEST(SheetTemplate, ParserReadsEveryStatementAndRefusesBadLines) {
    const SheetTemplate t =
        ParseSheetTemplate(S("# c\nmaxcol 7\nfrozen 1 0\nrowheight 300\nrowheight 1 1 600\n"
                             "wrap 1 1\nfont 1 1 10 bold\nwidth 1 3 80\nhidden 9 9\n"
                             "cell 1 5 工资性津贴 和补贴\ncell 1 6 a\\nb\nmerge 1 1 1 2\nlist L a;b;\n"),
                           "t");
    TSheetBook b;
    ApplySheetTemplate(b, t);
    EXPECT_EQ(b.MaxCol(), 7);
    EXPECT_EQ(b.FrozenRows(), 1);
    EXPECT_EQ(b.RowHeight(1), 600);
    EXPECT_EQ(b.RowHeight(5), 300);
    EXPECT_EQ(b.CellFontSize(1, 7), 10);
    EXPECT_TRUE(b.CellFontBold(1, 1));
    EXPECT_EQ(b.ColWidth(3), 80);
    EXPECT_TRUE(b.IsColHidden(9));
    EXPECT_EQ(b.GetCellText(1, 5), S("工资性津贴 和补贴"));
    EXPECT_EQ(b.GetCellText(1, 6), "a\nb");
    ASSERT_EQ(b.Merges().size(), 1u);
    EXPECT_EQ(b.Merges()[0].c2, 2);
    EXPECT_EQ(b.Object(b.ObjectIdByName("L")).items, (QStringList{"a", "b"}));

    EXPECT_THROW(ParseSheetTemplate("width 1 x 3\n", "bad"), SheetTemplateError);
    EXPECT_THROW(ParseSheetTemplate("cell 0 1 a\n", "bad"), SheetTemplateError);
    EXPECT_THROW(ParseSheetTemplate("colour 1\n", "bad"), SheetTemplateError);
    EXPECT_THROW(ParseSheetTemplate("include nosuch\n", "bad"), SheetTemplateError);
    EXPECT_THROW(LoadSheetTemplate("nosuch"), SheetTemplateError);
}
