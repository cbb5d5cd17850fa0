#include "core/report/ReportEngine.h"

#include "core/report/EngineColumns.h"
#include "core/report/EngineJoin.h"
#include "core/report/Fmt.h"
#include "core/report/MonthBounds.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace qm::report {

namespace {

using namespace engine;

// One wage figure, summed exactly (see Money.h): the same whatever order the rows come in.
// It keeps the type sum() would give it too: whole while every value was a whole number.
struct WageSum {
    MoneySum money;
    bool real = false;

    db::Value Result() const {
        if (money.IsNull()) return {};
        if (!real && money.Exact()) {
            const Money::Units u = money.Total().TenThousandths() / Money::kScale;
            if (u >= std::numeric_limits<long long>::min() && u <= std::numeric_limits<long long>::max())
                return db::Value(static_cast<long long>(u));
        }
        return db::Value(money.Approx());
    }
};

// One wage value as a row brings it, read once for every figure it counts in.
struct Taken {
    enum class Kind { Null, Whole, Real, Unheld } kind = Kind::Null;
    Money amount;
    double unheld = 0;

    void Read(const db::Row& row, int col) {
        const db::Cell c = row.At(col);
        switch (c.kind) {
        case db::Cell::Kind::Null: kind = Kind::Null; return;
        case db::Cell::Kind::Integer:
            kind = Kind::Whole;
            amount = Money::Whole(c.integer);
            return;
        default: {
            // A text or blob reads as SQLite reads it.
            const double v = c.kind == db::Cell::Kind::Real ? c.real : row.Real(col);
            const std::optional<Money> m = Money::FromDouble(v);
            kind = m ? Kind::Real : Kind::Unheld;
            if (m) amount = *m;
            unheld = v;
        }
        }
    }
    void AddTo(WageSum& s) const {
        switch (kind) {
        case Kind::Null: return;
        case Kind::Whole: s.money.Add(amount); return;
        case Kind::Real: s.money.Add(amount); break;
        case Kind::Unheld: s.money.Add(unheld); break;
        }
        s.real = true;
    }
};

const char* TakenColumn(Take t) {
    switch (t) {
    case Take::Count: return nullptr;
    case Take::Total: return "sTotal";
    case Take::N1: return "sN1";
    case Take::N2: return "sN2";
    case Take::N3: return "sN3";
    case Take::N4: return "sN4";
    }
    return nullptr;
}

// The columns of Staff_moninfo: name (lower case) -> index and affinity.
struct StaffColumns {
    std::vector<QString> names;
    std::vector<cond::Affinity> affinity;
    std::unordered_map<QString, int> byName;

    explicit StaffColumns(db::Connection& c) {
        db::Query q(c);
        q.Open(QStringLiteral("pragma table_info(Staff_moninfo)"));
        for (; !q.Eof(); q.Next()) {
            byName.emplace(q.FieldByName(QStringLiteral("name")).AsString().toLower(), int(names.size()));
            names.push_back(q.FieldByName(QStringLiteral("name")).AsString());
            affinity.push_back(cond::AffinityOf(q.FieldByName(QStringLiteral("type")).AsString()));
        }
        if (names.empty()) throw db::Error::Sql(QStringLiteral("no such table: Staff_moninfo"));
    }
    int Find(const QString& name) const {
        const auto it = byName.find(name.toLower());
        return it == byName.end() ? -1 : it->second;
    }
};

// The names the view VmonWage gives the staff row's columns; its wage columns (sNumber, sName,
// sTotal, sN1..sN4) are taken, never tested.
int WageViewColumn(const StaffColumns& staff, const QString& name) {
    static const char* const kStaffOnes[] = {"smon",       "sbirth", "ssex",       "snation", "sparty",
                                             "seducation", "spost",  "spostgrade", "sjgrade", "ssf",
                                             "sqrz",       "sgc",    "sjzs",       "ssg",     "syg"};
    const QString n = name.toLower();
    for (const char* s : kStaffOnes)
        if (n == QLatin1String(s)) return staff.Find(n);
    return -1;
}

struct Plan {
    StaffColumns staff;
    AtomSet atoms;
    std::vector<cond::Condition> conditions;
    int monthColumn = -1, numberColumn = -1, postColumn = -1;
    MonthBounds staffMonths, wageMonths;
    bool late = false;

