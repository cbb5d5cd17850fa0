#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"

#include <gtest/gtest.h>

namespace {

TEST(Guarded, SilentStopShowsNothingOtherErrorsShowThePlainBox) {
    qm::ScriptedUiService ui;
    EXPECT_FALSE(qm::Guarded(ui, [] { qm::Abort(); }));
    EXPECT_TRUE(ui.shown.empty());

    EXPECT_FALSE(qm::Guarded(ui, [] { throw qm::db::Error(QStringLiteral("no such table: X")); }));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, QStringLiteral("Quillmarsh.2012版"));
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("no such table: X"));

    EXPECT_TRUE(qm::Guarded(ui, [] {}));
    EXPECT_EQ(ui.shown.size(), 1u);

    // The engine's own words for a database another program holds, or one that is read-only,
    // reach the person in Chinese.
    qm::Guarded(ui, [] { throw qm::db::Error(QStringLiteral("database is locked"), 5); });
    qm::Guarded(ui, [] { throw qm::db::Error(QStringLiteral("attempt to write a readonly database"), 8); });
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[1].text, QStringLiteral("数据库正被其他程序使用（已锁定）。请关闭使用它的程序后再试。"));
    EXPECT_TRUE(ui.shown[2].text.startsWith(QStringLiteral("数据库文件是只读的")));
}

TEST(ScriptedUi, AnswersFromTheScriptAndRecordsKindsAndTitles) {
    qm::ScriptedUiService ui;
    ui.answers = {qm::DlgAnswer::Yes};
    EXPECT_TRUE(ui.AskYesNo(QStringLiteral("Yes:清空，无法恢复；No:不清空。"), qm::DlgKind::Information));
    EXPECT_FALSE(ui.AskYesNo(QStringLiteral("again")));  // script exhausted: the default answer, No
    ui.ConfirmYesOnly(QStringLiteral("[2]月工资数据还有错误"));
    ui.Stop(QStringLiteral("没有输入月工资信息！"));
    ASSERT_EQ(ui.shown.size(), 4u);
    EXPECT_EQ(ui.shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(ui.shown[0].buttons, qm::DlgButtons::YesNo);
    EXPECT_EQ(ui.shown[1].title, QStringLiteral("确认"));
    EXPECT_EQ(ui.shown[2].buttons, qm::DlgButtons::YesOnly);
    EXPECT_EQ(ui.shown[3].title, QStringLiteral("消息"));
}

TEST(Progress, ValuesOutsideTheRangeAreHeldAtTheNearestEnd) {
    qm::MemoryProgress pb;
    pb.SetPosition(150);
    EXPECT_EQ(pb.Position(), 100);
    pb.SetPosition(-3);
    EXPECT_EQ(pb.Position(), 0);
    pb.SetPosition(42);
    EXPECT_EQ(pb.Position(), 42);
}

}  // namespace
