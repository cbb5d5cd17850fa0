#include "core/db/Db.h"
#include "core/db/Schema.h"
#include "core/db/StaffTable.h"
#include "core/unit/HistoryImport.h"
#include "tests/support/MaintFixture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

#include <map>

using namespace qm;

namespace {

using Row = std::vector<std::pair<const char*, db::Value>>;

const QString kFullWidth = QString(QChar(0x3000));

// The predecessor's rows, with awkward values: blanks everywhere, a quote, empty codes, a
// full-width blank that must survive, nulls, and a row without a month. 001 and 021 store a
// code as blank text, 023 another; 022 stores none at all, which the import leaves as it is.
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
        {{"sMon", 12}, {"sNumber", "021"}, {"sName", "甲"}, {"sSex", " "}, {"sIsok", "1"}},
        {{"sMon", 12}, {"sNumber", "022"}, {"sName", "乙"}, {"sIsok", "1"}},
        {{"sMon", 12}, {"sNumber", "023"}, {"sName", "丙"}, {"sSex", 1}, {"sEducation", ""}, {"sIsok", "1"}},
        {{"sMon", 5}, {"sName", "赵六"}, {"sNumber", "003  "}, {"sTsex", "男"}, {"sSex", 1}, {"sIsok", "1"}},
        {{"sMon", 0}, {"sName", "钱七"}, {"sNumber", "004"}, {"sSex", 1}, {"sIsok", "1"}},
        {{"sMon", 5}, {"sName", "孙八"}, {"sNumber", "005"}, {"sSex", 2}, {"sIsok", "1"}},
        {{"sMon", nullptr}, {"sName", "无月份"}, {"sNumber", "006"}},
    };
    return rows;
}

// What a staff import says of the fixture's row without a month (006) and of its rows whose
// codes it blanks (001, 021, 023); what a wage import says of its three
// wages without a month of 1..12.
const QString kNoMonthLeft = QStringLiteral("\n另有1条人员记录没有有效的月份，未导入。");
const QString kBlankCodeMarked =
    QStringLiteral("\n其中3条人员记录的代码是空白文字，已存为空并标为错误，请在人员错误信息中核实。");
const QString kNoWageMonthLeft = QStringLiteral("\n另有3条工资记录没有1至12月的月份，未导入。");

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
        {{"sMon", 0}, {"sNumber", "007"}, {"sName", "期初"}, {"sTotal", 3000}},
        {{"sMon", nullptr}, {"sNumber", "008"}, {"sName", "无月份"}, {"sTotal", 3000}},
        {{"sMon", " "}, {"sNumber", "009"}, {"sName", "空月份"}, {"sTotal", 3000}},
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
// system's schema; loosely typed, its two tables declare every column TEXT.
struct OldInstall {
    enum class Kind { Typed, AllText };
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("old"));
    QString file;

    explicit OldInstall(Kind kind = Kind::Typed, const QString& dbFolder = QStringLiteral("Database"),
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
            c.Exec(
                QStringLiteral("create table Wage_Info (id text, sNumber text, sName text, Smon text, sN1 text, "
                               "sN2 text, sN3 text, sN4 text, sN5 text, sTotal text, sFlag text, wFlag text)"));
        }
        for (const Row& r : OldStaff()) Insert(c, "Staff_moninfo", r, kind == Kind::AllText);
        for (const Row& r : OldWages()) Insert(c, "Wage_Info", r, kind == Kind::AllText);
    }
    void Add(const char* table, const Row& row) {
        db::Connection c;
        c.Open(file);
        Insert(c, table, row, false);
    }
    void Exec(const QString& sql) {
        db::Connection c;
        c.Open(file);
        c.Exec(sql);
    }
    // Without the rows every installation starts with.
    void Clear() {
        Exec(QStringLiteral("delete from Staff_moninfo"));
        Exec(QStringLiteral("delete from Wage_Info"));
    }
};

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

