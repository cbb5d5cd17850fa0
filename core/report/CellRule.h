#pragma once
// A report form's figures as data of one kind: each cell's place on the sheet and its
// indicator code, the rows it reads (the source and the condition text as the form's Part
// gives it, a government organ's own text where the Part gives one), what it takes of them and
// how the figure is shown. A form's rule table is read by the one engine (ReportEngine.h) in a
// single pass per table.

#include "core/base/UnitClass.h"
#include "core/db/Db.h"
#include "core/report/ReportEngine.h"

#include <QString>

#include <functional>
#include <vector>

namespace qm::report {

// How a figure becomes its cell's text.
enum class Shown {
    Whole,         // the count, or the sum read as a whole number (a half to the even one)
    Average,       // the count over the form's divisor, nearest whole number (a half away from zero)
    AverageFloor,  // the count over the divisor, the remainder dropped
    Thousands,     // the sum read as a whole number, over 1000, nearest whole number
};

struct CellRule {
    int row = 0;
    int col = 0;
    QString code;  // as the template shows it beside the cell
    Source source = Source::Staff;
    QString where;  // as the Part gives it; {name} placeholders are the form's values
    Take take = Take::Count;
    Shown shown = Shown::Whole;
    // A government organ's own condition where its Part gives one ({leaders}, {clerks}: the posts
    // of its leader rank, see LeaderPost.h); empty: the same as `where`.
    QString organ = {};
};

// A supplementary line of a form (column 1): its figure written into a sentence, for the units
// whose class the figure concerns; the others get the sentence without a figure.
struct SupplementLine {
    CellRule rule;
    bool (*applies)(UnitClass);
    int leading;    // blanks before the label
    QString label;  // "其中：一级建造师(42)"
    int closing;    // blanks between the label and a figure
    int noValue;    // blanks between the label and the unit when there is no figure
    QString unit;   // "人"
    // The line with its figure ("  人" after it), or without.
    QString Text(const QString& figure) const;
    QString TextWithout() const;
};

// Reads every rule's figure in one pass per table. A government organ (`unit`) reads the organ
// texts; its leader rank is the smallest post below 20 of any staff row, or `leaderPost` as it
// was when nobody holds one (leaderPost is set to the rank used; a rank no whole number of
// the form holds refuses).
QueryResults ReadRules(db::Connection& c, const std::vector<CellRule>& rules, const cond::Values& values,
                       UnitClass unit, int& leaderPost);
inline QueryResults ReadRules(db::Connection& c, const std::vector<CellRule>& rules, const cond::Values& values) {
    int none = 0;
    return ReadRules(c, rules, values, UnitClass(), none);
}

// The cell texts of the figures, in the rules' order; `divisor` divides the averages. Each
// figure is rounded once, from the exact count or sum. A sum beyond what a report holds refuses
// (Refused), naming its indicator by `name` (the first such sum in the rules' order), before
// any text is made.
std::vector<QString> ShownTexts(const std::vector<CellRule>& rules, const QueryResults& figures, int divisor,
                                const std::function<QString(const CellRule&)>& name);
// The same from figures given as a statement's values (a sum as sum() gives it).
std::vector<QString> ShownTexts(const std::vector<CellRule>& rules, const std::vector<db::Value>& figures, int divisor,
                                const std::function<QString(const CellRule&)>& name);

}  // namespace qm::report
