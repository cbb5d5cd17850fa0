#include "core/files/DbfWriter.h"
#include "core/files/Gbk.h"

#include <gtest/gtest.h>
#include <shapefil.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using qm::db::Params;
using qm::dbf::Error;
using qm::dbf::FieldDef;
using qm::dbf::Writer;

namespace {

std::string Gbk(const QString& s) {
    qm::gbk::Encoder e;
    std::string out;
    EXPECT_TRUE(e.Encode(s, out));
    return out;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A little-endian field of a file read back; one the file is too short for fails (and is 0).
quint32 LittleEndian(const QByteArray& b, int at, int bytes) {
    quint32 v = 0;
    EXPECT_LE(at + bytes, b.size()) << "the file is too short";
    for (int i = bytes - 1; i >= 0 && at + bytes <= b.size(); --i) v = v << 8 | quint8(b[at + i]);
    return v;
}
int U16(const QByteArray& b, int at) { return int(LittleEndian(b, at, 2)); }
quint32 U32(const QByteArray& b, int at) { return LittleEndian(b, at, 4); }

std::vector<FieldDef> StaffFields() {
    return {{QStringLiteral("sNumber"), 'C', 20, 0},
            {QStringLiteral("sTsex"), 'C', 10, 0},
            {QStringLiteral("sWorks"), 'N', 11, 2},
            {QStringLiteral("Gid"), 'N', 5, 0},
            {QStringLiteral("sTEdu"), 'C', 5, 0}};
}

QString Str(DBFHandle h, int rec, int field) {
    return QString::fromStdString(std::string(DBFReadStringAttribute(h, rec, field)));
}

TEST(GbkTest, EncodesChineseAsDoubleBytes) {
    EXPECT_EQ(Gbk(QStringLiteral("男")), std::string("\xC4\xD0"));
    EXPECT_EQ(Gbk(QStringLiteral("本科")), std::string("\xB1\xBE\xBF\xC6"));
    EXPECT_EQ(Gbk(QStringLiteral("A-1")), std::string("A-1"));
    const std::string mixed = Gbk(QStringLiteral("ab张三"));  // 2 + 2 + 2 bytes
    EXPECT_EQ(qm::gbk::Decode(mixed), QStringLiteral("ab张三"));

    qm::gbk::Encoder e;
    std::string out = "keep";
    EXPECT_FALSE(e.Encode(QStringLiteral("笑😀"), out));
    EXPECT_EQ(out, "keep");                            // nothing half-written
    EXPECT_TRUE(e.Encode(QStringLiteral("女"), out));  // the encoder recovers for the next value
    EXPECT_EQ(out, std::string("keep\xC5\xAE"));
}

class DbfWriterTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& rel) const { return dir.path() + QLatin1Char('/') + rel; }
};

