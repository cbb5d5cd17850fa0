#pragma once
// The main window as forms see it, for tests: counts the menu refreshes and answers the
// gates with fixed values. Tests derive from it to change the one answer they need.

#include "core/base/AppContext.h"
#include "core/db/Db.h"

#include <QStringList>

namespace qm::test {

class RecordingMain : public IMainWindow {
public:
    int monthRefreshes = 0, initialRefreshes = 0;
    bool unit = true;          // what LoadUnitInfo answers
    bool failRefresh = false;  // RefreshMonthMenus raises, as a locked database would make it
    QStringList statuses;

    void RefreshMonthMenus() override {
        ++monthRefreshes;
        if (failRefresh) throw db::Error(QStringLiteral("database is locked"));
    }
    void RefreshInitialDataMenus() override { ++initialRefreshes; }
    bool N34Click() override { return false; }
    bool LoadUnitInfo() override { return unit; }
    bool HasMonthData(qm::Month) override { return false; }
    bool CheckMonthDataErrors(qm::Month) override { return false; }
    void ShowStatus(const QString& text) override { statuses << text; }
};

}  // namespace qm::test
