#include "grid/Columns.h"
#include "grid/Footers.h"

#include "grid/DBGridX.h"

#include <algorithm>
#include <cmath>

namespace qm::grid {

// ---------------------------------------------------------------- TColumnTitleX

TAlignment TColumnTitleX::Alignment() const {
    return column_->IsExplicit(cvTitleAlignment) ? alignment_ : taLeftJustify;
}
void TColumnTitleX::SetAlignment(TAlignment v) {
    if (column_->IsExplicit(cvTitleAlignment) && v == alignment_) return;
    alignment_ = v;
    column_->SetExplicit(cvTitleAlignment);
    column_->Changed();
}

QString TColumnTitleX::Caption() const {
    if (column_->IsExplicit(cvTitleCaption)) return caption_;
    if (TField* f = column_->Field()) return f->DisplayName();
    return column_->FieldName();
}
void TColumnTitleX::SetCaption(const QString& v) {
    if (column_->IsExplicit(cvTitleCaption) && v == caption_) return;
    caption_ = v;
    column_->SetExplicit(cvTitleCaption);
    column_->Changed();
}

QColor TColumnTitleX::Color() const {
    if (column_->IsExplicit(cvTitleColor)) return color_;
    if (TCustomDBGridX* g = column_->Grid()) return g->FixedColor();
    return QColor(0xF0, 0xF0, 0xF0);
}
void TColumnTitleX::SetColor(const QColor& v) {
    if (column_->IsExplicit(cvTitleColor) && v == color_) return;
    color_ = v;
    column_->SetExplicit(cvTitleColor);
    column_->Changed();
}

TFont TColumnTitleX::Font() const {
    if (column_->IsExplicit(cvTitleFont)) return font_;
    if (TCustomDBGridX* g = column_->Grid()) return g->TitleFont();
    return column_->Font();
}
void TColumnTitleX::SetFont(const TFont& v) {
    font_ = v;
    column_->SetExplicit(cvTitleFont);
    column_->Changed(true);
}

void TColumnTitleX::SetTitleButton(bool v) {
    if (v == titleButton_) return;
    titleButton_ = v;
    column_->Changed();
}

void TColumnTitleX::SetEndEllipsis(bool v) {
    endEllipsis_ = v;
    column_->Changed();
}

void TColumnTitleX::SetSortMarker(TSortMarkerX v) {
    if (v == sortMarker_) return;
    sortMarker_ = v;
    TCustomDBGridX* g = column_->Grid();
    if (!g) {
        sortIndex_ = v == smNoneX ? 0 : 1;
        return;
    }
    TColumnsXList& marked = g->SortMarkedColumnsRef();
    TDBGridColumnsX& cols = g->Columns();
    if (!g->OptionsX().Has(dghMultiSortMarking)) {
        if (v != smNoneX) {
            for (int i = 0; i < cols.Count(); ++i) {
                TColumnTitleX* t = cols[i]->Title();
                if (t != this) {
                    t->sortMarker_ = smNoneX;
                    t->sortIndex_ = 0;
                }
            }
            sortIndex_ = 1;
            marked.assign(1, column_);
        } else {
            sortIndex_ = 0;
            marked.clear();
        }
    } else {
        if (v != smNoneX && sortIndex_ == 0) {
            int n = 0;
            for (int i = 0; i < cols.Count(); ++i)
                if (cols[i]->Title()->sortIndex_ != 0) ++n;
            sortIndex_ = n + 1;
            marked.push_back(column_);
        } else if (v == smNoneX && sortIndex_ != 0) {
            for (int i = 0; i < cols.Count(); ++i) {
                TColumnTitleX* t = cols[i]->Title();
                if (t->sortIndex_ > sortIndex_) --t->sortIndex_;
            }
            marked.erase(std::remove(marked.begin(), marked.end(), column_), marked.end());
            sortIndex_ = 0;
        }
    }
    column_->Changed(true);
}

void TColumnTitleX::SetSortIndex(int v) {
    v = std::max(0, v);
    if (v == sortIndex_ || sortMarker_ == smNoneX) return;
    TCustomDBGridX* g = column_->Grid();
    if (!g) return;
    TDBGridColumnsX& cols = g->Columns();
    for (int i = 0; i < cols.Count(); ++i) {
        TColumnTitleX* t = cols[i]->Title();
        if (t != this && t->sortIndex_ == v) {
            // The two titles exchange their numbers and their places in the sort order.
            t->sortIndex_ = sortIndex_;
            sortIndex_ = v;
            TColumnsXList& marked = g->SortMarkedColumnsRef();
            auto a = std::find(marked.begin(), marked.end(), column_);
            auto b = std::find(marked.begin(), marked.end(), t->column_);
            if (a != marked.end() && b != marked.end()) std::iter_swap(a, b);
            column_->Changed(true);
            return;
        }
    }
}

void TColumnTitleX::SetNextSortMarker(bool keepOthers) {
    TCustomDBGridX* g = column_->Grid();
    if (!keepOthers && g) {
        TDBGridColumnsX& cols = g->Columns();
        for (int i = 0; i < cols.Count(); ++i)
            if (cols[i]->Title() != this) cols[i]->Title()->SetSortMarker(smNoneX);
    }
    switch (sortMarker_) {
    case smNoneX: SetSortMarker(smDownX); break;
    case smDownX: SetSortMarker(smUpX); break;
    case smUpX: SetSortMarker(keepOthers ? smNoneX : smDownX); break;
    }
}

int TColumnTitleX::SortMarkerWidth() const {
    if (sortIndex_ == 0) return 0;
    int w = 16;
    TCustomDBGridX* g = column_->Grid();
    int numW = 0;
    if (g && g->SortMarkedColumns().size() >= 2) {
        numW = QFontMetrics(TCustomDBGridX::SortIndexFont()).horizontalAdvance(QString::number(sortIndex_));
        w += numW;
    }
    if (w > column_->Width() - 4) w -= 14;
    if (w > column_->Width() - 4) w -= numW + 2;
    return w;
}

void TColumnTitleX::Assign(const TColumnTitleX& src) {
    if (src.column_->IsExplicit(cvTitleAlignment)) SetAlignment(src.alignment_);
    if (src.column_->IsExplicit(cvTitleColor)) SetColor(src.color_);
    if (src.column_->IsExplicit(cvTitleCaption)) SetCaption(src.caption_);
    if (src.column_->IsExplicit(cvTitleFont)) SetFont(src.font_);
    titleButton_ = src.titleButton_;
    SetSortMarker(src.sortMarker_);
    endEllipsis_ = src.endEllipsis_;
}

void TColumnTitleX::RestoreDefaults() {
    const bool fontWasExplicit = column_->IsExplicit(cvTitleFont);
    for (TColumnXValue v : {cvTitleColor, cvTitleCaption, cvTitleAlignment, cvTitleFont}) column_->ClearExplicit(v);
    caption_.clear();
    column_->Changed(fontWasExplicit);
}

void TPassthroughColumnTitle::SetCaption(const QString& v) {
    TCustomDBGridX* g = column_->Grid();
    if (g && g->DataLink()->Active() && column_->Field())
        column_->Field()->SetDisplayLabel(v);
    else
        TColumnTitleX::SetCaption(v);
}

// ---------------------------------------------------------------- TColumnX

TColumnX::TColumnX(TDBGridColumnsX* collection) : collection_(collection) {
    title_ = std::make_unique<TColumnTitleX>(this);
    footer_ = std::make_unique<TColumnFooterX>(this);
    footers_ = std::make_unique<TColumnFootersX>(this);
    BaseWidth = Width();
}

TColumnX::~TColumnX() {
    footers_.reset();
    footer_.reset();
}

TColumnFooterX* TColumnX::UsedFooter(int footerRow) const {
    if (footerRow >= 0 && footerRow < footers_->Count()) return footers_->Items(footerRow);
    return footer_.get();
}

void TColumnX::EnsureSumItems() {
    footer_->EnsureSumItem();
    for (int i = 0; i < footers_->Count(); ++i) footers_->Items(i)->EnsureSumItem();
}

TCustomDBGridX* TColumnX::Grid() const { return collection_ ? collection_->Grid() : nullptr; }
int TColumnX::Index() const { return collection_ ? collection_->IndexOf(this) : -1; }
void TColumnX::SetIndex(int v) {
    if (collection_) collection_->Move(Index(), v);
}

void TColumnX::Changed(bool allItems) {
    if (collection_) collection_->Update(allItems ? nullptr : this);
}

TField* TColumnX::Field() const {
    TCustomDBGridX* g = Grid();
    if (!field_ && !fieldName_.isEmpty() && g && g->DataLink()->DataSet()) {
        TDataSet* ds = g->DataLink()->DataSet();
        if (!ds->Active()) return nullptr;  // an inactive data set with default fields has none
        if (TField* f = ds->FindField(fieldName_)) {
            field_ = f;
            const_cast<TColumnX*>(this)->fieldName_ = f->FieldName();
        }
    }
    return field_;
}

void TColumnX::SetField(TField* f) {
    if (f == field_) return;
    field_ = f;
    if (f) fieldName_ = f->FieldName();
    Changed();
}

void TColumnX::SetFieldName(const QString& v) {
    TField* f = nullptr;
    TCustomDBGridX* g = Grid();
    if (g && g->DataLink()->DataSet() && !v.isEmpty() && g->DataLink()->DataSet()->Active())
        f = g->DataLink()->DataSet()->FindField(v);
    fieldName_ = v;
    SetField(f);
    BaseWidth = Width();
    EnsureSumItems();
    Changed();
}

TAlignment TColumnX::Alignment() const {
    if (IsExplicit(cvAlignment)) return alignment_;
    if (TField* f = Field()) return f->Alignment();
    return taLeftJustify;
}
void TColumnX::SetAlignment(TAlignment v) {
    if (IsExplicit(cvAlignment) && v == alignment_) return;
    alignment_ = v;
    SetExplicit(cvAlignment);
    Changed();
}

QColor TColumnX::Color() const {
    if (IsExplicit(cvColor)) return color_;
    if (TCustomDBGridX* g = Grid()) return g->Color();
    return QColor(Qt::white);
}
void TColumnX::SetColor(const QColor& v) {
    if (IsExplicit(cvColor) && v == color_) return;
    color_ = v;
    SetExplicit(cvColor);
    Changed();
}

TFont TColumnX::Font() const {
    if (IsExplicit(cvFont)) return font_;
    if (TCustomDBGridX* g = Grid()) return g->Font();
    return font_;
}
void TColumnX::SetFont(const TFont& v) {
    font_ = v;
    SetExplicit(cvFont);
    Changed();
}

bool TColumnX::ReadOnly() const {
    if (IsExplicit(cvReadOnly)) return readOnly_;
    TCustomDBGridX* g = Grid();
    if (g && g->ReadOnly()) return true;
    if (TField* f = Field()) return f->ReadOnly();
    return false;
}
void TColumnX::SetReadOnly(bool v) {
    if (IsExplicit(cvReadOnly) && v == readOnly_) return;
    readOnly_ = v;
    SetExplicit(cvReadOnly);
    Changed();
}

int TColumnX::DefaultWidth() const {
    TCustomDBGridX* g = Grid();
    if (!g) return 64;
    TField* f = Field();
    if (!f) return g->DefaultColWidth();
    const TTextMetrics m = g->MetricsOf(Font());
    return (m.ZeroWidth - m.Overhang) * f->DisplayWidth() + m.Overhang + 4;
}

int TColumnX::Width() const { return IsExplicit(cvWidth) ? width_ : DefaultWidth(); }

void TColumnX::StoreWidth(int v) {
    width_ = v;
    SetExplicit(cvWidth);
    if (maxWidth_ >= 1 && maxWidth_ < width_) width_ = maxWidth_;
    if (minWidth_ > width_) width_ = minWidth_;  // the minimum wins over a smaller maximum
}

void TColumnX::SetWidth(int v) {
    if (IsExplicit(cvWidth) && v == width_) return;
    // The default width asked for explicitly stays a default: it keeps following the field.
    // Without a field the default is only the grid's placeholder: a width set before the
    // data arrives is the width wanted, even when it equals that placeholder.
    if (!IsExplicit(cvWidth) && Field() && v == DefaultWidth()) return Changed();
    StoreWidth(v);
    Changed();
}

void TColumnX::SetMinWidth(int v) {
    minWidth_ = v;
    if (v > 0 && Width() < v) SetWidth(v);
}
void TColumnX::SetMaxWidth(int v) {
    maxWidth_ = v;
    if (v > 0 && Width() > v) SetWidth(v);
}

int TColumnX::ClampWidth(int w) const {
    if (minWidth_ > 0 && minWidth_ > w) return minWidth_;
    if (maxWidth_ > 0 && maxWidth_ < w) return maxWidth_;
    return w;
}

void TColumnX::SetAutoFitColWidth(bool v) {
    autoFitColWidth_ = v;
    TCustomDBGridX* g = Grid();
    if (g && g->AutoFitColWidths()) SetWidth(BaseWidth);
    Changed();
}

bool TColumnX::WordWrap() const {
    if (IsExplicit(cvWordWrap)) return wordWrap_;
    TField* f = Field();
    return f && (f->DataType() == ftString || f->DataType() == ftMemo);
}
void TColumnX::SetWordWrap(bool v) {
    if (IsExplicit(cvWordWrap) && v == wordWrap_) return;
    wordWrap_ = v;
    SetExplicit(cvWordWrap);
    Changed();
}

bool TColumnX::Checkboxes() const {
    if (IsExplicit(cvCheckboxes)) return checkboxes_;
    TField* f = Field();
    return f && f->DataType() == ftBoolean;
}
void TColumnX::SetCheckboxes(bool v) {
    if (IsExplicit(cvCheckboxes) && v == checkboxes_) return;
    checkboxes_ = v;
    SetExplicit(cvCheckboxes);
    Changed();
}

void TColumnX::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Changed(true);
}

