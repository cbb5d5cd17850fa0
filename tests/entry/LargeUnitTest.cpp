// More persons than a sheet's fewest rows: every sheet loads, saves and reloads them all.
#include "core/staff/AllputSheet.h"
#include "core/staff/CodeLists.h"
#include "core/wage/WageSheet.h"
#include "entry/staff/MonputForm.h"
#include "tests/entry/staff/MonputTestSupport.h"
#include "tools/SyntheticUnit.h"

#include <gtest/gtest.h>

#include <functional>

namespace qm {
namespace {

constexpr int kPersons = TSheetBook::kMinRows + 616;

TEST(LargeUnit, EverySheetLoadsSavesAndReloadsEveryPersonWithTheFiguresKept) {
    test::MonputEnv env{QStringLiteral("否"), QStringLiteral("1")};
    const auto persons = synth::MakePersons(kPersons);
    for (int mon : {0, 1}) synth::WriteStaffMonth(env.tb.db(), persons, mon);
    env.tb.db().Exec(
        QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sN1, sN2, sTotal, sFlag, wFlag) "
                       "select 1, sNumber, sName, 2000 + id % 997, (id % 7) * 10.5, "
                       "2000 + id % 997 + (id % 7) * 10.5, '1', '1' from Staff_moninfo where sMon=1"));
    CodeLists codes;
    LoadCodeTables(env.tb.db(), QStringLiteral("1"), codes);
    env.state.MaxWageMonth = Month(1);
    // What no open and save of a month may change.
    const auto Figures = [&env](const char* table, const char* columns, int mon) {
        return env.tb.Scalar(QStringLiteral("select count(*) || '|' || max(sNumber) || '|' || %2 from %1 where sMon=?")
                                 .arg(QLatin1String(table), QString::fromUtf8(columns)),
                             {mon});
    };
    TSheetBook batchBook, wageBook;
    AllputSheet batch(batchBook, env.ctx, codes);
    WageSheet wages(env.ctx, wageBook, Month(1));
    QPointer<TFrm_monput> list;
    const char* const staff = "total(sWorks) || ',' || total(sWork) || ',' || total(length(sName || sBirth))";
    const struct {
        const char* what;
        const char *table, *figures;
        int month;
        std::function<int()> load;  // answers the rows loaded
        std::function<bool()> save;
    } sheets[] = {
        {"batch sheet", "Staff_moninfo", staff, 0, [&] { return batch.FillSheet(); },
         [&] { return batch.Save() >= AllputSheet::SaveResult::SavedWithErrors; }},
        {"month's list", "Staff_moninfo", staff, 1,
         [&] {
             list ? list->FormActivate() : void(list = TFrm_monput::ShowList(env.ctx, Month(1)));
             return list->Sheet().LastUsedRow() - 2;
         },
         [&] { return list->B3Click(), !list->Dirty(); }},
        {"wage sheet", "Wage_Info", "total(sN1) || ',' || total(sN2) || ',' || total(sTotal)", 1,
         [&] { return wages.Load().value_or(0); },
         [&] {
             return wages.Save() && env.ui.Texts().last() == QStringLiteral("1月保存成功！共%1人输入。").arg(kPersons);
         }},
    };
    for (const auto& s : sheets) {
        const QString before = Figures(s.table, s.figures, s.month);
        for (int pass = 0; pass < 2; ++pass) {  // open and save, then again
            SCOPED_TRACE(std::string(s.what) + " pass " + std::to_string(pass));
            ASSERT_EQ(s.load(), kPersons);
            EXPECT_TRUE(s.save()) << env.ui.Texts().join(QLatin1Char('|')).toStdString();
            EXPECT_EQ(Figures(s.table, s.figures, s.month), before);
        }
    }
    if (list) list->setAttribute(Qt::WA_DeleteOnClose, false), delete list.data();
}

}  // namespace
}  // namespace qm
