#include "core/db/Errors.h"
#include "core/report/Upload.h"
#include "core/staff/StaffListWriter.h"
#include "core/unit/Gates.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/wage/WageTestBase.h"

namespace qm::test {
namespace {

// Every failure of the database reaches the person in Chinese, whichever message reports it:
// the batch and wage saves on a database locked by another program, read-only or full; a file
// that is no database; an upload and a gate over a database without a table they read.
using DatabaseFailureText = WageTestBase;

TEST_F(DatabaseFailureText, EveryDatabaseFailureReadsInChinese) {
    enum Way { Locked, ReadOnly, Full, Ordinary };
    const QString notes = base.base() + QStringLiteral("/notes.mdb");
    auto batchSave = [&] {
        const CellReader cell = [](int r, int c) {
            return c == 2 ? QStringLiteral("%1").arg(r, 40, 10, QLatin1Char('0')) : QString();
        };
        const std::vector<QString> flags(400, QStringLiteral("1"));
        try {
            db::MonthLoad loaded;  // as from the empty list the fixture stores
            StaffListWriter(base.db(), Month::Start(), StaffColumns::Base).Replace({3, 402, cell, flags}, loaded);
        } catch (const SaveFailure& f) {
            ui.Plain(f.Message());
        }
    };
    auto wageSave = [&] {
        for (int r = 2; r < 402; ++r) Row(r, {QStringLiteral("%1").arg(r, 40, 10, QLatin1Char('0')), "某", "3000"});
        WageSheet(ctx, book, month).Save();
    };
    const struct {
        Way way;
        std::function<void()> step;
        const char *lead, *reason;
    } cases[] = {
        {Locked, batchSave, "保存失败：", "已锁定"},
        {ReadOnly, batchSave, "保存失败：", "只读"},
        {Full, batchSave, "保存失败：", "磁盘已满"},
        {ReadOnly, wageSave, "保存失败，本月已存的数据未改动", "只读"},
        {Full, wageSave, "保存失败，本月已存的数据未改动", "磁盘已满"},
        {Ordinary, [&] { db::Connection().Open(notes); }, "无法打开数据库", "不是数据库"},
        {Ordinary, [&] { upload::Run(base.db(), ui, base.paths(), upload::Kind::QuarterReport, "1", Quarter(1)); },
         "上报文件", "没有表“JGLabor_info”"},
        {Ordinary, [&] { Gates(base.db(), state, ui).CheckMonthDataErrors(Month(3)); }, "", "没有表“VmonWage”"},
    };
    QFile notADatabase(notes);
    ASSERT_TRUE(notADatabase.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                notADatabase.write(QByteArray(512, 'x')) == 512);
    base.db().Exec(QStringLiteral("drop table JGLabor_info"));
    base.db().Exec(QStringLiteral("drop view VmonWage"));
    for (const auto& c : cases) {
        db::Connection other;
        other.Open(base.paths().Database());
        if (c.way == Locked) other.Exec(QStringLiteral("begin exclusive"));
        if (c.way == ReadOnly) base.db().OpenReadOnly(base.paths().Database());
        if (c.way == Full) base.Scalar(QStringLiteral("pragma max_page_count = ") + base.Scalar("pragma page_count"));
        ui.Clear();
        Guarded(ui, c.step);  // as every command of the main window runs
        const QString shown = Texts().join(QLatin1Char('\n'));
        EXPECT_TRUE(shown.contains(QString::fromUtf8(c.lead)) && shown.contains(QString::fromUtf8(c.reason)))
            << shown.toStdString();
        for (const char* english : {"database", "disk", "locked", "readonly", "no such", "not a", "attempt"})
            EXPECT_FALSE(shown.contains(QLatin1String(english), Qt::CaseInsensitive)) << shown.toStdString();
        if (c.way == Locked) other.Exec(QStringLiteral("rollback"));
        base.db().Open(base.paths().Database());
    }
}

}  // namespace
}  // namespace qm::test