class HistoryImportTest : public ::testing::Test, public qm::test::MaintFixture {
protected:
    HistoryImport imp{db(), ui, pb, &main};
    // "value|typeof" of one column of the target row chosen by `where`.
    QString Cell(const char* table, const char* col, const QString& where) {
        return Scalar(
            QStringLiteral("select coalesce(%2,'<null>')||'|'||typeof(%2) from %1 where %3 order by id limit 1")
                .arg(QLatin1String(table), QLatin1String(col), where));
    }
    QString At(const char* table, const char* col, const char* number) {
        return Cell(table, col, QStringLiteral("sNumber='%1'").arg(QLatin1String(number)));
    }
    int Rows(const char* table) { return Count(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))); }
    // Imports the old installation with one more row, of the table the choice reads (wages
    // beside a person of month 7).
    bool ImportWith(OldInstall& old, int choice, const Row& row) {
        Reset();
        if (choice == 3) AddStaff(7, QStringLiteral("007"));
        old.Add(choice == 3 ? "Wage_Info" : "Staff_moninfo", row);
        return imp.Start(old.folder, choice);
    }
    // The target as before any import.
    void Reset() {
        db().Exec(QStringLiteral("delete from Staff_moninfo"));
        db().Exec(QStringLiteral("delete from Wage_Info"));
        ui.Clear();
        pb.values.clear();
        main.monthRefreshes = main.initialRefreshes = 0;
    }
};

// Each choice over the fixture's installation, typed or loosely typed: what it says, the rows it
// takes over in their order, how it moves the bar and which menus it refreshes, and the values
// it stores (blanks stripped from names, trimmed numbers, numbers in number columns; empty texts
// kept in the year end's list, null in a month's).
TEST_F(HistoryImportTest, EachChoiceTakesOverItsRowsAsThisSystemKeepsThem) {
    const QString staffDone = QStringLiteral("导入完成，共7条月度人员记录。") + kNoMonthLeft + kBlankCodeMarked;
    const QString wagesDone = QStringLiteral("导入完成，共3条工资记录。") + kNoWageMonthLeft;
    const char* const monthly = "12:001:0,12:002:0,12:021:0,12:022:1,12:023:0,5:003:1,5:005:1";
    const char* const wages = "12:001:,5:003:1,5:005:1";
    const struct {
        int choice;
        QStringList texts;
        const char *staff, *wages;
        std::vector<int> bar;
    } cases[] = {
        {0,
         {QStringLiteral("导入完成，共5条记录。") + kNoMonthLeft + kBlankCodeMarked},
         "0:001:0,0:002:0,0:021:0,0:022:1,0:023:0",
         "",
         {0, 20, 40, 60, 80, 0}},
        {1, {QStringLiteral("导入完成，共1条月度人员记录。") + kNoMonthLeft}, "0:004:1", "", {100, 0}},
        {2, {staffDone}, monthly, "", {14, 28, 42, 57, 71, 85, 100, 0}},
        {3, {wagesDone}, "5:003:1", wages, {0, 33, 66, 0}},
        {4, {staffDone, wagesDone}, monthly, wages, {14, 28, 42, 57, 71, 85, 100, 0, 33, 66, 0}},
    };
    const QString fullWidthName = kFullWidth + QStringLiteral("李四|text");
    const struct {
        int choice;
        const char *table, *col, *number;
        QString holds;
    } cells[] = {
        {0, "Staff_moninfo", "sName", "002", fullWidthName},   {0, "Staff_moninfo", "sGw", "001", "O'Brien组|text"},
        {0, "Staff_moninfo", "sName", "001", "张三|text"},     {0, "Staff_moninfo", "sTsex", "001", "|text"},
        {0, "Staff_moninfo", "sTyg", "001", "|text"},          {0, "Staff_moninfo", "sSex", "001", "<null>|null"},
        {0, "Staff_moninfo", "sWorks", "001", "1990|integer"}, {1, "Staff_moninfo", "sMon", "004", "0|integer"},
        {2, "Staff_moninfo", "sMon", "001", "12|integer"},     {2, "Staff_moninfo", "sPost", "001", "41|integer"},
        {2, "Staff_moninfo", "sName", "002", fullWidthName},   {2, "Staff_moninfo", "sTsex", "001", "<null>|null"},
        {2, "Staff_moninfo", "sTyg", "001", "<null>|null"},    {2, "Staff_moninfo", "sSex", "001", "<null>|null"},
        {2, "Staff_moninfo", "sTsex", "003", "男|text"},       {3, "Wage_Info", "sName", "003", "赵六|text"},
        {3, "Wage_Info", "Smon", "003", "5|integer"},          {3, "Wage_Info", "sTotal", "003", "3000|integer"},
        {3, "Wage_Info", "sN5", "003", "88.5|real"},           {3, "Wage_Info", "sN5", "001", "<null>|null"},
        {3, "Wage_Info", "sTotal", "005", "<null>|null"},      {3, "Wage_Info", "sN1", "005", "<null>|null"},
    };
    for (const auto kind : {OldInstall::Kind::Typed, OldInstall::Kind::AllText}) {
        OldInstall old(kind);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "choice " << c.choice << (kind == OldInstall::Kind::AllText ? " text" : ""));
            Reset();
            if (c.choice == 3) AddStaff(5, QStringLiteral("003"));
            ASSERT_TRUE(imp.Start(old.folder, c.choice));
            EXPECT_EQ(ui.Texts(), c.texts);
            EXPECT_EQ(StoredRows(db(), false), QLatin1String(c.staff));
            EXPECT_EQ(StoredRows(db(), true), QLatin1String(c.wages));
            EXPECT_EQ(pb.values, c.bar);
            EXPECT_EQ(main.monthRefreshes, 1);
            EXPECT_EQ(main.initialRefreshes, 1);
            for (const auto& cell : cells) {
                if (cell.choice == c.choice || (c.choice == 4 && cell.choice >= 2)) {
                    EXPECT_EQ(At(cell.table, cell.col, cell.number), cell.holds) << cell.col << " " << cell.number;
                }
            }
            if (*c.wages) {  // the trimmed number joins its staff row
                EXPECT_EQ(Count(QStringLiteral("select count(*) from VmonWage where sNumber='003' and Smon=5")), 1);
            }
        }
    }
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

