#include "core/db/RowsFingerprint.h"

#include "core/base/ByteHash.h"
#include "core/db/Db.h"
#include "core/db/Raw.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>

namespace qm::db {

namespace {

constexpr quint64 kPrime = 0x100000001b3ULL;
constexpr quint64 kSeed = 0xcbf29ce484222325ULL;

// A full avalanche, so that sums of these keep their terms apart.
quint64 Mix(quint64 x) { return MixBits(x); }

quint64 Step(quint64 h, quint64 word) { return (h ^ word) * kPrime; }

quint64 Slot(int slot, quint64 value) { return Mix(value + 0x9e3779b97f4a7c15ULL * quint64(slot + 1)); }

}  // namespace

quint64 RowsFingerprint::NullSlot(int slot) { return Slot(slot, Step(kSeed, SQLITE_NULL)); }

quint64 RowsFingerprint::IntegerSlot(int slot, long long v) {
    return Slot(slot, Step(Step(kSeed, SQLITE_INTEGER), quint64(v)));
}

quint64 RowsFingerprint::RealSlot(int slot, double v) {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return Slot(slot, Step(Step(kSeed, SQLITE_FLOAT), bits));
}

quint64 RowsFingerprint::TextSlot(int slot, const char* bytes, std::size_t n) {
    quint64 h = Step(Step(kSeed, SQLITE_TEXT), quint64(n));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (; n >= 8; p += 8, n -= 8) {
        quint64 w;
        std::memcpy(&w, p, 8);
        h = Step(Mix(h), w);
    }
    quint64 tail = 0;
    if (n > 0) std::memcpy(&tail, p, n);
    return Slot(slot, Step(h, tail));
}

void RowsFingerprint::AddRow(sqlite3_stmt* st, int columns) {
    quint64 sum = 0;
    const long long id = columns > 0 ? sqlite3_column_int64(st, 0) : 0;
    for (int k = 0; k < columns; ++k) {
        switch (sqlite3_column_type(st, k)) {
        case SQLITE_NULL: sum += NullSlot(k); break;
        case SQLITE_INTEGER: sum += IntegerSlot(k, sqlite3_column_int64(st, k)); break;
        case SQLITE_FLOAT: sum += RealSlot(k, sqlite3_column_double(st, k)); break;
        default:  // texts and blobs alike, by their bytes
            sum += TextSlot(k, static_cast<const char*>(sqlite3_column_blob(st, k)),
                            std::size_t(sqlite3_column_bytes(st, k)));
        }
    }
    AddSlots(sum, id);
}

void RowsFingerprint::AddSlots(quint64 slotSum, long long id) {
    ++rows;
    const quint64 h = Mix(slotSum);
    digest += h;
    marks.push_back({id, h});
}

std::optional<RowChange> FirstChange(const RowsFingerprint& then, const RowsFingerprint& now) {
    struct Row {
        long long id;
        quint64 hash;
        long long at;
    };
    const auto byId = [](const RowsFingerprint& p) {
        std::vector<Row> v;
        v.reserve(p.marks.size());
        for (size_t i = 0; i < p.marks.size(); ++i) v.push_back({p.marks[i].id, p.marks[i].hash, (long long)i});
        std::sort(v.begin(), v.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
        return v;
    };
    const std::vector<Row> a = byId(then), b = byId(now);
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && a[i].id < b[j].id))
            return RowChange{RowChange::Kind::Removed, a[i].id, a[i].at};
        if (i == a.size() || b[j].id < a[i].id) return RowChange{RowChange::Kind::Added, b[j].id};
        if (a[i].hash != b[j].hash) return RowChange{RowChange::Kind::Changed, a[i].id, a[i].at};
        ++i, ++j;
    }
    return std::nullopt;
}

