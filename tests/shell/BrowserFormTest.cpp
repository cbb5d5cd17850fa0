#include "shell/BrowserForm.h"

#include "core/app/FormInterfaces.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/unit/Gates.h"
#include "shell/ChangeDepForm.h"
#include "shell/ShellRegistration.h"
#include "tests/support/TempBase.h"
#include "tools/SyntheticUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <vector>

#include "tests/support/RecordingMain.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Records which forms were shown, the month each was made for, and with what a single-person
// form was given.
struct Opened {
    QStringList names;
    std::vector<std::optional<Month>> made;
    std::optional<Month> monthNo;
    std::optional<PerputOpener> opener;
};
struct RecordingForm : IPerput {
    RecordingForm(Opened& o, QString n, const FormArgs& a) : opened(o), name(std::move(n)), args(a) {}
    Month MonthNo() const override { return args.month.value_or(Month::Start()); }
    PerputOpener Opener() const override { return args.opener; }
    void ShowModal() override {
        opened.names << name;
        opened.monthNo = MonthNo();
        opened.opener = Opener();
    }
    void ShowModeless(std::unique_ptr<IForm>) override { opened.names << name; }
    Opened& opened;
    QString name;
    FormArgs args;
};

class BrowserFormTest : public ::testing::Test {
protected:
    BrowserFormTest() : ctx{base.db(), ui, base.paths(), state, pb, &main, &forms, nullptr}, forms(ctx) {
        for (const char* n : {"TFrm_dep", "TFrm_allput", "TFrm_perput"}) {
            const QString name = QString::fromLatin1(n);
            forms.Register(name, [this, name](AppContext&, const FormArgs& args) {
                opened.made.push_back(args.month);
                return std::make_unique<RecordingForm>(opened, name, args);
            });
        }
        state.DepName = QStringLiteral("江南示范机械制造有限公司");
        state.DepNo = QStringLiteral("12345678X");
        state.DepClass = UnitClass(false, UnitClass::Kind::Other);
        state.DepType = QStringLiteral("企业事业单位");
        state.DepInfo = QStringLiteral("否");
    }
    void Add(int month, const char* name) {
        base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber) values (?, ?, '1')"),
                       {month, QString::fromUtf8(name)});
    }
    std::unique_ptr<TFrm_Brower> Open() {
        auto f = std::make_unique<TFrm_Brower>(ctx);
        f->resize(1200, 700);
        f->show();
        f->FormActivate();  // offscreen windows are not activated
        QApplication::processEvents();
        return f;
    }
    QStringList Names(TFrm_Brower& f) {
        QStringList out;
        grid::TDataSet* ds = f.DataSet();
        if (!ds) return out;
        for (ds->First(); !ds->Eof(); ds->Next()) out << ds->FieldByName(QStringLiteral("sName"))->AsString();
        return out;
    }
    void Search(TFrm_Brower& f, const QString& text) {
        f.Cb1->setEditText(text);
        QTest::keyClick(f.Cb1->lineEdit(), Qt::Key_Return);
    }

    test::TempBase base;
    ScriptedUiService ui;
    MainState state;
    MemoryProgress pb;
    test::RecordingMain main;
    AppContext ctx;
    FormFactory forms;
    Opened opened;
};

