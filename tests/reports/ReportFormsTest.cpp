// The windows of forms 202-1 and 102-1 and the quarter chooser, on the small units of the
// report tests; pictures of both windows go to QM_SHOT_DIR (or the temporary folder).

#include "core/app/FormFactory.h"
#include "core/app/Placeholders.h"
#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "reports/JGLaborForm.h"
#include "reports/LabourRegistration.h"
#include "reports/NGLaborForm.h"
#include "reports/RangeSummaryRegistration.h"
#include "reports/ReportRegistration.h"
#include "tests/core/report/ReportTestSupport.h"
#include "tests/support/RecordingMain.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

using namespace qm;

namespace {

class ReportFormsTest : public ::testing::Test {
protected:
    void Load(const QString& fixture) {
        base.RunFixture(fixture);
        state = test::UnitOf(base);
    }
    static QString Shot(QWidget* w, const QString& name) {
        const QString path = qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath()) + QLatin1Char('/') + name;
        w->grab().save(path);
        return path;
    }
    QList<TFrm_JGLabor*> OpenReportWindows() const {
        QList<TFrm_JGLabor*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TFrm_JGLabor*>(w); f && f->isVisible()) out << f;
        return out;
    }

    test::TempBase base;
    ScriptedUiService ui;
    MemoryProgress pb;
    MainState state;
    test::RecordingMain main;
    QWidget mainWidget;
    AppContext ctx{base.db(), ui, base.paths(), state, pb, &main, nullptr, &mainWidget};
    FormFactory forms{ctx};
};

}  // namespace

TEST_F(ReportFormsTest, TheQuarterlyWindowShowsItsFiguresExportsAndUploads) {
    Load(QStringLiteral("report_quarter.sql"));
    auto* f = new TFrm_JGLabor(ctx, &mainWidget, Quarter(1));
    f->ShowModeless(std::unique_ptr<IForm>(f));
    QPointer<TFrm_JGLabor> alive(f);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("从业人员及工资总额（季报）"));
    EXPECT_EQ(f->Label3->text(), QStringLiteral("组织机构代码 ：12345678X"));
    EXPECT_EQ(f->Label4->text(), QStringLiteral("企业（单位）详细名称 ：河畔'测试单位"));
    EXPECT_EQ(f->Label5->text(), QStringLiteral("(一季度)"));
    EXPECT_EQ(test::SheetDiff(f->Book(), QStringLiteral("jglabor_q1_cells.csv")), QString());
    EXPECT_EQ(pb.Position(), 0);
    EXPECT_TRUE(ui.shown.empty());
    f->resize(900, 760);
    EXPECT_FALSE(QImage(Shot(f, QStringLiteral("jglabor.png"))).isNull());

    // Print before the export asks for it; the export then makes the workbook and print opens it.
    f->BitBtn3->click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("必须导成EXCEL才支持打印。")});
    ui.Clear();
    f->BitBtn2->click();
    const QString book = base.paths().Xls() + QStringLiteral("/基础定期报表I202-1_(一季度).xlsx");
    EXPECT_TRUE(QFileInfo::exists(book));
    EXPECT_EQ(f->Pb->value(), 0);
    ui.Clear();
    f->BitBtn3->click();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::OpenDocument);
    EXPECT_EQ(ui.shown[0].text, book);

    // The upload writes the file and closes the window.
    ui.Clear();
    f->BitBtn4->click();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Gzsb() + QStringLiteral("/12345678X_1_i202.dbf")));
    QApplication::processEvents();
    EXPECT_TRUE(alive.isNull() || !alive->isVisible());
}

TEST_F(ReportFormsTest, TheQuarterChooserChecksEachQuarterAndOpensAWindowPerPress) {
    Load(QStringLiteral("report_quarter.sql"));
    RegisterReportForms(forms);
    ctx.forms = &forms;
    TFrm_ChooseJLabor c(ctx, &mainWidget);
    EXPECT_EQ(c.windowTitle(), QStringLiteral("季度选择"));
    c.show();
    c.SpeedButton2->click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("无6月工资数据，无法统计。")});
    EXPECT_TRUE(OpenReportWindows().isEmpty());
    c.SpeedButton1->click();
    c.SpeedButton1->click();
    const QList<TFrm_JGLabor*> open = OpenReportWindows();
    ASSERT_EQ(open.size(), 2);
    for (TFrm_JGLabor* w : open) {
        EXPECT_EQ(w->Quarter(), Quarter(1));
        EXPECT_EQ(w->Book().GetCellText(19, 5), QStringLiteral("3667"));
        EXPECT_EQ(w->parentWidget(), &c);  // takes input while the chooser runs
    }
    for (TFrm_JGLabor* w : open) w->close();
    QApplication::processEvents();
}

