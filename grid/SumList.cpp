#include "grid/SumList.h"

#include <algorithm>

namespace qm::grid {

// ---------------------------------------------------------------- TDBSum

void TDBSum::SetGroupOperation(TGroupOperation v) {
    if (v == op_) return;
    op_ = v;
    Changed();
}

void TDBSum::SetFieldName(const QString& v) {
    if (v == fieldName_) return;
    fieldName_ = v;
    Changed();
}

void TDBSum::Assign(const TDBSum& src) {
    op_ = src.op_;
    fieldName_ = src.fieldName_;
    OldValue = src.OldValue;
    SumValue = src.SumValue;
    OutOfRange = src.OutOfRange;
    Changed();
}

void TDBSum::Accumulate(std::optional<TCurrency> v) {
    if (!v || !AddCurrency(SumValue, *v)) OutOfRange = true;
}

void TDBSum::Changed() {
    if (collection_) collection_->Update();
}

// ---------------------------------------------------------------- TDBSumCollection

TDBSum* TDBSumCollection::Add() {
    items_.push_back(std::make_unique<TDBSum>(this));
    Update();
    return items_.back().get();
}

void TDBSumCollection::Delete(TDBSum* item) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const auto& p) { return p.get() == item; });
    if (it == items_.end()) return;
    items_.erase(it);
    Update();
}

void TDBSumCollection::Clear() {
    items_.clear();
    Update();
}

void TDBSumCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Update();
}

void TDBSumCollection::Update() {
    if (updateCount_ == 0 && owner_) owner_->RecalcAll();
}

TDBSum* TDBSumCollection::GetSumByOpAndFName(TGroupOperation op, const QString& fieldName) const {
    for (const auto& s : items_)
        if (s->GroupOperation() == op && s->FieldName() == fieldName) return s.get();
    return nullptr;
}

void TDBSumCollection::Assign(const TDBSumCollection& src) {
    BeginUpdate();
    items_.clear();
    for (const auto& s : src.items_) {
        items_.push_back(std::make_unique<TDBSum>(this));
        items_.back()->Assign(*s);
    }
    EndUpdate();
}

// ---------------------------------------------------------------- TDBSumListProducer

TDBSumListProducer::TDBSumListProducer() : sums_(std::make_unique<TDBSumCollection>(this)) {}

TDBSumListProducer::~TDBSumListProducer() { Deactivate(false); }

void TDBSumListProducer::Assign(const TDBSumListProducer& src) {
    SetActive(src.active_);
    SetExternalRecalc(src.externalRecalc_);
    sums_->Assign(*src.sums_);
    SetDataSet(src.dataSet_);
    OnRecalcAll = src.OnRecalcAll;
    SumListChanged = src.SumListChanged;
}

void TDBSumListProducer::SetActive(bool v) {
    if (v == active_) return;
    if (v)
        Activate(true);
    else
        Deactivate(true);
}

void TDBSumListProducer::Activate(bool recalc) {
    active_ = true;
    InstallHooks();
    if (recalc) RecalcAll();
}

void TDBSumListProducer::Deactivate(bool clear) {
    active_ = false;
    RemoveHooks();
    if (clear) Clear();
}

void TDBSumListProducer::SetDataSet(TDataSet* ds) {
    if (ds == dataSet_) return;
    const bool was = active_;
    Deactivate(true);
    dataSet_ = ds;
    if (was) Activate(true);
}

void TDBSumListProducer::SetExternalRecalc(bool v) {
    if (v == externalRecalc_) return;
    externalRecalc_ = v;
    RecalcAll();
}

void TDBSumListProducer::SetVirtualRecords(bool v) {
    if (v == virtualRecords_) return;
    virtualRecords_ = v;
    if (v) RecalcAll();
}

void TDBSumListProducer::InstallHooks() {
    if (!dataSet_ || hooksInstalled_) return;
    dataSet_->AddListener(this);
    hooksInstalled_ = true;
}

void TDBSumListProducer::RemoveHooks() {
    if (dataSet_ && hooksInstalled_) dataSet_->RemoveListener(this);
    hooksInstalled_ = false;
    bookmarks_.clear();
    bookmarkIndex_ = -1;
}

