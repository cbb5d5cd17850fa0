#pragma once
// The main window: caption, menus, tool bar, status bar, progress bar and background. What
// it does lives in MainCommands; the window draws that state and forwards its clicks.

#include "core/app/MainCommands.h"
#include "core/base/AppContext.h"
#include "platform/BarProgress.h"

#include <QImage>
#include <QMainWindow>

#include <map>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;

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
    MainCommands& commands() { return *cmd_; }

    // Runs once, on the first show.
    void FormShow();

    void RefreshMonthMenus() override { cmd_->RefreshMonthMenus(); }
    void RefreshInitialDataMenus() override { cmd_->RefreshInitialDataMenus(); }
    bool N34Click() override { return cmd_->N34Click(); }
    bool LoadUnitInfo() override { return cmd_->LoadUnitInfo(); }
    bool HasMonthData(Month m) override { return cmd_->HasMonthData(m); }
    bool CheckMonthDataErrors(Month m) override { return cmd_->CheckMonthDataErrors(m); }
    void ShowStatus(const QString& text) override;

    // A menu item or tool button by its handler's name ("N901", "N72", "SpeedButton8", ...).
    QAction* Action(const QString& name) const;
    // The status panels' texts.
    QString PanelText(int i) const;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    class Background;

    QAction* Item(QMenu* menu, const QString& name, const QString& caption, void (MainCommands::*fn)());
    QAction* Item(QMenu* menu, const QString& name, const QString& caption, std::function<void()> fn);
    void BuildMenus();
    void BuildToolBar();
    void ApplyState();

    TDataModule1& dm_;
    UiService& ui_;
    std::unique_ptr<BarProgress> pb_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<FormFactory> forms_;
    std::unique_ptr<MainCommands> cmd_;
    std::map<QString, QAction*> actions_;
    QProgressBar* bar_ = nullptr;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    bool shown_ = false;
};

}  // namespace qm