// An amount the sheet would not take (no number, not finite, past what a sum holds, an item no
// total holds) is taken over with its error flag set; one it takes keeps its flag, also above
// the upper limit.
TEST_F(HistoryImportTest, WageAmountsTheSheetWouldNotAcceptAreTakenOverWithTheirErrorFlag) {
    const struct {
        const char* number;
        db::Value total, n1;
        const char* wFlag;
        QString stored;  // the total as stored, where it matters
    } cases[] = {
        {"101", 1e300, 1e300, "0", "1.0e+300|real"},
        {"102", "9e18", "9e18", "0", {}},
        {"103", "Infinity", "3000", "0", "<null>|null"},
        {"104", "３０００", nullptr, "0", "<null>|null"},
        {"105", 3000, 1e300, "0", {}},
        {"106", 120000, 120000, "1", {}},
        {"107", 3000, 3000, "1", {}},
        {"108", "1000000000000000", 3000, "0", {}},
        {"109", "999999999999999", 3000, "1", "999999999999999|integer"},
        {"110", "-1000000000000000", 3000, "0", {}},
    };
    OldInstall old(OldInstall::Kind::AllText);
    for (const auto& c : cases)
        old.Add("Wage_Info", {{"sMon", 6},
                              {"sNumber", c.number},
                              {"sName", "甲"},
                              {"sTotal", c.total},
                              {"sN1", c.n1},
                              {"sFlag", "1"},
                              {"wFlag", "1"}});
    AddStaff(5, QStringLiteral("003"));
    ASSERT_TRUE(imp.Start(old.folder, 3));
    EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("导入完成，共13条工资记录。") + kNoWageMonthLeft +
                                      QStringLiteral("\n其中7条工资记录的金额不是有效的数字或"
                                                     "超出可以处理的范围，已标为错误，请在工资错误信息中核实。")});
    for (const auto& c : cases) {
        EXPECT_EQ(At("Wage_Info", "wFlag", c.number), QString::fromLatin1(c.wFlag) + "|text") << c.number;
        EXPECT_EQ(At("Wage_Info", "sFlag", c.number), QStringLiteral("1|text")) << c.number;
        if (!c.stored.isNull()) {
            EXPECT_EQ(At("Wage_Info", "sTotal", c.number), c.stored) << c.number;
        }
    }
    EXPECT_EQ(At("Wage_Info", "sN1", "103"), QStringLiteral("3000|integer"));  // an item of a flagged row is kept
}

