// The four Gid-matrix summary forms over the hand-worked units of tests/fixtures: what they
// show, what they refuse, and what their upload files hold (read back with shapelib).

#include "reports/TalentForm.h"
#include "reports/WageSummaryForm.h"
#include "sheet/SheetView.h"
#include "tests/core/report/ReportTestSupport.h"
#include "tests/shell/MainFixture.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

using namespace qm;

namespace {

const QString kRefusal = QStringLiteral("你没有<审核>数据及<存储>，无法进行统计汇总。");

QList<int> Span(int first, int last) {
    QList<int> out;
    for (int i = first; i <= last; ++i) out << i;
    return out;
}

class GidSummaryFormsTest : public ::testing::Test, public test::MainFixture {
protected:
    // Where the pictures go; the pending layout runs first, so the labels show their texts.
    QString Shots() const {
        QCoreApplication::processEvents();
        return qEnvironmentVariable("QM_SHOT_DIR", QDir::tempPath());
    }
    QString Scalar(const QString& sql) { return base.Scalar(sql); }

    template <class F>
    std::unique_ptr<F> Wage(int from, int to, bool recompute = true) {
        auto f = std::make_unique<F>(ctx, nullptr, MonthRun(Month(from), Month(to)), recompute);
        f->show();
        MainFixture::Run([&] { f->FormShow(); });
        return f;
    }
    template <class F>
    std::unique_ptr<F> Talent() {
        auto f = std::make_unique<F>(ctx);
        f->show();
        MainFixture::Run([&] { f->FormShow(); });
        return f;
    }

    // Sheet rows first.. against a golden CSV of "Gid, c1..cn[, extra]": columns from `firstCol` on.
    static QString SheetAgainst(const TSheetBook& sheet, const QString& golden, int firstCol, int columns) {
        QString diff;
        const QStringList lines = test::GoldenText(golden).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (int i = 1; i < lines.size(); ++i) {
            const QStringList g = lines[i].split(QLatin1Char(','));
            const int row = g[0].toInt() + 3;
            for (int c = 0; c < columns; ++c) {
                const QString got = sheet.GetCellText(row, firstCol + c);
                if (got != g[c + 1])
                    diff +=
                        QStringLiteral("R%1C%2: expected %3, got '%4'\n").arg(row).arg(firstCol + c).arg(g[c + 1], got);
            }
        }
        return diff;
    }
    QString AllOf(const QString& table) {
        return Scalar(QStringLiteral(
                          "select group_concat(coalesce(Dep_id,'')||'/'||coalesce(G11,'')||'/'||coalesce(G14,'')||'/'||"
                          "coalesce(G19,''), ';') from ") +
                      table);
    }
};

TEST_F(GidSummaryFormsTest, EnterpriseFormShowsTheHandFiguresOfTheRange) {
    base.RunFixture(QStringLiteral("wage_summaries.sql"));
    auto f = Wage<TFrm_wagehz>(1, 3);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("企业事业单位汇总表（1）"));
    EXPECT_EQ(f->Label1->text(), QStringLiteral("企业事业单位工资情况汇总表"));
    EXPECT_EQ(f->Label2->text(), QStringLiteral("单位名称：青石测试单位"));
    EXPECT_EQ(f->Label3->text(), QStringLiteral("单位法人代码：QS0000017"));
    EXPECT_EQ(f->Label4->text(), QStringLiteral("统计月份：1月 至 3月"));
    const QString diff = SheetAgainst(f->Book(), QStringLiteral("i704_1_3.csv"), 3, 11);
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
    EXPECT_EQ(f->Book().GetCellText(4, 1), QStringLiteral("合计"));
    EXPECT_TRUE(f->BitBtn1->isEnabled());
    EXPECT_TRUE(f->BitBtn2->isEnabled());
    EXPECT_FALSE(f->BitBtn3->isEnabled());  // 1..3 is no range to upload
    EXPECT_TRUE(base.db().HasTable(QStringLiteral("Total_1_3")));
    EXPECT_TRUE(ui.shown.empty());
    f->resize(1000, 760);
    const QString shot = Shots() + QStringLiteral("/i704.png");
    EXPECT_TRUE(f->grab().save(shot));
}

