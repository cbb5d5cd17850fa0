#include "core/report/ReportEngine.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
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
    bool Empty() const { return entries_.empty(); }
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

// sum() as SQLite 3.40 keeps it: whole numbers added exactly while every value is one, every
// value also added as a real in the order the rows come.
struct Sum {
    long long whole = 0;
    double real = 0;
    long long count = 0;
    bool approx = false;
    bool overflow = false;

    db::Value Result() const {
        if (count == 0) return {};
        if (overflow) throw db::Error(QStringLiteral("integer overflow"), SQLITE_ERROR);
        if (approx) return db::Value(real);
        return db::Value(whole);
    }
};

// One wage value as a row brings it.
struct Taken {
    int type = SQLITE_NULL;
    sqlite3_int64 whole = 0;
    double real = 0;

    void Read(sqlite3_stmt* st, int col) {
        type = sqlite3_column_type(st, col);
        if (type == SQLITE_INTEGER)
            whole = sqlite3_column_int64(st, col);
        else if (type != SQLITE_NULL)
            real = sqlite3_column_double(st, col);  // a text or blob reads as SQLite reads it
    }
    void AddTo(Sum& s) const {
        switch (type) {
        case SQLITE_NULL: return;
        case SQLITE_INTEGER:
            ++s.count;
            s.real += double(whole);
            if (!s.approx && !s.overflow && __builtin_add_overflow(s.whole, whole, &s.whole))
                s.approx = s.overflow = true;
            return;
        default:
            ++s.count;
            s.real += real;
            s.approx = true;
        }
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
// meets none of them, so the statement need not read it. Open bounds, so that a month between
// two whole numbers (stored as a real) is read when it may count.
struct MonthBounds {
    bool any = false;                   // some condition takes some month
    bool all = false;                   // a condition takes rows of a NULL month, or no bound could be found
    std::optional<Datum> above, below;  // month > above, month < below; none: no bound
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

// The months (as test values) where the condition can hold, its other atoms taken as true.
MonthBounds BoundsOf(const Plan& p, const cond::Condition& cond) {
    MonthBounds b;
    std::vector<int> monthAtoms;
    std::vector<double> points;
    for (int a = 0; a < p.atoms.Size(); ++a) {
        const cond::Atom& atom = p.atoms.At(a);
        if (atom.column != p.monthColumn) continue;
        monthAtoms.push_back(a);
        if (atom.op == cond::Atom::Op::Like || !atom.late.isEmpty()) {
            b.all = true;
            b.any = true;
            return b;
        }
        for (const Datum& d : atom.values) {
            if (!d.IsNumber()) {
                b.all = b.any = true;
                return b;
            }
            points.push_back(d.kind == Datum::Kind::Integer ? double(d.i) : d.r);
        }
    }
    auto holds = [&](const Datum& month) {
        Bits truth{};
        truth[0] = truth[1] = ~std::uint64_t(0);
        for (int a : monthAtoms)
            if (!p.atoms.At(a).Test(month)) truth[size_t(a >> 6)] &= ~(std::uint64_t(1) << (a & 63));
        return cond.Holds(truth);
    };
    if (holds(Datum())) {
        b.all = b.any = true;
        return b;
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.empty()) points.push_back(0);
    // Test points: each literal, the middles between them, and one beyond each end.
    std::vector<Datum> tests;
    tests.push_back(Datum::RealOf(points.front() - 1));
    for (size_t k = 0; k < points.size(); ++k) {
        const double v = points[k];
        tests.push_back(v == std::floor(v) && std::fabs(v) < 9e15 ? Datum::Int((long long)v) : Datum::RealOf(v));
        tests.push_back(Datum::RealOf(k + 1 < points.size() ? (v + points[k + 1]) / 2 : v + 1));
    }
    std::vector<bool> ok;
    for (const Datum& t : tests) ok.push_back(holds(t));
    const bool text = holds(Datum::TextOf(std::string())) || holds(Datum::BlobOf(std::string()));
    const auto first = std::find(ok.begin(), ok.end(), true);
    if (first == ok.end() && !text) return b;  // never holds
    b.any = true;
    if (first == ok.end()) {
        b.above = tests.back();  // texts and blobs only: above every number
        return b;
    }
    const size_t f = size_t(first - ok.begin());
    const size_t l = size_t(ok.rend() - std::find(ok.rbegin(), ok.rend(), true)) - 1;
    if (f > 0) b.above = tests[f - 1];
    if (l + 1 < tests.size() && !text) b.below = tests[l + 1];
    return b;
}

void Widen(MonthBounds& into, const MonthBounds& b) {
    if (!b.any) return;
    if (!into.any) {
        into = b;
        return;
    }
    into.all = into.all || b.all;
    if (!b.above || (into.above && cond::Compare(*b.above, *into.above) < 0)) into.above = b.above;
    if (!b.below || (into.below && cond::Compare(*b.below, *into.below) > 0)) into.below = b.below;
}

// Whether rows of `month` can meet a condition of the bounds; a NULL month joins no wage row.
bool Within(const MonthBounds& b, const Datum& month) {
    if (!b.any || month.IsNull()) return false;
    if (b.all) return true;
    if (b.above && cond::Compare(month, *b.above) <= 0) return false;
    if (b.below && cond::Compare(month, *b.below) >= 0) return false;
    return true;
}

db::Value BoundValue(const Datum& d) { return d.kind == Datum::Kind::Integer ? db::Value(d.i) : db::Value(d.r); }

// " where sMon>? and sMon<?" for the bounds; empty when every row is to be read.
QString WhereOf(const MonthBounds& b, const char* column, db::Params& params) {
    if (b.all || !b.any) return {};
    // A row found through the month's index costs about three read straight through the
    // table: bounds that take in a third of the year or more read the table straight through.
    auto number = [](const Datum& d) { return d.kind == Datum::Kind::Integer ? double(d.i) : d.r; };
    const double low = b.above ? std::max(0.0, std::floor(number(*b.above)) + 1) : 0.0;
    const double high = b.below ? std::min(12.0, std::ceil(number(*b.below)) - 1) : 12.0;
    if ((high - low + 1) * 3 >= 13) return {};
    QStringList parts;
    if (b.above) {
        parts << QString::fromLatin1(column) + QStringLiteral(">?");
        params.push_back(BoundValue(*b.above));
    }
    if (b.below) {
        parts << QString::fromLatin1(column) + QStringLiteral("<?");
        params.push_back(BoundValue(*b.below));
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
    std::vector<Sum> sums(queries.size());

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
        if (lowest) out.leaderPost = lowest->kind == Datum::Kind::Integer ? lowest->i : std::llround(lowest->r);
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

    for (size_t k = 0; k < queries.size(); ++k)
        out.values[k] = queries[k].take == Take::Count ? db::Value(counts[k]) : sums[k].Result();
    return out;
}

}  // namespace qm::report
