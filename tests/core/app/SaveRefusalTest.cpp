// No save replaces a month's rows with a sheet that does not hold all it was given, or over a
// month that changed since the sheet was loaded: the batch sheet's, the monthly list's and the
// wage sheet's saves refuse with a message that names the month, and write nothing.
#include "core/db/MonthPrint.h"
#include "core/staff/AllputStore.h"
#include "core/staff/MonputStore.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/staff/AllputTestSupport.h"

#include <functional>

namespace qm::test {
namespace {

// One of the three saves: how its month is stored, loaded into its sheet and saved. Save()
// answers the text of a refusal, empty when the month was stored.
struct MonthSave {
    const char* what;
    QString noun, table, monthCol;
    int month;
    std::function<void()> load;
    std::function<QString()> save;
    db::MonthLoad* loaded = nullptr;  // what the sheet was filled from, when the save takes it
};

class SaveRefusal : public AllputFixture {
protected:
    void Staff(int mon, int n) {
        for (int i = 1; i <= n; ++i) {
            const QStringList t = GoodRow(QStringLiteral("人%1").arg(i), QStringLiteral("%1").arg(mon * 100 + i));
            db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber, sTsex, sBirth, sWorks, sTEdu, "
                                     "sIsok) values (?, ?, ?, ?, ?, ?, ?, '1')"),
                      {mon, t[0], t[1], t[2], t[5], t[6].toInt(), t[8]});
        }
    }
    void Wages(int mon, int n) {
        for (int i = 1; i <= n; ++i)
            db().Exec(QStringLiteral("insert into Wage_Info (Smon, sNumber, sName, sN1, sTotal, sFlag, wFlag) "
                                     "values (?, ?, ?, 3000, 3000, '1', '1')"),
                      {mon, QStringLiteral("%1").arg(mon * 100 + i), QStringLiteral("人%1").arg(i)});
    }
    // Every stored column of the month's rows, in id order.
    QString Rows(const MonthSave& s) {
        return Scalar(QStringLiteral("select group_concat(r, '/') from (select quote(id) || quote(sName) || "
                                     "quote(sNumber) as r from %1 where %2=? order by id)")
                          .arg(s.table, s.monthCol),
                      {s.month});
    }

    std::vector<AllputRow> batchRows;
    db::MonthLoad batchLoaded, monthLoaded;
    TSheetBook monthBook, wageBook;
    WageSheet wages{ctx, wageBook, qm::Month(3)};

    std::vector<MonthSave> Saves() {
        return {
            {"batch sheet", QStringLiteral("期初名单"), QStringLiteral("Staff_moninfo"), QStringLiteral("sMon"), 0,
             [this] {
                 db::RowsPrint print;
                 batchRows.clear();
                 for (const AllputTexts& t : AllputStore(db()).Load(3, &print)) {
                     AllputRow& r = batchRows.emplace_back();
                     r.sheetRow = int(batchRows.size()) + 2;
                     r.text = t;
                 }
                 batchLoaded.Loaded(db(), qm::Month::Start(), print, (long long)batchRows.size());
             },
             [this] {
                 try {
                     AllputStore(db()).Save(batchRows, StaffColumns::Base, batchLoaded);
                 } catch (const db::MonthNotLoaded& e) {
                     return e.Message(QStringLiteral("期初名单"));
                 }
                 return QString();
             },
             &batchLoaded},
            {"monthly list", QStringLiteral("2月名册"), QStringLiteral("Staff_moninfo"), QStringLiteral("sMon"), 2,
             [this] {
                 db::RowsPrint print;
                 const auto rows = LoadMonthRows(db(), qm::Month(2), &print);
                 monthBook.Reset();
                 monthLoaded.Loaded(db(), qm::Month(2), print, PutStaffRows(monthBook, kStaffFirstRow, rows));
             },
             [this] {
                 const int last = monthBook.LastUsedRow();
                 try {
                     WriteMonth(
                         db(), qm::Month(2), StaffColumns::Base, kStaffFirstRow, last,
                         [this](int r, int c) { return monthBook.GetCellText(r, c); },
                         std::vector<QString>(size_t(last - 2), QStringLiteral("1")), monthLoaded);
                 } catch (const db::MonthNotLoaded& e) {
                     return e.Message(MonthListName(qm::Month(2)));
                 }
                 return QString();
             },
             &monthLoaded},
            {"wage sheet", QStringLiteral("3月工资"), QStringLiteral("Wage_Info"), QStringLiteral("Smon"), 3,
             [this] {
                 state.MaxWageMonth = qm::Month(3);
                 wages.Load();
             },
             [this] {
                 ui.Clear();
                 return wages.Save() ? QString() : ui.Texts().value(0);
             }},
        };
    }
};

