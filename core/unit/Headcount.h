#pragma once
// The period-end headcount: the one row of Initial_Info (the unit code and the number of
// persons as text). Read by no form; written by the headcount command and its dialog.

#include <QString>

namespace qm {

namespace db {
class Connection;
}

class Headcount {
public:
    explicit Headcount(db::Connection& c) : c_(c) {}

    // Index of the first character of the trimmed text outside '0'..'9', -1 when none.
    static int FirstNonDigit(const QString& text);
    // An empty text or a text of digits only, after trimming.
    static bool IsAcceptable(const QString& text) { return FirstNonDigit(text) < 0; }

    // Persons in Staff_Info, as the command counts them.
    long long CountStaffInfo();
    // Replaces the row with (trimmed depNo, trimmed value) in one transaction; the value must
    // be acceptable (a db::Error otherwise, nothing written).
    void Store(const QString& depNo, const QString& value);

private:
    db::Connection& c_;
};

}  // namespace qm
