// A statement prepared once for many rows fails as Connection::Exec does for the same statement
// and values, and never writes through a connection opened again since.
#include "core/db/Db.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

namespace qm::db {
namespace {

// What a step raises; "(none)" when it raises nothing.
template <class F>
QString Failure(F&& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.Text();
    }
    return QStringLiteral("(none)");
}

TEST(Statement, FailuresAreExecsAndTheNextRunStartsAfresh) {
    test::TempBase base;
    Connection& c = base.db();
    c.Exec(QStringLiteral("create table t (a, b, c, d, e not null)"));
    const QString insert = QStringLiteral("insert into t values (?, ?, ?, ?, ?)");
    const QString lone = QStringLiteral("张") + QChar(0xD800);
    const struct {
        const char* what;
        Params values;
        bool utf8;  // the text in the third place goes in as a Utf8Text
    } cases[] = {
        {"too few values", {1, 2, 3, 4}, false},
        {"too many values", {1, 2, 3, 4, 5, 6}, false},
        {"a lone surrogate half", {1, lone, 3, 4, 5}, false},
        {"a lone surrogate half made UTF-8 before", {1, 2, lone, 4, 5}, true},
        {"a value the table refuses", {1, 2, 3, 4, Value()}, false},
    };
    Statement st(c, insert);
    const Utf8Text third(QStringLiteral("丙"));  // bound where it stands: it outlives each run
    for (const auto& k : cases) {
        const Utf8Text made(k.values.size() > 2 ? k.values[2].rawText() : QString());
        const QString fromExec = Failure([&] { c.Exec(insert, k.values); });
        const QString fromRun = Failure([&] {
            for (size_t i = 0; i < k.values.size(); ++i) k.utf8&& i == 2 ? st.Add(made) : st.Add(k.values[i]);
            st.Run();
        });
        EXPECT_NE(fromExec, QStringLiteral("(none)")) << k.what;
        EXPECT_EQ(fromRun, fromExec) << k.what;
        st.Add(Value(0)).Add(QStringLiteral("乙")).Add(third).Add(Value()).AddStatic("1");
        EXPECT_EQ(st.Run(), 1) << k.what;
    }
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) || b || c || typeof(d) || e from t")),
              QStringLiteral("5乙丙null1"));

    // Closed and opened again: the statement of the old handle refuses to run.
    c.Close();
    c.Open(base.paths().Database());
    st.Add(Value(1)).Add(Value(2)).Add(Value(3)).Add(Value(4)).Add(Value(5));
    EXPECT_THROW(st.Run(), Error);
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from t")), QStringLiteral("5"));
}

// Each kind of stored value read in place and bound back as read: a text's or a blob's bytes as
// stored (a NUL, no UTF-8, none at all), the least integer as itself.
TEST(Statement, ARowReadsEachKindInPlaceAndBindsItBackAsRead) {
    using namespace std::string_literals;
    test::TempBase base;
    Connection& c = base.db();
    c.Exec(QStringLiteral("create table t (id integer primary key, v)"));
    c.Exec(QStringLiteral("create table u (id integer primary key, v)"));
    const struct {
        const char* stored;  // the value's SQL
        Cell::Kind kind;
        std::string bytes, text;  // a text's or a blob's; as Text gives it
    } cases[] = {
        {"null", Cell::Kind::Null, "", ""},
        {"-9223372036854775808", Cell::Kind::Integer, "", "-9223372036854775808"},
        {"cast(x'610062' as text)", Cell::Kind::Text, "a\0b"s, "a\0b"s},
        {"cast(x'ff41fe' as text)", Cell::Kind::Text, "\xff\x41\xfe", "\xff\x41\xfe"},
        {"''", Cell::Kind::Text, "", ""},
        {"x'00ff01'", Cell::Kind::Blob, "\0\xff\x01"s, "\0\xff\x01"s},
        {"x''", Cell::Kind::Blob, "", ""},
    };
    for (const auto& k : cases)
        c.Exec(QStringLiteral("insert into t (v) values (%1)").arg(QString::fromUtf8(k.stored)));

    Statement st(c, QStringLiteral("select id, v from t order by id"));
    Statement copy(c, QStringLiteral("insert into u (id, v) values (?, ?)"));
    for (size_t row = 0; st.Step(); ++row) {
        ASSERT_LT(row, std::size(cases));
        const auto& k = cases[row];
        const Cell v = st.At(1);
        EXPECT_EQ(v.kind, k.kind) << k.stored;
        EXPECT_EQ(v.bytes, k.bytes) << k.stored;
        copy.Add(Value(st.Integer(0))).Add(v).Run();
        EXPECT_EQ(st.Text(1), k.text) << k.stored;
    }
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from t join u using (id) "
                                         "where typeof(t.v) = typeof(u.v) and t.v is u.v")),
              QString::number(std::size(cases)));

    // A statement with a value steps only with it; begun again, it ends the run that stopped part way.
    Statement from(c, QStringLiteral("select v from t where id >= ? order by id"));
    EXPECT_THROW(from.Step(), Error);
    ASSERT_TRUE(from.Add(Value(2)).Step());
    EXPECT_EQ(from.At(0).integer, INT64_MIN);
    ASSERT_TRUE(from.Add(Value(6)).Step());
    EXPECT_EQ(from.At(0).bytes, "\0\xff\x01"s);
    EXPECT_TRUE(from.Step());
    EXPECT_FALSE(from.Step());
}

}  // namespace
}  // namespace qm::db
