// The monthly staff list as its user drives it: imports, the save, activation and modality.
#include "core/app/FormFactory.h"
#include "core/app/FormInterfaces.h"
#include "core/db/Errors.h"
#include "entry/EntryRegistration.h"
#include "entry/staff/DelPersnoForm.h"
#include "entry/staff/MonputCellEditors.h"
#include "entry/staff/MonputForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/ListWindow.h"
#include "tests/entry/staff/MonputTestSupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace qm {
namespace {

using test::MonputEnv;

using Window = test::ListWindow;

TEST(MonputForm, ImportFromThePreviousMonthAndSaveStoresTheSameCleanedPersons) {
    MonputEnv env("否", "2");
    env.Store(1, "张 三", " 1001 ", "0");
    env.Store(1, "李四", "1002", "0", "大专");  // not in the education list
    env.Store(1, "王五", "1003", "1");
    Window w(env);
    EXPECT_EQ(w->LoadCount(), 1);
    w->BitBtn2Click();
    ASSERT_TRUE(w->B2->isEnabled());
    w->B2Click();
    EXPECT_EQ(env.ui.Texts().last(), "导入成功，共计3人.");
    EXPECT_EQ(w->StatusText(), "共3条，未保存！");
    EXPECT_TRUE(w->Dirty());
    env.ui.Clear();
    w->B3Click();
    EXPECT_EQ(env.Col("sName", 2), "张三,李四,王五");
    EXPECT_EQ(env.Col("sNumber", 2), "1001,1002,1003");
    EXPECT_EQ(env.Col("sIsok", 2), "1,0,1");
    EXPECT_EQ(env.Col("sEducation", 2), "3,3");  // the failing row's code is null
    EXPECT_EQ(env.ui.Texts(), QStringList{"出现错误，请核实！"});
    EXPECT_EQ(env.ui.Last()->buttons, DlgButtons::YesOnly);
    EXPECT_TRUE(w->B5->isEnabled());
    EXPECT_TRUE(w->Sheet().IsMarked(4, 9));
    EXPECT_FALSE(w->Dirty());
    EXPECT_EQ(env.Col("sName", 1), "张 三,李四,王五");  // the source month is untouched
}

TEST(MonputForm, AllRowsPassingSaysSavedAndBuildsMonthOneFromTheStart) {
    MonputEnv env("是1", "1");
    env.Store(0, "甲", "1");
    env.Store(0, "乙", "2");
    Window w(env);
    w->BitBtn2Click();
    EXPECT_FALSE(w->B2->isEnabled());  // month 1 has no previous month
    w->B1Click();
    EXPECT_FALSE(w->B1->isEnabled());  // the sheet was empty: the import is done once
    env.ui.Clear();
    w->B3Click();
    EXPECT_EQ(env.ui.Texts(), QStringList{"保存成功！"});
    EXPECT_EQ(env.ui.Last()->kind, DlgKind::Information);
    EXPECT_FALSE(w->B5->isEnabled());
    EXPECT_EQ(env.Col("sName||sNumber||sTgc||sgc||sTyg||syg||sIsok", 1), "甲1否2是11,乙2否2是11");
}

TEST(MonputForm, ColumnsStoredFollowTheUnitClass) {
    MonputEnv env("规上", "3");
    Window w(env);
    MonputEnv::Type(w->Sheet(), 3, MonputEnv::ValidTexts("甲", "1"));
    w->Sheet().SetCellText(3, 15, "是");
    w->BitBtn2Click();
    w->B3Click();
    EXPECT_EQ(env.Col("coalesce(sTgc,'-')||coalesce(sTsg,'-')||sTyg||syg", 3), "--是1");
    EXPECT_EQ(w->Sheet().ColWidth(15), 0);  // hidden by width on the monthly list
    EXPECT_EQ(w->Sheet().GetCellText(2, 18), "14");
}

TEST(MonputForm, AFailedSaveNamesTheRowAndKeepsTheStoredMonth) {
    MonputEnv env("否", "5");
    env.Store(5, "原一", "1");
    env.Store(5, "原二", "2");
    const QString before = env.Col("id||sName", 5);
    env.tb.db().Exec(
        "create trigger f5 before insert on Staff_moninfo when new.sName = '坏人' "
        "begin select raise(abort, 'injected'); end");
    Window w(env);
    w->BitBtn2Click();
    for (int r = 5; r <= 8; ++r)
        MonputEnv::Type(w->Sheet(), r, MonputEnv::ValidTexts(QStringLiteral("新%1").arg(r), QString::number(r)));
    MonputEnv::Type(w->Sheet(), 7, MonputEnv::ValidTexts("坏人", "7"));
    env.ui.Clear();
    w->B3Click();
    EXPECT_EQ(env.Col("id||sName", 5), before);
    ASSERT_EQ(env.ui.shown.size(), 1u);
    EXPECT_TRUE(env.ui.Texts()[0].contains("第5行（坏人）")) << env.ui.Texts()[0].toStdString();
    EXPECT_TRUE(env.ui.Texts()[0].contains("injected"));
    EXPECT_TRUE(w->Dirty());  // the sheet still holds what was not stored
}

TEST(MonputForm, NonNumericWorkYearsMarkTheCellAndStopTheSave) {
    MonputEnv env("否", "4");
    env.Store(4, "原有", "9");
    Window w(env);
    w->BitBtn2Click();
    MonputEnv::Type(w->Sheet(), 3, MonputEnv::ValidTexts("甲", "1"));
    MonputEnv::Type(w->Sheet(), 4, MonputEnv::ValidTexts("乙", "2"));
    w->Sheet().SetCellText(4, 7, "十年");
    env.ui.Clear();
    w->B3Click();
    EXPECT_EQ(env.Col("sName", 4), "原有");
    EXPECT_TRUE(w->Sheet().IsMarked(4, 7));
    ASSERT_EQ(env.ui.Texts().size(), 1);
    EXPECT_TRUE(env.ui.Texts()[0].startsWith("第2行（乙）的“参加工作年限”不是数字")) << env.ui.Texts()[0].toStdString();
}

TEST(MonputForm, RowsBelowAnEmptyNameAreNeverDroppedWithoutAWord) {
    MonputEnv env("否", "4");
    env.Store(4, "原有", "9");
    Window w(env);
    w->BitBtn2Click();
    MonputEnv::Type(w->Sheet(), 3, MonputEnv::ValidTexts("甲", "1"));
    MonputEnv::Type(w->Sheet(), 4, MonputEnv::ValidTexts("乙", "2"));
    MonputEnv::Type(w->Sheet(), 6, MonputEnv::ValidTexts("丙", "3"));
    env.ui.Clear();
    env.ui.answers = {DlgAnswer::No};
    w->B3Click();
    EXPECT_EQ(env.ui.Texts(), QStringList{"第3行姓名为空，从该行起的1行不会保存。\n只保存前面的2行吗？"});
    EXPECT_EQ(env.Col("sName", 4), "原有");
    env.ui.Clear();
    env.ui.answers = {DlgAnswer::Yes};
    w->BitBtn2Click();
    w->B3Click();
    EXPECT_EQ(env.Col("sName", 4), "甲,乙");
}

TEST(MonputForm, ALeadingBlankFailsTheSexCheckAndIsStoredAsTyped) {
    MonputEnv env("否", "2");
    Window w(env);
    w->BitBtn2Click();
    QStringList t = MonputEnv::ValidTexts("甲", "1");
    t[2] = " 男";
    MonputEnv::Type(w->Sheet(), 3, t);
    w->B3Click();
    EXPECT_EQ(env.Col("'['||sTsex||']'||coalesce(sSex,'null')||sIsok", 2), "[ 男]null0");
}

TEST(MonputForm, ImportsAskBeforeOverwritingAndSayWhenThereIsNothing) {
    MonputEnv env("否", "3");
    env.Store(3, "已存", "1");
    Window w(env);
    w->BitBtn2Click();
    env.ui.answers = {DlgAnswer::No};
    w->B2Click();  // month 2 is empty, but the question comes first
    EXPECT_EQ(env.ui.Texts(), QStringList{"导入名单将覆盖上面显示名单，是否继续？"});
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "已存");
    env.ui.Clear();
    env.ui.answers = {DlgAnswer::Yes};
    w->B2Click();
    EXPECT_EQ(env.ui.Texts().last(), "名册内没有数据！");
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "");
    env.ui.Clear();
    EXPECT_THROW(w->B3Click(), SilentAbort);
    EXPECT_EQ(env.ui.Texts(), QStringList{"第一行没有数据。"});
    EXPECT_EQ(env.Col("sName", 3), "已存");
}

