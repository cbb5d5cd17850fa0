#include "entry/staff/PerputForm.h"

#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "tests/support/RecordingMain.h"
#include "tests/support/TempBase.h"
#include "tools/SyntheticUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace qm {
namespace {

using F = PerputField;

class PerputFormTest : public ::testing::Test {
protected:
    PerputFormTest() : ctx{base.db(), ui, base.paths(), state, pb, &main, nullptr, nullptr} {}

    std::unique_ptr<TFrm_perput> Open(const QString& depInfo, const QString& month = QStringLiteral("0"),
                                      PerputOpener opener = PerputOpener::MainWindow) {
        state.DepClass = UnitClass::Decode(QStringLiteral("企业事业单位"), depInfo);
        auto f = std::make_unique<TFrm_perput>(ctx, nullptr, Month::FromText(month), opener);
        f->show();
        QApplication::processEvents();
        return f;
    }
    void Fill(TFrm_perput& f) {
        f.Edit1->setText(QStringLiteral("赵六"));
        f.Edit2->setText(QStringLiteral("2001"));
        f.CByear->setEditText(QStringLiteral("1970"));
        f.CBm->setEditText(QStringLiteral("03"));
        f.NX1->setText(QStringLiteral("12"));
        f.NX2->setText(QStringLiteral("4"));
    }
    int Count(const QString& where = QStringLiteral("1=1")) {
        return base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where ") + where).toInt();
    }

    test::TempBase base;
    ScriptedUiService ui;
    MainState state;
    MemoryProgress pb;
    test::RecordingMain main;
    AppContext ctx;
};

TEST_F(PerputFormTest, GridHeadsAndCodedColumnsShowTheirTextsWhole) {
    auto f = Open(QStringLiteral("是1"));
    EXPECT_EQ(f->DBG1->Columns()[13]->Title()->Caption(), QStringLiteral("具有国家评定的专业技能等级"));
    const QFontMetrics fm(f->DBG1->Columns()[11]->Font());
    EXPECT_GT(f->DBG1->Columns()[11]->Width(), fm.horizontalAdvance(QStringLiteral("专业技术岗位工作人员")));
}

TEST_F(PerputFormTest, ShowFillsTheCombosAndFollowsTheUnitClass) {
    auto f = Open(QStringLiteral("规上"));
    EXPECT_EQ(f->D1->count(), 2);
    EXPECT_EQ(f->D1->currentText(), "男");
    EXPECT_EQ(f->CByear->count(), 72);
    EXPECT_EQ(f->CByear->currentText(), "");
    EXPECT_EQ(f->CBm->currentText(), "01");
    EXPECT_EQ(f->Mz->currentText(), "是");
    EXPECT_EQ(f->sg->itemText(2), "是（持上岗证书）");
    EXPECT_TRUE(f->B3->isHidden());
    EXPECT_FALSE(f->GB->isHidden());
    EXPECT_FALSE(f->yg->isVisibleTo(f.get()) == false);
    EXPECT_FALSE(f->gc->isVisibleTo(f.get()));
    EXPECT_FALSE(f->DBG1->Columns()[16]->Visible());
    EXPECT_TRUE(f->DBG1->Columns()[19]->Visible());
    EXPECT_FALSE(f->DBG1->Columns()[0]->Visible());
    EXPECT_FALSE(f->DBG1->Columns()[10]->Visible());
    EXPECT_EQ(f->Panel(0), "共0条");
    EXPECT_FALSE(f->N1->isEnabled());

    auto other = Open(QStringLiteral("否"));
    EXPECT_TRUE(other->GB->isHidden());
    EXPECT_FALSE(other->DBG1->Columns()[19]->Visible());
    auto building = Open(QStringLiteral("是1"));
    EXPECT_TRUE(building->gc->isVisibleTo(building.get()));
    EXPECT_TRUE(building->DBG1->Columns()[17]->Visible());
}

TEST_F(PerputFormTest, AddThroughTheFormResetsTheFieldsAndRefreshes) {
    auto f = Open(QStringLiteral("否"), QStringLiteral("0"));
    Fill(*f);
    f->D3->setCurrentIndex(2);
    f->B1Click();
    EXPECT_TRUE(ui.shown.empty()) << ui.Texts().join(" | ").toStdString();
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(base.Scalar(QStringLiteral("select sBirth || sMon || sIsok from Staff_moninfo")), "1970-0301");
    EXPECT_EQ(f->Edit1->text(), "");
    EXPECT_EQ(f->CByear->currentText(), "1942");
    EXPECT_EQ(f->Panel(0), "共1条");
    EXPECT_TRUE(f->N1->isEnabled());
    EXPECT_EQ(main.initialRefreshes, 1);
    // The number column keeps the width the form asked for once the rows have arrived.
    EXPECT_EQ(f->DBG1->Columns()[1]->Width(), 64);
}

TEST_F(PerputFormTest, InvalidFieldPaintsRedAndAFailedCheckIsNotForgotten) {
    auto f = Open(QStringLiteral("否"));
    Fill(*f);
    f->D3->setEditText(QStringLiteral("不存在的岗位"));
    f->FieldExit(F::Post);
    EXPECT_TRUE(f->IsRed(F::Post));
    f->FieldExit(F::Edu);  // leaving a valid field afterwards
    EXPECT_FALSE(f->IsRed(F::Edu));
    f->B1Click();
    EXPECT_EQ(ui.Texts(), QStringList{perput::kFixRed});
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(f->Edit1->text(), "赵六");  // the fields are kept

    ui.Clear();
    f->CByear->setEditText(QStringLiteral("1994"));
    f->FieldExit(F::Year);
    EXPECT_EQ(ui.Texts(), QStringList{perput::kAgeRange});
    EXPECT_TRUE(f->IsRed(F::Year));
    ui.Clear();
    f->CByear->setEditText(QStringLiteral("199"));
    f->FieldExit(F::Year);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(f->IsRed(F::Year));

    f->NX1->setText(QStringLiteral("5"));
    f->NX2->setText(QStringLiteral("8"));
    f->FieldExit(F::Work);
    EXPECT_TRUE(f->IsRed(F::Works));
    EXPECT_TRUE(f->IsRed(F::Work));
    f->NX2->setText(QStringLiteral("5"));
    f->FieldExit(F::Work);
    EXPECT_FALSE(f->IsRed(F::Works));
}

TEST_F(PerputFormTest, LeavingAFieldByFocusRunsItsCheck) {
    auto f = Open(QStringLiteral("否"));
    f->activateWindow();
    f->D2->setFocus();
    QApplication::processEvents();
    f->D2->setEditText(QStringLiteral("留学"));
    f->D3->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != f->D3 && !f->D3->isAncestorOf(QApplication::focusWidget()))
        GTEST_SKIP() << "no keyboard focus on this platform";
    EXPECT_TRUE(f->IsRed(F::Edu));
    // Enter moves on as Tab does.
    QTest::keyClick(f->Edit1, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), f->Edit1);
}

