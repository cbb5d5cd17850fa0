#include "core/report/ResultTableWriter.h"

#include "core/report/Fmt.h"

#include <QRegularExpression>

#include <optional>

namespace qm::report {

namespace {

void CheckIdentifier(const QString& name) {
    if (!IsIdentifier(name)) throw db::Error(QStringLiteral("“%1”不是表名或列名").arg(name));
}

// Runs `work` inside a transaction of its own, or inside the caller's when one is open.
template <class F>
void InTransaction(db::Connection& c, F work) {
    if (c.InTransaction()) {
        work();
        return;
    }
    db::Transaction t(c);
    work();
    t.Commit();
}

}  // namespace

db::Value FigureValue(const QString& cellText) {
    const QString t = cellText.trimmed();
    if (t.isEmpty()) return {};
    bool ok = false;
    const long long i = t.toLongLong(&ok);
    if (ok) return db::Value(i);
    return db::Value(CellNumber(t));
}

bool IsIdentifier(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

void ReplaceSingleRow(db::Connection& c, const QString& table, const QStringList& columns, const db::Params& values) {
    CheckIdentifier(table);
    for (const QString& col : columns) CheckIdentifier(col);
    if (columns.size() != int(values.size()) || columns.isEmpty())
        throw db::Error(QStringLiteral("%1：%2 列，%3 个值").arg(table).arg(columns.size()).arg(values.size()));
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i) marks << QStringLiteral("?");
    const QString insert = QStringLiteral("insert into ") + table + QLatin1Char('(') + columns.join(QLatin1Char(',')) +
                           QStringLiteral(")values(") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    InTransaction(c, [&] {
        db::DeleteEveryRow(c, table);
        c.Exec(insert, values);
    });
}

}  // namespace qm::report
