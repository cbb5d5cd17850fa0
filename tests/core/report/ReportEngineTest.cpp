// The report engine gives every figure that its condition text gives as a statement of its
// own: the same rows counted, the same wages summed, over stored values of every kind a
// column can hold (numbers as text, reals, NULL, a staff number twice in a month).
#include "core/report/CellRule.h"
#include "core/report/Condition.h"
#include "core/report/ReportEngine.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace {

using qm::db::Value;
using qm::report::Query;
using qm::report::Source;
using qm::report::Take;

class ReportEngineTest : public ::testing::Test {
protected:
    qm::test::TempBase base;
    qm::db::Connection& db() { return base.db(); }

    void Staff(const Value& mon, const Value& number, const Value& post, const Value& ssf, const Value& birth = {},
               const Value& edu = 3) {
        db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sPost, ssf, sBirth, sEducation, sIsok) "
                                 "values (?, ?, ?, ?, ?, ?, '1')"),
                  {mon, number, post, ssf, birth, edu});
    }
    void Wage(const Value& mon, const Value& number, const Value& total, const Value& n1 = 100) {
        db().Exec(QStringLiteral("insert into Wage_Info (Smon, sNumber, sTotal, sN1, sFlag, wFlag) "
                                 "values (?, ?, ?, ?, '1', '1')"),
                  {mon, number, total, n1});
    }

    // Rows whose values SQLite compares in all its ways: numbers stored as text where the
    // column's affinity cannot convert them, reals, NULLs, a person twice in one month.
    void Rows() {
        for (int m = 0; m <= 12; ++m) {
            Staff(m, QStringLiteral("A"), 21, 1, QStringLiteral("1962-12"));
            Staff(m, QStringLiteral("B"), 52, 2, QStringLiteral("1980-01"), 1);
            Staff(m, QStringLiteral("C"), 61, 3, QStringLiteral("1962-11"), 9);
            if (m % 2 == 0) Staff(m, QStringLiteral("D"), 12, 1, QStringLiteral("1990-06"), 4);
            if (m >= 1) {
                Wage(m, QStringLiteral("A"), 3000);
                Wage(m, QStringLiteral("B"), 1250.5, 0.25);
                Wage(m, QStringLiteral("C"), QStringLiteral("x"));  // a text that is no number
                Wage(m, QStringLiteral("Z"), 999);                  // nobody of that number
                if (m % 2 == 0) Wage(m, QStringLiteral("D"), Value());
            }
        }
        Staff(12, QStringLiteral("B"), 35, 1);  // B twice in December: two joined rows
        Staff(12, QStringLiteral("E"), QStringLiteral("5x"), Value(), Value(), QStringLiteral("高"));
        Staff(12, QStringLiteral("F"), 21.5, QStringLiteral("1"));
        Staff(Value(), QStringLiteral("G"), 21, 1);
        Staff(3.5, QStringLiteral("H"), 21, 1);
        Staff(12, Value(), 64, 2);
        Staff(QStringLiteral("x"), QStringLiteral("A"), 21, 1);  // a month no number: above every number
        Wage(QStringLiteral("x"), QStringLiteral("A"), 5);
        Wage(12, QStringLiteral("F"), 10);
        Wage(3.5, QStringLiteral("H"), 7);
    }

    Value Statement(const Query& q, const qm::report::cond::Values& values = {}) {
        QString where = q.where;
        for (const auto& [name, list] : values) {
            QStringList items;
            for (long long v : list) items << QString::number(v);
            where.replace(QLatin1Char('{') + name + QLatin1Char('}'), items.join(QLatin1Char(',')));
        }
        static const char* const taken[] = {"count(*)", "sum(sTotal)", "sum(sN1)", "sum(sN2)", "sum(sN3)", "sum(sN4)"};
        const QString head =
            QStringLiteral("select ") + QString::fromLatin1(taken[int(q.take)]) +
            (q.source == Source::Staff ? QStringLiteral(" from Staff_moninfo ") : QStringLiteral(" from VmonWage "));
        qm::db::Query s(db());
        s.Open(head + where);
        return s.Fields(0).AsValue();
    }
};