TEST(MonputForm, OwnDialogsAndUnsavedRowsAreNotReloadedButChildRefreshesAre) {
    MonputEnv env("否", "2");
    env.Store(1, "甲", "1");
    env.Store(2, "存的", "5");
    Window w(env);
    w->BitBtn2Click();
    env.ui.answers = {DlgAnswer::Yes};
    w->B2Click();
    const int loads = w->LoadCount();
    // The import's own message box closing, and a turn from another window: the imported rows stay.
    QMessageBox box(w.w);
    box.winId();
    EXPECT_FALSE(w->OnUserActivation(box.windowHandle()));
    QWidget other;
    other.winId();
    env.tb.db().Exec("update Staff_moninfo set sName='变' where sMon=2");
    EXPECT_FALSE(w->OnUserActivation(other.windowHandle()));
    EXPECT_EQ(w->StatusText(), "共1条，未保存！");
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "甲");
    EXPECT_EQ(w->LoadCount(), loads);
    // A child form that changed rows refreshes explicitly.
    w->FormActivate();
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "变");
    EXPECT_EQ(w->StatusText(), " 共 1 条");
    // Clean sheet: a turn from another window reloads when something was stored meanwhile.
    env.tb.db().Exec("update Staff_moninfo set sName='再变' where sMon=2");
    EXPECT_TRUE(w->OnUserActivation(other.windowHandle()));
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "再变");
    // ... but not when it comes back from its own box, even then.
    env.tb.db().Exec("update Staff_moninfo set sName='三变' where sMon=2");
    EXPECT_FALSE(w->OnUserActivation(box.windowHandle()));
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "再变");
}

