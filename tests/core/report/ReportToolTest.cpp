#include "core/db/SchemaVersion.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QProcess>

namespace qm {
namespace {

// Run from a shell: a refusal exits 2, a failure 1, each with its message on standard error.
TEST(ReportTool, RefusedRunsExitTwoAndFailedOnesOneWithTheirMessageOnStandardError) {
    const QString newer = QStringLiteral("pragma user_version=%1").arg(SchemaVersion() + 1);
    const std::tuple<QString, QString, int, QString> cases[] = {
        // the database, the form, exit, stderr
        {newer, "202-1", 2, NewerDatabaseText("%1", SchemaVersion() + 1)},
        {"create table x (y)", "X", 1, "unknown form: X"},
    };
    for (const auto& [sql, form, exit, says] : cases) {
        SCOPED_TRACE(sql.toStdString());
        test::TempBase base;
        for (const QString& s : sql.split(';', Qt::SkipEmptyParts)) base.db().Exec(s);
        base.db().Close();
        QProcess tool;
        tool.start(QStringLiteral(QM_REPORT_TOOL), {base.base(), form, "1"});
        ASSERT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitCode(), exit);
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        EXPECT_TRUE(err.startsWith(QString(says).replace("%1", base.paths().Database()))) << err.toStdString();
        EXPECT_TRUE(tool.readAllStandardOutput().isEmpty());
    }
}

}  // namespace
}  // namespace qm
