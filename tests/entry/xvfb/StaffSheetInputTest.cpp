// The staff sheets with real keys: each key typed into the frozen name and number columns
// reaches the cell once.
#include "entry/staff/AllputForm.h"
#include "entry/staff/MonputForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tests/support/RealDisplay.h"

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
        QList<int> spare;  // "keycode N =" with no keysym
        for (const QString& line : QString::fromLatin1(dump.readAllStandardOutput()).split('\n'))
            if (const QStringList p = line.simplified().split(' '); p.size() == 3 && p[2] == "=" && p[1].toInt() > 8)
                spare << p[1].toInt();
        for (const QChar ch : text)
            if (ch.unicode() >= 0x80 && !spare.isEmpty()) Map(bound_.emplaceBack(spare.takeLast()), ch.unicode());
        real::Settle(200);  // the client reads the new map
    }
    ~KeysFor() {
        for (int code : bound_) Map(code, 0);
    }

private:
    static void Map(int code, ushort ch) {
        const QString keysym = ch ? QString("U%1").arg(ch, 4, 16, QChar('0')) : QString();
        EXPECT_EQ(QProcess::execute("xmodmap", {"-e", QString("keycode %1 = %2").arg(code).arg(keysym)}), 0);
    }
    QList<int> bound_;
};

// Clicks a cell of the sheet, types into it and ends the edit with Return.
void TypeInto(SheetView* view, int row, int col, const QString& text) {
    real::Click(CellCentre(view, row, col));
    real::Type(text);
    real::Key("Return");
}

TEST(StaffSheetInput, NameAndNumberAreStoredAsTypedInTheBatchSheetAndTheMonthlyList) {
    MonputEnv env("否", "0");
    const KeysFor keys(QStringLiteral("张三"));
    {
        TFrm_allput batch(env.ctx);
        ASSERT_TRUE(real::ShowActive(&batch));
        TypeInto(batch.View(), 3, 2, "001");
        TypeInto(batch.View(), 3, 1, QStringLiteral("张三"));
        batch.BitBtn7Click();
    }
    env.state.CurrentMonth = Month(2);
    std::unique_ptr<TFrm_monput> list(TFrm_monput::ShowList(env.ctx));
    ASSERT_TRUE(real::ShowActive(list.get()));
    TypeInto(list->View(), 3, 2, "001");
    TypeInto(list->View(), 3, 1, QStringLiteral("张三"));
    list->B3Click();
    EXPECT_EQ(env.Col("sNumber || '|' || sName", 0), QStringLiteral("001|张三"));
    EXPECT_EQ(env.Col("sNumber || '|' || sName", 2), QStringLiteral("001|张三"));
}

}  // namespace
}  // namespace qm::test