TEST_F(SaveRefusal, AMonthChangedSinceTheLoadOrASheetThatLostRowsIsNeverReplaced) {
    using Kind = db::MonthNotLoaded::Kind;
    const struct {
        const char* what;
        std::function<void(const MonthSave&)> change;
        std::optional<Kind> refused;
        int rowsNow;  // rows of the month when saved
    } cases[] = {
        {"nothing changed", [](const MonthSave&) {}, std::nullopt, 3},
        {"another month changed",
         [this](const MonthSave& s) {
             db().Exec(
                 QStringLiteral("insert into %1 (%2, sName, sNumber) values (?, '他人', 'X')").arg(s.table, s.monthCol),
                 {s.month + 1});
         },
         std::nullopt, 3},
        {"a row added by another window",
         [this](const MonthSave& s) {
             db().Exec(QStringLiteral("insert into %1 (%2, sName, sNumber) values (?, '新人', 'N1')")
                           .arg(s.table, s.monthCol),
                       {s.month});
         },
         Kind::Changed, 4},
        {"a row added by another program",
         [this](const MonthSave& s) {
             db::Connection other;
             other.Open(base.paths().Database());
             other.Exec(QStringLiteral("insert into %1 (%2, sName, sNumber) values (?, '新人', 'N1')")
                            .arg(s.table, s.monthCol),
                        {s.month});
         },
         Kind::Changed, 4},
        {"a name corrected by another window",
         [this](const MonthSave& s) {
             db().Exec(QStringLiteral("update %1 set sName='改名' where %2=? and sName='人2'").arg(s.table, s.monthCol),
                       {s.month});
         },
         Kind::Changed, 3},
        {"a row deleted by another window",
         [this](const MonthSave& s) {
             db().Exec(QStringLiteral("delete from %1 where %2=? and sName='人3'").arg(s.table, s.monthCol), {s.month});
         },
         Kind::Changed, 2},
        {"the sheet holds fewer rows than it was given",
         [](const MonthSave& s) {
             if (s.loaded) s.loaded->held = s.loaded->given - 1;
         },
         Kind::Cut, 2},
    };
    for (const MonthSave& s : Saves()) {
        for (const auto& c : cases) {
            if (c.refused == Kind::Cut && !s.loaded) continue;  // the wage sheet keeps its own
            db().Exec(QStringLiteral("delete from Staff_moninfo"));
            db().Exec(QStringLiteral("delete from Wage_Info"));
            Staff(s.month, 3);
            if (s.table == QStringLiteral("Wage_Info")) Wages(s.month, 3);
            s.load();
            c.change(s);
            const QString before = Rows(s);
            const QString refusal = s.save();
            EXPECT_FALSE(db().InTransaction()) << s.what << ": " << c.what;
            if (!c.refused) {
                EXPECT_EQ(refusal, QString()) << s.what << ": " << c.what;
                EXPECT_EQ(
                    Scalar(QStringLiteral("select count(*) from %1 where %2=?").arg(s.table, s.monthCol), {s.month}),
                    QStringLiteral("3"))
                    << s.what << ": " << c.what;
                continue;
            }
            const db::MonthNotLoaded want(*c.refused, 3, c.rowsNow);
            EXPECT_EQ(refusal, want.Message(s.noun)) << s.what << ": " << c.what;
            EXPECT_TRUE(refusal.contains(s.noun) && refusal.contains(QStringLiteral("没有保存任何内容")))
                << refusal.toStdString();
            EXPECT_EQ(Rows(s), before) << s.what << ": " << c.what;  // nothing written
        }
    }
}

}  // namespace
}  // namespace qm::test
