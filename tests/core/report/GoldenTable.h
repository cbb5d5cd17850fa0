#pragma once
// Expected report figures kept as CSV in tests/golden/ with one column per run: a header
// line, then one line per figure keyed by its code. Values hold no commas.

#include "tests/support/TempBase.h"

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace qm::test {

struct GoldenTable {
    QStringList header;
    std::vector<QStringList> rows;

    // The column index of a header name; raises when absent.
    int Column(const QString& name) const {
        const int i = int(header.indexOf(name));
        if (i < 0) throw std::runtime_error("golden column missing: " + name.toStdString());
        return i;
    }
    // The value in column `col` of the row whose first field is `key`.
    QString At(const QString& key, const QString& col) const {
        for (const QStringList& r : rows)
            if (r.value(0) == key) return r.value(Column(col));
        throw std::runtime_error("golden row missing: " + key.toStdString());
    }
};

inline GoldenTable ReadGoldenTable(const QString& name) {
    GoldenTable t;
    const QStringList lines = GoldenText(name).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].trimmed().split(QLatin1Char(','));
        if (i == 0)
            t.header = fields;
        else
            t.rows.push_back(fields);
    }
    return t;
}

}  // namespace qm::test
