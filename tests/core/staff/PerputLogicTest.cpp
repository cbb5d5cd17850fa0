#include "core/staff/PerputLogic.h"

#include "core/base/AppContext.h"
#include "core/unit/BrowserLogic.h"
#include "tests/support/RecordingMain.h"
#include "tests/support/TempBase.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace qm {
namespace {

using F = PerputField;

// A person every class of unit accepts.
PersonInput Valid() {
    PersonInput in;
    in[F::Name] = QStringLiteral("张三");
    in[F::Number] = QStringLiteral("1001");
    in[F::Sex] = QStringLiteral("女");
    in[F::Year] = QStringLiteral("1960");
    in[F::Month] = QStringLiteral("07");
    in[F::Edu] = QStringLiteral("大学本科");
    in[F::Post] = QStringLiteral("单位负责人");
    in[F::Grade] = QStringLiteral("中级");
    in[F::JGrade] = QStringLiteral("技师");
    in[F::Nation] = QStringLiteral("否");
    in[F::Party] = QStringLiteral("是");
    in[F::Works] = QStringLiteral("20");
    in[F::Work] = QStringLiteral("5");
    in[F::Role] = QStringLiteral("劳务派遣人员");
    in[F::FullTime] = QStringLiteral("否");
    in[F::Engineer] = QStringLiteral("是");
    in[F::Builder] = QStringLiteral("否");
    in[F::Site] = QStringLiteral("是（持上岗证书）");
    in[F::Production] = QStringLiteral("是");
    return in;
}

bool Has(const std::vector<F>& v, F f) { return std::find(v.begin(), v.end(), f) != v.end(); }

class PerputLogicTest : public ::testing::Test {
protected:
    void SetUp() override { LoadCodeTables(base.db(), QStringLiteral("1"), codes); }
    PerputLogic Logic(const QString& depInfo, const QString& month = QStringLiteral("0")) {
        // The class and the month are decoded where they enter, as the form's opener does.
        return PerputLogic(base.db(), codes, UnitClass::Decode(QStringLiteral("企业事业单位"), depInfo),
                           Month::FromText(month), &menus);
    }
    QString Col(const QString& col, const QString& where = QStringLiteral("1=1")) {
        return base.Scalar(QStringLiteral("select ") + col + QStringLiteral(" from Staff_moninfo where ") + where);
    }
    QString IsNull(const QString& col) {
        return base.Scalar(QStringLiteral("select ") + col + QStringLiteral(" is null from Staff_moninfo"));
    }
    int Count(const QString& where = QStringLiteral("1=1")) {
        return base.Scalar(QStringLiteral("select count(*) from Staff_moninfo where ") + where).toInt();
    }

    test::TempBase base;
    CodeLists codes;
    test::RecordingMain menus;
};

TEST_F(PerputLogicTest, AddInOtherUnitStoresTextsCodesAndNoConstructionColumns) {
    PerputLogic logic = Logic(QStringLiteral("否"), QStringLiteral("3"));
    const SaveResult r = logic.Add(Valid());
    ASSERT_TRUE(r.saved()) << r.message.toStdString();
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Col("sMon"), "3");
    EXPECT_EQ(Col("sName"), "张三");
    EXPECT_EQ(Col("sNumber"), "1001");
    EXPECT_EQ(Col("sTsex") + Col("sSex"), "女2");
    EXPECT_EQ(Col("sBirth"), "1960-07");
    EXPECT_EQ(Col("sTnation") + Col("sNation"), "否2");
    EXPECT_EQ(Col("sTparty") + Col("sParty"), "是1");
    EXPECT_EQ(Col("sTEdu") + Col("sEducation"), "大学本科3");
    EXPECT_EQ(Col("sTPost") + Col("sPost"), "单位负责人21");
    EXPECT_EQ(Col("sTGrade") + Col("sPostGrade"), "中级33");
    EXPECT_EQ(Col("sTJGrade") + Col("sJGrade"), "技师52");
    EXPECT_EQ(Col("typeof(sWorks)") + Col("sWorks") + Col("sWork"), "integer205");
    // The employment and full-time codes are stored in this class too.
    EXPECT_EQ(Col("sTsf") + Col("ssf"), "劳务派遣人员2");
    EXPECT_EQ(Col("sTqrz") + Col("sqrz"), "否2");
    for (const char* c : {"sTgc", "sgc", "sTjzs", "sjzs", "sTsg", "ssg", "sTyg", "syg", "sGw"})
        EXPECT_EQ(IsNull(QString::fromLatin1(c)), "1") << c;
    EXPECT_EQ(Col("sIsok"), "1");
    EXPECT_EQ(menus.initialRefreshes, 1);
}

