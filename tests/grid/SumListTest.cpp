// Footer totals: the sum list follows edits, inserts, cancels and deletes exactly, recounts
// when it must (and only then), keeps the person's place, and the footer texts and rows.
#include "grid/FooterText.h"
#include "grid/SumList.h"
#include "tests/grid/GridTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>

using namespace qm;
using namespace qm::grid;

namespace {

void OpenAmounts(TMemDataSet& ds, const std::vector<db::Value>& amounts) {
    std::vector<std::vector<db::Value>> rows;
    int i = 0;
    for (const db::Value& a : amounts) rows.push_back({db::Value(++i), a});
    ds.Open({{QStringLiteral("n"), ftInteger, 0}, {QStringLiteral("amount"), ftFloat, 0}}, rows);
}

struct Totals {
    TDBSumListProducer list;
    TDBSum* sum;
    TDBSum* count;
    int recalcs = 0;
    explicit Totals(TDataSet& ds) {
        list.SetActive(false);
        sum = list.SumCollection().Add();
        sum->SetFieldName(QStringLiteral("amount"));
        count = list.SumCollection().Add();
        count->SetGroupOperation(goCount);
        list.OnRecalcAll = [this] { ++recalcs; };
        list.SetDataSet(&ds);
        list.SetActive(true);
    }
};

TEST(SumList, EditsMoveTheTotalExactlyAndNullTakesTheValueOut) {
    TMemDataSet ds;
    OpenAmounts(ds, {db::Value(10.5), db::Value(2.25), db::Value(0.1)});
    Totals t(ds);
    EXPECT_EQ(t.sum->SumValue, 128500);  // 10.5 + 2.25 + 0.1
    EXPECT_EQ(t.count->SumValue, 30000);

    ds.First();
    ds.FieldByName(QStringLiteral("amount"))->SetValue(db::Value(12.0));
    ds.Post();
    EXPECT_EQ(t.sum->SumValue, 128500 + 15000);  // exactly 1.5 more
    EXPECT_EQ(t.count->SumValue, 30000);         // an edit counts no record

    ds.Next();
    ds.FieldByName(QStringLiteral("amount"))->Clear();
    ds.Post();
    EXPECT_EQ(t.sum->SumValue, 143500 - 22500);

    ds.Edit();  // an edit that is cancelled changes nothing
    ds.FieldByName(QStringLiteral("amount"))->SetValue(db::Value(99.0));
    ds.Cancel();
    EXPECT_EQ(t.sum->SumValue, 121000);
    EXPECT_EQ(t.recalcs, 1);  // only the activation walked the data
}

TEST(SumList, InsertPostCountsInsertCancelDoesNotDeleteSubtracts) {
    TMemDataSet ds;
    OpenAmounts(ds, {db::Value(1.0), db::Value(2.0), db::Value(3.0)});
    Totals t(ds);
    ds.Insert();
    ds.FieldByName(QStringLiteral("amount"))->SetValue(db::Value(4.0));
    ds.Post();
    EXPECT_EQ(t.count->SumValue, 40000);
    EXPECT_EQ(t.sum->SumValue, 100000);

    ds.Append();
    ds.FieldByName(QStringLiteral("amount"))->SetValue(db::Value(7.0));
    ds.Cancel();
    EXPECT_EQ(t.count->SumValue, 40000);
    EXPECT_EQ(t.sum->SumValue, 100000);

    ds.Last();  // the 3.0 record: the insert went before the cursor's record
    const double last = ds.FieldByName(QStringLiteral("amount"))->AsFloat();
    ds.Delete();
    EXPECT_EQ(t.count->SumValue, 30000);
    EXPECT_EQ(t.sum->SumValue, 100000 - CurrencyFromDoubleOr0(last));

    ds.First();  // deleting a record in the middle of an edit subtracts what is stored
    const TCurrency stored = CurrencyFromDoubleOr0(ds.FieldByName(QStringLiteral("amount"))->AsFloat());
    ds.Edit();
    ds.FieldByName(QStringLiteral("amount"))->SetValue(db::Value(500.0));
    ds.Delete();
    EXPECT_EQ(t.sum->SumValue, 100000 - CurrencyFromDoubleOr0(last) - stored);
    EXPECT_EQ(t.count->SumValue, 20000);
}

TEST(SumList, EachRecordIsRoundedToFourDecimalsBeforeItIsAdded) {
    TMemDataSet ds;
    // Each 0.00005 rounds to 0.0001 on its own; summed first they would round to 0.0002. The
    // digits as written decide: 0.00015 is 0.0002, though its binary value lies below.
    OpenAmounts(ds, {db::Value(0.00005), db::Value(0.00005), db::Value(0.00005), db::Value(0.00015)});
    Totals t(ds);
    EXPECT_EQ(t.sum->SumValue, 5);
}

TEST(SumList, ATotalBeyondSixtyFourBitsIsMarkedNeitherWrappedNorDropped) {
    // Two amounts of 9e14 overflow 64 bits of ten-thousandths; 1e15 alone does not fit them.
    for (const auto& amounts : {std::vector<db::Value>{9e14, 9e14}, std::vector<db::Value>{1e15, 1.0}}) {
        TMemDataSet ds;
        OpenAmounts(ds, amounts);
        Totals t(ds);
        EXPECT_TRUE(t.sum->OutOfRange);
        ds.Close();
        OpenAmounts(ds, {db::Value(9e14), db::Value(-9e14)});  // a recount starts afresh
        EXPECT_FALSE(t.sum->OutOfRange);
        EXPECT_EQ(t.sum->SumValue, 0);
    }
}

struct FilteringDataSet : TMemDataSet {
    bool filtered = false;
    QString filter;
    bool Filtered() const override { return filtered; }
    QString Filter() const override { return filter; }
};

TEST(SumList, AFilterChangeThenAScrollRecountsAScrollAloneDoesNot) {
    FilteringDataSet ds;
    OpenAmounts(ds, {db::Value(1.0), db::Value(2.0), db::Value(3.0)});
    Totals t(ds);
    ASSERT_EQ(t.recalcs, 1);
    ds.Next();
    ds.Last();
    EXPECT_EQ(t.recalcs, 1);
    ds.filtered = true;
    ds.filter = QStringLiteral("amount > 1");
    ds.Prior();
    EXPECT_EQ(t.recalcs, 2);
    ds.Prior();
    EXPECT_EQ(t.recalcs, 2);
    ds.filter = QStringLiteral("amount > 2");
    ds.Next();
    EXPECT_EQ(t.recalcs, 3);
}

TEST(SumList, ARecountPutsThePersonBackOnTheirRecord) {
    TMemDataSet ds;
    OpenAmounts(ds, {db::Value(1.0), db::Value(2.0), db::Value(3.0), db::Value(4.0)});
    Totals t(ds);
    ds.SetRecNo(3);
    t.list.RecalcAll();
    EXPECT_EQ(ds.RecNo(), 3);
    EXPECT_EQ(t.sum->SumValue, 100000);
}

TEST(SumList, ExternalRecalcClearsAndOnlyRaisesTheEvent) {
    TMemDataSet ds;
    OpenAmounts(ds, {db::Value(1.0), db::Value(2.0)});
    Totals t(ds);
    ASSERT_EQ(t.sum->SumValue, 30000);
    t.list.SetExternalRecalc(true);  // recounts: clears, raises, walks nothing
    EXPECT_EQ(t.recalcs, 2);
    EXPECT_EQ(t.sum->SumValue, 0);
    EXPECT_EQ(t.count->SumValue, 0);
}

TEST(SumList, DeactivatedOrClosedTotalsAreZeroAndTheLookupIsCaseSensitive) {
    TMemDataSet ds;
    OpenAmounts(ds, {db::Value(1.0)});
    Totals t(ds);
    EXPECT_EQ(t.list.SumCollection().GetSumByOpAndFName(goSum, QStringLiteral("amount")), t.sum);
    EXPECT_EQ(t.list.SumCollection().GetSumByOpAndFName(goSum, QStringLiteral("Amount")), nullptr);
    EXPECT_EQ(t.list.SumCollection().GetSumByOpAndFName(goCount, QString()), t.count);
    ds.Close();
    EXPECT_EQ(t.sum->SumValue, 0);
    OpenAmounts(ds, {db::Value(5.0)});
    EXPECT_EQ(t.sum->SumValue, 50000);  // reopening recounts
    t.list.SetActive(false);
    EXPECT_EQ(t.sum->SumValue, 0);
}

// Records whose order is known only by comparing bookmarks (ids), so the list keeps them.
struct UnsequencedDataSet : TMemDataSet {
    bool IsSequenced() const override { return false; }
    int CompareBookmarks(TBookmark a, TBookmark b) const override { return a < b ? -1 : (a > b ? 1 : 0); }
};

TEST(SumList, VirtualRecordsKeepBookmarksAndAnAbsentOneIsNotFound) {
    UnsequencedDataSet ds;
    OpenAmounts(ds, {db::Value(1.0), db::Value(2.0), db::Value(3.0), db::Value(4.0), db::Value(5.0)});
    Totals t(ds);
    t.list.SetVirtualRecords(true);
    ASSERT_EQ(t.list.Bookmarks().size(), 5u);
    EXPECT_TRUE(t.list.IsSequenced());
    EXPECT_EQ(t.list.RecordCount(), 5);
    const std::vector<TBookmark> marks = t.list.Bookmarks();
    ds.GotoBookmark(marks[2]);
    EXPECT_EQ(t.list.RecNo(), 3);
    ds.Delete();  // the third record's bookmark leaves the list
    ASSERT_EQ(t.list.Bookmarks().size(), 4u);

    // Start the walk on either side of the hole: the absent bookmark lies between two
    // entries, and the search ends with -1 instead of bouncing between them.
    EXPECT_EQ(t.list.FindBookmarkIndex(marks[3]), 2);
    EXPECT_EQ(t.list.FindBookmarkIndex(marks[2]), -1);
    EXPECT_EQ(t.list.FindBookmarkIndex(marks[1]), 1);
    EXPECT_EQ(t.list.FindBookmarkIndex(marks[2]), -1);
    EXPECT_EQ(t.list.FindBookmarkIndex(marks[4] + 100), -1);  // past the end
    EXPECT_EQ(t.list.FindBookmarkIndex(marks[0]), 0);

    ds.Last();
    ds.Append();  // posted at its place in the order; a cancelled insert leaves nothing
    ds.Post();
    EXPECT_EQ(t.list.RecordCount(), 5);
    ds.Append();
    ds.Cancel();
    EXPECT_EQ(t.list.RecordCount(), 5);
    t.list.SetRecNo(2);
    EXPECT_EQ(ds.Bookmark(), marks[1]);
}

TEST(NumberFormat, PatternsGeneralFixedAndCurrencyFormats) {
    EXPECT_EQ(FormatCurr(QStringLiteral("#,##0.00"), 12345678912LL), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(FormatCurr(QStringLiteral("#,##0.00"), -15LL), QStringLiteral("0.00"));   // no sign on a zero
    EXPECT_EQ(FormatCurr(QStringLiteral("#,##0.00"), -50LL), QStringLiteral("-0.01"));  // halves away from zero
    EXPECT_EQ(FormatCurr(QStringLiteral("0.##"), 15000), QStringLiteral("1.5"));
    EXPECT_EQ(FormatCurr(QStringLiteral("#.##"), 5000), QStringLiteral(".5"));
    EXPECT_EQ(FormatCurr(QStringLiteral("0000"), 420000), QStringLiteral("0042"));
    EXPECT_EQ(FormatCurr(QStringLiteral("0.00元;(0.00);零"), -12500), QStringLiteral("(1.25)"));
    EXPECT_EQ(FormatCurr(QStringLiteral("0.00元;(0.00);零"), 0), QStringLiteral("零"));
    EXPECT_EQ(FormatCurr(QStringLiteral("\"共\"0"), 30000), QStringLiteral("共3"));
    EXPECT_EQ(CurrToStrGeneral(60000), QStringLiteral("6"));
    EXPECT_EQ(CurrToStrGeneral(-12345), QStringLiteral("-1.2345"));
    EXPECT_EQ(CurrToStrGeneral(123456789, 4), QStringLiteral("1.235E4"));  // more integer digits than precision
    EXPECT_EQ(CurrToStrGeneral(123456789, 6), QStringLiteral("12345.7"));
    EXPECT_EQ(CurrToStrFixed(12345000, 2), QStringLiteral("1234.50"));
    EXPECT_EQ(CurrToStrCurrency(-12345000), QStringLiteral("￥-1,234.50"));
    TCurrency c = 0;
    EXPECT_TRUE(StrToCurr(QStringLiteral(" -1,234.56789 "), c));
    EXPECT_EQ(c, -12345679);
    EXPECT_FALSE(StrToCurr(QStringLiteral("abc"), c));
    EXPECT_FALSE(StrToCurr(QStringLiteral("1.2.3"), c));
}

// A float's text in cells and exports: the general format with 15 significant digits, the
// very text Qt's own formatter gives, at the edges of the exponent's range, for values whose
// shortest digits are more than 15, and for any bit pattern.
TEST(NumberFormat, FloatsInTheGeneralFormatAreTheTextQtGives) {
    EXPECT_EQ(FloatToStrGeneral(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(FloatToStrGeneral(-16), QStringLiteral("-16"));
    EXPECT_EQ(FloatToStrGeneral(0.0001), QStringLiteral("0.0001"));
    EXPECT_EQ(FloatToStrGeneral(100000000000000.0), QStringLiteral("100000000000000"));
    EXPECT_EQ(FloatToStrGeneral(0.1 + 0.2), QStringLiteral("0.3"));  // 17 shortest digits
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1e-5,
                                  -1e-5,
                                  1e15,
                                  -1e15,
                                  999999999999999.0,
                                  1e300,
                                  5e-324,
                                  1.0 / 3,
                                  2.0 / 3,
                                  0.5e-4,
                                  12345678901234.5,
                                  std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    for (int e = -7; e <= 17; ++e)
        for (double m : {1.0, 1.5, 9.99999999999999, 9.999999999999999, 1.00000000000001, 123456789012345.0})
            values.insert(values.end(), {m * std::pow(10.0, e), -m * std::pow(10.0, e)});
    std::mt19937_64 rng(2012);
    for (int i = 0; i < 100000; ++i) {
        const quint64 bits = rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        const double decimals = double(rng() % 100000000000000ULL) / std::pow(10.0, double(rng() % 20));
        values.insert(values.end(),
                      {d, decimals, -decimals, double(i) * 1.25 + i % 20, double(qint64(rng()) >> (i % 64))});
    }
    int differing = 0;
    for (double v : values)
        if (FloatToStrGeneral(v) != QString::number(v, 'g', 15) && ++differing <= 5)
            ADD_FAILURE() << std::setprecision(17) << v << ": " << FloatToStrGeneral(v).toStdString() << " against "
                          << QString::number(v, 'g', 15).toStdString();
    EXPECT_EQ(differing, 0);
}

TEST(Footers, CountSumStaticAndFieldValueTexts) {
    test::GridHost host(400, 200);
    TMemDataSet ds;
    ds.Open({{QStringLiteral("n"), ftInteger, 0},
             {QStringLiteral("amount"), ftFloat, 0},
             {QStringLiteral("name"), ftString, 10}},
            {{db::Value(1), db::Value(1.25), db::Value(QStringLiteral("a"))},
             {db::Value(2), db::Value(2.5), db::Value(QStringLiteral("b"))},
             {db::Value(3), db::Value(), db::Value(QStringLiteral("c"))}});
    host.Bind(ds);
    TDBGridX& g = *host.grid;
    g.SetFooterRowCount(2);
    g.SumList().SetActive(true);
    TColumnX* n = g.Columns()[0];
    TColumnX* amount = g.Columns()[1];
    TColumnX* name = g.Columns()[2];
    n->Footer()->SetValueType(fvtSum);
    n->Footers()->Add()->SetValueType(fvtCount);
    amount->Footer()->SetValueType(fvtSum);
    name->Footer()->SetValueType(fvtFieldValue);
    name->Footer()->SetFieldName(QStringLiteral("name"));
    name->Footers()->Add()->SetValueType(fvtStaticText);
    name->Footers()->Items(0)->SetValue(QStringLiteral("合计"));

    EXPECT_EQ(g.GetFooterValue(0, n), QStringLiteral("3"));  // row 0: Footers[0], the count
    EXPECT_EQ(g.GetFooterValue(1, n), QStringLiteral("6"));  // row 1 falls back to Footer
    n->Footers()->Items(0)->SetValueType(fvtSum);
    EXPECT_EQ(g.GetFooterValue(0, n), QStringLiteral("6"));
    n->Footer()->SetValueType(fvtCount);
    EXPECT_EQ(g.GetFooterValue(1, n), QStringLiteral("3"));
    EXPECT_EQ(g.GetFooterValue(0, amount), QStringLiteral("3.75"));
    ds.FieldByName(QStringLiteral("amount"))->DisplayFormat = QStringLiteral("#,##0.00");
    EXPECT_EQ(g.GetFooterValue(0, amount), QStringLiteral("3.75"));
    ds.FieldByName(QStringLiteral("amount"))->EditFormat = QStringLiteral("0.0");
    EXPECT_EQ(g.GetFooterValue(0, amount), QStringLiteral("3.8"));
    EXPECT_EQ(g.GetFooterValue(0, name), QStringLiteral("合计"));
    ds.SetRecNo(2);
    EXPECT_EQ(g.GetFooterValue(1, name), QStringLiteral("b"));

    // A footer retyped away from a total gives its item back; the list then holds one
    // item per remaining total footer.
    const int before = g.SumList().SumCollection().Count();
    amount->Footer()->SetValueType(fvtStaticText);
    EXPECT_EQ(g.SumList().SumCollection().Count(), before - 1);
    EXPECT_EQ(FormatFooterSum(ds.FieldByName(QStringLiteral("name")), 10000), QString());
}

TEST(Footers, FooterRowsSitAtTheBottomAndRecordsGiveWay) {
    test::GridHost host(300, 200);
    TMemDataSet ds;
    test::OpenNumbered(ds, 3);
    host.Bind(ds);
    TDBGridX& g = *host.grid;
    g.SetFooterRowCount(1);
    ASSERT_EQ(g.ClientHeight(), 200);
    const int drh = g.DefaultRowHeight();
    const int r = drh + 1;  // dgRowLines is on by default
    const int th = g.RowHeights(0) + 1;
    // Few records: title, 3 records, the filler, the footer. The free space S below the
    // records goes to the filler (S − F − 1), so the footer ends at the bottom edge.
    const int s = 200 - th - 3 * r;
    ASSERT_EQ(g.RowCount(), 1 + 3 + 2);
    EXPECT_EQ(g.DataLink()->RecordCount(), 3);
    EXPECT_EQ(g.RowHeights(4), s - r - 1);
    const QRect footer = g.CellRect(1, 5);
    EXPECT_EQ(footer.top() + footer.height() + 1, 200);

    // Many records: N fit without footers; the last ones give way. With 0 < S < drh one
    // record goes and the filler takes S − 1; with S of 0 or drh two go.
    TMemDataSet many;
    test::OpenNumbered(many, 100);
    host.src.SetDataSet(&many);
    QApplication::processEvents();
    const int n = (200 - th) / r, rest = (200 - th) % r;
    const int shown = (rest > 0 && rest < drh) ? n - 1 : n - 2;
    EXPECT_EQ(g.DataLink()->RecordCount(), shown);
    EXPECT_EQ(g.RowCount() - g.FooterRowCount() - 1, 1 + shown + (rest == drh ? 1 : 0));
    EXPECT_EQ(g.VisibleDataRowCount(), g.VisibleRowCount() - 2);
    many.First();
    const int page = g.VisibleDataRowCount();
    g.KeyDown(Qt::Key_PageDown, {});
    EXPECT_EQ(many.RecNo(), 1 + page);
    EXPECT_GE(page, shown);  // a page is every visible record, not two fewer

    // No records: the filler row and the footer still stand.
    TMemDataSet none;
    test::OpenNumbered(none, 0);
    host.src.SetDataSet(&none);
    QApplication::processEvents();
    EXPECT_EQ(g.RowCount(), 1 + 1 + 2);
}

}  // namespace
