// The program as a person starts it: the main window over a unit's database, with every
// form registered, driven through its commands; each modal form is looked at and closed.
#include "core/base/ScriptedUiService.h"
#include "core/db/DataModule.h"
#include "core/db/Errors.h"
#include "entry/EntryRegistration.h"
#include "shell/MainForm.h"
#include "shell/ShellRegistration.h"
#include "tests/support/TempBase.h"
#include "tools/SyntheticUnit.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QTimer>

namespace qm {
namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        persons = synth::MakePersons(200);
        synth::WriteUnit(base.db());
        synth::WriteStaffMonth(base.db(), persons, 0);
        synth::WriteStaffMonth(base.db(), persons, 1);
        base.db().Close();
        dm = std::make_unique<TDataModule1>(base.paths().Database(), ui);
        main = std::make_unique<TFrm_main>(*dm, ui, base.paths());
        RegisterEntryForms(main->forms());
        RegisterShellForms(main->forms());
        dm->DataModuleCreate();
        main->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        main->close();
        main.reset();
    }

    // Runs a command; when a modal form comes up, records its class and a picture, then closes it.
    QString OpenAndClose(const std::function<void()>& command, const QString& shot) {
        QString seen;
        QTimer::singleShot(50, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            seen = QString::fromLatin1(w->metaObject()->className());
            const QString dir = qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath());
            w->grab().save(dir + QLatin1Char('/') + shot);
            w->close();
        });
        Guarded(ui, command);
        QApplication::processEvents();
        return seen;
    }

    test::TempBase base;
    std::vector<synth::Person> persons;
    ScriptedUiService ui;
    std::unique_ptr<TDataModule1> dm;
    std::unique_ptr<TFrm_main> main;
};

TEST_F(EndToEnd, TheMainWindowShowsTheUnitAndOpensTheRealForms) {
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Quillmarsh.2012版"));
    EXPECT_EQ(main->state.DepName, QStringLiteral("江南示范机械制造有限公司"));
    EXPECT_TRUE(ui.shown.empty()) << ui.Texts().join('|').toStdString();

    auto& cmd = main->commands();
    EXPECT_EQ(OpenAndClose([&] { cmd.N10Click(); }, QStringLiteral("e2e-batch.png")),
              QStringLiteral("qm::TFrm_allput"));
    EXPECT_EQ(OpenAndClose([&] { cmd.MonthClick(1); }, QStringLiteral("e2e-wage1.png")),
              QStringLiteral("qm::TFrm_mon"));
    EXPECT_EQ(OpenAndClose([&] { cmd.N13Click(); }, QStringLiteral("e2e-perput.png")),
              QStringLiteral("qm::TFrm_perput"));
    // The staff browser is the one form that stays open beside the main window.
    Guarded(ui, [&] { cmd.N56Click(); });
    QApplication::processEvents();
    QWidget* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && QString::fromLatin1(w->metaObject()->className()) == QStringLiteral("qm::TFrm_Brower"))
            browser = w;
    ASSERT_NE(browser, nullptr);
    browser->grab().save(qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath()) + QStringLiteral("/e2e-browser.png"));
    browser->close();
    EXPECT_EQ(OpenAndClose([&] { cmd.N11Click(); }, QStringLiteral("e2e-unit.png")), QStringLiteral("qm::TFrm_dep"));
    // No box came up on the way: every gate passed for a clean unit.
    EXPECT_TRUE(ui.Texts().isEmpty()) << ui.Texts().join('|').toStdString();
}

TEST_F(EndToEnd, AMonthWithoutAStaffListIsRefusedBeforeItsWageSheet) {
    // Month 2 has no list yet; the gate offers the monthly list instead of the wage sheet.
    ui.answers = {DlgAnswer::No};
    const QString seen = OpenAndClose([&] { main->commands().MonthClick(2); }, QStringLiteral("e2e-wage2.png"));
    EXPECT_NE(seen, QStringLiteral("qm::TFrm_mon"));
    EXPECT_FALSE(ui.Texts().isEmpty());
}

}  // namespace
}  // namespace qm
