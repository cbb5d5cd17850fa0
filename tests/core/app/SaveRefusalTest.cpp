// The three sheets that replace a stored month (the batch sheet, a month's list, the wage sheet)
// keep the person's work alike: a save never replaces a month changed since the load or with a
// sheet that lost rows, rows below an empty name are left out only when the person says so, and
// a refused save always leaves a way out that works.
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"
#include "core/staff/MonputSheet.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/staff/AllputTestSupport.h"

#include <functional>

namespace qm::test {
namespace {

class SaveRefusal : public AllputFixture {
protected:
    // One sheet of each kind over four stored persons 人1..人4 (numbers 1..4) of its month.
    struct Sheet {
        const char* what;
        QString noun, table;  // sMon and Smon name one column: SQLite ignores the case
        int month, nameCol, firstRow;
        std::function<void()> load;
        std::function<bool()> save;  // answers whether it stored the sheet
        db::SheetEdits* edits;
        TSheetBook* book;
        db::MonthSource* source;
    };
    // Whole numbers and halves: the fingerprint of what a save binds must match the stored rows'.
    void Store(const Sheet& s) {
        for (const char* table : {"Staff_moninfo", "Wage_Info"}) {
            db().Exec(QStringLiteral("delete from ") + table);
            for (int i = 1; i <= 4; ++i)
                db().Exec(QStringLiteral("insert into %1 (sMon, sName, sNumber) values (?, ?, ?)").arg(table),
                          {s.month, QStringLiteral("人%1").arg(i), QString::number(i)});
        }
        db().Exec(
            QStringLiteral("update Staff_moninfo set sTsex='男', sBirth='1970-05', sWorks=20 + (id % 2) * 0.5, "
                           "sTEdu='大学本科'"));
        db().Exec(QStringLiteral("update Wage_Info set sN1=3000 + (id % 2) * 0.5, sTotal=sN1, sFlag='1', wFlag='1'"));
    }
    // The month's rows as stored, in id order: their names, or `what` of each.
    QString Stored(const Sheet& s, const char* what = "sName") {
        return Scalar(QStringLiteral("select group_concat(%2, ',') from (select * from %1 where sMon=? order by id)")
                          .arg(s.table, QLatin1String(what)),
                      {s.month});
    }
    void Change(const Sheet& s, const char* sql) {  // by another program
        db::Connection other;
        other.Open(base.paths().Database());
        other.Exec(QString::fromUtf8(sql).arg(s.table), {s.month});
    }

    TSheetBook monthBook, wageBook;
    AllputSheet batch{book, ctx, codes};
    MonputSheet list{monthBook, ctx, codes};
    WageSheet wages{ctx, wageBook, Month(3)};
    StaffTable staff{db()};
    WageTable wageTable{db()};
    std::vector<Sheet> sheets;