    explicit Plan(db::Connection& c) : staff(c) {}
};

// The conditions read, and the months each source's rows are read for.
void ReadConditions(Plan& p, const std::vector<Query>& queries, const cond::Values& values,
                    const std::vector<QString>& late) {
    p.monthColumn = p.staff.Find(QStringLiteral("sMon"));
    p.numberColumn = p.staff.Find(QStringLiteral("sNumber"));
    p.postColumn = p.staff.Find(QStringLiteral("sPost"));
    for (const Query& q : queries) {
        const bool wages = q.source == Source::Wages;
        if (!wages && q.take != Take::Count) throw std::invalid_argument("staff rows are only counted");
        const cond::ColumnLookup lookup = [&](const QString& name) {
            cond::ColumnInfo info;
            info.index = wages ? WageViewColumn(p.staff, name) : p.staff.Find(name);
            if (info.index >= 0) info.affinity = p.staff.affinity[size_t(info.index)];
            return info;
        };
        p.conditions.push_back(cond::Parse(q.where, lookup, p.atoms, values, late));
    }
    p.late = p.atoms.HasLate();
    for (size_t k = 0; k < queries.size(); ++k)
        Widen(queries[k].source == Source::Wages ? p.wageMonths : p.staffMonths,
              BoundsOf(p.atoms, p.monthColumn, p.conditions[k]));
}

// The staff rows as read: the columns' values, the rows grouped by the atoms they meet, and
// the rows of the wage months ready to join.
struct StaffRows {
    std::vector<int> used;  // Staff_moninfo columns read, in statement order
    std::vector<ColumnCache> caches;
    std::vector<size_t> looked;  // the columns whose values are looked at row by row
    int keptCache = -1, monthSelect = -1, numberSelect = -1, postCache = -1;
    Groups groups;
    WageJoin joined;
    std::vector<Bits> keptBits;  // by the kept column's value id, once the late lists are known

