#pragma once
// What the wage tests share: a temporary database, an AppContext around it with a scripted
// dialog service, a progress bar that remembers, and a main window that counts its refreshes.

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/sheet/SheetBook.h"
#include "tests/support/RecordingMain.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm::test {

class CountingMain : public test::RecordingMain {
public:
    QString maxWageMonthSeen;  // MaxWageMonth as the last refresh computed it
    db::Connection* db = nullptr;
    MainState* state = nullptr;

    void RefreshMonthMenus() override {
        test::RecordingMain::RefreshMonthMenus();
        // As the main window does: the last month with wages.
        db::Query q(*db);
        q.Open(QStringLiteral("select coalesce(max(Smon), 0) from Wage_Info"));
        state->MaxWageMonth = Month::FromText(q.ValueAt(0, 0).AsString());
        maxWageMonthSeen = state->MaxWageMonth.Text();
    }
};

class WageTestBase : public ::testing::Test {
protected:
    WageTestBase() : ctx{base.db(), ui, base.paths(), state, pb, &main, nullptr, nullptr} {
        main.db = &base.db();
        main.state = &state;
    }

    void Staff(int mon, const QString& number, const QString& name) {
        base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sName, sIsok) values (?, ?, ?, '1')"),
                       {mon, number, name});
    }
    // A sheet row from row 2 on: number, name, the four amounts.
    void Row(int r, const QStringList& cells) {
        for (int c = 0; c < cells.size(); ++c) book.SetCellText(r, c + 1, cells[c]);
    }
    QString Q(const QString& sql, const db::Params& p = {}) { return base.Scalar(sql, p); }
    QStringList Texts() const { return ui.Texts(); }

    TempBase base;
    ScriptedUiService ui;
    MainState state;
    MemoryProgress pb;
    CountingMain main;
    AppContext ctx;
    TSheetBook book;
    Month month{3};  // the month the sheets and forms are made for
};

}  // namespace qm::test