// ---------------------------------------------------------------- loosely typed and broken sources

// A column the old table lacks is named as the old program spelled it, and what the steps
// before took over is rolled back.
TEST_F(HistoryImportTest, AMissingColumnIsNamedAndRollsBackEveryStep) {
    const struct {
        OldInstall::Kind kind;
        int choice;
        const char *table, *dropped, *named;
    } cases[] = {
        {OldInstall::Kind::AllText, 4, "Wage_Info", "sN5", "sN5"},
        {OldInstall::Kind::Typed, 0, "Staff_moninfo", "sTGrade", "STGrade"},
        {OldInstall::Kind::Typed, 0, "Staff_moninfo", "sTJGrade", "sTJgrade"},
    };
    for (const auto& c : cases) {
        OldInstall old(c.kind);
        old.Exec(QStringLiteral("alter table %1 drop column %2").arg(QLatin1String(c.table), QLatin1String(c.dropped)));
        Reset();
        EXPECT_FALSE(imp.Start(old.folder, c.choice));
        ASSERT_EQ(ui.Texts().size(), 1);
        EXPECT_TRUE(ui.Texts()[0].contains(
            QStringLiteral("原系统数据库的%1表缺少列%2。").arg(QLatin1String(c.table), QLatin1String(c.named))))
            << ui.Texts()[0].toStdString();
        EXPECT_EQ(Rows("Staff_moninfo"), 0);
        EXPECT_FALSE(db().InTransaction());
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

// ---------------------------------------------------------------- a person once in a month

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
        Reset();
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
            EXPECT_EQ(imp.Start(old.folder, c.choice), c.goOn || c.choice != 0);
        }
        EXPECT_EQ(ui.Texts().join(u'|'), c.texts);
        EXPECT_EQ(StoredRows(db(), false), QLatin1String(c.staff));
        EXPECT_EQ(StoredRows(db(), true), QLatin1String(c.wages));
        if (c.choice == 0) {
            EXPECT_EQ(ui.shown.at(0).kind, DlgKind::Confirmation);
            EXPECT_EQ(ui.shown.at(0).buttons, DlgButtons::YesNoDefaultNo);
        }
    }
}

