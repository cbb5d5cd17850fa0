#include "core/base/AppPaths.h"
#include "core/db/DataModule.h"
#include "entry/EntryRegistration.h"
#include "platform/QtUiService.h"
#include "reports/LabourRegistration.h"
#include "reports/RangeSummaryRegistration.h"
#include "reports/ReportRegistration.h"
#include "shell/Application.h"
#include "shell/MainForm.h"
#include "shell/ShellRegistration.h"

int main(int argc, char** argv) {
    qm::Application app(argc, argv);
    qm::QtUiService ui;
    app.SetUi(&ui);
    const qm::AppPaths paths = qm::AppPaths::ForProgram();

    // The main window exists first, still hidden; then the data module opens the database.
    qm::TDataModule1 dataModule(paths.Database(), ui);
    auto mainWindow = std::make_unique<qm::TFrm_main>(dataModule, ui, paths);
    qm::RegisterEntryForms(mainWindow->forms());
    qm::RegisterShellForms(mainWindow->forms());
    qm::RegisterLabourForms(mainWindow->forms());
    qm::RegisterReportForms(mainWindow->forms());
    qm::RegisterRangeSummaryForms(mainWindow->forms());
    dataModule.DataModuleCreate();
    try {
        if (dataModule.Connect()) mainWindow->showMaximized();
    } catch (...) {
    }
    const int rc = app.exec();
    mainWindow.reset();
    dataModule.ADOConn.Close();
    return rc;
}
