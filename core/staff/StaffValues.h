#pragma once
// The rules for the typed values of a staff row that every staff form and the upload share:
// the staff number, the name and the two work-year figures (sWorks, sWork). One rule each,
// so that a value one form accepts is never refused by another or by the upload file.

#include "core/base/Month.h"
#include "core/db/Db.h"

#include <QString>

#include <functional>
#include <optional>
#include <stdexcept>

namespace qm::staffvalue {

// The upload file's fields: sNumber C(20) in GBK bytes; sWorks and sWork N(11,2).
inline constexpr int kNumberBytes = 20;
inline constexpr int kYearsWidth = 11;
inline constexpr int kYearsDecimals = 2;

// A character of the C0 or C1 control ranges or DEL (tab, line break, escape, NUL ...), or a
// lone half of a surrogate pair, which no file or database can hold.
bool HasControlChars(const QString& text);

// The bytes the text takes in GBK: one for ASCII, two for every other character.
int GbkLength(const QString& text);

// Why a staff number cannot be stored, or empty when it can. The number is judged as it is
// stored, trimmed: blanks only is an empty number; control characters inside it, or more than
// kNumberBytes GBK bytes, would corrupt or be cut in the upload file.
QString NumberProblem(const QString& text);

// The header of a staff sheet's shown column, as the messages name it ("参加工作年限"): the
// sheets' numbering line counts from the second column, so a column number would mislead.
QString ColumnName(int sheetCol);

// "期初名单" or "4月名单": the list of `month` as the messages name it.
QString ListName(Month month);

// What the person is told when a save is refused because the person `name` would carry the
// staff number `number` that `holder` already carries in the list of `month`: two rows of one
// number make every wage row of that number count twice in the reports. Every staff save
// (batch, monthly, single person, error list) says it in these words; the sheets show no row
// numbers, so the person is named, not the row.
QString NumberTwiceText(const QString& name, const QString& number, const QString& holder, Month month);

// A staff save that stopped before anything was written, with the text for the person and
// the sheet row it concerns (0: none, or a form without a sheet).
class RowError : public std::runtime_error {
public:
    RowError(int row, const QString& text) : std::runtime_error(text.toStdString()), row_(row) {}
    int Row() const { return row_; }
    QString Text() const { return QString::fromUtf8(what()); }

private:
    int row_;
};

// A save refused because a person would carry a number another row of the list carries.
class NumberTaken : public RowError {
public:
    using RowError::RowError;
};

// A name may hold no control characters (they would be stored and uploaded raw).
bool NameOk(const QString& text);

// A work-year figure: blank (answers a null value), or plain decimal digits with at most one
// point and at most two decimals that fit kYearsWidth with kYearsDecimals; a leading minus
// only where `allowNegative`. Whole numbers come back as integers, others as reals.
// Anything else ("+3", "1e5", "5.125", a number too long for the field) answers nothing.
std::optional<db::Value> WorkYears(const QString& text, bool allowNegative = true);

}  // namespace qm::staffvalue
