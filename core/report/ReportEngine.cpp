#include "core/report/ReportEngine.h"

#include "core/base/ByteHash.h"
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
#include <utility>

namespace qm::report {

namespace {

using cond::AtomSet;
using cond::Datum;
using Bits = AtomSet::Bits;

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

// What one distinct value of a column is: the atoms it meets, its number among the column's
// values, and (the month) whether its rows are joined to wage rows.
struct Seen {
    Bits bits{};
    std::uint32_t id = 0;
    bool join = false;
};

// The values of one column as the rows bring them, each tested once. A value is found by its
// kind and what it holds, read straight from the row: no key is built for it.
class ColumnCache {
public:
    int select = 0;           // position in the statement
    std::vector<int> atoms;   // the atoms on this column known before the rows are read
    bool keepsValue = false;  // late atoms test it: each value stays apart in the groups
    std::function<bool(const Datum&)> joinable;
    std::vector<Datum> values;  // by id

    const Seen& Get(sqlite3_stmt* st, const AtomSet& set) {
        // One look at the column's value; its kind and content are read from it directly.
        sqlite3_value* v = sqlite3_column_value(st, select);
        const int type = sqlite3_value_type(v);
        if (type == SQLITE_INTEGER) {
            const sqlite3_int64 i = sqlite3_value_int64(v);
            if (i >= kLow && i < kLow + kSpan) {
                Slot& s = small_[size_t(i - kLow)];
                if (!s.set) {
                    s.seen = Make(Datum::Int(i), set);
                    s.set = true;
                }
                return s.seen;
            }
            return Find(Datum::Kind::Integer, &i, sizeof i, set, v);
        }
        if (type == SQLITE_FLOAT) {
            const double r = sqlite3_value_double(v);
            return Find(Datum::Kind::Real, &r, sizeof r, set, v);
        }
        if (type == SQLITE_TEXT) {
            const unsigned char* p = sqlite3_value_text(v);
            return Find(Datum::Kind::Text, p, size_t(sqlite3_value_bytes(v)), set, v);
        }
        if (type == SQLITE_BLOB) {
            const void* p = sqlite3_value_blob(v);
            return Find(Datum::Kind::Blob, p, size_t(sqlite3_value_bytes(v)), set, v);
        }
        return Find(Datum::Kind::Null, nullptr, 0, set, v);
    }

private:
    static constexpr long long kLow = -32;
    static constexpr long long kSpan = 256;
    struct Slot {
        Seen seen;
        bool set = false;
    };

    // The value of kind `kind` whose content is the n bytes at p (a number's own bytes).
    const Seen& Find(Datum::Kind kind, const void* p, size_t n, const AtomSet& set, sqlite3_value* v) {
        const char* bytes = static_cast<const char*>(p);
        const std::uint64_t h = HashBytes(bytes, n) ^ std::uint64_t(kind);
        if (slots_.empty()) slots_.assign(64, kNone);
        size_t i = size_t(h) & (slots_.size() - 1);
        for (std::uint32_t k; (k = slots_[i]) != kNone; i = (i + 1) & (slots_.size() - 1))
            if (hashes_[k] == h && Holds(values[seen_[k].id], kind, bytes, n)) return seen_[k];
        slots_[i] = std::uint32_t(seen_.size());
        hashes_.push_back(h);
        seen_.push_back(Make(DatumOf(kind, bytes, n, v), set));
        if (seen_.size() * 2 > slots_.size()) Grow();
        return seen_.back();
    }
    static bool Holds(const Datum& d, Datum::Kind kind, const char* p, size_t n) {
        if (d.kind != kind) return false;
        switch (kind) {
        case Datum::Kind::Integer: return std::memcmp(&d.i, p, n) == 0;
        case Datum::Kind::Real: return std::memcmp(&d.r, p, n) == 0;  // the same bits
        case Datum::Kind::Text:
        case Datum::Kind::Blob: return d.bytes.size() == n && (n == 0 || std::memcmp(d.bytes.data(), p, n) == 0);
        case Datum::Kind::Null: return true;
        }
        return false;
    }
    static Datum DatumOf(Datum::Kind kind, const char* p, size_t n, sqlite3_value* v) {
        switch (kind) {
        case Datum::Kind::Integer: return Datum::Int(sqlite3_value_int64(v));
        case Datum::Kind::Real: return Datum::RealOf(sqlite3_value_double(v));
        case Datum::Kind::Text: return Datum::TextOf(std::string(p, n));
        case Datum::Kind::Blob: return Datum::BlobOf(n ? std::string(p, n) : std::string());
        case Datum::Kind::Null: break;
        }
        return Datum();
    }
    void Grow() {
        slots_.assign(slots_.size() * 2, kNone);
        for (std::uint32_t k = 0; k < seen_.size(); ++k) {
            size_t i = size_t(hashes_[k]) & (slots_.size() - 1);
            while (slots_[i] != kNone) i = (i + 1) & (slots_.size() - 1);
            slots_[i] = k;
        }
    }

