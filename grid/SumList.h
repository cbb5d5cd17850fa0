#pragma once
// Running totals over a data set for the grid's footers. Totals are not computed while
// painting: the sum list follows the data set's moments (open, edit, insert, post, cancel,
// delete, scroll, close) through its listener list and keeps each total up to date, walking
// the whole data set only when it must (opening, a new total, a changed filter).
//
// Totals are valid only while the list is Active; the grid's list starts inactive and
// nothing in the grid switches it on, so a form that wants footer totals sets Active.

#include "core/db/DataSet.h"
#include "grid/NumberFormat.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qm::grid {

enum TGroupOperation { goSum, goCount };

class TDBSumCollection;
class TDBSumListProducer;

// One total: a sum of a field, or a count of records; amounts × 10000, a count adds 10000.
class TDBSum {
public:
    explicit TDBSum(TDBSumCollection* c) : collection_(c) {}
    TGroupOperation GroupOperation() const { return op_; }
    void SetGroupOperation(TGroupOperation v);
    const QString& FieldName() const { return fieldName_; }
    void SetFieldName(const QString& v);
    TCurrency OldValue = 0;  // the current record's share before the edit or insert in progress
    TCurrency SumValue = 0;
    // A record's value or the total left the 64-bit range: the total is unknown (its footer
    // says so) until the next full recount.
    bool OutOfRange = false;
    // Adds `v` (none: a value beyond the range) to SumValue, or marks the total out of range.
    void Accumulate(std::optional<TCurrency> v);
    void Assign(const TDBSum& src);

private:
    void Changed();
    TDBSumCollection* collection_;
    TGroupOperation op_ = goSum;
    QString fieldName_;
};

class TDBSumCollection {
public:
    explicit TDBSumCollection(TDBSumListProducer* owner) : owner_(owner) {}
    int Count() const { return int(items_.size()); }
    TDBSum* Items(int i) const { return items_.at(size_t(i)).get(); }
    TDBSum* Add();
    void Delete(TDBSum* item);
    void Clear();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    // A total changed: the owner recounts everything.
    virtual void Update();
    virtual ~TDBSumCollection() = default;
    // The first total with this operation and exactly this field name (case-sensitive).
    TDBSum* GetSumByOpAndFName(TGroupOperation op, const QString& fieldName) const;
    void Assign(const TDBSumCollection& src);

private:
    TDBSumListProducer* owner_;
    std::vector<std::unique_ptr<TDBSum>> items_;
    int updateCount_ = 0;
};

class TDBSumListProducer : public TDataSetListener {
public:
    TDBSumListProducer();
    ~TDBSumListProducer() override;
    TDBSumListProducer(const TDBSumListProducer&) = delete;
    TDBSumListProducer& operator=(const TDBSumListProducer&) = delete;

    bool Active() const { return active_; }
    void SetActive(bool v);
    bool ExternalRecalc() const { return externalRecalc_; }
    void SetExternalRecalc(bool v);
    bool VirtualRecords() const { return virtualRecords_; }
    void SetVirtualRecords(bool v);
    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* ds);
    TDBSumCollection& SumCollection() { return *sums_; }
    const TDBSumCollection& SumCollection() const { return *sums_; }
    void Assign(const TDBSumListProducer& src);

    std::function<void()> OnRecalcAll;     // at the start of every full recount
    std::function<void()> SumListChanged;  // after every change of the totals

    virtual void RecalcAll();
    virtual void Clear();
    // Position of a bookmark in the kept record order, or -1.
    virtual int FindBookmarkIndex(TBookmark b);
    int RecNo() const;
    void SetRecNo(int v);
    int RecordCount() const;
    bool IsSequenced() const;
    const std::vector<TBookmark>& Bookmarks() const { return bookmarks_; }
    bool InRecalc() const { return inRecalc_; }

    void DataSetNotify(TDataSet& ds, TDataSetNotify what) override;

private:
    void Activate(bool recalc);
    void Deactivate(bool clear);
    void InstallHooks();
    void RemoveHooks();
    bool KeepsBookmarks() const { return virtualRecords_ && dataSet_ && !dataSet_->IsSequenced(); }
    // The value × 10000 (CurrencyFromDouble), 0 for null or absent; none beyond the range.
    std::optional<TCurrency> FieldValue(const QString& name) const;
    void Changed() {
        if (SumListChanged) SumListChanged();
    }

    std::unique_ptr<TDBSumCollection> sums_;
    TDataSet* dataSet_ = nullptr;
    bool active_ = true, externalRecalc_ = false, virtualRecords_ = false;
    bool hooksInstalled_ = false, inRecalc_ = false, pendingInsert_ = false;
    bool savedFiltered_ = false;
    QString savedFilter_;
    std::vector<TBookmark> bookmarks_;
    int bookmarkIndex_ = -1;
};

// The grid's sum list: starts inactive.
class TDBGridXSumList : public TDBSumListProducer {
public:
    TDBGridXSumList() { SetActive(false); }
};

}  // namespace qm::grid
