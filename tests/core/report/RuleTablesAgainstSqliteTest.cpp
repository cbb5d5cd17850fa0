// Every rule table of every form, read by the engine and run as SQLite's own statements over
// stored values of every odd kind: each count must be count(*)'s, each sum the exact sum of
// the amounts sum() adds (taken by SQLite itself, to the ten-thousandth, as whole numbers).
#include "core/report/AnnualLabourReport.h"
#include "core/report/AnnualWageReport.h"
#include "core/report/GidMatrix.h"
#include "core/report/QuarterLabourReport.h"
#include "core/report/QuarterWageReport.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

#include <random>

using namespace qm;
using namespace qm::report;

namespace {

// SQL literals: each column's usual codes, and the odd values that stand in for them.
const std::vector<const char*> kOdd = {
    "null",    "''",      "' 61'", "'01'", "21.5", "12.5", "'abc'", "'2a'", "-3", "1e20", "9223372036854775807",
    "x'3231'", "x'3531'", "'Z1'",  "'z'",  "'[1'"};
const std::vector<std::pair<const char*, std::vector<const char*>>> kColumns = {
    {"sSex", {"1", "2"}},
    {"sNation", {"1", "2"}},
    {"sParty", {"1", "2"}},
    {"sEducation", {"1", "2", "3", "4", "5", "7", "8", "9"}},
    {"sPost", {"11", "12", "13", "15", "18", "19", "21", "22", "23", "31", "32", "33", "34",
               "35", "41", "42", "51", "52", "53", "55", "56", "61", "62", "63", "64", "100"}},
    {"sPostGrade", {"10", "31", "32", "33", "34", "35", "51", "53"}},
    {"sJGrade", {"51", "52", "53", "54", "55", "56"}},
    {"ssf", {"1", "2", "3"}},
    {"sqrz", {"1", "2"}},
    {"sgc", {"1", "2"}},
    {"sjzs", {"1", "2"}},
    {"ssg", {"1", "2", "3"}},
    {"syg", {"1", "2"}},
    {"sBirth", {"'1962-12'", "'1977-06'", "'1976-05'", "'1972-01'", "'1957-01'", "'1980-01'", "1977", "'Z9'"}}};
const std::vector<const char*> kMonths = {"0", "1",  "2",  "3",  "4",    "5",  "6",    "7",   "8",
                                          "9", "10", "11", "12", "11.5", "''", "null", "'x'", "9007199254740993"};
const std::vector<const char*> kAmounts = {"2499.2", "0.1",   "0.2",  "1000",          "1250.25", "null", "''",
                                           "' 61'",  "'abc'", "-3.5", "5000000000000", "x'3132'", "'01'"};

// Texts no form has: comparisons with the literal on the left, like across 'Z' (the letters
// fold, '[' does not), and (each alone, so that it alone bounds the months read) months beyond
// what a double holds.
const std::vector<Query> kMore = {
    {Source::Staff, QStringLiteral("where 12 = sMon and 20 > sPost")},
    {Source::Staff, QStringLiteral("where '1970' <= sBirth")},
    {Source::Staff, QStringLiteral("where 3.5 >= sMon")},
    {Source::Wages, QStringLiteral("where 1 < ssf")},
    {Source::Staff, QStringLiteral("where sBirth like 'z%' or sPost like 'Z%'")},
    {Source::Staff, QStringLiteral("where sBirth like '[%'")},
};
const std::vector<Query> kHugeMonths = {
    {Source::Staff, QStringLiteral("where sMon = 9007199254740993")},
    {Source::Staff, QStringLiteral("where sMon > 9007199254740992 and sMon < 9007199254740994")},
    {Source::Wages, QStringLiteral("where sMon >= 9007199254740993"), Take::Total},
};

class RuleTablesAgainstSqliteTest : public ::testing::Test {
protected:
    test::TempBase base;