    Seen Make(Datum d, const AtomSet& set) {
        Seen s;
        s.id = std::uint32_t(values.size());
        for (int a : atoms)
            if (set.At(a).Test(d)) cond::SetBit(s.bits, a);
        if (joinable) s.join = joinable(d);
        values.push_back(std::move(d));
        return s;
    }

    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::array<Slot, kSpan> small_{};
    std::vector<std::uint32_t> slots_;  // by hash: an index into seen_
    std::vector<std::uint64_t> hashes_;
    std::vector<Seen> seen_;  // the values found by their content
};

// Rows with the same atoms (and the same value of a kept column) count together.
struct Group {
    Bits bits{};
    std::uint32_t kept = 0;
    long long rows = 0;
};

class Groups {
public:
    // Room for the thousands of groups a form of many columns makes, so that they are not
    // copied as they come.
    Groups() : slots_(8192, 0), mask_(8191) { groups_.reserve(1 << 14); }

    std::uint32_t Find(const Bits& b, std::uint32_t kept) {
        size_t i = size_t(HashOf(b, kept)) & mask_;
        for (;;) {
            const std::uint32_t s = slots_[i];
            if (s == 0) break;
            const Group& g = groups_[s - 1];
            if (g.bits[0] == b[0] && g.bits[1] == b[1] && g.kept == kept) return s - 1;
            i = (i + 1) & mask_;
        }
        groups_.push_back(Group{b, kept, 0});
        slots_[i] = std::uint32_t(groups_.size());
        if (groups_.size() * 2 > slots_.size()) Grow();
        return std::uint32_t(groups_.size() - 1);
    }
    Group& operator[](std::uint32_t g) { return groups_[g]; }
    const Group& operator[](std::uint32_t g) const { return groups_[g]; }
    size_t Size() const { return groups_.size(); }

private:
    static std::uint64_t HashOf(const Bits& b, std::uint32_t kept) {
        return MixBits(b[0] ^ MixBits(b[1] ^ (std::uint64_t(kept) << 32 | 0x5bd1e995U)));
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

// Empties `heads` for chains of `entries` entries: a power of two of them, at least twice as
// many; answers the mask of their index.
size_t EmptySlots(std::vector<std::uint32_t>& heads, size_t entries) {
    size_t n = 16;
    while (n < entries * 2) n *= 2;
    heads.assign(n, 0xFFFFFFFFu);
    return n - 1;
}

// Staff rows by the bytes of their month and staff number, to join the wage rows to.
class JoinTable {
public:
    void Add(std::string_view key, std::uint32_t group) {
        entries_.push_back(Entry{HashBytes(key.data(), key.size()), std::uint32_t(arena_.size()),
                                 std::uint32_t(key.size()), group, 0});
        arena_.append(key);
    }
    // Chains the entries by key; entries of one key keep the order they were added in.
    void Build() {
        mask_ = EmptySlots(heads_, entries_.size());
        for (size_t k = entries_.size(); k-- > 0;) {
            std::uint32_t& head = heads_[size_t(entries_[k].hash) & mask_];
            entries_[k].next = std::exchange(head, std::uint32_t(k));
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

// A staff number as 64 bits, when it is a text that fits: decimal digits (up to eighteen, or
// seventeen and an 'X', as identity numbers are) by their value, numbered so that numbers of
// different lengths never meet; another text of up to seven bytes by its bytes and length. Two
// texts pack alike exactly when their bytes are equal; a text that does not fit is not packed.
constexpr std::uint64_t kDigitsTag = std::uint64_t(1) << 63;

constexpr std::array<std::uint64_t, 20> ShorterDigitTexts() {
    std::array<std::uint64_t, 20> n{};  // [k]: how many digit texts are shorter than k
    std::uint64_t ten = 1;
    for (size_t k = 1; k < n.size(); ++k) {
        n[k] = n[k - 1] + ten;
        ten *= 10;
    }
    return n;
}
constexpr std::array<std::uint64_t, 20> kShorter = ShorterDigitTexts();

bool Pack(const unsigned char* p, size_t n, std::uint64_t& key) {
    if (n <= 18) {
        std::uint64_t v = 0;
        size_t k = 0;
        for (; k < n && unsigned(p[k]) - unsigned('0') < 10u; ++k) v = v * 10 + (p[k] - '0');
        if (k == n) {
            key = kDigitsTag | (kShorter[n] + v);
            return true;
        }
        if (k == 17 && n == 18 && p[17] == 'X') {
            key = kDigitsTag | (kShorter[19] + v);  // after every text of digits alone
            return true;
        }
    }
    if (n > 7) return false;
    std::uint64_t bytes = 0;
    if (n) std::memcpy(&bytes, p, n);
    key = std::uint64_t(n) << 56 | bytes;
    return true;
}

// One month's staff rows by packed staff number.
class NumberTable {
public:
    void Add(std::uint64_t key, std::uint32_t group) { entries_.push_back(Entry{key, group, kNone}); }
    void Reserve(size_t rows) { entries_.reserve(rows); }
    size_t Size() const { return entries_.size(); }
    // Chains the entries by key; entries of one key keep the order they were added in.
    void Build() {
        mask_ = EmptySlots(slots_, entries_.size());
        for (size_t k = entries_.size(); k-- > 0;)
            entries_[k].next = std::exchange(slots_[Probe(entries_[k].key)], std::uint32_t(k));
    }
    // Calls fn(group) for each staff row of the key.
    template <class F>
    void ForEach(std::uint64_t key, F fn) const {
        for (std::uint32_t k = slots_[Probe(key)]; k != kNone; k = entries_[k].next) fn(entries_[k].group);
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Entry {
        std::uint64_t key;
        std::uint32_t group, next;
    };
    // The slot of the key: its chain's head, or the empty slot where it would go.
    size_t Probe(std::uint64_t key) const {
        size_t i = size_t(MixBits(key)) & mask_;
        while (slots_[i] != kNone && entries_[slots_[i]].key != key) i = (i + 1) & mask_;
        return i;
    }

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> slots_{kNone};
    size_t mask_ = 0;
};

// The staff rows of the wage months, each month a table of its own keyed on the packed staff
// number; a number that does not pack (a long text, a blob) goes to one table keyed on the
// month's and the number's bytes. A wage row meets the staff rows whose month and number have
// its month's and number's kind and bytes, as the view's join compares them.
class WageJoin {
public:
    // Adds a staff row of the month the cache numbered `monthId` (the statement's row).
    void Add(sqlite3_stmt* st, int monthCol, std::uint32_t monthId, int numberCol, std::uint32_t group) {
        const int type = sqlite3_column_type(st, numberCol);
        if (type == SQLITE_NULL) return;
        std::uint64_t packed;
        if (type == SQLITE_TEXT &&
            Pack(sqlite3_column_text(st, numberCol), size_t(sqlite3_column_bytes(st, numberCol)), packed)) {
            if (monthId >= tableOfMonth_.size()) tableOfMonth_.resize(monthId + 1, kNoTable);
            std::uint32_t& t = tableOfMonth_[monthId];
            if (t == kNoTable) t = NewTable(st, monthCol);
            tables_[t].Add(packed, group);
            return;
        }
        key_.clear();
        AppendKey(key_, st, monthCol);
        AppendKey(key_, st, numberCol);
        unpacked_.Add(key_, group);
    }
    void Build() {
        for (NumberTable& t : tables_) t.Build();
        unpacked_.Build();
    }
    // Calls fn(group) for each staff row the wage row (month, number) meets.
    template <class F>
    void ForEach(sqlite3_stmt* st, int monthCol, int numberCol, F fn) {
        const int type = sqlite3_column_type(st, numberCol);
        std::uint64_t packed;
        if (type == SQLITE_TEXT &&
            Pack(sqlite3_column_text(st, numberCol), size_t(sqlite3_column_bytes(st, numberCol)), packed)) {
            if (const NumberTable* t = TableOf(st, monthCol)) t->ForEach(packed, fn);
            return;
        }
        key_.clear();
        AppendKey(key_, st, monthCol);
        AppendKey(key_, st, numberCol);
        unpacked_.ForEach(key_, fn);
    }

private:
    static constexpr std::uint32_t kNoTable = 0xFFFFFFFFu;
    static constexpr long long kLow = -32, kSpan = 256;

    std::uint32_t NewTable(sqlite3_stmt* st, int monthCol) {
        const std::uint32_t t = std::uint32_t(tables_.size());
        // Months are about as large as each other: a new one is given room for the largest so
        // far, so that it is not copied as it grows.
        size_t largest = 0;
        for (const NumberTable& other : tables_) largest = std::max(largest, other.Size());
        tables_.emplace_back();
        tables_.back().Reserve(largest);
        if (sqlite3_column_type(st, monthCol) == SQLITE_INTEGER) {
            const sqlite3_int64 v = sqlite3_column_int64(st, monthCol);
            if (v >= kLow && v < kLow + kSpan) {
                small_[size_t(v - kLow)] = t;
                return t;
            }
        }
        key_.clear();
        AppendKey(key_, st, monthCol);
        others_.emplace(key_, t);
        return t;
    }
    // The month's table, none when no staff row of the month joins; wage rows come month by
    // month, so the last month's is kept at hand.
    const NumberTable* TableOf(sqlite3_stmt* st, int monthCol) {
        std::uint32_t t = kNoTable;
        if (sqlite3_column_type(st, monthCol) == SQLITE_INTEGER) {
            const sqlite3_int64 v = sqlite3_column_int64(st, monthCol);
            if (lastSet_ && v == lastMonth_) return last_;
            if (v >= kLow && v < kLow + kSpan) {
                t = small_[size_t(v - kLow)];
            } else {
                key_.clear();
                AppendKey(key_, st, monthCol);
                const auto it = others_.find(std::string_view(key_));
                if (it != others_.end()) t = it->second;
            }
            last_ = t == kNoTable ? nullptr : &tables_[t];
            lastMonth_ = v;
            lastSet_ = true;
            return last_;
        }
        key_.clear();
        AppendKey(key_, st, monthCol);
        const auto it = others_.find(std::string_view(key_));
        return it == others_.end() ? nullptr : &tables_[it->second];
    }

    std::vector<NumberTable> tables_;
    std::vector<std::uint32_t> tableOfMonth_;  // by the month's id among the staff rows' months
    std::array<std::uint32_t, size_t(kSpan)> small_ = Unset();
    std::unordered_map<std::string, std::uint32_t, BytesHash, std::equal_to<>> others_;
    JoinTable unpacked_;
    std::string key_;
    const NumberTable* last_ = nullptr;
    sqlite3_int64 lastMonth_ = 0;
    bool lastSet_ = false;

    static std::array<std::uint32_t, size_t(kSpan)> Unset() {
        std::array<std::uint32_t, size_t(kSpan)> a;
        a.fill(kNoTable);
        return a;
    }
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
        Widen(queries[k].source == Source::Wages ? p.wageMonths : p.staffMonths, BoundsOf(p, p.conditions[k]));
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
    if (p.monthColumn < 0) throw db::Error::FromEngine(SQLITE_ERROR, QStringLiteral("no such column: sMon"));
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
    sqlite3_stmt* st = c.Prepare(sql);
    c.Bind(st, params);
    std::vector<std::optional<std::vector<size_t>>> lookedIn;  // by the month's id, once it comes
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
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
    Step(c, st, rc);
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

// Each count of staff rows, group by group.
void CountStaffRows(const Plan& p, const StaffRows& r, const std::vector<size_t>& staffQueries,
                    std::vector<long long>& counts) {
    for (size_t g = 0; g < r.groups.Size(); ++g) {
        const Group& grp = r.groups[std::uint32_t(g)];
        const Bits t = r.TruthOf(grp);
        for (size_t k : staffQueries)
            if (p.conditions[k].Holds(t)) counts[k] += grp.rows;
    }
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
    sqlite3_stmt* st = c.Prepare(sql);
    c.Bind(st, params);
    std::vector<Taken> taken(takes.size());
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (sqlite3_column_type(st, 0) == SQLITE_NULL || sqlite3_column_type(st, 1) == SQLITE_NULL) continue;
        bool read = false;
        r.joined.ForEach(st, 0, 1, [&](std::uint32_t g) {
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
    Step(c, st, rc);
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
