#include "core/app/FormFactory.h"
#include "entry/EntrySheet.h"
#include "entry/staff/AllputForm.h"
#include "entry/staff/WrongForm.h"
#include "sheet/SheetView.h"
#include "tests/entry/staff/AllputTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace qm::test {
namespace {

class AllputFormTest : public AllputFixture {
protected:
    void Open() {
        form = std::make_unique<TFrm_allput>(ctx, month);
        form->show();
    }
    void Store(const QList<QStringList>& rows) {
        for (int i = 0; i < rows.size(); ++i) PutRow(3 + i, rows[i]);
        AllputSheet(book, ctx, codes).Save();
        ui.Clear();
    }
    std::optional<Month> month = Month::Start();  // none: the staff register
    std::unique_ptr<TFrm_allput> form;
};

TEST_F(AllputFormTest, EntryModeShowsTheEntryButtonsAndTheStoredRows) {
    Store({GoodRow(QStringLiteral("张三"), QStringLiteral("A1"))});
    Open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("人员情况期初录入"));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("企事业单位人员情况表"));
    EXPECT_TRUE(form->BitBtn7->isVisible());
    EXPECT_TRUE(form->SpeedButton1->isVisible());
    EXPECT_FALSE(form->SBt->isVisible());
    EXPECT_FALSE(form->BitBtn4->isEnabled());
    EXPECT_EQ(form->Book().GetCellText(3, 1), QStringLiteral("张三"));
    EXPECT_EQ(form->SbPanel0->text(), QStringLiteral(" 共 1 条"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("单位法人代码：12345678X "));
    EXPECT_EQ(form->width(), 915);
    EXPECT_EQ(form->View()->width(), 870);
}

TEST_F(AllputFormTest, RegisterModeIsKeptForTheLifeOfTheWindow) {
    month = std::nullopt;
    state.DepClass = UnitClass(true, state.DepClass.kind());
    Open();
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(form->windowTitle(), QStringLiteral("人员名册"));
        EXPECT_EQ(form->Label1->text(), QStringLiteral("企 事 业 单 位 人 员 名 册"));
        EXPECT_TRUE(form->SBt->isVisible());
        EXPECT_FALSE(form->BitBtn7->isVisible());
        EXPECT_FALSE(form->SpeedButton1->isVisible());
        EXPECT_FALSE(form->BitBtn1->isVisible());
        EXPECT_TRUE(form->RegisterMode());
        form->ReloadAndRecheck();
    }
}

TEST_F(AllputFormTest, AboveSizeLayoutAndItsYesNoListOverTheHiddenColumns) {
    SetUnit(QStringLiteral("规上"));
    Store({GoodRow(QStringLiteral("张三"), QStringLiteral("A1"))});
    Open();
    EXPECT_EQ(form->width(), 965);
    EXPECT_EQ(form->View()->width(), 920);
    EXPECT_TRUE(form->Book().IsColHidden(16));
    EXPECT_EQ(form->Book().GetCellText(2, 18), QStringLiteral("14"));

    TSheetBook& b = form->Book();
    const int yorn = b.ObjectIdByName(QStringLiteral("YorN"));
    form->SheetBook1DblClick(2, 14);
    EXPECT_FALSE(b.Object(yorn).visible);
    form->SheetBook1DblClick(3, 14);
    const SheetObject& o = b.Object(yorn);
    EXPECT_TRUE(o.visible);
    EXPECT_EQ(o.x1, 13);
    EXPECT_EQ(o.x2, 17);
    EXPECT_EQ(o.y1, 2);
    EXPECT_EQ(o.y2, 12);
    EXPECT_EQ(o.linkKind, 2);
    EXPECT_EQ(o.linkRow, 3);
    EXPECT_EQ(o.linkCol, 14);
    b.PickObjectItem(yorn, 0);
    EXPECT_EQ(b.GetCellText(3, 14), QStringLiteral("否"));
    form->SheetBook1DblClick(3, 10);  // another list closes this one
    EXPECT_FALSE(b.Object(yorn).visible);
    EXPECT_TRUE(b.Object(b.ObjectIdByName(QStringLiteral("GW"))).visible);
    EXPECT_EQ(b.Object(b.ObjectIdByName(QStringLiteral("GW"))).y2, 19);
}

TEST_F(AllputFormTest, DateAndNameEditorsWriteBackIntoTheCell) {
    Open();
    EXPECT_EQ(form->DT1->count(), 72);
    EXPECT_EQ(form->DT1->currentText(), QStringLiteral("1942"));
    form->SheetBook1DblClick(4, 6);
    EXPECT_TRUE(form->DT1->isVisible());
    EXPECT_TRUE(form->DT2->isVisible());
    form->DT1->setCurrentText(QStringLiteral("1975"));
    EXPECT_EQ(form->Book().GetCellText(4, 6), QString());  // a year alone writes nothing
    form->DT2->setCurrentIndex(2);
    form->DT2Change();
    EXPECT_EQ(form->Book().GetCellText(4, 6), QStringLiteral("1975-03"));
    EXPECT_FALSE(form->DT2->isVisible());

    form->Book().SetCellText(4, 1, QStringLiteral("旧名"));
    form->SheetBook1DblClick(4, 1);
    EXPECT_TRUE(form->Name->isVisible());
    EXPECT_EQ(form->Name->text(), QStringLiteral("旧名"));
    form->Name->setText(QStringLiteral("新名"));
    form->NameExit();
    EXPECT_EQ(form->Book().GetCellText(4, 1), QStringLiteral("新名"));
    EXPECT_FALSE(form->Name->isVisible());
    EXPECT_TRUE(form->Sheet().Dirty());
}