TEST_F(PerputLogicTest, AddStoresOnlyTheColumnsOfTheUnitsClass) {
    ASSERT_TRUE(Logic(QStringLiteral("规上")).Add(Valid()).saved());
    EXPECT_EQ(Col("sTyg") + Col("syg"), "是1");
    for (const char* c : {"sTgc", "sgc", "sTjzs", "sjzs", "sTsg", "ssg"})
        EXPECT_EQ(IsNull(QString::fromLatin1(c)), "1") << c;

    base.db().Exec(QStringLiteral("delete from Staff_moninfo"));
    ASSERT_TRUE(Logic(QStringLiteral("是2")).Add(Valid()).saved());
    EXPECT_EQ(Col("sTgc") + Col("sgc"), "是1");
    EXPECT_EQ(Col("sTjzs") + Col("sjzs"), "否2");
    EXPECT_EQ(Col("sTsg") + Col("ssg"), "是（持上岗证书）3");  // the certificate code
    EXPECT_EQ(Col("sTyg") + Col("syg"), "是1");
}

TEST_F(PerputLogicTest, HiddenClassFieldsAreNeitherCheckedNorStored) {
    PersonInput in = Valid();
    in[F::Engineer] = QStringLiteral("乱写");
    in[F::Site] = QString();
    EXPECT_TRUE(Logic(QStringLiteral("否")).Add(in).saved());
    const SaveResult r = Logic(QStringLiteral("是1")).Add(in);
    EXPECT_EQ(r.kind, SaveResult::Invalid);
    EXPECT_TRUE(Has(r.invalid, F::Engineer));
    EXPECT_TRUE(Has(r.invalid, F::Site));
    EXPECT_EQ(Count(), 1);
}

TEST_F(PerputLogicTest, EmptyGradesStoreNulls) {
    PersonInput in = Valid();
    in[F::Grade] = QStringLiteral("  ");
    in[F::JGrade] = QString();
    ASSERT_TRUE(Logic(QStringLiteral("否")).Add(in).saved());
    for (const char* c : {"sTGrade", "sPostGrade", "sTJGrade", "sJGrade"})
        EXPECT_EQ(IsNull(QString::fromLatin1(c)), "1") << c;
    EXPECT_EQ(Col("sTPost"), "单位负责人");
}

TEST_F(PerputLogicTest, YearCheck) {
    PerputLogic logic = Logic(QStringLiteral("否"));
    PersonInput in = Valid();
    in[F::Year] = QStringLiteral("1994");
    FieldCheck c = logic.CheckField(F::Year, in);
    EXPECT_TRUE(Has(c.failed, F::Year));
    EXPECT_EQ(c.message, perput::kAgeRange);
    EXPECT_EQ(c.kind, DlgKind::Information);
    SaveResult r = logic.Add(in);
    EXPECT_EQ(r.kind, SaveResult::Invalid);
    EXPECT_EQ(r.message, perput::kFixRed);

    in[F::Year] = QStringLiteral("199");
    c = logic.CheckField(F::Year, in);
    EXPECT_TRUE(Has(c.failed, F::Year));
    EXPECT_TRUE(c.message.isEmpty());
    EXPECT_EQ(logic.Add(in).kind, SaveResult::Invalid);

    in[F::Year] = QStringLiteral("19x0");  // not a number: painted, no age message
    c = logic.CheckField(F::Year, in);
    EXPECT_FALSE(c.ok());
    EXPECT_TRUE(c.message.isEmpty());

    for (const char* y : {"1932", "1993"}) {
        in[F::Year] = QString::fromLatin1(y);
        c = logic.CheckField(F::Year, in);
        EXPECT_TRUE(c.ok()) << y;
        EXPECT_TRUE(Has(c.passed, F::Year));
    }
    in[F::Year] = QStringLiteral("1931");
    EXPECT_FALSE(logic.CheckField(F::Year, in).ok());
    EXPECT_EQ(Count(), 0);
}

