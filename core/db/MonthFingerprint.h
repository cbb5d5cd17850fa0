#pragma once
// What a sheet was filled from, so that a save which replaces a month's rows never deletes a
// row it did not load: before it deletes, inside its transaction, it checks that the sheet
// holds every row it was given (none cut off by a limit) and that the month still holds
// exactly the rows the sheet was loaded from (none added, changed or removed meanwhile by
// another window or program). Otherwise it writes nothing.
//
// The month's rows are known by their fingerprint (RowsFingerprint): of their ids and of every
// column the sheet's load reads, as stored. The load takes it while it reads; the check reads the
// month again only when the database was written since (WriteStamp); the save takes the fingerprint
// of the rows it writes from the values it binds, not by reading them back.

#include "core/base/Month.h"
#include "core/db/Db.h"
#include "core/db/RowsFingerprint.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace qm::db {

// The database at one moment. Any write through the connection, a commit of another
// connection or program, or a reopening gives another stamp; with the same stamp nothing
// stored can differ from what was read at that moment.
struct WriteStamp {
    long long opening = -1, changes = -1, dataVersion = -1;
    friend bool operator==(const WriteStamp&, const WriteStamp&) = default;
};
WriteStamp StampOf(Connection& c);
// The stamp of the rows of `tables` alone: as StampOf, except that a write of this connection to
// another table keeps it (a report that stores its result leaves the staff lists as they were).
WriteStamp StampOf(Connection& c, std::initializer_list<std::string_view> tables);

// A stored month as a save guard reads it: the part of a table's gateway that a sheet saved
// into that table is checked against.
class MonthSource {
public:
    // The rows of `table` whose `monthColumn` holds the month; a fingerprint covers `columns`,
    // the id first, as the sheet's load reads them.
    MonthSource(Connection& c, const char* table, const char* monthColumn, QStringList columns);
    virtual ~MonthSource() = default;  // a gateway may be held as its month source

    // The fingerprint of the month's rows.
    RowsFingerprint FingerprintMonth(Month m);
    // Who a stored row is, for a message ("“张三”（编号“001”）"); empty when there is no such row.
    QString PersonOf(long long id);
    // How many rows the month holds.
    long long CountMonth(Month m);

private:
    Connection& source_;
    QString table_, fingerprintSql_, countSql_;
    int columns_;
};

// "“张三”（编号“001”）": a person as a message names them, controls made visible and long texts
// cut.
QString PersonWords(const QString& name, const QString& number);

// A sheet's source: the month it was loaded from and that month's rows then, and how many
// rows its last filling (the load, or an import from elsewhere) was given and holds.
struct MonthLoad {
    std::optional<Month> month;  // none: nothing loaded
    RowsFingerprint fingerprint;
    WriteStamp stamp;
    long long given = 0, held = 0;

    // After a load of month m that read `fingerprint` and put `held` of its rows into the sheet;
    // `before` is the stamp taken before the read, so that a commit during the read or the
    // filling of the sheet is never counted as seen.
    void Loaded(Month m, const RowsFingerprint& read, const WriteStamp& before, long long rowsHeld);
    // After the sheet was filled with `count` rows from elsewhere, of which it holds `rowsHeld`.
    void Filled(long long count, long long rowsHeld);
};

// Why a save refused to replace a month: the sheet lost rows of its filling, or the month
// is no longer what the sheet was loaded from.
class MonthNotLoaded : public std::runtime_error {
public:
    enum class Kind { Cut, Changed };
    // `change` says what changed first, when known ("“张三”（编号“001”）的数据已被改动").
    MonthNotLoaded(Kind kind, long long a, long long b, QString change = {});
    Kind kind() const { return kind_; }
    // What the person is told about `what` ("期初名单", "3月名册", "3月工资").
    QString Message(const QString& what) const;

private:
    Kind kind_;
    long long a_, b_;  // Cut: given, held. Changed: rows when loaded, rows now.
    QString change_;
};

// The check before month m is deleted, inside the save's transaction: throws MonthNotLoaded
// unless the sheet holds every row it was given and month m holds exactly the rows it was loaded
// from. The month is read again only when the database was written since the load.
void CheckReplace(Connection& c, const MonthLoad& load, Month m, MonthSource& source);
// The same check without a refusal: whether a save of month m would replace only what the sheet
// read.
bool LoadIsCurrent(Connection& c, const MonthLoad& load, Month m, MonthSource& source);

}  // namespace qm::db