TEST_F(DbfWriterTest, HeaderFieldsAndRecordsReadBackWithAnIndependentReader) {
    Writer w(StaffFields(), QDate(2012, 3, 4));
    w.AddRecord({QStringLiteral("A001"), QStringLiteral("男"), 12, 1, QStringLiteral("本科")});
    w.AddRecord({QStringLiteral("A002"), nullptr, 2.5, nullptr, nullptr});
    w.AddRecord({QStringLiteral("A003"), QStringLiteral("女"), QStringLiteral(" 7 "), 40, QStringLiteral("")});
    const QString target = Path(QStringLiteral("out/Gl_X.dbf"));
    w.Save(target);

    const QByteArray b = ReadAll(target);
    ASSERT_GT(b.size(), 32);
    EXPECT_EQ(quint8(b[0]), 0x03);
    EXPECT_EQ(quint8(b[1]), 112);  // 2012 - 1900
    EXPECT_EQ(quint8(b[2]), 3);
    EXPECT_EQ(quint8(b[3]), 4);
    EXPECT_EQ(U32(b, 4), 3u);
    const int headerLength = 32 + 32 * 5 + 1;
    const int recordLength = 1 + 20 + 10 + 11 + 5 + 5;
    EXPECT_EQ(U16(b, 8), headerLength);
    EXPECT_EQ(U16(b, 10), recordLength);
    EXPECT_EQ(quint8(b[29]), 0x4D);
    EXPECT_EQ(quint8(b[headerLength - 1]), 0x0D);
    EXPECT_EQ(b.size(), headerLength + 3 * recordLength + 1);
    EXPECT_EQ(quint8(b[b.size() - 1]), 0x1A);
    // Numbers right-aligned ASCII, blank for null; the deletion flag is a blank.
    const QByteArray rec1 = b.mid(headerLength, recordLength);
    EXPECT_EQ(rec1.left(1), QByteArray(" "));
    EXPECT_EQ(rec1.mid(1 + 20 + 10, 11), QByteArray("      12.00"));
    EXPECT_EQ(rec1.mid(1 + 20 + 10 + 11, 5), QByteArray("    1"));
    const QByteArray rec2 = b.mid(headerLength + recordLength, recordLength);
    EXPECT_EQ(rec2.mid(1 + 20, 10), QByteArray(10, ' '));
    EXPECT_EQ(rec2.mid(1 + 20 + 10 + 11, 5), QByteArray(5, ' '));

    DBFHandle h = DBFOpen(QFile::encodeName(target).constData(), "rb");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(DBFGetRecordCount(h), 3);
    ASSERT_EQ(DBFGetFieldCount(h), 5);
    EXPECT_STREQ(DBFGetCodePage(h), "LDID/77");
    const char* names[] = {"sNumber", "sTsex", "sWorks", "Gid", "sTEdu"};
    const char types[] = {'C', 'C', 'N', 'N', 'C'};
    const int widths[] = {20, 10, 11, 5, 5};
    const int decimals[] = {0, 0, 2, 0, 0};
    for (int i = 0; i < 5; ++i) {
        char name[12] = {};
        int width = 0, dec = 0;
        DBFGetFieldInfo(h, i, name, &width, &dec);
        EXPECT_STREQ(name, names[i]);
        EXPECT_EQ(DBFGetNativeFieldType(h, i), types[i]);
        EXPECT_EQ(width, widths[i]);
        EXPECT_EQ(dec, decimals[i]);
    }
    EXPECT_EQ(Str(h, 0, 0), QStringLiteral("A001"));
    EXPECT_EQ(qm::gbk::Decode(DBFReadStringAttribute(h, 0, 1)), QStringLiteral("男"));
    EXPECT_EQ(qm::gbk::Decode(DBFReadStringAttribute(h, 0, 4)), QStringLiteral("本科"));
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(h, 1, 2), 2.5);
    EXPECT_TRUE(DBFIsAttributeNULL(h, 1, 1));
    EXPECT_TRUE(DBFIsAttributeNULL(h, 1, 3));
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(h, 2, 2), 7);  // a number stored as text
    EXPECT_EQ(DBFReadIntegerAttribute(h, 2, 3), 40);
    EXPECT_EQ(qm::gbk::Decode(DBFReadStringAttribute(h, 2, 1)), QStringLiteral("女"));
    DBFClose(h);
}

// No upload cuts a text without a word: one longer than its field is an error naming it.
TEST_F(DbfWriterTest, ALongTextIsRefusedNamingItNeverCut) {
    Writer w({{QStringLiteral("sTEdu"), 'C', 5, 0}}, QDate(2012, 1, 1));
    for (const QString& t : {QStringLiteral("大学本科"), QStringLiteral("a大学本科"), QStringLiteral("abcdef")}) {
        try {
            w.AddRecord({t});
            ADD_FAILURE() << t.toStdString() << " was written";
        } catch (const Error& e) {
            EXPECT_TRUE(e.Text().contains(t) && e.Text().contains(QStringLiteral("sTEdu"))) << e.Text().toStdString();
        }
    }
    EXPECT_EQ(w.RecordCount(), 0);
    w.AddRecord({QStringLiteral("大学")});   // 4 bytes fit, padded
    w.AddRecord({QStringLiteral("a大学")});  // 5 bytes fit exactly
    const std::string bytes = w.Bytes();
    const std::size_t header = 32 + 32 + 1;
    EXPECT_EQ(bytes.substr(header + 1, 5), Gbk(QStringLiteral("大学")) + " ");
    EXPECT_EQ(bytes.substr(header + 7, 5), Gbk(QStringLiteral("a大学")));
}