TEST_F(AllputFormTest, AFifteenColumnBlockPastedAnywhereSavesItsLastValueInColumn18) {
    SetUnit(QStringLiteral("规上"));
    Store({GoodRow(QStringLiteral("甲"), QStringLiteral("A1")), GoodRow(QStringLiteral("乙"), QStringLiteral("A2"))});
    Open();
    // Two rows of a 15-column layout: the production answer right after column 14.
    auto block = [](const QString& first, const QString& second, const QString& n1, const QString& n2) {
        return (GoodRow(QStringLiteral("丙"), n1).mid(0, 14) << first).join('\t') + "\r\n" +
               (GoodRow(QStringLiteral("丁"), n2).mid(0, 14) << second).join('\t') + "\r\n";
    };
    QGuiApplication::clipboard()->setText(block(QStringLiteral("0"), QStringLiteral("是"), "B1", "B2"));
    form->View()->GoToCell(5, 1);
    QTest::keyClick(form->View()->TableAt(5, 1), Qt::Key_V, Qt::ControlModifier);
    // The pop-up's 粘贴 below them, and its note in the status bar, whole.
    QGuiApplication::clipboard()->setText(block(QStringLiteral("是"), QStringLiteral("0"), "B3", "B4"));
    form->Book().SetSelection(7, 1, 7, 1);
    form->N5Click();
    QLabel* status = form->SbPanel0;
    EXPECT_EQ(status->text(), QStringLiteral("上表已经更改，需要保存请按[生成代码/审核/保存]按钮，重新审核保存。"));
    EXPECT_GE(status->contentsRect().width(), status->fontMetrics().horizontalAdvance(status->text()));
    EXPECT_LE(form->SbPanel1->geometry().right(), form->width());
    form->BitBtn7Click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("[名册清单]保存成功！")});
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(sTyg || sIsok, '|') from (select sTyg, sIsok from "
                                    "Staff_moninfo where sMon=0 order by id)")),
              QStringLiteral("是1|是1|否1|是1|是1|否1"));
    EXPECT_EQ(status->text(), QStringLiteral(" 共 6 条"));  // the note no longer holds
    // A post name in the data rows' font fits its column.
    QFont data = form->View()->font();
    data.setPointSize(8);
    EXPECT_GT(form->Book().ColWidth(10), QFontMetrics(data).horizontalAdvance(QStringLiteral("专业技术岗位工作人员")));
}

TEST_F(AllputFormTest, ClosingAsksOnlyWhileRowsAreNotStored) {
    Open();
    form->BitBtn5Click();  // as loaded: nothing to ask
    EXPECT_FALSE(form->isVisible());
    Open();
    form->Book().SetCellText(3, 1, QStringLiteral("李四"));
    ui.answers = {DlgAnswer::No};
    form->BitBtn5Click();
    EXPECT_TRUE(form->isVisible());
    ui.answers = {DlgAnswer::Yes};
    form->reject();  // Esc and the title bar's close end here too
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(ui.Texts(), (QStringList{db::kCloseUnsavedQuestion, db::kCloseUnsavedQuestion}));
    Open();
    form->Book().SetCellText(3, 1, QStringLiteral("李四"));
    form->BitBtn7Click();
    ui.Clear();
    form->BitBtn5Click();  // stored: no question
    EXPECT_TRUE(ui.Texts().isEmpty());
}

TEST_F(AllputFormTest, ClearGoesThroughTheMainWindowAndKeepsTheSheetWhenItDeclines) {
    Store({GoodRow(QStringLiteral("张三"), QStringLiteral("A1"))});
    Open();
    form->SpeedButton1Click();
    EXPECT_EQ(main.clears, 1);
    EXPECT_EQ(form->Book().GetCellText(3, 1), QStringLiteral("张三"));
    main.clearAnswer = true;
    form->SpeedButton1Click();
    EXPECT_EQ(form->Book().GetCellText(3, 1), QString());
    EXPECT_EQ(form->SbPanel0->text(), QStringLiteral(" 共 0 条"));
}

TEST_F(AllputFormTest, SaveButtonEnablesTheErrorListOnFailingRows) {
    Open();
    QStringList bad = GoodRow(QStringLiteral("李四"), QStringLiteral("A2"));
    bad[2] = QStringLiteral("1");
    form->Book().SetSelection(3, 1, 3, 1);
    for (int c = 0; c < bad.size(); ++c) form->Book().SetCellText(3, c + 1, bad[c]);
    form->BitBtn7Click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("出现错误，请核实！")});
    EXPECT_TRUE(form->BitBtn4->isEnabled());
    EXPECT_EQ(Scalar(QStringLiteral("select sIsok from Staff_moninfo")), QStringLiteral("0"));
}

