#pragma once
// The stored side of the batch deletion: the typed persons go to the scratch table
// Tmp_Del, the month's staff rows with those numbers are shown and deleted. Wage rows are
// never touched.

#include "core/base/Month.h"
#include "core/db/Db.h"

#include <QString>
#include <vector>

namespace qm {

struct DelInput {
    QString name, number, memo;
};

struct DelMatch {
    QString sName, sNumber, sTsex, sBirth, sTEdu, sGw;
};

// Empties Tmp_Del, so no earlier session's list can be deleted from.
void ClearDelScratch(db::Connection& c);

// Replaces Tmp_Del by `input` for `month` in one transaction (texts as typed). A failure
// rolls back and raises db::Error; Tmp_Del then holds the previous list.
void StoreDelQuery(db::Connection& c, Month month, const std::vector<DelInput>& input);

// The month's staff rows whose number is in Tmp_Del (the name is not compared), in id order.
std::vector<DelMatch> DelMatches(db::Connection& c, Month month);

// Deletes the month's staff rows listed by Tmp_Del and empties Tmp_Del, in one
// transaction; answers the rows deleted.
int DeleteDelMatches(db::Connection& c, Month month);

// Deletes every staff row of the month with that (trimmed) number; refuses an empty
// number by answering 0 without deleting.
int DeleteDelNumber(db::Connection& c, Month month, const QString& number);

}  // namespace qm