// The year is typed over the "20       年" label, its "年" left in sight, on a line of its own
// under the title: not against the form number.
TEST_F(ReportFormsTest, TheAnnualYearFieldSitsOverItsLabelAwayFromTheFormNumber) {
    TFrm_NGLabor f(ctx, &mainWidget);
    f.show();
    QApplication::processEvents();
    ASSERT_TRUE(f.Label9->isVisible());
    EXPECT_EQ(f.Label9->text(), QStringLiteral("20       年"));
    const QRect label(f.Label9->mapTo(&f, QPoint(0, 0)), f.Label9->size());
    const QRect year(f.Year->mapTo(&f, QPoint(0, 0)), f.Year->size());
    EXPECT_TRUE(label.contains(year));
    const int yearChar = QFontMetrics(f.Label9->font()).horizontalAdvance(QStringLiteral("年"));
    EXPECT_GE(label.right() - year.right(), yearChar);  // "年" is not covered
    const QRect number(f.Label5->mapTo(&f, QPoint(0, 0)), f.Label5->size());
    EXPECT_LT(label.bottom(), number.top());  // a line above the form number
    EXPECT_GT(label.top(), f.Label1->geometry().bottom());
}

TEST_F(ReportFormsTest, TheAnnualWindowComputesAndExportsOnlyForItsYears) {
    Load(QStringLiteral("report_annual.sql"));
    TFrm_NGLabor f(ctx, &mainWidget);
    f.FormShow();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("从业人员及工资总额（年报）"));
    EXPECT_EQ(f.Label3->text(), QStringLiteral("组织机构代码 : 12345678X"));
    EXPECT_EQ(f.Year->text(), QStringLiteral("2012"));
    EXPECT_EQ(test::SheetDiff(f.Book(), QStringLiteral("nglabor_cells.csv")), QString());
    f.show();
    EXPECT_FALSE(QImage(Shot(&f, QStringLiteral("nglabor.png"))).isNull());

    f.Year->setText(QStringLiteral("2014"));
    f.BitBtn2->click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("年份只能为2012或2013。")});
    EXPECT_FALSE(QFileInfo::exists(base.paths().Xls()));
    ui.Clear();
    f.Year->setText(QStringLiteral("2013"));
    f.BitBtn2->click();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Xls() + QStringLiteral("/基础定期报表I102-1_12345678X.xlsx")));
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_TRUE(ui.shown[0].text.endsWith(QStringLiteral("文件名为:基础定期报表I102-1_12345678X.xlsx")));

    ui.Clear();
    f.BitBtn4->click();
    EXPECT_TRUE(QFileInfo::exists(base.paths().Gzsb() + QStringLiteral("/12345678X_i102.dbf")));
    EXPECT_FALSE(f.isVisible());
}

TEST_F(ReportFormsTest, RegisteredFormsReplaceTheirPlaceholders) {
    RegisterPlaceholders(forms);
    RegisterReportForms(forms);
    for (const char* name : {"TFrm_JGLabor", "TFrm_ChooseJLabor", "TFrm_NGLabor"}) {
        std::unique_ptr<IForm> f = forms.Create(QString::fromLatin1(name));
        ASSERT_NE(f, nullptr) << name;
        EXPECT_FALSE(IsPlaceholder(*f)) << name;
    }
    EXPECT_NE(forms.CreateAs<IJGLabor>(QStringLiteral("TFrm_JGLabor")), nullptr);
}

// Every report form opens over the window its opener names, else over the main window; the
// quarterly window works on the quarter it was made for.
TEST_F(ReportFormsTest, FormsOpenOverTheWindowTheyAreGivenAndOnTheirQuarter) {
    RegisterReportForms(forms);
    RegisterLabourForms(forms);
    RegisterRangeSummaryForms(forms);
    QWidget opener;
    for (const char* name :
         {"TFrm_JGLabor", "TFrm_ChooseJLabor", "TFrm_NGLabor", "TFrm_JLabor", "TFrm_NLabor", "TFrm_chooseMon",
          "TFrm_chooseAB", "TFrm_chooseBA", "TFrm_wagehz", "TFrm_wagejghz", "TFrm_hzinfo", "TFrm_hz"}) {
        const QString form = QString::fromLatin1(name);
        for (QWidget* given : {&opener, static_cast<QWidget*>(nullptr)}) {
            std::unique_ptr<IForm> f = forms.Create(form, {.parent = given});
            auto* w = dynamic_cast<QWidget*>(f.get());
            ASSERT_NE(w, nullptr) << name;
            EXPECT_EQ(w->parentWidget(), given ? given : &mainWidget) << name;
        }
    }
    for (int q : {1, 3}) {
        auto f = forms.CreateAs<IJGLabor>(QStringLiteral("TFrm_JGLabor"), {.quarter = Quarter(q)});
        EXPECT_EQ(f->Quarter(), Quarter(q));
    }
}