void TColumnX::SetEndEllipsis(bool v) {
    endEllipsis_ = v;
    Changed();
}
void TColumnX::SetButtonStyle(TColumnButtonStyleX v) {
    if (v == buttonStyle_) return;
    buttonStyle_ = v;
    Changed();
}
void TColumnX::SetAlwaysShowEditButton(bool v) {
    if (v == alwaysShowEditButton_) return;
    alwaysShowEditButton_ = v;
    Changed();
}
void TColumnX::SetPickList(const QStringList& v) { pickList_ = v; }
void TColumnX::SetKeyList(const QStringList& v) {
    keyList_ = v;
    if (TCustomDBGridX* g = Grid()) g->InvalidateGrid();
}
void TColumnX::SetNotInKeyListIndex(int v) {
    if (v == notInKeyListIndex_) return;
    notInKeyListIndex_ = v;
    if (TCustomDBGridX* g = Grid()) g->InvalidateGrid();
}

int TColumnX::ColumnKind() const {
    if (Checkboxes()) return 5;
    TField* f = Field();
    if (f && f->FieldKind() == fkLookup) return 2;
    if (!pickList_.isEmpty() && keyList_.isEmpty()) return 1;
    if (!keyList_.isEmpty() && HasImageList) return 4;
    if (!keyList_.isEmpty() && !pickList_.isEmpty()) return 3;
    return 0;
}

