#include "core/db/Schema.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <QFileInfo>

using qm::db::Query;
using qm::test::TempBase;

namespace {

QStringList Column(TempBase& b, const QString& sql) {
    Query q(b.db());
    q.Open(sql);
    QStringList out;
    for (; !q.Eof(); q.Next()) out << q.Fields(0).AsString();
    return out;
}

TEST(Schema, TheEmptyDatabaseHasEveryTableViewAndPreExistingRow) {
    TempBase b;
    const QStringList tables = b.db().TableNames();
    for (const char* t :
         {"Staff_moninfo", "Wage_Info",      "Dep_Info",     "Code_Sex",     "Code_Nation",  "Code_Edu",   "Code_Post",
          "Code_Grade",    "Code_Role",      "Code_YesNo",   "Code_Certy",   "Initial_Info", "Staff_Info", "Tmp_Del",
          "Total_Info",    "Total_baseInfo", "JGLabor_info", "NGLabor_info", "JLabor_info",  "NLabor_info"})
        EXPECT_TRUE(tables.contains(QString::fromLatin1(t))) << t;
    EXPECT_FALSE(tables.contains(QStringLiteral("sqlite_sequence")));
    EXPECT_EQ(Column(b, QStringLiteral("select name from sqlite_master where type='view' order by name")),
              (QStringList{"V", "Vmon", "VmonWage"}));

    QStringList gids = Column(b, QStringLiteral("select Gid from Total_Info order by Gid"));
    ASSERT_EQ(gids.size(), 40);
    EXPECT_EQ(gids.first(), QStringLiteral("1"));
    EXPECT_EQ(gids.last(), QStringLiteral("40"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Total_baseInfo where Gid between 1 and 17")),
              QStringLiteral("17"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Total_baseInfo")), QStringLiteral("17"));
    for (const char* t : {"Dep_Info", "Staff_moninfo", "Wage_Info", "Initial_Info", "Tmp_Del", "Staff_Info",
                          "JGLabor_info", "NGLabor_info", "JLabor_info", "NLabor_info"})
        EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from %1").arg(QString::fromLatin1(t))), QStringLiteral("0"))
            << t;
}

TEST(Schema, ColumnsStandInTheOrderUploadsExport) {
    TempBase b;
    Query q(b.db());
    q.Open(QStringLiteral("select * from Staff_moninfo"));
    ASSERT_EQ(q.FieldCount(), 35);
    EXPECT_EQ(q.Fields(0).FieldName(), QStringLiteral("id"));
    EXPECT_EQ(q.Fields(1).FieldName(), QStringLiteral("sMon"));
    EXPECT_EQ(q.Fields(10).FieldName(), QStringLiteral("sBirth"));
    EXPECT_EQ(q.Fields(34).FieldName(), QStringLiteral("sIsok"));
    q.Open(QStringLiteral("select * from Wage_Info"));
    EXPECT_EQ(q.FieldCount(), 12);
    EXPECT_EQ(q.Fields(9).FieldName(), QStringLiteral("sTotal"));
    struct Expect {
        const char* table;
        int figures;
        const char* first;
        const char* last;
    };
    for (const Expect& e : {Expect{"JGLabor_info", 22, "I01", "I47"}, Expect{"NGLabor_info", 71, "I01", "I47"},
                            Expect{"JLabor_info", 21, "I01", "B7"}, Expect{"NLabor_info", 49, "I01", "B7"}}) {
        q.Open(QStringLiteral("select * from %1").arg(QString::fromLatin1(e.table)));
        ASSERT_EQ(q.FieldCount(), e.figures + 2) << e.table;
        EXPECT_EQ(q.Fields(0).FieldName(), QStringLiteral("frdm"));
        EXPECT_EQ(q.Fields(1).FieldName(), QString::fromLatin1(e.first));
        EXPECT_EQ(q.Fields(e.figures).FieldName(), QString::fromLatin1(e.last));
        EXPECT_EQ(q.Fields(e.figures + 1).FieldName(), QStringLiteral("frmc"));
    }
}

TEST(Schema, CodeTablesHoldTheRowsTheRulesRelyOn) {
    TempBase b;
    EXPECT_EQ(Column(b, QStringLiteral("select ID from Code_Post where Memo like '%0%' order by ID")).join(','),
              QStringLiteral("11,12,13,14,15,18,19,31,32,33,34,35,51,52,53,54,55,56"));
    EXPECT_EQ(Column(b, QStringLiteral("select ID from Code_Post where Memo like '%1%' order by ID")).join(','),
              QStringLiteral("21,22,23,31,32,33,34,35,41,42,51,52,53,54,55,56,61,62,63,64"));
    EXPECT_EQ(Column(b, QStringLiteral("select ID from Code_Grade where Memo like '%0%' order by Id")).join(','),
              QStringLiteral("10,31,32,33,34,35"));
    EXPECT_EQ(Column(b, QStringLiteral("select ID from Code_Grade where Memo like '%1%' order by Id")).join(','),
              QStringLiteral("51,52,53,54,55,56"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select CodeName from Code_Role where ID=2")), QStringLiteral("劳务派遣人员"));
    EXPECT_EQ(Column(b, QStringLiteral("select CodeName from Code_Sex order by ID")), (QStringList{"男", "女"}));
    EXPECT_EQ(Column(b, QStringLiteral("select CodeName from Code_YesNo order by ID")), (QStringList{"是", "否"}));
    EXPECT_EQ(Column(b, QStringLiteral("select CodeName from Code_Nation order by ID")), (QStringList{"是", "否"}));
    EXPECT_EQ(b.Scalar(QStringLiteral("select CodeName from Code_Certy where ID=1")), QStringLiteral("否"));
    EXPECT_EQ(Column(b, QStringLiteral("select ID from Code_Edu order by ID")).join(','),
              QStringLiteral("1,2,3,4,5,6,7,8,9"));

    // The in-memory lists hold at most this many entries before their end marker.
    struct Limit {
        const char* sql;
        int max;
    };
    for (const Limit& l :
         {Limit{"select count(*) from Code_Post", 200}, Limit{"select count(*) from Code_Edu", 50},
          Limit{"select count(*) from Code_Sex", 2}, Limit{"select count(*) from Code_Grade where Memo like '%0%'", 50},
          Limit{"select count(*) from Code_Grade where Memo like '%1%'", 50},
          Limit{"select count(*) from Code_Nation", 60}, Limit{"select count(*) from Code_Role", 10},
          Limit{"select count(*) from Code_YesNo", 2}, Limit{"select count(*) from Code_Certy", 3}})
        EXPECT_LE(b.Scalar(QString::fromLatin1(l.sql)).toInt(), l.max) << l.sql;
    // Names are unique within each list, so a text finds one code.
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from (select CodeName from Code_Post group by CodeName "
                                      "having count(*)>1)")),
              QStringLiteral("0"));
}

TEST(Schema, QuotedMonthsAndCodesCompareAsNumbersAndFlagsAsText) {
    TempBase b;
    b.db().Exec(
        QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sSex, sPost, sIsok) "
                       "values ('3', '001', '2', '31', '1')"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sMon=3")), QStringLiteral("1"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Staff_moninfo where Smon<=12")), QStringLiteral("1"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Staff_moninfo where Ssex=2")), QStringLiteral("1"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Staff_moninfo where sPost like '3%'")),
              QStringLiteral("1"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select typeof(sMon) from Staff_moninfo")), QStringLiteral("integer"));

    b.db().Exec(QStringLiteral("insert into Dep_Info (DepName, DepNo, Flag, CreateMon) values ('x', '1', 1, 99)"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Dep_Info where Flag='1'")), QStringLiteral("1"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select CreateMon from Dep_Info")), QStringLiteral("99"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select typeof(CreateMon) from Dep_Info")), QStringLiteral("text"));
}

TEST(Schema, VmonWageGivesOneRowPerWageRowWithAStaffRowOfTheSameMonth) {
    TempBase b;
    auto& c = b.db();
    c.Exec(
        QStringLiteral("insert into Staff_moninfo (sMon, sNumber, sSex, sPost, sBirth) values "
                       "(3, 'A1', 1, 21, '1970-01'), (3, 'A2', 2, 41, '1980-05'), (4, 'A1', 1, 21, '1970-01')"));
    c.Exec(
        QStringLiteral("insert into Wage_Info (sNumber, sName, Smon, sN1, sTotal, sFlag, wFlag) values "
                       "('A1', '甲', 3, 1000, 1000, '1', '1'), ('A2', '乙', 3, 2000, 2000, '1', '1'), "
                       "('A9', '丙', 3, 3000, 3000, '0', '1'), ('A1', '甲', 4, 1100, 1100, '1', '1')"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from VmonWage")), QStringLiteral("3"));
    Query q(c);
    q.Open(QStringLiteral("select * from VmonWage where Smon in(3) order by sNumber"));
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.FieldByName(QStringLiteral("sMon")).AsString(), QStringLiteral("3"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("sTotal")).AsString(), QStringLiteral("1000"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("Ssex")).AsString(), QStringLiteral("1"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("sPost")).AsString(), QStringLiteral("21"));
    q.Next();
    EXPECT_EQ(q.FieldByName(QStringLiteral("sBirth")).AsString(), QStringLiteral("1980-05"));
    EXPECT_EQ(b.Scalar(QStringLiteral("select Max(CInt(sMon)) as num from Wage_Info")), QStringLiteral("4"));
}

TEST(Schema, ACopiedTableIsFoundCaseBlindAndCreationNeverOverwrites) {
    TempBase b;
    b.db().Exec(QStringLiteral("create table Total_1_3 as select * from Total_Info where Gid<41"));
    EXPECT_TRUE(b.db().HasTable(QStringLiteral("total_1_3")));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Total_1_3")), QStringLiteral("40"));
    EXPECT_THROW(qm::CreateEmptyDatabase(b.paths().Database()), qm::db::Error);
    EXPECT_TRUE(qm::IsSystemDatabase(b.db()));
    EXPECT_EQ(b.Scalar(QStringLiteral("select count(*) from Total_1_3")), QStringLiteral("40"));
}

}  // namespace
