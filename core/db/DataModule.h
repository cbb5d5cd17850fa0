#pragma once
// The data module: owner of the one database connection and of ErrorMonthList.

#include "core/db/Db.h"

#include <QString>

namespace qm {

class UiService;

class TDataModule1 {
public:
    TDataModule1(QString databasePath, UiService& ui);

    // Opens the connection and brings an older database up to date; a failure, or a newer
    // database (left closed), is shown by the default handler and creation completes.
    void DataModuleCreate();
    // Always answers true: the main window is shown even over a dead connection.
    bool Connect() const { return true; }

    db::Connection ADOConn;
    // Scratch list of the month choosers' error check.
    QString ErrorMonthList;

private:
    QString path_;
    UiService& ui_;
};

}  // namespace qm
