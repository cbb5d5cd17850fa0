#include "core/base/ScriptedUiService.h"
#include "core/files/Gbk.h"
#include "core/report/Upload.h"
#include "tests/core/files/FullDisk.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>
#include <shapefil.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace qm;
using qm::upload::Kind;

namespace {

class UploadTest : public ::testing::Test {
protected:
    void SetUp() override {
        db().Exec(
            QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                           "values ('测试单位', '12345678X', '企业', '否', '1', '99')"));
        const QString sql = QStringLiteral(
            "insert into Staff_moninfo (sMon, sName, sNumber, sTsex, sTnation, sTparty, sBirth, sWorks, sWork, "
            "sTEdu, sGw, sTPost, sTGrade, sTJGrade, sIsok) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,'1')");
        // Month 1 first, so that id order and month order differ.
        db().Exec(sql, {1, QStringLiteral("张三"), QStringLiteral("M1"), QStringLiteral("男"), QStringLiteral("否"),
                        QStringLiteral("否"), QStringLiteral("1970-01"), 20, 5, QStringLiteral("大学本科"), nullptr,
                        QStringLiteral("管理人员"), QStringLiteral("中级"), QStringLiteral("无技能等级")});
        db().Exec(sql, {0, QStringLiteral("张三"), QStringLiteral("A001"), QStringLiteral("男"), QStringLiteral("否"),
                        QStringLiteral("是"), QStringLiteral("1970-01"), 20, 5, QStringLiteral("大学本科"),
                        QStringLiteral("会计"), QStringLiteral("管理人员"), QStringLiteral("中级"),
                        QStringLiteral("无技能等级")});
        db().Exec(sql, {0, QStringLiteral("李四"), QStringLiteral("A002"), QStringLiteral("女"), QStringLiteral("是"),
                        QStringLiteral("否"), QStringLiteral("1985-12"), nullptr, 2.5, QStringLiteral("初中"), nullptr,
                        QStringLiteral("普通工人"), nullptr, QStringLiteral("高级工")});
    }
    db::Connection& db() { return base.db(); }
    QString Rcsb(const QString& name) const { return base.paths().Rcsb() + QLatin1Char('/') + name; }
    QString Gzsb(const QString& name) const { return base.paths().Gzsb() + QLatin1Char('/') + name; }
    static void Touch(const QString& path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }

    test::TempBase base;
    ScriptedUiService ui;
};

struct Dbf {
    explicit Dbf(const QString& path) : h(DBFOpen(QFile::encodeName(path).constData(), "rb")) {}
    ~Dbf() {
        if (h) DBFClose(h);
    }
    QStringList Names() const {
        QStringList out;
        for (int i = 0; i < DBFGetFieldCount(h); ++i) {
            char name[12] = {};
            DBFGetFieldInfo(h, i, name, nullptr, nullptr);
            out << QString::fromLatin1(name);
        }
        return out;
    }
    QString Text(int rec, int field) const { return gbk::Decode(DBFReadStringAttribute(h, rec, field)); }
    DBFHandle h;
};

