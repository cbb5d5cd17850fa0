#include "core/report/CellRule.h"

#include "core/report/Fmt.h"
#include "core/report/LeaderPost.h"
#include "core/report/Refusal.h"

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

std::vector<db::Value> ReadRules(db::Connection& c, const std::vector<CellRule>& rules, const cond::Values& values,
                                 UnitClass unit, int& leaderPost) {
    std::vector<Query> queries;
    queries.reserve(rules.size());
    for (const CellRule& r : rules)
        queries.push_back({r.source, unit.IsOrgan() && !r.organ.isEmpty() ? r.organ : r.where, r.take});
    const QueryResults results =
        RunQueries(c, queries, values, {kLeaders, kClerks}, [&](std::optional<long long> found) {
            if (found) leaderPost = int(*found);
            const LeaderRule rule(unit, leaderPost);
            return cond::Values{{kLeaders, Wide(rule.LeaderPosts())}, {kClerks, Wide(rule.ClerkPosts())}};
        });
    return results.values;
}

std::vector<QString> ShownTexts(const std::vector<CellRule>& rules, const std::vector<db::Value>& figures, int divisor,
                                const std::function<QString(const CellRule&)>& name) {
    // Every sum is read, and checked, before a text is made.
    std::vector<long long> whole(rules.size(), 0);
    for (size_t k = 0; k < rules.size(); ++k)
        whole[k] = rules[k].take == Take::Count ? figures[k].AsInteger()
                                                : WholeSum(figures[k], name ? name(rules[k]) : QString());
    std::vector<QString> texts;
    texts.reserve(rules.size());
    for (size_t k = 0; k < rules.size(); ++k) {
        const long long n = whole[k];
        switch (rules[k].shown) {
        case Shown::Whole: texts.push_back(QString::number(n)); break;
        case Shown::Average: texts.push_back(Fmt0(double(n) / double(divisor))); break;
        case Shown::AverageFloor: texts.push_back(QString::number(n / divisor)); break;
        case Shown::Thousands: texts.push_back(Fmt0(double(n) / 1000.0)); break;
        }
    }
    return texts;
}

}  // namespace qm::report
