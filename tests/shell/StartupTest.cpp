#include "core/base/ScriptedUiService.h"
#include "core/db/DataModule.h"
#include "shell/MainWindow.h"
#include "tests/shell/MainFixture.h"
#include "tests/support/TempBase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(Startup, AMissingDatabaseShowsTheErrorBoxThenAUsableWindowAndCreatesNoFile) {
    QTemporaryDir dir;
    qm::AppPaths paths(dir.path());
    qm::ScriptedUiService ui;
    qm::TDataModule1 dm(paths.Database(), ui);
    qm::TFrm_main main(dm, ui, paths);
    dm.DataModuleCreate();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].title, QStringLiteral("Quillmarsh.2012版"));
    EXPECT_TRUE(dm.Connect());
    main.show();
    // The show handler fails at its first query: a second box, and the caption unmarked.
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].title, QStringLiteral("Quillmarsh.2012版"));
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Quillmarsh.2012版"));
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(QFileInfo::exists(paths.Database()));
    EXPECT_TRUE(QFileInfo(paths.Error()).isDir());
    main.close();
    EXPECT_FALSE(dm.ADOConn.IsOpen());
}

TEST(Startup, AnEmptyDatabaseOpensAndTheCaptionSaysNoUnitIsRegistered) {
    qm::test::TempBase b;
    b.db().Close();
    qm::ScriptedUiService ui;
    qm::TDataModule1 dm(b.paths().Database(), ui);
    qm::TFrm_main main(dm, ui, b.paths());
    // The unit form is recorded instead of shown, so nothing waits for a person.
    qm::test::FormRecorder rec;
    main.forms().Register(QStringLiteral("TFrm_dep"), [&](qm::AppContext& c) -> std::unique_ptr<qm::IForm> {
        return std::make_unique<qm::test::RecordingForm>(rec, c, QStringLiteral("TFrm_dep"));
    });
    dm.DataModuleCreate();
    EXPECT_TRUE(dm.ADOConn.IsOpen());
    main.show();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Quillmarsh.2012版[未登记]"));
    // The unit form comes up once the window is on screen, not inside its show event.
    EXPECT_TRUE(rec.Shown().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(rec.Shown(), QStringList{QStringLiteral("TFrm_dep:modal")});
    main.close();
    main.close();  // closing twice does nothing more
    EXPECT_FALSE(dm.ADOConn.IsOpen());
}

}  // namespace
