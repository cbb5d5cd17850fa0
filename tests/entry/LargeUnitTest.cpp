// A unit with more persons than a sheet has rows at the least: the batch sheet, a month's list
// and the wage sheet load every person, save and load them again with every row stored and every
// figure kept, and the payment list shows the last person and the total line.
#include "bench/SyntheticUnit.h"
#include "core/report/PaymentList.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/AllputSheet.h"
#include "core/staff/CodeLists.h"
#include "core/wage/WageSheet.h"
#include "entry/staff/MonputForm.h"
#include "tests/entry/staff/MonputTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace qm {
namespace {

constexpr int kPersons = TSheetBook::kMinRows + 616;

class LargeUnit : public ::testing::Test {
protected:
    LargeUnit() {
        persons = synth::MakePersons(kPersons);
        for (int mon : {0, 1}) synth::WriteStaffMonth(env.tb.db(), persons, mon);
        // Each person's wages of month 1, with halves and tenths among them.
        env.tb.db().Exec(
            QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sN1, sN2, sTotal, sFlag, wFlag) "
                           "select 1, sNumber, sName, 2000 + id % 997, (id % 7) * 10.5, "
                           "2000 + id % 997 + (id % 7) * 10.5, '1', '1' from Staff_moninfo where sMon=1"));
        LoadCodeTables(env.tb.db(), QStringLiteral("1"), codes);
        env.state.MaxWageMonth = Month(1);
    }
    // The figures of a month that no open and save may change.
    QString StaffFigures(int mon) {
        return env.tb.Scalar(QStringLiteral("select count(*) || '|' || count(distinct sNumber) || '|' || max(sNumber) "
                                            "|| '|' || total(sWorks) || '|' || total(sWork) || '|' || "
                                            "total(length(sName)) || '|' || total(length(sBirth)) "
                                            "from Staff_moninfo where sMon=?"),
                             {mon});
    }
    QString WageFigures(int mon) {
        return env.tb.Scalar(QStringLiteral("select count(*) || '|' || max(sNumber) || '|' || total(sN1) || '|' || "
                                            "total(sN2) || '|' || total(sTotal) from Wage_Info where Smon=?"),
                             {mon});
    }
    QString Last() const { return persons.back().sNumber; }

    test::MonputEnv env{QStringLiteral("否"), QStringLiteral("1")};
    std::vector<synth::Person> persons;
    CodeLists codes;
};

TEST_F(LargeUnit, EverySheetLoadsSavesAndReloadsEveryPersonWithTheFiguresKept) {
    TSheetBook batchBook, wageBook;
    ApplySheetTemplate(batchBook, QStringLiteral("staff"));
    ApplySheetTemplate(wageBook, QStringLiteral("wage"));
    AllputSheet batch(batchBook, env.ctx, codes);
    WageSheet wages(env.ctx, wageBook, Month(1));
    std::unique_ptr<TFrm_monput, void (*)(TFrm_monput*)> list(nullptr, [](TFrm_monput* w) {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        delete w;
    });
    const struct {
        const char* what;
        std::function<QString()> figures;
        std::function<int()> load;   // answers the rows loaded
        std::function<bool()> save;  // answers whether the month was stored
        std::function<const TSheetBook&()> sheet;
        int firstRow, numberCol;
    } sheets[] = {
        {"batch sheet", [&] { return StaffFigures(0); }, [&] { return batch.FillSheet(3); },
         [&] {
             const auto r = batch.Save();
             return r == AllputSheet::SaveResult::Saved || r == AllputSheet::SaveResult::SavedWithErrors;
         },
         [&]() -> const TSheetBook& { return batchBook; }, AllputSheet::kFirstRow, 2},
        {"month's list", [&] { return StaffFigures(1); },
         [&] {
             if (!list)
                 list.reset(TFrm_monput::ShowList(env.ctx, Month(1)));
             else
                 list->FormActivate();
             return list->Sheet().LastUsedRow() - 2;
         },
         [&] {
             env.ui.Clear();
             list->B3Click();
             return env.ui.Texts().size() == 1 && !list->Dirty();
         },
         [&]() -> const TSheetBook& { return list->Sheet(); }, 3, 2},
        {"wage sheet", [&] { return WageFigures(1); }, [&] { return wages.Load().value_or(0); },
         [&] {
             env.ui.Clear();
             return wages.Save() && env.ui.Texts().last() == QStringLiteral("1月保存成功！共%1人输入。").arg(kPersons);
         },
         [&]() -> const TSheetBook& { return wageBook; }, 2, 1},
    };
    for (const auto& s : sheets) {
        const QString before = s.figures();
        EXPECT_TRUE(before.startsWith(QString::number(kPersons) + QLatin1Char('|'))) << s.what;
        for (int pass = 0; pass < 2; ++pass) {  // open, save; open again, save again
            ASSERT_EQ(s.load(), kPersons) << s.what << " pass " << pass;
            const TSheetBook& book = s.sheet();
            EXPECT_EQ(book.GetCellText(s.firstRow + kPersons - 1, s.numberCol), Last()) << s.what;
            EXPECT_GE(book.MaxRow(), s.firstRow + kPersons) << s.what;  // room to type below the last
            EXPECT_TRUE(s.save()) << s.what << ": " << env.ui.Texts().join(QLatin1Char('|')).toStdString();
            EXPECT_EQ(s.figures(), before) << s.what << " pass " << pass;
        }
    }

    // The payment list: every person, the last of them, and the total of every month below.
    const report::PaymentList payments = report::BuildPaymentList(env.tb.db(), 1, 12);
    TSheetBook sheet;
    ApplySheetTemplate(sheet, QStringLiteral("permonwage"));
    report::FillPaymentSheet(sheet, payments);
    const int last = kPersons + 1;
    EXPECT_EQ(sheet.GetCellText(last, 2), Last());
    EXPECT_EQ(sheet.GetCellText(last + 1, 14), QStringLiteral("总计："));
    EXPECT_EQ(sheet.GetCellText(last + 1, 15),
              report::PaymentAmount(env.tb.Scalar(QStringLiteral("select total(sTotal) from Wage_Info")).toDouble()));
    EXPECT_EQ(sheet.LastUsedRow(), last + 1);
}

}  // namespace
}  // namespace qm