QString TColumnX::DisplayText() const {
    TField* f = Field();
    if (!f) return {};
    if (!keyList_.isEmpty()) {
        const int i = keyList_.indexOf(f->Text());
        if (i >= 0 && i < pickList_.size()) return pickList_[i];
        if (notInKeyListIndex_ >= 0 && notInKeyListIndex_ < pickList_.size()) return pickList_[notInKeyListIndex_];
        return {};
    }
    TCustomDBGridX* g = Grid();
    if (g && g->DrawMemoText && f->DataType() == ftMemo) return f->AsString();
    return f->DisplayText();
}

TCheckBoxState TColumnX::GetCheckboxState() const {
    TField* f = Field();
    if (!f || f->IsNull()) return cbGrayed;
    if (f->DataType() == ftBoolean) return f->AsBoolean() ? cbChecked : cbUnchecked;
    auto inLine = [&](int line) {
        if (line >= keyList_.size()) return false;
        const QStringList vals = keyList_[line].split(u';');
        for (const QString& v : vals)
            if (v.compare(f->Text(), Qt::CaseInsensitive) == 0) return true;
        return false;
    };
    if (inLine(0)) return cbChecked;
    if (keyList_.size() < 2) return cbGrayed;
    if (inLine(1)) return cbUnchecked;
    return cbGrayed;
}