// A month is read whatever form the old table keeps it in; a row without one is counted, not
// dropped.
TEST_F(HistoryImportTest, AStoredMonthIsReadInAnyFormAndARowWithoutOneIsCounted) {
    const struct {
        const char* stored;
        int choice;  // 2 staff (months 1..12), 1 start of period, 3 wages
        int taken;   // the month the row is stored in; 0 left behind
    } cases[] = {
        {"05", 2, 5}, {" 5 ", 2, 5}, {"5.0", 2, 5}, {"x", 2, 0},  {"", 2, 0},  {" ", 1, 0},
        {"x", 1, 0},  {"-1", 2, 0},  {"13", 1, 0},  {"07", 3, 7}, {"x", 3, 0}, {"0", 3, 0},
    };
    OldInstall old(OldInstall::Kind::AllText);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "“" << c.stored << "” / choice " << c.choice);
        old.Clear();
        EXPECT_TRUE(ImportWith(old, c.choice, {{"sMon", c.stored}, {"sNumber", "007"}, {"sName", "甲"}}));
        const bool wages = c.choice == 3;
        const QString left = wages ? QStringLiteral("\n另有1条工资记录没有1至12月的月份，未导入。") : kNoMonthLeft;
        EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("导入完成，共%1条%2记录。")
                                              .arg(c.taken ? 1 : 0)
                                              .arg(wages ? QStringLiteral("工资") : QStringLiteral("月度人员")) +
                                          (c.taken ? QString() : left)});
        EXPECT_EQ(Scalar(QStringLiteral("select group_concat(sMon) from %1")
                             .arg(QLatin1String(wages ? "Wage_Info" : "Staff_moninfo"))),
                  c.taken ? QString::number(c.taken) : QString());
    }
}

// A number that is no month, or a value that is no number where one belongs, stops the import
// where the row would have been read, and nothing of it stays. The message names the person by
// the staff number as stored and the value between quotes: an empty number shows as empty, a
// control character as its escape, never raw.
TEST_F(HistoryImportTest, AValueThatIsNoNumberStopsTheImportAndIsNamedReadably) {
    const struct {
        int choice;
        const char *number, *column, *value;
        QString says;
        bool typed = false;  // a number column of the old table holds it as a number
    } cases[] = {
        {2, "007", "sMon", "13", "人员记录（姓名编号“007”）的sMon不是有效的数字：“13”"},
        {4, "007", "sMon", "13", "人员记录（姓名编号“007”）的sMon不是有效的数字：“13”", true},
        {1, "007", "sMon", "0.5", "人员记录（姓名编号“007”）的sMon不是有效的数字：“0.5”"},
        {3, nullptr, "Smon", "-1", "工资记录（姓名编号“”）的sMon不是有效的数字：“-1”"},
        {2, "007", "sPost", "1.5", "人员记录（5月，姓名编号“007”）的sPost不是有效的数字：“1.5”"},
        {2, "", "sSex", "男", "人员记录（5月，姓名编号“”）的sSex不是有效的数字：“男”"},
        {2, nullptr, "sSex", "1\0012", "人员记录（5月，姓名编号“”）的sSex不是有效的数字：“1\\x012”"},
        {2, " 0\t7 ", "sSex", "1\n2", "人员记录（5月，姓名编号“0\\t7”）的sSex不是有效的数字：“1\\n2”"},
        {2, "0\1777", "sPost", "\x1b[0m", "人员记录（5月，姓名编号“0\\x7F7”）的sPost不是有效的数字：“\\x1B[0m”"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says.toStdString());
        OldInstall old(c.typed ? OldInstall::Kind::Typed : OldInstall::Kind::AllText);  // with rows to undo
        Row row{{"sNumber", c.number ? db::Value(c.number) : db::Value()}, {c.column, c.value}};
        if (c.choice != 3 && qstrcmp(c.column, "sMon") != 0) row.emplace_back("sMon", "5");
        EXPECT_FALSE(ImportWith(old, c.choice, row));
        EXPECT_EQ(ui.Texts().join(u'|'), QStringLiteral("导入失败，已撤销本次导入，数据未做改动：\n原系统") + c.says);
        EXPECT_EQ(Rows("Staff_moninfo"), c.choice == 3 ? 1 : 0);
        EXPECT_EQ(Rows("Wage_Info"), 0);
        EXPECT_EQ(main.monthRefreshes, 0);
    }
}

