// Saves refuse to replace a month changed since the load, or with a sheet that lost rows.
#include "core/staff/MonputSheet.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/staff/AllputTestSupport.h"

#include <functional>

namespace qm::test {
namespace {

using SaveRefusal = AllputFixture;

TEST_F(SaveRefusal, AMonthChangedSinceTheLoadOrASheetThatLostRowsIsNeverReplaced) {
    struct Save {
        const char* what;
        QString noun, table;  // sMon and Smon name one column: SQLite ignores the case
        int month;
        std::function<void()> load;
        std::function<QString()> save;
        db::SheetEdits& edits;
    };
    const auto Rows = [this](const Save& s) {  // the month's rows as stored, in id order
        return Scalar(QStringLiteral("select group_concat(quote(id) || quote(sName) || quote(sNumber), '/') from "
                                     "(select * from %1 where sMon=? order by id)")
                          .arg(s.table),
                      {s.month});
    };
    // Whole numbers and halves: the fingerprint of what a save binds must match the stored rows'.
    const auto Store = [this](const Save& s) {
        for (const char* table : {"Staff_moninfo", "Wage_Info"}) {
            db().Exec(QStringLiteral("delete from ") + table);
            for (int i = 1; i <= 3; ++i)
                db().Exec(QStringLiteral("insert into %1 (sMon, sName, sNumber) values (?, ?, ?)").arg(table),
                          {s.month, QStringLiteral("人%1").arg(i), QString::number(i)});
        }
        db().Exec(
            QStringLiteral("update Staff_moninfo set sTsex='男', sBirth='1970-05', sWorks=20 + (id % 2) * 0.5, "
                           "sTEdu='大学本科'"));
        db().Exec(QStringLiteral("update Wage_Info set sN1=3000 + (id % 2) * 0.5, sTotal=sN1, sFlag='1', wFlag='1'"));
    };
    AllputSheet batch{book, ctx, codes};
    TSheetBook monthBook, wageBook;
    ApplySheetTemplate(monthBook, QStringLiteral("staff"));
    MonputSheet month{monthBook, ctx, codes};
    month.SetMonth(Month(2));
    WageSheet wages{ctx, wageBook, Month(3)};
    const Save saves[] = {
        {"batch sheet", QStringLiteral("期初名单"), QStringLiteral("Staff_moninfo"), 0, [&] { batch.FillSheet(); },
         [&] { return batch.Save() == AllputSheet::SaveResult::Refused ? ui.Texts().last() : QString(); },
         batch.Edits()},
        {"monthly list", QStringLiteral("2月名册"), QStringLiteral("Staff_moninfo"), 2, [&] { month.Load(); },
         [&] { return month.Save() == MonputSheet::SaveResult::Refused ? ui.Texts().last() : QString(); },
         month.Edits()},
        // A month above the last one with wages that holds wages all the same is shown, so that
        // its save replaces only what it showed.
        {"wage sheet", QStringLiteral("3月工资"), QStringLiteral("Wage_Info"), 3,
         [&] { state.MaxWageMonth = Month(1), wages.Load(); },
         [&] { return wages.Save() ? QString() : ui.Texts().last(); }, wages.Edits()},
    };
    using Kind = db::MonthNotLoaded::Kind;
    const auto Other = [this](const std::function<void(db::Connection&)>& write) {
        db::Connection other;
        other.Open(base.paths().Database());
        write(other);
    };
    const char* const add = "insert into %1 (sMon, sName, sNumber) values (?, '新人', 'N1')";
    const QString added = QStringLiteral("库中新增了“新人”（编号“N1”）");
    const struct {
        const char* what;
        std::function<void(const Save&)> change;
        std::optional<Kind> refused;
        int rowsNow;    // the month's rows when it is saved
        QString named;  // what the refusal names as changed
        bool atLoad = false;
    } cases[] = {
        {"saved, then another month changed",
         [&](const Save& s) {
             EXPECT_EQ(s.save(), QString());
             db().Exec(QString::fromUtf8(add).arg(s.table), {s.month + 1});
         },
         std::nullopt,
         3,
         {}},
        {"a row added by another program",
         [&](const Save& s) {
             Other([&](db::Connection& o) { o.Exec(QString::fromUtf8(add).arg(s.table), {s.month}); });
         },
         Kind::Changed, 4, added},
        // Its commit falls between the read and the end of the load: the load must not count it as seen.
        {"a row added by another program while the sheet is filled",
         [&](const Save& s) {
             Other([&](db::Connection& o) { o.Exec(QString::fromUtf8(add).arg(s.table), {s.month}); });
         },
         Kind::Changed, 4, added, true},
        {"a name corrected",
         [&](const Save& s) {
             db().Exec(QStringLiteral("update %1 set sName='改' where sMon=? and sName='人2'").arg(s.table), {s.month});
         },
         Kind::Changed, 3, QStringLiteral("“改”（编号“2”）的数据已被改动")},
        {"a row deleted",
         [&](const Save& s) {
             db().Exec(QStringLiteral("delete from %1 where sMon=? and sName='人2'").arg(s.table), {s.month});
         },
         Kind::Changed, 2, QStringLiteral("读入时的第2人已从库中删去")},
        {"a value moved to another column",
         [&](const Save& s) {
             const char* move = s.table == "Wage_Info" ? "sN2=sN1, sN1=null" : "sWork=sWorks, sWorks=null";
             db().Exec(QStringLiteral("update %1 set %2 where sMon=?").arg(s.table, QLatin1String(move)), {s.month});
         },
         Kind::Changed, 3, QStringLiteral("“人1”（编号“1”）的数据已被改动")},
        {"two rows' names swapped",
         [&](const Save& s) {
             db().Exec(QStringLiteral("update %1 set sName=case sName when '人1' then '人2' else '人1' end "
                                      "where sMon=? and sName in ('人1', '人2')")
                           .arg(s.table),
                       {s.month});
         },
         Kind::Changed, 3, QStringLiteral("“人2”（编号“1”）的数据已被改动")},
        {"a sheet that holds fewer rows than it was given",
         [&](const Save& s) { --s.edits.Load().held; },
         Kind::Cut,
         2,
         {}},
    };
    for (const Save& s : saves) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(s.what) + ": " + c.what);
            Store(s);
            if (c.atLoad) s.edits.loadedHook = [&] { c.change(s); };
            s.load();
            s.edits.loadedHook = nullptr;
            if (!c.atLoad) c.change(s);
            ui.Clear();
            const QString before = Rows(s), refusal = s.save();
            EXPECT_FALSE(db().InTransaction());
            EXPECT_EQ(refusal,
                      c.refused ? db::MonthNotLoaded(*c.refused, 3, c.rowsNow, c.named).Message(s.noun) : QString());
            if (c.refused)
                EXPECT_EQ(Rows(s), before);  // nothing written
            else
                EXPECT_EQ(Rows(s).count(QLatin1Char('/')), 2);  // the sheet's three rows
        }
    }
}

}  // namespace
}  // namespace qm::test