TEST_F(ReportEngineTest, EveryFigureIsWhatItsOwnStatementGives) {
    Rows();
    const std::vector<Query> queries{
        {Source::Staff, QStringLiteral(" where sMon=12 ")},
        {Source::Staff, QStringLiteral(" where sMon=12 and sPost like '2%' ")},
        {Source::Staff, QStringLiteral(" where sMon>=0 and sMon<=12 and ((sPost like'5%') or (sPost in(61,64))) ")},
        {Source::Staff, QStringLiteral(" where  (sMon>=0 and sMon<={e}) and ssf=1 ")},
        {Source::Staff, QStringLiteral(" where sMon=12 and sEducation in(1,2,3) ")},
        {Source::Staff, QStringLiteral("where sMon=12 and sBirth<='1962-12' and sPost<>52")},
        {Source::Staff, QStringLiteral(" where sMon<>0 and (ssf=1 or ssf=3) and not_a_column_free_text is null")},
        {Source::Staff, QStringLiteral(" where sPost > 20 and sPost < 22")},
        {Source::Staff, QStringLiteral(" where sMon in({months}) and sEducation>=4")},
        {Source::Wages, QStringLiteral("  where sMon>0 and sMon<=12 "), Take::Total},
        {Source::Wages, QStringLiteral("  where sMon>0 and sMon<=12 and ssf=1 "), Take::N1},
        {Source::Wages, QStringLiteral(" where sMon>=0 and sMon<=12 and sPost like '2%' "), Take::Total},
        {Source::Wages, QStringLiteral(" where  (sMon>=1 and sMon<={e}) and ssf=2 "), Take::Total},
        {Source::Wages, QStringLiteral(" where sMon=12 and sPost in(35)"), Take::Count},
        {Source::Wages, QStringLiteral(" where sMon=4 and ssf=1"), Take::Total},  // D's wage is NULL: no sum
        {Source::Wages, QStringLiteral(" where sMon=3.5"), Take::Total},
        // Narrow month bounds read through the index, open ones straight through the table.
        {Source::Staff, QStringLiteral(" where sMon>11")},
        {Source::Staff, QStringLiteral(" where sMon<>0 and ssf=1")},
        {Source::Staff, QStringLiteral(" where sMon>=3 and sMon<4")},
        {Source::Wages, QStringLiteral(" where sMon>11"), Take::Total},
        {Source::Wages, QStringLiteral(" where sMon<1 or sMon>=12"), Take::Count},
    };
    const qm::report::cond::Values values{{QStringLiteral("e"), {9}}, {QStringLiteral("months"), {0, 12}}};
    for (const Query& q : queries) {
        if (q.where.contains(QStringLiteral("not_a_column"))) {
            // A name that is no column is no condition the engine reads.
            EXPECT_THROW(qm::report::RunQueries(db(), {q}, values), qm::report::cond::SyntaxError);
            continue;
        }
        const auto one = qm::report::RunQueries(db(), {q}, values);
        EXPECT_EQ(one.values.at(0), Statement(q, values)) << q.where.toStdString();
    }
    std::vector<Query> all;
    for (const Query& q : queries)
        if (!q.where.contains(QStringLiteral("not_a_column"))) all.push_back(q);
    const auto together = qm::report::RunQueries(db(), all, values);
    for (size_t k = 0; k < all.size(); ++k)
        EXPECT_EQ(together.values.at(k), Statement(all[k], values)) << all[k].where.toStdString();
}

TEST_F(ReportEngineTest, ConditionTextsCompareAndMatchAsSqliteDoesForEachColumnAffinity) {
    // Integer (sPost), numeric (sWorks) and text (sBirth, sGw) columns holding numbers, texts
    // that look like numbers, texts that do not, reals and NULL.
    const Value values[] = {Value(21LL),
                            Value(5LL),
                            Value(-3LL),
                            Value(21.0),
                            Value(21.5),
                            Value(1e20),
                            Value(QStringLiteral("21")),
                            Value(QStringLiteral(" 21")),
                            Value(QStringLiteral("2a")),
                            Value(QStringLiteral("abc")),
                            Value(QStringLiteral("ABC")),
                            Value(QStringLiteral("1962-12")),
                            Value(QStringLiteral("")),
                            Value(QStringLiteral("一级")),
                            Value()};
    for (const Value& v : values)
        db().Exec(
            QStringLiteral("insert into Staff_moninfo (sMon, sPost, sWorks, sBirth, sGw) values (12, ?, ?, ?, ?)"),
            {v, v, v, v});
    const char* const conditions[] = {
        "sPost=21",
        "sPost = '21'",
        "sPost<>21",
        "sPost != 21",
        "sPost>20 and sPost<22",
        "sPost<=-3",
        "sPost>=100000",
        "sPost in (21, 5)",
        "sPost in ('21','abc')",
        "sPost like '2%'",
        "sPost like '_1'",
        "sPost like 'a%'",
        "sWorks=21",
        "sWorks='21'",
        "sWorks>20.9",
        "sWorks like '21%'",
        "sBirth=21",
        "sBirth>'1962'",
        "sBirth<=1962",
        "sBirth like 'ABC'",
        "sBirth like '%级'",
        "sBirth='一级'",
        "sGw in (21, 'abc')",
        "sGw<''",
        "(sPost=5 or sWorks=-3) and not_sPost_free",
        "((sPost=5) or (sBirth like '2_')) and sMon=12",
        "sPost=21.0",
        "sPost<21.5",
        "sWorks in (21.0)",
        "sBirth like '% 21'",
    };
    int counted = 0;
    for (const char* text : conditions) {
        const Query q{Source::Staff, QStringLiteral(" where ") + QString::fromUtf8(text)};
        if (q.where.contains(QStringLiteral("not_sPost"))) {
            EXPECT_THROW(qm::report::RunQueries(db(), {q}, {}), qm::report::cond::SyntaxError);
            continue;
        }
        const Value want = Statement(q);
        EXPECT_EQ(qm::report::RunQueries(db(), {q}, {}).values.at(0), want) << text;
        counted += want.AsInteger() > 0;
    }
    // Most conditions find rows, so the comparison is not one of zeros.
    EXPECT_GT(counted, 20);
}

