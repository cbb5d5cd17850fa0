#pragma once
// A temporary base folder with an empty database of this system, and a connection to it.

#include "core/base/AppPaths.h"
#include "core/db/Db.h"

#include <QTemporaryDir>

namespace qm::test {

class TempBase {
public:
    // Creates <tmp>/Database/RCdatabase.mdb from the schema and opens it.
    TempBase();
    const AppPaths& paths() const { return paths_; }
    db::Connection& db() { return db_; }
    QString base() const { return dir_.path(); }

    // Runs a fixture script from tests/fixtures/ on the open database.
    void RunFixture(const QString& name);
    // The single value of a query, as text.
    QString Scalar(const QString& sql, const db::Params& params = {});

private:
    QTemporaryDir dir_;
    AppPaths paths_;
    db::Connection db_;
};

// tests/fixtures/<name>, read whole.
QString FixtureText(const QString& name);
// tests/golden/<name>, read whole: expected figures worked out by hand.
QString GoldenText(const QString& name);

}  // namespace qm::test
