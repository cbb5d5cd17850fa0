// The same rows stored in any order give every form the same output, byte for byte, over every
// run of months: money is summed exactly, and rounded once as each form says.
#include "tests/support/TempBase.h"
#include "tools/report/ReportTool.h"

#include <gtest/gtest.h>

using namespace qm;

namespace {

// The form run as qm-report runs it: what it said, then its sheet's cells.
std::string Output(test::TempBase& base, const QStringList& run) {
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
    return out.toStdString();
}

TEST(StorageOrderTest, EveryFormGivesTheSameOutputWhateverOrderTheRowsAreStoredIn) {
    // Every form, over each run of months from January.
    std::vector<QStringList> runs{{"102-1"},       {"X505"},        {"I303-1"},     {"I102-2"},
                                  {"202-1", "1"},  {"202-1", "2"},  {"202-1", "3"}, {"202-1", "4"},
                                  {"I202-2", "1"}, {"I202-2", "2"}, {"I202-2", "3"}};
    for (int to = 1; to <= 12; ++to)
        for (const char* form : {"I704", "I705", "I202-2", "payment"}) runs.push_back({form, "1", QString::number(to)});
    std::vector<std::string> first;
    for (const char* fixture : {"report_annual.sql", "half_yuan.sql"}) {
        first.clear();
        for (const char* order : {"id", "id desc", "(id * 37) % 101, id"}) {
            test::TempBase base;
            base.db().Exec(QStringLiteral("pragma synchronous=off"));  // a scratch database: no waits for the disk
            base.RunFixture(QString::fromLatin1(fixture));
            for (const QString& table : {QStringLiteral("Staff_moninfo"), QStringLiteral("Wage_Info")}) {
                const QString columns = base.Scalar(
                    QStringLiteral("select group_concat(name) from pragma_table_info('%1') where name<>'id'")
                        .arg(table));
                base.db().Exec("create temp table Rows as select * from " + table);
                base.db().Exec("delete from " + table);
                base.db().Exec("insert into " + table + " (" + columns + ") select " + columns +
                               " from Rows order by " + order);
                base.db().Exec(QStringLiteral("drop table Rows"));
            }
            for (size_t k = 0; k < runs.size(); ++k) {
                const std::string out = Output(base, runs[k]);
                if (first.size() == k) first.push_back(out);
                EXPECT_EQ(out, first[k]) << fixture << ", stored by " << order << ": "
                                         << runs[k].join(QLatin1Char(' ')).toStdString();
            }
        }
    }
    // January wages of 2499.2, 0.1 and 0.2 (half_yuan.sql) make 2499.5 yuan: whole, a half to the even one, 2500
    // (I102-2's I12); in thousand yuan 2.5 shows 3 (102-1's R12C9, 202-1's 12). The start-of-period list counts in
    // 102-1's average of 在岗职工 (09): 3 x 13 + 7 = 46 person-months over 13 months make 4 persons
    // (without month 0, 45 would make 3).
    const std::pair<size_t, const char*> cells[]{{3, "14,4,2500"}, {0, "12,9,3"}, {0, "38,4,4"},
                                                 {4, "14,5,3"},    {5, "14,5,3"}, {6, "14,5,3"}};
    for (const auto& [run, cell] : cells)
        EXPECT_NE(first[run].find('\n' + std::string(cell) + '\n'), std::string::npos) << cell << ":\n" << first[run];
}

}  // namespace
