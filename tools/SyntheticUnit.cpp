#include "tools/SyntheticUnit.h"

#include "core/base/UnitClass.h"
#include "core/db/Schema.h"

#include <QFile>

#include <array>
#include <random>

namespace qm::synth {

namespace {
constexpr std::array kSurnames = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵",   "吴",  "周", "徐",
                                  "孙", "马", "朱", "胡", "郭", "何", "高", "林",   "罗",  "郑", "梁",
                                  "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹",   "彭",  "曾", "肖",
                                  "田", "董", "袁", "潘", "于", "蒋", "蔡", "欧阳", "司马"};
constexpr std::array kGiven = {"伟",   "芳", "娜",   "秀英", "敏",   "静",   "丽",   "强",   "磊",
                               "军",   "洋", "勇",   "艳",   "杰",   "娟",   "涛",   "明",   "超",
                               "秀兰", "霞", "平",   "刚",   "桂英", "建华", "志强", "海燕", "晓东",
                               "文",   "斌", "玉兰", "国庆", "红梅", "子涵", "浩然", "雨萱", "振宇"};
struct Coded {
    int id;
    const char* name;
};
constexpr std::array kEdu = {Coded{1, "博士研究生"}, Coded{2, "硕士研究生"}, Coded{3, "大学本科"},
                             Coded{4, "大学专科"},   Coded{5, "中等专科"},   Coded{6, "职业高中"},
                             Coded{7, "普通高中"},   Coded{8, "初中"},       Coded{9, "小学及以下"}};
constexpr std::array kPost = {Coded{21, "单位负责人"},
                              Coded{22, "部门负责人"},
                              Coded{23, "专业技术负责人"},
                              Coded{31, "正高级专业技术人员"},
                              Coded{33, "中级专业技术人员"},
                              Coded{35, "专业技术岗位工作人员"},
                              Coded{41, "管理人员"},
                              Coded{42, "办事人员"},
                              Coded{51, "高级技师岗位"},
                              Coded{54, "中级工岗位"},
                              Coded{56, "其他技术岗位操作人员"},
                              Coded{61, "辅助生产人员"},
                              Coded{63, "服务业人员"}};
constexpr std::array kGrade = {Coded{10, "无职称"}, Coded{31, "正高级"}, Coded{32, "副高级"}, Coded{33, "中级"},
                               Coded{34, "初级"}};
constexpr std::array kJGrade = {Coded{51, "高级技师"}, Coded{52, "技师"},   Coded{53, "高级工"},
                                Coded{54, "中级工"},   Coded{55, "初级工"}, Coded{56, "无技能等级"}};
constexpr std::array kDuty = {"科员", "工程师", "会计", "车间主任", "技术员", "出纳", "司机", "销售代表", ""};
}  // namespace

std::vector<Person> MakePersons(int count, unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](auto& arr) -> const auto& { return arr[rng() % arr.size()]; };
    std::vector<Person> out;
    out.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        Person p;
        p.sName = QString::fromUtf8(pick(kSurnames)) + QString::fromUtf8(pick(kGiven));
        p.sNumber = QStringLiteral("%1").arg(i + 1, 6, 10, QLatin1Char('0'));
        p.sSex = 1 + int(rng() % 2);
        p.sTsex = p.sSex == 1 ? QStringLiteral("男") : QStringLiteral("女");
        p.sNation = rng() % 12 == 0 ? 1 : 2;
        p.sTnation = p.sNation == 1 ? QStringLiteral("是") : QStringLiteral("否");
        p.sParty = rng() % 4 == 0 ? 1 : 2;
        p.sTparty = p.sParty == 1 ? QStringLiteral("是") : QStringLiteral("否");
        const int year = 1950 + int(rng() % 44), month = 1 + int(rng() % 12);
        p.sBirth = QStringLiteral("%1-%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
        p.sWorks = std::max(0, 2012 - year - 20);
        p.sWork = p.sWorks / 2;
        const auto& e = pick(kEdu);
        p.sEducation = e.id;
        p.sTEdu = QString::fromUtf8(e.name);
        p.sGw = QString::fromUtf8(pick(kDuty));
        const auto& post = pick(kPost);
        p.sPost = post.id;
        p.sTPost = QString::fromUtf8(post.name);
        const auto& g = pick(kGrade);
        p.sPostGrade = g.id;
        p.sTGrade = QString::fromUtf8(g.name);
        const auto& j = pick(kJGrade);
        p.sJGrade = j.id;
        p.sTJGrade = QString::fromUtf8(j.name);
        p.ssf = rng() % 20 == 0 ? 2 : 1;
        p.sTsf = p.ssf == 1 ? QStringLiteral("在岗职工") : QStringLiteral("劳务派遣人员");
        p.sqrz = rng() % 10 == 0 ? 2 : 1;
        p.sTqrz = p.sqrz == 1 ? QStringLiteral("是") : QStringLiteral("否");
        if (i % 500 == 499) {
            p.failing = true;
            p.sTEdu = QStringLiteral("大专");  // no such entry in the education list
        }
        out.push_back(std::move(p));
    }
    return out;
}