TEST_F(UploadTest, RegisterFileHoldsTheStartOfPeriodListOnlyInEntryOrder) {
    ASSERT_FALSE(QFileInfo::exists(base.paths().Rcsb()));  // created on the way
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));

    const QString folder = QDir::toNativeSeparators(base.paths().Rcsb() + QLatin1Char('/'));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, QStringLiteral("你保存在'") + folder + QStringLiteral("'里,文件名为:Gl_12345678X.dbf"));
    EXPECT_EQ(ui.shown[0].kind, DlgKind::Information);
    EXPECT_EQ(ui.shown[0].buttons, DlgButtons::Ok);
    EXPECT_EQ(ui.shown[1].sort, ShownBox::Sort::OpenFolder);
    EXPECT_EQ(ui.shown[1].text, folder);

    Dbf f(Rcsb(QStringLiteral("Gl_12345678X.dbf")));
    ASSERT_NE(f.h, nullptr);
    EXPECT_STREQ(DBFGetCodePage(f.h), "LDID/77");
    EXPECT_EQ(f.Names(), (QStringList{"sNumber", "sTsex", "sTNation", "sTParty", "sBirth", "sWorks", "sWork", "sTEdu",
                                      "sGw", "sTpost", "sTGrade", "sTJGrade"}));
    ASSERT_EQ(DBFGetRecordCount(f.h), 2);
    EXPECT_EQ(f.Text(0, 0), QStringLiteral("A001"));
    EXPECT_EQ(f.Text(0, 1), QStringLiteral("男"));
    EXPECT_EQ(f.Text(0, 3), QStringLiteral("是"));
    EXPECT_EQ(f.Text(0, 7), QStringLiteral("大学本科"));
    EXPECT_EQ(f.Text(0, 8), QStringLiteral("会计"));
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(f.h, 0, 5), 20);
    EXPECT_EQ(f.Text(1, 0), QStringLiteral("A002"));
    EXPECT_EQ(f.Text(1, 1), QStringLiteral("女"));
    EXPECT_TRUE(DBFIsAttributeNULL(f.h, 1, 5));
    EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(f.h, 1, 6), 2.5);
    EXPECT_TRUE(DBFIsAttributeNULL(f.h, 1, 10));
    EXPECT_EQ(f.Text(1, 11), QStringLiteral("高级工"));
}

TEST_F(UploadTest, ASecondUploadReplacesTheFirstAndLeavesNoOtherFile) {
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    db().Exec(QStringLiteral("delete from Staff_moninfo where sNumber='A001'"));
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    EXPECT_EQ(QDir(base.paths().Rcsb()).entryList(QDir::Files), QStringList{QStringLiteral("Gl_12345678X.dbf")});
    Dbf f(Rcsb(QStringLiteral("Gl_12345678X.dbf")));
    ASSERT_EQ(DBFGetRecordCount(f.h), 1);
    EXPECT_EQ(f.Text(0, 0), QStringLiteral("A002"));
}

TEST_F(UploadTest, AFailedUploadIsShownNamingTheFileWithNoSuccessAndNoFolder) {
    // The upload folder's name is taken by a file.
    Touch(base.paths().Rcsb());
    EXPECT_FALSE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].sort, ShownBox::Sort::Plain);
    EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("Gl_12345678X.dbf"))) << ui.shown[0].text.toStdString();
}

TEST_F(UploadTest, AUnitCodeThatWouldLeaveTheFolderWritesNothing) {
    // A code that did not pass the unit form, as a restored or imported database may hold.
    for (const QString& code : {QStringLiteral("../../x"), QStringLiteral("a/b"), QString()}) {
        ui.Clear();
        EXPECT_FALSE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, code));
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("不能用作上报文件名"))) << ui.shown[0].text.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(base.base() + QStringLiteral("/x.dbf")));
    EXPECT_FALSE(QFileInfo::exists(base.paths().Rcsb() + QStringLiteral("/Gl_a")));
    EXPECT_TRUE(QDir(base.paths().Rcsb()).entryList(QDir::Files).isEmpty());
}

TEST_F(UploadTest, AValueThatCannotBeWrittenIsNamedAndTheOldFileStays) {
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    ui.Clear();
    db().Exec(QStringLiteral("update Staff_moninfo set sTEdu='本科😀' where sNumber='A002'"));
    EXPECT_FALSE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("本科😀")));
    EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("Gl_12345678X.dbf")));
    EXPECT_EQ(QDir(base.paths().Rcsb()).entryList(QDir::Files), QStringList{QStringLiteral("Gl_12345678X.dbf")});
    Dbf f(Rcsb(QStringLiteral("Gl_12345678X.dbf")));
    EXPECT_EQ(DBFGetRecordCount(f.h), 2);
}

