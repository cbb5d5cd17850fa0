#pragma once
// The Gid-matrix summaries (I704, I705, X505, Ⅰ303-1): report lines × count columns, each cell
// the number of persons who meet the line's condition and the column's. Each summary is data
// here (its lines with their condition texts, its columns, which cells it never computes);
// one engine counts a whole matrix in a single pass over the counted month.
//
// The condition texts are kept as the summaries splice them into their per-cell statements
// ("where sPost = 21 and " + " Ssex=2" + " and sMon=3"); the engine turns them into filters
// of one statement.

#include "core/report/ReportEngine.h"

#include <QString>

#include <optional>
#include <vector>

namespace qm::db {
class Connection;
}

namespace qm::report {

enum class GidSummary { I704, I705, X505, I303_1 };

// One report line (one row of the result table, by Gid); its label is the template's.
struct GidLine {
    int gid;
    QString where;   // opens the WHERE clause of the counts: "where sPost = 21 and "
    QString period;  // appended to the period queries (I704, I705): " and sPost = 21"
};

// One count column: its result-table field and its condition (empty: none).
struct GidColumn {
    const char* field;
    const char16_t* condition;
};

struct GidMatrixLayout {
    GidSummary id;
    const char* resultTable;  // "Total_Info" or "Total_baseInfo"
    const char* source;       // the counted view or table
    std::vector<GidLine> lines;
    std::vector<GidColumn> columns;
    // The condition of cell (gid, column 1..n) when it differs from the column's own (I705's
    // line-dependent title column); null to use the column's.
    const char16_t* (*lineColumnCondition)(int gid, int column) = nullptr;
    // Cells never computed: no count, nothing written; the template's text stays.
    bool (*skipped)(int gid, int column) = nullptr;

    int LineCount() const { return int(lines.size()); }
    int ColumnCount() const { return int(columns.size()); }
    bool Computed(int gid, int column) const { return !skipped || !skipped(gid, column); }
    // The condition text of a computed cell, as the per-cell statement splices it.
    QString CellCondition(int gid, int column) const;
    const GidLine& Line(int gid) const { return lines.at(size_t(gid - 1)); }
};

const GidMatrixLayout& LayoutOf(GidSummary s);

// The boolean expression of a line's where text ("where sPost = 21 and " -> "sPost = 21",
// "where " -> "1") and of a period fragment (" and sPost = 21" -> "sPost = 21", "" -> "1").
QString WhereExpr(const QString& where);
QString FragmentExpr(const QString& fragment);

// Counts of one matrix: counts[gid-1][column-1]; a skipped cell holds -1.
using CountGrid = std::vector<std::vector<long long>>;

// Counts every computed cell over the rows of `month` of the summary's source.
CountGrid CountMatrix(db::Connection& c, const GidMatrixLayout& layout, int month);

// Per line, over the wage rows (VmonWage) of a run of months: the person-months meeting the
// line's period fragment, or their wage sum: exact, and as its nearest double (none when no row
// matched).
struct PeriodTotals {
    std::vector<long long> personMonths;
    std::vector<std::optional<double>> wages;
    std::vector<MoneySum> sums;
};

// The figures a summary reads, all in one pass over the staff rows and one over the wage rows:
// the cells' counts at `countMonth`; per line the person-months of months heads..last, the
// wages of months wages..last, and the start-of-period list (month 0) meeting its period
// fragment. What is not asked for is not read.
struct MatrixRequest {
    std::optional<int> countMonth;
    std::optional<int> heads, wages;
    int last = 0;
    bool start = false;
};
struct MatrixFigures {
    CountGrid counts;
    PeriodTotals heads;  // personMonths
    PeriodTotals wages;  // wages
    std::vector<long long> start;
};
MatrixFigures ReadMatrix(db::Connection& c, const GidMatrixLayout& layout, const MatrixRequest& request);

// The engine's queries ReadMatrix runs for a request, with the values of their placeholders:
// the computed cells (in `cells` order), then per line the person-months, the wages and the
// start-of-period list, from headsAt, wagesAt and startAt on.
struct MatrixQueries {
    std::vector<Query> queries;
    cond::Values values;
    std::vector<std::pair<int, int>> cells;  // (gid, column)
    size_t headsAt = 0, wagesAt = 0, startAt = 0;
};
MatrixQueries QueriesOf(const GidMatrixLayout& layout, const MatrixRequest& request);

// Writes a computed row of a result table: Dep_id, Tdate, the unit name when `depName` is given,
// then the computed counts of the line (a skipped cell keeps its stored value), then `extra`.
// A row missing from the table is added first, so no line is ever silently left out.
struct GidRowValues {
    QString depNo;
    QString dateText;
    std::optional<QString> depName;
    std::vector<std::pair<QString, long long>> extra;
};
void UpdateResultRow(db::Connection& c, const GidMatrixLayout& layout, int gid, const CountGrid& counts,
                     const GidRowValues& values);

}  // namespace qm::report
