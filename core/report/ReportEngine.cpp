#include "core/report/ReportEngine.h"

#include "core/report/Fmt.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

namespace qm::report {

namespace {

using cond::AtomSet;
using cond::Datum;
using Bits = AtomSet::Bits;

std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

std::uint64_t HashBytes(const char* p, size_t n) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ n;
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = Mix(h ^ w);
        p += 8;
        n -= 8;
    }
    std::uint64_t w = 0;
    std::memcpy(&w, p, n);
    return Mix(h ^ w ^ (std::uint64_t(n) << 56));
}

struct BytesHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return size_t(HashBytes(s.data(), s.size())); }
};

// A value's bytes as a key: its kind, then what it holds. Two values get the same key exactly
// when SQLite finds them equal in columns of one affinity (a real there is never whole).
void AppendKey(std::string& key, sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(st, col);
        key += 'I';
        key.append(reinterpret_cast<const char*>(&v), sizeof v);
        break;
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(st, col);
        key += 'R';
        key.append(reinterpret_cast<const char*>(&v), sizeof v);
        break;
    }
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const bool text = sqlite3_column_type(st, col) == SQLITE_TEXT;
        const char* p = text ? reinterpret_cast<const char*>(sqlite3_column_text(st, col))
                             : static_cast<const char*>(sqlite3_column_blob(st, col));
        const std::uint32_t n = std::uint32_t(sqlite3_column_bytes(st, col));
        key += text ? 'T' : 'B';
        key.append(reinterpret_cast<const char*>(&n), sizeof n);
        if (n) key.append(p, n);
        break;
    }
    default: key += 'N'; break;
    }
}

Datum DatumOf(sqlite3_stmt* st, int col) {
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER: return Datum::Int(sqlite3_column_int64(st, col));
    case SQLITE_FLOAT: return Datum::RealOf(sqlite3_column_double(st, col));
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return Datum::TextOf(std::string(p, size_t(sqlite3_column_bytes(st, col))));
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(st, col));
        const int n = sqlite3_column_bytes(st, col);
        return Datum::BlobOf(n ? std::string(p, size_t(n)) : std::string());
    }
    default: return Datum();
    }
}

// What one distinct value of a column is: the atoms it meets, its number among the column's
// values, and (the month) whether its rows are joined to wage rows.
struct Seen {
    Bits bits{};
    std::uint32_t id = 0;
    bool join = false;
};

// The values of one column as the rows bring them, each tested once.
class ColumnCache {
public:
    int select = 0;           // position in the statement
    std::vector<int> atoms;   // the atoms on this column known before the rows are read
    bool keepsValue = false;  // late atoms test it: each value stays apart in the groups
    std::function<bool(const Datum&)> joinable;
    std::vector<Datum> values;  // by id

    const Seen& Get(sqlite3_stmt* st, const AtomSet& set) {
        if (sqlite3_column_type(st, select) == SQLITE_INTEGER) {
            const sqlite3_int64 v = sqlite3_column_int64(st, select);
            if (v >= kLow && v < kLow + kSpan) {
                Slot& s = small_[size_t(v - kLow)];
                if (!s.set) {
                    s.seen = Make(Datum::Int(v), set);
                    s.set = true;
                }
                return s.seen;
            }
        }
        key_.clear();
        AppendKey(key_, st, select);
        const auto it = others_.find(std::string_view(key_));
        if (it != others_.end()) return it->second;
        return others_.emplace(key_, Make(DatumOf(st, select), set)).first->second;
    }

private:
    static constexpr long long kLow = -32;
    static constexpr long long kSpan = 256;
    struct Slot {
        Seen seen;
        bool set = false;
    };

    Seen Make(Datum d, const AtomSet& set) {
        Seen s;
        s.id = std::uint32_t(values.size());
        for (int a : atoms)
            if (set.At(a).Test(d)) cond::SetBit(s.bits, a);
        if (joinable) s.join = joinable(d);
        values.push_back(std::move(d));
        return s;
    }

    std::array<Slot, kSpan> small_{};
    std::string key_;
    std::unordered_map<std::string, Seen, BytesHash, std::equal_to<>> others_;
};

// Rows with the same atoms (and the same value of a kept column) count together.
struct Group {
    Bits bits{};
    std::uint32_t kept = 0;
    long long rows = 0;
};

class Groups {
public:
    Groups() : slots_(1024, 0), mask_(1023) {}

