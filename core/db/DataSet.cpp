#include "core/db/DataSet.h"

#include "core/base/FloatText.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace qm::grid {

// ---------------------------------------------------------------- TField

TField::TField(TDataSet* ds, int fieldNo, QString name, TFieldType type, int size)
    : ds_(ds), fieldNo_(fieldNo), name_(std::move(name)), type_(type), size_(size) {
    // Strings are left-aligned and numbers right-aligned; a string shows its declared length.
    switch (type) {
    case ftInteger:
        displayWidth_ = 10;
        alignment_ = taRightJustify;
        break;
    case ftFloat:
    case ftCurrency:
        displayWidth_ = 10;
        alignment_ = taRightJustify;
        break;
    case ftBoolean:
        displayWidth_ = 5;
        alignment_ = taCenter;
        break;
    default:
        displayWidth_ = std::max(1, size);
        alignment_ = taLeftJustify;
        break;
    }
}

void TField::SetDisplayLabel(const QString& v) {
    if (v == label_) return;
    label_ = v;
    ds_->FieldLayoutChanged();
}
void TField::SetDisplayWidth(int v) {
    if (v == displayWidth_) return;
    displayWidth_ = v;
    ds_->FieldLayoutChanged();
}
void TField::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    ds_->FieldLayoutChanged();
}
void TField::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    ds_->FieldLayoutChanged();
}
int TField::Index() const { return ds_->IndexOfField(this); }
void TField::SetIndex(int v) { ds_->MoveField(this, v); }
bool TField::CanModify() const { return !readOnly_ && ds_->CanModify(); }

bool TField::IsValidChar(QChar c) const {
    switch (type_) {
    case ftInteger: return c.isDigit() || c == u'+' || c == u'-';
    case ftFloat:
    case ftCurrency: return c.isDigit() || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
    default: return true;
    }
}

const db::Value& TField::AsValue() const {
    if (kind_ != fkLookup) return ds_->CurrentValue(fieldNo_);
    const TField* key = ds_->FindField(KeyFields);
    lookupValue_ = key && LookupDataSet && LookupDataSet->Active() && !key->IsNull()
                       ? LookupDataSet->Lookup(LookupKeyFields, key->AsValue(), LookupResultField)
                       : db::Value();
    return lookupValue_;
}

bool TField::AsBoolean() const {
    const db::Value& v = AsValue();
    if (v.kind() == db::Value::Kind::Text) {
        const QString t = v.rawText().trimmed().toLower();
        return t == u"true" || t == u"1" || t == u"yes";
    }
    return v.AsInteger() != 0;
}

QString TField::DisplayText() const {
    const db::Value& v = AsValue();
    if (v.IsNull()) return {};
    if (type_ == ftBoolean) return AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    if ((type_ == ftFloat || type_ == ftCurrency) && v.kind() != db::Value::Kind::Text)
        return FloatToStrGeneral(v.AsFloat());  // general format, 15 significant digits
    return v.AsString();
}

void TField::SetValue(const db::Value& v) {
    if (kind_ == fkLookup) return;  // it follows its key field
    ds_->SetFieldValue(this, v);
}

void TField::SetAsString(const QString& v) {
    if (v.isEmpty() && type_ != ftString && type_ != ftMemo) return Clear();
    switch (type_) {
    case ftInteger: {
        bool ok = false;
        const long long n = v.trimmed().toLongLong(&ok);
        if (!ok) throw EDatabaseError(QStringLiteral("'%1' is not a valid integer value").arg(v));
        return SetValue(db::Value(n));
    }
    case ftFloat:
    case ftCurrency: {
        bool ok = false;
        const double d = v.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(d))
            throw EDatabaseError(QStringLiteral("'%1' is not a valid floating point value").arg(v));
        return SetValue(db::Value(d));
    }
    default: return SetValue(db::Value(v));
    }
}

// ---------------------------------------------------------------- TDataSet

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
    Notify(dnDestroying);
    for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->SetDataSet(nullptr);
}

TField* TDataSet::FindField(const QString& name) const {
    for (TField* f : fields_)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0) return f;
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const {
    if (TField* f = FindField(name)) return f;
    throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
}

int TDataSet::IndexOfField(const TField* f) const {
    auto it = std::find(fields_.begin(), fields_.end(), f);
    return it == fields_.end() ? -1 : int(it - fields_.begin());
}

