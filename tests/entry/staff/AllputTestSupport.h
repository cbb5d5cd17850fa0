#pragma once
// What the batch-sheet tests share: a unit in a temporary base, its code lists, a fake main
// window and a scripted dialog service.

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/sheet/SheetBook.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/AllputSheet.h"
#include "core/staff/CodeLists.h"
#include "tests/support/RecordingMain.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

namespace qm::test {

class AllputMain : public RecordingMain {
public:
    explicit AllputMain(db::Connection& c) : c_(c) {}
    int clears = 0;
    bool clearAnswer = false;
    bool N34Click() override {
        ++clears;
        if (clearAnswer) c_.Exec(QStringLiteral("delete from Staff_moninfo where sMon=0"));
        return clearAnswer;
    }
    bool CheckMonthDataErrors(qm::Month) override { return true; }

private:
    db::Connection& c_;
};

class AllputFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetUnit(QStringLiteral("否"));
        LoadCodeTables(db(), QStringLiteral("1"), codes);
        ApplySheetTemplate(book, QStringLiteral("staff"));
    }
    void SetUnit(const QString& depInfo, const QString& depType = QStringLiteral("企业")) {
        db().Exec(QStringLiteral("delete from Dep_Info"));
        db().Exec(QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                                 "values ('青石建设有限公司', '12345678X', ?, ?, '1', '99')"),
                  {depType, depInfo});
        state.DepClass = UnitClass::Decode(depType, depInfo);
        state.DepNo = QStringLiteral("12345678X");
    }
    db::Connection& db() { return base.db(); }
    QString Scalar(const QString& sql, const db::Params& p = {}) { return base.Scalar(sql, p); }

    // A row that passes every check under any class.
    static QStringList GoodRow(const QString& name, const QString& number) {
        return {name,
                number,
                QStringLiteral("男"),
                QStringLiteral("否"),
                QStringLiteral("是"),
                QStringLiteral("1970-05"),
                QStringLiteral("20"),
                QStringLiteral("5"),
                QStringLiteral("大学本科"),
                QStringLiteral("管理人员"),
                QStringLiteral("中级"),
                QStringLiteral("无技能等级"),
                QStringLiteral("在岗职工"),
                QStringLiteral("是"),
                QStringLiteral("否"),
                QStringLiteral("否"),
                QStringLiteral("否"),
                QStringLiteral("是")};
    }
    void PutRow(int row, const QStringList& cells) {
        for (int c = 0; c < cells.size(); ++c) book.SetCellText(row, c + 1, cells[c]);
    }

    TempBase base;
    CodeLists codes;
    MainState state;
    ScriptedUiService ui;
    MemoryProgress pb;
    AllputMain main{base.db()};
    AppContext ctx{base.db(), ui, base.paths(), state, pb, &main, nullptr, nullptr};
    TSheetBook book;
};

}  // namespace qm::test
