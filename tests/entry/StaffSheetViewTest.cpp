// The staff template in the sheet widget with a few checked rows, one failing; the picture
// is saved so it can be looked at (QM_SHOT_DIR, else the temporary folder).

#include "core/sheet/SheetTemplate.h"
#include "core/staff/StaffRowRules.h"
#include "sheet/SheetView.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QTableView>

using namespace qm;

namespace {
QString S(const char* s) { return QString::fromUtf8(s); }
}  // namespace

TEST(StaffSheetView, CheckedRowsShowTheirRedCells) {
    TSheetBook book;
    ApplySheetTemplate(book, "staff");
    ApplyStaffLayout(book, UnitClass(false, UnitClass::Kind::GeneralContract));
    CodeLists codes;
    codes.CodeYesNoList = {{1, S("是"), {}}, {2, S("否"), {}}};
    codes.CodeNationList = codes.CodeYesNoList;
    codes.CodeRoleList = {{1, S("在岗职工"), {}}, {2, S("劳务派遣人员"), {}}};
    codes.CodeCertyList = {{1, S("否"), {}}, {3, S("是（持上岗证书）"), {}}};
    codes.CodeEduList = {{3, S("大学本科"), {}}, {4, S("大学专科"), {}}};
    codes.CodePostList = {{12, S("地厅级公务员"), {}}, {41, S("管理人员"), {}}, {64, S("其他岗位工作人员"), {}}};
    codes.CodeGradeList0 = {{10, S("无职称"), {}}, {33, S("中级"), {}}};
    codes.CodeGradeList1 = {{53, S("高级工"), {}}, {56, S("无技能等级"), {}}};

    const char* rows[][18] = {
        {"张三", "0001", "男", "否", "是", "1967年3月", "25", "10", "大学本科", "管理人员", "中级", "无技能等级",
         "在岗职工", "是", "否", "否", "否", "是"},
        {"李四", "0002", "女", "0", "1", "1980.5", "12", "5", "大学专科", "其他岗位工作人员", "无职称", "高级工",
         "在岗职工", "1", "0", "0", "0", "1"},
        {"王五", "", "M", "否", "否", "1990-13", "3", "3", "本科", "管理人员", "中级", "高级工", "临时工", "是", "否",
         "否", "是", "否"},
        {"赵六", "0004", "男", "否", "否", "1975-11", "20", "20", "大学本科", "管理人员", "无职称", "无技能等级",
         "在岗职工", "是", "否", "否", "是（持上岗证书）", "是"},
    };
    for (int i = 0; i < 4; ++i)
        for (int c = 1; c <= 18; ++c) book.SetCellText(3 + i, c, S(rows[i][c - 1]));

    SheetView view(book);
    view.resize(1300, 330);
    view.show();
    StaffRowRules rules(book, codes, StaffForm::MonthlyList, UnitClass(false, UnitClass::Kind::GeneralContract));
    EXPECT_EQ(rules.CheckRows(StaffPass::Save), 4);
    EXPECT_FALSE(rules.AllRowsValid());
    for (int c : {2, 3, 6, 9, 13}) EXPECT_TRUE(book.IsMarked(5, c)) << c;
    for (int r : {3, 4, 6})
        for (int c = 1; c <= 18; ++c) EXPECT_FALSE(book.IsMarked(r, c)) << r << "," << c;
    EXPECT_EQ(book.GetCellText(4, 6), "1980-05");

    const int id = book.ObjectIdByName("YorN");
    book.SetObjectPos(id, 13, 3, 14, 6);
    book.SetObjectLink(id, 2, 4, 14);
    book.ObjectVisible(id, true);
    QApplication::processEvents();

    const QImage shot = view.grab().toImage();
    const QString dir = qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath());
    ASSERT_TRUE(shot.save(dir + "/staff_sheet.png"));
    // The failing number cell is drawn red, a passing one is not.
    const QRect bad = view.CellRect(5, 2), good = view.CellRect(3, 2);
    const QColor badPixel = shot.pixelColor(bad.left() + 3, bad.top() + 3);
    const QColor goodPixel = shot.pixelColor(good.left() + 3, good.top() + 3);
    EXPECT_GT(badPixel.red(), 180);
    EXPECT_LT(badPixel.green(), 100);
    EXPECT_GT(goodPixel.green(), 200);

    // Scrolled down and right, the title rows and the name columns stay in place.
    for (int r = 7; r <= 60; ++r) book.SetCellText(r, 1, QString("p%1").arg(r));
    view.resize(700, 330);
    view.GoToCell(60, 18);
    QApplication::processEvents();
    const QImage scrolled = view.grab().toImage();
    ASSERT_TRUE(scrolled.save(dir + "/staff_sheet_scrolled.png"));
    EXPECT_EQ(view.CellRect(60, 18).bottom() < view.height(), true);
    EXPECT_GT(view.Table()->verticalScrollBar()->value(), 0);
    EXPECT_GT(view.Table()->horizontalScrollBar()->value(), 0);
    // The frozen name column shows row 60's name at the body's row position.
    QTableView* left = view.TableAt(60, 1);
    ASSERT_NE(left, view.Table());
    EXPECT_EQ(left->visualRect(left->model()->index(59, 0)).top(),
              view.Table()->visualRect(view.Table()->model()->index(59, 17)).top());
}