// Stands in for the staff error list: corrects the stored row as a person would, then closes.
class CorrectingErrorList : public IWrongForm {
public:
    CorrectingErrorList(db::Connection& c, QString& monflag) : c_(c), monflag_(monflag) {}
    void SetMonflag(const QString& flag) override { monflag_ = flag; }
    void SetOpenerRefresh(std::function<void()> refresh) override { refresh_ = std::move(refresh); }
    void ShowModal() override {
        c_.Exec(QStringLiteral("update Staff_moninfo set sTsex='男', sSex=1, sIsok='1', sName='李四改' where sMon=0"));
        if (refresh_) refresh_();
    }
    void ShowModeless(std::unique_ptr<IForm>) override { ShowModal(); }

private:
    db::Connection& c_;
    QString& monflag_;
    std::function<void()> refresh_;
};

TEST_F(AllputFormTest, ErrorListOpensForTheStartOfPeriodRowsAndTheSheetShowsItsCorrections) {
    QStringList bad = GoodRow(QStringLiteral("李四"), QStringLiteral("A2"));
    bad[2] = QStringLiteral("1");
    Store({bad});
    db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0'"));
    FormFactory forms(ctx);
    QString monflag;
    std::optional<Month> made;
    forms.Register(QStringLiteral("TFrm_wrong"), [&](AppContext&, const FormArgs& args) -> std::unique_ptr<IForm> {
        made = args.month;
        return std::make_unique<CorrectingErrorList>(db(), monflag);
    });
    ctx.forms = &forms;
    Open();
    ASSERT_TRUE(form->Book().IsMarked(3, 3));
    form->BitBtn4Click();
    EXPECT_EQ(monflag, QStringLiteral("0"));
    EXPECT_EQ(made, Month::Start());
    EXPECT_EQ(form->Book().GetCellText(3, 1), QStringLiteral("李四改"));
    EXPECT_FALSE(form->Book().IsMarked(3, 3));
}

TEST_F(AllputFormTest, UploadWritesTheRegisterFileAndClosesTheForm) {
    Store({GoodRow(QStringLiteral("张三"), QStringLiteral("A1"))});
    month = std::nullopt;
    Open();
    form->SBtClick();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Rcsb() + QStringLiteral("/Gl_12345678X.dbf")));
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_TRUE(ui.shown[0].text.endsWith(QStringLiteral("'里,文件名为:Gl_12345678X.dbf")));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(AllputFormTest, ActivationReloadsOnlyFromAnotherWindowAndNeverOverEdits) {
    QWidget formLike;
    QMessageBox own(&formLike);
    QWidget child(&own);
    QWidget other;
    EXPECT_FALSE(TFrm_allput::ShouldReloadOnActivation(&formLike, &own, false));
    EXPECT_FALSE(TFrm_allput::ShouldReloadOnActivation(&formLike, &child, false));
    EXPECT_FALSE(TFrm_allput::ShouldReloadOnActivation(&formLike, nullptr, false));
    EXPECT_FALSE(TFrm_allput::ShouldReloadOnActivation(&formLike, &other, true));
    EXPECT_TRUE(TFrm_allput::ShouldReloadOnActivation(&formLike, &other, false));

    // An activation with no other window before it (a box of its own closed) keeps the edits.
    Open();
    form->Book().SetCellText(3, 1, QStringLiteral("未保存"));
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(form.get(), &activate);
    QApplication::sendEvent(form.get(), &activate);
    EXPECT_EQ(form->Book().GetCellText(3, 1), QStringLiteral("未保存"));
}

TEST_F(AllputFormTest, Screenshot) {
    SetUnit(QStringLiteral("是1"));
    QStringList bad = GoodRow(QStringLiteral("王小明"), QStringLiteral("0003"));
    bad[8] = QStringLiteral("本科");  // not a name of the education list
    bad[5] = QStringLiteral("1931-02");
    QStringList third = GoodRow(QStringLiteral("赵丽"), QStringLiteral("0002"));
    third[2] = QStringLiteral("女");
    third[16] = QStringLiteral("是（持上岗证书）");
    Store({GoodRow(QStringLiteral("张三"), QStringLiteral("0001")), third, bad,
           GoodRow(QStringLiteral("李四"), QStringLiteral("0004"))});
    Open();
    EXPECT_TRUE(form->Book().IsMarked(5, 9));
    EXPECT_TRUE(form->Book().IsMarked(5, 6));
    EXPECT_FALSE(form->Book().IsMarked(4, 9));
    EXPECT_TRUE(form->BitBtn4->isEnabled());
    EXPECT_EQ(form->width(), 1105);
    form->SheetBook1DblClick(4, 17);
    // Kept where shots go (QM_SHOT_DIR), else in the temporary folder: never the working folder.
    const QString shot =
        QDir(qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath())).filePath(QStringLiteral("allput-shi1.png"));
    EXPECT_TRUE(form->grab().save(shot));
}

}  // namespace
}  // namespace qm::test
