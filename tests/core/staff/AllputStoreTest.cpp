#include "core/staff/AllputStore.h"
#include "core/staff/StaffListWriter.h"
#include "core/staff/StaffValues.h"
#include "tests/core/staff/CellGrid.h"
#include "tests/entry/staff/AllputTestSupport.h"

namespace qm::test {
namespace {

// One row of the batch sheet: its texts, codes and flag.
struct AllputRow {
    int sheetRow = 0;
    std::array<QString, kStaffSheetTexts> text;
    std::array<QString, kStaffAttrCount> code;
    QString isOk = QStringLiteral("1");
};

// The start-of-period list as the batch sheet stores it through the staff list writer.
class AllputStoreTest : public AllputFixture {
protected:
    static AllputRow Row(int sheetRow, const QString& name, const QString& number) {
        AllputRow r;
        r.sheetRow = sheetRow;
        const QStringList t = GoodRow(name, number);
        for (int c = 0; c < 18; ++c) r.text[size_t(c)] = t[c];
        const char* codes[] = {"1", "2", "1", "3", "41", "33", "56", "1", "1", "2", "2", "1", "1"};
        for (int c = 0; c < 13; ++c) r.code[size_t(c)] = QString::fromLatin1(codes[c]);
        return r;
    }
    QString Col(const QString& col, const QString& number) {
        return Scalar(QStringLiteral("select coalesce(typeof(%1) || ':' || %1, 'null') from Staff_moninfo "
                                     "where sMon=0 and sNumber=?")
                          .arg(col),
                      {number});
    }
    AllputStore store{base.db()};
    db::MonthLoad shown;  // what the batch sheet shows: the saves replace only that list
    void Save(const std::vector<AllputRow>& rows, StaffColumns cols) {
        CellGrid g;
        std::vector<QString> flags;
        for (const AllputRow& r : rows) {
            for (int c = 1; c <= kStaffSheetTexts; ++c) g.Set(r.sheetRow, c, r.text[size_t(c - 1)]);
            for (int c = 0; c < kStaffAttrCount; ++c) g.Set(r.sheetRow, kStaffFirstCodeCol + c, r.code[size_t(c)]);
            flags.push_back(r.isOk);
        }
        const CellReader cell = g.Reader();
        StaffListWriter(db(), Month::Start(), cols)
            .Replace({rows.front().sheetRow, rows.back().sheetRow, cell, flags}, shown);
    }
    // The list as stored, shown again (the batch sheet reloads when it becomes active).
    void Show() {
        const db::WriteStamp before = db::StampOf(db());
        db::RowsFingerprint fingerprint;
        store.Load(&fingerprint);
        shown.Loaded(Month::Start(), fingerprint, before, fingerprint.rows);
    }
};

TEST_F(AllputStoreTest, EachClassStoresItsOwnColumnSetWithTypedValues) {
    Save({Row(3, QStringLiteral("张三"), QStringLiteral("A1"))}, StaffColumns::Base);
    EXPECT_EQ(Col("sTqrz", "A1"), QStringLiteral("text:是"));
    EXPECT_EQ(Col("sqrz", "A1"), QStringLiteral("integer:1"));
    EXPECT_EQ(Col("sWorks", "A1"), QStringLiteral("integer:20"));
    EXPECT_EQ(Col("sPost", "A1"), QStringLiteral("integer:41"));
    EXPECT_EQ(Col("sTgc", "A1"), QStringLiteral("null"));
    EXPECT_EQ(Col("sTyg", "A1"), QStringLiteral("null"));
    EXPECT_EQ(Col("syg", "A1"), QStringLiteral("null"));
    EXPECT_EQ(Col("sIsok", "A1"), QStringLiteral("text:1"));
    EXPECT_EQ(Col("sMon", "A1"), QStringLiteral("integer:0"));

    Save({Row(3, QStringLiteral("张三"), QStringLiteral("A1"))}, StaffColumns::AboveSize);
    EXPECT_EQ(Col("sTyg", "A1"), QStringLiteral("text:是"));
    EXPECT_EQ(Col("syg", "A1"), QStringLiteral("integer:1"));
    EXPECT_EQ(Col("sTgc", "A1"), QStringLiteral("null"));
    EXPECT_EQ(Col("sgc", "A1"), QStringLiteral("null"));

    Save({Row(3, QStringLiteral("张三"), QStringLiteral("A1"))}, StaffColumns::All);
    EXPECT_EQ(Col("sTgc", "A1"), QStringLiteral("text:否"));
    EXPECT_EQ(Col("sTsg", "A1"), QStringLiteral("text:否"));
    EXPECT_EQ(Col("ssg", "A1"), QStringLiteral("integer:1"));
    EXPECT_EQ(Col("syg", "A1"), QStringLiteral("integer:1"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Staff_moninfo")), QStringLiteral("1"));

    const auto cls = [](const char* depInfo) { return UnitClass::Decode(QString(), QString::fromUtf8(depInfo)); };
    EXPECT_EQ(StaffColumnsFor(cls(" 规上 ")), StaffColumns::AboveSize);
    EXPECT_EQ(StaffColumnsFor(cls("是2")), StaffColumns::All);
    EXPECT_EQ(StaffColumnsFor(cls("其他")), StaffColumns::Base);
}

TEST_F(AllputStoreTest, BlanksBecomeNullTextsKeepTheirBlanksNumbersAreTrimmedNamesAreNeverNull) {
    AllputRow r = Row(3, QStringLiteral("O'Neil\"李"), QStringLiteral("  B7 "));
    r.text[8] = QStringLiteral(" 大学本科 ");
    r.text[10] = QStringLiteral("   ");
    r.text[6] = QStringLiteral(" 2.5 ");
    r.text[7] = QString();
    r.code[5] = QString();
    r.isOk = QStringLiteral("0");
    AllputRow empty = Row(4, QStringLiteral("王五"), QString());
    Save({r, empty}, StaffColumns::Base);
    EXPECT_EQ(Col("sName", "B7"), QStringLiteral("text:O'Neil\"李"));
    EXPECT_EQ(Col("sTEdu", "B7"), QStringLiteral("text: 大学本科 "));
    EXPECT_EQ(Col("sTGrade", "B7"), QStringLiteral("null"));
    EXPECT_EQ(Col("sWorks", "B7"), QStringLiteral("real:2.5"));
    EXPECT_EQ(Col("sWork", "B7"), QStringLiteral("null"));
    EXPECT_EQ(Col("sPostGrade", "B7"), QStringLiteral("null"));
    EXPECT_EQ(Col("sIsok", "B7"), QStringLiteral("text:0"));
    EXPECT_EQ(Col("sName", ""), QStringLiteral("text:王五"));
    EXPECT_EQ(Scalar(QStringLiteral(
                  "select group_concat(sNumber, '|') from (select sNumber from Staff_moninfo order by id)")),
              QStringLiteral("B7|"));
}

TEST_F(AllputStoreTest, DutyTextIsCarriedOverByStaffNumber) {
    Save({Row(3, QStringLiteral("张三"), QStringLiteral("A1")), Row(4, QStringLiteral("李四"), QStringLiteral("A2"))},
         StaffColumns::Base);
    db().Exec(QStringLiteral("update Staff_moninfo set sGw='出纳' where sNumber='A1'"));
    db().Exec(QStringLiteral("update Staff_moninfo set sGw='会计' where sNumber='A2'"));
    // A month-1 row of A2 with another duty must not leak into the start-of-period list.
    db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber, sGw) values (1, '李四', 'A3', '主任')"));
    Save({Row(3, QStringLiteral("李四"), QStringLiteral(" A2")), Row(4, QStringLiteral("赵六"), QStringLiteral("A3")),
          Row(5, QStringLiteral("张三"), QStringLiteral("A1"))},
         StaffColumns::Base);
    EXPECT_EQ(Col("sGw", "A1"), QStringLiteral("text:出纳"));
    EXPECT_EQ(Col("sGw", "A2"), QStringLiteral("text:会计"));
    EXPECT_EQ(Col("sGw", "A3"), QStringLiteral("null"));
}

// The duty of a number is its first stored row's that has one, found by the stored number
// trimmed, whatever order the month's rows are read in.
TEST_F(AllputStoreTest, TheFirstStoredRowOfANumberLendsItsDuty) {
    for (const char* row : {"'C1 ', '出纳')", "'C1', '会计')", "'C2', null)", "'C2', '司机')"})
        db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber, sGw) values (0, '某', ") +
                  QString::fromUtf8(row));
    Show();
    Save({Row(3, QStringLiteral("甲"), QStringLiteral("C1")), Row(4, QStringLiteral("乙"), QStringLiteral("C2"))},
         StaffColumns::Base);
    EXPECT_EQ(Col("sGw", "C1"), QStringLiteral("text:出纳"));
    EXPECT_EQ(Col("sGw", "C2"), QStringLiteral("text:司机"));
}

TEST_F(AllputStoreTest, AFailingRowRollsEverythingBackAndIsNamed) {
    Save({Row(3, QStringLiteral("张三"), QStringLiteral("A1"))}, StaffColumns::Base);
    db().Exec(
        QStringLiteral("create trigger boom before insert on Staff_moninfo when new.sName='坏行' "
                       "begin select raise(abort, 'refused'); end"));
    try {
        Save({Row(3, QStringLiteral("李四"), QStringLiteral("A2")),
              Row(4, QStringLiteral("坏行"), QStringLiteral("A3"))},
             StaffColumns::Base);
        FAIL() << "the save went through";
    } catch (const SaveFailure& e) {
        EXPECT_EQ(e.row(), 4);
        EXPECT_TRUE(e.Message().contains(QStringLiteral("第2行"))) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("refused")));
    }
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(sNumber) from Staff_moninfo")), QStringLiteral("A1"));
    EXPECT_FALSE(db().InTransaction());

