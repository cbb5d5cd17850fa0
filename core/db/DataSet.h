#pragma once
// The data-access layer the grid binds to: fields, a data set with a cursor and a window of
// buffered records, data sources and data links. A data link sees the records of its data
// set through that window: `ActiveRecord` is the cursor's place in it and `RecordCount` the
// records it holds, so a grid only ever deals with the rows it can show.

#include "core/db/Db.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <vector>

namespace qm::grid {

class TDataSet;
class TDataSource;
class TDataLink;

// Failures of the data-access layer (a missing field, a change to a read-only data set).
class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

enum TFieldType { ftUnknown, ftString, ftInteger, ftFloat, ftCurrency, ftBoolean, ftMemo, ftDate };
enum TFieldKind { fkData, fkCalculated, fkLookup };
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState
};

// A record's identity, stable while the record exists; -1 for none.
using TBookmark = long long;

// Moments of a data set's life that other objects follow (the sum list of the grid's footers).
enum TDataSetNotify {
    dnAfterOpen,
    dnAfterClose,
    dnAfterEdit,
    dnAfterInsert,
    dnAfterPost,
    dnAfterCancel,
    dnBeforeDelete,
    dnAfterScroll,
    dnDestroying
};

// Listeners are called in the order they were added; each one sees every moment, so none
// has to save and chain another's handler.
class TDataSetListener {
public:
    virtual ~TDataSetListener() = default;
    virtual void DataSetNotify(TDataSet& ds, TDataSetNotify what) = 0;
};

class TField {
public:
    TField(TDataSet* ds, int fieldNo, QString name, TFieldType type, int size);

    TDataSet* DataSet() const { return ds_; }
    const QString& FieldName() const { return name_; }
    // The label when one is set, else the field name.
    QString DisplayName() const { return label_.isEmpty() ? name_ : label_; }
    void SetDisplayLabel(const QString& v);
    int DisplayWidth() const { return displayWidth_; }
    void SetDisplayWidth(int v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    int Index() const;                        // place in the data set's field list
    void SetIndex(int v);                     // moves the field in that list
    int FieldNo() const { return fieldNo_; }  // column of the stored record
    TFieldType DataType() const { return type_; }
    TFieldKind FieldKind() const { return kind_; }
    // A lookup field shows, for the value of this data set's field `KeyFields`, the
    // `LookupResultField` of the record of `LookupDataSet` whose `LookupKeyFields` holds it.
    // Its value follows the key field; it stores nothing of its own.
    QString KeyFields, LookupKeyFields, LookupResultField;
    TDataSet* LookupDataSet = nullptr;
    int Size() const { return size_; }
    bool IsBlob() const { return type_ == ftMemo; }
    bool Currency() const { return currency_; }
    void SetCurrency(bool v) { currency_ = v; }
    // Patterns of numeric fields (see NumberFormat.h) and the significant digits of the
    // general format; the footer totals are formatted with them.
    QString DisplayFormat, EditFormat;
    int Precision = 15;
    bool CanModify() const;
    bool IsValidChar(QChar c) const;

    // Values of the record the data set currently reads (the cursor, or the row a data
    // link has made active for painting).
    const db::Value& AsValue() const;
    bool IsNull() const { return AsValue().IsNull(); }
    QString AsString() const { return AsValue().AsString(); }
    long long AsInteger() const { return AsValue().AsInteger(); }
    double AsFloat() const { return AsValue().AsFloat(); }
    bool AsBoolean() const;
    QString Text() const { return AsString(); }  // the edit text
    QString DisplayText() const;

    // Changes put the data set into edit state first; they raise on a read-only data set.
    void SetValue(const db::Value& v);
    void SetAsString(const QString& v);
    void SetText(const QString& v) { SetAsString(v); }
    void Clear() { SetValue(db::Value()); }

private:
    TDataSet* ds_;
    int fieldNo_;
    QString name_, label_;
    friend class TDataSet;
    TFieldType type_;
    TFieldKind kind_ = fkData;
    mutable db::Value lookupValue_;
    int size_;
    int displayWidth_;
    TAlignment alignment_;
    bool readOnly_ = false, visible_ = true, currency_ = false;
};

// A data set: ordered records, a cursor and the window of buffered records its links see.
// Subclasses hold the records; this class keeps cursor, window, state and notifications.
class TDataSet {
public:
    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;

    // Fields.
    int FieldCount() const { return int(fields_.size()); }
    TField* Fields(int i) const { return fields_.at(size_t(i)); }
    TField* FieldByName(const QString& name) const;  // raises when absent
    TField* FindField(const QString& name) const;    // null when absent
    bool DefaultFields() const { return true; }      // fields are always made from the data

