// The wage forms as the person uses them: the buttons, the error list opened from the sheet
// and reloading it, the monthly staff list staying usable beside the modal sheet, and a
// picture of the sheet with a failing row.
#include "core/app/FormFactory.h"
#include "entry/EntryRegistration.h"
#include "entry/EntrySheet.h"
#include "entry/wage/WageErrorListForm.h"
#include "entry/wage/WageSheetForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/wage/WageTestBase.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

namespace qm::test {
namespace {

// A stand-in for the monthly staff list: a plain window that owns itself once shown.
class FakeStaffList : public QWidget, public IForm {
public:
    explicit FakeStaffList(QWidget* parent) : QWidget(parent, Qt::Window) {}
    void ShowModal() override {}
    bool blocked = false;  // what Qt last said: blocked by a modal window or not
    bool event(QEvent* e) override {
        if (e->type() == QEvent::WindowBlocked) blocked = true;
        if (e->type() == QEvent::WindowUnblocked) blocked = false;
        return QWidget::event(e);
    }
    void ShowModeless(std::unique_ptr<IForm> self) override {
        setAttribute(Qt::WA_DeleteOnClose);
        (void)self.release();
        show();
    }
};

class WageFormTest : public WageTestBase {
protected:
    WageFormTest() : forms(ctx) {
        ctx.forms = &forms;
        ctx.mainWidget = &mainWidget;
        RegisterEntryForms(forms);
        forms.Register(QStringLiteral("TFrm_monput"), [this](AppContext& c, const FormArgs& args) {
            staffListMonth = args.month;
            return std::make_unique<FakeStaffList>(ParentOf(c, args));
        });
        Staff(3, QStringLiteral("001"), QStringLiteral("张三"));
        Staff(3, QStringLiteral("002"), QStringLiteral("李四"));
        Staff(3, QStringLiteral("003"), QStringLiteral("王五"));
        state.MaxWageMonth = Month(2);
    }
    // Runs `fn` once the next modal dialog is up.
    static void WhenModal(std::function<void(QWidget*)> fn) {
        QTimer::singleShot(0, [fn] {
            QWidget* w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            fn(w);
        });
    }
    QWidget mainWidget;
    FormFactory forms;
    std::optional<Month> staffListMonth;  // the month the last staff list was made for
};

TEST_F(WageFormTest, TheFactoryMakesBothForms) {
    EXPECT_NE(forms.CreateAs<TFrm_mon>(QStringLiteral("TFrm_mon")), nullptr);
    EXPECT_NE(forms.CreateAs<TFrm_wrontWage>(QStringLiteral("TFrm_wrontWage")), nullptr);
}

// The menu may have moved on since: a sheet and an error list made for March stay on March.
TEST_F(WageFormTest, FormsMadeForAMonthWorkOnItWhateverTheMenuChoseSince) {
    Staff(5, QStringLiteral("501"), QStringLiteral("五月人"));
    state.MaxWageMonth = Month(5);
    base.db().Exec(
        QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sN1, sTotal, sFlag, wFlag) values "
                       "(3, '001', '张三', 200, 200, '1', '0'), (5, '501', '五月人', 300, 300, '1', '0')"));

    auto list = forms.CreateAs<TFrm_wrontWage>(QStringLiteral("TFrm_wrontWage"), {Month(3)});
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->FormShow(), 1);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("3月未输入从业工资错误信息"));
    EXPECT_EQ(list->Book().GetCellText(2, 1), QStringLiteral("001"));

    auto sheet = forms.CreateAs<TFrm_mon>(QStringLiteral("TFrm_mon"), {Month(3)});
    ASSERT_NE(sheet, nullptr);
    sheet->FormShow();
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("3月份工资输入"));
    EXPECT_EQ(sheet->Book().GetCellText(2, 1), QStringLiteral("001"));
    EXPECT_EQ(sheet->Book().GetCellText(3, 1), QString());
    ui.answers = {DlgAnswer::Yes};
    sheet->B5Click();  // the roster of March
    EXPECT_EQ(sheet->StatusText(), QStringLiteral("共3条"));
    sheet->BitBtn1Click();  // 核实名册: the staff list of March
    EXPECT_EQ(staffListMonth, Month(3));
    if (QWidget* w = sheet->StaffListWindow()) w->close();
    for (int r = 2; r <= 4; ++r) sheet->Book().SetCellText(r, 3, QStringLiteral("3000"));
    ui.Clear();
    sheet->BitBtn3Click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("3月保存成功！共3人输入。")});
    EXPECT_EQ(Q("select group_concat(sNumber) from Wage_Info where Smon=3"), QStringLiteral("001,002,003"));
    EXPECT_EQ(Q("select group_concat(sNumber) from Wage_Info where Smon=5"), QStringLiteral("501"));
}