TEST_F(DbfWriterTest, ValuesThatDoNotFitAreErrorsNamingTheValueAndAddNothing) {
    Writer w(StaffFields(), QDate(2012, 1, 1));
    auto message = [&](const Params& row) {
        try {
            w.AddRecord(row);
        } catch (const Error& e) {
            return e.Text();
        }
        return QString();
    };
    EXPECT_TRUE(message({QStringLiteral("A"), nullptr, nullptr, 123456, nullptr}).contains(QStringLiteral("123456")));
    EXPECT_TRUE(message({QStringLiteral("A"), nullptr, 1.125, nullptr, nullptr}).contains(QStringLiteral("1.125")));
    EXPECT_TRUE(message({QStringLiteral("A"), nullptr, nullptr, 2.5, nullptr}).contains(QStringLiteral("2.5")));
    EXPECT_TRUE(message({QStringLiteral("A"), nullptr, QStringLiteral("十年"), nullptr, nullptr})
                    .contains(QStringLiteral("十年")));
    const QString gbk = message({QStringLiteral("A😀"), nullptr, nullptr, nullptr, nullptr});
    EXPECT_TRUE(gbk.contains(QStringLiteral("A😀"))) << gbk.toStdString();
    EXPECT_TRUE(gbk.contains(QStringLiteral("GBK")));
    EXPECT_EQ(w.RecordCount(), 0);
    // A wrong number of values is refused too.
    EXPECT_THROW(w.AddRecord({QStringLiteral("A")}), Error);
    w.AddRecord({QStringLiteral("A"), nullptr, -0.0, -3, nullptr});
    EXPECT_EQ(w.RecordCount(), 1);
    const std::string bytes = w.Bytes();
    const std::size_t rec = 32 + 32 * 5 + 1;
    EXPECT_EQ(bytes.substr(rec + 1 + 20 + 10, 16), std::string("       0.00   -3"));
    EXPECT_EQ(bytes.size(), rec + std::size_t(1 + 20 + 10 + 11 + 5 + 5) + 1);
}

TEST_F(DbfWriterTest, ControlCharactersAndIdentifiersThatDoNotFitAreRefused) {
    Writer w({{QStringLiteral("sNumber"), 'C', 6, 0, true}, {QStringLiteral("sTEdu"), 'C', 5, 0}}, QDate(2012, 1, 1));
    auto message = [&](const Params& row) {
        try {
            w.AddRecord(row);
        } catch (const Error& e) {
            return e.Text();
        }
        return QString();
    };
    for (const QString& bad :
         {QStringLiteral("a\tb"), QStringLiteral("a\nb"), QStringLiteral("a\rb"), QStringLiteral("a") + QChar(0x1B),
          QStringLiteral("a") + QChar(0) + QStringLiteral("b"), QStringLiteral("a") + QChar(0x7F),
          QStringLiteral("a") + QChar(0xD800), QChar(0xDC00) + QStringLiteral("b")}) {
        EXPECT_TRUE(message({QStringLiteral("1"), bad}).contains(QStringLiteral("控制字符"))) << bad.toStdString();
        EXPECT_TRUE(message({bad, QStringLiteral("x")}).contains(QStringLiteral("控制字符"))) << bad.toStdString();
    }
    EXPECT_TRUE(message({QStringLiteral("a\tb"), nullptr}).contains(QStringLiteral("a\\tb")));
    const QString tooLong = message({QStringLiteral("1234567"), nullptr});
    EXPECT_TRUE(tooLong.contains(QStringLiteral("1234567"))) << tooLong.toStdString();
    EXPECT_TRUE(message({QStringLiteral("一二四"), nullptr}).isEmpty());  // 6 bytes fit
    EXPECT_FALSE(message({QStringLiteral("一二三四"), nullptr}).isEmpty());
    EXPECT_EQ(w.RecordCount(), 1);
    // A lone surrogate half is shown, not turned into "?".
    EXPECT_TRUE(
        message({QStringLiteral("1"), QStringLiteral("a") + QChar(0xD800)}).contains(QStringLiteral("a\\uD800")));
    // A plain text field is not cut either; a whole pair (an emoji) is no control character.
    EXPECT_FALSE(message({QStringLiteral("1"), QStringLiteral("大学本科")}).isEmpty());
    EXPECT_TRUE(message({QStringLiteral("2"), QStringLiteral("😀")}).contains(QStringLiteral("GBK")));
    EXPECT_EQ(w.RecordCount(), 1);
}