    Bits TruthOf(const Group& g) const {
        Bits t = g.bits;
        if (!keptBits.empty()) {
            t[0] |= keptBits[g.kept][0];
            t[1] |= keptBits[g.kept][1];
        }
        return t;
    }
};

// The columns to read and what each is tested on; answers the statement's column list.
QStringList ChooseStaffColumns(const Plan& p, bool join, StaffRows& r) {
    auto use = [&](int col) {
        if (col >= 0 && std::find(r.used.begin(), r.used.end(), col) == r.used.end()) r.used.push_back(col);
    };
    if (p.monthColumn < 0) throw db::Error::Sql(QStringLiteral("no such column: sMon"));
    use(p.monthColumn);
    for (int a = 0; a < p.atoms.Size(); ++a) use(p.atoms.At(a).column);
    if (join) use(p.numberColumn);
    if (p.late) use(p.postColumn);
    r.caches.resize(r.used.size());
    QStringList read;
    for (size_t k = 0; k < r.used.size(); ++k) {
        ColumnCache& cc = r.caches[k];
        cc.select = int(k);
        read << p.staff.names[size_t(r.used[k])];
        for (int a = 0; a < p.atoms.Size(); ++a) {
            const cond::Atom& atom = p.atoms.At(a);
            if (atom.column != r.used[k]) continue;
            if (atom.late.isEmpty())
                cc.atoms.push_back(a);
            else
                cc.keepsValue = true;
        }
        if (cc.keepsValue) {
            if (r.keptCache >= 0) throw std::invalid_argument("late lists test one column only");
            r.keptCache = int(k);
        }
        if (r.used[k] == p.monthColumn) {
            r.monthSelect = int(k);
            if (join) cc.joinable = [&p](const Datum& m) { return Within(p.wageMonths, m); };
        }
        if (r.used[k] == p.numberColumn) r.numberSelect = int(k);
        if (r.used[k] == p.postColumn && p.late) r.postCache = int(k);
    }
    // The staff number only joins; it is never looked at.
    for (size_t k = 0; k < r.caches.size(); ++k)
        if (!r.caches[k].atoms.empty() || r.caches[k].keepsValue || int(k) == r.monthSelect || int(k) == r.postCache)
            r.looked.push_back(k);
    return read;
}

// The columns a row of a month whose atoms are `month` is looked at in, besides the month: those
// of the terms the month leaves open. A term the month fails is false whatever the other
// columns hold, so they need not be read for it.
std::vector<size_t> LookedFor(const Plan& p, const StaffRows& r, const Bits& month) {
    Bits monthAtoms{}, open{};
    for (int a : r.caches[size_t(r.monthSelect)].atoms) cond::SetBit(monthAtoms, a);
    for (const cond::Condition& c : p.conditions)
        for (const Bits& t : c.terms)
            if ((t[0] & monthAtoms[0] & ~month[0]) == 0 && (t[1] & monthAtoms[1] & ~month[1]) == 0) {
                open[0] |= t[0];
                open[1] |= t[1];
            }
    std::vector<size_t> cols;
    for (size_t k : r.looked) {
        if (int(k) == r.monthSelect) continue;
        bool needed = int(k) == r.keptCache || int(k) == r.postCache;
        for (int a : r.caches[k].atoms) needed = needed || (open[size_t(a >> 6)] >> (a & 63) & 1);
        if (needed) cols.push_back(k);
    }
    return cols;
}

// One pass over the staff rows of the months `months`.
void ReadStaffRows(db::Connection& c, const Plan& p, const MonthBounds& months, bool join, StaffRows& r) {
    db::Params params;
    const QString sql = QStringLiteral("select ") + ChooseStaffColumns(p, join, r).join(QLatin1Char(',')) +
                        QStringLiteral(" from Staff_moninfo") + WhereOf(months, "sMon", params);
    db::Statement st(c, sql);
    for (const db::Value& v : params) st.Add(v);
    std::vector<std::optional<std::vector<size_t>>> lookedIn;  // by the month's id, once it comes
    while (st.Step()) {
        const Seen& m = r.caches[size_t(r.monthSelect)].Get(st, p.atoms);
        Bits bits = m.bits;
        const std::uint32_t month = m.id;
        const bool joins = m.join;
        if (month >= lookedIn.size()) lookedIn.resize(month + 1);
        if (!lookedIn[month]) lookedIn[month] = LookedFor(p, r, bits);
        std::uint32_t kept = r.keptCache == r.monthSelect ? month : 0;
        for (size_t k : *lookedIn[month]) {
            const Seen& s = r.caches[k].Get(st, p.atoms);
            bits[0] |= s.bits[0];
            bits[1] |= s.bits[1];
            if (int(k) == r.keptCache) kept = s.id;
        }
        const std::uint32_t g = r.groups.Find(bits, kept);
        ++r.groups[g].rows;
        if (joins) r.joined.Add(st, r.monthSelect, month, r.numberSelect, g);
    }
}

// The late lists, once the leader post is known.
void ResolveLateLists(Plan& p, StaffRows& r, const std::vector<QString>& late, const LateLists& lateLists,
                      QueryResults& out) {
    std::optional<Datum> lowest;
    for (const Datum& d : r.caches[size_t(r.postCache)].values)
        if (d.IsNumber() && cond::Compare(d, Datum::Int(20)) < 0 && (!lowest || cond::Compare(d, *lowest) < 0))
            lowest = d;
    // A real post is taken as a whole number as the integer conversion takes it: a half goes to
    // the even one (12.5 -> 12).
    if (lowest) out.leaderPost = lowest->kind == Datum::Kind::Integer ? lowest->i : HalfEven(lowest->r);
    const cond::Values lists = lateLists ? lateLists(out.leaderPost) : cond::Values{};
    for (const QString& name : late) {
        const auto it = lists.find(name);
        std::vector<Datum> v;
        if (it != lists.end())
            for (long long x : it->second) v.push_back(Datum::Int(x));
        p.atoms.Resolve(name, v);
    }
    const ColumnCache& kc = r.caches[size_t(r.keptCache)];
    for (const Datum& d : kc.values) {
        Bits b{};
        for (int a = 0; a < p.atoms.Size(); ++a) {
            const cond::Atom& atom = p.atoms.At(a);
            if (!atom.late.isEmpty() && atom.column == r.used[size_t(r.keptCache)] && atom.Test(d)) cond::SetBit(b, a);
        }
        r.keptBits.push_back(b);
    }
}

// Calls fn(atom) for each atom set in `bits`.
template <class F>
void ForEachAtom(const Bits& bits, F fn) {
    for (size_t half = 0; half < bits.size(); ++half)
        for (std::uint64_t b = bits[half]; b != 0; b &= b - 1) fn(half * 64 + size_t(std::countr_zero(b)));
}

// The groups turned on their side: per atom, a bit for each group that meets it, and the
// groups' row counts by their binary digits. A condition's rows are then counted 64 groups at a
// time, however many conditions a form has and however many groups its columns make.
class SidewaysGroups {
public:
    SidewaysGroups(const StaffRows& r, int atoms) : words_((r.groups.Size() + 63) / 64) {
        long long most = 0;
        for (size_t g = 0; g < r.groups.Size(); ++g) most = std::max(most, r.groups[std::uint32_t(g)].rows);
        digits_ = std::bit_width(std::uint64_t(most));
        meets_.assign(size_t(atoms) * words_, 0);
        digitsOf_.assign(size_t(digits_) * words_, 0);
        for (size_t g = 0; g < r.groups.Size(); ++g) {
            const Group& grp = r.groups[std::uint32_t(g)];
            const size_t w = g / 64;
            const std::uint64_t bit = std::uint64_t(1) << (g & 63);
            ForEachAtom(r.TruthOf(grp), [&](size_t a) { meets_[a * words_ + w] |= bit; });
            for (int d = 0; d < digits_; ++d)
                if (std::uint64_t(grp.rows) >> d & 1) digitsOf_[size_t(d) * words_ + w] |= bit;
        }
    }

