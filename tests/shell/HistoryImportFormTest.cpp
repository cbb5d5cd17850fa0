// The history-import wizard: the folder chosen, the choice asked for, the import run with the
// wizard's own bar. What an import takes over is tested with the import itself (core/unit).
#include "core/db/Schema.h"
#include "shell/HistoryImportForm.h"
#include "tests/support/MaintFixture.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace qm;

namespace {

class HistoryImportFormTest : public ::testing::Test, public qm::test::MaintFixture {};

TEST_F(HistoryImportFormTest, TheWizardStartsWithNoChoiceAndTestsTheChosenFolder) {
    // An old installation with two persons in month 5 and one without a month.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("old"));
    QDir().mkpath(folder + QStringLiteral("/Database"));
    {
        const QString file = folder + QStringLiteral("/Database/RCdatabase.mdb");
        CreateEmptyDatabase(file);
        db::Connection old;
        old.Open(file);
        for (const auto& [mon, number] :
             std::vector<std::pair<db::Value, const char*>>{{5, "001"}, {5, "002"}, {db::Value(), "003"}})
            old.Exec(
                QStringLiteral("insert into Staff_moninfo(sMon,sName,sNumber,sSex,sIsok) values(?,'某人',?,1,'1')"),
                {mon, number});
    }
    TFrm_historyfrom f(ctx);
    ui.paths = {dir.filePath(QStringLiteral("elsewhere"))};
    f.SpeedButton1Click();
    EXPECT_EQ(ui.shown[0].title, QStringLiteral("请选择原系统安装目录"));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("路径选择错误，请核对。")});
    EXPECT_TRUE(f.Dir->text().isEmpty());

    ui.Clear();
    ui.paths = {folder};
    f.SpeedButton1Click();
    f.SpeedButton2Click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("请Step2:选择导入数据选项。")});
    f.RgItems->button(2)->setChecked(true);
    ui.Clear();
    f.SpeedButton2Click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("导入完成，共2条月度人员记录。\n"
                                                     "另有1条人员记录没有有效的月份，未导入。")});
    EXPECT_EQ(pb.values, std::vector<int>{});  // the wizard moves its own bar
}

}  // namespace