TEST(MonputForm, TypingMakesTheSheetUnsavedAndASaveMakesItClean) {
    MonputEnv env("否", "2");
    env.Store(2, "甲", "1");
    Window w(env);
    EXPECT_FALSE(w->Dirty());
    w->Sheet().SetCellText(3, 1, "甲改");
    EXPECT_TRUE(w->Dirty());
    w->BitBtn2Click();
    w->B3Click();
    EXPECT_FALSE(w->Dirty());
    QWidget other;
    other.winId();
    EXPECT_FALSE(w->OnUserActivation(other.windowHandle()));  // nothing new stored since
}

TEST(MonputForm, CellEditorsOpenOverTheirCellsAndWriteBack) {
    MonputEnv env("规上", "2");
    env.Store(2, "甲", "1");
    Window w(env);
    MonputCellEditors& ed = w->Editors();
    TSheetBook& b = w->Sheet();
    const int xl = ed.SheetObjectIds[2];
    ASSERT_GE(xl, 0);
    w->SheetBook1DblClick(5, 9);
    const SheetObject& o = b.Object(xl);
    EXPECT_TRUE(o.visible);
    EXPECT_EQ(std::tuple(o.x1, o.y1, o.x2, o.y2), std::tuple(8, 4, 9, 14));
    EXPECT_EQ(std::tuple(o.linkKind, o.linkRow, o.linkCol), std::tuple(2, 5, 9));
    for (int i = 0; i < kStaffObjectCount; ++i)
        if (i != 2) {
            EXPECT_FALSE(b.Object(ed.SheetObjectIds[size_t(i)]).visible) << i;
        }
    b.PickObjectItem(xl, 1);
    EXPECT_EQ(b.GetCellText(5, 9), "硕士研究生");

    w->SheetBook1DblClick(6, 14);  // "规上": over the hidden 15..17
    const SheetObject& yn = b.Object(ed.SheetObjectIds[1]);
    EXPECT_EQ(std::tuple(yn.x2, yn.y2), std::tuple(17, 15));
    w->SheetBook1DblClick(6, 10);
    EXPECT_EQ(b.Object(ed.SheetObjectIds[3]).y2, 22);

    for (auto [r, c] : {std::pair{2, 9}, {4, 2}, {4, 7}, {4, 8}}) {
        ed.HideAll();
        w->SheetBook1DblClick(r, c);
        EXPECT_EQ(std::pair(ed.EditCellRow, ed.EditCellCol), std::pair(r, c));
        for (int id : ed.SheetObjectIds) EXPECT_FALSE(b.Object(id).visible);
        EXPECT_TRUE(ed.Name->isHidden());
    }

    w->SheetBook1DblClick(3, 1);
    EXPECT_TRUE(ed.Name->isVisible());
    EXPECT_EQ(ed.Name->text(), "甲");
    ed.Name->setText("李四");
    w->View()->setFocus();
    ed.NameExit();  // what the focus leaving the edit runs
    EXPECT_EQ(b.GetCellText(3, 1), "李四");
    EXPECT_TRUE(ed.Name->isHidden());
    EXPECT_EQ(ed.Name->text(), "");

    w->SheetBook1DblClick(3, 6);
    EXPECT_TRUE(ed.DT1->isVisible());
    EXPECT_EQ(ed.DT1->count(), 62);
    EXPECT_EQ(ed.DT1->currentText(), "1942");
    ed.DT2->setCurrentIndex(2);
    ed.DT2Change();
    EXPECT_EQ(b.GetCellText(3, 6), "1942-03");
    EXPECT_TRUE(ed.DT2->isHidden());

    // Here a list over columns 3..5 leaves the date combos be, and columns without an
    // editor leave an open list be.
    w->SheetBook1DblClick(3, 6);
    w->SheetBook1DblClick(3, 4);
    EXPECT_FALSE(ed.DT1->isHidden());
    EXPECT_TRUE(b.Object(ed.SheetObjectIds[1]).visible);
    w->SheetBook1DblClick(3, 8);
    EXPECT_TRUE(b.Object(ed.SheetObjectIds[1]).visible);
}

