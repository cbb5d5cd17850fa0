#pragma once
// What the monthly list, error list and batch deletion tests share: a unit in a temporary
// database, the main window's state, a scripted dialog service and a context for the forms.

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/sheet/SheetBook.h"
#include "core/staff/CodeLists.h"
#include "tests/support/TempBase.h"

#include <QStringList>

namespace qm::test {

class MonputEnv {
public:
    explicit MonputEnv(const QString& depInfo = QStringLiteral("否"), const QString& month = QStringLiteral("2"))
        : ctx{tb.db(), ui, tb.paths(), state, pb} {
        // An empty month is the register mode.
        if (!month.isEmpty()) this->month = Month::FromText(month);
        state.DepClass = UnitClass::Decode(QStringLiteral("企业事业单位"), depInfo);
        tb.db().Exec(
            "insert into Dep_Info(DepName,DepNo,DepType,DepInfo,Flag,CreateMon) "
            "values('江南示范机械制造有限公司','12345678X','企业事业单位',?,'1','99')",
            {depInfo});
        LoadCodeTables(tb.db(), QStringLiteral("1"));
    }

    // A stored row with valid texts; `edu` lets a test make it fail.
    long long Store(int mon, const QString& name, const QString& number, const QString& isok = "1",
                    const QString& edu = "大学本科", const QString& sex = "男") {
        tb.db().Exec(
            "insert into Staff_moninfo(sMon,sName,sNumber,sTsex,sTnation,sTparty,sBirth,sWorks,sWork,sTEdu,"
            "sTPost,sTGrade,sTJGrade,sTsf,sTqrz,sTgc,sTjzs,sTsg,sTyg,sIsok) values(?,?,?,?,'否','是',"
            "'1980-05',10,3,?,'管理人员','中级','无技能等级','在岗职工','是','否','否','否','是',?)",
            {mon, name, number, sex, edu, isok});
        return tb.Scalar("select max(id) from Staff_moninfo").toLongLong();
    }
    // The 18 texts of a valid row, for typing into a sheet.
    static QStringList ValidTexts(const QString& name, const QString& number) {
        return {name,       number, "男",         "否",       "是", "1980-05", "10", "3",  "大学本科",
                "管理人员", "中级", "无技能等级", "在岗职工", "是", "否",      "否", "否", "是"};
    }
    static void Type(TSheetBook& book, int row, const QStringList& texts) {
        for (int c = 1; c <= texts.size(); ++c) book.SetCellText(row, c, texts[c - 1]);
    }
    QString Col(const QString& expr, int mon) {
        return tb.Scalar(
            "select group_concat(v, ',') from (select " + expr + " as v from Staff_moninfo where sMon=? order by id)",
            {mon});
    }

    // The month the forms are made for; the register mode's lists are the start of the period's.
    Month ListMonth() const { return month.value_or(Month::Start()); }

    std::optional<Month> month;
    TempBase tb;
    ScriptedUiService ui;
    MainState state;
    MemoryProgress pb;
    AppContext ctx;
};

}  // namespace qm::test