TEST_F(GidSummaryFormsTest, TheUploadButtonFollowsTheRange) {
    base.RunFixture(QStringLiteral("wage_summaries.sql"));
    QStringList enabled;
    for (auto [from, to] :
         {std::pair{1, 6}, std::pair{1, 12}, std::pair{6, 12}, std::pair{1, 3}, std::pair{7, 12}, std::pair{2, 6}}) {
        auto f = Wage<TFrm_wagejghz>(from, to);
        if (f->BitBtn3->isEnabled()) enabled << QStringLiteral("%1-%2").arg(from).arg(to);
        auto saved = Wage<TFrm_wagejghz>(from, to, false);
        EXPECT_TRUE(saved->ShowsSavedCopy());
        EXPECT_EQ(saved->BitBtn3->isEnabled(), f->BitBtn3->isEnabled());
    }
    EXPECT_EQ(enabled, (QStringList{"1-6", "1-12", "6-12"}));
}

TEST_F(GidSummaryFormsTest, ASavedCopyIsShownAsStoredAndUploadedAsShown) {
    base.RunFixture(QStringLiteral("wage_summaries.sql"));
    Wage<TFrm_wagehz>(1, 6);
    Wage<TFrm_wagehz>(3, 3);  // Total_Info now holds month 3 alone: 8 thousand in all
    ASSERT_EQ(Scalar(QStringLiteral("select G21 from Total_Info where Gid=1")), QStringLiteral("8"));
    const QString before = AllOf(QStringLiteral("Total_Info"));

    auto f = Wage<TFrm_wagehz>(1, 6, false);
    ASSERT_TRUE(f->ShowsSavedCopy());
    EXPECT_EQ(f->Label4->text(), QStringLiteral("统计月份：1月 至 6 月"));
    EXPECT_EQ(f->Book().GetCellText(4, 13), QStringLiteral("22"));
    EXPECT_EQ(f->Book().GetCellText(4, 6), QStringLiteral("--"));
    EXPECT_EQ(f->Book().GetCellText(14, 13), QStringLiteral("0"));  // the stored total, no remainder
    EXPECT_EQ(AllOf(QStringLiteral("Total_Info")), before);         // showing writes nothing

    ASSERT_TRUE(f->BitBtn3->isEnabled());
    f->BitBtn3->click();
    const QString file = base.paths().Gzsb() + QStringLiteral("/QS0000017_i704.dbf");
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("你保存在'") +
                                      QDir::toNativeSeparators(base.paths().Gzsb() + QLatin1Char('/')) +
                                      QStringLiteral("'里,文件名为:QS0000017_i704.dbf")});
    EXPECT_FALSE(f->isVisible());
    test::DbfFile d(file);
    ASSERT_NE(d.h, nullptr);
    EXPECT_EQ(d.Names(), (QStringList{"Gid", "Dep_id", "Tdate", "frmc", "G11", "G12", "G13", "G14", "G15", "G16", "G17",
                                      "G18", "G19", "G20", "G21"}));
    EXPECT_EQ(d.Gids(), Span(1, 40));
    EXPECT_EQ(d.Int(0, "G21"), 22);  // the copy of 1..6 the form shows, not month 3 of Total_Info
    EXPECT_EQ(d.Int(0, "G20"), 3);
    EXPECT_EQ(d.Text(0, "frmc"), QStringLiteral("青石测试单位"));
    EXPECT_EQ(d.Text(39, "Dep_id"), QStringLiteral("QS0000017"));
}

