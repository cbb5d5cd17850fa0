// The report engine gives every figure that its condition text gives as a statement of its
// own: the same rows counted, the same wages summed, over stored values of every kind a
// column can hold (numbers as text, reals, NULL, a staff number twice in a month); so does
// every rule table of every form, the sums exact to the ten-thousandth.
#include "core/report/CellRule.h"
#include "core/report/Condition.h"
#include "core/report/GidMatrix.h"
#include "core/report/ReportEngine.h"
#include "core/report/ReportForms.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using qm::db::Value;
using qm::report::Query;
using qm::report::Source;
using qm::report::Take;

QStringList Split(const char* s, char sep = '|') { return QString::fromUtf8(s).split(QLatin1Char(sep)); }

// SQL literals: each column's usual codes, the odd values that stand in for any of them, the
// months (11.5, '', NULL, 'x', 2^53 + 1 among them) and the amounts.
const QStringList kColumns = Split(
    "sSex 1 2|sNation 1 2|sParty 1 2|sEducation 1 2 3 4 5 7 8 9|sPostGrade 10 31 32 33 34 35 51 53|sJGrade 51 52 55 56|"
    "ssf 1 2 3|sqrz 1 2|sgc 1 2|sjzs 1 2|ssg 1 2 3|syg 1 2|sBirth '1962-12' '1977-06' '1972-01' '1957-01' 1977 'Z9'|"
    "sPost 11 12 13 15 18 19 21 22 23 31 32 33 34 35 41 42 51 52 53 55 56 61 62 63 64 100");
const QStringList kOdd =
    Split("null|''|' 61'|'01'|21.5|12.5|'abc'|'2a'|-3|1e20|9223372036854775807|x'3231'|x'3531'|'Z1'|'z'|'[1'");
const QStringList kMonths = Split("0|1|2|3|4|5|6|7|8|9|10|11|12|11.5|''|null|'x'|9007199254740993");
const QStringList kAmounts =
    Split("2499.2|0.1|0.2|0.00005|9000000000.5|1000|1250.25|null|''|' 61'|'abc'|-3.5|5000000000000|x'3132'|'01'");

// Counts no form has: comparisons with the literal on the left, like across 'Z' (the letters
// fold, '[' does not); and months beyond what a double holds, each alone, so that it alone
// bounds the months read.
const QStringList kMore = Split(
    "12 = sMon and 20 > sPost|'1970' <= sBirth|3.5 >= sMon|1 < ssf|sBirth like 'z%' or sPost like 'Z%'|"
    "sBirth like '[%'");
