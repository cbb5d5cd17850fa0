#include "core/app/Maintenance.h"
#include "core/files/ReplacingFile.h"
#include "core/files/XlsxWriter.h"
#include "core/report/Upload.h"
#include "core/report/WorkbookExport.h"
#include "tests/core/files/FullDisk.h"
#include "tests/core/files/NoLocks.h"
#include "tests/support/MaintFixture.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <functional>

namespace qm {
namespace {

// The names new temporary files get, for one scope however it ends.
struct PlantedNames {
    explicit PlantedNames(std::function<QByteArray()> next) { files::ReplacingFile::SetNameSource(std::move(next)); }
    ~PlantedNames() { files::ReplacingFile::SetNameSource(nullptr); }
};

// Links planted in the output folder, pointing outside it, at the old temporary name, at the
// very names the next temporary files get and at the name of a companion whose file is gone; a
// stale temporary file of a killed run; files near the pattern; a writer still running there.
// Each writer, writing twice (a new file, then one replacing it), leaves all but the stale file
// alone and writes nothing else.
TEST(OutputFiles, NoWriterWritesThroughANamePlantedInItsFolderAndStaleTemporaryFilesGo) {
    test::TempBase base;
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim")), folder = base.paths().Rcsb() + '/';
    const std::pair<QStringList, std::function<void(const QString&)>> writers[] = {
        {{"1_i505.dbf", "Gl_1.dbf"},
         [&](auto) { upload::Write(base.db(), base.paths(), upload::Kind::TalentSummary, "1"); }},
        {{"w.xlsx"}, [](const QString& path) { xlsx::Workbook(path).Close(); }},
        {{"r.xlsx"}, [](const QString& path) { report::WriteXlsx(report::WorkbookModel(), path); }},
    };
    for (const auto& [names, write] : writers) {
        QDir(folder).removeRecursively();
        files::ReplacingFile running(folder + QStringLiteral("running.dbf"));  // also makes the folder
        QStringList links{".x.qmtmp.Gone11-journal"}, others{".x.qmtmp.SHORT", "x.dbf.qmtmp.NOTHID"};
        for (const QString& name : names)
            links << name + ".tmp" << '.' + name + ".qmtmp.AAAAAA" << '.' + name + ".qmtmp.BBBBBB";
        for (const QString& l : links) ASSERT_TRUE(QFile::link(victim, folder + l));
        for (const QString& o : others + QStringList{".y.xlsx.qmtmp.Stale1"})
            QFile(folder + o).open(QIODevice::WriteOnly);
        for (int round = 0; round < 2; ++round) {
            int next = 0;
            const PlantedNames planted([&] {
                const int k = next++;
                return QByteArrayList{"AAAAAA", "BBBBBB"}.value(k, QByteArray::number(100000 + k));
            });
            write(folder + names.first());
        }
        EXPECT_FALSE(QFileInfo::exists(victim));
        for (const QString& l : links) EXPECT_EQ(QFileInfo(folder + l).symLinkTarget(), victim) << l.toStdString();
        for (const QString& n : names)
            EXPECT_TRUE(QFileInfo(folder + n).isFile() && !QFileInfo(folder + n).isSymLink());
        const QStringList left =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& e : names + links + others) EXPECT_TRUE(left.contains(e)) << e.toStdString();
        EXPECT_EQ(left.size(), names.size() + links.size() + others.size() + 1);  // and the running writer's
        running.Commit();
    }
}

// Without locks every output is written all the same or says why it failed, and the sweep removes
// only temporary files (with their companions, or orphaned companions) unwritten for longer than
// a write can take.
TEST(OutputFiles, WithoutLocksOutputsAreWrittenOrSayWhyAndOnlyLongUnwrittenTemporariesAreSwept) {
    test::TempBase base;
    const QString folder = base.paths().Rcsb() + '/';
    const long age = long(FolderTemporary::kUnlockedStaleAge.count());
    // The talent survey's upload is the unit code's .dbf in RCSB/: the code names the file.
    const std::function<void(const QString&)> query = [&](const QString& path) {
        upload::Write(base.db(), base.paths(), upload::Kind::TalentSurvey, QFileInfo(path).completeBaseName());
    };
    const std::tuple<QString, std::function<void(const QString&)>, rlim_t, QString> cases[] = {
        {"out.dbf", query, RLIM_INFINITY, ""},
        {"out.xlsx", [](const QString& path) { xlsx::Workbook(path).Close(); }, RLIM_INFINITY, ""},
        {"out.dbf", query, 16, "文件超出了允许的大小"},
        {"dir.dbf", query, RLIM_INFINITY, "已有同名的文件夹占用了这个文件名"},
    };
    const std::pair<const char*, long> left[] = {{".t.qmtmp.Stale1", age + 60},
                                                 {".t.qmtmp.Stale1-journal", 0},
                                                 {".t.qmtmp.Gone11-wal", 0},
                                                 {".t.qmtmp.Young1", age - 60},
                                                 {".t.qmtmp.Young1-journal", 2 * age}};
    for (const auto& [name, write, room, cause] : cases) {
        SCOPED_TRACE(name.toStdString() + " " + cause.toStdString());
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder + "dir.dbf/inside"));
        for (const auto& [file, ago] : left) ASSERT_TRUE(test::PutAged(folder + file, "x", ago));
        const test::NoLocks noLocks(ENOLCK);
        QString said;
        try {
            const test::FullDisk full(room);
            write(folder + name);
        } catch (const upload::Error& e) {
            said = e.Text();
        }
        EXPECT_TRUE(cause.isEmpty()
                        ? said.isEmpty()
                        : said.startsWith("上报文件“" + folder + name + "”未能生成：") && said.endsWith(cause))
            << said.toStdString();
        // Appended in place: gcc 12 at -O3 misreads a literal + std::string temporary (-Wrestrict).
        std::string kept = ".t.qmtmp.Young1 .t.qmtmp.Young1-journal dir.dbf";
        if (cause.isEmpty()) kept.append(" ").append(name.toStdString());
        EXPECT_EQ(test::Entries(folder), kept);
    }
}

