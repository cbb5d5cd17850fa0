#include "core/db/Schema.h"
#include "core/db/StaffTable.h"
#include "core/unit/HistoryImport.h"
#include "tests/support/MaintFixture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

using namespace qm;

namespace {

using Row = std::vector<std::pair<const char*, db::Value>>;

const QString kFullWidth = QString(QChar(0x3000));

// The predecessor's rows, with awkward values: blanks everywhere, a quote, empty codes, a
// full-width blank that must survive, nulls, and a row without a month.
const std::vector<Row>& OldStaff() {
    static const std::vector<Row> rows = {
        {{"sMon", 12},
         {"sName", "  张 三 "},
         {"sNumber", " 001 "},
         {"sTsex", ""},
         {"sSex", ""},
         {"sGw", "O'Brien组"},
         {"sBirth", "1980-05"},
         {"sPost", 41},
         {"sTyg", " "},
         {"sIsok", "1"},
         {"sWorks", 1990}},
        {{"sMon", 12},
         {"sName", kFullWidth + QStringLiteral("李 四")},
         {"sNumber", "002"},
         {"sTsex", "女"},
         {"sSex", 2},
         {"sGw", "工程师"},
         {"sPost", 11},
         {"sTyg", "是"},
         {"syg", 1},
         {"sIsok", "0"}},
        {{"sMon", 5}, {"sName", "赵六"}, {"sNumber", "003  "}, {"sTsex", "男"}, {"sSex", 1}, {"sIsok", "1"}},
        {{"sMon", 0}, {"sName", "钱七"}, {"sNumber", "004"}, {"sSex", 1}, {"sIsok", "1"}},
        {{"sMon", 5}, {"sName", "孙八"}, {"sNumber", "005"}, {"sSex", 2}, {"sIsok", "1"}},
        {{"sMon", nullptr}, {"sName", "无月份"}, {"sNumber", "006"}},
    };
    return rows;
}

// What a staff import says of the fixture's row without a month (006) and of its row whose
// sex code is stored as the empty text (001, month 12).
const QString kNoMonthLeft = QStringLiteral("\n另有1条人员记录没有有效的月份，未导入。");
const QString kBlankCodeMarked =
    QStringLiteral("\n其中1条人员记录的代码是空白文字，已存为空并标为错误，请在人员错误信息中核实。");

const std::vector<Row>& OldWages() {
    static const std::vector<Row> rows = {
        {{"sMon", 5},
         {"sNumber", "003   "},
         {"sName", " 赵 六"},
         {"sTotal", 3000},
         {"sN1", 1100},
         {"sN2", 900},
         {"sN3", 600},
         {"sN4", 400},
         {"sN5", 88.5},
         {"sFlag", "1"},
         {"wFlag", "0"}},
        {{"sMon", 12},
         {"sNumber", "001"},
         {"sName", "张三"},
         {"sTotal", 5000},
         {"sN1", 5000},
         {"sFlag", ""},
         {"wFlag", "1"}},
        {{"sMon", 5},
         {"sNumber", "005"},
         {"sName", "孙八"},
         {"sTotal", ""},
         {"sN1", " "},
         {"sFlag", "1"},
         {"wFlag", "1"}},
    };
    return rows;
}

const char* const kStaffColumns =
    "id, sMon, sName, sNumber, sTsex, sSex, sTnation, sNation, sTparty, sParty, sBirth, sWorks, sWork, sTEdu, "
    "sEducation, sGw, sTPost, sPost, sTGrade, sPostGrade, sTJGrade, sJGrade, sTsf, ssf, sTqrz, sqrz, sTgc, sgc, "
    "sTjzs, sjzs, sTsg, ssg, sTyg, syg, sIsok";

void Insert(db::Connection& c, const char* table, const Row& row, bool asText) {
    QStringList cols, marks;
    db::Params params;
    for (const auto& [name, value] : row) {
        cols << QString::fromLatin1(name);
        marks << QStringLiteral("?");
        params.push_back(asText && !value.IsNull() ? db::Value(value.AsString()) : value);
    }
    c.Exec(QStringLiteral("insert into %1(%2) values(%3)").arg(QLatin1String(table), cols.join(','), marks.join(',')),
           params);
}

// An old installation: <folder>/Database/RCdatabase.mdb. Typed, it is built from this
// system's schema; loosely typed, its two tables declare every column TEXT (and may lack a
// wage column).
struct OldInstall {
    enum class Kind { Typed, AllText };
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("old"));
    QString file;