TEST_F(ReportEngineTest, TheLeaderPostIsTheSmallestBelowTwentyOfAnyMonthAndFillsTheLateLists) {
    Rows();
    const std::vector<Query> queries{
        {Source::Staff, QStringLiteral(" where sMon=12 and sPost in({leaders})")},
        {Source::Wages, QStringLiteral(" where sMon>0 and sMon<=12 and sPost in({leaders})"), Take::Total},
        {Source::Staff, QStringLiteral(" where sMon=12 and sPost in({clerks})")},
    };
    auto lists = [](std::optional<long long> post) {
        if (!post) return qm::report::cond::Values{{QStringLiteral("leaders"), {}}, {QStringLiteral("clerks"), {18}}};
        return qm::report::cond::Values{{QStringLiteral("leaders"), {*post, *post + 1}},
                                        {QStringLiteral("clerks"), {*post + 2, 18}}};
    };
    const std::vector<QString> late{QStringLiteral("leaders"), QStringLiteral("clerks")};
    // D holds post 12 in the even months only, December among them.
    auto r = qm::report::RunQueries(db(), queries, {}, late, lists);
    ASSERT_TRUE(r.leaderPost.has_value());
    EXPECT_EQ(*r.leaderPost, 12);
    for (size_t k = 0; k < queries.size(); ++k) EXPECT_EQ(r.values[k], Statement(queries[k], lists(12))) << k;

    // Post 11 held in January only still sets the rank for the whole year.
    Staff(1, QStringLiteral("K"), 11, 1);
    r = qm::report::RunQueries(db(), queries, {}, late, lists);
    EXPECT_EQ(r.leaderPost, 11);
    for (size_t k = 0; k < queries.size(); ++k) EXPECT_EQ(r.values[k], Statement(queries[k], lists(11))) << k;

    // A post stored as 10.5 is taken as the integer conversion takes it: a half to the even one.
    Staff(2, QStringLiteral("L"), 10.5, 1);
    EXPECT_EQ(qm::report::RunQueries(db(), queries, {}, late, lists).leaderPost, 10);

    // Nobody below 20: no rank, the leaders' list is empty and counts nobody.
    db().Exec(QStringLiteral("delete from Staff_moninfo where sPost<20"));
    r = qm::report::RunQueries(db(), queries, {}, late, lists);
    EXPECT_FALSE(r.leaderPost.has_value());
    EXPECT_EQ(r.values[0], Value(0LL));
    EXPECT_TRUE(r.values[1].IsNull());
    EXPECT_EQ(r.values[2], Statement(queries[2], lists(std::nullopt)));
}

TEST_F(ReportEngineTest, CellTextsAreShownAsTheFormsShowThemAndAnOversizedSumRefuses) {
    using qm::report::CellRule;
    using qm::report::Shown;
    const std::vector<CellRule> rules{
        {1, 1, "01", Source::Staff, {}, Take::Count, Shown::Whole},
        {1, 2, "02", Source::Staff, {}, Take::Count, Shown::Average},
        {1, 3, "03", Source::Staff, {}, Take::Count, Shown::AverageFloor},
        {1, 4, "04", Source::Wages, {}, Take::Total, Shown::Thousands},
        {1, 5, "05", Source::Wages, {}, Take::Total, Shown::Thousands},
    };
    // 26/4 = 6.5 goes away from zero, 2500.5 yuan reads as 2500 (a half to the even one).
    const std::vector<Value> figures{Value(7LL), Value(26LL), Value(26LL), Value(2500.5), Value()};
    const auto texts = qm::report::ShownTexts(rules, figures, 4, {});
    EXPECT_EQ(texts, (std::vector<QString>{"7", "7", "6", "3", "0"}));
    const std::vector<Value> huge{Value(1LL), Value(1LL), Value(1LL), Value(1e300), Value(1.0)};
    EXPECT_ANY_THROW(qm::report::ShownTexts(rules, huge, 4, [](const CellRule& r) { return r.code; }));
}

}  // namespace