TEST_F(PerputLogicTest, YearsOfWorkCheck) {
    PerputLogic logic = Logic(QStringLiteral("否"));
    PersonInput in = Valid();
    in[F::Works] = QStringLiteral("5");
    in[F::Work] = QStringLiteral("8");
    FieldCheck c = logic.CheckField(F::Work, in);
    EXPECT_TRUE(Has(c.failed, F::Works));
    EXPECT_TRUE(Has(c.failed, F::Work));
    EXPECT_EQ(logic.Add(in).kind, SaveResult::Invalid);

    in[F::Work] = QStringLiteral("5");
    c = logic.CheckField(F::Works, in);
    EXPECT_TRUE(c.ok());
    EXPECT_EQ(c.passed.size(), 2u);

    in[F::Work] = QString();  // nothing happens while either is empty
    c = logic.CheckField(F::Works, in);
    EXPECT_TRUE(c.failed.empty());
    EXPECT_TRUE(c.passed.empty());

    in[F::Work] = QStringLiteral("x");
    c = logic.CheckField(F::Work, in);
    EXPECT_EQ(c.failed, std::vector<F>{F::Work});
    EXPECT_EQ(c.message, perput::kFixRed);
    EXPECT_EQ(c.kind, DlgKind::Confirmation);
    EXPECT_EQ(c.buttons, DlgButtons::YesOnly);
    EXPECT_EQ(logic.Add(in).kind, SaveResult::Invalid);

    in[F::Work] = QStringLiteral("5");
    EXPECT_TRUE(logic.Add(in).saved());
    EXPECT_EQ(Count(), 1);
}

TEST_F(PerputLogicTest, YearsOfWorkFollowTheRuleOfEveryForm) {
    PerputLogic logic = Logic(QStringLiteral("否"));
    PersonInput in = Valid();
    for (const char* bad : {"+3", "1e5", "5.125", "-3", "123456789", "5."}) {
        in[F::Works] = QString::fromLatin1(bad);
        EXPECT_TRUE(Has(logic.CheckField(F::Works, in).failed, F::Works)) << bad;
        EXPECT_EQ(logic.Add(in).kind, SaveResult::Invalid) << bad;
    }
    in[F::Works] = QStringLiteral("20.25");
    in[F::Work] = QStringLiteral("5.5");
    ASSERT_TRUE(logic.Add(in).saved());
    EXPECT_EQ(Col(QStringLiteral("sWorks || '|' || sWork")), QStringLiteral("20.25|5.5"));
}

TEST_F(PerputLogicTest, NameAndNumberRefuseWhatTheSheetsRefuse) {
    PerputLogic logic = Logic(QStringLiteral("否"));
    const QString cases[][2] = {
        {QStringLiteral("张\t三"), QStringLiteral("1001")},
        {QStringLiteral("张三"), QStringLiteral("10\n01")},
        {QStringLiteral("张三"), QStringLiteral("10") + QChar(0x1B) + QStringLiteral("01")},
        {QStringLiteral("张三"), QStringLiteral("一二三四五六七八九十一")},  // 22 bytes in GBK
        {QStringLiteral("张三"), QStringLiteral("123456789012345678901")},
    };
    for (const auto& [name, number] : cases) {
        PersonInput in = Valid();
        in[F::Name] = name;
        in[F::Number] = number;
        const F field = name == QStringLiteral("张三") ? F::Number : F::Name;
        EXPECT_TRUE(Has(logic.CheckField(field, in).failed, field)) << number.toStdString();
        EXPECT_EQ(logic.Add(in).kind, SaveResult::Invalid) << number.toStdString();
    }
    EXPECT_EQ(Count(), 0);
    PersonInput in = Valid();
    in[F::Number] = QStringLiteral("一二三四五六七八九十");  // exactly 20 bytes
    EXPECT_TRUE(logic.CheckField(F::Number, in).ok());
    EXPECT_TRUE(logic.Add(in).saved());
}

