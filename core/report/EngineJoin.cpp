#include "core/report/EngineJoin.h"

#include <algorithm>
#include <utility>

namespace qm::report::engine {

size_t EmptySlots(std::vector<std::uint32_t>& heads, size_t entries) {
    size_t n = 16;
    while (n < entries * 2) n *= 2;
    heads.assign(n, 0xFFFFFFFFu);
    return n - 1;
}

void JoinTable::Add(std::string_view key, std::uint32_t group) {
    entries_.push_back(
        Entry{HashBytes(key.data(), key.size()), std::uint32_t(arena_.size()), std::uint32_t(key.size()), group, 0});
    arena_.append(key);
}

void JoinTable::Build() {
    mask_ = EmptySlots(heads_, entries_.size());
    for (size_t k = entries_.size(); k-- > 0;) {
        std::uint32_t& head = heads_[size_t(entries_[k].hash) & mask_];
        entries_[k].next = std::exchange(head, std::uint32_t(k));
    }
}

void NumberTable::Build() {
    mask_ = EmptySlots(slots_, entries_.size());
    for (size_t k = entries_.size(); k-- > 0;)
        entries_[k].next = std::exchange(slots_[Probe(entries_[k].key)], std::uint32_t(k));
}

void WageJoin::Add(const db::Row& row, int monthCol, std::uint32_t monthId, int numberCol, std::uint32_t group) {
    const db::Cell number = row.At(numberCol);
    if (number.IsNull()) return;
    std::uint64_t packed;
    if (number.kind == db::Cell::Kind::Text && Pack(number.bytes, packed)) {
        if (monthId >= tableOfMonth_.size()) tableOfMonth_.resize(monthId + 1, kNoTable);
        std::uint32_t& t = tableOfMonth_[monthId];
        if (t == kNoTable) t = NewTable(row.At(monthCol));
        tables_[t].Add(packed, group);
        return;
    }
    key_.clear();
    AppendKey(key_, row.At(monthCol));
    AppendKey(key_, number);
    unpacked_.Add(key_, group);
}

void WageJoin::Build() {
    for (NumberTable& t : tables_) t.Build();
    unpacked_.Build();
}

std::uint32_t WageJoin::NewTable(const db::Cell& month) {
    const std::uint32_t t = std::uint32_t(tables_.size());
    // Months are about as large as each other: a new one is given room for the largest so
    // far, so that it is not copied as it grows.
    size_t largest = 0;
    for (const NumberTable& other : tables_) largest = std::max(largest, other.Size());
    tables_.emplace_back();
    tables_.back().Reserve(largest);
    if (month.kind == db::Cell::Kind::Integer && month.integer >= kLow && month.integer < kLow + kSpan) {
        small_[size_t(month.integer - kLow)] = t;
        return t;
    }
    key_.clear();
    AppendKey(key_, month);
    // A month the staff rows numbered anew is a key of its own.
    if (others_.Add(key_).second) otherTables_.push_back(t);
    return t;
}

const NumberTable* WageJoin::FindTable(const db::Cell& month) {
    std::uint32_t t = kNoTable;
    if (month.kind == db::Cell::Kind::Integer && month.integer >= kLow && month.integer < kLow + kSpan) {
        t = small_[size_t(month.integer - kLow)];
    } else {
        key_.clear();
        AppendKey(key_, month);
        const std::uint32_t k = others_.Find(key_);
        if (k != ByteIndex::kNone) t = otherTables_[k];
    }
    const NumberTable* found = t == kNoTable ? nullptr : &tables_[t];
    if (month.kind == db::Cell::Kind::Integer) {
        last_ = found;
        lastMonth_ = month.integer;
        lastSet_ = true;
    }
    return found;
}

}  // namespace qm::report::engine
