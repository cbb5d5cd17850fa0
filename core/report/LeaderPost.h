#pragma once
// Who counts as a unit's leader. An enterprise or institution's leaders hold the posts
// 21..23 (like '2%'). A government organ's leader rank is the smallest post code below 20
// held by anybody in the year, L: leaders hold L and L+1 and its clerks L+2..L+4 and 18;
// with L = 15 the leaders hold 15 and the clerks 18. An organ whose smallest post is
// 16..19 holds no civil-servant leader post at all: it counts no leaders, clerks 18 only.

#include "core/base/UnitClass.h"

#include <QString>

#include <vector>

namespace qm::report {

class LeaderRule {
public:
    enum class Kind { General, OrganPair, OrganFifteen, OrganNone };

    LeaderRule(UnitClass cls, int leaderPost);

    Kind kind() const { return kind_; }
    bool IsOrgan() const { return kind_ != Kind::General; }
    int Post() const { return post_; }
    // The organ's leader posts: {12, 13} or {15}; empty when none.
    std::vector<int> LeaderPosts() const;
    // The organ's clerk posts: {14, 15, 16, 18} for L = 12, else {18}.
    std::vector<int> ClerkPosts() const;

private:
    Kind kind_;
    int post_;
};

}  // namespace qm::report