void TDBSumListProducer::Clear() {
    for (int i = 0; i < sums_->Count(); ++i) {
        sums_->Items(i)->OldValue = 0;
        sums_->Items(i)->SumValue = 0;
        sums_->Items(i)->OutOfRange = false;
    }
    Changed();
}

std::optional<TCurrency> TDBSumListProducer::FieldValue(const QString& name) const {
    TField* f = dataSet_ ? dataSet_->FindField(name) : nullptr;
    if (!f || f->IsNull()) return 0;
    TCurrency v = 0;
    if (!CurrencyFromDouble(f->AsFloat(), v)) return std::nullopt;
    return v;
}

void TDBSumListProducer::RecalcAll() {
    if (!active_ || !dataSet_ || !dataSet_->Active() || !hooksInstalled_) return;
    Clear();
    bookmarkIndex_ = -1;
    if (OnRecalcAll) OnRecalcAll();
    if (!externalRecalc_) {
        bool needed = KeepsBookmarks();
        for (int i = 0; i < sums_->Count() && !needed; ++i)
            needed = sums_->Items(i)->GroupOperation() == goCount || !sums_->Items(i)->FieldName().isEmpty();
        if (needed) {
            TDataSet& ds = *dataSet_;
            // The walk ends where the person was, not on the first record.
            const TBookmark saved = ds.Bookmark();
            ds.DisableControls();
            bookmarks_.clear();
            inRecalc_ = true;
            struct Restore {
                TDBSumListProducer* p;
                TDataSet& ds;
                TBookmark saved;
                ~Restore() {
                    try {
                        if (saved >= 0 && ds.BookmarkValid(saved))
                            ds.GotoBookmark(saved);
                        else if (ds.Active())
                            ds.First();
                    } catch (...) {
                    }
                    p->inRecalc_ = false;
                    ds.EnableControls();
                }
            } restore{this, ds, saved};
            ds.First();
            while (!ds.Eof()) {
                for (int i = 0; i < sums_->Count(); ++i) {
                    TDBSum* s = sums_->Items(i);
                    if (s->GroupOperation() == goCount)
                        s->SumValue += kCurrencyScale;
                    else if (!s->FieldName().isEmpty())
                        s->Accumulate(FieldValue(s->FieldName()));
                }
                if (KeepsBookmarks()) bookmarks_.push_back(ds.Bookmark());
                ds.Next();
            }
        }
    }
    savedFiltered_ = dataSet_->Filtered();
    savedFilter_ = dataSet_->Filter();
    inRecalc_ = false;
    Changed();
}

int TDBSumListProducer::FindBookmarkIndex(TBookmark b) {
    const int n = int(bookmarks_.size());
    if (n == 0 || !dataSet_) return -1;
    int i = (bookmarkIndex_ < 0 || bookmarkIndex_ >= n) ? 0 : bookmarkIndex_;
    int c = dataSet_->CompareBookmarks(bookmarks_[size_t(i)], b);
    if (c == 0) return bookmarkIndex_ = i;
    // The direction is decided once: a bookmark that lies between two entries but is not in
    // the list would otherwise send the walk back and forth between them for ever.
    const int step = c > 0 ? -1 : 1;
    for (i += step; i >= 0 && i < n; i += step) {
        c = dataSet_->CompareBookmarks(bookmarks_[size_t(i)], b);
        if (c == 0) return bookmarkIndex_ = i;
        if ((step > 0 && c > 0) || (step < 0 && c < 0)) return -1;  // walked past it
    }
    return -1;
}

int TDBSumListProducer::RecNo() const {
    if (!dataSet_) return 0;
    if (active_ && KeepsBookmarks()) {
        const TBookmark b = dataSet_->Bookmark();
        auto it = std::find(bookmarks_.begin(), bookmarks_.end(), b);
        return it == bookmarks_.end() ? 0 : int(it - bookmarks_.begin()) + 1;
    }
    return dataSet_->RecNo();
}

