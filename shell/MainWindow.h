#pragma once
// The main window: caption, menus, status bar, progress bar and the state other forms read.

#include "platform/Progress.h"
#include "shell/AppContext.h"

#include <QMainWindow>

class QLabel;
class QProgressBar;

namespace qm {

class TDataModule1;
class FormFactory;

class TFrm_main : public QMainWindow, public IMainWindow {
    Q_OBJECT
public:
    TFrm_main(TDataModule1& dm, UiService& ui, AppPaths paths);
    ~TFrm_main() override;

    MainState state;
    AppContext& context() { return *ctx_; }
    FormFactory& forms() { return *forms_; }
    Progress& Pb() { return *pb_; }

    // Runs once, on the first show.
    void FormShow();

    void RefreshMonthMenus() override;
    void RefreshInitialDataMenus() override;
    bool N34Click() override;
    bool LoadUnitInfo() override;
    bool HasMonthData(const QString& month) override;
    bool CheckMonthDataErrors(const QString& month) override;
    void ShowStatus(const QString& text) override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    class BarProgress;

    TDataModule1& dm_;
    UiService& ui_;
    std::unique_ptr<Progress> pb_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<FormFactory> forms_;
    QProgressBar* bar_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    bool shown_ = false;
};

}  // namespace qm