TEST_F(PerputFormTest, ModifyDeleteAndClearThroughThePopup) {
    synth::WriteStaffMonth(base.db(), synth::MakePersons(3), 2);
    base.db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0', sGw='科长'"));
    auto f = Open(QStringLiteral("否"), QStringLiteral("2"), PerputOpener::MonthList);
    ASSERT_EQ(f->Panel(0), "共3条");
    f->DataSet()->SetRecNo(2);
    const QString id = f->DataSet()->FieldByName(QStringLiteral("id"))->AsString();
    f->N1Click();
    EXPECT_TRUE(f->InModifyMode());
    EXPECT_EQ(f->PageControl1->currentIndex(), 0);
    EXPECT_EQ(f->Edit2->text(), "000002");
    f->Edit1->setText(QStringLiteral("新名字"));
    f->B3Click();
    EXPECT_EQ(ui.Texts(), QStringList{perput::kModified});
    EXPECT_FALSE(f->InModifyMode());
    EXPECT_EQ(f->CByear->currentText(), "1941");
    EXPECT_EQ(base.Scalar(QStringLiteral("select sName || sIsok || sGw from Staff_moninfo where id=?"), {id}),
              "新名字1科长");

    ui.Clear();
    f->DataSet()->SetRecNo(1);
    f->N2Click();  // no question asked
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(Count(), 2);
    EXPECT_TRUE(f->Panel(1).endsWith(QStringLiteral(" 删除成功！")));
    EXPECT_EQ(main.monthRefreshes, 1);

    ui.answers = {DlgAnswer::No};
    f->N4Click();
    EXPECT_EQ(Count(), 2);
    ui.answers = {DlgAnswer::Yes};
    f->N4Click();
    EXPECT_EQ(ui.Texts().last(), perput::kConfirmClear);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(f->Panel(1), "成功删除！");
    EXPECT_EQ(f->Panel(0), "共0条");
    EXPECT_FALSE(f->N2->isEnabled());
}