// The year-end summary and its staff list are one upload: when either cannot be written (the
// disk full) or put in place (its name taken by a folder), neither is, the earlier pair stays
// as it was, and the message names the file that failed.
TEST_F(UploadTest, TheYearEndPairIsPutInPlaceBothOrNeither) {
    const QString n = QStringLiteral("12345678X");
    const QString summary = Rcsb(n + QStringLiteral("_i505.dbf")), list = Rcsb(QStringLiteral("Gl_") + n + ".dbf");
    auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    auto put = [](const QString& p, const QByteArray& b) {
        QFile f(p);
        return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
    };
    const QDir rcsb(base.paths().Rcsb());
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    upload::Write(db(), base.paths(), Kind::TalentSummary, n);
    const QByteArray oldSummary = bytes(summary), oldList = bytes(list);
    ASSERT_FALSE(oldSummary.isEmpty());
    // New figures for the summary, and a list too long for what is left of a nearly full disk.
    db().Exec(QStringLiteral("update Total_baseInfo set G11=99"));
    for (int i = 0; i < 150; ++i)
        db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber, sTEdu, sIsok) "
                                 "values (0, '王五', ?, '大学本科', '1')"),
                  {QStringLiteral("B%1").arg(i)});
    const std::pair<QString, bool> cases[] = {{QString(), true}, {list, true}, {list, false}, {summary, false}};
    for (const auto& [blocked, summaryBefore] : cases) {  // a folder in place of a file, or the disk full
        SCOPED_TRACE(blocked.toStdString() + (summaryBefore ? " after an earlier summary" : ""));
        QFile::remove(summary);
        QFile::remove(list);
        ASSERT_TRUE((!summaryBefore || put(summary, oldSummary)) && (blocked == list || put(list, oldList)));
        ASSERT_TRUE(blocked.isEmpty() || QDir().mkpath(blocked + QStringLiteral("/inner")));
        const QStringList before = rcsb.entryList(all);
        try {
            const test::FullDisk full(blocked.isEmpty() ? rlim_t(oldSummary.size()) + 1024 : RLIM_INFINITY);
            upload::Write(db(), base.paths(), Kind::TalentSummary, n);
            ADD_FAILURE() << "written";
        } catch (const upload::Error& e) {  // naming the file that failed, not the other
            const bool summaryFailed = blocked == summary;
            EXPECT_TRUE(e.Text().contains(QFileInfo(summaryFailed ? summary : list).fileName()));
            EXPECT_FALSE(e.Text().contains(QFileInfo(summaryFailed ? list : summary).fileName()));
        }
        EXPECT_EQ(bytes(summary), summaryBefore ? oldSummary : QByteArray());
        EXPECT_EQ(bytes(list), blocked == list ? QByteArray() : oldList);
        EXPECT_EQ(rcsb.entryList(all), before);  // no temporary file left
        if (!blocked.isEmpty()) QDir(blocked).removeRecursively();
    }
    upload::Write(db(), base.paths(), Kind::TalentSummary, n);  // with room, both are replaced
    EXPECT_NE(bytes(summary), oldSummary);
    EXPECT_GT(bytes(list).size(), oldList.size());
}