void TColumnX::SetCheckboxState(TCheckBoxState s) {
    TField* f = Field();
    if (!f) return;
    if (s == cbGrayed) return f->Clear();
    if (f->DataType() == ftBoolean) return f->SetValue(db::Value(s == cbChecked ? 1 : 0));
    const int line = s == cbChecked ? 0 : 1;
    f->SetText(line < keyList_.size() ? keyList_[line].split(u';').value(0) : QString());
}

TField* TColumnX::ModifiedField() const {
    TField* f = Field();
    if (!f || f->FieldKind() != fkLookup) return f;
    return f->KeyFields.isEmpty() ? nullptr : f->DataSet()->FindField(f->KeyFields);
}

QString TColumnX::LookupDisplayFields() const {
    if (IsExplicit(cvLookupDisplayFields)) return lookupDisplayFields_;
    TField* f = Field();
    return f && f->FieldKind() == fkLookup ? f->LookupResultField : QString();
}

void TColumnX::SetLookupDisplayFields(const QString& v) {
    if (IsExplicit(cvLookupDisplayFields) && v == lookupDisplayFields_) return;
    lookupDisplayFields_ = v;
    SetExplicit(cvLookupDisplayFields);
    Changed();
}

bool TColumnX::CanModify(bool tryEdit) {
    TCustomDBGridX* g = Grid();
    TField* f = Field();
    bool ok = (!g || (!g->ReadOnly() && g->DataLink()->Active() && !g->DataLink()->ReadOnly())) && !ReadOnly() && f;
    // A lookup field is changed through its key field.
    if (ok && f->FieldKind() == fkLookup) {
        if (f->KeyFields.isEmpty()) return false;
        f = f->DataSet()->FieldByName(f->KeyFields);
    }
    ok = ok && f->CanModify();
    if (ok && !f->IsBlob() && g)
        ok = g->AllowedOperations.Has(alopUpdateX) || g->DataLink()->DataSet()->State() == dsInsert;
    if (ok && f && f->IsBlob()) ok = false;
    if (tryEdit && ok && g) {
        ok = g->DataLink()->Edit();
        if (ok) g->DataLink()->SetModified();
    }
    return ok;
}