void TDataSet::MoveField(TField* f, int to) {
    const int from = IndexOfField(f);
    if (from < 0) return;
    to = std::clamp(to, 0, FieldCount() - 1);
    if (from == to) return;
    fields_.erase(fields_.begin() + from);
    fields_.insert(fields_.begin() + to, f);
    DataEvent(deLayoutChange, 0);
}

TField* TDataSet::AddField(const QString& name, TFieldType type, int size) {
    owned_.push_back(std::make_unique<TField>(this, int(owned_.size()), name, type, size));
    fields_.push_back(owned_.back().get());
    return fields_.back();
}

TField* TDataSet::AddLookupField(const QString& name, TFieldType type, int size, const QString& keyFields,
                                 TDataSet* lookupDataSet, const QString& lookupKeyFields,
                                 const QString& lookupResultField) {
    lookups_.push_back(std::make_unique<TField>(this, -1, name, type, size));
    TField* f = lookups_.back().get();
    f->kind_ = fkLookup;
    f->KeyFields = keyFields;
    f->LookupDataSet = lookupDataSet;
    f->LookupKeyFields = lookupKeyFields;
    f->LookupResultField = lookupResultField;
    fields_.push_back(f);
    return f;
}

bool TDataSet::Locate(const QString& fieldName, const QString& text, bool caseInsensitive, bool partial) {
    CheckBrowse();
    const TField* f = FieldByName(fieldName);
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const int n = StoredCount();
    for (int row = 0; row < n; ++row) {
        const QString t = f->FieldNo() >= 0 ? StoredValue(row, f->FieldNo()).AsString() : QString();
        if (partial ? t.startsWith(text, cs) : t.compare(text, cs) == 0) {
            bof_ = eof_ = false;
            MoveTo(row);
            return true;
        }
    }
    return false;
}

db::Value TDataSet::Lookup(const QString& keyField, const db::Value& key, const QString& resultField) const {
    if (!Active()) return {};
    const TField* k = FindField(keyField);
    const TField* r = FindField(resultField);
    if (!k || !r || k->FieldNo() < 0 || r->FieldNo() < 0) return {};
    // A key compares by its text, so that an integer key finds a key read back as text.
    const QString want = key.AsString();
    const int n = StoredCount();
    for (int row = 0; row < n; ++row) {
        const db::Value& v = StoredValue(row, k->FieldNo());
        if (!v.IsNull() && (v == key || v.AsString() == want)) return StoredValue(row, r->FieldNo());
    }
    return {};
}

void TDataSet::OpenDone() {
    cur_ = 0;
    win_ = 0;
    readRow_ = -1;
    bof_ = true;
    eof_ = StoredCount() == 0;
    modified_ = false;
    SetState(dsBrowse);
    Notify(dnAfterOpen);
}

void TDataSet::AddListener(TDataSetListener* l) {
    if (l && std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end()) listeners_.push_back(l);
}

void TDataSet::RemoveListener(TDataSetListener* l) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void TDataSet::Notify(TDataSetNotify what) {
    // A listener may remove itself while it is called.
    for (TDataSetListener* l : std::vector<TDataSetListener*>(listeners_))
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) l->DataSetNotify(*this, what);
}

void TDataSet::Close() {
    if (!Active()) return;
    CloseStorage();
    SetState(dsInactive);
    fields_.clear();
    owned_.clear();
    lookups_.clear();
    cur_ = win_ = 0;
    readRow_ = -1;
    Notify(dnAfterClose);
}

void TDataSet::ReadOnlyError() const { throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset")); }

void TDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TDataSet::CheckBrowse() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) Post();
}

void TDataSet::SetState(TDataSetState s) {
    if (s == state_) return;
    const bool activeChange = (s == dsInactive) != (state_ == dsInactive);
    state_ = s;
    if (activeChange) {
        for (TDataSource* src : std::vector<TDataSource*>(sources_)) src->UpdateState();
    } else {
        DataEvent(deUpdateState, 0);
    }
}

void TDataSet::RecalcBufferCount() {
    int b = 1;
    for (TDataSource* s : sources_)
        for (TDataLink* l : s->links_) b = std::max(b, l->bufferCount_);
    buf_ = b;
    if (!Active()) return;  // also while a subclass is being torn down
    const int n = StoredCount();
    // Growing keeps the cursor in the window and fills upward at the end of the data.
    if (win_ + buf_ > n) win_ = std::max(0, n - buf_);
    if (cur_ < win_) win_ = cur_;
    if (cur_ >= win_ + buf_) win_ = cur_ - buf_ + 1;
}