    AllputRow bad = Row(5, QStringLiteral("王五"), QStringLiteral("A5"));
    bad.text[7] = QStringLiteral("十年");
    EXPECT_THROW(Save({bad}, StaffColumns::Base), SaveFailure);
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(sNumber) from Staff_moninfo")), QStringLiteral("A1"));
}

// A number that stands twice in the list, as stored (trimmed), is refused before the stored
// list is touched, naming its second row; distinct numbers and rows without one are stored.
TEST_F(AllputStoreTest, ANumberTwiceInTheListIsRefusedBeforeAnythingIsWritten) {
    const struct {
        std::vector<const char*> numbers;
        int refusedRow;  // 0: stored
        const char* number;
    } cases[] = {{{" A1", "B2", "A1\r\n"}, 5, "A1"},
                 {{"A1", "B2", "B2", "A1"}, 5, "B2"},
                 {{"", " ", "A1", "a1", "A1　"}, 0, ""}};
    for (const auto& k : cases) {
        Save({Row(3, QStringLiteral("原有"), QStringLiteral("A1"))}, StaffColumns::Base);
        std::vector<AllputRow> rows;
        for (const char* n : k.numbers) rows.push_back(Row(3 + int(rows.size()), QStringLiteral("某"), n));
        try {
            Save(rows, StaffColumns::Base);
            EXPECT_EQ(k.refusedRow, 0) << k.numbers[0];
        } catch (const staffvalue::NumberTaken& e) {
            EXPECT_EQ(e.Row(), k.refusedRow) << k.numbers[0];
            EXPECT_EQ(e.Text(), staffvalue::NumberTwiceText(QStringLiteral("某"), k.number, QStringLiteral("某"),
                                                            Month::Start()));
        }
        EXPECT_EQ(Scalar(QStringLiteral("select count(*) from Staff_moninfo")),
                  QString::number(k.refusedRow ? 1 : rows.size()));
        EXPECT_FALSE(db().InTransaction());
    }
}