void TColumnX::SetNextFieldValue(double increment) {
    if (!CanModify(true)) return;
    TField* f = Field();
    switch (ColumnKind()) {
    case 5: SetCheckboxState(GetCheckboxState() == cbChecked ? cbUnchecked : cbChecked); return;
    case 1:
    case 3:
    case 4: {
        // Increment 0 steps forward, as a positive one does.
        const QStringList& list = ColumnKind() == 1 ? pickList_ : keyList_;
        if (list.isEmpty()) return;
        const int i = list.indexOf(f->Text());
        int next;
        if (increment >= 0)
            next = (i < 0 || i == list.size() - 1) ? 0 : i + 1;
        else
            next = (i <= 0) ? int(list.size()) - 1 : i - 1;
        f->SetText(list[next]);
        return;
    }
    case 2: {
        // A lookup steps through the records of its lookup data set, wrapping at the ends.
        TDataSet* l = f->LookupDataSet;
        TField* key = ModifiedField();
        if (!l || !l->Active() || !key || l->IsEmpty()) return;
        const bool found = !key->IsNull() && l->Locate(f->LookupKeyFields, key->AsString(), false, false);
        if (!found) {
            l->First();
        } else if (increment > 0) {
            if (l->MoveBy(1) == 0) l->First();
        } else if (increment < 0) {
            if (l->MoveBy(-1) == 0) l->Last();
        }
        key->SetText(l->FieldByName(f->LookupKeyFields)->Text());
        return;
    }
    default:
        // The step given (negative steps down); a null value counts as minus the step, so it becomes 0.
        switch (f->DataType()) {
        case ftInteger:
            f->SetValue(db::Value(std::llround((f->IsNull() ? -increment : f->AsFloat()) + increment)));
            return;
        case ftFloat:
        case ftCurrency: f->SetValue(db::Value((f->IsNull() ? -increment : f->AsFloat()) + increment)); return;
        default: return;
        }
    }
}

