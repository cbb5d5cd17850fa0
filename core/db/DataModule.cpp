#include "core/db/DataModule.h"

#include "core/db/Errors.h"
#include "core/db/Schema.h"

namespace qm {

TDataModule1::TDataModule1(QString databasePath, UiService& ui) : path_(std::move(databasePath)), ui_(ui) {}

void TDataModule1::DataModuleCreate() {
    Guarded(ui_, [&] { ADOConn.Open(path_); });
    // A database made before the error indexes gets them now. Without them the gates are only
    // slower, so a database that cannot take them (a read-only copy) still opens.
    if (ADOConn.IsOpen()) try {
            EnsureErrorIndexes(ADOConn);
        } catch (const db::Error&) {
        }
}

}  // namespace qm
