// Every file the program writes goes through a temporary file of its own beside the target:
// names planted in the output folder are never written through, and the temporary files a
// killed run left there are cleared by the next write.
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/files/DbfWriter.h"
#include "core/files/ReplacingFile.h"
#include "core/files/XlsxWriter.h"
#include "core/report/Upload.h"
#include "core/report/WorkbookExport.h"
#include "core/wage/WageErrorExport.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <functional>

namespace qm {
namespace {

using files::ReplacingFile;

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The random part of the next temporary names: the given ones first, then fresh ones.
class ScriptedNames {
public:
    explicit ScriptedNames(QList<QByteArray> first) {
        ReplacingFile::SetNameSource([first, i = 0]() mutable {
            const int k = i++;
            return k < first.size() ? first[k] : QByteArray::number(100000 + k);
        });
    }
    ~ScriptedNames() { ReplacingFile::SetNameSource(nullptr); }
};

class OutputFilesTest : public ::testing::Test {
protected:
    test::TempBase base;
    ScriptedUiService ui;
    MemoryProgress pb;
    QTemporaryDir elsewhere;
};

// A link planted at the old temporary name ("<target>.tmp"), at names of the new pattern, and
// at the very names the next temporary files will get, each pointing at a file outside the
// output folder: every kind of output leaves that file as it was, and its target is a regular
// file of its own, written twice (a new file, then one replacing it).
TEST_F(OutputFilesTest, NoOutputWritesThroughALinkPlantedAtItsTemporaryName) {
    const QString unit = QStringLiteral("12345678X");
    const QString victim = elsewhere.filePath(QStringLiteral("victim"));
    const QByteArray untouched("a file outside the output folder");
    struct Case {
        const char* what;
        QString folder;
        QStringList names;
        std::function<void(const QString& path)> write;  // the path of the first name
    };
    const Case cases[] = {
        {"dBase file",
         base.paths().Rcsb(),
         {QStringLiteral("t.dbf")},
         [](const QString& path) {
             dbf::Writer w({{QStringLiteral("n"), 'N', 3, 0}});
             w.AddRecord({1});
             w.Save(path);
         }},
        {"register upload",
         base.paths().Rcsb(),
         {QStringLiteral("Gl_12345678X.dbf")},
         [&](const QString&) { upload::Write(base.db(), base.paths(), upload::Kind::StaffRegister, unit); }},
        {"summary upload",
         base.paths().Gzsb(),
         {QStringLiteral("12345678X_i704.dbf")},
         [&](const QString&) { upload::Write(base.db(), base.paths(), upload::Kind::WageSummary, unit); }},
        {"upload pair",
         base.paths().Rcsb(),
         {QStringLiteral("12345678X_i505.dbf"), QStringLiteral("Gl_12345678X.dbf")},
         [&](const QString&) { upload::Write(base.db(), base.paths(), upload::Kind::TalentSummary, unit); }},
        {"report workbook",
         base.paths().Xls(),
         {QStringLiteral("汇总表.xlsx")},
         [](const QString& path) {
             report::WorkbookModel m;
             m.SetText(1, 1, QStringLiteral("1-本季"));
             report::WriteXlsx(m, path);
         }},
        {"workbook",
         base.paths().Xls(),
         {QStringLiteral("w.xlsx")},
         [](const QString& path) {
             xlsx::Workbook wb(path);
             wb.AddSheet(QStringLiteral("S")).Text(1, 1, QStringLiteral("x"));
             wb.Close();
         }},
        {"wage error list",
         base.paths().Error(),
         {QStringLiteral("3月错误名单.xlsx")},
         [&](const QString&) {
             ASSERT_TRUE(ExportWageErrorWorkbook(ui, pb, base.paths(), Month(3), {{"001", "张三"}}));
         }},
    };
    const QList<QByteArray> guesses{"AAAAAA", "BBBBBB", "CCCCCC"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(c.folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(c.folder));
        QFile::remove(victim);
        {
            QFile v(victim);
            ASSERT_TRUE(v.open(QIODevice::WriteOnly));
            v.write(untouched);
        }
        QStringList planted;
        for (const QString& name : c.names) {
            planted << name + QStringLiteral(".tmp");
            for (const QByteArray& g : guesses)
                planted << QLatin1Char('.') + name + QStringLiteral(".qmtmp.") + QString::fromLatin1(g);
        }
        for (const QString& p : planted) ASSERT_TRUE(QFile::link(victim, c.folder + QLatin1Char('/') + p));
        for (int round = 0; round < 2; ++round) {
            const ScriptedNames names(guesses);
            c.write(c.folder + QLatin1Char('/') + c.names.first());
        }
        EXPECT_EQ(ReadAll(victim), untouched);
        for (const QString& name : c.names) {
            const QFileInfo target(c.folder + QLatin1Char('/') + name);
            EXPECT_TRUE(target.isFile() && !target.isSymLink()) << name.toStdString();
            const QByteArray head = ReadAll(target.filePath()).left(2);
            EXPECT_TRUE(head == "PK" || head.startsWith('\x03')) << name.toStdString();
        }
        for (const QString& p : planted)
            EXPECT_EQ(QFileInfo(c.folder + QLatin1Char('/') + p).symLinkTarget(), victim) << p.toStdString();
        QStringList expected = c.names + planted;
        expected.sort();
        EXPECT_EQ(Entries(c.folder), expected);
    }
}

// What a killed run leaves is cleared by the next write to the folder: regular files of the
// temporary files' pattern that no living writer holds. Anything else stays.
TEST_F(OutputFilesTest, TheNextWriteClearsOnlyStaleTemporaryFilesOfItsOwnPattern) {
    const QString folder = base.paths().Gzsb();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString outside = elsewhere.filePath(QStringLiteral("outside"));
    QFile(outside).open(QIODevice::WriteOnly);
    enum Kind { File, Link, Folder };
    struct Entry {
        const char* name;
        Kind kind;
        bool cleared;
    } entries[] = {
        {".a.dbf.qmtmp.Abc123", File, true},                                  // left by a killed upload
        {".工资.xlsx.qmtmp.ZZZZZZ", File, true},                              // by a killed export
        {".b.dbf.qmtmp.LINKED", Link, false},                                 // a link is no file of ours
        {".c.dbf.qmtmp.FOLDER", Folder, false},  {"d.dbf.tmp", File, false},  // not the pattern
        {".e.dbf.qmtmp.abc", File, false},                                    // random part too short
        {"f.dbf.qmtmp.ABCDEF", File, false},                                  // not hidden
        {".qmtmp.ABCDEF", File, false},                                       // no name before the mark
        {".g.dbf.qmtmp.AB-DEF", File, false},
    };
    for (const Entry& e : entries) {
        const QString path = folder + QLatin1Char('/') + QString::fromUtf8(e.name);
        const bool made = e.kind == File   ? QFile(path).open(QIODevice::WriteOnly)
                          : e.kind == Link ? QFile::link(outside, path)
                                           : QDir().mkpath(path);
        ASSERT_TRUE(made) << e.name;
    }
    // A writer still running (here, in this process) holds its temporary file.
    ReplacingFile running(folder + QStringLiteral("/running.dbf"));
    const QStringList beforeRunning = Entries(folder);

    dbf::Writer w({{QStringLiteral("n"), 'N', 3, 0}});
    w.AddRecord({1});
    w.Save(folder + QStringLiteral("/t.dbf"));

    QStringList expected = beforeRunning;
    for (const Entry& e : entries)
        if (e.cleared) expected.removeOne(QString::fromUtf8(e.name));
    expected << QStringLiteral("t.dbf");
    expected.sort();
    EXPECT_EQ(Entries(folder), expected);
    EXPECT_TRUE(QFileInfo::exists(outside));
    running.Commit();  // the running writer was not disturbed
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/running.dbf")).isFile());
}

}  // namespace
}  // namespace qm
