#include "core/report/EngineColumns.h"

namespace qm::report::engine {

void AppendKey(std::string& key, const db::Cell& value) {
    switch (value.kind) {
    case db::Cell::Kind::Integer:
        key += 'I';
        key.append(reinterpret_cast<const char*>(&value.integer), sizeof value.integer);
        break;
    case db::Cell::Kind::Real:
        key += 'R';  // the same bits
        key.append(reinterpret_cast<const char*>(&value.real), sizeof value.real);
        break;
    case db::Cell::Kind::Text:
    case db::Cell::Kind::Blob: {
        const std::uint32_t n = std::uint32_t(value.bytes.size());
        key += value.kind == db::Cell::Kind::Text ? 'T' : 'B';
        key.append(reinterpret_cast<const char*>(&n), sizeof n);
        key.append(value.bytes);
        break;
    }
    case db::Cell::Kind::Null: key += 'N'; break;
    }
}

Datum ColumnCache::DatumOf(const db::Cell& v) {
    switch (v.kind) {
    case db::Cell::Kind::Integer: return Datum::Int(v.integer);
    case db::Cell::Kind::Real: return Datum::RealOf(v.real);
    case db::Cell::Kind::Text: return Datum::TextOf(std::string(v.bytes));
    case db::Cell::Kind::Blob: return Datum::BlobOf(v.bytes.empty() ? std::string() : std::string(v.bytes));
    case db::Cell::Kind::Null: break;
    }
    return Datum();
}

Seen ColumnCache::Make(Datum d, const AtomSet& set) {
    Seen s;
    s.id = std::uint32_t(values.size());
    for (int a : atoms)
        if (set.At(a).Test(d)) cond::SetBit(s.bits, a);
    if (joinable) s.join = joinable(d);
    values.push_back(std::move(d));
    return s;
}

}  // namespace qm::report::engine
