// The staff error list: loading the rows in error, correcting them, and refreshing its opener.
#include "core/app/FormFactory.h"
#include "entry/EntryRegistration.h"
#include "entry/staff/DelPersnoForm.h"
#include "entry/staff/MonputCellEditors.h"
#include "entry/staff/WrongForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/MonputTestSupport.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLineEdit>

namespace qm {
namespace {

using test::MonputEnv;

// The list as an opener shows it, up to the point where it would wait for the person.
struct Opened {
    Opened(MonputEnv& env, const QString& flag) : f(env.ctx, env.ListMonth()) {
        f.SetMonflag(flag);
        f.SetOpenerRefresh([this] { ++refreshed; });
        f.Form().FormShow();
        if (!f.Form().Closed()) f.Form().FormActivate();
    }
    TFrm_wrong* operator->() { return &f.Form(); }
    WrongForm f;
    int refreshed = 0;
};

TEST(WrongForm, ACorrectedRowLeavesTheListAndTheOpenerIsRefreshed) {
    MonputEnv env("否", "4");
    const long long a = env.Store(4, "错一", "1", "0", "大专");
    env.Store(4, "好的", "2", "1");
    env.Store(4, "错二", "3", "0", "中学");
    Opened w(env, "1");
    TSheetBook& b = w->Sheet();
    EXPECT_EQ(w->StatusText(), " 共有 2 条记录！");
    EXPECT_EQ(b.GetCellText(3, 1), "错一");
    EXPECT_EQ(b.GetCellText(4, 1), "错二");
    EXPECT_EQ(b.GetCellText(3, 38), QString::number(a));
    EXPECT_TRUE(b.IsMarked(3, 9));
    EXPECT_TRUE(b.IsMarked(4, 9));
    EXPECT_FALSE(b.IsMarked(3, 3));

    b.SetCellText(3, 9, "大学专科");
    b.SetCellText(3, 1, " 错 一 ");
    w->BitBtn2Click();
    EXPECT_EQ(env.tb.Scalar("select sIsok||sTEdu||sEducation||sName from Staff_moninfo where id=?", {a}),
              "1大学专科4错一");
    EXPECT_EQ(w->StatusText(), " 共有 1 条记录！");
    EXPECT_EQ(b.GetCellText(3, 1), "错二");
    EXPECT_EQ(b.GetCellText(4, 1), "");
    EXPECT_TRUE(b.IsMarked(3, 9));
    EXPECT_EQ(w.refreshed, 0);
    w->BitBtn5Click();
    EXPECT_EQ(w.refreshed, 1);
    EXPECT_TRUE(w->Closed());
}

TEST(WrongForm, ShowErrorsReloadsAndRechecksWithoutTheNumberTest) {
    MonputEnv env("否", "4");
    env.Store(4, "无号", "", "0");
    env.Store(4, "错一", "1", "0", "大专");
    Opened w(env, "1");
    TSheetBook& b = w->Sheet();
    EXPECT_EQ(b.CellPattern(3, 2), TSheetBook::kNumberMarkPattern);  // the opening pass tests it first
    b.SetCellText(4, 9, "改过未存");
    w->BitBtn1Click();
    EXPECT_EQ(b.GetCellText(4, 9), "大专");  // reloaded from the database
    EXPECT_TRUE(b.IsMarked(4, 9));
    EXPECT_FALSE(b.IsMarked(3, 2));
    EXPECT_EQ(w->StatusText(), " 共有 2 条记录！");
}

TEST(WrongForm, NoErrorRowsSaysSoRefreshesTheOpenerAndCloses) {
    MonputEnv env("否", "4");
    env.Store(4, "好的", "2", "1");
    Opened w(env, "1");
    EXPECT_EQ(env.ui.Texts(), QStringList{"无错误信息。"});
    EXPECT_EQ(w.refreshed, 1);
    EXPECT_TRUE(w->Closed());
    w->BitBtn5Click();
    EXPECT_EQ(w.refreshed, 1);  // once only
}

TEST(WrongForm, FromTheBatchSheetTheStartOfPeriodIsUpdated) {
    MonputEnv env("否", "");
    const long long z = env.Store(0, "期初", "1", "0", "大专");
    const long long four = env.Store(4, "四月", "1", "0", "大专");
    Opened w(env, "0");
    EXPECT_EQ(w->Monflag, "0");
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "期初");
    w->Sheet().SetCellText(3, 9, "初中");
    w->BitBtn2Click();
    EXPECT_EQ(env.tb.Scalar("select sIsok||sEducation from Staff_moninfo where id=?", {z}), "18");
    EXPECT_EQ(env.tb.Scalar("select sIsok from Staff_moninfo where id=?", {four}), "0");
}

TEST(WrongForm, InsertedRowsAndBadWorkYearsAreSkippedWithANoteAndKeptOnTheSheet) {
    MonputEnv env("否", "4");
    const long long a = env.Store(4, "错一", "1", "0", "大专");
    const long long b2 = env.Store(4, "错二", "2", "0", "大专");
    Opened w(env, "1");
    TSheetBook& b = w->Sheet();
    b.SetSelection(4, 1, 4, 1);
    w->N1Click();  // a row inserted between the two: it has no id
    MonputEnv::Type(b, 4, MonputEnv::ValidTexts("新来的", "9"));
    b.SetCellText(3, 9, "大学本科");
    b.SetCellText(3, 8, "两年");
    b.SetCellText(5, 9, "大学本科");
    env.ui.Clear();
    w->BitBtn2Click();
    ASSERT_EQ(env.ui.Texts().size(), 1);
    const QString note = env.ui.Texts()[0];
    EXPECT_TRUE(note.contains("第2行（新来的）")) << note.toStdString();
    EXPECT_TRUE(note.contains("第1行（错一）的“其中本岗位年限”不是数字")) << note.toStdString();
    EXPECT_EQ(env.tb.Scalar("select sIsok from Staff_moninfo where id=?", {a}), "0");
    EXPECT_EQ(env.tb.Scalar("select sIsok from Staff_moninfo where id=?", {b2}), "1");
    EXPECT_EQ(env.tb.Scalar("select count(*) from Staff_moninfo"), "2");
    EXPECT_EQ(b.GetCellText(3, 8), "两年");  // the person's typing stays to be corrected
    EXPECT_TRUE(b.IsMarked(3, 8));
}

TEST(WrongForm, TheNameEditWritesBackAndTheDateEditorUsesUnpaddedMonths) {
    MonputEnv env("否", "4");
    env.Store(4, "错一", "1", "0", "大专");
    Opened w(env, "1");
    MonputCellEditors& ed = w->Editors();
    w->SheetBook1DblClick(3, 1);
    ed.Name->setText("王 五");
    ed.NameExit();
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "王 五");
    w->SheetBook1DblClick(3, 6);
    EXPECT_EQ(ed.DT1->itemText(ed.DT1->count() - 1), "2003");
    EXPECT_EQ(ed.DT1->currentText(), "1942");
    ed.DT2->setCurrentIndex(2);
    ed.DT2Change();
    EXPECT_EQ(w->Sheet().GetCellText(3, 6), "1942-3");
    w->SheetBook1DblClick(3, 5);
    EXPECT_EQ(w->Sheet().Object(ed.SheetObjectIds[1]).y2, 9);
    w->BitBtn2Click();
    EXPECT_EQ(env.Col("sName||sBirth", 4), "王五1942-03");  // the check pads a passing month
}

