// The staff sheets with real keys and pointer: each key typed into the frozen name and number
// columns reaches the cell once, a code list closes when an item is picked, Delete clears.
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/AllputTestSupport.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RealDisplay.h"

#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QTableView>

#include <gtest/gtest.h>

namespace real = qm::test::real;

namespace qm::test {
namespace {

QPoint CellCentre(SheetView* view, int row, int col) {
    QTableView* t = view->TableAt(row, col);
    return t->viewport()->mapToGlobal(t->visualRect(t->model()->index(row - 1, col - 1)).center());
}

// Keys of their own, for the life of the test, for the characters of `text` the keyboard
// lacks: xdotool then presses them as it finds them, instead of binding a spare key for the
// moment of each press, a moment the client may miss (and the character with it).
class KeysFor {
public:
    explicit KeysFor(const QString& text) {
        QProcess dump;
        dump.start("xmodmap", {"-pke"});
        dump.waitForFinished();
        QList<int> spare;
        for (const QString& line : QString::fromLatin1(dump.readAllStandardOutput()).split('\n')) {
            const QStringList parts = line.simplified().split(' ');  // "keycode N =" and its keysyms
            if (parts.size() == 3 && parts[0] == "keycode" && parts[2] == "=" && parts[1].toInt() > 8)
                spare << parts[1].toInt();
        }
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80 || spare.isEmpty()) continue;
            const int code = spare.takeLast();
            Map(code, QString("U%1").arg(ch.unicode(), 4, 16, QChar('0')).toUpper());
            bound_ << code;
        }
        real::Settle(200);  // the client reads the new map
    }
    ~KeysFor() {
        for (int code : bound_) Map(code, QString());
    }

private:
    static void Map(int code, const QString& keysym) {
        const int rc = QProcess::execute("xmodmap", {"-e", QString("keycode %1 = %2").arg(code).arg(keysym)});
        EXPECT_EQ(rc, 0) << "xmodmap";
    }
    QList<int> bound_;
};

// Clicks a cell of the sheet, types into it and ends the edit with Return.
void TypeInto(SheetView* view, int row, int col, const QString& text) {
    real::Click(CellCentre(view, row, col));
    real::Type(text);
    real::Key("Return");
}

class AllputTyping : public AllputFixture {};

TEST_F(AllputTyping, NameAndNumberAreStoredAsTyped) {
    TFrm_allput form(ctx);
    ASSERT_TRUE(real::ShowActive(&form));
    const KeysFor keys(QStringLiteral("张三"));
    TypeInto(form.View(), 3, 2, "001");
    TypeInto(form.View(), 3, 1, QStringLiteral("张三"));
    EXPECT_EQ(form.Book().GetCellText(3, 2), "001");
    EXPECT_EQ(form.Book().GetCellText(3, 1), QStringLiteral("张三"));
    form.BitBtn7Click();
    EXPECT_EQ(Scalar("select sNumber || '|' || sName from Staff_moninfo where sMon=0"), QStringLiteral("001|张三"));
}

TEST(MonputTyping, NameAndNumberAreStoredAsTyped) {
    MonputEnv env("否", "2");
    TFrm_monput* w = TFrm_monput::ShowList(env.ctx);
    ASSERT_TRUE(real::ShowActive(w));
    const KeysFor keys(QStringLiteral("张三"));
    TypeInto(w->View(), 3, 2, "001");
    TypeInto(w->View(), 3, 1, QStringLiteral("张三"));
    EXPECT_EQ(w->Sheet().GetCellText(3, 2), "001");
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), QStringLiteral("张三"));
    w->B3Click();
    EXPECT_EQ(env.Col("sNumber || '|' || sName", 2), QStringLiteral("001|张三"));
    delete w;
}

TEST(MonputTyping, ACodeListClosesWhenAnItemIsPickedOrThePersonClicksElsewhereAndDeleteClears) {
    MonputEnv env("否", "2");
    TFrm_monput* w = TFrm_monput::ShowList(env.ctx);
    ASSERT_TRUE(real::ShowActive(w));
    const int sex = w->Sheet().ObjectIdByName(QStringLiteral("sexCom"));
    real::DoubleClick(CellCentre(w->View(), 3, 3));
    QListWidget* list = w->View()->ObjectWidget(sex);
    ASSERT_NE(list, nullptr);
    real::SaveScreenshot(w->frameGeometry(), "monthly_list_sex_list.png");
    QListWidgetItem* man = list->findItems(QStringLiteral("男"), Qt::MatchExactly).value(0);
    ASSERT_NE(man, nullptr);
    real::Click(list->viewport()->mapToGlobal(list->visualItemRect(man).center()));
    EXPECT_EQ(w->Sheet().GetCellText(3, 3), QStringLiteral("男"));
    EXPECT_EQ(w->View()->ObjectWidget(sex), nullptr);

    // Far enough in time from the pick that the next press starts a double-click of its own.
    real::Settle(QApplication::doubleClickInterval() + 100);
    real::DoubleClick(CellCentre(w->View(), 4, 3));
    ASSERT_NE(w->View()->ObjectWidget(sex), nullptr);
    real::Click(CellCentre(w->View(), 6, 9));
    EXPECT_EQ(w->View()->ObjectWidget(sex), nullptr);
    EXPECT_EQ(w->Sheet().GetCellText(4, 3), QString());

    // Delete empties the selected cell.
    real::Click(CellCentre(w->View(), 3, 3));
    real::Key("Delete");
    EXPECT_EQ(w->Sheet().GetCellText(3, 3), QString());
    delete w;
}

}  // namespace
}  // namespace qm::test