TEST(MonputForm, PasteOnAGuishangUnitCopiesColumn15IntoColumn18) {
    MonputEnv env("规上", "2");
    Window w(env);
    TSheetBook& b = w->Sheet();
    QStringList a = MonputEnv::ValidTexts("甲", "1"), c = MonputEnv::ValidTexts("乙", "2");
    a[14] = "0";
    c[14] = "1";
    b.SetClipboardText(a.join('\t') + "\r\n" + c.join('\t') + "\r\n");
    b.SetSelection(3, 1, 3, 1);
    w->N5Click();
    EXPECT_EQ(b.GetCellText(3, 18), "否");
    EXPECT_EQ(b.GetCellText(3, 15), "0");
    EXPECT_EQ(b.GetCellText(4, 18), "1");
}

TEST(MonputForm, APasteByAKeyOverTheSheetAppliesThePasteRule) {
    MonputEnv env("规上", "2");
    Window w(env);
    TSheetBook& b = w->Sheet();
    QStringList a = MonputEnv::ValidTexts("甲", "1");
    a[14] = "0";
    b.SetClipboardText(a.join('\t') + "\r\n");
    b.SetSelection(3, 1, 3, 1);
    w->View()->Edit(SheetView::EditOp::Paste);
    EXPECT_NE(b.GetCellText(3, 18), "否");
    w->View()->KeyPasted();  // what the view reports after a paste by Ctrl+V or Shift+Insert
    EXPECT_EQ(b.GetCellText(3, 18), "否");
}

TEST(MonputForm, EditorListsAreFilledOnceForTheWindow) {
    MonputEnv env("否", "2");
    Window w(env);
    EXPECT_FALSE(w->ListsPending());
    const int gw = w->Editors().SheetObjectIds[3];
    const int items = int(w->Sheet().Object(gw).items.size());
    EXPECT_GT(items, 0);
    env.tb.db().Exec("insert into Code_Post(ID,CodeName,Memo) values(99,'新岗位','1')");
    TFrm_monput::ShowList(env.ctx, env.ListMonth());
    EXPECT_EQ(int(w->Sheet().Object(gw).items.size()), items);
}

