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
#include "core/unit/HistorySource.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace qm {

namespace db {
class Connection;
}
class Progress;
class UiService;
class IMainWindow;

// Builds and inserts the rows. The caller owns the transaction.
class HistoryImporter {
public:
    HistoryImporter(db::Connection& target, Progress& pb) : c_(target), pb_(pb) {}

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