TEST_F(PerputLogicTest, EveryFieldIsCheckedAtAddNotOnlyTheLastOneLeft) {
    PerputLogic logic = Logic(QStringLiteral("否"));
    PersonInput in = Valid();
    in[F::Post] = QStringLiteral("不存在的岗位");
    EXPECT_FALSE(logic.CheckField(F::Post, in).ok());
    EXPECT_TRUE(logic.CheckField(F::Edu, in).ok());  // a valid field left afterwards
    const SaveResult r = logic.Add(in);
    EXPECT_EQ(r.kind, SaveResult::Invalid);
    EXPECT_EQ(r.invalid, std::vector<F>{F::Post});
    EXPECT_EQ(r.message, perput::kFixRed);

    in = Valid();
    in[F::Sex] = QStringLiteral("女 ");  // a combo text must equal an item exactly
    in[F::Grade] = QStringLiteral("特级");
    in[F::Month] = QStringLiteral("13");
    const SaveResult r2 = logic.Add(in);
    EXPECT_TRUE(Has(r2.invalid, F::Sex));
    EXPECT_TRUE(Has(r2.invalid, F::Grade));
    EXPECT_TRUE(Has(r2.invalid, F::Month));
    EXPECT_EQ(Count(), 0);
}

TEST_F(PerputLogicTest, RequiredFieldsByClass) {
    PersonInput in = Valid();
    in[F::Year] = QString();
    SaveResult r = Logic(QStringLiteral("否")).Add(in);
    EXPECT_EQ(r.kind, SaveResult::Missing);
    EXPECT_EQ(r.message, perput::kRequiredOther);
    in = Valid();
    in[F::Name] = QStringLiteral("   ");
    r = Logic(QStringLiteral("是1")).Add(in);
    EXPECT_EQ(r.kind, SaveResult::Missing);
    EXPECT_EQ(r.message, perput::kRequiredBuilding);
    EXPECT_TRUE(perput::kRequiredOther.contains(QStringLiteral("\r\n工作年限")));
    EXPECT_EQ(Count(), 0);
}

TEST_F(PerputLogicTest, LoadAndModify) {
    PerputLogic logic = Logic(QStringLiteral("是1"), QStringLiteral("2"));
    ASSERT_TRUE(logic.Add(Valid()).saved());
    const long long id = Col("id").toLongLong();
    base.db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0', sGw='科长'"));

    std::optional<PersonInput> in = logic.Load(id);
    ASSERT_TRUE(in);
    EXPECT_EQ((*in)[F::Year], "1960");
    EXPECT_EQ((*in)[F::Month], "07");
    EXPECT_EQ((*in)[F::Works], "20");
    EXPECT_EQ((*in)[F::Gw], "科长");
    EXPECT_EQ((*in)[F::Site], "是（持上岗证书）");
    EXPECT_TRUE(logic.Validate(*in).saved());

    (*in)[F::Name] = QStringLiteral("李四");
    (*in)[F::Post] = QStringLiteral("部门负责人");
    (*in)[F::Grade] = QString();
    (*in)[F::Gw] = QStringLiteral("处长");  // a modify never writes sGw
    const SaveResult r = logic.Modify(*in, id);
    ASSERT_TRUE(r.saved());
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Col("sName") + Col("sTPost") + Col("sPost"), "李四部门负责人22");
    EXPECT_EQ(IsNull(QStringLiteral("sPostGrade")), "1");
    EXPECT_EQ(Col("sIsok"), "1");
    EXPECT_EQ(Col("sGw"), "科长");

    // Not a row of this list (or gone): a failure, not a success.
    PerputLogic other = Logic(QStringLiteral("是1"), QStringLiteral("5"));
    const SaveResult gone = other.Modify(*in, id);
    EXPECT_EQ(gone.kind, SaveResult::Failed);
    EXPECT_EQ(gone.message, perput::kModifyFailed);

    base.db().Exec(QStringLiteral("update Staff_moninfo set sBirth=null"));
    in = logic.Load(id);
    EXPECT_EQ((*in)[F::Year] + (*in)[F::Month], "196001");
    EXPECT_FALSE(logic.Load(id + 100));
}

