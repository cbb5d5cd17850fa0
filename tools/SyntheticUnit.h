#pragma once
// A synthetic unit for benchmarks, demos and tests: persons with realistic Chinese names
// and codes, a few of them deliberately failing the entry checks.

#include "core/base/AppPaths.h"
#include "core/db/Db.h"
#include "core/db/StaffTable.h"

#include <QString>
#include <vector>

namespace qm::synth {

struct Person {
    QString sName, sNumber, sTsex, sTnation, sTparty, sBirth;
    int sWorks = 0, sWork = 0;
    QString sTEdu, sGw, sTPost, sTGrade, sTJGrade, sTsf, sTqrz;
    int sSex = 1, sNation = 2, sParty = 2, sEducation = 3, sPost = 41, sPostGrade = 10, sJGrade = 56, ssf = 1, sqrz = 1;
    bool failing = false;  // carries a text no code list accepts
};

// `count` persons; deterministic for a given seed. Every 500th person fails.
std::vector<Person> MakePersons(int count, unsigned seed = 2012);

// The stored row of a person in month `mon`, as the staff gateway binds it.
StaffRecord StaffRecordOf(const Person& p, int mon);
// Its column values in StaffInsertSql()'s order (id left to the database).
db::Params StaffRowParams(const Person& p, int mon);
// The staff gateway's insert of every column.
QString StaffInsertSql();

// Writes the unit row (an enterprise of class "否") and month-0 rows for `persons`.
void WriteUnit(db::Connection& c, const QString& depNo = QStringLiteral("12345678X"));
void WriteStaffMonth(db::Connection& c, const std::vector<Person>& persons, int mon);

// A fresh database <Database>/<fileName> (an old one removed) opened on `c`, holding the unit
// row and the staff lists of months 0..12 for `persons`. Answers its path.
QString OpenYearUnit(db::Connection& c, const AppPaths& paths, const QString& fileName,
                     const std::vector<Person>& persons);

}  // namespace qm::synth