void TColumnX::Assign(const TColumnX& src) {
    if (collection_) collection_->BeginUpdate();
    RestoreDefaults();
    SetFieldName(src.fieldName_);  // binds the named field, not the one bound before
    if (src.IsExplicit(cvColor)) SetColor(src.color_);
    if (src.IsExplicit(cvWidth)) SetWidth(src.width_);
    if (src.IsExplicit(cvFont)) SetFont(src.font_);
    if (src.IsExplicit(cvAlignment)) SetAlignment(src.alignment_);
    if (src.IsExplicit(cvReadOnly)) SetReadOnly(src.readOnly_);
    if (src.IsExplicit(cvWordWrap)) SetWordWrap(src.wordWrap_);
    if (src.IsExplicit(cvLookupDisplayFields)) SetLookupDisplayFields(src.lookupDisplayFields_);
    if (src.IsExplicit(cvCheckboxes)) SetCheckboxes(src.checkboxes_);
    title_->Assign(*src.title_);
    footer_->Assign(*src.footer_);
    footers_->Clear();
    for (int i = 0; i < src.footers_->Count(); ++i) footers_->Add()->Assign(*src.footers_->Items(i));
    DropDownRows = src.DropDownRows;
    buttonStyle_ = src.buttonStyle_;
    pickList_ = src.pickList_;
    BaseWidth = src.BaseWidth;
    autoFitColWidth_ = src.autoFitColWidth_;
    endEllipsis_ = src.endEllipsis_;
    alwaysShowEditButton_ = src.alwaysShowEditButton_;
    keyList_ = src.keyList_;
    Increment = src.Increment;
    ToolTips = src.ToolTips;
    // Visibility and the width limits are the target's own: they are not copied.
    if (collection_) collection_->EndUpdate();
}

void TColumnX::RestoreDefaults() {
    const bool fontWasExplicit = IsExplicit(cvFont);
    title_->RestoreDefaults();
    explicit_ = 0;
    pickList_.clear();
    buttonStyle_ = cbsAuto;
    keyList_.clear();
    Changed(fontWasExplicit);
}

// ---------------------------------------------------------------- TPassthroughColumn

TPassthroughColumn::TPassthroughColumn(TDBGridColumnsX* collection) : TColumnX(collection) {
    title_ = std::make_unique<TPassthroughColumnTitle>(this);
}

void TPassthroughColumn::SetIndex(int v) {
    TCustomDBGridX* g = Grid();
    if (g && g->DataLink()->Active() && Field()) {
        if (TField* at = g->GetFields(v)) Field()->SetIndex(at->Index());
    }
    TColumnX::SetIndex(v);
}