// Texts are converted once and kept: every text comes out as its own GBK however many
// distinct ones came before it, and a kept text is measured against each field it meets.
TEST_F(DbfWriterTest, TextsBeyondTheKeptConversionsAndPlainAsciiComeOutWhole) {
    Writer w({{QStringLiteral("sTEdu"), 'C', 12, 0}, {QStringLiteral("sTsex"), 'C', 4, 0}}, QDate(2012, 1, 1));
    const int n = int(qm::dbf::kGbkCacheEntries) + 50;
    auto text = [](int i) { return QStringLiteral("码") + QString::number(i); };
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < n; ++i) rows.emplace_back(text(i), QStringLiteral("男"));
    for (int i : {0, 1, n - 1, n - 2, int(qm::dbf::kGbkCacheEntries)}) rows.emplace_back(text(i), QStringLiteral("女"));
    rows.emplace_back(QStringLiteral("2012-05 1.5"), QStringLiteral("abcd"));  // ASCII, exactly its width
    for (const auto& [a, b] : rows) w.AddRecord({a, b});
    // The same texts in a field they do not fit: refused, kept or not.
    for (const QString& t : {QStringLiteral("男女男"), QStringLiteral("abcde")}) {
        EXPECT_THROW(w.AddRecord({QStringLiteral("x"), t}), Error) << t.toStdString();
        EXPECT_THROW(w.AddRecord({QStringLiteral("x"), t}), Error) << t.toStdString();
    }
    w.AddRecord({QStringLiteral("x"), QStringLiteral("男女")});
    EXPECT_THROW(w.AddRecord({QStringLiteral("x"), text(1000)}), Error);  // kept from the wider field
    rows.emplace_back(QStringLiteral("x"), QStringLiteral("男女"));
    ASSERT_EQ(w.RecordCount(), int(rows.size()));
    const std::string bytes = w.Bytes();
    const std::size_t header = 32 + 32 * 2 + 1;
    auto padded = [](const QString& t, std::size_t width) {
        std::string g = Gbk(t);
        g.resize(width, ' ');
        return g;
    };
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t at = header + r * 17;
        ASSERT_EQ(bytes[at], ' ');
        EXPECT_EQ(bytes.substr(at + 1, 12), padded(rows[r].first, 12)) << r;
        EXPECT_EQ(bytes.substr(at + 13, 4), padded(rows[r].second, 4)) << r;
    }
}

TEST_F(DbfWriterTest, FieldListsThatDBaseCannotHoldAreRefused) {
    EXPECT_THROW(Writer({}), Error);
    EXPECT_THROW(Writer({{QStringLiteral("ElevenChars"), 'C', 10, 0}}), Error);
    EXPECT_THROW(Writer({{QStringLiteral("名称"), 'C', 10, 0}}), Error);
    EXPECT_THROW(Writer({{QStringLiteral("a"), 'C', 255, 0}}), Error);
    EXPECT_THROW(Writer({{QStringLiteral("a"), 'D', 8, 0}}), Error);
    EXPECT_NO_THROW(Writer({{QStringLiteral("TenCharsOk"), 'N', 15, 2}}));
}

TEST_F(DbfWriterTest, SaveCreatesTheFolderReplacesTheTargetAndLeavesNoTemporaryFile) {
    const QString target = Path(QStringLiteral("RCSB/deeper/t.dbf"));
    Writer first({{QStringLiteral("n"), 'N', 3, 0}}, QDate(2012, 1, 1));
    first.AddRecord({1});
    first.AddRecord({2});
    first.Save(target);
    Writer second({{QStringLiteral("n"), 'N', 3, 0}}, QDate(2012, 1, 1));
    second.AddRecord({9});
    second.Save(target);
    EXPECT_EQ(U32(ReadAll(target), 4), 1u);
    EXPECT_EQ(QDir(Path(QStringLiteral("RCSB/deeper"))).entryList(QDir::Files), QStringList{QStringLiteral("t.dbf")});
}

TEST_F(DbfWriterTest, AFailedWriteOrRenameIsAnErrorNamingTheFileAndLeavesNothingBehind) {
    Writer w({{QStringLiteral("n"), 'N', 3, 0}}, QDate(2012, 1, 1));
    w.AddRecord({1});
    // The target name is taken by a folder: the rename fails.
    ASSERT_TRUE(QDir().mkpath(Path(QStringLiteral("up/t.dbf/inner"))));
    try {
        w.Save(Path(QStringLiteral("up/t.dbf")));
        FAIL() << "rename over a folder succeeded";
    } catch (const Error& e) {
        EXPECT_TRUE(e.Text().contains(QStringLiteral("t.dbf"))) << e.Text().toStdString();
    }
    EXPECT_EQ(QDir(Path(QStringLiteral("up"))).entryList(QDir::Files), QStringList());
    // The folder's name is taken by a file: nothing can be written.
    QFile blocker(Path(QStringLiteral("GZSB")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(w.Save(Path(QStringLiteral("GZSB/t.dbf"))), Error);
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("GZSB"))).isFile());
}

}  // namespace
