#pragma once
// Deleting stored staff and wage rows: the monthly lists, the wages and the start-of-period
// list. Each clearing that runs more than one statement runs in one transaction, so a failure
// leaves every row as it was. Results of reports and Initial_Info are never touched here.

#include <QString>

#include <optional>

namespace qm {

namespace db {
class Connection;
}

class DataClearing {
public:
    explicit DataClearing(db::Connection& c) : c_(c) {}

    // A month typed or picked by a person: a whole number 1..12 after trimming, else nothing.
    static std::optional<int> ParseMonth(const QString& text);

    // The last of the months that have monthly staff lists (sMon<>0), or of the wage months.
    std::optional<int> LastStaffMonth();
    std::optional<int> LastWageMonth();

    // Staff rows of months 1..12 and every wage row; the start-of-period list stays.
    void ClearAllMonthlyStaff();
    // The staff list of month m and its wages.
    void ClearStaffMonth(int m);
    void ClearAllWages();
    void ClearWageMonth(int m);
    // The start-of-period list (month 0) only; answers the rows deleted.
    int ClearInitialList();

private:
    db::Connection& c_;
};

}  // namespace qm
