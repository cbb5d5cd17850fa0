#pragma once
// The predecessor's database as the history import (HistoryImport.h) reads it: found in the
// old installation's folder, refused when it is no database of this system, and read month by
// month, its values as they are stored.

#include "core/base/Month.h"
#include "core/db/Db.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace qm {

// One row of the predecessor as it is read; valid only while it is handed on. A number column
// read as text (Text) turns the stored number into text: read At first where both are read.
using HistoryRow = db::Row;

// The predecessor's database as the import reads it.
class HistorySource {
public:
    // Which staff rows: the year end (month 12), the start of period (0), all (0..12) or the
    // monthly lists (1..12).
    enum class StaffFilter { YearEnd, Initial, All, Monthly };
    // A row and the month it is stored in.
    using RowFn = std::function<void(const HistoryRow&, Month)>;
    // What a pass reads: its rows, and the rows it leaves behind because they have no month
    // (null, blank or no number; for wages also month 0, which has no wages).
    struct Pass {
        int rows = 0;
        int withoutMonth = 0;
    };

    virtual ~HistorySource() = default;
    // A row the pass would read whose month is a number but no month (13, -1, 5.5) stops the
    // import with a HistoryError naming it.
    virtual Pass PlanStaff(StaffFilter filter) = 0;
    // The rows of the pass, highest month first, each month in stored order.
    virtual void ForEachStaff(StaffFilter filter, const RowFn& fn) = 0;
    virtual Pass PlanWages() = 0;
    // Every wage row of months 1..12, highest month first, each month in stored order.
    virtual void ForEachWage(const RowFn& fn) = 0;
};

// Any failure to read or take over the predecessor's data; the text is for the person.
class HistoryError : public std::runtime_error {
public:
    explicit HistoryError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};

// <folder>/Database/RCdatabase.mdb, the two names looked up without regard to case (a folder
// copied from Windows may spell them otherwise). Nothing when absent. Never changes the
// current directory.
std::optional<QString> FindPredecessorDatabase(const QString& folder);

// The predecessor's database file when it is a SQLite database with this system's tables,
// opened read-only. A Jet file or any other file is refused with a HistoryError.
class SqliteHistorySource : public HistorySource {
public:
    explicit SqliteHistorySource(const QString& file);
    ~SqliteHistorySource() override;

    Pass PlanStaff(StaffFilter filter) override;
    void ForEachStaff(StaffFilter filter, const RowFn& fn) override;
    Pass PlanWages() override;
    void ForEachWage(const RowFn& fn) override;

    struct Plan;

private:
    // `pass` is a StaffFilter's value, or the wage pass after them.
    const Plan& PlanOf(int pass);
    void Read(int pass, const RowFn& fn);

    std::unique_ptr<db::Connection> c_;
    std::unique_ptr<Plan> plan_;
};

// The texts shown when the predecessor cannot be read.
QString JetSourceText(const QString& file);
QString UnreadableSourceText(const QString& file);
QString OwnDatabaseText();

namespace history {

// The texts of the import's messages, of the source's and the importer's alike.
QString TextOf(std::string_view bytes);
// "期初" or "5月".
QString MonthLabel(Month m);
// Stored bytes as a message shows them (QuotedText).
QString Quoted(std::string_view s);
// A value the import cannot take over, named by the row's person (and month, when known).
// `what` is "人员" or "工资".
QString BadValueText(const QString& what, std::optional<Month> m, std::string_view number, const char* column,
                     std::string_view value);
// The old program spelled a few columns in its own case: a refusal names a column as the old
// program's table would show it.
const char* OldSpelling(const char* name);
QString MissingColumnText(const char* table, const char* column);

}  // namespace history

}  // namespace qm