TEST(MonputForm, TheFactoryShowsTheOneWindowOfTheProgram) {
    MonputEnv env("否", "2");
    FormFactory forms(env.ctx);
    env.ctx.forms = &forms;
    RegisterEntryForms(forms);
    auto f = forms.Create("TFrm_monput", {env.ListMonth()});
    ASSERT_TRUE(f);
    f->ShowModeless(std::move(f));
    QPointer<TFrm_monput> first = TFrm_monput::Instance();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), "2月份工资发放人员名单核对");
    auto g = forms.Create("TFrm_monput", {env.ListMonth()});
    g->ShowModeless(std::move(g));
    EXPECT_EQ(TFrm_monput::Instance(), first.data());
    first->BitBtn1Click();
    EXPECT_FALSE(first->isVisible());  // 关闭 only hides
    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
}

// Stands in for the single-person form: records what the list set, then adds a person.
struct RecordedPerput : QDialog, IPerput {
    RecordedPerput(db::Connection& c, QString& seen, const FormArgs& a) : c_(c), seen_(seen), args_(a) {}
    Month MonthNo() const override { return args_.month.value_or(Month::Start()); }
    PerputOpener Opener() const override { return args_.opener; }
    void ShowModal() override {
        const char* opener = Opener() == PerputOpener::MonthList ? "|list|" : "|other|";
        seen_ = MonthNo().Text() + QLatin1String(opener) + windowTitle();
        c_.Exec("insert into Staff_moninfo (sMon, sName, sNumber, sIsok) values (2, '新人', '2001', '1')");
    }
    void ShowModeless(std::unique_ptr<IForm>) override {}
    db::Connection& c_;
    QString& seen_;
    FormArgs args_;
};

TEST(MonputForm, SinglePersonCheckWorksOnTheListsMonthAndReloadsAfterwards) {
    MonputEnv env("否", "2");
    env.Store(2, "张三", "1001", "1");
    FormFactory forms(env.ctx);
    env.ctx.forms = &forms;
    QString seen;
    forms.Register("TFrm_perput", [&](AppContext&, const FormArgs& a) -> std::unique_ptr<IForm> {
        return std::make_unique<RecordedPerput>(env.tb.db(), seen, a);
    });
    Window w(env);
    w->B6Click();
    EXPECT_EQ(seen, "2|list|2月份个人数据核对");
    EXPECT_EQ(w->Sheet().GetCellText(4, 1), "新人");
}

// What the list opens works on the list's own month.
TEST(MonputForm, FormsItOpensWorkOnTheListsMonth) {
    MonputEnv env("否", "2");
    env.Store(2, "张三", "1001", "1");
    env.Store(5, "五月", "1001", "1");
    FormFactory forms(env.ctx);
    env.ctx.forms = &forms;
    QString seen;
    forms.Register("TFrm_perput", [&](AppContext&, const FormArgs& a) -> std::unique_ptr<IForm> {
        return std::make_unique<RecordedPerput>(env.tb.db(), seen, a);
    });
    Window w(env);
    w->B6Click();
    EXPECT_EQ(seen, "2|list|2月份个人数据核对");

    QString title;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<TFrm_delPersno*>(QApplication::activeModalWidget());
        if (!d) return;
        title = d->windowTitle();
        MonputEnv::Type(d->Left(), 2, {"张三", "1001", ""});
        d->BitBtn1Click();
        env.ui.answers = {DlgAnswer::Yes};
        d->N9Click();
        d->reject();
    });
    w->B4Click();
    EXPECT_EQ(title, "2月批量人员删除");
    EXPECT_EQ(env.Col("sName", 2), "新人");  // 张三 went from month 2 ...
    EXPECT_EQ(env.Col("sName", 5), "五月");  // ... and month 5 kept its person
}