void TDataSet::MoveTo(int row) {
    const int oldWin = win_;
    cur_ = row;
    readRow_ = -1;
    if (cur_ < win_)
        win_ = cur_;
    else if (cur_ >= win_ + buf_)
        win_ = cur_ - buf_ + 1;
    DataEvent(deDataSetScroll, win_ - oldWin);
    if (state_ == dsBrowse) Notify(dnAfterScroll);
}

void TDataSet::First() {
    CheckBrowse();
    bof_ = true;
    eof_ = StoredCount() == 0;
    const int oldWin = win_;
    cur_ = 0;
    win_ = 0;
    readRow_ = -1;
    DataEvent(deDataSetScroll, win_ - oldWin);
    Notify(dnAfterScroll);
}

void TDataSet::Last() {
    CheckBrowse();
    const int n = StoredCount();
    eof_ = true;
    bof_ = n == 0;
    const int oldWin = win_;
    cur_ = std::max(0, n - 1);
    win_ = std::max(0, n - buf_);
    readRow_ = -1;
    DataEvent(deDataSetScroll, win_ - oldWin);
    Notify(dnAfterScroll);
}

int TDataSet::MoveBy(int distance) {
    CheckBrowse();
    const int n = StoredCount();
    if (n == 0) {
        bof_ = eof_ = true;
        return 0;
    }
    bof_ = eof_ = false;
    if (distance == 0) return 0;
    long long target = (long long)cur_ + distance;
    if (target < 0) {
        target = 0;
        bof_ = true;
    } else if (target > n - 1) {
        target = n - 1;
        eof_ = true;
    }
    const int moved = int(target) - cur_;
    MoveTo(int(target));
    return moved;
}

void TDataSet::SetRecNo(int recNo) {
    CheckBrowse();
    const int n = StoredCount();
    if (n == 0) return;
    bof_ = eof_ = false;
    MoveTo(std::clamp(recNo, 1, n) - 1);
}

void TDataSet::EnableControls() {
    if (disableCount_ > 0 && --disableCount_ == 0 && pendingChange_) {
        pendingChange_ = false;
        DataEvent(deDataSetChange, 0);
    }
}

TBookmark TDataSet::Bookmark() const {
    if (!Active() || StoredCount() == 0) return -1;
    // The record the links read: painting moves it row by row and asks each row's bookmark.
    return StoredId(ActiveBufferRecord());
}

void TDataSet::GotoBookmark(TBookmark b) {
    CheckBrowse();
    const int p = StoredPos(b);
    if (p < 0) throw EDatabaseError(QStringLiteral("Record not found"));
    bof_ = eof_ = false;
    MoveTo(p);
}

int TDataSet::CompareBookmarks(TBookmark a, TBookmark b) const {
    if (a == b) return 0;
    const int pa = StoredPos(a), pb = StoredPos(b);
    return pa < pb ? -1 : (pa > pb ? 1 : 0);
}

const db::Value& TDataSet::CurrentValue(int fieldNo) const {
    static const db::Value kNull;
    if (!Active()) return kNull;
    const int row = ActiveBufferRecord();
    if ((state_ == dsEdit || state_ == dsInsert) && row == cur_) return editBuf_[size_t(fieldNo)];
    if (row < 0 || row >= StoredCount()) return kNull;
    return StoredValue(row, fieldNo);
}

void TDataSet::SetFieldValue(TField* f, const db::Value& v) {
    if (!f->CanModify()) ReadOnlyError();
    if (state_ != dsEdit && state_ != dsInsert) Edit();
    editBuf_[size_t(f->FieldNo())] = v;
    modified_ = true;
    DataEvent(deFieldChange, reinterpret_cast<long long>(f));
}

void TDataSet::Edit() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (!CanModify()) ReadOnlyError();
    if (StoredCount() == 0) return Insert();
    editBuf_.assign(owned_.size(), db::Value());
    for (size_t i = 0; i < owned_.size(); ++i) editBuf_[i] = StoredValue(cur_, int(i));
    modified_ = false;
    SetState(dsEdit);
    Notify(dnAfterEdit);
}

void TDataSet::Insert() {
    CheckBrowse();
    if (!CanModify()) ReadOnlyError();
    const int row = InsertStored(StoredCount() == 0 ? 0 : cur_);
    editBuf_.assign(owned_.size(), db::Value());
    modified_ = false;
    bof_ = eof_ = false;
    state_ = dsInsert;  // the new record shows in its place at once
    MoveTo(row);
    DataEvent(deDataSetChange, 0);
    DataEvent(deUpdateState, 0);
    Notify(dnAfterInsert);
}