    // State and navigation.
    bool Active() const { return state_ != dsInactive; }
    TDataSetState State() const { return state_; }
    void Close();
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const { return Active() ? StoredCount() : 0; }
    int RecNo() const { return Active() && !IsEmpty() ? cur_ + 1 : 0; }  // 1-based
    void SetRecNo(int recNo);
    virtual bool IsSequenced() const { return true; }
    // This layer filters nothing itself; a data set that does tells through these.
    virtual bool Filtered() const { return false; }
    virtual QString Filter() const { return {}; }
    void AddListener(TDataSetListener* l);
    void RemoveListener(TDataSetListener* l);
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves the cursor; answers the records actually moved (less at either end).
    int MoveBy(int distance);
    void DisableControls() { ++disableCount_; }
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Bookmarks: compared by the records' order in the data set. Bookmark() is that of the
    // record the links read: the cursor's, or the row a link has made active for painting.
    TBookmark Bookmark() const;
    bool BookmarkValid(TBookmark b) const { return PosOf(b) >= 0; }
    void GotoBookmark(TBookmark b);
    virtual int CompareBookmarks(TBookmark a, TBookmark b) const;
    // Moves to the first record whose field `fieldName` holds `text` (as text; optionally
    // without case, and `partial`: beginning with it). Answers whether one was found; when
    // none is, the cursor stays.
    bool Locate(const QString& fieldName, const QString& text, bool caseInsensitive, bool partial);
    // The `resultField` of the first stored record whose `keyField` equals `key`, read
    // without moving the cursor; null when there is none.
    db::Value Lookup(const QString& keyField, const db::Value& key, const QString& resultField) const;

    // Editing; every change raises on a data set that cannot be modified.
    virtual bool CanModify() const { return false; }
    bool Modified() const { return modified_; }
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();

    // The buffered window, driven by the data links.
    int WindowStart() const { return win_; }
    int ActiveBufferRecord() const { return readRow_ >= 0 ? readRow_ : cur_; }

    // A stored record's value of field column `fieldNo`, read without moving the cursor.
    const db::Value& ValueAt(int row, int fieldNo) const { return StoredValue(row, fieldNo); }
    // The value the fields read for field column `fieldNo`.
    const db::Value& CurrentValue(int fieldNo) const;
    // Called by fields.
    void SetFieldValue(TField* f, const db::Value& v);
    void FieldLayoutChanged() { DataEvent(deLayoutChange, 0); }
    int IndexOfField(const TField* f) const;
    void MoveField(TField* f, int to);

protected:
    // Storage of the subclass.
    virtual int StoredCount() const = 0;
    virtual const db::Value& StoredValue(int row, int fieldNo) const = 0;
    virtual TBookmark StoredId(int row) const = 0;
    virtual int StoredPos(TBookmark id) const = 0;  // -1 when absent
    virtual void StoreRecord(int, const std::vector<db::Value>&) { ReadOnlyError(); }
    virtual int InsertStored(int) { ReadOnlyError(); }  // blank record at row; answers its row
    virtual void DeleteStored(int) { ReadOnlyError(); }

    // Subclasses add their fields, then call OpenDone(); Close() drops them.
    TField* AddField(const QString& name, TFieldType type, int size);
    // A lookup field (see TField); it takes no column of the stored record.
    TField* AddLookupField(const QString& name, TFieldType type, int size, const QString& keyFields,
                           TDataSet* lookupDataSet, const QString& lookupKeyFields, const QString& lookupResultField);
    int StoredFieldCount() const { return int(owned_.size()); }
    void OpenDone();
    virtual void CloseStorage() {}
    [[noreturn]] void ReadOnlyError() const;

private:
    friend class TDataSource;
    friend class TDataLink;
    int PosOf(TBookmark b) const { return StoredPos(b); }
    void MoveTo(int row);  // moves the cursor, shifting the window the least
    void DataEvent(TDataEvent ev, long long info);
    void RecalcBufferCount();
    void SetState(TDataSetState s);
    void CheckActive() const;
    void CheckBrowse();
    void SetActiveRecordOfLink(int bufferIndex);
    void Notify(TDataSetNotify what);

