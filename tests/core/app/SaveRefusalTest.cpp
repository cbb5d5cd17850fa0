// No save replaces a month's rows with a sheet that does not hold all it was given, or over a
// month that changed since the sheet was loaded: the batch sheet's, the monthly list's and the
// wage sheet's saves refuse with a message that names the month, and write nothing.
#include "core/staff/MonputStore.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/staff/AllputTestSupport.h"

#include <functional>

namespace qm::test {
namespace {

class SaveRefusal : public AllputFixture {
protected:
    // One of the three saves: its month, how the month is loaded into its sheet and saved; the
    // save answers the text of a refusal, empty when the month was stored.
    struct Save {
        const char* what;
        QString noun, table, monthCol;
        int month;
        std::function<void()> load;
        std::function<QString()> save;
    };
    QString Rows(const Save& s) {  // the month's rows as stored, in id order
        return Scalar(QStringLiteral("select group_concat(quote(id) || quote(sName) || quote(sNumber), '/') from "
                                     "(select * from %1 where %2=? order by id)")
                          .arg(s.table, s.monthCol),
                      {s.month});
    }
    void Store(const Save& s, int n) {
        for (int i = 1; i <= n; ++i) {
            const QStringList t = GoodRow(QStringLiteral("人%1").arg(i), QString::number(i));
            for (const char* table : {"Staff_moninfo", "Wage_Info"})
                db().Exec(QStringLiteral("insert into %1 (%2, sName, sNumber) values (?, ?, ?)")
                              .arg(QString::fromLatin1(table), s.monthCol),
                          {s.month, t[0], t[1]});
        }
        // Whole numbers and halves, which their columns store as integers and reals.
        db().Exec(
            QStringLiteral("update Staff_moninfo set sTsex='男', sBirth='1970-05', sWorks=20 + (id % 2) * 0.5, "
                           "sTEdu='大学本科'"));
        db().Exec(QStringLiteral("update Wage_Info set sN1=3000 + (id % 2) * 0.5, sTotal=sN1, sFlag='1', wFlag='1'"));
    }

    AllputSheet batch{book, ctx, codes};
    TSheetBook monthBook, wageBook;
    db::MonthLoad monthLoaded;
    WageSheet wages{ctx, wageBook, Month(3)};
};

TEST_F(SaveRefusal, AMonthChangedSinceTheLoadOrASheetThatLostRowsIsNeverReplaced) {
    const Save saves[] = {
        {"batch sheet", QStringLiteral("期初名单"), QStringLiteral("Staff_moninfo"), QStringLiteral("sMon"), 0,
         [this] { batch.FillSheet(3); },
         [this] { return batch.Save() == AllputSheet::SaveResult::Refused ? ui.Texts().last() : QString(); }},
        {"monthly list", QStringLiteral("2月名册"), QStringLiteral("Staff_moninfo"), QStringLiteral("sMon"), 2,
         [this] {
             db::RowsPrint print;
             const auto rows = LoadMonthRows(db(), Month(2), &print);
             monthLoaded.Loaded(db(), Month(2), print, PutStaffRows(monthBook, kStaffFirstRow, rows));
         },
         [this] {
             const int last = monthBook.LastUsedRow();
             try {
                 WriteMonth(
                     db(), Month(2), StaffColumns::Base, kStaffFirstRow, last,
                     [this](int r, int c) { return monthBook.GetCellText(r, c); },
                     std::vector<QString>(size_t(last - 2), QStringLiteral("1")), monthLoaded);
             } catch (const db::MonthNotLoaded& e) {
                 return e.Message(MonthListName(Month(2)));
             }
             return QString();
         }},
        {"wage sheet", QStringLiteral("3月工资"), QStringLiteral("Wage_Info"), QStringLiteral("Smon"), 3,
         [this] { state.MaxWageMonth = Month(3), wages.Load(); },
         [this] { return wages.Save() ? QString() : ui.Texts().last(); }},
    };
    using Kind = db::MonthNotLoaded::Kind;
    const auto exec = [this](const Save& s, const char* sql, int month) {
        db().Exec(QString::fromUtf8(sql).arg(s.table, s.monthCol), {month});
    };
    const char* const add = "insert into %1 (%2, sName, sNumber) values (?, '新人', 'N1')";
    const struct {
        const char* what;
        std::function<void(const Save&)> change;
        std::optional<Kind> refused;
        int rowsNow;  // the month's rows when it is saved
    } cases[] = {
        {"nothing changed", [](const Save&) {}, std::nullopt, 3},
        // The print of the rows a save wrote, taken from the values it bound, is the stored rows'.
        {"saved, then another month changed", [&](const Save& s) { s.save(), exec(s, add, s.month + 1); }, std::nullopt,
         3},
        {"another month changed", [&](const Save& s) { exec(s, add, s.month + 1); }, std::nullopt, 3},
        {"a row added by another window", [&](const Save& s) { exec(s, add, s.month); }, Kind::Changed, 4},
        {"a row added by another program",
         [&](const Save& s) {
             db::Connection other;
             other.Open(base.paths().Database());
             other.Exec(QString::fromUtf8(add).arg(s.table, s.monthCol), {s.month});
         },
         Kind::Changed, 4},
        {"a name corrected",
         [&](const Save& s) { exec(s, "update %1 set sName='改' where %2=? and sName='人2'", s.month); }, Kind::Changed,
         3},
        {"a sheet that holds fewer rows than it was given", [this](const Save&) { --monthLoaded.held; }, Kind::Cut, 2},
    };
    for (const Save& s : saves) {
        for (const auto& c : cases) {
            if (c.refused == Kind::Cut && s.month != 2) continue;  // only the monthly list's is in hand here
            for (const char* table : {"Staff_moninfo", "Wage_Info"}) db().Exec(QStringLiteral("delete from ") + table);
            Store(s, 3);
            s.load();
            c.change(s);
            ui.Clear();
            const QString before = Rows(s), refusal = s.save();
            const QString where = QStringLiteral("%1: %2").arg(s.what, c.what);
            EXPECT_FALSE(db().InTransaction()) << where.toStdString();
            if (!c.refused) {
                EXPECT_EQ(refusal, QString()) << where.toStdString();
                EXPECT_EQ(Rows(s).count(QLatin1Char('/')), 2) << where.toStdString();  // the sheet's three rows
                continue;
            }
            EXPECT_EQ(refusal, db::MonthNotLoaded(*c.refused, 3, c.rowsNow).Message(s.noun)) << where.toStdString();
            EXPECT_EQ(Rows(s), before) << where.toStdString();  // nothing written
        }
    }
}

}  // namespace
}  // namespace qm::test