    explicit OldInstall(Kind kind = Kind::Typed, const char* missingWageColumn = nullptr,
                        const QString& dbFolder = QStringLiteral("Database"),
                        const QString& dbName = QStringLiteral("RCdatabase.mdb")) {
        QDir().mkpath(folder + QLatin1Char('/') + dbFolder);
        file = folder + QLatin1Char('/') + dbFolder + QLatin1Char('/') + dbName;
        db::Connection c;
        if (kind == Kind::Typed) {
            CreateEmptyDatabase(file);
            c.Open(file);
        } else {
            QFile(file).open(QIODevice::WriteOnly);
            c.Open(file);
            QStringList staff;
            for (const QString& col : QString::fromLatin1(kStaffColumns).split(QStringLiteral(", ")))
                staff << col + QStringLiteral(" text");
            c.Exec(QStringLiteral("create table Staff_moninfo (%1)").arg(staff.join(',')));
            QStringList wage;
            for (const char* col :
                 {"id", "sNumber", "sName", "Smon", "sN1", "sN2", "sN3", "sN4", "sN5", "sTotal", "sFlag", "wFlag"})
                if (!missingWageColumn || qstrcmp(col, missingWageColumn) != 0)
                    wage << QString::fromLatin1(col) + QStringLiteral(" text");
            c.Exec(QStringLiteral("create table Wage_Info (%1)").arg(wage.join(',')));
        }
        const bool asText = kind == Kind::AllText;
        for (const Row& r : OldStaff()) Insert(c, "Staff_moninfo", r, asText);
        for (const Row& r : OldWages()) {
            Row w;
            for (const auto& p : r)
                if (!missingWageColumn || qstrcmp(p.first, missingWageColumn) != 0) w.push_back(p);
            Insert(c, "Wage_Info", w, asText);
        }
    }
    void Add(const char* table, const Row& row) {
        db::Connection c;
        c.Open(file);
        Insert(c, table, row, false);
    }
    // Without the rows every installation starts with.
    void Clear() {
        db::Connection c;
        c.Open(file);
        c.Exec(QStringLiteral("delete from Staff_moninfo"));
        c.Exec(QStringLiteral("delete from Wage_Info"));
    }
};

class HistoryImportTest : public ::testing::Test, public qm::test::MaintFixture {
protected:
    HistoryImport imp{db(), ui, pb, &main};
    // "value|typeof" of one column of the target row chosen by `where`.
    QString Cell(const char* table, const char* col, const QString& where) {
        return Scalar(
            QStringLiteral("select coalesce(%2,'<null>')||'|'||typeof(%2) from %1 where %3 order by id limit 1")
                .arg(QLatin1String(table), QLatin1String(col), where));
    }
    QString Staff(const char* col, const QString& number) {
        return Cell("Staff_moninfo", col, QStringLiteral("sNumber='%1'").arg(number));
    }
    int Rows(const char* table) { return Count(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))); }
};

// ---------------------------------------------------------------- the five choices

TEST_F(HistoryImportTest, YearEndBecomesTheStartOfPeriodList) {
    OldInstall old;
    ASSERT_TRUE(imp.Start(old.folder, 0));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("导入完成，共2条记录。") + kNoMonthLeft + kBlankCodeMarked});
    EXPECT_EQ(Rows("Staff_moninfo"), 2);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sMon=0 and typeof(sMon)='integer'")), 2);
    EXPECT_EQ(Staff("sName", "001"), QStringLiteral("张三|text"));
    EXPECT_EQ(Staff("sName", "002"), kFullWidth + QStringLiteral("李四|text"));
    EXPECT_EQ(Staff("sGw", "001"), QStringLiteral("O'Brien组|text"));
    // Empty texts stay the empty text here; empty numbers are null, never ''.
    EXPECT_EQ(Staff("sTsex", "001"), QStringLiteral("|text"));
    EXPECT_EQ(Staff("sTyg", "001"), QStringLiteral("|text"));
    EXPECT_EQ(Staff("sSex", "001"), QStringLiteral("<null>|null"));
    EXPECT_EQ(Staff("syg", "001"), QStringLiteral("<null>|null"));
    EXPECT_EQ(Staff("sPost", "001"), QStringLiteral("41|integer"));
    EXPECT_EQ(Staff("sWorks", "001"), QStringLiteral("1990|integer"));
    EXPECT_EQ(Staff("sSex", "002"), QStringLiteral("2|integer"));
    EXPECT_EQ(Staff("sIsok", "002"), QStringLiteral("0|text"));
    EXPECT_EQ(pb.values, (std::vector<int>{0, 50, 0}));
    EXPECT_EQ(main.monthRefreshes, 1);
    EXPECT_EQ(main.initialRefreshes, 1);
}

TEST_F(HistoryImportTest, YearEndOverAnExistingStartOfPeriodListAsksFirst) {
    OldInstall old;
    AddStaff(0, QStringLiteral("900"));
    ui.answers = {DlgAnswer::No};
    EXPECT_FALSE(imp.Start(old.folder, 0));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("已有期初数据，是否继续导入？")});
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(Rows("Staff_moninfo"), 1);
    ui.Clear();
    ui.answers = {DlgAnswer::Yes};
    EXPECT_TRUE(imp.Start(old.folder, 0));
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Staff_moninfo where sMon=0")), 3);  // appended
}

TEST_F(HistoryImportTest, StartOfPeriodStaffOfThisYear) {
    OldInstall old;
    ASSERT_TRUE(imp.Start(old.folder, 1));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("导入完成，共1条月度人员记录。") + kNoMonthLeft});
    EXPECT_EQ(Staff("sMon", "004"), QStringLiteral("0|integer"));
    EXPECT_EQ(Rows("Staff_moninfo"), 1);
    EXPECT_EQ(pb.values, (std::vector<int>{100, 0}));
}

