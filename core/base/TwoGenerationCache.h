#pragma once
// A cache kept in two generations, the current one and the previous one. New entries go into
// the current generation until it holds its limit of entries or of cost; then it becomes the
// previous one and the generation before it is dropped whole. An entry found in the previous
// generation moves back into the current one, so what is still in use survives a turnover and
// what went unused for a whole generation goes. No per-entry bookkeeping, no ordering: a
// lookup is one or two hash finds.

#include <QHash>

#include <utility>

namespace qm {

template <class Key, class Value>
class TwoGenerationCache {
public:
    TwoGenerationCache(qsizetype maxEntries, qsizetype maxCost) : maxEntries_(maxEntries), maxCost_(maxCost) {}

    // The value kept under `key`, or null. A value found in the previous generation is moved
    // into the current one. The pointer holds until the next Find or Insert.
    const Value* Find(const Key& key) {
        auto it = current_.constFind(key);
        if (it != current_.constEnd()) return &it->value;
        auto old = previous_.find(key);
        if (old == previous_.end()) return nullptr;
        Slot slot = std::move(*old);
        previous_.erase(old);
        return &Insert(key, std::move(slot.value), slot.cost);
    }

    // Keeps `value` under `key` in the current generation, turning the generations over first
    // when it would pass a limit. Returns the value as kept; it holds until the next Find or Insert.
    const Value& Insert(const Key& key, Value value, qsizetype cost) {
        if (current_.size() >= maxEntries_ || currentCost_ + cost > maxCost_) {
            previous_ = std::move(current_);
            current_ = {};
            currentCost_ = 0;
        }
        currentCost_ += cost;
        return current_.insert(key, Slot{std::move(value), cost})->value;
    }

    void Clear() {
        current_.clear();
        previous_.clear();
        currentCost_ = 0;
    }

    // Entries of both generations.
    qsizetype Size() const { return current_.size() + previous_.size(); }
    // How many kept values satisfy `pred`.
    template <class Pred>
    qsizetype CountIf(Pred pred) const {
        qsizetype n = 0;
        for (const auto* generation : {&current_, &previous_})
            for (const Slot& s : *generation) n += pred(s.value) ? 1 : 0;
        return n;
    }

private:
    struct Slot {
        Value value;
        qsizetype cost = 0;
    };
    qsizetype maxEntries_, maxCost_;
    QHash<Key, Slot> current_, previous_;
    qsizetype currentCost_ = 0;
};

}  // namespace qm
