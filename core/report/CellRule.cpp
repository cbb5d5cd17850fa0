#include "core/report/CellRule.h"

#include "core/report/Fmt.h"
#include "core/report/LeaderPost.h"
#include "core/report/Refusal.h"

#include <limits>

namespace qm::report {

namespace {

const QString kLeaders = QStringLiteral("leaders");
const QString kClerks = QStringLiteral("clerks");

std::vector<long long> Wide(const std::vector<int>& v) { return std::vector<long long>(v.begin(), v.end()); }

}  // namespace

QString SupplementLine::Text(const QString& figure) const {
    return QString(leading, QLatin1Char(' ')) + label + QString(closing, QLatin1Char(' ')) + figure +
           QStringLiteral("  ") + unit;
}

QString SupplementLine::TextWithout() const {
    return QString(leading, QLatin1Char(' ')) + label + QString(noValue, QLatin1Char(' ')) + unit;
}

QueryResults ReadRules(db::Connection& c, const std::vector<CellRule>& rules, const cond::Values& values,
                       UnitClass unit, int& leaderPost) {
    std::vector<Query> queries;
    queries.reserve(rules.size());
    for (const CellRule& r : rules)
        queries.push_back({r.source, unit.IsOrgan() && !r.organ.isEmpty() ? r.organ : r.where, r.take});
    return RunQueries(c, queries, values, {kLeaders, kClerks}, [&](std::optional<long long> found) {
        if (found) {
            if (*found < std::numeric_limits<int>::min() || *found > std::numeric_limits<int>::max())
                throw Refused(
                    QStringLiteral("岗位代码 %1 不是有效的代码，无法确定单位负责人。本表没有生成，原有的结果未改动。"
                                   "请在人员信息中改正岗位。")
                        .arg(*found));
            leaderPost = int(*found);
        }
        const LeaderRule rule(unit, leaderPost);
        return cond::Values{{kLeaders, Wide(rule.LeaderPosts())}, {kClerks, Wide(rule.ClerkPosts())}};
    });
}

std::vector<QString> ShownTexts(const std::vector<CellRule>& rules, const QueryResults& figures, int divisor,
                                const std::function<QString(const CellRule&)>& name) {
    // Every sum is read, and checked, before a text is made.
    std::vector<long long> whole(rules.size(), 0);
    for (size_t k = 0; k < rules.size(); ++k)
        whole[k] = rules[k].take == Take::Count ? figures.values[k].AsInteger()
                                                : WholeSum(figures.sums.at(k), name ? name(rules[k]) : QString());
    std::vector<QString> texts;
    texts.reserve(rules.size());
    for (size_t k = 0; k < rules.size(); ++k) {
        const long long n = whole[k];
        switch (rules[k].shown) {
        case Shown::Whole: texts.push_back(QString::number(n)); break;
        case Shown::Average: texts.push_back(FmtQuotient(n, divisor, 0)); break;
        case Shown::AverageFloor: texts.push_back(QString::number(n / divisor)); break;
        case Shown::Thousands: texts.push_back(FmtQuotient(n, 1000, 0)); break;
        }
    }
    return texts;
}

std::vector<QString> ShownTexts(const std::vector<CellRule>& rules, const std::vector<db::Value>& figures, int divisor,
                                const std::function<QString(const CellRule&)>& name) {
    QueryResults r;
    r.values = figures;
    for (size_t k = 0; k < figures.size(); ++k)
        r.sums.push_back(rules.at(k).take == Take::Count ? MoneySum() : SumOf(figures[k]));
    return ShownTexts(rules, r, divisor, name);
}

}  // namespace qm::report
