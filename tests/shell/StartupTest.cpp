#include "core/base/ScriptedUiService.h"
#include "core/db/DataModule.h"
#include "shell/Application.h"
#include "shell/MainForm.h"
#include "tests/shell/MainFixture.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTranslator>

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
    main.forms().Register(QStringLiteral("TFrm_dep"),
                          [&](qm::AppContext&, const qm::FormArgs& args) -> std::unique_ptr<qm::IForm> {
                              return std::make_unique<qm::test::RecordingForm>(rec, QStringLiteral("TFrm_dep"), args);
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

namespace {

QStringList ButtonTexts(QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("消息"), QStringLiteral("x"), buttons);
    QStringList out;
    for (QAbstractButton* b : box.buttons()) out << b->text().remove(QLatin1Char('&'));
    out.sort();
    return out;
}

TEST(Startup, StandardButtonsSpeakChinese) {
    const QStringList english = ButtonTexts(QMessageBox::Ok | QMessageBox::Cancel);
    ASSERT_TRUE(qm::InstallQtChinese(*QCoreApplication::instance()));
    const QStringList okCancel = ButtonTexts(QMessageBox::Ok | QMessageBox::Cancel);
    const QStringList yesNo = ButtonTexts(QMessageBox::Yes | QMessageBox::No);
    // Leave the other tests as they found the application.
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    EXPECT_NE(english, okCancel);
    EXPECT_EQ(okCancel, (QStringList{QStringLiteral("取消"), QStringLiteral("确定")}));
    EXPECT_TRUE(yesNo.size() == 2 && yesNo.join(QString()).contains(QStringLiteral("是")) &&
                yesNo.join(QString()).contains(QStringLiteral("否")))
        << yesNo.join(QLatin1Char('|')).toStdString();
}

}  // namespace
