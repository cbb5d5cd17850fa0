// The three sheets that replace a stored month keep the person's work alike: rows below an
// empty name are left out only when the person says so, and a refused save always leaves a way
// out that works.
#include "core/db/StaffTable.h"
#include "core/db/WageTable.h"
#include "core/staff/MonputSheet.h"
#include "core/wage/WageSheet.h"
#include "tests/entry/staff/AllputTestSupport.h"

#include <functional>

namespace qm::test {
namespace {

class StoredWork : public AllputFixture {
protected:
    // One sheet of each kind over four stored persons 人1..人4 (numbers 1..4) of its month.
    struct Sheet {
        const char* what;
        QString noun, table;
        int month, nameCol, firstRow;
        std::function<void()> load;
        std::function<bool()> save;  // answers whether it stored the sheet
        db::SheetEdits* edits;
        TSheetBook* book;
        std::function<std::unique_ptr<db::MonthSource>()> source;
    };
    void Store(const Sheet& s) {
        db().Exec(QStringLiteral("delete from Staff_moninfo"));
        db().Exec(QStringLiteral("delete from Wage_Info"));
        for (int i = 1; i <= 4; ++i)
            db().Exec(QStringLiteral("insert into %1 (sMon, sName, sNumber) values (?, ?, ?)").arg(s.table),
                      {s.month, QStringLiteral("人%1").arg(i), QString::number(i)});
        db().Exec(QStringLiteral("update Staff_moninfo set sTsex='男', sBirth='1970-05', sTEdu='大学本科'"));
        db().Exec(QStringLiteral("update Wage_Info set sN1=3000, sTotal=3000, sFlag='1', wFlag='1'"));
    }
    QString Stored(const Sheet& s) {
        return Scalar(QStringLiteral("select group_concat(sName, ',') from (select sName from %1 where sMon=? "
                                     "order by id)")
                          .arg(s.table),
                      {s.month});
    }

    TSheetBook monthBook, wageBook;
    AllputSheet batch{book, ctx, codes};
    MonputSheet list{monthBook, ctx, codes};
    WageSheet wages{ctx, wageBook, Month(3)};
    std::vector<Sheet> sheets;

    void SetUp() override {
        AllputFixture::SetUp();
        ApplySheetTemplate(monthBook, QStringLiteral("staff"));
        list.SetMonth(Month(2));
        state.MaxWageMonth = Month(3);
        const auto staff = [this] { return std::make_unique<StaffTable>(db()); };
        sheets = {
            {"batch sheet", QStringLiteral("期初名单"), QStringLiteral("Staff_moninfo"), 0, 1, 3,
             [this] { batch.FillSheet(); },
             [this] {
                 const auto r = batch.Save();
                 return r == AllputSheet::SaveResult::Saved || r == AllputSheet::SaveResult::SavedWithErrors;
             },
             &batch.Edits(), &book, staff},
            {"monthly list", QStringLiteral("2月名册"), QStringLiteral("Staff_moninfo"), 2, 1, 3,
             [this] { list.Load(); },
             [this] {
                 const auto r = list.Save();
                 return r == MonputSheet::SaveResult::Saved || r == MonputSheet::SaveResult::SavedWithErrors;
             },
             &list.Edits(), &monthBook, staff},
            {"wage sheet", QStringLiteral("3月工资"), QStringLiteral("Wage_Info"), 3, 2, 2, [this] { wages.Load(); },
             [this] { return wages.Save(); }, &wages.Edits(), &wageBook,
             [this] { return std::make_unique<WageTable>(db()); }},
        };
    }
};

TEST_F(StoredWork, RowsBelowAnEmptyNameAreLeftOutOnlyOnYesAndStayUnsaved) {
    for (const Sheet& s : sheets) {
        SCOPED_TRACE(s.what);
        Store(s);
        s.load();
        const int empty = s.firstRow + 2;  // the third person's name deleted
        s.book->SetCellText(empty, s.nameCol, QString());
        s.book->SetSelection(s.firstRow, s.nameCol, s.firstRow, s.nameCol);
        ui.Clear();
        EXPECT_FALSE(s.save());  // No, the default
        ASSERT_EQ(ui.Texts().size(), 1);
        EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("库中%1现有4人，保存后只剩2人").arg(s.noun)))
            << ui.Texts()[0].toStdString();
        EXPECT_EQ(Stored(s), QStringLiteral("人1,人2,人3,人4"));
        EXPECT_EQ(s.book->SelStartRow(), empty);  // where the list ends, to put it right
        EXPECT_TRUE(s.edits->Dirty());

        ui.answers = {DlgAnswer::Yes};
        EXPECT_TRUE(s.save());
        EXPECT_EQ(Stored(s), QStringLiteral("人1,人2"));
        EXPECT_TRUE(s.edits->Dirty()) << "the rows below still are the person's unsaved work";
    }
}

TEST_F(StoredWork, ARefusedSaveLeavesAWayOutThatWorks) {
    for (const Sheet& s : sheets) {
        SCOPED_TRACE(s.what);
        const auto source = s.source();
        const auto typeAndChangeElsewhere = [&] {
            s.load();
            s.book->SetCellText(s.firstRow, s.nameCol, QStringLiteral("改名"));
            db::Connection other;
            other.Open(base.paths().Database());
            other.Exec(QStringLiteral("update %1 set sName='别处' where sMon=? and sNumber='4'").arg(s.table),
                       {s.month});
        };
        Store(s);
        typeAndChangeElsewhere();
        ui.Clear();
        EXPECT_FALSE(s.save());
        ASSERT_FALSE(ui.Texts().isEmpty());
        EXPECT_TRUE(ui.Texts().last().contains(QStringLiteral("“别处”（编号“4”）的数据已被改动")))
            << ui.Texts().last().toStdString();

        // Opened again: the typed rows stay only while the person keeps them (No, the default).
        const QString question = QStringLiteral("放弃？");
        EXPECT_TRUE(s.edits->KeepOnReopen(db(), ui, Month(s.month), *source, question));
        EXPECT_EQ(ui.Last()->buttons, DlgButtons::YesNoDefaultNo);
        ui.answers = {DlgAnswer::Yes};
        EXPECT_FALSE(s.edits->KeepOnReopen(db(), ui, Month(s.month), *source, question));
        s.load();
        s.book->SetCellText(s.firstRow, s.nameCol, QStringLiteral("改名"));
        EXPECT_TRUE(s.save());
        EXPECT_EQ(Stored(s), QStringLiteral("改名,人2,人3,别处"));

        // Before a form that stores rows of the month opens over typed rows: Cancel keeps them
        // and opens nothing, No shows the stored month, Yes stores them first.
        int reloads = 0;
        const auto settle = [&](DlgAnswer a) {
            s.book->SetCellText(s.firstRow, s.nameCol, QStringLiteral("又改"));
            ui.answers = {a};
            return s.edits->SettleBeforeStoringForm(ui, s.save, [&] { ++reloads, s.load(); });
        };
        EXPECT_FALSE(settle(DlgAnswer::Cancel));
        EXPECT_TRUE(s.edits->Dirty());
        EXPECT_TRUE(settle(DlgAnswer::No));
        EXPECT_EQ(reloads, 1);
        EXPECT_EQ(s.book->GetCellText(s.firstRow, s.nameCol), QStringLiteral("改名"));
        EXPECT_TRUE(settle(DlgAnswer::Yes));
        EXPECT_EQ(Stored(s), QStringLiteral("又改,人2,人3,别处"));
    }
}

}  // namespace
}  // namespace qm::test