    void SetUp() override {
        AllputFixture::SetUp();
        ApplySheetTemplate(monthBook, QStringLiteral("staff"));
        list.SetMonth(Month(2));
        // A month above the last one with wages that holds wages all the same is shown, so that
        // its save replaces only what it showed.
        state.MaxWageMonth = Month(1);
        const auto stored = [](auto r) { return r == decltype(r)::Saved || r == decltype(r)::SavedWithErrors; };
        sheets = {
            {"batch sheet", QStringLiteral("期初名单"), QStringLiteral("Staff_moninfo"), 0, 1, 3,
             [this] { batch.FillSheet(); }, [this, stored] { return stored(batch.Save()); }, &batch.Edits(), &book,
             &staff},
            {"monthly list", QStringLiteral("2月名册"), QStringLiteral("Staff_moninfo"), 2, 1, 3,
             [this] { list.Load(); }, [this, stored] { return stored(list.Save()); }, &list.Edits(), &monthBook,
             &staff},
            {"wage sheet", QStringLiteral("3月工资"), QStringLiteral("Wage_Info"), 3, 2, 2, [this] { wages.Load(); },
             [this] { return wages.Save(); }, &wages.Edits(), &wageBook, &wageTable},
        };
    }
};

TEST_F(SaveRefusal, AMonthChangedSinceTheLoadOrASheetThatLostRowsIsNeverReplaced) {
    using Kind = db::MonthNotLoaded::Kind;
    const char* const add = "insert into %1 (sMon, sName, sNumber) values (?, '新人', 'N1')";
    const QString added = QStringLiteral("库中新增了“新人”（编号“N1”）");
    const struct {
        const char* what;
        std::function<void(const Sheet&)> change;
        std::optional<Kind> refused;
        int rowsNow;    // the month's rows when it is saved
        QString named;  // what the refusal names as changed
        bool atLoad = false;
    } cases[] = {
        {"saved, then another month changed",
         [&](const Sheet& s) {
             EXPECT_TRUE(s.save());
             db().Exec(QString::fromUtf8(add).arg(s.table), {s.month + 1});
         },
         std::nullopt,
         4,
         {}},
        {"a row added by another program", [&](const Sheet& s) { Change(s, add); }, Kind::Changed, 5, added},
        // Its commit falls between the read and the end of the load: the load must not count it as seen.
        {"a row added by another program while the sheet is filled", [&](const Sheet& s) { Change(s, add); },
         Kind::Changed, 5, added, true},
        {"a name corrected",
         [&](const Sheet& s) { Change(s, "update %1 set sName='改' where sMon=? and sName='人2'"); }, Kind::Changed, 4,
         QStringLiteral("“改”（编号“2”）的数据已被改动")},
        {"a row deleted", [&](const Sheet& s) { Change(s, "delete from %1 where sMon=? and sName='人2'"); },
         Kind::Changed, 3, QStringLiteral("读入时的第2人已从库中删去")},
        {"a value moved to another column",
         [&](const Sheet& s) {
             Change(s, s.table == "Wage_Info" ? "update %1 set sN2=sN1, sN1=null where sMon=?"
                                              : "update %1 set sWork=sWorks, sWorks=null where sMon=?");
         },
         Kind::Changed, 4, QStringLiteral("“人1”（编号“1”）的数据已被改动")},
        {"two rows' names swapped",
         [&](const Sheet& s) {
             Change(s,
                    "update %1 set sName=case sName when '人1' then '人2' else '人1' end "
                    "where sMon=? and sName in ('人1', '人2')");
         },
         Kind::Changed, 4, QStringLiteral("“人2”（编号“1”）的数据已被改动")},
        {"a sheet that holds fewer rows than it was given",
         [&](const Sheet& s) { --s.edits->Load().held; },
         Kind::Cut,
         3,
         {}},
    };
    for (const Sheet& s : sheets) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(s.what) + ": " + c.what);
            Store(s);
            if (c.atLoad) s.edits->loadedHook = [&] { c.change(s); };
            s.load();
            s.edits->loadedHook = nullptr;
            if (!c.atLoad) c.change(s);
            ui.Clear();
            const QString before = Stored(s, "id || sName || sNumber");
            const bool saved = s.save();
            EXPECT_FALSE(db().InTransaction());
            EXPECT_EQ(saved ? QString() : ui.Texts().last(),
                      c.refused ? db::MonthNotLoaded(*c.refused, 4, c.rowsNow, c.named).Message(s.noun) : QString());
            if (c.refused)
                EXPECT_EQ(Stored(s, "id || sName || sNumber"), before);  // nothing written
            else
                EXPECT_EQ(Stored(s), QStringLiteral("人1,人2,人3,人4"));
        }
    }
}

TEST_F(SaveRefusal, RowsBelowAnEmptyNameAreLeftOutOnlyOnYesAndStayUnsaved) {
    for (const Sheet& s : sheets) {
        SCOPED_TRACE(s.what);
        Store(s);
        s.load();
        const int empty = s.firstRow + 2;  // the third person's name deleted
        s.book->SetCellText(empty, s.nameCol, QString());
        s.book->SetSelection(s.firstRow, s.nameCol, s.firstRow, s.nameCol);
        ui.Clear();
        EXPECT_FALSE(s.save());  // No, the default: Enter and Esc keep the stored rows
        ASSERT_FALSE(ui.shown.empty());
        EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("库中%1现有4人，保存后只剩2人").arg(s.noun)));
        EXPECT_EQ(ui.shown[0].buttons, DlgButtons::YesNoDefaultNo);
        EXPECT_EQ(Stored(s), QStringLiteral("人1,人2,人3,人4"));
        EXPECT_EQ(s.book->SelStartRow(), empty);  // where the list ends, to put it right
        ui.answers = {DlgAnswer::Yes};
        EXPECT_TRUE(s.save());
        EXPECT_EQ(Stored(s), QStringLiteral("人1,人2"));
        EXPECT_TRUE(s.edits->Dirty()) << "the rows below still are the person's unsaved work";
    }
}

TEST_F(SaveRefusal, ARefusedSaveLeavesAWayOutThatWorks) {
    for (const Sheet& s : sheets) {
        SCOPED_TRACE(s.what);
        Store(s);
        s.load();
        s.book->SetCellText(s.firstRow, s.nameCol, QStringLiteral("改名"));
        Change(s, "update %1 set sName='别处' where sMon=? and sNumber='4'");
        EXPECT_FALSE(s.save());
        // Opened again, the person gives the typed rows up (the default keeps them): the month
        // shows as stored, and the edit typed again is saved.
        ui.answers = {DlgAnswer::Yes};
        EXPECT_FALSE(s.edits->KeepOnReopen(db(), ui, Month(s.month), *s.source, QStringLiteral("放弃？")));
        s.load();
        s.book->SetCellText(s.firstRow, s.nameCol, QStringLiteral("改名"));
        EXPECT_TRUE(s.save());
        EXPECT_EQ(Stored(s), QStringLiteral("改名,人2,人3,别处"));
    }
}

}  // namespace
}  // namespace qm::test