const QStringList kHugeMonths = Split("sMon = 9007199254740993|sMon > 9007199254740992 and sMon < 9007199254740994");

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

    // With `exact`, a sum is taken in whole ten-thousandths, by SQLite itself.
    Value Statement(const Query& q, const qm::report::cond::Values& values = {}, bool exact = false) {
        QString where = q.where.trimmed().startsWith(QLatin1String("where")) ? q.where : " where " + q.where;
        for (const auto& [name, list] : values) {
            QStringList items;
            for (long long v : list) items << QString::number(v);
            where.replace(QLatin1Char('{') + name + QLatin1Char('}'), items.join(QLatin1Char(',')));
        }
        static const char* const taken[] = {"count(*)", "sum(sTotal)", "sum(sN1)", "sum(sN2)", "sum(sN3)", "sum(sN4)"};
        QString what = QString::fromLatin1(taken[int(q.take)]);
        if (exact && q.take != Take::Count)
            what.replace("sum(", "sum(cast(round(").replace(")", "*10000) as integer))");
        const QString head =
            QStringLiteral("select ") + what +
            (q.source == Source::Staff ? QStringLiteral(" from Staff_moninfo ") : QStringLiteral(" from VmonWage "));
        qm::db::Query s(db());
        s.Open(head + where);
        return s.Fields(0).AsValue();
    }

    // A person in most months, twice in some, one with a trailing blank in his staff number.
    void Fill() {
        std::mt19937 rnd(32);
        auto draw = [&](const QStringList& v) { return v[int(rnd() % v.size())]; };
        qm::db::Transaction t(db());
        for (int p = 0; p < 80; ++p)
            for (const QString& month : kMonths) {
                if (rnd() % 6 == 0) continue;
                QStringList names{"sMon", "sNumber"}, values{month, QStringLiteral("'P%1%2'").arg(p).arg(p ? "" : " ")};
                for (const QString& column : kColumns) {
                    const QStringList codes = column.split(QLatin1Char(' '));
                    names << codes[0];
                    values << (rnd() % 5 == 0 ? draw(kOdd) : codes[1 + int(rnd() % (codes.size() - 1))]);
                }
                for (int twice = p % 10 == 0 ? 2 : 1; twice > 0; --twice)
                    Insert("Staff_moninfo (" + names.join(',') + ')', values);
                QStringList wage{month, QStringLiteral("'P%1'").arg(p)};
                for (int k = 0; k < 5; ++k) wage << draw(kAmounts);
                if (rnd() % 4) Insert("Wage_Info (Smon, sNumber, sTotal, sN1, sN2, sN3, sN4)", wage);
            }
        t.Commit();
    }
    void Insert(const QString& into, const QStringList& values) {
        db().Exec("insert into " + into + " values (" + values.join(',') + ')');
    }

    // Runs the queries together and compares each figure with its own statement, the late lists
    // filled in as the engine asks for them; `found` counts the `figures` that are not zero.
    int figures = 0, found = 0;
    qm::report::QueryResults Check(const std::vector<Query>& queries, const qm::report::cond::Values& given = {},
                                   const std::vector<QString>& late = {}, const qm::report::LateLists& lists = {},
                                   bool exact = false) {
        qm::report::cond::Values values = given;
        const auto r = qm::report::RunQueries(db(), queries, given, late, [&](std::optional<long long> post) {
            const auto more = lists ? lists(post) : qm::report::cond::Values{};
            values.insert(more.begin(), more.end());
            return more;
        });
        for (size_t k = 0; k < queries.size(); ++k) {
            const Value want = Statement(queries[k], values, exact);
            Value got = r.values.at(k);
            if (exact && queries[k].take != Take::Count)
                got = r.sums[k].IsNull() ? Value() : Value(static_cast<long long>(r.sums[k].Total().TenThousandths()));
            EXPECT_EQ(got, want) << queries[k].where.toStdString();
            found += want.AsInteger() != 0;
        }
        figures += int(queries.size());
        return r;
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
        {Source::Staff, QStringLiteral(" where 12 > sMon and 2 <= sMon")},
        {Source::Staff, QStringLiteral(" where sPost in(21) or 1=1")},  // a term that every row meets
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

TEST_F(ReportEngineTest, WageRowsJoinTheStaffRowsOfTheirMonthWhoseNumberHasTheSameKindAndBytes) {
    // Staff numbers a word holds and ones it does not, twins that differ in length, case, a
    // trailing byte or kind only (text and blob), seventeen digits beside eighteen led by a '0', a
    // digit and the byte after '9' beside the digits that byte would make;
    // months whole, real, text, huge and far off.
    const QStringList numbers = Split(
        "'000001';'0000001';'1';1;' 1';'';'1234567';'12345678';'110101199001011234';'11010119900101123X';"
        "'11010119900101123x';'1101011990010112345';'999999999999999999';'ABCDEFG';'ABCDEFGH';'P'||char(0);"
        "'P'||char(0)||char(0);x'303030303031';x'';'١٢';'一二三四五六七八';"
        "'011010119900101123';'11010119900101123';'1:';'20'",
        ';');
    const QStringList months = Split("3|3.5|'x'|9007199254740993|-40|300|12");
    qm::db::Transaction t(db());
    for (int i = 0; i < int(numbers.size()); ++i)
        for (int m = 0; m < int(months.size()); ++m) {
            if ((i + m) % 4 != 0)
                for (int twice = i % 5 == 0 ? 2 : 1; twice > 0; --twice)
                    Insert("Staff_moninfo (sMon, sNumber, ssf)", {months[m], numbers[i], "1"});
            if ((i + 2 * m) % 5 != 0)
                Insert("Wage_Info (Smon, sNumber, sTotal, sN1)",
                       {months[m], numbers[i], QString::number((i + 1) * 1000 + m), QString::number(i)});
        }
    t.Commit();
    const Take takes[] = {Take::Count, Take::Total, Take::Total, Take::Count, Take::N1, Take::Total};
    std::vector<Query> queries;
    for (const QString& where : Split("sMon<>0|sMon<>0 and ssf=1|sMon=3|sMon>=3 and sMon<=4|sMon>100|sMon<0"))
        queries.push_back({Source::Wages, where, takes[queries.size()]});
    Check(queries);
    EXPECT_EQ(found, figures);  // every figure finds rows: all the stored amounts are above zero
}

TEST_F(ReportEngineTest, ThousandsOfDistinctValuesOfEveryKindAreEachTestedAsSqliteTestsThem) {
    // Each column holds values of every kind by the thousand, many beyond the small whole
    // numbers; conditions whose month decides which other columns matter, and a late list.
    qm::db::Transaction t(db());
    for (int i = 0; i < 3000; ++i) {
        const QString birth =
            i % 5 == 0   ? QStringLiteral("'%1-%2'").arg(1950 + i % 60).arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
            : i % 5 == 1 ? QString::number(100000 + i)
            : i % 5 == 2 ? QString::number(1900 + i / 7) + ".5"
            : i % 5 == 3 ? QStringLiteral("x'%1'").arg(i, 6, 16, QLatin1Char('0'))
                         : QStringLiteral("'%1'").arg(i);
        const QString month = i % 97 == 0 ? QStringLiteral("null") : i % 89 == 0 ? "'x'" : QString::number(i % 13);
        const QString number = QStringLiteral("'N%1'").arg(i % 400);
        Insert("Staff_moninfo (sMon, sNumber, sBirth, sPost, sSex)",
               {month, number, birth, QString::number(i % 300 - 40), QString::number(i % 3)});
        if (i % 3 != 2) Insert("Wage_Info (Smon, sNumber, sTotal)", {month, number, QString::number(i)});
    }
    t.Commit();
    std::vector<Query> queries;
    for (const QString& where :
         Split("sBirth<'1980-06';sBirth>=101500;sBirth<2000.5 and sBirth>1950;sBirth like '19%';sBirth>'2';"
               "sBirth='1234';sPost>=200 or sPost<-31;sPost in (223, 224, -32, -33);"
               "(sMon=12 and sBirth>'1990') or (sMon=3 and sPost>100) or sPost=2;"
               "sMon<>12 and sPost<0 or sMon=12 and sSex=1;sMon=4 and sSex in ({leaders});"
               "sMon>10 and sSex in ({leaders}) or sMon<2 and sBirth like '%5'",
               ';')) {
        queries.push_back({Source::Staff, where});
        if (where.contains(QStringLiteral("sMon"))) queries.push_back({Source::Wages, where, Take::Total});
    }
    const auto r = Check(queries, {}, {"leaders"}, [](std::optional<long long> post) {
        return qm::report::cond::Values{{"leaders", {post.value_or(0) + 41, 2}}};
    });
    EXPECT_EQ(r.leaderPost, -40);
    EXPECT_GT(found, figures - 2);
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
        // The literal on the left.
        "21 > sPost",
        "21 >= sPost",
        "21 < sPost",
        "21 <= sPost",
        "'21' = sWorks",
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

    // A post stored as a real is taken as the integer conversion takes it: a half to the even one.
    for (const auto& [post, rank] : {std::pair{11.5, 12LL}, std::pair{10.5, 10LL}}) {
        db().Exec(QStringLiteral("delete from Staff_moninfo where sPost<12"));
        Staff(2, QStringLiteral("L"), post, 1);
        EXPECT_EQ(qm::report::RunQueries(db(), queries, {}, late, lists).leaderPost, rank) << post;
    }

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

TEST_F(ReportEngineTest, EveryFormsRuleTablesCountAndSumWhatSqliteCountsAndSumsOverOddValues) {
    using namespace qm::report;
    Fill();
    // The leaders' and clerks' posts, once the engine found the rank.
    auto check = [&](const std::vector<Query>& queries, const cond::Values& given) {
        const auto late = [](std::optional<long long> post) {
            const long long l = post.value_or(0);
            return cond::Values{{"leaders", {l, l + 1}}, {"clerks", {l + 2, 18}}};
        };
        Check(queries, given, {"leaders", "clerks"}, late, true);
    };
    // The cell rules with their supplements, over a year and a short run, as enterprises and as
    // government organs read them; the summaries' matrices likewise.
    auto cells = [&](std::vector<CellRule> rules, const std::vector<SupplementLine>& lines = {}) {
        for (const SupplementLine& l : lines) rules.push_back(l.rule);
        for (bool organ : {false, true})
            for (int e : {12, 3}) {
                std::vector<Query> t;
                for (const CellRule& r : rules)
                    t.push_back({r.source, organ && !r.organ.isEmpty() ? r.organ : r.where, r.take});
                check(t, {{"e", {e}}, {"from", {e == 3 ? 2 : 1}}, {"ytd", {e == 3 ? 2 : 0}}});
            }
    };
    for (const FormDescriptor* f : {&QuarterWageForm(), &AnnualWageForm(), &QuarterLabourForm(), &AnnualLabourForm()})
        cells(f->rules, f->supplements);
    for (GidSummary id : {GidSummary::I704, GidSummary::I705, GidSummary::X505, GidSummary::I303_1})
        for (int last : {12, 3}) {
            const MatrixQueries m = QueriesOf(LayoutOf(id), MatrixRequest{last, last - 2, 1, last, true});
            check(m.queries, m.values);
        }
    std::vector<Query> more;
    for (const QString& where : kMore) more.push_back({Source::Staff, where});
    check(more, {});
    for (const QString& where : kHugeMonths) check({{Source::Staff, where}}, {});
    check({{Source::Wages, kHugeMonths[0], Take::Total}}, {});
    // Most figures find rows, so the comparison is not one of zeros.
    EXPECT_GT(found, figures / 2);
}

// A late list on a column other than the post: the rank is still the lowest post of any month,
// here one held in January only, by a person no December condition reads.
TEST_F(ReportEngineTest, ALateListOnAnotherColumnTakesTheLowestPostOfAnyMonth) {
    Rows();
    Staff(1, QStringLiteral("K"), 11, 7, {}, 8);
    const auto lists = [](std::optional<long long> post) {
        const long long l = post.value_or(0);
        return qm::report::cond::Values{{QStringLiteral("leaders"), {l - 10}}, {QStringLiteral("clerks"), {l - 8, 9}}};
    };
    const std::vector<Query> queries{
        {Source::Staff, " where sMon=12 and ssf in({leaders})"},
        {Source::Wages, " where sMon>=6 and sMon<=12 and ssf in({leaders})", Take::Total},
        {Source::Staff, " where sMon=12 and ssf in({clerks})"},
    };
    const std::vector<QString> late{QStringLiteral("leaders"), QStringLiteral("clerks")};
    const auto r = qm::report::RunQueries(db(), queries, {}, late, lists);
    EXPECT_EQ(r.leaderPost, 11);
    for (size_t k = 0; k < queries.size(); ++k) EXPECT_EQ(r.values[k], Statement(queries[k], lists(11))) << k;
}

}  // namespace
