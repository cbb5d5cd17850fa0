#pragma once
// Expected report figures kept as CSV in tests/golden/, compared cell by cell with a readable
// list of the cells that differ.

#include "tests/support/TempBase.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace qm::test {

using CsvRows = std::vector<QStringList>;

inline CsvRows ReadGolden(const QString& name) {
    CsvRows rows;
    for (const QString& line : GoldenText(name).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        rows.push_back(line.trimmed().split(QLatin1Char(',')));
    return rows;
}

// Empty when equal; else one line per differing cell: "row <key> <column>: expected x, got y".
inline QString DiffRows(const CsvRows& expected, const CsvRows& actual) {
    QString out;
    if (expected.size() != actual.size())
        out += QStringLiteral("row count: expected %1, got %2\n").arg(expected.size()).arg(actual.size());
    const QStringList& head = expected.front();
    for (size_t r = 1; r < std::min(expected.size(), actual.size()); ++r) {
        const QStringList& e = expected[r];
        const QStringList& a = actual[r];
        for (int c = 0; c < std::max(e.size(), a.size()); ++c) {
            const QString ev = c < e.size() ? e[c] : QStringLiteral("<none>");
            const QString av = c < a.size() ? a[c] : QStringLiteral("<none>");
            if (ev != av)
                out += QStringLiteral("row %1 %2: expected %3, got %4\n").arg(e.value(0), head.value(c), ev, av);
        }
    }
    return out;
}

}  // namespace qm::test
