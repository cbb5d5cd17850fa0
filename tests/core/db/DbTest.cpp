#include "core/db/Db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using qm::db::Connection;
using qm::db::Error;
using qm::db::Query;
using qm::db::Transaction;

namespace {

// A scratch database made with the raw API, so these tests do not depend on the schema.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath(QStringLiteral("t.mdb"));
        sqlite3* h = nullptr;
        sqlite3_open(path.toUtf8().constData(), &h);
        sqlite3_exec(h,
                     "create table Staff (id integer primary key autoincrement, sMon integer, sName text, "
                     "sWorks numeric, sIsok text);",
                     nullptr, nullptr, nullptr);
        sqlite3_close(h);
        c.Open(path);
    }
    QTemporaryDir dir;
    QString path;
    Connection c;
};

TEST_F(DbTest, FieldsAreFoundWhateverTheCaseAndKeepTheirDeclaredType) {
    c.Exec(QStringLiteral("insert into Staff (sMon, sName) values (?, ?)"), {3, QStringLiteral("张三")});
    Query q(c);
    q.Open(QStringLiteral("select sMon, sName from Staff"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("SMON")).AsInteger(), 3);
    EXPECT_EQ(q.FieldByName(QStringLiteral("smon")).AsString(), QStringLiteral("3"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("Sname")).AsString(), QStringLiteral("张三"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("sMon")).DeclaredType(), QStringLiteral("INTEGER"));
    EXPECT_EQ(q.FindField(QStringLiteral("nosuch")), nullptr);
    EXPECT_THROW(q.FieldByName(QStringLiteral("nosuch")), Error);
}

TEST_F(DbTest, AsStringGivesIntegersWithoutFractionNullAsEmptyAndShortestReals) {
    c.Exec(QStringLiteral("insert into Staff (sMon, sWorks) values (3, 1234.5)"));
    c.Exec(QStringLiteral("insert into Staff (sMon, sWorks) values (null, 12.0)"));
    c.Exec(QStringLiteral("insert into Staff (sMon, sWorks) values (1, 0.1)"));
    Query q(c);
    q.Open(QStringLiteral("select sMon, sWorks, sName from Staff order by id"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("sMon")).AsString(), QStringLiteral("3"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("sWorks")).AsString(), QStringLiteral("1234.5"));
    EXPECT_TRUE(q.FieldByName(QStringLiteral("sName")).IsNull());
    EXPECT_EQ(q.FieldByName(QStringLiteral("sName")).AsString(), QString());
    q.Next();
    EXPECT_EQ(q.FieldByName(QStringLiteral("sMon")).AsString(), QString());
    EXPECT_EQ(q.FieldByName(QStringLiteral("sWorks")).AsString(), QStringLiteral("12"));
    q.Next();
    EXPECT_EQ(q.FieldByName(QStringLiteral("sWorks")).AsString(), QStringLiteral("0.1"));
    EXPECT_EQ(qm::db::FormatReal(1e20), QStringLiteral("1e+20"));
    EXPECT_EQ(qm::db::FormatReal(-2.25), QStringLiteral("-2.25"));
}

TEST_F(DbTest, CursorWalksTheRowsInOrder) {
    for (int i = 1; i <= 5; ++i) c.Exec(QStringLiteral("insert into Staff (sMon) values (?)"), {i});
    Query q(c);
    q.Open(QStringLiteral("select sMon from Staff where sMon > ? order by sMon desc"), {1});
    EXPECT_EQ(q.RecordCount(), 4);
    QStringList seen;
    for (q.First(); !q.Eof(); q.Next()) seen << q.Fields(0).AsString();
    EXPECT_EQ(seen, (QStringList{"5", "4", "3", "2"}));
    q.Last();
    EXPECT_EQ(q.RecNo(), 4);
    EXPECT_EQ(q.Fields(0).AsInteger(), 2);
    q.Open(QStringLiteral("select * from Staff where 0"));
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_TRUE(q.Fields(0).IsNull());  // reading past the end gives null, not a crash
}

TEST_F(DbTest, AQuoteInABoundValueIsStoredAsTyped) {
    const QString name = QStringLiteral("O'Brien'; delete from Staff; --");
    c.Exec(QStringLiteral("insert into Staff (sName) values (?)"), {name});
    Query q(c);
    q.Open(QStringLiteral("select sName from Staff where sName = ?"), {name});
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).AsString(), name);
}

TEST_F(DbTest, ARolledBackTransactionLeavesTheRowsAsTheyWere) {
    c.Exec(QStringLiteral("insert into Staff (sMon, sName) values (0, 'a')"));
    {
        Transaction t(c);
        c.Exec(QStringLiteral("delete from Staff"));
        c.Exec(QStringLiteral("insert into Staff (sMon, sName) values (0, 'b')"));
        // no Commit: the destructor rolls back, as a failing save would
    }
    EXPECT_FALSE(c.InTransaction());
    Query q(c);
    q.Open(QStringLiteral("select sName from Staff"));
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).AsString(), QStringLiteral("a"));

    {
        Transaction t(c);
        c.Exec(QStringLiteral("update Staff set sName='c'"));
        t.Commit();
    }
    q.Open(QStringLiteral("select sName from Staff"));
    EXPECT_EQ(q.Fields(0).AsString(), QStringLiteral("c"));
}