TEST_F(PerputFormTest, LoadingARowForModifyRunsTheYearCheckWithItsMessage) {
    synth::WriteStaffMonth(base.db(), synth::MakePersons(2), 0);
    base.db().Exec(QStringLiteral("update Staff_moninfo set sBirth='1995-04' where sNumber='000002'"));
    auto f = Open(QStringLiteral("否"));
    f->DataSet()->SetRecNo(1);
    f->N1Click();
    EXPECT_TRUE(ui.shown.empty()) << ui.Texts().join(" | ").toStdString();
    EXPECT_FALSE(f->IsRed(F::Year));
    f->DataSet()->SetRecNo(2);
    f->N1Click();
    EXPECT_EQ(ui.Texts(), QStringList{perput::kAgeRange});
    EXPECT_TRUE(f->IsRed(F::Year));
    EXPECT_EQ(f->CByear->currentText(), "1995");
    EXPECT_EQ(f->CBm->currentText(), "04");
    EXPECT_TRUE(f->InModifyMode());
}

// A number another person carries: 增加 paints it red and names it; a person loaded for 修改
// shows that person's number unmarked.
TEST_F(PerputFormTest, ANumberAnotherPersonCarriesIsPaintedUntilAPersonIsLoaded) {
    synth::WriteStaffMonth(base.db(), synth::MakePersons(2), 0);
    auto f = Open(QStringLiteral("否"));
    Fill(*f);
    f->Edit2->setText(QStringLiteral("000001"));
    f->B1Click();
    EXPECT_TRUE(f->IsRed(F::Number) && ui.Texts().join(QString()).contains(QStringLiteral("“000001”")));
    f->N1Click();
    EXPECT_FALSE(f->IsRed(F::Number));
    EXPECT_EQ(Count(), 2);
}

TEST_F(PerputFormTest, GridKeysDeleteNothing) {
    synth::WriteStaffMonth(base.db(), synth::MakePersons(3), 0);
    auto f = Open(QStringLiteral("否"));
    f->DBG1->setFocus();
    QTest::keyClick(f->DBG1, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(f->DBG1, Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(f->DataSet()->RecordCount(), 3);
}

TEST_F(PerputFormTest, SearchesShowTheirRows) {
    auto persons = synth::MakePersons(4);
    persons[1].sName = QStringLiteral("O'Hara");
    persons[3].sName = persons[0].sName;
    synth::WriteStaffMonth(base.db(), persons, 0);
    auto f = Open(QStringLiteral("否"));
    f->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(f->PageControl1->height(), 80);
    f->Edit3->setText(QStringLiteral("'"));
    f->BitBtn5Click();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(f->Panel(0), "共1条");
    f->BitBtn6Click();
    EXPECT_EQ(f->Panel(0), "共2条");
    EXPECT_EQ(f->Panel(1), "查看同名");
    f->BitBtn7Click();
    EXPECT_EQ(f->Panel(0), "共0条");
    f->BitBtn9Click();
    EXPECT_EQ(f->Panel(0), "共4条");
    EXPECT_EQ(f->Panel(1), "查看全部");
}

TEST_F(PerputFormTest, CloseRefreshesTheOpener) {
    int refreshed = 0;
    {
        auto f = Open(QStringLiteral("否"), QStringLiteral("3"), PerputOpener::MonthList);
        f->RefreshOpener = [&] { ++refreshed; };
        f->BitBtn4Click();
        EXPECT_EQ(refreshed, 1);
    }
    {
        auto f = Open(QStringLiteral("否"), QStringLiteral("0"), PerputOpener::BatchSheet);
        f->RefreshOpener = [&] { ++refreshed; };
        f->close();  // the window's own close button too
        EXPECT_EQ(refreshed, 2);
    }
    {
        auto f = Open(QStringLiteral("否"), QStringLiteral("0"), PerputOpener::MainWindow);
        f->RefreshOpener = [&] { ++refreshed; };
        f->BitBtn4Click();
        EXPECT_EQ(refreshed, 2);
    }
}

TEST_F(PerputFormTest, ScreenshotOverAUnitOf200) {
    synth::WriteUnit(base.db());
    synth::WriteStaffMonth(base.db(), synth::MakePersons(200), 0);
    auto f = Open(QStringLiteral("是1"));
    Fill(*f);
    f->D3->setEditText(QStringLiteral("不存在的岗位"));
    f->FieldExit(F::Post);
    QApplication::processEvents();
    EXPECT_EQ(f->Panel(0), "共200条");
    const QString dir = QDir::tempPath() + QStringLiteral("/qm-shots");
    QDir().mkpath(dir);
    EXPECT_TRUE(f->grab().save(dir + QStringLiteral("/perput.png")));
    f->PageControl1->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(f->grab().save(dir + QStringLiteral("/perput-search.png")));
}

}  // namespace
}  // namespace qm