TEST_F(UploadTest, AStaffNumberIsNeverCutAndABadListWritesNoFile) {
    const QString target = Rcsb(QStringLiteral("Gl_12345678X.dbf"));
    struct Case {
        const char* set;
        QString shown;  // what the message must name
    } cases[] = {
        {"sNumber='A0020000000000000000X'", QStringLiteral("A0020000000000000000X")},  // 21 bytes
        {"sNumber='一二三四五六七八九十一'", QStringLiteral("一二三四五六七八九十一")},
        {"sNumber='A0' || char(9) || '02'", QStringLiteral("A0\\t02")},
        {"sWorks=5.125", QStringLiteral("5.125")},
        {"sWork='十年'", QStringLiteral("十年")},
        // A text longer than its field is never cut: 26 characters are 52 bytes for 职务's 50.
        {"sGw='一二三四五六七八九十一二三四五六七八九十一二三四五六'", QStringLiteral("职务")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        db().Exec(QStringLiteral(
            "update Staff_moninfo set sNumber='A002', sWorks=null, sWork=2.5, sGw=null where sName='李四'"));
        db().Exec(QStringLiteral("update Staff_moninfo set ") + QString::fromUtf8(c.set) +
                  QStringLiteral(" where sName='李四'"));
        ui.Clear();
        EXPECT_FALSE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("李四"))) << ui.shown[0].text.toStdString();
        EXPECT_TRUE(ui.shown[0].text.contains(c.shown)) << ui.shown[0].text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target));
        // The talent summary writes the same list: neither of its two files is written.
        EXPECT_THROW(upload::Write(db(), base.paths(), Kind::TalentSummary, QStringLiteral("12345678X")),
                     upload::Error);
        EXPECT_TRUE(QDir(base.paths().Rcsb()).entryList(QDir::Files).isEmpty());
    }
    // A text that passed in a wide column of an earlier row is measured again in a narrow one.
    db().Exec(
        QStringLiteral("update Staff_moninfo set sNumber='A002', sWorks=null, sWork=2.5, sGw=null where sName='李四'"));
    db().Exec(QStringLiteral("update Staff_moninfo set sTEdu='一二三四五六' where sNumber='A001'"));
    db().Exec(QStringLiteral("update Staff_moninfo set sTsex='一二三四五六' where sName='李四'"));
    ui.Clear();
    EXPECT_FALSE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("李四")) && ui.shown[0].text.contains(QStringLiteral("性别")))
        << ui.shown[0].text.toStdString();
    db().Exec(QStringLiteral("update Staff_moninfo set sTsex='女' where sName='李四'"));
    // Twenty bytes fit whole.
    db().Exec(QStringLiteral(
        "update Staff_moninfo set sNumber='一二三四五六七八九十', sWorks=3, sWork=2.5, sGw=null where sName='李四'"));
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    Dbf f(target);
    EXPECT_EQ(f.Text(1, 0), QStringLiteral("一二三四五六七八九十"));
}

