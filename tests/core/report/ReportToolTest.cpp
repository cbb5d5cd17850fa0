// qm-report as it is run from a shell: a refusal prints its message on stderr and exits 2, a
// failure exits 1.
#include "core/db/Schema.h"
#include "core/db/SchemaVersion.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QProcess>

#include <functional>

namespace qm {
namespace {

TEST(ReportTool, RefusedRunsExitTwoAndFailedOnesOneWithTheirMessageOnStandardError) {
    struct Case {
        const char* what;
        QString sql;  // run on the program folder's database first
        QString form;
        int exit;
        std::function<QString(const QString&)> says;  // what stderr starts with, given the database's path
    };
    const auto text = [](const QString& t) { return [t](const QString&) { return t; }; };
    const Case cases[] = {
        {"a database a newer program made", QStringLiteral("pragma user_version=%1").arg(SchemaVersion() + 1), "202-1",
         2, [](const QString& path) { return NewerDatabaseText(path, SchemaVersion() + 1); }},
        {"no unit", "", "202-1", 2, text(QStringLiteral("请先填写单位基本信息！"))},
        {"an upgrade that cannot be made",
         "drop index Wage_Info_errors; create table Wage_Info_errors (x); pragma user_version=0", "202-1", 1,
         text(QStringLiteral("数据库结构升级失败，数据库未做改动：数据库中已有名为“Wage_Info_errors”的表（或视图），"
                             "本系统要建立的同名对象不能建立。所用的数据库文件不完整，或者不是本系统的数据库。"))},
        {"an unknown form", "", "X", 1, text(QStringLiteral("unknown form: X"))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempBase base;
        for (const QString& sql : c.sql.split(';', Qt::SkipEmptyParts)) base.db().Exec(sql);
        base.db().Close();
        QProcess tool;
        tool.start(QStringLiteral(QM_REPORT_TOOL), {base.base(), c.form, "1"});
        ASSERT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), c.exit);
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        const QString says = c.says(base.paths().Database());
        EXPECT_EQ(err.left(says.size() + 1).toStdString(), (says + '\n').toStdString());
        EXPECT_TRUE(tool.readAllStandardOutput().isEmpty());
    }
}

}  // namespace
}  // namespace qm
