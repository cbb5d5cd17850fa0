#include "core/db/DataModule.h"

#include "core/db/Errors.h"

namespace qm {

TDataModule1::TDataModule1(QString databasePath, UiService& ui) : path_(std::move(databasePath)), ui_(ui) {}

void TDataModule1::DataModuleCreate() {
    Guarded(ui_, [&] { ADOConn.Open(path_); });
}

}  // namespace qm