// A run killed at a step of putting a pair in place (0: its mark on disk, 1 and 2: as many files
// in place, 3: the mark gone), after another run's sweep of the folder at that step or not: the
// folder's next sweep, as the program starts or the next file is written there, leaves the
// earlier pair, or none where there was none, until the new pair is wholly in place, and nothing
// beside it.
TEST(OutputFiles, APairIsWholeAfterARunKilledAtAnyStepOfPuttingItInPlace) {
    test::MaintFixture f;
    const QString folder = f.base.paths().Rcsb() + '/';
    const QStringList pair{"1_i505.dbf", "Gl_1.dbf"};
    const QByteArrayList earlier{"old summary", "old list"}, later{"new summary", "new list"}, none{{}, {}};
    const struct {
        int killedAt;
        bool before, sweptFirst, byWrite;
        const QByteArrayList& found;
    } cases[] = {
        {0, true, false, false, earlier}, {1, true, false, true, earlier}, {1, true, true, false, earlier},
        {2, true, false, true, earlier},  {3, true, false, false, later},  {1, false, false, true, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.killedAt) + (c.before ? " over a pair" : "") + (c.sweptFirst ? " swept" : "") +
                     (c.byWrite ? " then a write" : " then a start"));
        QDir(folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(folder));
        for (int i = 0; i < 2 && c.before; ++i) test::WriteAll(folder + pair[i], earlier[i]);
        const pid_t pid = ::fork();
        if (pid == 0) {
            files::ReplacingFile::SetPlacingHook([&](int step) {
                if (step != c.killedAt) return;
                if (c.sweptFirst) FolderTemporary::RemoveStaleIn(folder);
                ::raise(SIGKILL);
            });
            files::ReplacingFile a(folder + pair[0]), b(folder + pair[1]);
            if (::write(a.Descriptor(), "new summary", 11) == 11 && ::write(b.Descriptor(), "new list", 8) == 8)
                files::ReplacingFile::CommitAll({&a, &b});
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        if (c.byWrite)
            files::ReplacingFile(folder + QStringLiteral("next.dbf")).Commit();
        else
            Maintenance(f.ctx).SweepLeftovers();
        EXPECT_EQ((QByteArrayList{test::ReadAll(folder + pair[0]), test::ReadAll(folder + pair[1])}), c.found);
        const QStringList left = (c.found == none ? QStringList() : pair) + QStringList(c.byWrite ? "next.dbf" : "");
        EXPECT_EQ(test::Entries(folder), left.join(' ').trimmed().toStdString());
    }
}

}  // namespace
}  // namespace qm
