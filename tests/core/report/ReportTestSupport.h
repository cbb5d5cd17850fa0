#pragma once
// Helpers of the report tests: a unit loaded from a fixture, golden figures compared with
// a sheet or a stored row (with a readable list of differences), and dBase files read back
// with an independent reader.

#include "core/base/AppContext.h"
#include "core/files/Gbk.h"
#include "core/sheet/SheetBook.h"
#include "core/unit/UnitInfo.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <shapefil.h>
#include <QStringList>

#include <QFile>

namespace qm::test {

// The current unit as the main window loads it.
inline MainState UnitOf(TempBase& base) {
    MainState s;
    const std::optional<UnitRecord> u = unit::Load(base.db());
    if (!u) return s;
    s.DepNo = u->DepNo;
    s.DepName = u->DepName;
    s.DepClass = u->DepClass;
    return s;
}

// The lines of a golden CSV after its header, split at commas (the texts hold none).
inline std::vector<QStringList> GoldenRows(const QString& name) {
    std::vector<QStringList> out;
    const QStringList lines = GoldenText(name).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 1; i < lines.size(); ++i) out.push_back(lines[i].split(QLatin1Char(',')));
    return out;
}

// Every "row,col,text" of the golden file against the sheet; the differences, one a line.
inline QString SheetDiff(const TSheetBook& sheet, const QString& golden) {
    QString diff;
    for (const QStringList& g : GoldenRows(golden)) {
        const QString got = sheet.GetCellText(g[0].toInt(), g[1].toInt());
        if (got != g[2]) diff += QStringLiteral("R%1C%2: expected %3, got '%4'\n").arg(g[0], g[1], g[2], got);
    }
    return diff;
}

// Every "column,value" of the golden file against the one stored row (an empty value is
// NULL); the differences, one a line.
inline QString RowDiff(TempBase& base, const QString& table, const QString& golden) {
    db::Query q(base.db());
    q.Open(QStringLiteral("select * from ") + table);
    if (q.RecordCount() != 1) return QStringLiteral("%1 rows in %2\n").arg(q.RecordCount()).arg(table);
    QString diff;
    const std::vector<QStringList> rows = GoldenRows(golden);
    if (int(rows.size()) != q.FieldCount())
        diff += QStringLiteral("%1 columns, golden has %2\n").arg(q.FieldCount()).arg(rows.size());
    for (size_t i = 0; i < rows.size() && int(i) < q.FieldCount(); ++i) {
        const db::Field& f = q.Fields(int(i));
        const QString got = f.IsNull() ? QStringLiteral("NULL") : f.AsString();
        const QString want = rows[i][1].isEmpty() ? QStringLiteral("NULL") : rows[i][1];
        if (f.FieldName() != rows[i][0] || got != want)
            diff += QStringLiteral("column %1 %2: expected %3=%4\n").arg(i).arg(f.FieldName(), rows[i][0], want) +
                    QStringLiteral("   got %1\n").arg(got);
    }
    return diff;
}

// A stored figure by column name, "NULL" for NULL.
inline QString Stored(TempBase& base, const QString& table, const QString& column) {
    db::Query q(base.db());
    q.Open(QStringLiteral("select ") + column + QStringLiteral(" from ") + table);
    if (q.Eof()) return QStringLiteral("<no row>");
    return q.Fields(0).IsNull() ? QStringLiteral("NULL") : q.Fields(0).AsString();
}

struct DbfFile {
    explicit DbfFile(const QString& path) : h(DBFOpen(QFile::encodeName(path).constData(), "rb")) {}
    ~DbfFile() {
        if (h) DBFClose(h);
    }
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;
    QStringList Names() const {
        QStringList out;
        for (int i = 0; i < DBFGetFieldCount(h); ++i) {
            char name[12] = {};
            DBFGetFieldInfo(h, i, name, nullptr, nullptr);
            out << QString::fromLatin1(name);
        }
        return out;
    }
    int Field(const char* name) const { return DBFGetFieldIndex(h, name); }
    int Records() const { return DBFGetRecordCount(h); }
    int Int(int rec, const char* field) const { return DBFReadIntegerAttribute(h, rec, Field(field)); }
    // The Gid of each record, in file order.
    QList<int> Gids() const {
        QList<int> out;
        for (int r = 0; r < Records(); ++r) out << Int(r, "Gid");
        return out;
    }
    QString Text(int rec, const char* field) const { return gbk::Decode(DBFReadStringAttribute(h, rec, Field(field))); }
    double Number(int rec, const char* field) const { return DBFReadDoubleAttribute(h, rec, Field(field)); }
    bool IsNull(int rec, const char* field) const { return DBFIsAttributeNULL(h, rec, Field(field)); }
    DBFHandle h;
};

}  // namespace qm::test