    std::vector<TField*> fields_;                 // in field order
    std::vector<std::unique_ptr<TField>> owned_;  // the stored fields, by field column
    std::vector<std::unique_ptr<TField>> lookups_;
    TDataSetState state_ = dsInactive;
    int cur_ = 0, win_ = 0, buf_ = 1, readRow_ = -1;
    bool bof_ = true, eof_ = true, modified_ = false;
    int disableCount_ = 0;
    bool pendingChange_ = false;
    std::vector<db::Value> editBuf_;
    std::vector<TDataSource*> sources_;
    std::vector<TDataSetListener*> listeners_;
};

// Keeps a data set's controls still for a walk and lets them go on every way out.
class TControlsDisabled {
public:
    explicit TControlsDisabled(TDataSet& ds) : ds_(ds) { ds_.DisableControls(); }
    ~TControlsDisabled() { ds_.EnableControls(); }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    TDataSet& ds_;
};

// A data set opened from a SELECT on the shared connection: all rows are read into memory;
// it can never be modified.
class TQueryDataSet : public TDataSet {
public:
    explicit TQueryDataSet(db::Connection& c);
    ~TQueryDataSet() override;
    void Open(const QString& sql, const db::Params& params = {});
    db::Query& Query() { return q_; }

protected:
    int StoredCount() const override { return q_.RecordCount(); }
    const db::Value& StoredValue(int row, int fieldNo) const override { return q_.ValueAt(row, fieldNo); }
    TBookmark StoredId(int row) const override { return row; }
    int StoredPos(TBookmark id) const override { return id >= 0 && id < q_.RecordCount() ? int(id) : -1; }
    void CloseStorage() override { q_.Close(); }

private:
    db::Query q_;
};

// An editable data set held in memory (tests of editing and selection, small lists).
class TMemDataSet : public TDataSet {
public:
    struct FieldDef {
        QString name;
        TFieldType type = ftString;
        int size = 20;
    };
    struct LookupDef {
        QString name;
        TFieldType type = ftString;
        int size = 20;
        QString keyFields;
        TDataSet* lookupDataSet = nullptr;
        QString lookupKeyFields, lookupResultField;
    };
    TMemDataSet() = default;
    ~TMemDataSet() override;
    // Opens with the fields and rows given (each row one value per field); lookup fields
    // follow the stored ones.
    void Open(const std::vector<FieldDef>& defs, const std::vector<std::vector<db::Value>>& rows,
              const std::vector<LookupDef>& lookups = {});
    bool CanModify() const override { return !readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }

protected:
    int StoredCount() const override { return int(rows_.size()); }
    const db::Value& StoredValue(int row, int fieldNo) const override {
        return rows_[size_t(row)].values[size_t(fieldNo)];
    }
    TBookmark StoredId(int row) const override { return rows_[size_t(row)].id; }
    int StoredPos(TBookmark id) const override;
    void StoreRecord(int row, const std::vector<db::Value>& v) override { rows_[size_t(row)].values = v; }
    int InsertStored(int row) override;
    void DeleteStored(int row) override;
    void CloseStorage() override { rows_.clear(); }

private:
    struct Rec {
        TBookmark id;
        std::vector<db::Value> values;
    };
    std::vector<Rec> rows_;
    TBookmark nextId_ = 1;
    bool readOnly_ = false;
};

// Joins data links to a data set; replacing its data set takes every link through
// inactive and back to active.
class TDataSource {
public:
    TDataSource() = default;
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;
    TDataSet* DataSet() const { return ds_; }
    void SetDataSet(TDataSet* ds);
    TDataSetState State() const { return ds_ ? ds_->State() : dsInactive; }

private:
    friend class TDataSet;
    friend class TDataLink;
    void Notify(TDataEvent ev, long long info);
    void UpdateState();
    TDataSet* ds_ = nullptr;
    std::vector<TDataLink*> links_;
};

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return src_; }
    void SetDataSource(TDataSource* s);
    TDataSet* DataSet() const { return src_ ? src_->DataSet() : nullptr; }
    bool Active() const { return active_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool Editing() const { return editing_; }
    // Puts the data set into edit state; answers whether it is editing now.
    bool Edit();

    // The buffer window.
    int ActiveRecord() const;
    // Makes another buffered record the one the fields read; no event, the cursor stays.
    void SetActiveRecord(int v);
    int RecordCount() const;
    int BufferCount() const { return bufferCount_; }
    void SetBufferCount(int v);
    // Asks the link to write pending changes (the grid's UpdateData).
    void UpdateRecord();

protected:
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() {}
    virtual void DataSetScrolled(int /*distance*/) {}
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* /*field*/) {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    friend class TDataSet;
    void DataEvent(TDataEvent ev, long long info);
    void UpdateState();
    TDataSource* src_ = nullptr;
    bool active_ = false, editing_ = false, readOnly_ = false;
    int bufferCount_ = 1;
};

// Sets a link's active record for the life of the guard and always sets it back.
class TActiveRecordGuard {
public:
    explicit TActiveRecordGuard(TDataLink& l) : l_(l), saved_(l.ActiveRecord()) {}
    ~TActiveRecordGuard() { l_.SetActiveRecord(saved_); }
    TActiveRecordGuard(const TActiveRecordGuard&) = delete;
    TActiveRecordGuard& operator=(const TActiveRecordGuard&) = delete;

private:
    TDataLink& l_;
    int saved_;
};

}  // namespace qm::grid
