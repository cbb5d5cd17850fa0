// The wage summaries I704 and I705 on a ten-person unit whose figures were worked out by hand
// (tests/fixtures/wage_summaries.sql, tests/golden/i704_1_3.csv and i705_1_3.csv): counts at
// month 3, averages and wages over months 1..3, remainders (one of them negative), group
// averages, the month-0 count of the organ form, and the skill grades in the title column.

#include "core/db/Db.h"
#include "core/report/WageSummary.h"
#include "core/sheet/SheetBook.h"
#include "tests/core/report/GoldenCsv.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::report;

namespace {

const QString kDate = QStringLiteral("2012-12-09");

class WageSummaryTest : public ::testing::Test {
protected:
    void SetUp() override { base.RunFixture(QStringLiteral("wage_summaries.sql")); }

    test::TempBase base;
    db::Connection& db() { return base.db(); }
    QString Scalar(const QString& sql, const db::Params& p = {}) { return base.Scalar(sql, p); }

    WageSummaryFigures Run(GidSummary id, int from, int to) {
        const WageSummaryShape& shape = ShapeOf(id);
        const MonthRange r{from, to};
        const WageSummaryFigures f = ComputeWageSummary(db(), shape, r);
        StoreWageSummary(db(), shape, r, f, FirstUnitRow(db()), kDate);
        return f;
    }

    // The figures as the golden files hold them: the sheet's eleven columns ("——" where the
    // template keeps its dash) and the stored G21.
    test::CsvRows Rows(const WageSummaryFigures& f) {
        test::CsvRows rows{
            QStringList{"Gid", "c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "c9", "c10", "c11", "G21"}};
        for (size_t i = 0; i < f.counts.size(); ++i) {
            QStringList r{QString::number(i + 1)};
            for (long long v : f.counts[i]) r << (v < 0 ? QStringLiteral("——") : QString::number(v));
            r << QString::number(f.average[i]) << QString::number(f.wageShown[i])
              << Scalar(QStringLiteral("select G21 from Total_Info where Gid=?"), {int(i + 1)});
            rows.push_back(r);
        }
        return rows;
    }
};

TEST_F(WageSummaryTest, EnterpriseSummaryOfMonthsOneToThreeMatchesTheHandFigures) {
    const WageSummaryFigures f = Run(GidSummary::I704, 1, 3);
    const QString diff = test::DiffRows(test::ReadGolden(QStringLiteral("i704_1_3.csv")), Rows(f));
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
}

TEST_F(WageSummaryTest, OrganSummaryOfMonthsOneToThreeMatchesTheHandFigures) {
    const WageSummaryFigures f = Run(GidSummary::I705, 1, 3);
    const QString diff = test::DiffRows(test::ReadGolden(QStringLiteral("i705_1_3.csv")), Rows(f));
    EXPECT_TRUE(diff.isEmpty()) << diff.toStdString();
}

TEST_F(WageSummaryTest, StoredRowsCarryTheUnitTheDateTheCountsAndTheGroupAverages) {
    db().Exec(QStringLiteral("update Total_Info set G14=99, frmc='旧'"));
    Run(GidSummary::I704, 1, 3);
    EXPECT_EQ(Scalar(QStringLiteral("select Dep_id||'|'||Tdate||'|'||frmc from Total_Info where Gid=40")),
              QStringLiteral("QS0000017|2012-12-09|青石测试单位"));
    // Line 2's average is the sum of its parts' averages (1 + 1 + 0), not its own 4/3.
    EXPECT_EQ(Scalar(QStringLiteral("select G20 from Total_Info where Gid=2")), QStringLiteral("2"));
    EXPECT_EQ(Scalar(QStringLiteral("select G20 from Total_Info where Gid=1")), QStringLiteral("6"));
    // The title column is left alone where it is not computed, written where it is.
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(G14) from Total_Info where Gid<=14 or Gid between 20 and 28")),
              QStringList(23, QStringLiteral("99")).join(QLatin1Char(',')));
    EXPECT_EQ(Scalar(QStringLiteral("select G14 from Total_Info where Gid=29")), QStringLiteral("1"));

    // The organ summary writes its 21 lines only and no unit name.
    db().Exec(QStringLiteral("update Total_Info set frmc='旧', G11=77"));
    Run(GidSummary::I705, 1, 3);
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_Info where frmc='旧'")), QStringLiteral("40"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_Info where G11=77")), QStringLiteral("19"));
    EXPECT_EQ(Scalar(QStringLiteral("select G14 from Total_Info where Gid=7")), QStringLiteral("99"));
}

