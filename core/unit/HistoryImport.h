#pragma once
// Taking over staff and wage rows from the predecessor's database. The predecessor is read
// through HistorySource (values as text or null, by column name); the importer builds the
// target rows from them and appends them through the program's connection with bound values.
// Each import choice runs in one transaction: a failure leaves the program's data as it was.

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace qm {

namespace db {
class Connection;
}
class Progress;
class UiService;
class IMainWindow;

// One row of the predecessor as it is read.
class HistoryRow {
public:
    virtual ~HistoryRow() = default;
    // Index of a column, found without regard to case; -1 when the table has none.
    virtual int Column(const QString& name) const = 0;
    // The value as text, or nothing for null.
    virtual std::optional<QString> Text(int column) const = 0;
    // The value when it is stored as a whole number (its text is then that number in
    // decimal); nothing otherwise, and from a source that keeps only texts.
    virtual std::optional<long long> Integer(int) const { return std::nullopt; }
};

// The predecessor's database as the import reads it.
class HistorySource {
public:
    // Which staff rows: the year end (sMon=12), the start of period (=0), all (>=0) or the
    // monthly lists (>0). Rows come in month order, highest first (year end: stored order).
    enum class StaffFilter { YearEnd, Initial, All, Monthly };
    using RowFn = std::function<void(const HistoryRow&)>;

    virtual ~HistorySource() = default;
    virtual int CountStaff(StaffFilter filter) = 0;
    virtual void ForEachStaff(StaffFilter filter, const RowFn& fn) = 0;
    // Every wage row, highest month first (rows without a month last).
    virtual int CountWages() = 0;
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

    int CountStaff(StaffFilter filter) override;
    void ForEachStaff(StaffFilter filter, const RowFn& fn) override;
    int CountWages() override;
    void ForEachWage(const RowFn& fn) override;

private:
    std::unique_ptr<db::Connection> c_;
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
    // Wage rows with their months; a row whose month is not 1..12 (none, or 0) is not taken
    // and is counted in SkippedWages(). A row with an amount that is no finite number (kept
    // empty) or lies outside what the wage sheet accepts (a total outside the wage limits, an
    // item beyond the upper limit) is taken with its error flag wFlag "0", counted in
    // FlaggedWages().
    int ImportWages(HistorySource& src);
    int SkippedWages() const { return skippedWages_; }
    int FlaggedWages() const { return flaggedWages_; }

private:
    enum class Mode { Staff, YearEnd };
    int CopyStaff(HistorySource& src, HistorySource::StaffFilter filter, Mode mode, int firstK);
    void Step(int k, int n);

    db::Connection& c_;
    Progress& pb_;
    int lastShown_ = -1;
    int skippedWages_ = 0;
    int flaggedWages_ = 0;
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