    // The rows of the groups that meet the condition: those that meet every atom of one of its
    // terms (an empty term: every group; no term: none).
    long long Rows(const cond::Condition& c) {
        at_.clear();
        ends_.clear();
        for (const Bits& t : c.terms) {
            ForEachAtom(t, [&](size_t a) { at_.push_back(a * words_); });
            ends_.push_back(at_.size());
        }
        long long rows = 0;
        for (size_t w = 0; w < words_; ++w) {
            std::uint64_t any = 0;
            size_t from = 0;
            for (const size_t end : ends_) {
                std::uint64_t all = ~std::uint64_t(0);
                for (size_t i = from; i < end; ++i) all &= meets_[at_[i] + w];
                any |= all;
                from = end;
            }
            for (int d = 0; d < digits_ && any != 0; ++d)
                rows += static_cast<long long>(std::popcount(any & digitsOf_[size_t(d) * words_ + w])) << d;
        }
        return rows;
    }

private:
    size_t words_;
    int digits_ = 0;
    std::vector<std::uint64_t> meets_;     // [atom * words_ + word]
    std::vector<std::uint64_t> digitsOf_;  // [digit * words_ + word]: the groups whose count has it
    std::vector<size_t> at_, ends_;        // a condition's atoms by where their bits start, per term
};

// Each count of staff rows.
void CountStaffRows(const Plan& p, const StaffRows& r, const std::vector<size_t>& staffQueries,
                    std::vector<long long>& counts) {
    if (staffQueries.empty() || r.groups.Size() == 0) return;
    SidewaysGroups sideways(r, p.atoms.Size());
    for (size_t k : staffQueries) counts[k] += sideways.Rows(p.conditions[k]);
}

// One pass over the wage rows of the wage months, each joined to its staff rows.
void JoinWageRows(db::Connection& c, const Plan& p, const std::vector<Query>& queries,
                  const std::vector<size_t>& wageQueries, StaffRows& r, std::vector<long long>& counts,
                  std::vector<WageSum>& sums) {
    r.joined.Build();
    std::vector<Take> takes;
    for (size_t k : wageQueries)
        if (queries[k].take != Take::Count && std::find(takes.begin(), takes.end(), queries[k].take) == takes.end())
            takes.push_back(queries[k].take);
    QStringList select{QStringLiteral("Smon"), QStringLiteral("sNumber")};
    std::vector<int> takeSlot(6, -1);
    for (Take t : takes) {
        takeSlot[size_t(t)] = int(select.size()) - 2;
        select << QString::fromLatin1(TakenColumn(t));
    }
    // Per group, the wage queries it meets, worked out when the group first joins a wage row.
    std::vector<std::vector<std::uint32_t>> cellsOf(r.groups.Size());
    std::vector<bool> known(r.groups.Size(), false);
    db::Params params;
    const QString sql = QStringLiteral("select ") + select.join(QLatin1Char(',')) + QStringLiteral(" from Wage_Info") +
                        WhereOf(p.wageMonths, "Smon", params);
    db::Statement st(c, sql);
    for (const db::Value& v : params) st.Add(v);
    std::vector<Taken> taken(takes.size());
    while (st.Step()) {
        const db::Cell month = st.At(0), number = st.At(1);
        if (month.IsNull() || number.IsNull()) continue;
        bool read = false;
        r.joined.ForEach(month, number, [&](std::uint32_t g) {
            if (!known[g]) {
                const Bits t = r.TruthOf(r.groups[g]);
                for (size_t k : wageQueries)
                    if (p.conditions[k].Holds(t)) cellsOf[g].push_back(std::uint32_t(k));
                known[g] = true;
            }
            if (!read) {
                for (size_t j = 0; j < takes.size(); ++j) taken[j].Read(st, int(j) + 2);
                read = true;
            }
            for (std::uint32_t k : cellsOf[g]) {
                const Take t = queries[k].take;
                if (t == Take::Count)
                    ++counts[k];
                else
                    taken[size_t(takeSlot[size_t(t)])].AddTo(sums[k]);
            }
        });
    }
}

}  // namespace

