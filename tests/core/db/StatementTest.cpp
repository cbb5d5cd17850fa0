// A statement prepared once for many rows fails as Connection::Exec does for the same statement
// and values, and never writes through a connection opened again since.
#include "core/db/Db.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace qm::db