TEST_F(HistoryImportTest, MonthlyStaffComeHighestMonthFirstWithEmptyCodesNullAndNeverTwice) {
    OldInstall old;
    ASSERT_TRUE(imp.Start(old.folder, 2));
    EXPECT_EQ(ui.Texts(),
              QStringList{QStringLiteral("导入完成，共4条月度人员记录。") + kNoMonthLeft + kBlankCodeMarked});
    db::Query q(db());
    q.Open(QStringLiteral("select sMon, sNumber from Staff_moninfo order by id"));
    QStringList got;
    for (; !q.Eof(); q.Next()) got << q.Fields(0).AsString() + QLatin1Char(':') + q.Fields(1).AsString();
    EXPECT_EQ(got, (QStringList{"12:001", "12:002", "5:003", "5:005"}));
    // Staff numbers are trimmed; empty texts and codes are null.
    EXPECT_EQ(Staff("sTsex", "001"), QStringLiteral("<null>|null"));
    EXPECT_EQ(Staff("sTyg", "001"), QStringLiteral("<null>|null"));
    EXPECT_EQ(Staff("sSex", "001"), QStringLiteral("<null>|null"));
    EXPECT_EQ(Staff("sTsex", "003"), QStringLiteral("男|text"));
    EXPECT_EQ(Staff("sMon", "003"), QStringLiteral("5|integer"));
    EXPECT_EQ(pb.values, (std::vector<int>{25, 50, 75, 100, 0}));

    ui.Clear();
    ASSERT_TRUE(imp.Start(old.folder, 2));
    EXPECT_EQ(Rows("Staff_moninfo"), 4);
}

TEST_F(HistoryImportTest, WagesNeedMonthlyStaffFirst) {
    OldInstall old;
    AddStaff(0, QStringLiteral("001"));
    EXPECT_FALSE(imp.Start(old.folder, 3));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("没有月度人员数据，请先导入月度人员数据。")});
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::YesOnly);
    EXPECT_EQ(Rows("Wage_Info"), 0);
    EXPECT_EQ(main.initialRefreshes, 0);
}

TEST_F(HistoryImportTest, WagesKeepTheirMonthsAndFlagsWithTrimmedNumbers) {
    OldInstall old;
    AddStaff(5, QStringLiteral("003"));
    ASSERT_TRUE(imp.Start(old.folder, 3));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("导入完成，共3条工资记录。")});
    auto wage = [&](const char* col, const char* number) {
        return Cell("Wage_Info", col, QStringLiteral("sNumber='%1'").arg(QLatin1String(number)));
    };
    EXPECT_EQ(wage("sName", "003"), QStringLiteral("赵六|text"));
    EXPECT_EQ(wage("Smon", "003"), QStringLiteral("5|integer"));
    EXPECT_EQ(wage("sN5", "003"), QStringLiteral("88.5|real"));
    EXPECT_EQ(wage("sTotal", "003"), QStringLiteral("3000|integer"));
    EXPECT_EQ(wage("sFlag", "003"), QStringLiteral("1|text"));
    EXPECT_EQ(wage("wFlag", "003"), QStringLiteral("0|text"));
    EXPECT_EQ(wage("sFlag", "001"), QStringLiteral("|text"));
    EXPECT_EQ(wage("sN5", "001"), QStringLiteral("<null>|null"));
    EXPECT_EQ(wage("sTotal", "005"), QStringLiteral("<null>|null"));
    EXPECT_EQ(wage("sN1", "005"), QStringLiteral("<null>|null"));
    // The trimmed number joins its staff row.
    EXPECT_EQ(Count(QStringLiteral("select count(*) from VmonWage where sNumber='003' and Smon=5")), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(Smon) from (select Smon from Wage_Info order by id)")),
              QStringLiteral("12,5,5"));
    EXPECT_EQ(pb.values, (std::vector<int>{0, 33, 66, 0}));
    EXPECT_EQ(main.initialRefreshes, 1);
}

TEST_F(HistoryImportTest, WageRowsWithoutAMonthOneToTwelveAreCountedNotImported) {
    OldInstall old;
    old.Add("Wage_Info", {{"sMon", 0}, {"sNumber", "007"}, {"sName", "期初"}, {"sTotal", 3000}});
    old.Add("Wage_Info", {{"sMon", nullptr}, {"sNumber", "008"}, {"sName", "无月份"}, {"sTotal", 3000}});
    old.Add("Wage_Info", {{"sMon", " "}, {"sNumber", "009"}, {"sName", "空月份"}, {"sTotal", 3000}});
    AddStaff(5, QStringLiteral("003"));
    ASSERT_TRUE(imp.Start(old.folder, 3));
    EXPECT_EQ(ui.Texts(),
              QStringList{QStringLiteral("导入完成，共3条工资记录。\n另有3条工资记录没有1至12月的月份，未导入。")});
    EXPECT_EQ(Rows("Wage_Info"), 3);
    EXPECT_EQ(Count(QStringLiteral("select count(*) from Wage_Info where Smon not between 1 and 12")), 0);
    EXPECT_EQ(pb.values.back(), 0);
}

