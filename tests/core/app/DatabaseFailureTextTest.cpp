// Every failure of the database reaches the person in Chinese: the engine's reason is
// translated once, where the failure is raised, whichever message then reports it.
#include "core/db/Errors.h"
#include "core/report/Upload.h"
#include "core/staff/AllputStore.h"
#include "core/unit/Gates.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/wage/WageTestBase.h"

#include <sqlite3.h>
#include <QFile>

#include <functional>

namespace qm::test {
namespace {

class DatabaseFailureTextTest : public WageTestBase {
protected:
    QString Live() const { return base.paths().Database(); }
    void Reopen() {
        base.db().Close();
        base.db().Open(Live());
    }

    // The text a failing step shows, under each way of failing.
    QString Locked(const std::function<QString()>& step) {
        db::Connection other;
        other.Open(Live());
        other.Exec(QStringLiteral("begin exclusive"));
        sqlite3_busy_timeout(base.db().Handle(), 20);
        const QString shown = step();
        other.Exec(QStringLiteral("rollback"));
        Reopen();
        return shown;
    }
    QString ReadOnly(const std::function<QString()>& step) {
        base.db().Close();
        base.db().OpenReadOnly(Live());
        const QString shown = step();
        Reopen();
        return shown;
    }
    QString Full(const std::function<QString()>& step) {
        const QString pages = base.Scalar(QStringLiteral("pragma page_count"));
        base.Scalar(QStringLiteral("pragma max_page_count = ") + pages);
        const QString shown = step();
        Reopen();
        return shown;
    }

    // The batch sheet's save of a list that needs new pages.
    QString BatchSave() {
        std::vector<AllputRow> rows(400);
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i].sheetRow = int(i) + 3;
            rows[i].text[0] = QStringLiteral("某某某某某某某某某某%1").arg(i);
            rows[i].text[1] = QStringLiteral("A%1").arg(i, 8, 10, QLatin1Char('0'));
        }
        try {
            AllputStore(base.db()).Save(rows, StaffColumns::Base);
        } catch (const AllputSaveError& e) {
            return e.Text();
        }
        return QStringLiteral("saved");
    }
    QString WageSave() {
        for (int r = 2; r < 402; ++r)
            Row(r, {QStringLiteral("A%1").arg(r, 8, 10, QLatin1Char('0')), QStringLiteral("某某某某某某某某某某"),
                    QStringLiteral("3000")});
        ui.Clear();
        WageSheet(ctx, book, month).Save();
        return Texts().join(QLatin1Char('\n'));
    }
    // A command as the main window runs it: its failure goes to the one default handler.
    QString Command(const std::function<void()>& handler) {
        ui.Clear();
        Guarded(ui, handler);
        return Texts().join(QLatin1Char('\n'));
    }
};

TEST_F(DatabaseFailureTextTest, EveryDatabaseFailureReadsInChinese) {
    const QString notADatabase = base.base() + QStringLiteral("/notes.mdb");
    {
        QFile f(notADatabase);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    struct Case {
        const char* what;
        std::function<QString()> shown;
        QString lead, reason;
    };
    const QString locked = QStringLiteral("已锁定"), readOnly = QStringLiteral("只读"),
                  full = QStringLiteral("磁盘已满");
    const QString batch = QStringLiteral("期初名单未能保存："), wage = QStringLiteral("保存失败，本月已存的数据未改动");
    const Case cases[] = {
        {"batch save, locked", [&] { return Locked([&] { return BatchSave(); }); }, batch, locked},
        {"batch save, read-only", [&] { return ReadOnly([&] { return BatchSave(); }); }, batch, readOnly},
        {"batch save, disk full", [&] { return Full([&] { return BatchSave(); }); }, QString(), full},
        {"wage save, locked", [&] { return Locked([&] { return WageSave(); }); }, wage, locked},
        {"wage save, read-only", [&] { return ReadOnly([&] { return WageSave(); }); }, wage, readOnly},
        {"wage save, disk full", [&] { return Full([&] { return WageSave(); }); }, QString(), full},
        {"open a file that is no database",
         [&] {
             try {
                 db::Connection c;
                 c.Open(notADatabase);
             } catch (const db::Error& e) {
                 return e.Text();
             }
             return QStringLiteral("opened");
         },
         QStringLiteral("无法打开数据库"), QStringLiteral("不是数据库")},
        {"an upload without its result table",
         [&] {
             base.db().Exec(QStringLiteral("drop table JGLabor_info"));
             ui.Clear();
             upload::Run(base.db(), ui, base.paths(), upload::Kind::QuarterReport, QStringLiteral("12345678X"), 1);
             return Texts().join(QLatin1Char('\n'));
         },
         QStringLiteral("上报文件"), QStringLiteral("没有表“JGLabor_info”")},
        {"a gate without VmonWage",
         [&] {
             base.db().Exec(QStringLiteral("drop view VmonWage"));
             return Command([&] { Gates(base.db(), state, ui).CheckMonthDataErrors(Month(3)); });
         },
         QString(), QStringLiteral("没有表“VmonWage”")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString shown = c.shown();
        EXPECT_TRUE(shown.contains(c.lead) && shown.contains(c.reason)) << shown.toStdString();
        for (const char* english : {"database", "disk", "locked", "readonly", "no such", "not a", "attempt"})
            EXPECT_FALSE(shown.contains(QLatin1String(english), Qt::CaseInsensitive)) << shown.toStdString();
    }
}

}  // namespace
}  // namespace qm::test