TEST_F(GidSummaryFormsTest, ACopyOfTheOtherSummaryIsComputedAfreshInstead) {
    base.RunFixture(QStringLiteral("wage_summaries.sql"));
    Wage<TFrm_wagejghz>(1, 3);
    ASSERT_EQ(Scalar(QStringLiteral("select count(*) from Total_1_3")), QStringLiteral("21"));
    auto f = Wage<TFrm_wagehz>(1, 3, false);
    EXPECT_FALSE(f->ShowsSavedCopy());
    EXPECT_EQ(f->Label4->text(), QStringLiteral("统计月份：1月 至 3月"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_1_3")), QStringLiteral("40"));
    EXPECT_EQ(f->Book().GetCellText(43, 13), QStringLiteral("5"));
}

TEST_F(GidSummaryFormsTest, StaffErrorsRefuseWithoutTouchingTheTables) {
    base.RunFixture(QStringLiteral("wage_summaries.sql"));
    base.db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0' where sMon=2 and sNumber='004'"));
    const QString before = AllOf(QStringLiteral("Total_Info"));
    for (auto [from, to] : {std::pair{1, 6}, std::pair{1, 12}}) {
        ui.Clear();
        auto f = Wage<TFrm_wagehz>(from, to);
        auto g = Wage<TFrm_wagejghz>(from, to);
        EXPECT_EQ(ui.Texts(), (QStringList{kRefusal, kRefusal}));
        for (WageSummaryForm* form : {static_cast<WageSummaryForm*>(f.get()), static_cast<WageSummaryForm*>(g.get())}) {
            EXPECT_TRUE(form->Refused());
            EXPECT_FALSE(form->BitBtn1->isEnabled());
            EXPECT_FALSE(form->BitBtn2->isEnabled());
            EXPECT_FALSE(form->BitBtn3->isEnabled());
            EXPECT_EQ(form->Book().GetCellText(4, 3), QString());  // the template only
            EXPECT_EQ(form->Book().GetCellText(4, 6), QStringLiteral("——"));
        }
    }
    EXPECT_EQ(AllOf(QStringLiteral("Total_Info")), before);
    EXPECT_FALSE(base.db().HasTable(QStringLiteral("Total_1_6")));
}

TEST_F(GidSummaryFormsTest, OrganFormUploadsItsTwentyOneLines) {
    base.RunFixture(QStringLiteral("wage_summaries.sql"));
    Wage<TFrm_wagehz>(1, 12);  // lines 22..40 of Total_Info hold the enterprise form's figures
    auto f = Wage<TFrm_wagejghz>(1, 12);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("机关单位汇总表"));
    EXPECT_EQ(f->Label4->text(), QStringLiteral("统计月份：1月 至 12 月"));
    EXPECT_EQ(f->Book().GetCellText(10, 13), QStringLiteral("-1"));  // line 7's negative remainder
    {
        auto three = Wage<TFrm_wagejghz>(1, 3);
        three->resize(1000, 680);
        const QString shot = Shots() + QStringLiteral("/i705.png");
        EXPECT_TRUE(three->grab().save(shot));
    }
    ASSERT_TRUE(f->BitBtn3->isEnabled());
    pb.SetPosition(40);
    f->BitBtn3->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(pb.Position(), 0);  // the organ form resets the bar as it closes
    test::DbfFile d(base.paths().Gzsb() + QStringLiteral("/QS0000017_i705.dbf"));
    ASSERT_NE(d.h, nullptr);
    EXPECT_EQ(d.Gids(), Span(1, 21));
    EXPECT_EQ(d.Names().first(), QStringLiteral("Gid"));
    EXPECT_EQ(d.Names().last(), QStringLiteral("G21"));
    EXPECT_EQ(d.Int(20, "G21"), 1);  // line 21's own total, not the shown remainder 12
}

TEST_F(GidSummaryFormsTest, ExportAndPrintOfAWageSummary) {
    base.RunFixture(QStringLiteral("wage_summaries.sql"));
    auto f = Wage<TFrm_wagehz>(1, 3);
    f->BitBtn2->click();
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("必须导成EXCEL才支持打印。")});
    ui.Clear();
    f->BitBtn1->click();
    const QString path = base.paths().Xls() + QStringLiteral("/工资1_3.xlsx");
    EXPECT_TRUE(QFile::exists(path));
    ASSERT_FALSE(ui.Texts().isEmpty());
    EXPECT_TRUE(ui.Texts().first().endsWith(QStringLiteral("'里,文件名为:工资1_3.xlsx")));
    ui.Clear();
    f->BitBtn2->click();
    ASSERT_NE(ui.Last(), nullptr);
    EXPECT_EQ(ui.Last()->sort, ShownBox::Sort::OpenDocument);
    EXPECT_EQ(QFileInfo(ui.Last()->text).fileName(), QStringLiteral("工资1_3.xlsx"));
}

