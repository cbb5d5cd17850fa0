#include "core/report/MonthBounds.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace qm::report::engine {

namespace {

// The looser of two bounds on one side (`lower`: bounds below the months).
std::optional<MonthBound> Looser(const std::optional<MonthBound>& x, const std::optional<MonthBound>& y, bool lower) {
    if (!x || !y) return std::nullopt;
    const int c = cond::Compare(x->value, y->value);
    if (c != 0) return (c < 0) == lower ? x : y;
    return x->inclusive ? x : y;
}

db::Value BoundValue(const Datum& d) { return d.kind == Datum::Kind::Integer ? db::Value(d.i) : db::Value(d.r); }

}  // namespace

// The month atoms compare with a few literals only, so each literal and each open run of
// months between two of them (or beyond the last) meets the condition as a whole: the runs are
// judged by where they lie, never by a value made up inside them.
MonthBounds BoundsOf(const AtomSet& atoms, int monthColumn, const cond::Condition& cond) {
    MonthBounds b;
    std::vector<int> monthAtoms;
    std::vector<Datum> points;
    for (int a = 0; a < atoms.Size(); ++a) {
        const cond::Atom& atom = atoms.At(a);
        if (atom.column != monthColumn) continue;
        monthAtoms.push_back(a);
        if (atom.op == cond::Atom::Op::Like || !atom.late.isEmpty()) {
            b.all = b.any = true;
            return b;
        }
        for (const Datum& d : atom.values) {
            if (!d.IsNumber()) {
                b.all = b.any = true;
                return b;
            }
            points.push_back(d);
        }
    }
    auto holdsWhere = [&](const std::function<bool(const cond::Atom&)>& test) {
        Bits truth{};
        truth[0] = truth[1] = ~std::uint64_t(0);
        for (int a : monthAtoms)
            if (!test(atoms.At(a))) truth[size_t(a >> 6)] &= ~(std::uint64_t(1) << (a & 63));
        return cond.Holds(truth);
    };
    auto holds = [&](const Datum& month) { return holdsWhere([&](const cond::Atom& a) { return a.Test(month); }); };
    if (holds(Datum()) || points.empty()) {
        b.all = b.any = true;
        return b;
    }
    const auto less = [](const Datum& x, const Datum& y) { return cond::Compare(x, y) < 0; };
    std::sort(points.begin(), points.end(), less);
    points.erase(std::unique(points.begin(), points.end(),
                             [](const Datum& x, const Datum& y) { return cond::Compare(x, y) == 0; }),
                 points.end());
    // Place 2k+1 is the literal k, place 2k the months between literal k-1 and literal k.
    const int places = int(points.size()) * 2 + 1;
    auto holdsAt = [&](int place) {
        if (place % 2 == 1) return holds(points[size_t(place / 2)]);
        return holdsWhere([&](const cond::Atom& a) {
            auto side = [&](const Datum& d) {  // <0: the months lie below d
                const int at = int(std::lower_bound(points.begin(), points.end(), d, less) - points.begin());
                return place <= 2 * at ? -1 : 1;
            };
            switch (a.op) {
            case cond::Atom::Op::Eq:
            case cond::Atom::Op::In: return false;
            case cond::Atom::Op::Ne: return true;
            case cond::Atom::Op::Lt:
            case cond::Atom::Op::Le: return side(a.values[0]) < 0;
            case cond::Atom::Op::Gt:
            case cond::Atom::Op::Ge: return side(a.values[0]) > 0;
            case cond::Atom::Op::Like: break;
            }
            return false;
        });
    };
    std::vector<bool> ok;
    for (int k = 0; k < places; ++k) ok.push_back(holdsAt(k));
    // Texts and blobs lie above every number.
    const bool text = holds(Datum::TextOf(std::string())) || holds(Datum::BlobOf(std::string()));
    const auto first = std::find(ok.begin(), ok.end(), true);
    if (first == ok.end() && !text) return b;  // never holds
    b.any = true;
    if (first == ok.end()) {
        b.above = MonthBound{points.back(), false};
        return b;
    }
    const int f = int(first - ok.begin());
    const int l = int(ok.rend() - std::find(ok.rbegin(), ok.rend(), true)) - 1;
    if (f % 2 == 1)
        b.above = MonthBound{points[size_t(f / 2)], true};
    else if (f > 0)
        b.above = MonthBound{points[size_t(f / 2 - 1)], false};
    if (!text) {
        if (l % 2 == 1)
            b.below = MonthBound{points[size_t(l / 2)], true};
        else if (l < places - 1)
            b.below = MonthBound{points[size_t(l / 2)], false};
    }
    return b;
}

void Widen(MonthBounds& into, const MonthBounds& b) {
    if (!b.any) return;
    if (!into.any) {
        into = b;
        return;
    }
    into.all = into.all || b.all;
    into.above = Looser(into.above, b.above, true);
    into.below = Looser(into.below, b.below, false);
}

bool Within(const MonthBounds& b, const Datum& month) {
    if (!b.any || month.IsNull()) return false;
    if (b.all) return true;
    if (b.above) {
        const int c = cond::Compare(month, b.above->value);
        if (c < 0 || (c == 0 && !b.above->inclusive)) return false;
    }
    if (b.below) {
        const int c = cond::Compare(month, b.below->value);
        if (c > 0 || (c == 0 && !b.below->inclusive)) return false;
    }
    return true;
}

QString WhereOf(const MonthBounds& b, const char* column, db::Params& params) {
    if (b.all || !b.any) return {};
    // A row found through the month's index costs about three read straight through the
    // table: bounds that take in a third of the year or more read the table straight through.
    // (The months' count is only estimated here; the bounds themselves stay exact.)
    auto number = [](const Datum& d) { return d.kind == Datum::Kind::Integer ? double(d.i) : d.r; };
    const double low = b.above ? std::max(0.0, b.above->inclusive ? std::ceil(number(b.above->value))
                                                                  : std::floor(number(b.above->value)) + 1)
                               : 0.0;
    const double high = b.below ? std::min(12.0, b.below->inclusive ? std::floor(number(b.below->value))
                                                                    : std::ceil(number(b.below->value)) - 1)
                                : 12.0;
    if ((high - low + 1) * 3 >= 13) return {};
    QStringList parts;
    if (b.above) {
        parts << QString::fromLatin1(column) + (b.above->inclusive ? QStringLiteral(">=?") : QStringLiteral(">?"));
        params.push_back(BoundValue(b.above->value));
    }
    if (b.below) {
        parts << QString::fromLatin1(column) + (b.below->inclusive ? QStringLiteral("<=?") : QStringLiteral("<?"));
        params.push_back(BoundValue(b.below->value));
    }
    return parts.isEmpty() ? QString() : QStringLiteral(" where ") + parts.join(QStringLiteral(" and "));
}

}  // namespace qm::report::engine
