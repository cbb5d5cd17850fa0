// The gates and the range choosers look for error rows through the partial indexes on the
// error flags: every statement they run that names a flag is planned on one of them, in a new
// database and in one made before the indexes, which gets them when the program opens it.
#include "core/base/AppContext.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/DataModule.h"
#include "core/db/Raw.h"
#include "core/db/Schema.h"
#include "core/db/SchemaVersion.h"
#include "core/report/RangeChoice.h"
#include "core/unit/Gates.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using qm::Month;

// The text of every statement run on the connection while it is watched.
class StatementLog {
public:
    explicit StatementLog(qm::db::Connection& c) : h_(qm::db::Raw::Handle(c)) {
        sqlite3_trace_v2(h_, SQLITE_TRACE_STMT, &StatementLog::Record, this);
    }
    ~StatementLog() { sqlite3_trace_v2(h_, 0, nullptr, nullptr); }
    QStringList texts;

private:
    static int Record(unsigned, void* self, void* st, void*) {
        static_cast<StatementLog*>(self)->texts << QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(st)));
        return 0;
    }
    sqlite3* h_;
};

// The details of the statement's query plan, one line per step.
QString PlanOf(qm::db::Connection& c, const QString& sql) {
    sqlite3_stmt* st = nullptr;
    const QByteArray text = (QStringLiteral("explain query plan ") + sql).toUtf8();
    if (sqlite3_prepare_v2(qm::db::Raw::Handle(c), text.constData(), -1, &st, nullptr) != SQLITE_OK)
        return QStringLiteral("?");
    QStringList lines;
    while (sqlite3_step(st) == SQLITE_ROW) lines << QString::fromUtf8(sqlite3_column_text(st, 3));
    sqlite3_finalize(st);
    return lines.join(QLatin1Char('\n'));
}

QStringList IndexNames(qm::db::Connection& c) {
    qm::db::Query q(c);
    q.Open(QStringLiteral("select name from sqlite_master where type='index' and name like '%errors' order by name"));
    QStringList out;
    for (; !q.Eof(); q.Next()) out << q.Fields(0).AsString();
    return out;
}

// Runs the gates and the choosers' checks on clean data and answers the statements among them
// that look for error rows, each with its plan.
std::vector<std::pair<QString, QString>> ErrorQueryPlans(qm::db::Connection& c) {
    qm::ScriptedUiService ui;
    qm::MainState state;
    qm::Gates gates(c, state, ui);
    QStringList texts;
    {
        StatementLog log(c);
        gates.CheckPreviousMonth(Month(3));
        gates.CheckMonthDataErrors(Month(12));
        gates.HasMonthData(Month(5));
        gates.StaffErrorMonthList();
        gates.PeriodRefusal(Month(6), false);
        for (auto twin : {qm::report::RangeChoice::Twin::AB, qm::report::RangeChoice::Twin::BA}) {
            qm::report::RangeChoice choice(c, ui, twin);
            choice.CheckMonthErrors();
            choice.CheckRange(QStringLiteral("1"), QStringLiteral("12"));
        }
        texts = log.texts;
    }
    std::vector<std::pair<QString, QString>> out;
    for (const QString& sql : texts)
        if (sql.contains(QStringLiteral("='0'"))) out.emplace_back(sql, PlanOf(c, sql));
    return out;
}

void ExpectEveryErrorQueryIndexed(qm::db::Connection& c) {
    const auto plans = ErrorQueryPlans(c);
    EXPECT_GE(plans.size(), 10u);
    for (const auto& [sql, plan] : plans) {
        const bool staff = sql.contains(QStringLiteral("Staff_moninfo"), Qt::CaseInsensitive);
        const QString index = staff ? QStringLiteral("Staff_moninfo_errors") : QStringLiteral("Wage_Info_errors");
        EXPECT_TRUE(plan.contains(QStringLiteral("INDEX ") + index)) << sql.toStdString() << "\n" << plan.toStdString();
    }
}

TEST(ErrorIndexes, EveryErrorQueryOfTheGatesAndChoosersIsPlannedOnAnIndexAlsoInAnOlderDatabase) {
    qm::test::TempBase base;
    base.db().Exec(QStringLiteral("insert into Dep_Info values('某单位','12345678X','企业','否','1','99')"));
    EXPECT_EQ(IndexNames(base.db()),
              (QStringList{QStringLiteral("Staff_moninfo_errors"), QStringLiteral("Wage_Info_errors")}));
    ExpectEveryErrorQueryIndexed(base.db());

    // A database made before the indexes: opening it in the program adds them, once.
    base.db().Exec(QStringLiteral("drop index Staff_moninfo_errors"));
    base.db().Exec(QStringLiteral("drop index Wage_Info_errors"));
    base.db().Exec(QStringLiteral("pragma user_version = 0"));
    base.db().Close();
    qm::ScriptedUiService ui;
    for (int open = 0; open < 2; ++open) {
        qm::TDataModule1 dm(base.paths().Database(), ui);
        dm.DataModuleCreate();
        ASSERT_TRUE(dm.ADOConn.IsOpen());
        EXPECT_EQ(IndexNames(dm.ADOConn).size(), 2);
        EXPECT_EQ(qm::SchemaVersionOf(dm.ADOConn), qm::SchemaVersion());
        ExpectEveryErrorQueryIndexed(dm.ADOConn);
    }
    EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
