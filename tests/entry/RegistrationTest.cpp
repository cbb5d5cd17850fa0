// The program's registrations: every staff, wage and shell form a command opens is the real
// form, not the stand-in that says it is not yet available; only the report forms are.
#include "core/app/FormFactory.h"
#include "core/app/Placeholders.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/DataModule.h"
#include "entry/EntryRegistration.h"
#include "shell/MainForm.h"
#include "shell/ShellRegistration.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// The main window with the entry and shell forms registered, as the program starts it.
class Registration : public ::testing::Test {
protected:
    Registration() {
        base.db().Close();
        RegisterEntryForms(main.forms());
        RegisterShellForms(main.forms());
        dm.DataModuleCreate();
    }
    test::TempBase base;
    ScriptedUiService ui;
    TDataModule1 dm{base.paths().Database(), ui};
    TFrm_main main{dm, ui, base.paths()};
};

TEST_F(Registration, EveryEntryAndShellFormReplacesItsPlaceholder) {
    const QStringList real = {"TFrm_dep",   "TFrm_allput",      "TFrm_perput",    "TFrm_monput",      "TFrm_mon",
                              "TFrm_wrong", "TFrm_wrontWage",   "TFrm_delPersno", "TFrm_clearChWage", "TFrm_clearChMon",
                              "TFrm_set",   "TFrm_historyfrom", "TFrm_Brower",    "TFrm_changeDep",   "TAboutFrm"};
    for (const QString& name : real) {
        std::unique_ptr<IForm> f = main.forms().Create(name);
        ASSERT_TRUE(f) << name.toStdString();
        EXPECT_FALSE(IsPlaceholder(*f)) << name.toStdString() << " is still a stand-in";
    }
    // Whatever is left is a report form, each answered by a stand-in.
    for (const QString& name : PlaceholderFormNames()) {
        if (real.contains(name)) continue;
        EXPECT_TRUE(name.startsWith(QStringLiteral("TFrm_"))) << name.toStdString();
        std::unique_ptr<IForm> f = main.forms().Create(name);
        ASSERT_TRUE(f) << name.toStdString();
        EXPECT_TRUE(IsPlaceholder(*f)) << name.toStdString();
    }
}

// A form opens over the window its opener names (the wage sheet names itself for the staff
// list), else over the main window.
TEST_F(Registration, EntryAndShellFormsOpenOverTheWindowTheyAreGiven) {
    QWidget opener;
    for (const char* name :
         {"TFrm_dep", "TFrm_allput", "TFrm_perput", "TFrm_mon", "TFrm_wrontWage", "TFrm_clearChWage", "TFrm_clearChMon",
          "TFrm_set", "TFrm_historyfrom", "TFrm_Brower", "TFrm_changeDep", "TAboutFrm"}) {
        for (QWidget* given : {&opener, static_cast<QWidget*>(nullptr)}) {
            std::unique_ptr<IForm> f = main.forms().Create(QString::fromLatin1(name), {.parent = given});
            auto* w = dynamic_cast<QWidget*>(f.get());
            ASSERT_NE(w, nullptr) << name;
            EXPECT_EQ(w->parentWidget(), given ? given : static_cast<QWidget*>(&main)) << name;
        }
    }
}

}  // namespace
}  // namespace qm
