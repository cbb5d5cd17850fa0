#pragma once
// What every form is given: the one connection, the dialog service, the base folder, the
// main window's state and operations, the progress bar and the form factory.

#include "core/base/AppPaths.h"
#include "core/base/Month.h"
#include "core/base/UnitClass.h"

#include <QString>

class QWidget;

namespace qm {

namespace db {
class Connection;
}
class UiService;
class Progress;
class FormFactory;

// Wage plausibility limits, whole yuan per person and month.
inline constexpr int WageUpperLimit = 100000;
inline constexpr int WageLowerLimit = 500;

// The main window's state fields that other forms read and set.
struct MainState {
    Month MaxWageMonth;
    QString DepNo, DepName;
    UnitClass DepClass;        // DepType and DepInfo, decoded; IsOrgan() for a government organ
    QString DepType, DepInfo;  // as stored, for the labels that show them
    FoundingMonth CreateMon;
    int InitialCleared = 0;
};

// The main window's operations that forms call back.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual void RefreshMonthMenus() = 0;
    virtual void RefreshInitialDataMenus() = 0;
    // "清空期初从业人员": asks, deletes the start-of-period rows; answers whether it deleted.
    virtual bool N34Click() = 0;
    virtual bool LoadUnitInfo() = 0;
    virtual bool HasMonthData(Month month) = 0;
    // Shows the error months and stops the command silently; else answers whether the month has wage rows.
    virtual bool CheckMonthDataErrors(Month month) = 0;
    // A line in the status bar.
    virtual void ShowStatus(const QString& text) = 0;
};

struct AppContext {
    db::Connection& db;
    UiService& ui;
    AppPaths paths;
    MainState& state;
    Progress& pb;
    IMainWindow* main = nullptr;
    FormFactory* forms = nullptr;
    QWidget* mainWidget = nullptr;  // parent of the forms
};

}  // namespace qm