    std::uint32_t Find(const Bits& b, std::uint32_t kept) {
        size_t i = size_t(HashOf(b, kept)) & mask_;
        for (;;) {
            const std::uint32_t s = slots_[i];
            if (s == 0) break;
            const Group& g = groups_[s - 1];
            if (g.bits == b && g.kept == kept) return s - 1;
            i = (i + 1) & mask_;
        }
        groups_.push_back(Group{b, kept, 0});
        slots_[i] = std::uint32_t(groups_.size());
        if (groups_.size() * 2 > slots_.size()) Grow();
        return std::uint32_t(groups_.size() - 1);
    }
    Group& operator[](std::uint32_t g) { return groups_[g]; }
    size_t Size() const { return groups_.size(); }

private:
    static std::uint64_t HashOf(const Bits& b, std::uint32_t kept) {
        return Mix(b[0] ^ Mix(b[1] ^ (std::uint64_t(kept) << 32 | 0x5bd1e995U)));
    }
    void Grow() {
        slots_.assign(slots_.size() * 2, 0);
        mask_ = slots_.size() - 1;
        for (size_t k = 0; k < groups_.size(); ++k) {
            size_t i = size_t(HashOf(groups_[k].bits, groups_[k].kept)) & mask_;
            while (slots_[i] != 0) i = (i + 1) & mask_;
            slots_[i] = std::uint32_t(k + 1);
        }
    }

    std::vector<Group> groups_;
    std::vector<std::uint32_t> slots_;
    size_t mask_;
};

// The staff rows of the wage months by month and staff number, to join the wage rows to.
class JoinTable {
public:
    void Add(std::string_view key, std::uint32_t group) {
        entries_.push_back(Entry{HashBytes(key.data(), key.size()), std::uint32_t(arena_.size()),
                                 std::uint32_t(key.size()), group, 0});
        arena_.append(key);
    }
    // Chains the entries by key; entries of one key keep the order they were added in.
    void Build() {
        size_t n = 16;
        while (n < entries_.size() * 2) n *= 2;
        heads_.assign(n, kNone);
        mask_ = n - 1;
        for (size_t k = entries_.size(); k-- > 0;) {
            Entry& e = entries_[k];
            const size_t h = size_t(e.hash) & mask_;
            e.next = heads_[h];
            heads_[h] = std::uint32_t(k);
        }
    }
    // Calls fn(group) for each staff row of the key.
    template <class F>
    void ForEach(std::string_view key, F fn) const {
        const std::uint64_t hash = HashBytes(key.data(), key.size());
        for (std::uint32_t k = heads_[size_t(hash) & mask_]; k != kNone; k = entries_[k].next) {
            const Entry& e = entries_[k];
            if (e.hash == hash && e.length == key.size() &&
                std::memcmp(arena_.data() + e.offset, key.data(), key.size()) == 0)
                fn(e.group);
        }
    }
    // Room for `rows` keys of about `keyBytes` each, so that the table is not copied as it grows.
    void Reserve(size_t rows, size_t keyBytes) {
        entries_.reserve(rows);
        arena_.reserve(rows * keyBytes);
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Entry {
        std::uint64_t hash;
        std::uint32_t offset, length, group, next;
    };
    std::vector<Entry> entries_;
    std::string arena_;
    std::vector<std::uint32_t> heads_;
    size_t mask_ = 0;
};

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