    void Fill() {
        std::mt19937 rnd(32);
        auto draw = [&](const std::vector<const char*>& v) { return QString::fromLatin1(v[rnd() % v.size()]); };
        db::Transaction t(base.db());
        for (int p = 0; p < 80; ++p)
            for (const char* month : kMonths) {
                if (rnd() % 6 == 0) continue;
                // One person's number has a trailing blank in the staff list only; some are listed twice.
                const QString number = QStringLiteral("'P%1%2'").arg(p).arg(p == 0 ? QStringLiteral(" ") : QString());
                QStringList names{QStringLiteral("sMon"), QStringLiteral("sNumber")}, values{month, number};
                for (const auto& [column, codes] : kColumns) {
                    names << QString::fromLatin1(column);
                    values << (rnd() % 5 == 0 ? draw(kOdd) : draw(codes));
                }
                for (int twice = p % 10 == 0 ? 2 : 1; twice > 0; --twice)
                    base.db().Exec(QStringLiteral("insert into Staff_moninfo (%1) values (%2)")
                                       .arg(names.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
                if (rnd() % 4 == 0) continue;
                base.db().Exec(
                    QStringLiteral("insert into Wage_Info (Smon, sNumber, sTotal, sN1, sN2, sN3, sN4) values "
                                   "(%1, 'P%2', %3, %4, %5, %6, %7)")
                        .arg(QString::fromLatin1(month))
                        .arg(p)
                        .arg(draw(kAmounts), draw(kAmounts), draw(kAmounts), draw(kAmounts), draw(kAmounts)));
            }
        t.Commit();
    }

    // The statement a query stands for, its placeholders filled.
    QString Statement(const Query& q, const cond::Values& values) {
        static const char* const taken[] = {nullptr, "sTotal", "sN1", "sN2", "sN3", "sN4"};
        QString where = q.where.trimmed();
        if (!where.startsWith(QLatin1String("where"), Qt::CaseInsensitive)) where = QStringLiteral("where ") + where;
        for (const auto& [name, list] : values) {
            QStringList items;
            for (long long v : list) items << QString::number(v);
            where.replace(QLatin1Char('{') + name + QLatin1Char('}'), items.join(QLatin1Char(',')));
        }
        const QString what =
            q.take == Take::Count
                ? QStringLiteral("count(*)")
                : QStringLiteral("sum(cast(round(%1*10000) as integer))").arg(QLatin1String(taken[int(q.take)]));
        return QStringLiteral("select %1 from %2 %3")
            .arg(what, q.source == Source::Staff ? QStringLiteral("Staff_moninfo") : QStringLiteral("VmonWage"), where);
    }
};

TEST_F(RuleTablesAgainstSqliteTest, EveryFormsRulesCountAndSumWhatSqliteCountsAndSums) {
    Fill();
    struct Table {
        QString form;
        std::vector<Query> queries;
        cond::Values values;
    };
    std::vector<Table> tables;
    // The cell rules with their supplements, in a year-long and a short run, as enterprises and
    // as government organs read them.
    auto cells = [&](const char* form, std::vector<CellRule> rules, const std::vector<SupplementLine>& lines = {}) {
        for (const SupplementLine& l : lines) rules.push_back(l.rule);
        for (bool organ : {false, true})
            for (int e : {12, 3}) {
                Table t{
                    QString::fromLatin1(form), {}, {{"e", {e}}, {"from", {e == 3 ? 2 : 1}}, {"ytd", {e == 3 ? 2 : 0}}}};
                for (const CellRule& r : rules)
                    t.queries.push_back({r.source, organ && !r.organ.isEmpty() ? r.organ : r.where, r.take});
                tables.push_back(t);
            }
    };
    cells("202-1", QuarterWageReport::Rules(), QuarterWageReport::Supplements());
    cells("102-1", AnnualWageReport::Rules(), AnnualWageReport::Supplements());
    cells("I202-2", QuarterLabourReport::Rules());
    cells("I102-2", AnnualLabourReport::Rules());
    for (GidSummary id : {GidSummary::I704, GidSummary::I705, GidSummary::X505, GidSummary::I303_1})
        for (int last : {12, 3}) {
            const MatrixQueries m = QueriesOf(LayoutOf(id), MatrixRequest{last, last - 2, 1, last, true});
            tables.push_back({QStringLiteral("Gid %1").arg(int(id)), m.queries, m.values});
        }
    tables.push_back({QStringLiteral("more"), kMore, {}});
    for (const Query& q : kHugeMonths) tables.push_back({QStringLiteral("huge months"), {q}, {}});

    int figures = 0, found = 0;
    for (const Table& t : tables) {
        cond::Values late;  // the leaders' and clerks' posts, once the engine found the rank
        const QueryResults r = RunQueries(
            base.db(), t.queries, t.values, {QStringLiteral("leaders"), QStringLiteral("clerks")},
            [&](std::optional<long long> post) {
                const long long l = post.value_or(0);
                return late = {{QStringLiteral("leaders"), {l, l + 1}}, {QStringLiteral("clerks"), {l + 2, 18}}};
            });
        cond::Values values = t.values;
        values.insert(late.begin(), late.end());
        for (size_t k = 0; k < t.queries.size(); ++k) {
            const QString sql = Statement(t.queries[k], values);
            const QString got = base.Scalar(sql);
            const db::Value want = got.isEmpty() ? db::Value() : db::Value(got.toLongLong());
            if (t.queries[k].take == Take::Count) {
                EXPECT_EQ(r.values[k].AsInteger(), want.AsInteger())
                    << t.form.toStdString() << ": " << sql.toStdString();
            } else {
                const MoneySum& s = r.sums[k];
                EXPECT_EQ(s.IsNull(), want.IsNull()) << t.form.toStdString() << ": " << sql.toStdString();
                EXPECT_TRUE(s.Exact());
                EXPECT_EQ(static_cast<long long>(s.Total().TenThousandths()), want.AsInteger())
                    << t.form.toStdString() << ": " << sql.toStdString();
            }
            ++figures;
            found += want.AsInteger() != 0;
        }
    }
    // Most figures find rows, so the comparison is not one of zeros.
    EXPECT_GT(found, figures / 2);
}

}  // namespace