QString StaffInsertSql() { return StaffTable::InsertSql(StaffColumns::All); }

StaffRecord StaffRecordOf(const Person& p, int mon) {
    StaffRecord r;
    r.sMon = Month(mon);
    r.sName = p.sName;
    r.sNumber = p.sNumber;
    r.sBirth = p.sBirth;
    r.sWorks = p.sWorks;
    r.sWork = p.sWork;
    r.sGw = p.sGw;
    auto pair = [&r](StaffAttr a, const QString& text, std::optional<long long> code) {
        r.Text(a) = text;
        r.Code(a) = code;
    };
    pair(StaffAttr::Sex, p.sTsex, p.sSex);
    pair(StaffAttr::Nation, p.sTnation, p.sNation);
    pair(StaffAttr::Party, p.sTparty, p.sParty);
    pair(StaffAttr::Edu, p.sTEdu, p.failing ? std::nullopt : std::optional<long long>(p.sEducation));
    pair(StaffAttr::Post, p.sTPost, p.sPost);
    pair(StaffAttr::Grade, p.sTGrade, p.sPostGrade);
    pair(StaffAttr::JGrade, p.sTJGrade, p.sJGrade);
    pair(StaffAttr::Role, p.sTsf, p.ssf);
    pair(StaffAttr::FullTime, p.sTqrz, p.sqrz);
    r.sIsok = p.failing ? QStringLiteral("0") : QStringLiteral("1");
    return r;
}

db::Params StaffRowParams(const Person& p, int mon) {
    return StaffTable::InsertValues(StaffRecordOf(p, mon), StaffColumns::All);
}

void WriteUnit(db::Connection& c, const QString& depNo) {
    const UnitClass cls(false, UnitClass::Kind::Other);
    c.Exec(QStringLiteral("delete from Dep_Info"));
    c.Exec(QStringLiteral("insert into Dep_Info (DepName, DepNo, DepType, DepInfo, Flag, CreateMon) "
                          "values (?, ?, ?, ?, '1', '99')"),
           {QStringLiteral("江南示范机械制造有限公司"), depNo, cls.DepTypeText(), cls.DepInfoText()});
}

void WriteStaffMonth(db::Connection& c, const std::vector<Person>& persons, int mon) {
    db::Transaction t(c);
    const QString sql = StaffInsertSql();
    for (const Person& p : persons) c.Exec(sql, StaffRowParams(p, mon));
    t.Commit();
}

QString OpenYearUnit(db::Connection& c, const AppPaths& paths, const QString& fileName,
                     const std::vector<Person>& persons) {
    AppPaths::Ensure(paths.DatabaseDir());
    const QString path = paths.DatabaseDir() + QLatin1Char('/') + fileName;
    QFile::remove(path);
    CreateEmptyDatabase(path);
    c.Open(path);
    WriteUnit(c);
    for (int m = 0; m <= 12; ++m) WriteStaffMonth(c, persons, m);
    return path;
}

}  // namespace qm::synth