TEST_F(PerputLogicTest, DeleteAndClearTouchOnlyTheListAndRefreshTheMenus) {
    PerputLogic logic = Logic(QStringLiteral("否"), QStringLiteral("0"));
    PersonInput a = Valid(), b = Valid();
    b[F::Number] = QStringLiteral("1002");
    ASSERT_TRUE(logic.Add(a).saved());
    ASSERT_TRUE(logic.Add(b).saved());
    ASSERT_TRUE(Logic(QStringLiteral("否"), QStringLiteral("1")).Add(a).saved());
    base.db().Exec(QStringLiteral("insert into Wage_Info (sNumber, sName, Smon) values ('1001', '张三', 0)"));
    const long long month1Id = Col("id", QStringLiteral("sMon=1")).toLongLong();

    EXPECT_EQ(logic.Delete(month1Id), 0);  // a row of another list is left alone
    menus = {};
    const long long id = Col("id", QStringLiteral("sNumber='1001' and sMon=0")).toLongLong();
    EXPECT_EQ(logic.Delete(id), 1);
    EXPECT_EQ(Count(QStringLiteral("sMon=0")), 1);
    EXPECT_EQ(menus.initialRefreshes, 1);
    EXPECT_EQ(menus.monthRefreshes, 1);

    menus = {};
    EXPECT_EQ(logic.Clear(), 1);
    EXPECT_EQ(Count(QStringLiteral("sMon=0")), 0);
    EXPECT_EQ(Count(QStringLiteral("sMon=1")), 1);
    EXPECT_EQ(base.Scalar(QStringLiteral("select count(*) from Wage_Info")), "1");
    EXPECT_EQ(menus.initialRefreshes, 1);
    EXPECT_EQ(menus.monthRefreshes, 1);
}

// Add and modify refuse a number another row of the list carries, naming it; the number in
// another month's list, or a row keeping its own, is stored.
TEST_F(PerputLogicTest, ANumberAnotherRowOfTheListCarriesIsRefused) {
    PerputLogic start = Logic(QStringLiteral("否")), march = Logic(QStringLiteral("否"), QStringLiteral("3"));
    PersonInput li = Valid();
    li[F::Number] = QStringLiteral(" 1001 ");
    ASSERT_TRUE(start.Add(Valid()).saved());
    const SaveResult r = start.Add(li);
    EXPECT_EQ(r.invalid, std::vector<F>{F::Number});
    EXPECT_EQ(r.message,
              "“张三”的姓名编号“1001”在期初名单中已由“张三”使用，同一名单中的姓名编号不能重复，请核实！\n"
              "本次未保存，已保存的数据没有改变。");
    EXPECT_TRUE(march.Add(li).saved());
    EXPECT_TRUE(start.Modify(Valid(), Col("id", QStringLiteral("sMon=0")).toLongLong()).saved());
    li[F::Number] = QStringLiteral("1002");
    ASSERT_TRUE(start.Add(li).saved());
    EXPECT_FALSE(start.Modify(Valid(), Col("id", QStringLiteral("sNumber='1002'")).toLongLong()).saved());
    EXPECT_EQ(Count(QStringLiteral("sMon=0 and sNumber='1001'")), 1);
}

class PerputSearchTest : public PerputLogicTest {
protected:
    void SetUp() override {
        PerputLogicTest::SetUp();
        auto add = [&](const char* name, const char* number, const char* month = "0") {
            PersonInput in = Valid();
            in[F::Name] = QString::fromUtf8(name);
            in[F::Number] = QString::fromUtf8(number);
            ASSERT_TRUE(Logic(QStringLiteral("否"), QString::fromLatin1(month)).Add(in).saved());
        };
        add("张三", "001");
        add("张三", "002");
        add("O'Brien", "003");
        add("百分%之百", "004");
        add("李_四", "005");
        add("张三丰", "006", "1");
        // A number twice in one list, as an older list may hold it (the form refuses it).
        base.db().Exec(QStringLiteral("insert into Staff_moninfo (sMon, sName, sNumber) values (0, '王五', '004')"));
    }
    QStringList Names(const ListQuery& q) {
        db::Query r(base.db());
        r.Open(q.sql, q.params);
        QStringList out;
        for (r.First(); !r.Eof(); r.Next()) out << r.FieldByName(QStringLiteral("sName")).AsString();
        return out;
    }
};

