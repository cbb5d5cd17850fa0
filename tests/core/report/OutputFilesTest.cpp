#include "core/files/ReplacingFile.h"
#include "core/files/XlsxWriter.h"
#include "core/report/Upload.h"
#include "core/report/WorkbookExport.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

namespace qm {
namespace {

// Links planted in the output folder, pointing outside it, at the old temporary name and at
// the very names the next temporary files get; a stale temporary file of a killed run; files
// near the pattern; a writer still running there. Each writer, writing twice (a new file, then
// one replacing it), leaves all but the stale file alone and writes nothing else.
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
        QStringList links, others{".x.qmtmp.SHORT", "x.dbf.qmtmp.NOTHID"};
        for (const QString& name : names)
            links << name + ".tmp" << '.' + name + ".qmtmp.AAAAAA" << '.' + name + ".qmtmp.BBBBBB";
        for (const QString& l : links) ASSERT_TRUE(QFile::link(victim, folder + l));
        for (const QString& o : others + QStringList{".y.xlsx.qmtmp.Stale1"})
            QFile(folder + o).open(QIODevice::WriteOnly);
        for (int round = 0; round < 2; ++round) {
            int next = 0;
            files::ReplacingFile::SetNameSource([&] {
                const int k = next++;
                return QByteArrayList{"AAAAAA", "BBBBBB"}.value(k, QByteArray::number(100000 + k));
            });
            write(folder + names.first());
            files::ReplacingFile::SetNameSource(nullptr);
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

}  // namespace
}  // namespace qm
