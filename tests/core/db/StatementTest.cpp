// A statement prepared once for many rows: every kind of value bound in place, and every
// failure the one Connection::Exec raises for the same statement and values.
#include "core/db/Db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QTemporaryDir>

namespace qm::db {
namespace {

class StatementTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath(QStringLiteral("t.mdb"));
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &h), 0);
        sqlite3_exec(h, "create table t (a, b, c, d, e not null)", nullptr, nullptr, nullptr);
        sqlite3_close(h);
        c.Open(path);
    }
    QString Rows() {
        Query q(c);
        q.Open(
            QStringLiteral("select group_concat(typeof(a)||':'||a||'|'||typeof(b)||':'||b||'|'||typeof(c)||':'||"
                           "c||'|'||typeof(d)||'|'||e, ';') from t"));
        return q.Fields(0).AsString();
    }
    // What a failure says, from Exec and from a run.
    template <class F>
    static QString Failure(F&& f) {
        try {
            f();
        } catch (const Error& e) {
            return e.Text();
        }
        return QStringLiteral("(none)");
    }
    QTemporaryDir dir;
    QString path;
    Connection c;
    const QString insert = QStringLiteral("insert into t values (?, ?, ?, ?, ?)");
};

TEST_F(StatementTest, EachRunBindsItsOwnValuesOfEveryKind) {
    Statement st(c, insert);
    const Utf8Text name(QStringLiteral("张三"));
    st.Add(Value(3)).Add(QStringLiteral("O'1")).Add(name).Add(std::optional<QString>()).AddStatic("1");
    EXPECT_EQ(st.Run(), 1);
    st.Add(Value(2.5)).Add(Value(QStringLiteral("长") + QString(30, QChar(0x540D)))).Add(Utf8Text(QString()));
    st.Add(std::optional<long long>(7)).Add(std::optional<QString>(QStringLiteral("是")));
    EXPECT_EQ(st.Run(), 1);
    EXPECT_EQ(Rows(), QStringLiteral("integer:3|text:O'1|text:张三|null|1;real:2.5|text:长") +
                          QString(30, QChar(0x540D)) + QStringLiteral("|text:|integer|是"));
}

TEST_F(StatementTest, FailuresAreExecsAndTheNextRunStartsAfresh) {
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
    for (const auto& k : cases) {
        const QString fromExec = Failure([&] { c.Exec(insert, k.values); });
        const QString fromRun = Failure([&] {
            for (size_t i = 0; i < k.values.size(); ++i) {
                if (k.utf8 && i == 2)
                    st.Add(Utf8Text(k.values[i].rawText()));
                else
                    st.Add(k.values[i]);
            }
            st.Run();
        });
        EXPECT_NE(fromExec, QStringLiteral("(none)")) << k.what;
        EXPECT_EQ(fromRun, fromExec) << k.what;
        st.Add(Value(0)).Add(Value(0)).Add(Value(0)).Add(Value(0)).Add(Value(0));
        EXPECT_EQ(st.Run(), 1) << k.what;
    }
}

// A statement of a closed connection never writes into the database opened after it.
TEST_F(StatementTest, AStatementOfAClosedConnectionRefusesToRun) {
    Statement st(c, insert);
    c.Close();
    c.Open(path);
    st.Add(Value(1)).Add(Value(2)).Add(Value(3)).Add(Value(4)).Add(Value(5));
    EXPECT_THROW(st.Run(), Error);
    EXPECT_EQ(Rows(), QString());
}

}  // namespace
}  // namespace qm::db