// Each old value lands in the column of its name, as stored: the fixture's wages with four
// different items, and a person and a wage with a value of their own in every column (a whole
// number beyond a double's precision, a zero, an amount fifteen significant digits do not hold).
TEST_F(HistoryImportTest, EveryColumnArrivesInItsOwnColumnAsStored) {
    OldInstall old;
    std::vector<QByteArray> names;
    Row person, expected;
    for (const QString& col : StaffTable::InsertColumns(StaffColumns::All)) names.push_back(col.toLatin1());
    int code = 20;
    for (const QByteArray& n : names) {
        db::Value v = QStringLiteral("文") + QString::fromLatin1(n);
        for (const StaffAttrRow& a : kStaffAttrs)
            if (n == a.code) v = code++;
        const std::map<QByteArray, db::Value> own = {
            {"sMon", 12}, {"sNumber", "010"}, {"sIsok", "1"}, {"sWorks", 9007199254740993LL}, {"sWork", 2.5}};
        if (own.count(n)) v = own.at(n);
        expected.emplace_back(n.constData(), v);
        person.emplace_back(n.constData(),
                            n == "sName" ? db::Value(QStringLiteral(" 文 sName ")) : v);  // blanks it loses
    }
    old.Add("Staff_moninfo", person);
    const Row wage = {
        {"sMon", 7}, {"sNumber", "010"}, {"sName", "文"},           {"sN1", 0},     {"sN2", 22},   {"sN3", 0.1 + 0.2},
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

TEST_F(HistoryImportTest, TheStartNamesWhatIsMissingOrNoPredecessorsDatabase) {
    OldInstall old;
    AddStaff(5, QStringLiteral("001"));
    const QString cwd = QDir::currentPath();
    EXPECT_FALSE(imp.Start(QStringLiteral("  "), -1));
    EXPECT_FALSE(imp.Start(old.folder, -1));
    EXPECT_FALSE(imp.Start(QString(), 2));
    EXPECT_FALSE(imp.Start(old.dir.filePath(QStringLiteral("elsewhere")), 2));
    EXPECT_FALSE(imp.Start(old.folder + QStringLiteral("/Database"), 2));
    EXPECT_FALSE(imp.Start(base.paths().Base(), 2));  // this program's own database
    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    qm::test::WriteAll(old.file, jet);
    EXPECT_FALSE(imp.Start(old.folder, 2));
    qm::test::WriteAll(old.file, "neither one nor the other");
    EXPECT_FALSE(imp.Start(old.folder, 2));
    EXPECT_EQ(
        ui.Texts(),
        (QStringList{QStringLiteral("请依次 Step1:选择原始系统安装路径;\r\r       Step2:导入数据选项。"),
                     QStringLiteral("请Step2:选择导入数据选项。"), QStringLiteral("请Step1:选择原始系统安装路径。"),
                     QStringLiteral("路径选择错误，请核对。"), QStringLiteral("路径选择错误，请核对。"),
                     OwnDatabaseText(), JetSourceText(old.file), UnreadableSourceText(old.file)}));
    EXPECT_EQ(Rows("Staff_moninfo"), 1);
    EXPECT_EQ(QDir::currentPath(), cwd);
}

TEST(HistoryFolder, TheDatabaseIsFoundWhateverTheCaseOfItsNames) {
    OldInstall old(OldInstall::Kind::Typed, QStringLiteral("DATABASE"), QStringLiteral("rcdatabase.MDB"));
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(FindPredecessorDatabase(old.folder), old.file);
    EXPECT_FALSE(FindPredecessorDatabase(old.folder + QStringLiteral("/DATABASE")));
    EXPECT_FALSE(FindPredecessorDatabase(QString()));
    EXPECT_EQ(QDir::currentPath(), cwd);
}

// The import trims a value of characters up to code 32 only (a name then loses its inner blanks
// too, as the import's stored names above show): a full-width blank stays.
TEST(HistoryImporter, TrimmingStopsAtTheAsciiBlank) {
    EXPECT_EQ(db::TrimBlankBytes("\t 0 01 \r\n"), "0 01");
    const std::string fullWidth = kFullWidth.toStdString();
    EXPECT_EQ(db::TrimBlankBytes(fullWidth + "张 三" + fullWidth), fullWidth + "张 三" + fullWidth);
}

}  // namespace
