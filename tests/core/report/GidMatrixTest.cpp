// The one-pass matrix must give what each summary's own per-cell statements give. The
// reference below builds those statements as the forms splice them (line text + column text +
// month tail, CInt and all) and runs them one by one over a varied synthetic unit.

#include "core/db/Db.h"
#include "core/report/GidMatrix.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

#include <random>

using namespace qm;
using namespace qm::report;

namespace {

class GidMatrixTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {}
    test::TempBase base;
    db::Connection& db() { return base.db(); }

    // 240 persons over months 0..4 with every code the conditions test, births on and around
    // the age cuts, some rows without a grade, wages with halves and some months without wages.
    void Fill() {
        std::mt19937 rnd(17);
        auto pick = [&](std::initializer_list<int> v) { return *(v.begin() + rnd() % v.size()); };
        const std::vector<QString> births = {"1956-12", "1957-01", "1957-02", "1962-01", "1962-02", "1966-12",
                                             "1967-01", "1971-12", "1972-01", "1972-02", "1976-05", "1976-06",
                                             "1976-12", "1977-01", "1977-05", "1977-06", "1977-07", "1990-03"};
        db::Transaction t(db());
        for (int p = 0; p < 240; ++p) {
            const QString number = QString::number(1000 + p);
            for (int m = 0; m <= 4; ++m) {
                if (rnd() % 7 == 0) continue;  // not on this month's list
                const int post = pick({11, 12, 13, 14, 15, 18, 19, 21, 22, 23, 31, 32, 33, 34, 35,
                                       41, 42, 51, 52, 53, 54, 55, 56, 61, 62, 63, 64, 71, 100});
                const int grade = pick({10, 10, 31, 32, 33, 34, 35, 0});
                const int skill = pick({0, 51, 52, 53, 54, 55, 56, 0});
                db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName, sSex, sNation, sParty, "
                                         "sBirth, sEducation, sPost, sPostGrade, sJGrade, sIsok) "
                                         "values (?,?,?,?,?,?,?,?,?,?,?,'1')"),
                          {m, number, number, pick({1, 2}), pick({1, 2}), pick({1, 2}), births[rnd() % births.size()],
                           int(1 + rnd() % 9), post, grade ? db::Value(grade) : db::Value(),
                           skill ? db::Value(skill) : db::Value()});
                if (m > 0 && rnd() % 5 != 0) {
                    const double total = 500 + double(rnd() % 40000) / 2.0;
                    db().Exec(QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sTotal, sFlag, wFlag) "
                                             "values (?,?,?,?,'1','1')"),
                              {m, number, number, total});
                }
            }
        }
        t.Commit();
    }

    long long One(const QString& sql) {
        db::Query q(db());
        q.Open(sql);
        return q.Fields(0).AsInteger();
    }
    std::optional<double> Sum(const QString& sql) {
        db::Query q(db());
        q.Open(sql);
        if (q.Fields(0).IsNull()) return std::nullopt;
        return q.Fields(0).AsFloat();
    }
};

// The per-cell statement of a count, as the summary forms build it.
QString CellStatement(const GidMatrixLayout& layout, int gid, int col, int month) {
    const QString cond = layout.CellCondition(gid, col);
    const QString tail =
        (cond.isEmpty() ? QStringLiteral(" sMon=") : QStringLiteral(" and sMon=")) + QString::number(month);
    return QStringLiteral("select count(*) as num from ") + QString::fromLatin1(layout.source) + QLatin1Char(' ') +
           layout.Line(gid).where + cond + tail;
}

TEST_F(GidMatrixTest, ConditionTextsBecomeTheirExpressions) {
    EXPECT_EQ(WhereExpr(QStringLiteral("where ")), QStringLiteral("1"));
    EXPECT_EQ(WhereExpr(QStringLiteral("where sPost = 22 and  ")), QStringLiteral("sPost = 22"));
    EXPECT_EQ(WhereExpr(QStringLiteral("where  (sPost in(41) or (sPost in(42) and sPostGrade in(31,32,33,34))) and ")),
              QStringLiteral("(sPost in(41) or (sPost in(42) and sPostGrade in(31,32,33,34)))"));
    EXPECT_EQ(FragmentExpr(QString()), QStringLiteral("1"));
    EXPECT_EQ(FragmentExpr(QStringLiteral("  and sPost = 23 and sPostGrade in(33) ")),
              QStringLiteral("sPost = 23 and sPostGrade in(33)"));
    EXPECT_EQ(FragmentExpr(QStringLiteral(" and sPost =18 ")), QStringLiteral("sPost =18"));
}

