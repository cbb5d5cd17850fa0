// The main window's bar under long runs: a save or a list of many rows repaints the bar only
// when its position changes, so a run costs at most one repaint per percent, however many
// rows it moves the bar for.
#include "bench/SyntheticUnit.h"
#include "core/report/PaymentList.h"
#include "core/staff/AllputStore.h"
#include "core/staff/MonputStore.h"
#include "platform/BarProgress.h"
#include "tests/support/TempBase.h"

#include <QApplication>
#include <QEvent>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <functional>

namespace qm::test {
namespace {

constexpr int kRows = 20000;

class PaintCount : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

std::vector<AllputRow> BatchRows(const std::vector<synth::Person>& persons) {
    std::vector<AllputRow> rows(persons.size());
    for (size_t i = 0; i < persons.size(); ++i) {
        const StaffRecord r = synth::StaffRecordOf(persons[i], 0);
        rows[i].sheetRow = int(i) + 3;
        rows[i].text = StaffTable::SheetTexts(r);
        for (int a = 0; a < kStaffAttrCount; ++a)
            if (r.code[size_t(a)]) rows[i].code[size_t(a)] = QString::number(*r.code[size_t(a)]);
    }
    return rows;
}

struct LongRun {
    const char* what;
    std::function<void(db::Connection&, Progress&)> run;
    int endsAt;  // where the run leaves the bar
};

TEST(BarProgress, ALongRunRepaintsTheBarOnlyWhenItsPositionChanges) {
    TempBase base;
    const auto persons = synth::MakePersons(kRows);
    synth::WriteUnit(base.db());
    {
        db::Transaction t(base.db());
        for (const auto& p : persons)
            base.db().Exec(QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sTotal, sFlag, wFlag) "
                                          "values (?, ?, 1, 3000, '1', '1')"),
                           {p.sNumber, p.sName});
        t.Commit();
    }
    const std::vector<AllputRow> batch = BatchRows(persons);
    const CellReader cell = [&batch](int row, int col) {
        const AllputRow& r = batch[size_t(row - kStaffFirstRow)];
        return col < kStaffFirstCode ? r.Text(col) : r.Code(col);
    };
    const std::vector<QString> flags(persons.size(), QStringLiteral("1"));

    const LongRun runs[] = {
        {"the batch sheet's save",
         [&](db::Connection& c, Progress& pb) { AllputStore(c).Save(batch, StaffColumns::All, &pb); }, 90},
        {"the monthly list's save",
         [&](db::Connection& c, Progress& pb) {
             WriteMonth(c, Month(1), StaffColumns::All, kStaffFirstRow, kStaffFirstRow + kRows - 1, cell, flags, &pb);
         },
         0},
        {"the payment list", [](db::Connection& c, Progress& pb) { report::BuildPaymentList(c, 1, 12, &pb); }, 100},
    };
    for (const LongRun& r : runs) {
        SCOPED_TRACE(r.what);
        QProgressBar bar;
        bar.setRange(0, 100);
        bar.setValue(0);
        bar.setTextVisible(false);
        bar.resize(800, 14);
        bar.show();
        QApplication::processEvents();
        PaintCount count;
        bar.installEventFilter(&count);
        BarProgress pb(&bar);
        r.run(base.db(), pb);
        EXPECT_GT(count.paints, 0);  // the bar did move in sight
        EXPECT_LE(count.paints, 101);
        EXPECT_EQ(bar.value(), r.endsAt);
    }
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), QString::number(kRows));
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=1")), QString::number(kRows));
}

}  // namespace
}  // namespace qm::test
