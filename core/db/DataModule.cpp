#include "core/db/DataModule.h"

#include "core/db/Errors.h"
#include "core/db/SchemaVersion.h"

namespace qm {

TDataModule1::TDataModule1(QString databasePath, UiService& ui) : path_(std::move(databasePath)), ui_(ui) {}

void TDataModule1::DataModuleCreate() {
    // An older database is brought up to date, a newer one refused and left closed.
    Guarded(ui_, [&] {
        ADOConn.Open(path_);
        UpgradeSchema(ADOConn);
    });
}

}  // namespace qm
