// An amount typed or taken over with a fifth decimal is stored as every sum reads it, to the
// ten-thousandth, by each path that stores amounts: the wage sheet, the wage error list and the
// history import. The stored row, SQLite's own sums, the sheet and the payment list then show one
// figure.
#include "core/base/Progress.h"
#include "core/report/PaymentList.h"
#include "core/unit/HistoryImport.h"
#include "core/wage/WageErrorList.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/wage/WageTestBase.h"

namespace qm::test {
namespace {

class AmountStoredAsSummedTest : public WageTestBase {
protected:
    AmountStoredAsSummedTest() { Staff(3, QStringLiteral("001"), QStringLiteral("张三")); }

    // The ways an amount reaches Wage_Info; each leaves one row of month 3 and answers what the
    // sheet it was typed on shows afterwards (empty for the import).
    QString BySheet(const QString& amount) {
        Row(2, {"001", "张三", amount});
        EXPECT_TRUE(WageSheet(ctx, book, month).Save());
        return book.GetCellText(2, wagecol::N1);
    }
    QString ByErrorList(const QString& amount) {
        // A person off the staff list stays listed after the re-check: the reload shows the row.
        base.db().Exec(
            QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sN1, sTotal, sFlag, wFlag) "
                           "values (3, '777', '某人', 1, 1, '0', '0')"));
        WageErrorList list(ctx, book, month);
        EXPECT_EQ(list.Load(), 1);
        book.SetCellText(2, wagecol::N1, amount);
        EXPECT_TRUE(list.Recheck());
        return book.GetCellText(2, wagecol::N1);
    }
    QString ByImport(double amount) {
        TempBase old;
        old.db().Exec(QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sN1, sTotal, sFlag, wFlag) "
                                     "values (3, '001', '张三', ?, ?, '1', '1')"),
                      {amount, amount});
        SqliteHistorySource src(old.paths().Database());
        HistoryImporter(base.db(), pb).ImportWages(src);
        return {};
    }
};

TEST_F(AmountStoredAsSummedTest, AFifthDecimalIsStoredAsTheTenThousandthOnEveryPath) {
    const struct {
        const char *typed, *stored;
    } cases[] = {{"2499.49995", "2499.5"},
                 {"1000.12344", "1000.1234"},
                 {"600.00005", "600.0001"},
                 {"700.00004", "700"},
                 {"2499.4999", "2499.4999"}};
    enum Path { Sheet, ErrorList, Import };
    for (const Path path : {Sheet, ErrorList, Import})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(path) + " " + c.typed);
            base.db().Exec(QStringLiteral("delete from Wage_Info"));
            const QString typed = QString::fromLatin1(c.typed), stored = QString::fromLatin1(c.stored);
            QString shown;
            switch (path) {
            case Sheet: shown = BySheet(typed); break;
            case ErrorList: shown = ByErrorList(typed); break;
            case Import: shown = ByImport(typed.toDouble()); break;
            }
            EXPECT_EQ(shown, path == Import ? QString() : stored);
            // Stored exactly as the ten-thousandth, the total too.
            EXPECT_EQ(Q("select count(*) from Wage_Info where Smon=3 and sN1=? and sTotal=?",
                        {stored.toDouble(), stored.toDouble()}),
                      QStringLiteral("1"));
            // The payment list's month, its person's total and SQLite's own sum read alike.
            const report::PaymentList list = report::BuildPaymentList(base.db(), 1, 12);
            ASSERT_EQ(list.lines.size(), 1u);
            EXPECT_EQ(list.lines.MonthText(0, 3), stored);
            EXPECT_EQ(report::PaymentAmount(list.lines.Total(0)), stored);
            EXPECT_EQ(Q("select total(sTotal) from Wage_Info"), stored);
        }
}

// An older file may hold a fifth decimal: the payment list shows each month as it counts it.
TEST_F(AmountStoredAsSummedTest, AStoredFifthDecimalShowsInTheListAsItCounts) {
    base.db().Exec(
        QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sTotal) values "
                       "(3, '001', '张三', 2499.49995), (4, '001', '张三', 0.00005)"));
    const report::PaymentList list = report::BuildPaymentList(base.db(), 1, 12);
    ASSERT_EQ(list.lines.size(), 1u);
    EXPECT_EQ(list.lines.MonthText(0, 3) + "|" + list.lines.MonthText(0, 4) + "|" +
                  report::PaymentAmount(list.lines.Total(0)),
              QStringLiteral("2499.5|0.0001|2499.5001"));
}

}  // namespace
}  // namespace qm::test