TEST_F(HistoryImportTest, WageAmountsTheSheetWouldNotAcceptAreTakenOverWithTheirErrorFlag) {
    OldInstall old(OldInstall::Kind::AllText);
    auto wage = [&](const char* number, db::Value total, db::Value n1) {
        old.Add("Wage_Info", {{"sMon", 6},
                              {"sNumber", number},
                              {"sName", "甲"},
                              {"sTotal", total},
                              {"sN1", n1},
                              {"sFlag", "1"},
                              {"wFlag", "1"}});
    };
    wage("101", 1e300, 1e300);
    wage("102", "9e18", "9e18");
    wage("103", "Infinity", "3000");
    wage("104", "３０００", nullptr);
    wage("105", 3000, 1e300);     // an item no total of the sheet can hold
    wage("106", 120000, 120000);  // above the upper limit, accepted before: the flag stays
    wage("107", 3000, 3000);
    wage("108", "1000000000000000", 3000);   // the first amount no longer held
    wage("109", "999999999999999", 3000);    // the last one held
    wage("110", "-1000000000000000", 3000);  // and below zero
    AddStaff(5, QStringLiteral("003"));
    ASSERT_TRUE(imp.Start(old.folder, 3));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("导入完成，共13条工资记录。\n其中7条工资记录的金额不是有效的数字或"
                                                     "超出可以处理的范围，已标为错误，请在工资错误信息中核实。")});
    auto cell = [&](const char* col, const char* number) {
        return Cell("Wage_Info", col, QStringLiteral("sNumber='%1'").arg(QLatin1String(number)));
    };
    for (const char* n : {"101", "102", "103", "104", "105", "108", "110"}) {
        EXPECT_EQ(cell("wFlag", n), QStringLiteral("0|text")) << n;
        EXPECT_EQ(cell("sFlag", n), QStringLiteral("1|text")) << n;
    }
    EXPECT_EQ(cell("wFlag", "106"), QStringLiteral("1|text"));
    EXPECT_EQ(cell("wFlag", "107"), QStringLiteral("1|text"));
    EXPECT_EQ(cell("wFlag", "109"), QStringLiteral("1|text"));
    EXPECT_EQ(cell("sTotal", "109"), QStringLiteral("999999999999999|integer"));
    EXPECT_EQ(cell("sTotal", "101"), QStringLiteral("1.0e+300|real"));
    EXPECT_EQ(cell("sTotal", "103"), QStringLiteral("<null>|null"));  // no number: kept empty
    EXPECT_EQ(cell("sN1", "103"), QStringLiteral("3000|integer"));
    EXPECT_EQ(cell("sTotal", "104"), QStringLiteral("<null>|null"));
}

TEST_F(HistoryImportTest, StaffAndWagesTogether) {
    OldInstall old;
    ASSERT_TRUE(imp.Start(old.folder, 4));
    EXPECT_EQ(ui.Texts(),
              (QStringList{QStringLiteral("导入完成，共4条月度人员记录。") + kNoMonthLeft + kBlankCodeMarked,
                           QStringLiteral("导入完成，共3条工资记录。")}));
    EXPECT_EQ(Rows("Staff_moninfo"), 4);
    EXPECT_EQ(Rows("Wage_Info"), 3);
    EXPECT_EQ(main.monthRefreshes, 1);
    EXPECT_EQ(main.initialRefreshes, 1);
}

// ---------------------------------------------------------------- loosely typed and broken sources

TEST_F(HistoryImportTest, ALooselyTypedSourceGivesNumbersInNumberColumns) {
    OldInstall old(OldInstall::Kind::AllText);
    ASSERT_TRUE(imp.Start(old.folder, 4));
    EXPECT_EQ(Rows("Staff_moninfo"), 4);
    EXPECT_EQ(Staff("sMon", "001"), QStringLiteral("12|integer"));
    EXPECT_EQ(Staff("sPost", "001"), QStringLiteral("41|integer"));
    EXPECT_EQ(Staff("sWorks", "001"), QStringLiteral("1990|integer"));
    EXPECT_EQ(Staff("sName", "002"), kFullWidth + QStringLiteral("李四|text"));
    EXPECT_EQ(Cell("Wage_Info", "sN5", QStringLiteral("sNumber='003'")), QStringLiteral("88.5|real"));
    EXPECT_EQ(Scalar(QStringLiteral("select group_concat(sMon) from (select sMon from Staff_moninfo order by id)")),
              QStringLiteral("12,12,5,5"));
}

// Numbers stored as numbers are taken as their text would be: whole, exact beyond a double's
// precision, and a month beyond 12 stops the import naming it.
TEST_F(HistoryImportTest, NumbersStoredAsNumbersAreTakenAsTheirTextWouldBe) {
    {
        OldInstall old;
        old.Add("Staff_moninfo", {{"sMon", 3}, {"sName", "周九"}, {"sNumber", "007"}, {"sWorks", 9007199254740993LL}});
        old.Add("Wage_Info", {{"sMon", 3}, {"sNumber", "007"}, {"sName", "周九"}, {"sN1", -7}, {"sTotal", 0}});
        ASSERT_TRUE(imp.Start(old.folder, 4)) << ui.Texts().join('|').toStdString();
        EXPECT_EQ(Staff("sWorks", "007"), QStringLiteral("9007199254740993|integer"));
        EXPECT_EQ(Staff("sMon", "007"), QStringLiteral("3|integer"));
        EXPECT_EQ(Cell("Wage_Info", "sN1", QStringLiteral("sNumber='007'")), QStringLiteral("-7|integer"));
        EXPECT_EQ(Cell("Wage_Info", "sTotal", QStringLiteral("sNumber='007'")), QStringLiteral("0|integer"));
    }
    db().Exec(QStringLiteral("delete from Staff_moninfo"));
    db().Exec(QStringLiteral("delete from Wage_Info"));
    ui.Clear();
    OldInstall old;
    old.Add("Staff_moninfo", {{"sMon", 13}, {"sName", "周九"}, {"sNumber", "007"}});
    EXPECT_FALSE(imp.Start(old.folder, 4));
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("sMon")) && ui.Texts()[0].contains(QStringLiteral("：“13”")))
        << ui.Texts()[0].toStdString();
    EXPECT_EQ(Rows("Staff_moninfo"), 0);
}