TEST_F(GidMatrixTest, OnePassCountsEqualThePerCellStatementsOfAllFourSummaries) {
    Fill();
    struct Case {
        GidSummary id;
        int month;
    };
    for (const Case& k : {Case{GidSummary::I704, 3}, Case{GidSummary::I705, 4}, Case{GidSummary::X505, 2},
                          Case{GidSummary::I303_1, 0}}) {
        const GidMatrixLayout& layout = LayoutOf(k.id);
        const CountGrid grid = CountMatrix(db(), layout, k.month);
        ASSERT_EQ(int(grid.size()), layout.LineCount());
        int nonZero = 0;
        for (int gid = 1; gid <= layout.LineCount(); ++gid)
            for (int col = 1; col <= layout.ColumnCount(); ++col) {
                const long long got = grid[size_t(gid - 1)][size_t(col - 1)];
                if (!layout.Computed(gid, col)) {
                    EXPECT_EQ(got, -1) << int(k.id) << " line " << gid << " column " << col;
                    continue;
                }
                const long long want = One(CellStatement(layout, gid, col, k.month));
                EXPECT_EQ(got, want) << int(k.id) << " line " << gid << " column " << col;
                nonZero += want != 0;
            }
        // The synthetic unit reaches most cells, so the comparison is not one of zeros.
        EXPECT_GT(nonZero, layout.LineCount() * layout.ColumnCount() / 2) << int(k.id);
    }
}

TEST_F(GidMatrixTest, PeriodTotalsEqualThePerLineStatementsOfBothWageSummaries) {
    Fill();
    for (GidSummary id : {GidSummary::I704, GidSummary::I705}) {
        const GidMatrixLayout& layout = LayoutOf(id);
        for (auto [from, to] : {std::pair{1, 4}, std::pair{2, 3}, std::pair{0, 2}, std::pair{4, 4}}) {
            MatrixRequest r;
            r.heads = r.wages = from;
            r.last = to;
            r.start = true;
            const MatrixFigures f = ReadMatrix(db(), layout, r);
            const QString range =
                QStringLiteral(" from VmonWage where CInt(sMon)<=%1 and Cint(sMon)>=%2").arg(to).arg(from);
            for (int gid = 1; gid <= layout.LineCount(); ++gid) {
                const QString suffix = layout.Line(gid).period;
                EXPECT_EQ(f.heads.personMonths[size_t(gid - 1)],
                          One(QStringLiteral("select count(*) as Tnum") + range + suffix))
                    << int(id) << " line " << gid;
                const auto want = Sum(QStringLiteral("select sum(sTotal) as Total") + range + suffix);
                ASSERT_EQ(f.wages.wages[size_t(gid - 1)].has_value(), want.has_value()) << int(id) << " line " << gid;
                if (want) {
                    EXPECT_DOUBLE_EQ(*f.wages.wages[size_t(gid - 1)], *want) << int(id) << " line " << gid;
                }
                EXPECT_EQ(f.start[size_t(gid - 1)],
                          One(QStringLiteral("select count(*) as num from Vmon where sMon=0\n") + suffix))
                    << int(id) << " line " << gid;
            }
        }
    }
}

TEST_F(GidMatrixTest, AMissingResultRowIsAddedNotSilentlyLost) {
    db().Exec(QStringLiteral("delete from Total_baseInfo where Gid=5"));
    const GidMatrixLayout& layout = LayoutOf(GidSummary::X505);
    CountGrid grid(17, std::vector<long long>(16, 0));
    grid[4][0] = 7;
    for (auto& row : grid) row[14] = -1;
    db().Exec(QStringLiteral("update Total_baseInfo set G115=3"));
    UpdateResultRow(db(), layout, 5, grid,
                    {QStringLiteral("D1"), QStringLiteral("2012-12-31"), QStringLiteral("单位"), {}});
    UpdateResultRow(db(), layout, 6, grid,
                    {QStringLiteral("D1"), QStringLiteral("2012-12-31"), QStringLiteral("单位"), {}});
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Total_baseInfo where Gid=5")), QStringLiteral("1"));
    EXPECT_EQ(base.Scalar(QStringLiteral("select G11 || '|' || frmc || '|' || Dep_id from Total_baseInfo where Gid=5")),
              QStringLiteral("7|单位|D1"));
    // A cell not computed keeps what the row held.
    EXPECT_EQ(base.Scalar(QStringLiteral("select G115 from Total_baseInfo where Gid=6")), QStringLiteral("3"));
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Total_baseInfo")), QStringLiteral("17"));
}

}  // namespace