TEST_F(BrowserFormTest, MonthListAndFirstMonthOnActivation) {
    Add(2, "王五");
    Add(0, "张三");
    Add(1, "李四");
    Add(0, "赵六");
    auto f = Open();
    QStringList items;
    for (int i = 0; i < f->MonCb->count(); ++i) items << f->MonCb->itemText(i);
    EXPECT_EQ(items, (QStringList{"期初", "一月", "二月"}));
    EXPECT_EQ(f->MonCb->currentIndex(), 0);
    EXPECT_EQ(Names(*f), (QStringList{"张三", "赵六"}));
    EXPECT_EQ(f->StatusText(), "  期初, 共有2条记录。");
    EXPECT_EQ(f->Label2->text(), "单位名称：江南示范机械制造有限公司");
    EXPECT_EQ(f->Label5->text(), "资质建筑业单位：否");
    EXPECT_EQ(f->DBG1->Columns()[1]->Field()->FieldName(), "sNumber");
    EXPECT_FALSE(f->DBG1->Columns()[10]->Visible());

    f->MonCb->setCurrentIndex(2);
    f->MonCbChange();
    EXPECT_EQ(Names(*f), QStringList{"王五"});
    EXPECT_EQ(f->StatusText(), "  二月, 共有1条记录。");
    // A caption that names no month with rows leaves the rows as they were.
    f->CheckMonthChage(QStringLiteral("五月"));
    EXPECT_EQ(Names(*f), QStringList{"王五"});
    // So does a caption that matches no month at all.
    f->CheckMonthChage(QStringLiteral("十三月"));
    EXPECT_EQ(Names(*f), QStringList{"王五"});
    EXPECT_EQ(f->StatusText(), "  二月, 共有1条记录。");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(BrowserFormTest, NoStaffRowsShowsAnEmptyListWithoutAnError) {
    auto f = Open();
    EXPECT_TRUE(ui.shown.empty()) << ui.Texts().join("|").toStdString();
    EXPECT_EQ(f->MonCb->count(), 0);
    EXPECT_TRUE(Names(*f).isEmpty());
    EXPECT_EQ(f->StatusText(), "  共有0条记录。");
    Search(*f, QStringLiteral("张"));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(Names(*f).isEmpty());

    // Rows that were on screen go when the last list is gone.
    Add(0, "张三");
    f->FormActivate();
    EXPECT_EQ(Names(*f), QStringList{"张三"});
    base.db().Exec(QStringLiteral("delete from Staff_moninfo"));
    f->FormActivate();
    EXPECT_TRUE(Names(*f).isEmpty());
    EXPECT_EQ(f->StatusText(), "  共有0条记录。");
}

TEST_F(BrowserFormTest, NameSearchIsBoundAndStaysInTheMonth) {
    Add(0, "张三");
    Add(0, "李四");
    Add(1, "张三丰");
    auto f = Open();
    Search(*f, QStringLiteral("张'"));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(Names(*f).isEmpty());
    EXPECT_EQ(f->StatusText(), "  期初, 共有0条记录。");
    Search(*f, QStringLiteral("张"));
    EXPECT_EQ(Names(*f), QStringList{"张三"});
    EXPECT_EQ(f->StatusText(), "  期初, 共有1条记录。");
    Search(*f, QStringLiteral("钱"));
    EXPECT_TRUE(Names(*f).isEmpty());
    EXPECT_TRUE(f->StatusText().endsWith(QStringLiteral("共有0条记录。")));
    // Other keys search nothing.
    f->Cb1->setEditText(QStringLiteral("李"));
    QTest::keyClick(f->Cb1->lineEdit(), Qt::Key_Tab);
    EXPECT_TRUE(Names(*f).isEmpty());
}

TEST_F(BrowserFormTest, GridIsReadOnly) {
    Add(0, "张三");
    Add(0, "李四");
    auto f = Open();
    f->DBG1->setFocus();
    QTest::keyClick(f->DBG1, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(f->DBG1, Qt::Key_Delete);
    QTest::keyClick(f->DBG1, Qt::Key_Insert);
    QApplication::processEvents();
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo")), "2");
    EXPECT_EQ(Names(*f).size(), 2);
    EXPECT_FALSE(f->DBG1->Options().Has(grid::dgEditing));
    EXPECT_TRUE(f->DBG1->Options().Has(grid::dgRowSelect));
}

TEST_F(BrowserFormTest, EntryButtonsPassTheUnitGate) {
    auto f = Open();
    main.unit = false;
    f->ToolButton4Click();
    f->ToolButton3Click();
    EXPECT_EQ(ui.Texts(), (QStringList{"请先填写单位基本信息！", "请先填写单位基本信息！"}));
    EXPECT_EQ(opened.names, (QStringList{"TFrm_dep", "TFrm_dep"}));

    main.unit = true;
    opened = {};
    f->ToolButton3Click();
    ASSERT_EQ(opened.made.size(), 1u);
    EXPECT_EQ(opened.made[0], Month::Start());  // the batch sheet, not the register, whatever the menu chose
    f->ToolButton4Click();
    EXPECT_EQ(opened.names, (QStringList{"TFrm_allput", "TFrm_perput"}));
    EXPECT_EQ(opened.monthNo, Month::Start());
    EXPECT_EQ(opened.opener, PerputOpener::MainWindow);
}

TEST_F(BrowserFormTest, ReturningFromAnotherProgramKeepsMonthAndSearch) {
    Add(0, "张三");
    Add(1, "李四");
    Add(1, "李小龙");
    auto f = Open();
    f->MonCb->setCurrentIndex(1);
    f->MonCbChange();
    Search(*f, QStringLiteral("小"));
    ASSERT_EQ(Names(*f), QStringList{"李小龙"});
    // The program loses the focus to another program and gets it back on the browser.
    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(f.get());
    QApplication::processEvents();
    EXPECT_EQ(f->MonCb->currentText(), QStringLiteral("一月"));
    EXPECT_EQ(f->Cb1->currentText(), QStringLiteral("小"));
    EXPECT_EQ(Names(*f), QStringList{"李小龙"});

    // Only a turn from another window of the program reloads; not a box of the browser's own.
    QWidget other, own(f.get(), Qt::Dialog);
    EXPECT_TRUE(TFrm_Brower::ShouldReloadOnActivation(f.get(), &other));
    EXPECT_FALSE(TFrm_Brower::ShouldReloadOnActivation(f.get(), nullptr));
    EXPECT_FALSE(TFrm_Brower::ShouldReloadOnActivation(f.get(), &own));
    EXPECT_FALSE(TFrm_Brower::ShouldReloadOnActivation(f.get(), f.get()));
}

TEST_F(BrowserFormTest, ActivationShowsTheRenamedUnit) {
    auto f = Open();
    state.DepName = QStringLiteral("新名称有限公司");
    f->FormActivate();
    EXPECT_EQ(f->Label2->text(), "单位名称：新名称有限公司");
}

// The class labels show DepType and DepInfo as stored, also texts the program's own classes
// do not spell so (a unit taken over from elsewhere).
TEST_F(BrowserFormTest, TheClassLabelsShowTheStoredTypeAndQualification) {
    base.db().Exec(
        QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                       "values ('江南', '12345678X', '事业单位', '是', '1', '99')"));
    ASSERT_TRUE(Gates(base.db(), state, ui).LoadUnitInfo());
    auto f = Open();
    EXPECT_EQ(f->Label4->text() + f->Label5->text(), QStringLiteral("单位属性：事业单位资质建筑业单位：是"));
}

TEST_F(BrowserFormTest, RegisteredWithTheFactory) {
    FormFactory all(ctx);
    RegisterShellForms(all);
    for (const char* n : {"TFrm_Brower", "TFrm_changeDep", "TAboutFrm"})
        EXPECT_TRUE(all.IsRegistered(QString::fromLatin1(n))) << n;
    auto changeDep = all.Create(QStringLiteral("TFrm_changeDep"));
    auto* dlg = dynamic_cast<TFrm_changeDep*>(changeDep.get());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), "修改操作单位");
    ASSERT_EQ(dlg->DBGridX1->Columns().Count(), 4);
    EXPECT_EQ(dlg->DBGridX1->Columns()[0]->Title()->Caption(), "企业法人代码");
    EXPECT_EQ(dlg->DBGridX1->Columns()[1]->Width(), 144);
    EXPECT_EQ(dlg->DBGridX1->Columns()[3]->Title()->Caption(), "是否资质建筑业单位");
    dlg->show();
    dlg->BitBtn1->click();  // 确定 does nothing
    EXPECT_TRUE(dlg->isVisible());
    dlg->BitBtn2->click();
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(BrowserFormTest, ScreenshotOverAUnitOf200) {
    synth::WriteStaffMonth(base.db(), synth::MakePersons(200), 0);
    synth::WriteStaffMonth(base.db(), synth::MakePersons(198, 7), 1);
    auto f = Open();
    EXPECT_EQ(f->StatusText(), "  期初, 共有200条记录。");
    const QString dir = QDir::tempPath() + QStringLiteral("/qm-shots");
    QDir().mkpath(dir);
    EXPECT_TRUE(f->grab().save(dir + QStringLiteral("/browser.png")));
    auto changeDep = std::make_unique<TFrm_changeDep>(ctx);
    changeDep->show();
    QApplication::processEvents();
    EXPECT_TRUE(changeDep->grab().save(dir + QStringLiteral("/changedep.png")));
}

}  // namespace
}  // namespace qm