TEST_F(HistoryImportTest, AValueThatIsNoNumberStopsTheImportAndNothingStays) {
    OldInstall old(OldInstall::Kind::AllText);
    old.Add("Staff_moninfo", {{"sMon", "3"}, {"sName", "周九"}, {"sNumber", "007"}, {"sSex", "男"}});
    EXPECT_FALSE(imp.Start(old.folder, 4));
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].startsWith(QStringLiteral("导入失败")));
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("sSex")));
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("男")));
    EXPECT_EQ(Rows("Staff_moninfo"), 0);
    EXPECT_EQ(Rows("Wage_Info"), 0);
    EXPECT_EQ(main.monthRefreshes, 0);
}

TEST_F(HistoryImportTest, AMissingColumnRollsBackBothSteps) {
    OldInstall old(OldInstall::Kind::AllText, "sN5");
    EXPECT_FALSE(imp.Start(old.folder, 4));
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("sN5")));
    EXPECT_EQ(Rows("Staff_moninfo"), 0);
    EXPECT_FALSE(db().InTransaction());
}

TEST_F(HistoryImportTest, AMissingStaffColumnIsNamedAsTheOldProgramSpelledIt) {
    for (const auto& [dropped, named] : {std::pair{"sTGrade", "STGrade"}, std::pair{"sTJGrade", "sTJgrade"}}) {
        OldInstall old;
        {
            db::Connection c;
            c.Open(old.file);
            c.Exec(QStringLiteral("alter table Staff_moninfo drop column %1").arg(QLatin1String(dropped)));
        }
        ui.Clear();
        EXPECT_FALSE(imp.Start(old.folder, 0));
        ASSERT_EQ(ui.Texts().size(), 1);
        EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("原系统数据库的Staff_moninfo表缺少列%1。").arg(named)))
            << ui.Texts()[0].toStdString();
    }
}

TEST_F(HistoryImportTest, AnInsertRefusedMidwayLeavesTheTargetAsItWas) {
    OldInstall old;
    AddStaff(0, QStringLiteral("900"));
    db().Exec(
        QStringLiteral("create trigger refuse before insert on Wage_Info when new.sNumber='005' "
                       "begin select raise(abort, 'injected'); end"));
    EXPECT_FALSE(imp.Start(old.folder, 4));
    ASSERT_EQ(ui.Texts().size(), 1);
    EXPECT_TRUE(ui.Texts()[0].startsWith(QStringLiteral("导入失败")));
    EXPECT_TRUE(ui.Texts()[0].contains(QStringLiteral("injected")));
    EXPECT_EQ(Rows("Staff_moninfo"), 1);
    EXPECT_EQ(Rows("Wage_Info"), 0);
    EXPECT_EQ(pb.values.back(), 0);
    EXPECT_EQ(main.initialRefreshes, 0);
}

TEST_F(HistoryImportTest, AJetFileIsRefusedPlainly) {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(QStringLiteral("old/Database")));
    const QString file = dir.filePath(QStringLiteral("old/Database/RCdatabase.mdb"));
    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    qm::test::WriteAll(file, jet);
    EXPECT_FALSE(imp.Start(dir.filePath(QStringLiteral("old")), 2));
    EXPECT_EQ(ui.Texts(), QStringList{JetSourceText(file)});
    EXPECT_EQ(Rows("Staff_moninfo"), 0);
    qm::test::WriteAll(file, "neither one nor the other");
    ui.Clear();
    EXPECT_FALSE(imp.Start(dir.filePath(QStringLiteral("old")), 2));
    EXPECT_EQ(ui.Texts(), QStringList{UnreadableSourceText(file)});
}

// ---------------------------------------------------------------- a person once in a month

// The rows of a table in id order as "month:number:flag,..." (staff sIsok, wages sFlag).
QString StoredRows(db::Connection& c, bool wages) {
    db::Query q(c);
    q.Open(wages ? QStringLiteral("select Smon, sNumber, sFlag from Wage_Info order by id")
                 : QStringLiteral("select sMon, sNumber, sIsok from Staff_moninfo order by id"));
    QStringList rows;
    for (; !q.Eof(); q.Next())
        rows << QStringLiteral("%1:%2:%3").arg(q.Fields(0).AsString(), q.Fields(1).AsString(), q.Fields(2).AsString());
    return rows.join(u',');
}

// "month:number,..." as a case writes persons.
std::vector<std::pair<int, QString>> Persons(const char* list) {
    std::vector<std::pair<int, QString>> out;
    for (const QString& p : QString::fromUtf8(list).split(u',', Qt::SkipEmptyParts))
        out.emplace_back(p.section(u':', 0, 0).toInt(), p.section(u':', 1));
    return out;
}

