#include "core/report/LeaderPost.h"

namespace qm::report {

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
