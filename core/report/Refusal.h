#pragma once
// A report that cannot be made: a figure beyond what its result table and upload file hold,
// or a database that will not give or take its rows. The report then stores nothing (its
// result table keeps what it held), the main window's bar goes back to 0, and the form shows
// the reason in Chinese.

#include "core/base/Money.h"
#include "core/db/Db.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace qm {
class Progress;
class TSheetBook;
}  // namespace qm

namespace qm::report {

class Refused : public std::runtime_error {
public:
    explicit Refused(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromUtf8(what()); }
};

// Report figures stay below this magnitude: the upload's number fields hold fifteen
// characters, and a double holds every whole number below it exactly.
inline constexpr double kFigureLimit = 1e15;

// A wage sum that is no finite number or reaches kFigureLimit refuses, naming `indicator`
// ("从业人员工资总额(12)") and the figure.
void CheckWageSum(const MoneySum& sum, const QString& indicator);

// A wage sum as the reports read it, whole: no rows (NULL) read 0, a fraction goes to the
// nearest whole number with a half going to the even one. A sum that reaches kFigureLimit (or
// holds an amount no sum holds) refuses, naming `indicator` and the figure.
long long WholeSum(const MoneySum& sum, const QString& indicator);
long long WholeSum(const db::Value& v, const QString& indicator);

// A sum as a statement's value gives it: NULL is no amount, a text reads as a number.
MoneySum SumOf(const db::Value& v);

// The figures of a report's row (the columns named like its result table) as its upload
// file would write them: one that does not fit its field refuses, naming the column and the
// figure. Texts (the unit's code and name) are the upload's own concern.
void CheckUploadable(const QStringList& columns, const db::Params& row);

// "label(code)" of the indicator whose label and code stand in row `row` of the sheet.
QString IndicatorName(const TSheetBook& sheet, int row, int labelCol, int codeCol);

// Runs a report's computation and the store of its result table. A database failure becomes a
// refusal naming the report and the table; on any failure the bar `pb` goes back to 0.
void RunReport(const QString& report, const QString& table, Progress& pb, const std::function<void()>& work);

// Holds the sheet's repaint until the work ends, however it ends.
class SheetUpdate {
public:
    explicit SheetUpdate(TSheetBook& sheet);
    ~SheetUpdate();
    SheetUpdate(const SheetUpdate&) = delete;
    SheetUpdate& operator=(const SheetUpdate&) = delete;

private:
    TSheetBook& sheet_;
};

}  // namespace qm::report
