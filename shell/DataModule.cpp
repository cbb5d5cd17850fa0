#include "shell/DataModule.h"

#include "platform/Errors.h"

namespace qm {

TDataModule1::TDataModule1(QString databasePath, UiService& ui) : path_(std::move(databasePath)), ui_(ui) {}

void TDataModule1::DataModuleCreate() {
    Guarded(ui_, [&] { ADOConn.Open(path_); });
}

}  // namespace qm