TEST(MonputForm, FormsItOpensReloadItOnlyAfterStoredChangesAndNeverOverUnsavedRowsUnasked) {
    MonputEnv env("否", "2");
    env.Store(1, "张三", "1001");
    Window w(env);
    w->B2Click();  // imported, not stored
    const int loads = w->LoadCount();
    // Looks 张三 up in the batch deletion, deletes him when `remove`, and closes it.
    auto deletion = [&](bool remove) {
        QTimer::singleShot(0, [&, remove] {
            auto* d = qobject_cast<TFrm_delPersno*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            MonputEnv::Type(d->Left(), 2, {"张三", "1001", ""});
            d->BitBtn1Click();
            if (remove) d->N9Click();
            d->reject();
        });
        w->B4Click();
    };
    env.ui.Clear();
    deletion(false);
    ASSERT_EQ(env.ui.Texts().size(), 1);  // the query says the month is not stored yet
    EXPECT_TRUE(env.ui.Texts()[0].startsWith("2月名册尚未保存"));
    EXPECT_EQ(w->StatusText(), "共1条，未保存！");  // not reloaded
    w->B3Click();
    MonputEnv::Type(w->Sheet(), 4, MonputEnv::ValidTexts("新人", "1003"));
    env.ui.answers = {DlgAnswer::Yes, DlgAnswer::No};  // delete, then keep the unsaved rows
    deletion(true);
    EXPECT_EQ(env.Col("sName", 2), "");
    EXPECT_EQ(w->Sheet().GetCellText(4, 1), "新人");
    EXPECT_EQ(w->LoadCount(), loads);
    // The single-person form stores a person: asked again, and answered Yes the list reloads.
    FormFactory forms(env.ctx);
    env.ctx.forms = &forms;
    QString seen;
    forms.Register("TFrm_perput", [&](AppContext&, const FormArgs& a) {
        return std::make_unique<RecordedPerput>(env.tb.db(), seen, a);
    });
    env.ui.answers = {DlgAnswer::Yes};
    w->B6Click();
    EXPECT_EQ(env.ui.Texts().last(),
              "2月名册已在库中改动，上面名单的修改尚未保存。\n是否放弃未保存的修改，重新显示库中的名单？");
    EXPECT_EQ(w->LoadCount(), loads + 1);
    EXPECT_EQ(w->Sheet().GetCellText(3, 1), "新人");
}

// The wage sheet runs modally and opens the list from its 核实名册: the list must take input.
TEST(MonputForm, StaysUsableBesideTheModalWageSheet) {
    MonputEnv env("否", "2");
    QWidget mainWindow;
    env.ctx.mainWidget = &mainWindow;
    mainWindow.show();
    QDialog wage(&mainWindow);
    wage.setWindowModality(Qt::ApplicationModal);
    wage.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &wage);

    // A window that is not the modal's own is blocked: the control case.
    QWidget stranger(&mainWindow, Qt::Window);
    auto* probe = new QPushButton("x", &stranger);
    stranger.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&stranger));
    int strangerClicks = 0;
    QObject::connect(probe, &QPushButton::clicked, [&] { ++strangerClicks; });
    QTest::mouseClick(stranger.windowHandle(), Qt::LeftButton, {}, probe->geometry().center());
    EXPECT_EQ(strangerClicks, 0);

    Window w(env);
    EXPECT_EQ(w->parentWidget(), &wage);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.w));
    int clicks = 0;
    QObject::connect(w->BitBtn2, &QPushButton::clicked, [&] { ++clicks; });
    const QPoint at = w->BitBtn2->mapTo(w.w, w->BitBtn2->rect().center());
    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(w->BitBtn2->text(), "取消编辑");

    // The wage sheet closes: the list stays open, now under the main window.
    wage.hide();
    EXPECT_EQ(w->parentWidget(), &mainWindow);
    EXPECT_TRUE(w->isVisible());
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

// What the person sees for a "规上" unit with one failing row; QM_SHOT_DIR keeps the PNG.
TEST(MonputForm, RendersAGuishangListWithItsFailingRowMarked) {
    test::MonputEnv env("规上", "3");
    env.Store(3, "张三", "1001");
    env.Store(3, "李四", "1002", "0", "大专");
    env.Store(3, "王五", "1003");
    Window w(env);
    w->BitBtn2Click();
    w->resize(w->width(), 560);
    EXPECT_TRUE(w->Sheet().IsMarked(4, 9));
    EXPECT_FALSE(w->Sheet().IsMarked(3, 9));
    const QImage shot = w->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString dir = qEnvironmentVariable("QM_SHOT_DIR");
    if (!dir.isEmpty()) {
        EXPECT_TRUE(shot.save(dir + "/monput-guishang.png"));
    }
}

}  // namespace
}  // namespace qm