void TDataSet::Append() {
    CheckBrowse();
    if (!CanModify()) ReadOnlyError();
    const int row = InsertStored(StoredCount());
    editBuf_.assign(owned_.size(), db::Value());
    modified_ = false;
    bof_ = false;
    eof_ = true;
    state_ = dsInsert;
    MoveTo(row);
    DataEvent(deDataSetChange, 0);
    DataEvent(deUpdateState, 0);
    Notify(dnAfterInsert);
}

void TDataSet::Post() {
    if (state_ != dsEdit && state_ != dsInsert) return;
    DataEvent(deUpdateRecord, 0);  // links write what they hold
    StoreRecord(cur_, editBuf_);
    modified_ = false;
    SetState(dsBrowse);
    DataEvent(deDataSetChange, 0);
    Notify(dnAfterPost);
}

void TDataSet::Cancel() {
    if (state_ == dsInsert) {
        // A record being inserted was never stored for good: it goes again.
        DeleteStored(cur_);
        state_ = dsBrowse;
        modified_ = false;
        const int n = StoredCount();
        cur_ = std::clamp(cur_, 0, std::max(0, n - 1));
        RecalcBufferCount();
        eof_ = bof_ = n == 0;
        DataEvent(deDataSetChange, 0);
        DataEvent(deUpdateState, 0);
        Notify(dnAfterCancel);
        return;
    }
    if (state_ == dsEdit) {
        modified_ = false;
        SetState(dsBrowse);
        DataEvent(deDataSetChange, 0);
        Notify(dnAfterCancel);
    }
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == dsInsert) return Cancel();
    if (!CanModify()) ReadOnlyError();
    if (StoredCount() == 0) throw EDatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (state_ == dsEdit) {
        // A pending edit is dropped first, so that listeners read the stored values.
        state_ = dsBrowse;
        modified_ = false;
    }
    Notify(dnBeforeDelete);
    DeleteStored(cur_);
    const int n = StoredCount();
    cur_ = std::clamp(cur_, 0, std::max(0, n - 1));
    readRow_ = -1;
    RecalcBufferCount();
    eof_ = n == 0;
    bof_ = n == 0;
    DataEvent(deDataSetChange, 0);
    Notify(dnAfterScroll);
}

void TDataSet::SetActiveRecordOfLink(int bufferIndex) {
    const int row = win_ + bufferIndex;
    readRow_ = row == cur_ ? -1 : row;
}

void TDataSet::DataEvent(TDataEvent ev, long long info) {
    if (disableCount_ > 0) {
        if (ev == deDataSetChange || ev == deDataSetScroll || ev == deLayoutChange || ev == deRecordChange)
            pendingChange_ = true;
        if (ev != deUpdateState && ev != deUpdateRecord) return;
    }
    for (TDataSource* s : std::vector<TDataSource*>(sources_)) s->Notify(ev, info);
}

// ---------------------------------------------------------------- TQueryDataSet

TQueryDataSet::TQueryDataSet(db::Connection& c) : q_(c) {}
TQueryDataSet::~TQueryDataSet() { Close(); }

void TQueryDataSet::Open(const QString& sql, const db::Params& params) {
    Close();
    q_.Open(sql, params);
    static const QRegularExpression kLen(QStringLiteral("\\((\\d+)\\)"));
    for (int i = 0; i < q_.FieldCount(); ++i) {
        const db::Field& f = q_.Fields(i);
        const QString t = f.DeclaredType().toUpper();
        TFieldType type = ftString;
        if (t.contains(u"INT"))
            type = ftInteger;
        else if (t.contains(u"NUMERIC") || t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB") ||
                 t.contains(u"DECIMAL"))
            type = ftFloat;
        else if (t.isEmpty() && q_.RecordCount() > 0) {
            const db::Value& v = q_.ValueAt(0, i);
            type = v.kind() == db::Value::Kind::Integer ? ftInteger
                   : v.kind() == db::Value::Kind::Real  ? ftFloat
                                                        : ftString;
        }
        // A text column without a declared length shows 20 characters: SQLite keeps no
        // length, and measuring every row would cost more than it tells.
        int size = 20;
        const auto m = kLen.match(t);
        if (m.hasMatch()) size = m.captured(1).toInt();
        AddField(f.FieldName(), type, type == ftString ? size : 0);
    }
    OpenDone();
}

// ---------------------------------------------------------------- TMemDataSet

TMemDataSet::~TMemDataSet() { Close(); }