TEST_F(HistoryImportTest, APersonIsNeverTwiceInAMonthWithoutAMark) {
    struct Case {
        const char* what;
        const char *oldStaff, *oldWages, *held;  // the predecessor's rows; the target's staff rows
        int choice, runs;
        bool goOn;                  // the answer to the question over a start-of-period list
        const char *staff, *wages;  // what the target holds at the end
        QString texts;              // of the last run, "|" between them
    };
    const QString twice = QStringLiteral(
        "\n其中2条%1记录是同一姓名编号在同一月份的重复记录（5月的“001”），已全部导入并标为错误，改正前不能汇总，"
        "请在%1错误信息中核实。");
    const QString held = QStringLiteral("条%1记录的姓名编号在本系统同一月份中已有%1记录，未重复导入。");
    const QString staff = QStringLiteral("人员"), wages = QStringLiteral("工资");
    const QString ask = QStringLiteral("已有期初数据，是否继续导入？|");
    const Case cases[] = {
        {"one person twice in a month of the staff lists: both taken, both marked", "6:001,5:001,5: 001,5:002", "", "",
         2, 1, false, "6:001:1,5:001:0,5:001:0,5:002:1", "",
         QStringLiteral("导入完成，共4条月度人员记录。") + twice.arg(staff)},
        {"one person's wage twice in a month: both taken, both marked", "", "5:001,5:001,5:002,6:001", "5:001", 3, 1,
         false, "5:001:1", "6:001:1,5:001:0,5:001:0,5:002:1",
         QStringLiteral("导入完成，共4条工资记录。") + twice.arg(wages)},
        {"a person the month already holds is left behind, counted", "5:001,5:002", "", "5:001,6:002", 2, 1, false,
         "5:001:1,6:002:1,5:002:1", "", QStringLiteral("导入完成，共1条月度人员记录。\n另有1") + held.arg(staff)},
        {"staff and wages imported twice: the second run adds nothing", "5:001,5:002,5:002", "5:001,5:002", "", 4, 2,
         false, "5:001:1,5:002:0,5:002:0", "5:001:1,5:002:1",
         QStringLiteral("导入完成，共0条月度人员记录。\n另有3") + held.arg(staff) +
             QStringLiteral("|导入完成，共0条工资记录。\n另有2") + held.arg(wages)},
        {"the year end over a start-of-period list, going on: only the persons it lacks", "12:001,12:002", "", "0:001",
         0, 1, true, "0:001:1,0:002:1", "", ask + QStringLiteral("导入完成，共1条记录。\n另有1") + held.arg(staff)},
        {"the year end over a start-of-period list, not answered: nothing", "12:001,12:002", "", "0:001", 0, 1, false,
         "0:001:1", "", ask.chopped(1)},
    };
    OldInstall old;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db().Exec(QStringLiteral("delete from Staff_moninfo"));
        db().Exec(QStringLiteral("delete from Wage_Info"));
        old.Clear();
        for (const auto& [mon, number] : Persons(c.oldStaff))
            old.Add("Staff_moninfo",
                    {{"sMon", mon}, {"sNumber", number}, {"sName", "甲"}, {"sSex", 1}, {"sIsok", "1"}});
        for (const auto& [mon, number] : Persons(c.oldWages))
            old.Add("Wage_Info", {{"sMon", mon}, {"sNumber", number}, {"sName", "甲"}, {"sFlag", "1"}, {"wFlag", "1"}});
        for (const auto& [mon, number] : Persons(c.held)) AddStaff(mon, number);
        for (int run = 0; run < c.runs; ++run) {
            ui.Clear();
            if (c.goOn) ui.answers = {DlgAnswer::Yes};
            imp.Start(old.folder, c.choice);
        }
        EXPECT_EQ(ui.Texts().join(u'|'), c.texts);
        EXPECT_EQ(StoredRows(db(), false), QLatin1String(c.staff));
        EXPECT_EQ(StoredRows(db(), true), QLatin1String(c.wages));
        if (c.choice == 0) {
            EXPECT_EQ(ui.shown.at(0).buttons, DlgButtons::YesNoDefaultNo);
        }
    }
}

// The fixture's 001 and 010 store a code as blank text, 012 another code; 011 has none
// stored at all, which the import leaves as it is.
TEST_F(HistoryImportTest, ARowWhoseCodeTheImportBlanksIsMarkedAsAnError) {
    OldInstall old;
    old.Add("Staff_moninfo", {{"sMon", 12}, {"sNumber", "010"}, {"sName", "甲"}, {"sSex", " "}, {"sIsok", "1"}});
    old.Add("Staff_moninfo", {{"sMon", 12}, {"sNumber", "011"}, {"sName", "乙"}, {"sIsok", "1"}});
    old.Add("Staff_moninfo",
            {{"sMon", 12}, {"sNumber", "012"}, {"sName", "丙"}, {"sSex", 1}, {"sEducation", ""}, {"sIsok", "1"}});
    for (const int choice : {0, 2}) {
        SCOPED_TRACE(choice);
        db().Exec(QStringLiteral("delete from Staff_moninfo"));
        ui.Clear();
        ASSERT_TRUE(imp.Start(old.folder, choice));
        EXPECT_TRUE(ui.Texts().at(0).endsWith(
            QStringLiteral("\n其中3条人员记录的代码是空白文字，已存为空并标为错误，请在人员错误信息中核实。")))
            << ui.Texts().at(0).toStdString();
        EXPECT_EQ(Scalar(QStringLiteral("select group_concat(sNumber||':'||sIsok) from (select * from Staff_moninfo "
                                        "where sMon in (0,12) order by sNumber)")),
                  QStringLiteral("001:0,002:0,010:0,011:1,012:0"));
    }
}