TEST_F(WageFormTest, EditModeImportSaveAndTheShownMonth) {
    TFrm_mon f(ctx, month);
    f.FormShow();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("3月份工资输入"));
    EXPECT_FALSE(f.EditMode());
    EXPECT_EQ(f.Book().GetCellText(1, 5), QStringLiteral("工资性津贴\n和补贴"));
    f.BitBtn2Click();
    EXPECT_TRUE(f.EditMode());
    f.B5Click();
    EXPECT_EQ(f.StatusText(), QStringLiteral("共3条"));
    EXPECT_EQ(f.Book().GetCellText(4, 2), QStringLiteral("王五"));
    for (int r = 2; r <= 4; ++r) f.Book().SetCellText(r, 3, QStringLiteral("3000"));
    ui.Clear();
    f.BitBtn3Click();
    EXPECT_FALSE(f.EditMode());
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("3月保存成功！共3人输入。")});
    EXPECT_EQ(main.monthRefreshes, 1);
    f.FormShow();  // the month is now stored: it loads
    EXPECT_EQ(f.StatusText(), QStringLiteral("共3条"));
    EXPECT_EQ(f.Book().GetCellText(3, 7), QStringLiteral("3000"));
}

TEST_F(WageFormTest, ShowErrorsSaysNoneOrOpensTheList) {
    TFrm_mon f(ctx, month);
    f.FormShow();
    f.Book().SetCellText(2, 1, QStringLiteral("001"));
    f.Book().SetCellText(2, 2, QStringLiteral("张三"));
    f.Book().SetCellText(2, 3, QStringLiteral("3000"));
    f.BitBtn3Click();
    ui.Clear();
    f.B2Click();
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("没有错误信息！")});

    f.Book().SetCellText(2, 3, QStringLiteral("300"));
    f.BitBtn3Click();
    bool opened = false;
    WhenModal([&](QWidget* w) {
        auto* list = qobject_cast<TFrm_wrontWage*>(w);
        ASSERT_NE(list, nullptr);
        opened = true;
        EXPECT_EQ(list->windowTitle(), QStringLiteral("3月未输入从业工资错误信息"));
        EXPECT_EQ(list->Book().GetCellText(2, 1), QStringLiteral("001"));
        list->BitBtn2Click();
    });
    ui.Clear();
    f.B2Click();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(Texts().isEmpty());  // a sheet that shows the stored month is not asked about
}