// Every stored form of a value comes out as the check read it: a null text blank, a number in
// a text column as SQLite spells it, a work-year figure given with spaces as its number, one
// code text in fields of different widths; a row the file cannot hold, followed by one the list
// check refuses, names the refused row and writes nothing.
TEST_F(UploadTest, StoredFormsOfValuesAreWrittenAsReadAndAFailureMidListWritesNothing) {
    db().Exec(
        QStringLiteral("update Staff_moninfo set sTsex=null, sTnation=1, sBirth=197001, sWorks=' 7.5 ', "
                       "sTEdu='男', sTPost=2.25 where sNumber='A002'"));
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    {
        Dbf f(Rcsb(QStringLiteral("Gl_12345678X.dbf")));
        ASSERT_EQ(DBFGetRecordCount(f.h), 2);
        EXPECT_EQ(f.Text(0, 1), QStringLiteral("男"));
        EXPECT_TRUE(DBFIsAttributeNULL(f.h, 1, 1));
        EXPECT_EQ(f.Text(1, 2), QStringLiteral("1"));
        EXPECT_EQ(f.Text(1, 4), QStringLiteral("197001"));
        EXPECT_DOUBLE_EQ(DBFReadDoubleAttribute(f.h, 1, 5), 7.5);
        EXPECT_EQ(f.Text(1, 7), QStringLiteral("男"));
        EXPECT_EQ(f.Text(1, 9), QStringLiteral("2.25"));
        EXPECT_TRUE(DBFIsAttributeNULL(f.h, 1, 8));
    }
    QFile::remove(Rcsb(QStringLiteral("Gl_12345678X.dbf")));
    // A tab after the number passes the number's check but no file can hold it.
    db().Exec(QStringLiteral("update Staff_moninfo set sNumber='A001' || char(9) where sNumber='A001'"));
    ui.Clear();
    EXPECT_FALSE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("sNumber"))) << ui.shown[0].text.toStdString();
    db().Exec(QStringLiteral("update Staff_moninfo set sWork='两年' where sNumber='A002'"));
    ui.Clear();
    EXPECT_FALSE(upload::Run(db(), ui, base.paths(), Kind::StaffRegister, QStringLiteral("12345678X")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(ui.shown[0].text.contains(QStringLiteral("李四（姓名编号“A002”）的本岗位年限“两年”")))
        << ui.shown[0].text.toStdString();
    EXPECT_THROW(upload::Write(db(), base.paths(), Kind::TalentSummary, QStringLiteral("12345678X")), upload::Error);
    EXPECT_TRUE(QDir(base.paths().Rcsb()).entryList(QDir::Files).isEmpty());
}

// A unit name longer than the summaries' frmc field (100 bytes) refuses the upload, naming it,
// rather than being cut to fifty characters.
TEST_F(UploadTest, AUnitNameTooLongForItsFieldIsNamedNotCut) {
    const QString eighty = QString(80, QChar(0x5355));
    db().Exec(QStringLiteral("update Total_Info set Dep_id='12345678X', frmc=?"), {eighty});
    try {
        upload::Write(db(), base.paths(), Kind::WageSummary, QStringLiteral("12345678X"));
        ADD_FAILURE() << "written";
    } catch (const upload::Error& e) {
        EXPECT_TRUE(e.Text().contains(eighty) && e.Text().contains(QStringLiteral("frmc"))) << e.Text().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(Gzsb(QStringLiteral("12345678X_i704.dbf"))));
}

TEST_F(UploadTest, QuarterlyUploadKeepsEarlierQuartersAndRemovesTheNameWithoutQuarter) {
    db().Exec(QStringLiteral("insert into JGLabor_info (frdm, I01, frmc) values ('12345678X', 17, '测试单位')"));
    Touch(Gzsb(QStringLiteral("12345678X_1_i202.dbf")));
    Touch(Gzsb(QStringLiteral("12345678X_i202.dbf")));
    Touch(Gzsb(QStringLiteral("12345678X_2_i202.dbf")));
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::QuarterReport, QStringLiteral("12345678X"), Quarter(2)));
    QStringList files = QDir(base.paths().Gzsb()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"12345678X_1_i202.dbf", "12345678X_2_i202.dbf"}));
    const QString folder = QDir::toNativeSeparators(base.paths().Gzsb() + QLatin1Char('/'));
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("文件所在路径:'") + folder + QStringLiteral("';\n文件名为:12345678X_2_i202.dbf"));
    Dbf f(Gzsb(QStringLiteral("12345678X_2_i202.dbf")));
    ASSERT_EQ(DBFGetRecordCount(f.h), 1);
    EXPECT_EQ(f.Names().first(), QStringLiteral("frdm"));
    EXPECT_EQ(f.Names().last(), QStringLiteral("frmc"));
    EXPECT_EQ(f.Names().size(), 24);
    EXPECT_EQ(DBFReadIntegerAttribute(f.h, 0, 1), 17);
    EXPECT_EQ(f.Text(0, 23), QStringLiteral("测试单位"));

    // The labour report of the same quarter goes to RCSB under the same name.
    db().Exec(QStringLiteral("insert into JLabor_info (frdm) values ('12345678X')"));
    ASSERT_TRUE(upload::Run(db(), ui, base.paths(), Kind::QuarterLabour, QStringLiteral("12345678X"), Quarter(3)));
    EXPECT_TRUE(QFileInfo::exists(Rcsb(QStringLiteral("12345678X_3_i202.dbf"))));

    // A quarterly upload without a quarter (a chosen run, the months up to December) names no
    // file: it is refused and nothing is written or removed.
    for (const Kind kind : {Kind::QuarterReport, Kind::QuarterLabour}) {
        const QString dir = kind == Kind::QuarterReport ? base.paths().Gzsb() : base.paths().Rcsb();
        const QStringList before = QDir(dir).entryList(QDir::Files, QDir::Name);
        ui.Clear();
        EXPECT_FALSE(upload::Run(db(), ui, base.paths(), kind, QStringLiteral("12345678X")));
        EXPECT_EQ(ui.Texts(), QStringList{QStringLiteral("季度必须是 1、2 或 3")});
        EXPECT_EQ(QDir(dir).entryList(QDir::Files, QDir::Name), before);
    }
}