void TDBSumListProducer::SetRecNo(int v) {
    if (!dataSet_) return;
    if (active_ && KeepsBookmarks()) {
        if (v >= 1 && v <= int(bookmarks_.size())) dataSet_->GotoBookmark(bookmarks_[size_t(v - 1)]);
        return;
    }
    dataSet_->SetRecNo(v);
}

int TDBSumListProducer::RecordCount() const {
    if (!dataSet_) return 0;
    if (active_ && KeepsBookmarks()) return int(bookmarks_.size());
    return dataSet_->RecordCount();
}

bool TDBSumListProducer::IsSequenced() const {
    if (!dataSet_) return false;
    if (dataSet_->IsSequenced()) return true;
    if (!virtualRecords_ || !active_) return false;
    return !bookmarks_.empty() || (dataSet_->Bof() && dataSet_->Eof());
}

void TDBSumListProducer::DataSetNotify(TDataSet& ds, TDataSetNotify what) {
    if (&ds != dataSet_) return;
    if (what == dnDestroying) {
        RemoveHooks();
        dataSet_ = nullptr;
        return;
    }
    if (!active_) return;
    switch (what) {
    case dnAfterOpen: RecalcAll(); break;
    case dnAfterClose:
        Clear();
        bookmarks_.clear();
        bookmarkIndex_ = -1;
        inRecalc_ = false;
        break;
    case dnAfterEdit:
        for (int i = 0; i < sums_->Count(); ++i) {
            TDBSum* s = sums_->Items(i);
            s->OldValue =
                s->GroupOperation() == goSum && !s->FieldName().isEmpty() ? FieldValue(s->FieldName()).value_or(0) : 0;
        }
        break;
    case dnAfterInsert:
        for (int i = 0; i < sums_->Count(); ++i) {
            TDBSum* s = sums_->Items(i);
            s->OldValue = s->GroupOperation() == goCount ? kCurrencyScale : 0;
        }
        // The new record's bookmark is kept once it is posted: a cancelled insert leaves none.
        if (KeepsBookmarks()) pendingInsert_ = true;
        break;
    case dnAfterPost:
        for (int i = 0; i < sums_->Count(); ++i) {
            TDBSum* s = sums_->Items(i);
            if (s->GroupOperation() == goCount)
                s->SumValue += s->OldValue;
            else if (!s->FieldName().isEmpty()) {
                s->Accumulate(FieldValue(s->FieldName()));
                s->Accumulate(-s->OldValue);
            }
            s->OldValue = 0;
        }
        if (KeepsBookmarks() && pendingInsert_) {
            const TBookmark b = ds.Bookmark();
            auto at = std::lower_bound(bookmarks_.begin(), bookmarks_.end(), b,
                                       [&](TBookmark x, TBookmark y) { return ds.CompareBookmarks(x, y) < 0; });
            bookmarks_.insert(at, b);
            bookmarkIndex_ = -1;
            pendingInsert_ = false;
        }
        Changed();
        break;
    case dnAfterCancel:
        pendingInsert_ = false;
        for (int i = 0; i < sums_->Count(); ++i) sums_->Items(i)->OldValue = 0;
        break;
    case dnBeforeDelete:
        for (int i = 0; i < sums_->Count(); ++i) {
            TDBSum* s = sums_->Items(i);
            if (s->GroupOperation() == goCount)
                s->SumValue -= kCurrencyScale;
            else if (!s->FieldName().isEmpty()) {
                const std::optional<TCurrency> v = FieldValue(s->FieldName());
                s->Accumulate(v ? std::optional<TCurrency>(-*v) : std::nullopt);
            }
        }
        if (KeepsBookmarks()) {
            const int i = FindBookmarkIndex(ds.Bookmark());
            if (i >= 0) {
                bookmarks_.erase(bookmarks_.begin() + i);
                bookmarkIndex_ = -1;
            }
        }
        Changed();
        break;
    case dnAfterScroll:
        if (!inRecalc_ && ((ds.Filtered() && ds.Filter() != savedFilter_) || ds.Filtered() != savedFiltered_))
            RecalcAll();
        break;
    default: break;
    }
}

}  // namespace qm::grid