std::optional<quint64> InsertFingerprint::SlotOf(int i, const Cell& v) const {
    if (i < 1 || size_t(i) > params.size()) return 0;
    const Param& p = params[size_t(i - 1)];
    if (p.slot <= 0 || p.slot >= slotCount) return 0;
    if (v.kind == Cell::Kind::Blob) return std::nullopt;  // a read gives a blob's bytes back as they are
    Cell::Kind kind = v.kind;
    long long integer = v.integer;
    double real = v.real;
    if (kind == Cell::Kind::Real && std::isnan(real)) kind = Cell::Kind::Null;  // SQLite stores no NaN
    if (kind == Cell::Kind::Null) return RowsFingerprint::NullSlot(p.slot);
    // How the column converts the value, as SQLite's affinity does.
    using A = Affinity;
    const bool text = kind == Cell::Kind::Text;
    if (p.affinity == A::Unknown || (text && p.affinity != A::Text && p.affinity != A::Blob) ||
        (!text && p.affinity == A::Text))
        return std::nullopt;
    if (kind == Cell::Kind::Integer && p.affinity == A::Real) {
        kind = Cell::Kind::Real;
        real = double(integer);
    } else if (kind == Cell::Kind::Real && p.affinity == A::Numeric) {
        // A whole number stored as an integer, as sqlite3VdbeIntegerAffinity decides.
        const long long ix = real <= double(LLONG_MIN)   ? LLONG_MIN
                             : real >= double(LLONG_MAX) ? LLONG_MAX
                                                         : (long long)real;
        if (real == double(ix) && ix > LLONG_MIN && ix < LLONG_MAX) {
            kind = Cell::Kind::Integer;
            integer = ix;
        }
    }
    switch (kind) {
    case Cell::Kind::Integer: return RowsFingerprint::IntegerSlot(p.slot, integer);
    case Cell::Kind::Real: return RowsFingerprint::RealSlot(p.slot, real);
    default: return RowsFingerprint::TextSlot(p.slot, v.bytes.data(), v.bytes.size());
    }
}

quint64 InsertFingerprint::NullSlots() const {
    std::vector<bool> filled(size_t(std::max(slotCount, 1)), false);
    filled[0] = true;  // the id
    for (const Param& p : params)
        if (p.slot > 0 && p.slot < slotCount) filled[size_t(p.slot)] = true;
    quint64 sum = 0;
    for (int k = 1; k < slotCount; ++k)
        if (!filled[size_t(k)]) sum += RowsFingerprint::NullSlot(k);
    return sum;
}

namespace {

// SQLite's rules from a column's declared type to how it converts what is bound to it.
InsertFingerprint::Affinity AffinityOf(const QString& declared) {
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT"))) return InsertFingerprint::Affinity::Numeric;  // as NUMERIC, for binds
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return InsertFingerprint::Affinity::Text;
    if (t.contains(QLatin1String("BLOB")) || t.isEmpty()) return InsertFingerprint::Affinity::Blob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return InsertFingerprint::Affinity::Real;
    return InsertFingerprint::Affinity::Numeric;
}

}  // namespace

InsertFingerprint PlanInsertFingerprint(Connection& c, const QString& table, const QStringList& insertColumns,
                                        const QStringList& fingerprintColumns) {
    std::unordered_map<std::string, InsertFingerprint::Affinity> declared;
    sqlite3_stmt* st = Raw::Prepare(c, QStringLiteral("select name, type from pragma_table_info(?)"));
    Raw::Bind(c, st, {table});
    while (sqlite3_step(st) == SQLITE_ROW) {
        const auto text = [st](int i) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        };
        declared[text(0).toLower().toStdString()] = AffinityOf(text(1));
    }
    sqlite3_reset(st);
    InsertFingerprint plan;
    plan.slotCount = int(fingerprintColumns.size());
    for (const QString& col : insertColumns) {
        InsertFingerprint::Param p;
        for (int k = 0; k < fingerprintColumns.size() && p.slot < 0; ++k)
            if (fingerprintColumns[k].compare(col, Qt::CaseInsensitive) == 0) p.slot = k;
        const auto it = declared.find(col.toLower().toStdString());
        // A column the table does not declare: what it stores is not known here.
        p.affinity = it != declared.end() ? it->second : InsertFingerprint::Affinity::Unknown;
        plan.params.push_back(p);
    }
    return plan;
}

InsertsFingerprint::InsertsFingerprint(InsertFingerprint plan, int parameters) : plan_(std::move(plan)) {
    plan_.params.resize(size_t(parameters));
    nullSlots_ = plan_.NullSlots();
}

void InsertsFingerprint::Bound(int i, const Cell& v) {
    if (!exact_) return;
    if (const std::optional<quint64> slot = plan_.SlotOf(i, v))
        rowSlots_ += *slot;
    else
        exact_ = false;
}

quint64 InsertsFingerprint::EndRow() { return std::exchange(rowSlots_, 0); }

void InsertsFingerprint::Stored(quint64 rowSlots, long long id) {
    rows_.AddSlots(rowSlots + nullSlots_ + RowsFingerprint::IntegerSlot(0, id), id);
}

std::optional<RowsFingerprint> InsertsFingerprint::Take() {
    if (!exact_) return std::nullopt;
    return std::exchange(rows_, RowsFingerprint());
}

}  // namespace qm::db
