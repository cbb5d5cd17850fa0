#pragma once
// What a sheet was filled from, so that a save which replaces a month's rows never deletes a
// row it did not load: before it deletes, inside its transaction, it checks that the sheet
// holds every row it was given (none cut off by a limit) and that the month still holds
// exactly the rows the sheet was loaded from (none added, changed or removed meanwhile by
// another window or program). Otherwise it writes nothing.
//
// The month's rows are known by their print (RowsPrint): of their ids and of every column the
// sheet's load reads, as stored. The load takes it while it reads; the check reads the month
// again only when the database was written since (WriteStamp); the save takes the print of the
// rows it writes from the values it binds, not by reading them back.

#include "core/base/Month.h"
#include "core/db/Db.h"
#include "core/db/RowsPrint.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>
#include <stdexcept>

namespace qm::db {

// The plan for the print of the rows an insert into `table` of `insertColumns` stores, in the
// slots of `printColumns` (the first of them the id), from the columns' declared types.
InsertPrint PlanInsertPrint(Connection& c, const QString& table, const QStringList& insertColumns,
                            const QStringList& printColumns);

// The database at one moment. Any write through the connection, a commit of another
// connection or program, or a reopening gives another stamp; with the same stamp nothing
// stored can differ from what was read at that moment.
struct WriteStamp {
    long long opening = -1, changes = -1, dataVersion = -1;
    friend bool operator==(const WriteStamp&, const WriteStamp&) = default;
};
WriteStamp StampOf(Connection& c);

// A sheet's source: the month it was loaded from and that month's rows then, and how many
// rows its last filling (the load, or an import from elsewhere) was given and holds.
struct MonthLoad {
    std::optional<Month> month;  // none: nothing loaded, as from an empty month
    RowsPrint print;
    WriteStamp stamp;
    long long given = 0, held = 0;

    // After a load of month m that read `print` and put `held` of its rows into the sheet.
    void Loaded(Connection& c, Month m, const RowsPrint& read, long long rowsHeld);
    // After the sheet was filled with `count` rows from elsewhere, of which it holds `rowsHeld`.
    void Filled(long long count, long long rowsHeld);
};

// Why a save refused to replace a month: the sheet lost rows of its filling, or the month
// is no longer what the sheet was loaded from.
class MonthNotLoaded : public std::runtime_error {
public:
    enum class Kind { Cut, Changed };
    MonthNotLoaded(Kind kind, long long a, long long b);
    Kind kind() const { return kind_; }
    // What the person is told about `what` ("期初名单", "3月名册", "3月工资").
    QString Message(const QString& what) const;

private:
    Kind kind_;
    long long a_, b_;  // Cut: given, held. Changed: rows when loaded, rows now.
};

// The check before month m is deleted, inside the save's transaction. `scan` reads the
// month's print as the load would; it runs only when the database was written since the load.
void CheckReplace(Connection& c, const MonthLoad& load, Month m, const std::function<RowsPrint()>& scan);

}  // namespace qm::db
