// The two talent tables on small units worked out by hand: X505 on a year-end list with births
// on the age-band boundaries (tests/golden/x505.csv), Ⅰ303-1 on a start-of-period list
// (tests/golden/i303_1.csv).

#include "core/db/Db.h"
#include "core/report/TalentSummary.h"
#include "core/sheet/SheetBook.h"
#include "tests/core/report/GoldenCsv.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::report;

namespace {

class TalentSummaryTest : public ::testing::Test {
protected:
    test::TempBase base;
    db::Connection& db() { return base.db(); }
    QString Scalar(const QString& sql, const db::Params& p = {}) { return base.Scalar(sql, p); }

    test::CsvRows Rows(const CountGrid& g, const QString& skipped) {
        QStringList head{"Gid"};
        for (size_t c = 1; c <= g.front().size(); ++c) head << QStringLiteral("j%1").arg(c);
        test::CsvRows rows{head};
        for (size_t i = 0; i < g.size(); ++i) {
            QStringList r{QString::number(i + 1)};
            for (long long v : g[i]) r << (v < 0 ? skipped : QString::number(v));
            rows.push_back(r);
        }
        return rows;
    }
};

TEST_F(TalentSummaryTest, YearEndTableMatchesTheHandFigures) {
    base.RunFixture(QStringLiteral("talent_year_end.sql"));
    const CountGrid g = ComputeTalentTable(db(), TalentShapeOf(GidSummary::X505));
    const QString diff = test::DiffRows(test::ReadGolden(QStringLiteral("x505.csv")), Rows(g, QStringLiteral("-")));
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
}

TEST_F(TalentSummaryTest, YearEndAgeBandsPlaceEachBoundaryMonthInTheOlderBand) {
    base.RunFixture(QStringLiteral("talent_year_end.sql"));
    db().Exec(QStringLiteral("delete from Staff_moninfo"));
    // One person a birth month; the band each falls into, as G19..G114 (report columns 9..14).
    const std::pair<const char*, int> births[] = {{"1977-01", 9},  {"1976-12", 10}, {"1972-02", 10},
                                                  {"1972-01", 11}, {"1967-02", 11}, {"1967-01", 12},
                                                  {"1962-01", 13}, {"1957-02", 13}, {"1957-01", 14}};
    for (auto [birth, column] : births) {
        db().Exec(QStringLiteral("delete from Staff_moninfo"));
        db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sBirth, sIsok) values (12, 'A', ?, '1')"),
                  {birth});
        const CountGrid g = ComputeTalentTable(db(), TalentShapeOf(GidSummary::X505));
        for (int c = 9; c <= 14; ++c) EXPECT_EQ(g[0][size_t(c - 1)], c == column ? 1 : 0) << birth << " column " << c;
    }
}

TEST_F(TalentSummaryTest, YearEndStoreWritesComputedCellsOnly) {
    base.RunFixture(QStringLiteral("talent_year_end.sql"));
    db().Exec(QStringLiteral("update Total_baseInfo set G115=-5, G116=-6"));
    const TalentShape& shape = TalentShapeOf(GidSummary::X505);
    const CountGrid g = ComputeTalentTable(db(), shape);
    StoreTalentTable(db(), shape, g, FirstUnitRow(db()), QStringLiteral("2012-12-31"));
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(Gid) from Total_baseInfo where G115=-5")),
              QStringLiteral("1,2,3,4,5,12,13,14,15,16,17"));
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(Gid) from Total_baseInfo where G116=-6")),
              QStringLiteral("1,2,3,4,5,6,7,8,9,10,11"));
    EXPECT_EQ(Scalar(QStringLiteral("select G115||'/'||G11||'/'||G110 from Total_baseInfo where Gid=6")),
              QStringLiteral("3/4/0"));
    EXPECT_EQ(Scalar(QStringLiteral("select G116||'/'||G112 from Total_baseInfo where Gid=12")), QStringLiteral("2/0"));
    EXPECT_EQ(Scalar(QStringLiteral("select Dep_id||'|'||Tdate||'|'||frmc from Total_baseInfo where Gid=17")),
              QStringLiteral("QS0000017|2012-12-31|青石测试单位"));

    TSheetBook sheet;
    sheet.SetCellText(4, 18, QStringLiteral("-"));
    WriteTalentTable(sheet, shape, g);
    EXPECT_EQ(sheet.GetCellText(4, 4), QStringLiteral("7"));
    EXPECT_EQ(sheet.GetCellText(4, 18), QStringLiteral("-"));
    EXPECT_EQ(sheet.GetCellText(9, 18), QStringLiteral("3"));   // row 6, column 15
    EXPECT_EQ(sheet.GetCellText(15, 19), QStringLiteral("2"));  // row 12, column 16
}

TEST_F(TalentSummaryTest, StartOfPeriodSurveyMatchesTheHandFigures) {
    base.RunFixture(QStringLiteral("talent_start.sql"));
    const CountGrid g = ComputeTalentTable(db(), TalentShapeOf(GidSummary::I303_1));
    const QString diff = test::DiffRows(test::ReadGolden(QStringLiteral("i303_1.csv")), Rows(g, QStringLiteral("——")));
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
}

TEST_F(TalentSummaryTest, StartOfPeriodSurveyCountsTitleGradesOnlyAndLeavesOtherColumnsAlone) {
    base.RunFixture(QStringLiteral("talent_start.sql"));
    const TalentShape& shape = TalentShapeOf(GidSummary::I303_1);
    // The workers' title column reads the title grade alone: S5 (post 53, title grade 10, skill
    // grade 53) is not counted in lines 29 and 32, S6 (title grade 33) is; with a title S5 is too.
    CountGrid g = ComputeTalentTable(db(), shape);
    EXPECT_EQ(g[28][3], 1);
    EXPECT_EQ(g[31][3], 1);
    db().Exec(QStringLiteral("update Staff_moninfo set sPostGrade=33 where sNumber='S5' and sMon=0"));
    g = ComputeTalentTable(db(), shape);
    EXPECT_EQ(g[28][3], 2);
    EXPECT_EQ(g[31][3], 2);

    db().Exec(QStringLiteral("update Total_Info set G14=-4, G20=20, G21=21, frmc='留'"));
    g = ComputeTalentTable(db(), shape);
    StoreTalentTable(db(), shape, g, FirstUnitRow(db()), QStringLiteral("2012-01-01"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_Info where G14=-4")), QStringLiteral("23"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_Info where G20=20 and G21=21 and frmc='留'")),
              QStringLiteral("40"));
    EXPECT_EQ(Scalar(QStringLiteral("select G11||'/'||G13||'/'||Dep_id from Total_Info where Gid=1")),
              QStringLiteral("7/4/QS0000017"));
}

}  // namespace