TEST_F(UploadTest, EveryVariantWritesItsFilesWithTheTableColumnsInOrder) {
    db().Exec(QStringLiteral("update Total_Info set Dep_id='12345678X', frmc='测试单位', G11=Gid*10"));
    db().Exec(QStringLiteral("update Total_baseInfo set Dep_id='12345678X', G116=3"));
    db().Exec(QStringLiteral("insert into NGLabor_info (frdm, I01) values ('12345678X', 5)"));
    db().Exec(QStringLiteral("insert into NLabor_info (frdm, B7) values ('12345678X', 6)"));
    struct Case {
        Kind kind;
        QStringList files;
    };
    const QString n = QStringLiteral("12345678X");
    const std::vector<Case> cases{
        {Kind::TalentSurvey, {Rcsb(n + ".dbf")}},
        {Kind::WageSummary, {Gzsb(n + "_i704.dbf")}},
        {Kind::OrganWageSummary, {Gzsb(n + "_i705.dbf")}},
        {Kind::TalentSummary, {Rcsb(n + "_i505.dbf"), Rcsb("Gl_" + n + ".dbf")}},
        {Kind::AnnualReport, {Gzsb(n + "_i102.dbf")}},
        {Kind::AnnualLabour, {Rcsb(n + "_i102.dbf")}},
    };
    for (const Case& c : cases) {
        const upload::Written w = upload::Write(db(), base.paths(), c.kind, n, std::nullopt, QDate(2012, 12, 31));
        EXPECT_EQ(w.files, c.files);
        for (const QString& file : c.files) EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
    }
    const QString rcsb = QDir::toNativeSeparators(base.paths().Rcsb() + QLatin1Char('/'));
    EXPECT_EQ(upload::Write(db(), base.paths(), Kind::TalentSummary, n).message,
              QStringLiteral("你保存在'") + rcsb +
                  QStringLiteral("'里,汇总文件名为:12345678X_i505.dbf，过录表为：Gl_12345678X.dbf"));

    Dbf i704(Gzsb(n + "_i704.dbf"));
    QStringList totalInfo{"Gid", "Dep_id", "Tdate", "frmc"};
    for (int i = 11; i <= 21; ++i) totalInfo << QStringLiteral("G%1").arg(i);
    EXPECT_EQ(i704.Names(), totalInfo);
    EXPECT_EQ(DBFGetRecordCount(i704.h), 40);
    EXPECT_EQ(i704.Text(0, 3), QStringLiteral("测试单位"));
    Dbf i705(Gzsb(n + "_i705.dbf"));
    ASSERT_EQ(DBFGetRecordCount(i705.h), 21);
    EXPECT_EQ(DBFReadIntegerAttribute(i705.h, 20, 0), 21);
    EXPECT_EQ(DBFReadIntegerAttribute(i705.h, 20, 4), 210);
    Dbf i505(Rcsb(n + "_i505.dbf"));
    EXPECT_EQ(i505.Names().last(), QStringLiteral("G116"));
    EXPECT_EQ(DBFGetRecordCount(i505.h), 17);
    Dbf gl(Rcsb("Gl_" + n + ".dbf"));
    EXPECT_EQ(DBFGetRecordCount(gl.h), 2);
    Dbf i102(Rcsb(n + "_i102.dbf"));
    EXPECT_EQ(DBFReadIntegerAttribute(i102.h, 0, i102.Names().indexOf("B7")), 6);
}

TEST_F(UploadTest, WidthsComeFromOneTable) {
    EXPECT_EQ(upload::FieldFor(QStringLiteral("SNUMBER"), QStringLiteral("TEXT")).width, 20);
    EXPECT_TRUE(upload::FieldFor(QStringLiteral("SNUMBER"), QStringLiteral("TEXT")).exact);
    EXPECT_FALSE(upload::FieldFor(QStringLiteral("sTEdu"), QStringLiteral("TEXT")).exact);
    EXPECT_EQ(upload::FieldFor(QStringLiteral("SNUMBER"), QStringLiteral("TEXT")).name, QStringLiteral("SNUMBER"));
    EXPECT_EQ(upload::FieldFor(QStringLiteral("sWorks"), QStringLiteral("NUMERIC")).type, 'N');
    EXPECT_EQ(upload::FieldFor(QStringLiteral("G11"), QStringLiteral("NUMERIC")).type, 'N');
    EXPECT_EQ(upload::FieldFor(QStringLiteral("frmc"), QStringLiteral("TEXT")).width, 100);
    EXPECT_EQ(upload::FieldFor(QStringLiteral("other"), QStringLiteral("TEXT")).type, 'C');
}

}  // namespace