// Statements run one after another reach the right prepared statement: texts of one length
// in turn, the same text after the cache was emptied, after a reopen and after a failure.
TEST_F(DbTest, EachTextRunsItsOwnStatementHoweverTheyFollowOneAnother) {
    const QString a = QStringLiteral("insert into Staff (sMon, sName) values (1, ?)");
    const QString b = QStringLiteral("insert into Staff (sMon, sName) values (2, ?)");
    auto count = [&](int mon) {
        Query q(c);
        q.Open(QStringLiteral("select count(*) from Staff where sMon=?"), {mon});
        return q.Fields(0).AsInteger();
    };
    for (int i = 0; i < 3; ++i) {
        c.Exec(a, {QStringLiteral("a")});
        c.Exec(b, {QStringLiteral("b")});
        c.Exec(b, {QStringLiteral("b")});
    }
    EXPECT_EQ(count(1), 3);
    EXPECT_EQ(count(2), 6);
    // More distinct texts than the cache keeps empty it; the last one still runs.
    for (int i = 0; i < 70; ++i) c.Exec(QStringLiteral("update Staff set sWorks=%1 where sMon=3").arg(i));
    c.Exec(a, {QStringLiteral("a")});
    c.Exec(a, {QStringLiteral("a")});
    EXPECT_EQ(count(1), 5);
    // Another database under the same connection: the text runs there, not in the first one.
    c.Close();
    QFile::copy(path, dir.filePath(QStringLiteral("u.mdb")));
    c.Open(dir.filePath(QStringLiteral("u.mdb")));
    c.Exec(a, {QStringLiteral("a")});
    EXPECT_EQ(count(1), 6);
    EXPECT_THROW(c.Exec(a, {}), Error);  // parameter missing: the statement is left reset
    c.Exec(a, {QStringLiteral("a")});
    EXPECT_EQ(count(1), 7);
}

TEST_F(DbTest, EngineErrorsRaiseWithSQLiteText) {
    try {
        c.Exec(QStringLiteral("select * from NoSuchTable"));
        FAIL() << "no error raised";
    } catch (const Error& e) {
        EXPECT_TRUE(e.EngineText().startsWith(QStringLiteral("no such table: NoSuchTable"))) << e.what();
    }
    EXPECT_THROW(c.Exec(QStringLiteral("insert into Staff (sMon) values (?)"), {}), Error);  // parameter missing
    EXPECT_THROW(c.Exec(QStringLiteral("delete from Staff; drop table Staff")), Error);      // one statement only
    EXPECT_TRUE(c.HasTable(QStringLiteral("staff")));
}

// A lone half of a surrogate pair has no UTF-8 form: it is refused, never stored as "?".
TEST_F(DbTest, ATextWithALoneSurrogateHalfIsRefusedNotStoredAsAQuestionMark) {
    c.Exec(QStringLiteral("create table t (x text)"));
    for (const QString& bad : {QStringLiteral("张") + QChar(0xD800), QChar(0xDC00) + QStringLiteral("三")}) {
        try {
            c.Exec(QStringLiteral("insert into t values (?)"), {bad});
            ADD_FAILURE() << "stored";
        } catch (const Error& e) {
            EXPECT_TRUE(e.Text().contains(QStringLiteral("\\u"))) << e.Text().toStdString();
        }
    }
    const QString pair = QStringLiteral("张") + QChar(0xD842) + QChar(0xDFB7);  // a whole pair goes in
    c.Exec(QStringLiteral("insert into t values (?)"), {pair});
    Query q(c);
    q.Open(QStringLiteral("select x from t"));
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).AsString(), pair);
}

TEST_F(DbTest, CIntRoundsHalvesToEvenAndKeepsNull) {
    Query q(c);
    q.Open(QStringLiteral("select CInt(2.5), CInt(3.5), CInt(-2.5), CInt(2.6), CInt('7'), CInt(null), CInt(4)"));
    EXPECT_EQ(q.Fields(0).AsInteger(), 2);
    EXPECT_EQ(q.Fields(1).AsInteger(), 4);
    EXPECT_EQ(q.Fields(2).AsInteger(), -2);
    EXPECT_EQ(q.Fields(3).AsInteger(), 3);
    EXPECT_EQ(q.Fields(4).AsInteger(), 7);
    EXPECT_TRUE(q.Fields(5).IsNull());
    EXPECT_EQ(q.Fields(6).AsInteger(), 4);
    EXPECT_THROW(q.Open(QStringLiteral("select CInt('abc')")), Error);
    // Beyond a whole number: refused, never cast.
    EXPECT_THROW(q.Open(QStringLiteral("select CInt(1e300)")), Error);
    EXPECT_THROW(q.Open(QStringLiteral("select CInt('-1e19')")), Error);
}

TEST_F(DbTest, CloseIsIdempotentAndAClosedConnectionRaises) {
    c.Close();
    c.Close();
    EXPECT_FALSE(c.IsOpen());
    EXPECT_THROW(c.Exec(QStringLiteral("select 1")), Error);
}

TEST(DbOpen, AMissingFileRaisesAndIsNotCreated) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Database/RCdatabase.mdb"));
    Connection c;
    EXPECT_THROW(c.Open(path), Error);
    EXPECT_FALSE(QFileInfo::exists(path));
    const QString flat = dir.filePath(QStringLiteral("absent.mdb"));
    EXPECT_THROW(c.Open(flat), Error);
    EXPECT_FALSE(QFileInfo::exists(flat));
    EXPECT_FALSE(c.IsOpen());
}

TEST(DbOpen, AFileThatIsNoDatabaseRaisesAtOpen) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.mdb"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Connection c;
    EXPECT_THROW(c.Open(path), Error);
}

}  // namespace
