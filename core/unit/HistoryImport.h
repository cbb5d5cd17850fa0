#pragma once
// Taking over staff and wage rows from the predecessor's database. The predecessor is read
// month by month through HistorySource, its values as they are stored; the importer writes
// them into the program's tables with bound values, as stored bytes and numbers, never
// through a text round trip. Each import choice runs in one transaction: a failure leaves
// the program's data as it was.
//
// A person is never stored twice in one month without an error mark: a row whose person the
// program already holds in that month is left behind and counted; two rows of one person in
// one month of the predecessor are both taken, marked as errors, so that the gates stop the
// reports until the person corrects them.

#include "core/base/Month.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

struct sqlite3_stmt;

namespace qm {

namespace db {
class Connection;
}
class Progress;
class UiService;
class IMainWindow;

// One value of the predecessor as it is stored.
struct HistoryCell {
    enum class Type { Null, Integer, Real, Text };
    Type type = Type::Null;
    long long integer = 0;
    double real = 0;
    std::string_view text;  // Text (a blob's bytes too), as stored
};

// One row of the predecessor as it is read; valid only while it is handed on.
class HistoryRow {
public:
    explicit HistoryRow(sqlite3_stmt* st) : st_(st) {}
    // Index of a column, found without regard to case; -1 when the table has none.
    int Column(const char* name) const;
    // The value as stored.
    HistoryCell At(int column) const;
    // The value as text (a number as SQLite writes it), empty for null. It turns a stored
    // number into text: read At first where both are read.
    std::string_view Utf8(int column) const;

private:
    sqlite3_stmt* st_;
};

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

// Builds and inserts the rows. The caller owns the transaction.
class HistoryImporter {
public:
    HistoryImporter(db::Connection& target, Progress& pb) : c_(target), pb_(pb) {}

    // Trimmed (characters up to the blank, as the predecessor trimmed), then every blank
    // (code 32) removed; other blanks such as U+3000 stay.
    static QString StripSpaces(const QString& text);
    // Leading and trailing characters up to code 32 removed.
    static QString Trim(const QString& text);

    // Old month-12 rows as the new start-of-period list; answers the rows appended.
    int ImportYearEndAsInitial(HistorySource& src);
    // Staff rows of the filter ("0" start of period, "1" all, else monthly), months kept.
    int ImportStaff(HistorySource& src, const QString& filter);
    // Wage rows of months 1..12 with their months. A row with an amount that is no finite
    // number (kept empty) or lies outside what the program can hold is taken with its error
    // flag wFlag "0"; two rows of one person in one month get sFlag "0".
    int ImportWages(HistorySource& src);

    // What the last import left behind or marked, for its completion message.
    struct Tally {
        int withoutMonth = 0;        // no month (wages: none of 1..12): not taken
        int alreadyStored = 0;       // the person already has a row in that month: not taken
        int doubled = 0;             // rows of a person twice in one month: taken, marked
        QStringList doubledPersons;  // "5月的003", the first few
        int blankCodes = 0;          // staff: a code stored blank, taken as none: marked
        int badAmounts = 0;          // wages: an amount no number or beyond what is held: marked
    };
    const Tally& Last() const { return tally_; }

private:
    enum class Mode { Staff, YearEnd };
    int CopyStaff(HistorySource& src, HistorySource::StaffFilter filter, Mode mode, int firstK);
    void Step(int k, int n);

    db::Connection& c_;
    Progress& pb_;
    int lastShown_ = -1;
    Tally tally_;
};

// The import wizard's start: checks the folder and the choice, asks where the choice asks,
// runs the import in one transaction and shows its messages. The folder is tested again
// here, since it may have been typed by hand.
class HistoryImport {
public:
    using SourceFactory = std::function<std::unique_ptr<HistorySource>(const QString& file)>;

    HistoryImport(db::Connection& target, UiService& ui, Progress& pb, IMainWindow* main);
    // Reads files with SqliteHistorySource unless told otherwise (tests).
    void SetSourceFactory(SourceFactory f) { factory_ = std::move(f); }

    // choice: 0..4, or -1 when none is chosen. Answers whether rows were imported.
    bool Start(const QString& folder, int choice);

private:
    db::Connection& c_;
    UiService& ui_;
    Progress& pb_;
    IMainWindow* main_;
    SourceFactory factory_;
};

}  // namespace qm