// The list stores at once, so it opens only over the stored month: over typed rows the sheet asks
// first (Yes saves, No gives them up, Cancel opens nothing); it reloads only after the list stored
// a change, and the next save neither brings back a row the list deleted nor drops a typed row.
TEST_F(WageFormTest, NoChangeOfTheErrorListIsUndoneAndNoTypedRowLostWithoutAQuestion) {
    enum Act { Delete002, RecheckWithoutIds };
    const struct {
        std::optional<DlgAnswer> answer;  // none: nothing typed, nothing asked
        const char* typed;                // the amount of the typed row 010
        Act act;
        bool opens, reloads;
        const char *shown, *stored;  // the sheet's numbers after the list, the month's after a save
    } cases[] = {{DlgAnswer::Yes, "3000", Delete002, true, true, "001,003,010", "001,003,010"},
                 {DlgAnswer::No, "3000", Delete002, true, true, "001,003", "001,003"},
                 {DlgAnswer::Cancel, "3000", Delete002, false, false, "001,002,003,010", "001,002,003,010"},
                 {std::nullopt, nullptr, Delete002, true, true, "001,003", "001,003"},
                 {DlgAnswer::Yes, "abc", Delete002, false, false, "001,002,003,010", "001,002,003"},  // refused
                 {std::nullopt, nullptr, RecheckWithoutIds, true, false, "001,002,003", "001,002,003"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shown << " act " << c.act);
        base.db().Exec(QStringLiteral("delete from Wage_Info"));
        TFrm_mon f(ctx, month);
        f.FormShow();
        const QStringList rows[] = {
            {"001", "张三", "3000"}, {"002", "李四", "300"}, {"003", "王五", "200"}, {"010", "新人", c.typed}};
        for (int r = 0; r < (c.typed ? 4 : 3); ++r) {
            for (int k = 0; k < 3; ++k) f.Book().SetCellText(r + 2, k + 1, rows[r][k]);
            if (r == 2) {
                f.BitBtn3Click();  // 002 and 003 below the lower limit: listed
                f.BitBtn2Click();  // 编辑
            }
        }
        ui.Clear();
        ui.answers.clear();
        if (c.answer) ui.answers = {*c.answer};
        // Whenever a list is up: the case's act, 取消. The timer ends with the case: never waited for.
        bool opened = false;
        QTimer person;
        QObject::connect(&person, &QTimer::timeout, [&] {
            auto* list = qobject_cast<TFrm_wrontWage*>(QApplication::activeModalWidget());
            if (!list) return;
            opened = true;
            if (c.act == Delete002) {
                list->WageErrorRow = list->Book().GetCellText(2, 1) == QLatin1String("002") ? 2 : 0;
                list->N1Click();                      // gone from the database at once
            } else if (c.act == RecheckWithoutIds) {  // rows that carry no stored row's id update none
                for (int r = 2; !list->Book().GetCellText(r, 2).isEmpty(); ++r) list->Book().SetCellText(r, 9, {});
                list->B1Click();
            }
            list->BitBtn2Click();
        });
        person.start(5);
        f.B2Click();
        EXPECT_EQ(opened, c.opens);
        EXPECT_EQ(!Texts().isEmpty() && Texts().front() == db::kSaveBeforeListQuestion, c.answer.has_value());
        EXPECT_TRUE(!c.answer || ui.shown.front().buttons == DlgButtons::YesNoCancel);
        EXPECT_EQ(f.EditMode(), !c.reloads);
        QStringList shown;
        for (int r = 2; !f.Book().GetCellText(r, 2).isEmpty(); ++r) shown << f.Book().GetCellText(r, 1);
        EXPECT_EQ(shown.join(QLatin1Char(',')), QLatin1String(c.shown));
        f.BitBtn3Click();
        EXPECT_EQ(Q("select group_concat(sNumber) from (select sNumber from Wage_Info where Smon=3 order by id)"),
                  QLatin1String(c.stored));
    }
}

TEST_F(WageFormTest, CorrectingTheLastRowClosesTheListAndReloadsTheSheet) {
    TFrm_mon f(ctx, month);
    f.FormShow();
    f.Book().SetCellText(2, 1, QStringLiteral("001"));
    f.Book().SetCellText(2, 2, QStringLiteral("张三"));
    f.Book().SetCellText(2, 3, QStringLiteral("2500.5x"));
    f.BitBtn3Click();  // refused: not a number
    EXPECT_EQ(Q("select count(*) from Wage_Info"), QStringLiteral("0"));
    f.Book().SetCellText(2, 3, QStringLiteral("100"));
    f.BitBtn3Click();
    bool closed = false;
    WhenModal([&](QWidget* w) {
        auto* list = qobject_cast<TFrm_wrontWage*>(w);
        ASSERT_NE(list, nullptr);
        list->Book().SetCellText(2, 3, QStringLiteral("2500"));
        list->B1Click();
        closed = !list->isVisible();
    });
    f.B2Click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(f.Book().GetCellText(2, 7), QStringLiteral("2500"));
    EXPECT_FALSE(f.Book().IsMarked(2, 7));

    // Opened with nothing left to correct, the list only reloads its opener.
    int reloads = 0;
    TFrm_wrontWage empty(ctx, month);
    empty.SetReloadOpener([&] { ++reloads; });
    empty.ShowModal();
    EXPECT_EQ(reloads, 1);
}