QueryResults RunQueries(db::Connection& c, const std::vector<Query>& queries, const cond::Values& values,
                        const std::vector<QString>& late, const LateLists& lateLists) {
    Plan p(c);
    ReadConditions(p, queries, values, late);
    QueryResults out;
    out.values.assign(queries.size(), db::Value());
    std::vector<long long> counts(queries.size(), 0);
    std::vector<WageSum> sums(queries.size());

    MonthBounds staffRead = p.staffMonths;
    Widen(staffRead, p.wageMonths);
    if (p.late) staffRead.all = staffRead.any = true;  // the leader post is any month's
    if (!staffRead.any) {
        for (size_t k = 0; k < queries.size(); ++k)
            if (queries[k].take == Take::Count) out.values[k] = db::Value(0LL);
        return out;
    }
    const bool join = p.wageMonths.any;
    StaffRows rows;
    ReadStaffRows(c, p, staffRead, join, rows);
    if (p.late) ResolveLateLists(p, rows, late, lateLists, out);

    std::vector<size_t> staffQueries, wageQueries;
    for (size_t k = 0; k < queries.size(); ++k)
        (queries[k].source == Source::Wages ? wageQueries : staffQueries).push_back(k);
    CountStaffRows(p, rows, staffQueries, counts);
    if (join) JoinWageRows(c, p, queries, wageQueries, rows, counts, sums);

    out.sums.resize(queries.size());
    for (size_t k = 0; k < queries.size(); ++k) {
        if (queries[k].take == Take::Count) {
            out.values[k] = db::Value(counts[k]);
        } else {
            out.values[k] = sums[k].Result();
            out.sums[k] = std::move(sums[k].money);
        }
    }
    return out;
}

}  // namespace qm::report