TEST_F(GidSummaryFormsTest, YearEndTalentFormShowsStoresAndUploadsTwoFiles) {
    base.RunFixture(QStringLiteral("talent_year_end.sql"));
    auto f = Talent<TFrm_hzinfo>();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("期初人才调查汇总表（统计上年末人才情况）"));
    EXPECT_EQ(f->Label2->text(), QStringLiteral("单位名称：青石测试单位 "));
    const QString diff = SheetAgainst(f->Book(), QStringLiteral("x505.csv"), 4, 16);
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("select G11 from Total_baseInfo where Gid=1")), QStringLiteral("7"));
    f->resize(1100, 620);
    const QString shot = Shots() + QStringLiteral("/x505.png");
    EXPECT_TRUE(f->grab().save(shot));

    ASSERT_TRUE(f->BitBtn3->isEnabled());
    f->BitBtn3->click();
    const QString folder = QDir::toNativeSeparators(base.paths().Rcsb() + QLatin1Char('/'));
    EXPECT_EQ(ui.Texts(),
              QStringList{QStringLiteral("你保存在'") + folder +
                          QStringLiteral("'里,汇总文件名为:QS0000017_i505.dbf，过录表为：Gl_QS0000017.dbf")});
    EXPECT_FALSE(f->isVisible());
    test::DbfFile sum(base.paths().Rcsb() + QStringLiteral("/QS0000017_i505.dbf"));
    ASSERT_NE(sum.h, nullptr);
    EXPECT_EQ(sum.Gids(), Span(1, 17));
    EXPECT_EQ(sum.Names().mid(0, 5), (QStringList{"Gid", "Dep_id", "Tdate", "frmc", "G11"}));
    EXPECT_EQ(sum.Names().last(), QStringLiteral("G116"));
    EXPECT_EQ(sum.Int(5, "G115"), 3);
    test::DbfFile list(base.paths().Rcsb() + QStringLiteral("/Gl_QS0000017.dbf"));
    ASSERT_NE(list.h, nullptr);
    EXPECT_EQ(list.Records(), 2);  // the start-of-period list, not the year end's seven
    EXPECT_EQ(list.Text(1, "sTJGrade"), QStringLiteral("技师"));
}

TEST_F(GidSummaryFormsTest, ARefusedTalentFormCannotUploadStaleFigures) {
    base.RunFixture(QStringLiteral("talent_year_end.sql"));
    base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sIsok) values (3, 'E1', '0')"));
    const QString before = AllOf(QStringLiteral("Total_baseInfo"));
    pb.SetPosition(30);
    auto f = Talent<TFrm_hzinfo>();
    EXPECT_EQ(ui.Texts(), QStringList{kRefusal});
    EXPECT_TRUE(f->Refused());
    EXPECT_FALSE(f->BitBtn1->isEnabled());
    EXPECT_FALSE(f->BitBtn2->isEnabled());
    EXPECT_FALSE(f->BitBtn3->isEnabled());
    EXPECT_EQ(AllOf(QStringLiteral("Total_baseInfo")), before);
    f->close();
    EXPECT_EQ(pb.Position(), 0);

    // The start-of-period survey refuses only for errors in its own list.
    ui.Clear();
    auto g = Talent<TFrm_hz>();
    EXPECT_FALSE(g->Refused());
    base.db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0' where sMon=0 and sNumber='Q2'"));
    auto h = Talent<TFrm_hz>();
    EXPECT_TRUE(h->Refused());
    EXPECT_FALSE(h->BitBtn3->isEnabled());
    EXPECT_EQ(ui.Texts(), QStringList{kRefusal});
}

TEST_F(GidSummaryFormsTest, StartOfPeriodSurveyUploadLeavesTheOtherUploadsInPlace) {
    base.RunFixture(QStringLiteral("talent_start.sql"));
    const QString rcsb = base.paths().Rcsb();
    QDir().mkpath(rcsb);
    const QStringList others = {QStringLiteral("Gl_QS0000017.dbf"), QStringLiteral("QS0000017_i505.dbf"),
                                QStringLiteral("QS0000017_1_i202.dbf"), QStringLiteral(".hidden"),
                                QStringLiteral("QS0000017.dbf")};
    for (const QString& n : others) {
        QFile file(rcsb + QLatin1Char('/') + n);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    auto f = Talent<TFrm_hz>();  // month-3 errors of the fixture do not refuse
    EXPECT_TRUE(ui.shown.empty());
    const QString diff = SheetAgainst(f->Book(), QStringLiteral("i303_1.csv"), 3, 9);
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
    const QString shot = Shots() + QStringLiteral("/i303.png");
    EXPECT_TRUE(f->grab().save(shot));
    f->BitBtn3->click();
    EXPECT_FALSE(f->isVisible());
    for (const QString& n : others.mid(0, 4)) {
        QFile file(rcsb + QLatin1Char('/') + n);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << n.toStdString();
        EXPECT_EQ(file.readAll(), QByteArray("old")) << n.toStdString();
    }
    test::DbfFile d(rcsb + QStringLiteral("/QS0000017.dbf"));  // replaced
    ASSERT_NE(d.h, nullptr);
    EXPECT_EQ(d.Gids(), Span(1, 40));
    EXPECT_EQ(d.Int(28, "G14"), 1);  // line 29: S6 holds a title; S5, a skilled worker without one, does not count
}

}  // namespace