TEST_F(WageFormTest, TheStaffListStaysUsableBesideTheModalSheetAndOutlivesIt) {
    QPointer<QWidget> staffList;
    {
        auto f = std::make_unique<TFrm_mon>(ctx, month, &mainWidget);
        WhenModal([&](QWidget* w) {
            auto* sheet = qobject_cast<TFrm_mon*>(w);
            ASSERT_NE(sheet, nullptr);
            sheet->BitBtn1Click();
            staffList = sheet->StaffListWindow();
            ASSERT_NE(staffList, nullptr);
            EXPECT_TRUE(staffList->isVisible());
            EXPECT_TRUE(staffList->isWindow());
            // A window below the modal dialog is not blocked by it.
            EXPECT_EQ(staffList->parentWidget(), sheet);
            QApplication::processEvents();
            EXPECT_FALSE(static_cast<FakeStaffList*>(staffList.data())->blocked);
            sheet->BitBtn1Click();  // a second click shows the same window
            EXPECT_EQ(sheet->StaffListWindow(), staffList.data());
            sheet->close();
        });
        f->ShowModal();
    }
    ASSERT_FALSE(staffList.isNull());
    EXPECT_TRUE(staffList->isVisible());
    EXPECT_EQ(staffList->parentWidget(), &mainWidget);
    EXPECT_EQ(ctx.mainWidget, &mainWidget);
    staffList->close();
}

TEST_F(WageFormTest, ClosingAsksOnlyWhileRowsAreNotStored) {
    TFrm_mon f(ctx, month);
    f.FormShow();
    f.show();
    f.B5Click();  // the roster, not stored yet
    ui.Clear();
    ui.answers = {DlgAnswer::No, DlgAnswer::Yes};
    f.close();
    EXPECT_TRUE(f.isVisible());
    f.reject();  // Esc ends here too
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(Texts(), (QStringList{db::kCloseUnsavedQuestion, db::kCloseUnsavedQuestion}));
    // Loaded or stored rows close without a question.
    f.FormShow();
    f.show();
    f.B5Click();
    f.BitBtn3Click();
    ui.Clear();
    f.close();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(Texts().isEmpty());
}

TEST_F(WageFormTest, PictureOfTheSheetWithAFailingRow) {
    TFrm_mon f(ctx, month);
    f.FormShow();
    f.BitBtn2Click();
    f.B5Click();
    const QStringList amounts[] = {{"2500.5", "600", "300", "100"}, {"2000", "800", "", "150"}, {"200", "", "", ""}};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 4; ++k) f.Book().SetCellText(i + 2, 3 + k, amounts[i][k]);
    f.Book().SetCellText(5, 1, QStringLiteral("099"));
    f.Book().SetCellText(5, 2, QStringLiteral("钱 七"));
    f.Book().SetCellText(5, 3, QStringLiteral("4200"));
    f.BitBtn3Click();
    EXPECT_TRUE(f.Book().IsMarked(4, 7));
    EXPECT_TRUE(f.Book().IsMarked(5, 1));
    f.show();
    QApplication::processEvents();
    const QPixmap shot = f.grab();
    EXPECT_FALSE(shot.isNull());
    const QString dir = qEnvironmentVariable("QM_SHOT_DIR", base.base());
    QDir().mkpath(dir);
    EXPECT_TRUE(shot.save(dir + QStringLiteral("/wage_sheet.png")));

    TFrm_wrontWage list(ctx, month);
    list.FormShow();
    list.show();
    QApplication::processEvents();
    EXPECT_TRUE(list.grab().save(dir + QStringLiteral("/wage_error_list.png")));
}

}  // namespace
}  // namespace qm::test
