#include "core/db/StaffTable.h"

namespace qm {

namespace {

struct AttrColumns {
    const char* text;
    const char* code;
};
constexpr AttrColumns kAttr[kStaffAttrCount] = {
    {"sTsex", "sSex"},   {"sTnation", "sNation"},   {"sTparty", "sParty"},   {"sTEdu", "sEducation"},
    {"sTPost", "sPost"}, {"sTGrade", "sPostGrade"}, {"sTJGrade", "sJGrade"}, {"sTsf", "ssf"},
    {"sTqrz", "sqrz"},   {"sTgc", "sgc"},           {"sTjzs", "sjzs"},       {"sTsg", "ssg"},
    {"sTyg", "syg"}};

db::Value Bound(const StoredText& t) { return t ? db::Value(*t) : db::Value(); }
db::Value Bound(const std::optional<long long>& v) { return v ? db::Value(*v) : db::Value(); }

}  // namespace

StaffColumns StaffColumnsFor(UnitClass cls) {
    if (cls.IsConstruction()) return StaffColumns::All;
    if (cls.IsAboveSize()) return StaffColumns::AboveSize;
    return StaffColumns::Base;
}

bool Stores(StaffColumns set, StaffAttr a) {
    switch (a) {
    case StaffAttr::Engineer:
    case StaffAttr::Builder:
    case StaffAttr::Site: return set == StaffColumns::All;
    case StaffAttr::Production: return set != StaffColumns::Base;
    default: return true;
    }
}

QString StaffTable::TextColumn(StaffAttr a) { return QLatin1String(kAttr[int(a)].text); }
QString StaffTable::CodeColumn(StaffAttr a) { return QLatin1String(kAttr[int(a)].code); }

QStringList StaffTable::InsertColumns(StaffColumns set) {
    QStringList cols{QStringLiteral("sMon"),   QStringLiteral("sName"),  QStringLiteral("sNumber"),
                     QStringLiteral("sBirth"), QStringLiteral("sWorks"), QStringLiteral("sWork"),
                     QStringLiteral("sGw")};
    for (int i = 0; i < kStaffAttrCount; ++i) {
        if (!Stores(set, StaffAttr(i))) continue;
        cols << TextColumn(StaffAttr(i)) << CodeColumn(StaffAttr(i));
    }
    cols << QStringLiteral("sIsok");
    return cols;
}

QString StaffTable::InsertSql(StaffColumns set) {
    const QStringList cols = InsertColumns(set);
    return QStringLiteral("insert into Staff_moninfo(%1) values(%2)")
        .arg(cols.join(u','), QStringList(cols.size(), QStringLiteral("?")).join(u','));
}

QString StaffTable::UpdateSql(StaffColumns set) {
    QStringList sets;
    for (const QString& c : InsertColumns(set))
        if (c != QLatin1String("sMon") && c != QLatin1String("sGw")) sets << c + QStringLiteral("=?");
    return QStringLiteral("update Staff_moninfo set %1 where id=? and sMon=?").arg(sets.join(u','));
}

StaffTable::StaffTable(db::Connection& c, StaffColumns set)
    : c_(c), set_(set), insert_(InsertSql(set)), update_(UpdateSql(set)) {
    p_.reserve(size_t(2 * kStaffAttrCount + 10));
}

void StaffTable::BindCommon(const StaffRecord& r, bool insert) {
    p_.clear();
    if (insert) p_.emplace_back(r.sMon.Number());
    p_.emplace_back(r.sName);
    p_.emplace_back(r.sNumber);
    p_.push_back(Bound(r.sBirth));
    p_.push_back(r.sWorks);
    p_.push_back(r.sWork);
    if (insert) p_.push_back(Bound(r.sGw));
    for (int i = 0; i < kStaffAttrCount; ++i) {
        if (!Stores(set_, StaffAttr(i))) continue;
        p_.push_back(Bound(r.text[size_t(i)]));
        p_.push_back(Bound(r.code[size_t(i)]));
    }
    p_.push_back(Bound(r.sIsok));
}

void StaffTable::Insert(const StaffRecord& r) {
    BindCommon(r, true);
    c_.Exec(insert_, p_);
}

int StaffTable::Update(long long id, const StaffRecord& r) {
    BindCommon(r, false);
    p_.emplace_back(id);
    p_.emplace_back(r.sMon.Number());
    return c_.Exec(update_, p_);
}

int StaffTable::DeleteMonth(Month m) {
    return c_.Exec(QStringLiteral("delete from Staff_moninfo where sMon=?"), {m.Number()});
}

int StaffTable::DeleteRow(long long id, Month m) {
    return c_.Exec(QStringLiteral("delete from Staff_moninfo where id=? and sMon=?"), {id, m.Number()});
}

}  // namespace qm
