// The same rows stored in any order give every form the same output, byte for byte, over every
// run of months: money is summed exactly, and rounded once as each form says.
#include "bench/report/ReportTool.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

// The form run as qm-report runs it: what it said, then its sheet's cells.
QString Output(test::TempBase& base, const QStringList& run) {
    ScriptedUiService ui;
    MainState state;
    Gates gates(base.db(), state, ui);
    MemoryProgress pb;
    reporttool::Run r{base.db(), ui, base.paths(), state, gates, pb, run.mid(1)};
    QString out = gates.LoadUnitInfo() && reporttool::AllForms().at(run[0]).run(r) ? "\n" : "refused\n";
    for (const ShownBox& b : ui.shown) out += b.text + '\n';
    for (int row = 1; row <= r.sheet.LastUsedRow(); ++row)
        for (int col = 1; col <= TSheetBook::kMaxColumns; ++col)
            if (!r.sheet.GetCellText(row, col).isEmpty())
                out += QStringLiteral("%1,%2,%3\n").arg(row).arg(col).arg(r.sheet.GetCellText(row, col));
    return out;
}

// Every form, over each run of months from January.
std::vector<QStringList> Runs() {
    std::vector<QStringList> runs{{"102-1"}, {"X505"}, {"I303-1"}, {"I102-2"}};
    for (const char* q : {"1", "2", "3", "4"}) runs.push_back({"202-1", q});
    for (const char* q : {"1", "2", "3"}) runs.push_back({"I202-2", q});
    for (int to = 1; to <= 12; ++to)
        for (const char* form : {"I704", "I705", "I202-2", "payment"}) runs.push_back({form, "1", QString::number(to)});
    return runs;
}

// Stores the rows of both tables again, in `order` (an expression over the old id).
void Reorder(test::TempBase& base, const QString& order) {
    db::Connection& c = base.db();
    for (const char* table : {"Staff_moninfo", "Wage_Info"}) {
        const QString columns = base.Scalar(
            QStringLiteral("select group_concat(name) from pragma_table_info('%1') where name<>'id'").arg(table));
        c.Exec(QStringLiteral("create temp table Rows as select * from ") + table);
        c.Exec(QStringLiteral("delete from ") + table);
        c.Exec(QStringLiteral("insert into %1 (%2) select %2 from Rows order by %3").arg(table, columns, order));
        c.Exec(QStringLiteral("drop table Rows"));
    }
}

TEST(StorageOrderTest, EveryFormGivesTheSameOutputWhateverOrderTheRowsAreStoredIn) {
    std::vector<QString> first;
    for (const char* fixture : {"report_annual.sql", "half_yuan.sql"}) {
        first.clear();
        for (const char* order : {"id", "id desc", "(id * 37) % 101, id"}) {
            test::TempBase base;
            base.db().Exec(QStringLiteral("pragma synchronous=off"));  // a scratch database: no waits for the disk
            base.RunFixture(QString::fromLatin1(fixture));
            Reorder(base, QString::fromLatin1(order));
            const std::vector<QStringList> runs = Runs();
            for (size_t k = 0; k < runs.size(); ++k) {
                const QString out = Output(base, runs[k]);
                if (first.size() < runs.size()) first.push_back(out);
                EXPECT_EQ(out.toStdString(), first[k].toStdString())
                    << fixture << ", stored by " << order << ": " << runs[k].join(QLatin1Char(' ')).toStdString();
            }
        }
    }
    // January wages of 2499.2, 0.1 and 0.2 (half_yuan.sql): 2499.5 yuan read whole (a half to the
    // even one) is 2500 (I102-2's I12); in thousand yuan 2.5 shows 3 (102-1's R12C9, 202-1's 12).
    EXPECT_TRUE(first[3].contains(QStringLiteral("\n14,4,2500\n"))) << first[3].toStdString();
    EXPECT_TRUE(first[0].contains(QStringLiteral("\n12,9,3\n"))) << first[0].toStdString();
    // The start-of-period list counts in 102-1's average of 在岗职工 (09): 3 x 13 + 7 = 46
    // person-months over 13 months make 4 persons (without month 0, 45 would make 3).
    EXPECT_TRUE(first[0].contains(QStringLiteral("\n38,4,4\n")));
    for (size_t q = 4; q <= 6; ++q) EXPECT_TRUE(first[q].contains(QStringLiteral("\n14,5,3\n"))) << q;
}

}  // namespace
