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

std::vector<int> LeaderRule::LeaderPosts() const {
    switch (kind_) {
    case Kind::OrganPair: return {post_, post_ + 1};
    case Kind::OrganFifteen: return {15};
    default: return {};
    }
}

std::vector<int> LeaderRule::ClerkPosts() const {
    if (kind_ == Kind::OrganPair) return {post_ + 2, post_ + 3, post_ + 4, 18};
    return {18};
}

}  // namespace qm::report