TEST_F(WageSummaryTest, SkillGradesCountInTheTitleColumnThroughTheirOwnCode) {
    // 005 (post 53) holds no title, only the skill grade 53: counted on lines 29 and 32 of I704
    // and lines 13 and 16 of I705. With a skill grade outside 51..55 he is not.
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I704), {1, 3}).counts[31][3], 1);
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I705), {1, 3}).counts[15][3], 1);
    db().Exec(QStringLiteral("update Staff_moninfo set sJGrade=56 where sNumber='005'"));
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I704), {1, 3}).counts[28][3], 0);
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I705), {1, 3}).counts[12][3], 0);
    // The organ form's professional lines take the titles 31..33 only: 004 (grade 34) is not counted.
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I705), {1, 3}).counts[11][3], 0);
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I704), {1, 3}).counts[18][3], 1);
}

TEST_F(WageSummaryTest, AveragesDivideByTheRangeAndTheOrganFormReachesBackAMonth) {
    // Three more persons of post 19 on the start-of-period list only.
    for (const char* n : {"101", "102", "103"})
        db().Exec(
            QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName, sPost, sIsok) values (0, ?, ?, 19, '1')"),
            {n, n});
    // Line 21 of I705 (post 19): 008 has wage rows in months 2 and 3 and is on the month-0 list.
    // 1..3: (2 + 4) / 4 = 1.5 -> 2 (a half goes up). 2..3: months 1..3, (0 + 2 + ...) 2 / 3 -> 1.
    // 3..3: months 2..3, 2 / 2 = 1.
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I705), {1, 3}).average[20], 2);
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I705), {2, 3}).average[20], 1);
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I705), {3, 3}).average[20], 1);
    // Line 4 of I705 (post 12, 009: wages in 1, 2, 3, not on the month-0 list): 1..3 3/4 -> 1;
    // 3..3: months 2..3, 2/2 = 1; 1..1: month 1 only (1 + 0) / 2 = 0.5 -> 1.
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I705), {1, 1}).average[3], 1);
    // I704 3..3 (MonthCount 1): the person-months of month 3; line 37 (post 61): 006 has no
    // wage in month 3 -> 0; over 1..2: 2 / 2 = 1.
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I704), {3, 3}).average[36], 0);
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I704), {1, 2}).average[36], 1);
    // The wage of a single month: 007 (post 41) earned 2000.5 in month 3 -> 2 thousand.
    EXPECT_EQ(ComputeWageSummary(db(), ShapeOf(GidSummary::I704), {3, 3}).wage[20], 2);
}

TEST_F(WageSummaryTest, TheCopyIsCreatedOnceAndRefilledWithoutDuplicates) {
    EXPECT_FALSE(db().HasTable(QStringLiteral("Total_1_3")));
    Run(GidSummary::I704, 1, 3);
    ASSERT_TRUE(db().HasTable(QStringLiteral("Total_1_3")));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_1_3")), QStringLiteral("40"));
    EXPECT_EQ(Scalar(QStringLiteral("select frmc from Total_1_3 where Gid=1")), QStringLiteral("青石测试单位"));
    // Declared like Total_Info, so figures read back as whole numbers.
    EXPECT_EQ(Scalar(QStringLiteral("select typeof(G21) from Total_1_3 where Gid=1")), QStringLiteral("integer"));

    db().Exec(QStringLiteral("update Wage_Info set sTotal=sTotal+1000 where sNumber='001'"));
    Run(GidSummary::I704, 1, 3);
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_1_3")), QStringLiteral("40"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(distinct Gid) from Total_1_3")), QStringLiteral("40"));
    EXPECT_EQ(Scalar(QStringLiteral("select G21 from Total_1_3 where Gid=3")), QStringLiteral("4"));  // 3600
    // The refill copies the fourteen columns, not the unit name.
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_1_3 where frmc is null")), QStringLiteral("40"));

    // A 21-line copy of the organ form is refilled with 40 lines, and back.
    Run(GidSummary::I705, 2, 3);
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_2_3")), QStringLiteral("21"));
    Run(GidSummary::I704, 2, 3);
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Total_2_3")), QStringLiteral("40"));
    Run(GidSummary::I705, 2, 3);
    EXPECT_EQ(Scalar(QStringLiteral("select max(Gid) || '/' || count(*) from Total_2_3")), QStringLiteral("21/21"));
}