TEST_F(AllputStoreTest, LoadReadsTheStartOfPeriodListInEntryOrder) {
    const QString ins = QStringLiteral(
        "insert into Staff_moninfo (id, sMon, sName, sNumber, sWorks, sTyg, sIsok) values (?,?,?,?,?,?,?)");
    db().Exec(ins, {9, 0, QStringLiteral("乙"), QStringLiteral("B"), 3, nullptr, QStringLiteral("0")});
    db().Exec(ins, {4, 0, QStringLiteral("甲"), QStringLiteral("A"), 2.5, QStringLiteral("是"), QStringLiteral("1")});
    db().Exec(ins, {5, 1, QStringLiteral("丙"), QStringLiteral("C"), 1, nullptr, QStringLiteral("1")});
    auto all = store.Load();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0][0], QStringLiteral("甲"));
    EXPECT_EQ(all[0][6], QStringLiteral("2.5"));
    EXPECT_EQ(all[0][17], QStringLiteral("是"));
    EXPECT_EQ(all[1][0], QStringLiteral("乙"));
    EXPECT_EQ(all[1][17], QString());
    EXPECT_TRUE(store.HasFailingRows());

    // A view Vmon without start-of-period rows sends the load to V.
    db().Exec(QStringLiteral("drop view Vmon"));
    db().Exec(QStringLiteral("create view Vmon as select * from Staff_moninfo where sMon<>0"));
    EXPECT_EQ(store.Load().size(), 2u);
}

}  // namespace
}  // namespace qm::test
