#include "core/base/AppPaths.h"
#include "core/db/DataModule.h"
#include "core/db/Errors.h"
#include "entry/EntryForms.h"
#include "platform/QtUiService.h"
#include "reports/LabourRegistration.h"
#include "reports/RangeSummaryForms.h"
#include "reports/ReportForms.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/ShellForms.h"

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