void TPassthroughColumn::SetAlignment(TAlignment v) {
    TCustomDBGridX* g = Grid();
    if (g && g->DataLink()->Active() && Field())
        Field()->SetAlignment(v);
    else
        TColumnX::SetAlignment(v);
}

void TPassthroughColumn::SetReadOnly(bool v) {
    TCustomDBGridX* g = Grid();
    if (g && g->DataLink()->Active() && Field())
        Field()->SetReadOnly(v);
    else
        TColumnX::SetReadOnly(v);
}

void TPassthroughColumn::SetField(TField* f) {
    TColumnX::SetField(f);
    if (!f) fieldName_.clear();
    RestoreDefaults();
    BaseWidth = Width();
}

void TPassthroughColumn::SetWidth(int v) {
    TCustomDBGridX* g = Grid();
    if (g && Field()) {
        const TTextMetrics m = g->MetricsOf(Font());
        if (m.ZeroWidth > 0) Field()->SetDisplayWidth((m.AveCharWidth / 2 + v - m.Overhang - 3) / m.ZeroWidth);
    }
    if (g && g->LayoutFromDataset() && !IsExplicit(cvWidth)) return;
    TColumnX::SetWidth(v);
}

// ---------------------------------------------------------------- TDBGridColumnsX

TDBGridColumnsX::~TDBGridColumnsX() {
    ++updateCount_;  // no notifications while tearing down
    items_.clear();
}

void TDBGridColumnsX::Added(std::unique_ptr<TColumnX> c) {
    items_.push_back(std::move(c));
    Update(nullptr);
}

TColumnX* TDBGridColumnsX::Add() {
    if (grid_) grid_->BeginLayout();
    auto c = std::make_unique<TColumnX>(this);
    TColumnX* raw = c.get();
    items_.push_back(std::move(c));
    raw->BaseWidth = raw->Width();
    if (grid_) grid_->EndLayout();
    return raw;
}

TPassthroughColumn* TDBGridColumnsX::AddPassthrough() {
    auto c = std::make_unique<TPassthroughColumn>(this);
    TPassthroughColumn* raw = c.get();
    items_.push_back(std::move(c));
    return raw;
}

void TDBGridColumnsX::Delete(int i) {
    items_.erase(items_.begin() + i);
    Update(nullptr);
}

void TDBGridColumnsX::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    items_.clear();
    EndUpdate();
}

int TDBGridColumnsX::IndexOf(const TColumnX* c) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == c) return int(i);
    return -1;
}

void TDBGridColumnsX::Move(int from, int to) {
    if (from < 0 || from >= Count()) return;
    to = std::clamp(to, 0, Count() - 1);
    if (from == to) return;
    auto c = std::move(items_[size_t(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(c));
    Update(nullptr);
}

TDBGridColumnsState TDBGridColumnsX::State() const {
    return items_.empty() || dynamic_cast<TPassthroughColumn*>(items_.front().get()) ? csDefault : csCustomized;
}

void TDBGridColumnsX::SetState(TDBGridColumnsState s) {
    if (s == State()) return;
    BeginUpdate();
    items_.clear();
    if (s == csCustomized && grid_) {
        // Customising starts from the columns the data set shows.
        TGridDataLinkX* l = grid_->DataLink();
        for (int i = 0; i < l->FieldCount(); ++i) {
            auto c = std::make_unique<TColumnX>(this);
            if (TField* f = l->GetMappedField(i)) {
                c->fieldName_ = f->FieldName();
                c->field_ = f;
            }
            items_.push_back(std::move(c));
        }
    }
    EndUpdate();
}

void TDBGridColumnsX::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Update(nullptr);
}

void TDBGridColumnsX::Update(TColumnX* item) {
    if (updateCount_ > 0 || !grid_) return;
    grid_->ColumnsUpdate(item);
}

}  // namespace qm::grid