    void Read(sqlite3_stmt* st, int col) {
        switch (sqlite3_column_type(st, col)) {
        case SQLITE_NULL: kind = Kind::Null; return;
        case SQLITE_INTEGER:
            kind = Kind::Whole;
            amount = Money::Whole(sqlite3_column_int64(st, col));
            return;
        default: {
            const double v = sqlite3_column_double(st, col);  // a text or blob reads as SQLite reads it
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
        if (names.empty()) throw db::Error::FromEngine(SQLITE_ERROR, QStringLiteral("no such table: Staff_moninfo"));
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

// The bounds of the months a set of conditions can take rows of: a row of any other month
// meets none of them, so the statement need not read it. Each bound is one of the conditions'
// own literals, kept exact (a month of 2^53 or more is no double): inclusive when the literal's
// own month counts, else exclusive, so that a month just beyond it (a real between two whole
// numbers) is still read.
struct MonthBound {
    Datum value;
    bool inclusive = false;
};
struct MonthBounds {
    bool any = false;                        // some condition takes some month
    bool all = false;                        // a condition takes rows of a NULL month, or no bound could be found
    std::optional<MonthBound> above, below;  // month >(=) above, month <(=) below; none: no bound
};

}  // namespace

namespace {

struct Plan {
    StaffColumns staff;
    AtomSet atoms;
    std::vector<cond::Condition> conditions;
    int monthColumn = -1, numberColumn = -1, postColumn = -1;
    MonthBounds staffMonths, wageMonths;
    bool late = false;

    explicit Plan(db::Connection& c) : staff(c) {}
};

// The months where the condition can hold, its other atoms taken as true. The month atoms
// compare with a few literals only, so each literal and each open run of months between two
// of them (or beyond the last) meets the condition as a whole: the runs are judged by where
// they lie, never by a value made up inside them.
MonthBounds BoundsOf(const Plan& p, const cond::Condition& cond) {
    MonthBounds b;
    std::vector<int> monthAtoms;
    std::vector<Datum> points;
    for (int a = 0; a < p.atoms.Size(); ++a) {
        const cond::Atom& atom = p.atoms.At(a);
        if (atom.column != p.monthColumn) continue;
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
            if (!test(p.atoms.At(a))) truth[size_t(a >> 6)] &= ~(std::uint64_t(1) << (a & 63));
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

// The looser of two bounds on one side (`lower`: bounds below the months).
std::optional<MonthBound> Looser(const std::optional<MonthBound>& x, const std::optional<MonthBound>& y, bool lower) {
    if (!x || !y) return std::nullopt;
    const int c = cond::Compare(x->value, y->value);
    if (c != 0) return (c < 0) == lower ? x : y;
    return x->inclusive ? x : y;
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

// Whether rows of `month` can meet a condition of the bounds; a NULL month joins no wage row.
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

db::Value BoundValue(const Datum& d) { return d.kind == Datum::Kind::Integer ? db::Value(d.i) : db::Value(d.r); }

// " where sMon>=? and sMon<?" for the bounds; empty when every row is to be read.
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

void Step(db::Connection& c, sqlite3_stmt* st, int rc) {
    if (rc != SQLITE_DONE) {
        sqlite3_reset(st);
        c.Fail();
    }
    sqlite3_reset(st);
}

}  // namespace

QueryResults RunQueries(db::Connection& c, const std::vector<Query>& queries, const cond::Values& values,
                        const std::vector<QString>& late, const LateLists& lateLists) {
    Plan p(c);
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
        Widen(queries[k].source == Source::Wages ? p.wageMonths : p.staffMonths, BoundsOf(p, p.conditions[k]));

    QueryResults out;
    out.values.assign(queries.size(), db::Value());
    std::vector<long long> counts(queries.size(), 0);
    std::vector<WageSum> sums(queries.size());

    // ---- the staff rows
    MonthBounds staffRead = p.staffMonths;
    Widen(staffRead, p.wageMonths);
    if (p.late) staffRead.all = staffRead.any = true;  // the leader post is any month's
    const bool join = p.wageMonths.any;
    if (!staffRead.any) {
        for (size_t k = 0; k < queries.size(); ++k)
            if (queries[k].take == Take::Count) out.values[k] = db::Value(0LL);
        return out;
    }
    std::vector<int> used;  // Staff_moninfo columns read, in statement order
    auto use = [&](int col) {
        if (col >= 0 && std::find(used.begin(), used.end(), col) == used.end()) used.push_back(col);
    };
    use(p.monthColumn);
    for (int a = 0; a < p.atoms.Size(); ++a) use(p.atoms.At(a).column);
    if (join) use(p.numberColumn);
    if (p.late) use(p.postColumn);
    std::vector<ColumnCache> caches(used.size());
    int keptCache = -1, monthSelect = -1, numberSelect = -1, postCache = -1;
    QStringList read;
    for (size_t k = 0; k < used.size(); ++k) {
        ColumnCache& cc = caches[k];
        cc.select = int(k);
        read << p.staff.names[size_t(used[k])];
        for (int a = 0; a < p.atoms.Size(); ++a) {
            const cond::Atom& atom = p.atoms.At(a);
            if (atom.column != used[k]) continue;
            if (atom.late.isEmpty())
                cc.atoms.push_back(a);
            else
                cc.keepsValue = true;
        }
        if (cc.keepsValue) {
            if (keptCache >= 0) throw std::invalid_argument("late lists test one column only");
            keptCache = int(k);
        }
        if (used[k] == p.monthColumn) {
            monthSelect = int(k);
            if (join) cc.joinable = [&p](const Datum& m) { return Within(p.wageMonths, m); };
        }
        if (used[k] == p.numberColumn) numberSelect = int(k);
        if (used[k] == p.postColumn && p.late) postCache = int(k);
    }
    // The columns whose values are looked at row by row; the staff number only makes the key.
    std::vector<size_t> looked;
    for (size_t k = 0; k < caches.size(); ++k)
        if (!caches[k].atoms.empty() || caches[k].keepsValue || int(k) == monthSelect || int(k) == postCache)
            looked.push_back(k);
    db::Params staffParams;
    const QString staffSql = QStringLiteral("select ") + read.join(QLatin1Char(',')) +
                             QStringLiteral(" from Staff_moninfo") + WhereOf(staffRead, "sMon", staffParams);
    Groups groups;
    JoinTable joined;
    if (join) {
        // The largest id bounds the rows (read from the end of the table, at once).
        db::Query q(c);
        q.Open(QStringLiteral("select max(id) from Staff_moninfo"));
        const long long rows = std::clamp<long long>(q.Fields(0).AsInteger(), 0, 1 << 24);
        joined.Reserve(size_t(rows), 24);
    }
    {
        sqlite3_stmt* st = c.Prepare(staffSql);
        c.Bind(st, staffParams);
        std::string key;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            Bits bits{};
            std::uint32_t kept = 0;
            bool joins = false;
            for (size_t k : looked) {
                const Seen& s = caches[k].Get(st, p.atoms);
                bits[0] |= s.bits[0];
                bits[1] |= s.bits[1];
                if (int(k) == keptCache) kept = s.id;
                if (int(k) == monthSelect) joins = s.join;
            }
            const std::uint32_t g = groups.Find(bits, kept);
            ++groups[g].rows;
            if (joins && sqlite3_column_type(st, numberSelect) != SQLITE_NULL) {
                key.clear();
                AppendKey(key, st, monthSelect);
                AppendKey(key, st, numberSelect);
                joined.Add(key, g);
            }
        }
        Step(c, st, rc);
    }

    // ---- the late lists, once the leader post is known
    std::vector<Bits> keptBits;
    if (p.late) {
        std::optional<Datum> lowest;
        for (const Datum& d : caches[size_t(postCache)].values)
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
        const ColumnCache& kc = caches[size_t(keptCache)];
        for (const Datum& d : kc.values) {
            Bits b{};
            for (int a = 0; a < p.atoms.Size(); ++a) {
                const cond::Atom& atom = p.atoms.At(a);
                if (!atom.late.isEmpty() && atom.column == used[size_t(keptCache)] && atom.Test(d)) cond::SetBit(b, a);
            }
            keptBits.push_back(b);
        }
    }
    auto truthOf = [&](const Group& g) {
        Bits t = g.bits;
        if (!keptBits.empty()) {
            t[0] |= keptBits[g.kept][0];
            t[1] |= keptBits[g.kept][1];
        }
        return t;
    };

    // ---- counts of staff rows
    std::vector<size_t> staffQueries, wageQueries;
    for (size_t k = 0; k < queries.size(); ++k)
        (queries[k].source == Source::Wages ? wageQueries : staffQueries).push_back(k);
    for (size_t g = 0; g < groups.Size(); ++g) {
        const Group& grp = groups[std::uint32_t(g)];
        const Bits t = truthOf(grp);
        for (size_t k : staffQueries)
            if (p.conditions[k].Holds(t)) counts[k] += grp.rows;
    }

    // ---- the wage rows, joined to the staff rows
    if (join) {
        joined.Build();
        std::vector<Take> takes;
        for (size_t k : wageQueries)
            if (queries[k].take != Take::Count && std::find(takes.begin(), takes.end(), queries[k].take) == takes.end())
                takes.push_back(queries[k].take);
        QStringList wageSelect{QStringLiteral("Smon"), QStringLiteral("sNumber")};
        std::vector<int> takeSlot(6, -1);
        for (Take t : takes) {
            takeSlot[size_t(t)] = int(wageSelect.size()) - 2;
            wageSelect << QString::fromLatin1(TakenColumn(t));
        }
        // Per group, the wage queries it meets, worked out when the group first joins a wage row.
        std::vector<std::vector<std::uint32_t>> cellsOf(groups.Size());
        std::vector<bool> known(groups.Size(), false);
        db::Params wageParams;
        const QString wageSql = QStringLiteral("select ") + wageSelect.join(QLatin1Char(',')) +
                                QStringLiteral(" from Wage_Info") + WhereOf(p.wageMonths, "Smon", wageParams);
        sqlite3_stmt* st = c.Prepare(wageSql);
        c.Bind(st, wageParams);
        std::string key;
        std::vector<Taken> taken(takes.size());
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (sqlite3_column_type(st, 0) == SQLITE_NULL || sqlite3_column_type(st, 1) == SQLITE_NULL) continue;
            key.clear();
            AppendKey(key, st, 0);
            AppendKey(key, st, 1);
            bool read = false;
            joined.ForEach(key, [&](std::uint32_t g) {
                if (!known[g]) {
                    const Bits t = truthOf(groups[g]);
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
        Step(c, st, rc);
    }

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