void TMemDataSet::Open(const std::vector<FieldDef>& defs, const std::vector<std::vector<db::Value>>& rows,
                       const std::vector<LookupDef>& lookups) {
    Close();
    for (const auto& d : defs) AddField(d.name, d.type, d.size);
    for (const auto& l : lookups)
        AddLookupField(l.name, l.type, l.size, l.keyFields, l.lookupDataSet, l.lookupKeyFields, l.lookupResultField);
    rows_.clear();
    for (const auto& r : rows) {
        Rec rec{nextId_++, r};
        rec.values.resize(defs.size());
        rows_.push_back(std::move(rec));
    }
    OpenDone();
}

int TMemDataSet::StoredPos(TBookmark id) const {
    // Ids only grow, and inserts are rare: a scan is enough for the lists this holds.
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].id == id) return int(i);
    return -1;
}

int TMemDataSet::InsertStored(int row) {
    Rec rec{nextId_++, std::vector<db::Value>(size_t(StoredFieldCount()))};
    rows_.insert(rows_.begin() + row, std::move(rec));
    return row;
}

void TMemDataSet::DeleteStored(int row) { rows_.erase(rows_.begin() + row); }

// ---------------------------------------------------------------- TDataSource

TDataSource::~TDataSource() {
    SetDataSet(nullptr);
    for (TDataLink* l : std::vector<TDataLink*>(links_)) l->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* ds) {
    if (ds == ds_) return;
    if (ds_) {
        auto& v = ds_->sources_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        ds_->RecalcBufferCount();
        ds_ = nullptr;
        UpdateState();  // links go inactive first ...
    }
    if (ds) {
        ds_ = ds;
        ds->sources_.push_back(this);
        ds->RecalcBufferCount();
        UpdateState();  // ... and active again with the new data set
    }
}

void TDataSource::UpdateState() {
    for (TDataLink* l : std::vector<TDataLink*>(links_)) l->UpdateState();
}

void TDataSource::Notify(TDataEvent ev, long long info) {
    for (TDataLink* l : std::vector<TDataLink*>(links_)) l->DataEvent(ev, info);
}

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() { SetDataSource(nullptr); }

void TDataLink::SetDataSource(TDataSource* s) {
    if (s == src_) return;
    if (src_) {
        auto& v = src_->links_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        if (src_->ds_) src_->ds_->RecalcBufferCount();
    }
    src_ = s;
    if (src_) {
        src_->links_.push_back(this);
        if (src_->ds_) src_->ds_->RecalcBufferCount();
    }
    UpdateState();
}

void TDataLink::UpdateState() {
    const bool a = src_ && src_->ds_ && src_->ds_->Active();
    if (a != active_) {
        active_ = a;
        if (a && src_->ds_) src_->ds_->RecalcBufferCount();
        ActiveChanged();
    }
    const bool e = active_ && (DataSet()->State() == dsEdit || DataSet()->State() == dsInsert);
    if (e != editing_) {
        editing_ = e;
        EditingChanged();
    }
}

bool TDataLink::Edit() {
    if (!active_ || readOnly_) return false;
    TDataSet* ds = DataSet();
    if (!editing_) {
        if (!ds->CanModify()) return false;
        ds->Edit();
    }
    return editing_;
}

int TDataLink::ActiveRecord() const {
    if (!active_) return 0;
    const TDataSet* ds = DataSet();
    return ds->ActiveBufferRecord() - ds->win_;
}

void TDataLink::SetActiveRecord(int v) {
    if (!active_) return;
    DataSet()->SetActiveRecordOfLink(v);
}

int TDataLink::RecordCount() const {
    if (!active_) return 0;
    const TDataSet* ds = DataSet();
    return std::max(0, std::min(ds->buf_, ds->StoredCount() - ds->win_));
}

void TDataLink::SetBufferCount(int v) {
    v = std::max(1, v);
    if (v == bufferCount_) return;
    bufferCount_ = v;
    if (TDataSet* ds = DataSet()) ds->RecalcBufferCount();
}

void TDataLink::UpdateRecord() {
    if (active_) UpdateData();
}

void TDataLink::DataEvent(TDataEvent ev, long long info) {
    switch (ev) {
    case deUpdateState: UpdateState(); break;
    case deDataSetChange: DataSetChanged(); break;
    case deDataSetScroll: DataSetScrolled(int(info)); break;
    case deLayoutChange: LayoutChanged(); break;
    case deFieldChange: RecordChanged(reinterpret_cast<TField*>(info)); break;
    case deRecordChange: RecordChanged(nullptr); break;
    case deUpdateRecord: UpdateData(); break;
    }
}

}  // namespace qm::grid