// A month is read whatever form the old table keeps it in; a row without one is counted, not
// dropped. A number that is no month, or a value that is no number where one belongs, stops
// the import where the row would have been read, naming it readably.
TEST_F(HistoryImportTest, StoredMonthsAndNumbersAreReadInAnyFormOrRefusedReadably) {
    struct Case {
        const char* column;
        const char* stored;
        int choice;  // 2 staff (months 1..12), 1 start of period, 3 wages
        int taken;   // the month the row is stored in; 0 left behind; -1 refused
    };
    const Case cases[] = {
        {"sMon", "05", 2, 5},    {"sMon", " 5 ", 2, 5}, {"sMon", "5.0", 2, 5},  {"sMon", "x", 2, 0},
        {"sMon", "", 2, 0},      {"sMon", " ", 1, 0},   {"sMon", "x", 1, 0},    {"sMon", "-1", 2, 0},
        {"sMon", "13", 1, 0},    {"sMon", "13", 2, -1}, {"sMon", "0.5", 1, -1}, {"sMon", "07", 3, 7},
        {"sMon", "x", 3, 0},     {"sMon", "0", 3, 0},   {"sMon", "-1", 3, -1},  {"sSex", "男", 2, -1},
        {"sPost", "1.5", 2, -1}, {"sWorks", "3", 2, 5},
    };
    OldInstall old(OldInstall::Kind::AllText);
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 / choice %3")
                         .arg(QLatin1String(c.column), QString::fromUtf8(c.stored))
                         .arg(c.choice)
                         .toStdString());
        db().Exec(QStringLiteral("delete from Staff_moninfo"));
        db().Exec(QStringLiteral("delete from Wage_Info"));
        old.Clear();
        const bool wages = c.choice == 3, month = qstrcmp(c.column, "sMon") == 0;
        const char* table = wages ? "Wage_Info" : "Staff_moninfo";
        if (wages) AddStaff(7, QStringLiteral("007"));
        Row row{{"sMon", month ? c.stored : "5"}, {"sNumber", "007"}, {"sName", "甲"}};
        if (!month) row.emplace_back(c.column, c.stored);
        old.Add(table, row);
        ui.Clear();
        EXPECT_EQ(imp.Start(old.folder, c.choice), c.taken >= 0);
        const QString what = wages ? QStringLiteral("工资") : QStringLiteral("人员");
        const QString left = wages ? QStringLiteral("\n另有1条工资记录没有1至12月的月份，未导入。") : kNoMonthLeft;
        const QString text = c.taken < 0 ? QStringLiteral(
                                               "导入失败，已撤销本次导入，数据未做改动：\n原系统%1记录（%"
                                               "2姓名编号“007”）的%3不是有效的数字：“%4”")
                                               .arg(what, month ? QString() : QStringLiteral("5月，"),
                                                    QLatin1String(c.column), QString::fromUtf8(c.stored))
                                         : QStringLiteral("导入完成，共%1条%2记录。")
                                                   .arg(c.taken ? 1 : 0)
                                                   .arg(wages ? what : QStringLiteral("月度人员")) +
                                               (c.taken ? QString() : left);
        EXPECT_EQ(ui.Texts(), QStringList{text});
        EXPECT_EQ(Scalar(QStringLiteral("select group_concat(sMon) from %1").arg(QLatin1String(table))),
                  c.taken > 0 ? QString::number(c.taken) : QString());
    }
}

// A refusal names the person by the staff number as stored, and the value, between quotes:
// an empty number shows as empty, a control character as its escape, never raw.
TEST_F(HistoryImportTest, TheStoredTextsARefusalShowsAreQuotedAndTheirControlsVisible) {
    const std::tuple<const char*, const char*, const char*, QString> cases[] = {
        // number, column, value
        {"", "sSex", "男", "人员记录（5月，姓名编号“”）的sSex不是有效的数字：“男”"},
        {nullptr, "sSex", "1\0012", "人员记录（5月，姓名编号“”）的sSex不是有效的数字：“1\\x012”"},
        {" 0\t7 ", "sSex", "1\n2", "人员记录（5月，姓名编号“0\\t7”）的sSex不是有效的数字：“1\\n2”"},
        {"0\1777", "sPost", "\x1b[0m", "人员记录（5月，姓名编号“0\\x7F7”）的sPost不是有效的数字：“\\x1B[0m”"},
        {nullptr, "Smon", "-1", "工资记录（姓名编号“”）的sMon不是有效的数字：“-1”"},
    };
    OldInstall old(OldInstall::Kind::AllText);
    AddStaff(7, QStringLiteral("007"));
    for (const auto& [number, column, value, says] : cases) {
        SCOPED_TRACE(says.toStdString());
        old.Clear();
        const bool wages = qstrcmp(column, "Smon") == 0;
        Row row{{"sNumber", number ? db::Value(number) : db::Value()}, {column, value}};
        if (!wages) row.emplace_back("sMon", "5");
        old.Add(wages ? "Wage_Info" : "Staff_moninfo", row);
        ui.Clear();
        imp.Start(old.folder, wages ? 3 : 2);
        EXPECT_EQ(ui.Texts().join(u'|').toStdString(),
                  ("导入失败，已撤销本次导入，数据未做改动：\n原系统" + says).toStdString());
    }
}