TEST_F(WageSummaryTest, AFailedStoreLeavesTableAndCopyAsTheyWere) {
    Run(GidSummary::I704, 1, 3);
    const QString before = Scalar(QStringLiteral("select group_concat(G11||'/'||G20||'/'||G21) from Total_Info"));
    const QString copy = Scalar(QStringLiteral("select group_concat(G21) from Total_1_3"));
    db().Exec(QStringLiteral("update Wage_Info set sTotal=sTotal*2"));
    // The copy can no longer be written: the whole store rolls back.
    db().Exec(QStringLiteral("create trigger no_copy before insert on Total_1_3 begin select raise(abort, 'no'); end"));
    const WageSummaryFigures f = ComputeWageSummary(db(), ShapeOf(GidSummary::I704), {1, 3});
    EXPECT_THROW(StoreWageSummary(db(), ShapeOf(GidSummary::I704), {1, 3}, f, FirstUnitRow(db()), kDate), db::Error);
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(G11||'/'||G20||'/'||G21) from Total_Info")), before);
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(G21) from Total_1_3")), copy);
}

TEST_F(WageSummaryTest, TheSheetShowsComputedFiguresAndSavedCopiesAsStored) {
    TSheetBook sheet;
    sheet.SetCellText(4, 6, QStringLiteral("——"));
    const WageSummaryFigures f = Run(GidSummary::I704, 1, 3);
    WriteWageSummary(sheet, f);
    EXPECT_EQ(sheet.GetCellText(4, 3), QStringLiteral("8"));
    EXPECT_EQ(sheet.GetCellText(4, 6), QStringLiteral("——"));    // not computed: the template stays
    EXPECT_EQ(sheet.GetCellText(14, 13), QStringLiteral("-1"));  // line 11's remainder
    EXPECT_EQ(sheet.GetCellText(4, 12), QStringLiteral("6"));

    TSheetBook saved;
    WriteSavedCopy(saved, db(), QStringLiteral("Total_1_3"));
    EXPECT_EQ(saved.GetCellText(4, 6), QStringLiteral("--"));  // G14 of a line without titles
    EXPECT_EQ(saved.GetCellText(32, 6), QStringLiteral("1"));
    EXPECT_EQ(saved.GetCellText(14, 13), QStringLiteral("0"));  // the line's own total, not the remainder
    EXPECT_EQ(saved.GetCellText(43, 13), QStringLiteral("0"));
    EXPECT_EQ(saved.GetCellText(4, 12), QStringLiteral("6"));
    EXPECT_EQ(saved.GetCellText(44, 3), QString());
}

TEST_F(WageSummaryTest, LabelsUploadRangesUnitAndRefusal) {
    EXPECT_EQ(PeriodLabel(GidSummary::I704, {1, 3}, false), QStringLiteral("统计月份：1月 至 3月"));
    EXPECT_EQ(PeriodLabel(GidSummary::I704, {1, 3}, true), QStringLiteral("统计月份：1月 至 3 月"));
    EXPECT_EQ(PeriodLabel(GidSummary::I705, {6, 12}, false), QStringLiteral("统计月份：6月 至 12 月"));
    EXPECT_EQ(PeriodLabel(GidSummary::I705, {6, 12}, true), QStringLiteral("统计月份：6月 至 12月"));
    int uploadable = 0;
    for (int f = 1; f <= 12; ++f)
        for (int t = f; t <= 12; ++t) uploadable += UploadableRange({f, t});
    EXPECT_EQ(uploadable, 3);
    EXPECT_TRUE(UploadableRange({1, 6}) && UploadableRange({1, 12}) && UploadableRange({6, 12}));

    // The first unit row, whatever its flag.
    db().Exec(QStringLiteral("update Dep_Info set Flag='0'"));
    db().Exec(QStringLiteral("insert into Dep_Info (DepName, DepNo, Flag) values ('别的单位', 'XX0000001', '1')"));
    EXPECT_EQ(FirstUnitRow(db()).depNo, QStringLiteral("QS0000017"));

    EXPECT_FALSE(HasStaffErrors(db(), false));
    db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0' where sMon=0 and sNumber='001'"));
    EXPECT_FALSE(HasStaffErrors(db(), false));
    EXPECT_TRUE(HasStaffErrors(db(), true));
    db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0' where sMon=2 and sNumber='002'"));
    EXPECT_TRUE(HasStaffErrors(db(), false));
}

}  // namespace
