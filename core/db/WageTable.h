#pragma once
// The gateway of Wage_Info: the typed row the wage sheet, the wage error list and the history
// import fill, and every statement that writes the table. A new column changes this file.

#include "core/base/Month.h"
#include "core/db/Db.h"
#include "core/db/MonthFingerprint.h"
#include "core/db/NumberTwice.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace qm {

// One Wage_Info row as a save binds it (id aside) and a read returns it. Amounts are null, a
// whole number or a real.
struct WageRecord {
    long long id = 0;  // set by reads
    Month sMon;
    QString sNumber, sName;
    db::Value sN1, sN2, sN3, sN4, sN5, sTotal;
    std::optional<QString> sFlag, wFlag;  // "1" passed, "0" failed; null when absent
};

// A row as the save of a whole month writes it: the number and name already UTF-8, made once
// where the row was checked and bound from where they stand; the flags "1" (true) or "0"; sN5
// stays null.
struct WageSaveRow {
    Month sMon;
    const db::Utf8Text* sNumber = nullptr;
    const db::Utf8Text* sName = nullptr;
    db::Value sN1, sN2, sN3, sN4, sTotal;
    bool sFlag = false, wFlag = false;
};

class WageTable : public db::MonthSource {
public:
    // The columns an insert writes, in statement order.
    static QStringList InsertColumns();
    static QString InsertSql();
    // The correction of one row: amounts sN1..sN4, total, both flags, number and name.
    static QString UpdateSql();

    explicit WageTable(db::Connection& c);
    ~WageTable() override;

    // Inserts run through one statement prepared at the first of them.
    void Insert(const WageRecord& r);
    void Insert(const WageSaveRow& r);
    // From here on the fingerprint of the rows Insert stores, as FingerprintMonth reads them;
    // InsertedFingerprint answers it, or none when it is not known without reading them back.
    void FingerprintInserts();
    std::optional<db::RowsFingerprint> InsertedFingerprint();
    // Rewrites the corrected fields of row `id`; answers the rows changed.
    int Update(long long id, const WageRecord& r);
    // Marks row `id` as not matching the month's staff list (sFlag '0'), as a person twice in a month is.
    int MarkUnlisted(long long id);
    // Accepts the out-of-range totals of a month: wFlag '0' becomes '1'.
    int AcceptTotals(Month m);
    int DeleteMonth(Month m);
    int DeleteRow(long long id);
    int DeleteAll();

    // Every row of the month, in id order; with `fingerprint`, the fingerprint of the rows read
    // (every column of them), as FingerprintMonth takes it.
    std::vector<WageRecord> ReadMonth(Month m, db::RowsFingerprint* fingerprint = nullptr);
    // The id, number and name of every row of the month, in id order.
    struct Person {
        long long id;
        QString number, name;
    };
    std::vector<Person> ReadPeople(Month m);
    // The rows of the month that failed a check (sFlag or wFlag '0'), in id order.
    std::vector<WageRecord> ReadFailed(Month m);
    // Whether the month has such rows.
    bool HasFailed(Month m);
    // The highest month stored, as stored; nothing when no row has one.
    std::optional<int> LastMonth();
    // The first wage month of from..to that holds one stored number on two rows, with the
    // names of both (db::FirstNumberTwice).
    std::optional<db::NumberTwice> FirstNumberTwice(Month from, Month to);

private:
    std::vector<WageRecord> ReadWith(const QString& where, Month m, db::RowsFingerprint* fingerprint = nullptr);
    db::Statement& Inserts();

    db::Connection& c_;
    std::unique_ptr<db::Statement> insert_;
};

}  // namespace qm
