#include "core/report/LeaderPost.h"

#include "core/db/Db.h"

namespace qm::report {

int LookLeader(db::Connection& c, int current) {
    db::Query q(c);
    q.Open(QStringLiteral("select sPost  from Staff_moninfo where sPost <20 group by sPost order by spost"));
    if (q.Eof()) return current;
    return int(q.Fields(0).AsInteger());
}

LeaderRule::LeaderRule(UnitClass cls, int leaderPost) : post_(leaderPost) {
    if (!cls.IsOrgan())
        kind_ = Kind::General;
    else if (leaderPost < 15)
        kind_ = Kind::OrganPair;
    else if (leaderPost == 15)
        kind_ = Kind::OrganFifteen;
    else
        kind_ = Kind::OrganNone;
}

QString LeaderRule::LeaderPosts() const {
    switch (kind_) {
    case Kind::OrganPair: return QString::number(post_) + QLatin1Char(',') + QString::number(post_ + 1);
    case Kind::OrganFifteen: return QStringLiteral("15");
    default: return {};
    }
}

QString LeaderRule::ClerkPosts() const {
    if (kind_ == Kind::OrganPair)
        return QString::number(post_ + 2) + QLatin1Char(',') + QString::number(post_ + 3) + QLatin1Char(',') +
               QString::number(post_ + 4) + QStringLiteral(",18");
    return QStringLiteral("18");
}

}  // namespace qm::report