// Each old value lands in the column of its name, as stored: the fixture's wages with four
// different items, and a person and a wage with a value of their own in every column (an
// amount among them that fifteen significant digits do not hold).
TEST_F(HistoryImportTest, EveryColumnArrivesInItsOwnColumnAsStored) {
    OldInstall old;
    std::vector<QByteArray> names;
    Row person;
    Row expected;
    for (const QString& col : StaffTable::InsertColumns(StaffColumns::All)) names.push_back(col.toLatin1());
    int code = 20;
    for (const QByteArray& n : names) {
        db::Value v = QStringLiteral("文") + QString::fromLatin1(n);
        for (const StaffAttrRow& a : kStaffAttrs)
            if (n == a.code) v = code++;
        if (n == "sMon") v = 12;
        if (n == "sNumber") v = "010";
        if (n == "sIsok") v = "1";
        if (n == "sWorks") v = 31;
        if (n == "sWork") v = 2.5;
        expected.emplace_back(n.constData(), v);
        person.emplace_back(n.constData(),
                            n == "sName" ? db::Value(QStringLiteral(" 文 sName ")) : v);  // blanks it loses
    }
    old.Add("Staff_moninfo", person);
    const Row wage = {
        {"sMon", 7}, {"sNumber", "010"}, {"sName", "文"},           {"sN1", 1},     {"sN2", 22},   {"sN3", 0.1 + 0.2},
        {"sN4", -4}, {"sN5", 5.5},       {"sTotal", 123456789.123}, {"sFlag", "1"}, {"wFlag", "0"}};
    old.Add("Wage_Info", wage);
    ASSERT_TRUE(imp.Start(old.folder, 4));
    ASSERT_TRUE(imp.Start(old.folder, 0));

    auto check = [&](const char* table, const QString& where, const Row& row) {
        for (const auto& [col, v] : row) {
            const QString sql = QStringLiteral("select count(*) from %1 where %2 and %3 is ? and typeof(%3)=typeof(?)")
                                    .arg(QLatin1String(table), where, QLatin1String(col));
            EXPECT_EQ(Count(sql, {v, v}), 1) << table << " " << where.toStdString() << " " << col << " holds "
                                             << Cell(table, col, where).toStdString();
        }
    };
    for (const int mon : {12, 0}) {
        Row r = expected;
        r[0].second = mon;
        check("Staff_moninfo", QStringLiteral("sMon=%1 and sNumber='010'").arg(mon), r);
    }
    // The fixture's wage 003 and the one above, as stored but for the number and the name, and
    // for an amount beyond the ten-thousandth, stored as every sum reads it.
    Row wageStored = wage;
    wageStored[5] = {"sN3", 0.3};
    for (const Row& row : {OldWages()[0], wageStored}) {
        Row values(row.begin() + 3, row.end());  // after month, number and name
        values.push_back(row[0]);
        check("Wage_Info", QStringLiteral("sNumber='%1'").arg(row[1].second.AsString().trimmed()), values);
    }
}

// ---------------------------------------------------------------- folder and choice

TEST_F(HistoryImportTest, TheStartNamesWhatIsMissing) {
    OldInstall old;
    const QString cwd = QDir::currentPath();
    EXPECT_FALSE(imp.Start(QStringLiteral("  "), -1));
    EXPECT_FALSE(imp.Start(old.folder, -1));
    EXPECT_FALSE(imp.Start(QString(), 2));
    EXPECT_FALSE(imp.Start(old.dir.filePath(QStringLiteral("elsewhere")), 2));
    EXPECT_FALSE(imp.Start(old.folder + QStringLiteral("/Database"), 2));
    EXPECT_EQ(
        ui.Texts(),
        (QStringList{QStringLiteral("请依次 Step1:选择原始系统安装路径;\r\r       Step2:导入数据选项。"),
                     QStringLiteral("请Step2:选择导入数据选项。"), QStringLiteral("请Step1:选择原始系统安装路径。"),
                     QStringLiteral("路径选择错误，请核对。"), QStringLiteral("路径选择错误，请核对。")}));
    EXPECT_EQ(Rows("Staff_moninfo"), 0);
    EXPECT_EQ(QDir::currentPath(), cwd);
}

TEST_F(HistoryImportTest, TheProgramsOwnDatabaseIsNoPredecessor) {
    AddStaff(5, QStringLiteral("001"));
    EXPECT_FALSE(imp.Start(base.paths().Base(), 2));
    EXPECT_EQ(ui.Texts(), QStringList{OwnDatabaseText()});
    EXPECT_EQ(Rows("Staff_moninfo"), 1);
}

TEST(HistoryFolder, TheDatabaseIsFoundWhateverTheCaseOfItsNames) {
    OldInstall old(OldInstall::Kind::Typed, nullptr, QStringLiteral("DATABASE"), QStringLiteral("rcdatabase.MDB"));
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(FindPredecessorDatabase(old.folder), old.file);
    EXPECT_FALSE(FindPredecessorDatabase(old.folder + QStringLiteral("/DATABASE")));
    EXPECT_FALSE(FindPredecessorDatabase(QString()));
    EXPECT_EQ(QDir::currentPath(), cwd);
}

TEST(HistoryImporter, StripSpacesRemovesOnlyTheAsciiBlank) {
    EXPECT_EQ(HistoryImporter::StripSpaces(QStringLiteral("  张 三 ")), QStringLiteral("张三"));
    EXPECT_EQ(HistoryImporter::StripSpaces(QStringLiteral("\t张 三\r\n")), QStringLiteral("张三"));
    EXPECT_EQ(HistoryImporter::StripSpaces(kFullWidth + QStringLiteral("张 三") + kFullWidth),
              kFullWidth + QStringLiteral("张三") + kFullWidth);
    EXPECT_EQ(HistoryImporter::Trim(QStringLiteral(" 0 01 ")), QStringLiteral("0 01"));
    EXPECT_EQ(HistoryImporter::Trim(kFullWidth), kFullWidth);
}

}  // namespace