TEST(WrongForm, AColumnWithoutAListHidesTheListsAndAListHidesTheDateCombos) {
    MonputEnv env("否", "4");
    env.Store(4, "错一", "1", "0", "大专");
    Opened w(env, "1");
    MonputCellEditors& ed = w->Editors();
    TSheetBook& b = w->Sheet();
    const int xl = ed.SheetObjectIds[2], yn = ed.SheetObjectIds[1];
    w->SheetBook1DblClick(3, 9);
    EXPECT_TRUE(b.Object(xl).visible);
    w->SheetBook1DblClick(3, 7);
    EXPECT_FALSE(b.Object(xl).visible);
    EXPECT_EQ(ed.EditCellCol, 7);
    w->SheetBook1DblClick(3, 6);
    EXPECT_FALSE(ed.DT1->isHidden());
    w->SheetBook1DblClick(3, 4);
    EXPECT_TRUE(b.Object(yn).visible);
    EXPECT_TRUE(ed.DT1->isHidden());
    EXPECT_TRUE(ed.DT2->isHidden());
}

TEST(WrongForm, PasteWritesColumn18OnlyOnGuishang) {
    for (auto [dep, expect] : {std::pair{"规上", "否"}, {"是1", "原值"}}) {
        MonputEnv env(dep, "4");
        env.Store(4, "错一", "1", "0", "大专");
        Opened w(env, "1");
        TSheetBook& b = w->Sheet();
        b.SetCellText(3, 18, "原值");
        b.SetClipboardText("0");
        b.SetSelection(3, 15, 3, 15);
        w->N5Click();
        EXPECT_EQ(b.GetCellText(3, 18), expect) << dep;
        // A paste by a key in the sheet: the view has pasted and says so, and the rule follows; a
        // key released without a paste does not apply it.
        b.SetCellText(3, 18, "原值");
        w->View()->KeyUp(Qt::Key_V, Qt::NoModifier);
        EXPECT_EQ(b.GetCellText(3, 18), "原值") << dep;
        w->View()->KeyPasted();
        EXPECT_EQ(b.GetCellText(3, 18), expect) << dep;
    }
}

TEST(WrongForm, OpenersReachItThroughTheFactory) {
    MonputEnv env("否", "");
    FormFactory forms(env.ctx);
    RegisterEntryForms(forms);
    auto f = forms.CreateAs<IWrongForm>("TFrm_wrong");
    ASSERT_TRUE(f);
    int refreshed = 0;
    f->SetMonflag("0");
    f->SetOpenerRefresh([&] { ++refreshed; });
    f->ShowModal();  // no error rows: answers at once
    EXPECT_EQ(refreshed, 1);
    EXPECT_TRUE(forms.CreateAs<IDelPersnoForm>("TFrm_delPersno"));
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {
TEST(WrongForm, RendersTheRowsInError) {
    test::MonputEnv env("是1", "4");
    env.Store(4, "错一", "1", "0", "大专");
    env.Store(4, "错二", "", "0", "大学本科", "M");
    Opened w(env, "1");
    EXPECT_EQ(w->Sheet().CellPattern(4, 2), TSheetBook::kNumberMarkPattern);
    const QImage shot = w->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString dir = qEnvironmentVariable("QM_SHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(shot.save(dir + "/wrong.png"));
    }
}
}  // namespace
}  // namespace qm