TEST_F(PerputSearchTest, SearchesOfTheList) {
    PerputLogic logic = Logic(QStringLiteral("否"));
    EXPECT_EQ(Names(logic.AllRows()).size(), 6);
    EXPECT_EQ(Names(logic.Search(QStringLiteral(" 张 "))), (QStringList{"张三", "张三"}));
    EXPECT_EQ(Names(logic.Search(QStringLiteral("003"))), QStringList{"O'Brien"});
    EXPECT_EQ(Names(logic.SameName()), (QStringList{"张三", "张三"}));
    EXPECT_EQ(Names(logic.SameNumber()), (QStringList{"百分%之百", "王五"}));
    base.db().Exec(QStringLiteral("update Staff_moninfo set sIsok='0' where sName='王五'"));
    EXPECT_EQ(Names(logic.ErrorRows()), QStringList{"王五"});
    EXPECT_EQ(PerputLogic::CountText(6), "共6条");
}

TEST_F(PerputSearchTest, SearchTextIsTakenAsTyped) {
    PerputLogic logic = Logic(QStringLiteral("否"));
    EXPECT_EQ(Names(logic.Search(QStringLiteral("O'B"))), QStringList{"O'Brien"});
    EXPECT_EQ(Names(logic.Search(QStringLiteral("'"))), QStringList{"O'Brien"});
    EXPECT_TRUE(Names(logic.Search(QStringLiteral("') or 1=1 --"))).isEmpty());
    EXPECT_EQ(Count(), 7);
}

// % and _ are LIKE's wildcards in the single-person form's search and the browser's.
TEST_F(PerputSearchTest, PercentAndUnderscoreAreWildcardsInBothSearches) {
    const QStringList two{"张三", "张三"}, all{"张三", "张三", "O'Brien", "百分%之百", "李_四", "王五"};
    const std::pair<QString, QStringList> cases[] = {{"张_", two}, {"O%n", {"O'Brien"}}, {"%", all}, {"张\\_", {}}};
    for (const auto& [text, names] : cases) {
        EXPECT_EQ(Names(Logic(QStringLiteral("否")).Search(text)), names) << text.toStdString();
        EXPECT_EQ(Names(*browser::NameSearch(QStringLiteral("期初"), text)), names) << text.toStdString();
    }
}

TEST(PerputLogicStatic, CloseRefreshesTheOpener) {
    auto t = PerputLogic::CloseRefreshes(Month(3), PerputOpener::MonthList);
    EXPECT_TRUE(t.monthList);
    EXPECT_FALSE(t.batchSheet);
    t = PerputLogic::CloseRefreshes(Month::Start(), PerputOpener::BatchSheet);
    EXPECT_FALSE(t.monthList);
    EXPECT_TRUE(t.batchSheet);
    t = PerputLogic::CloseRefreshes(Month::Start(), PerputOpener::MainWindow);
    EXPECT_FALSE(t.monthList || t.batchSheet);
}

TEST(PerputLogicStatic, ListsAndCodes) {
    EXPECT_EQ(PerputLogic::YearItems().size(), 72);
    EXPECT_EQ(PerputLogic::YearItems().at(perput::kYearIndexAfterAdd), "1942");
    EXPECT_EQ(PerputLogic::YearItems().at(perput::kYearIndexAfterModify), "1941");
    EXPECT_EQ(PerputLogic::MonthItems().first(), "01");
    EXPECT_EQ(PerputLogic::MonthItems().last(), "12");
    EXPECT_EQ(PerputLogic::YesToCode(QStringLiteral(" 是 ")), 1);
    EXPECT_EQ(PerputLogic::YesToCode(QStringLiteral("否")), 2);
    EXPECT_EQ(PerputLogic::YesToCode(QString()), 2);
}

TEST_F(PerputLogicTest, RefusesAMonthOutsideTheYear) {
    EXPECT_THROW(Logic(QStringLiteral("否"), QStringLiteral("13")), std::invalid_argument);
    EXPECT_THROW(Logic(QStringLiteral("否"), QString()), std::invalid_argument);
    EXPECT_THROW(Logic(QStringLiteral("否"), QStringLiteral("0 or 1=1")), std::invalid_argument);
}

}  // namespace
}  // namespace qm
