#include "grid/Footers.h"

#include "grid/Columns.h"
#include "grid/DBGridX.h"
#include "grid/SumList.h"

namespace qm::grid {

TColumnFooterX::TColumnFooterX(TColumnX* column) : column_(column) {
    if (TCustomDBGridX* g = column_->Grid()) g->InvalidateFooter();
}

TColumnFooterX::~TColumnFooterX() {
    FreeSumItem();
    // Footers go with their column while the grid itself may be going; the grid repaints
    // its footer rows through the column change that removes a footer.
}

void TColumnFooterX::FreeSumItem() {
    if (sumItem_ && sumOwner_) sumOwner_->Delete(sumItem_);
    sumItem_ = nullptr;
    sumOwner_ = nullptr;
}

void TColumnFooterX::ColumnChanged(bool all) { column_->Changed(all); }

TAlignment TColumnFooterX::Alignment() const {
    if (IsAssigned(cfvAlignment)) return alignment_;
    TField* f = column_->Field();
    return f ? f->Alignment() : taLeftJustify;
}

void TColumnFooterX::SetAlignment(TAlignment v) {
    if (IsAssigned(cfvAlignment) && v == alignment_) return;
    alignment_ = v;
    assigned_ |= 1u << cfvAlignment;
    ColumnChanged();
}

QColor TColumnFooterX::Color() const {
    if (IsAssigned(cfvColor)) return color_;
    TCustomDBGridX* g = column_->Grid();
    return g ? g->FooterColor() : QColor(Qt::white);
}

void TColumnFooterX::SetColor(const QColor& v) {
    if (IsAssigned(cfvColor) && v == color_) return;
    color_ = v;
    assigned_ |= 1u << cfvColor;
    ColumnChanged();
}

TFont TColumnFooterX::Font() const {
    if (IsAssigned(cfvFont)) return font_;
    TCustomDBGridX* g = column_->Grid();
    return g ? g->FooterFont() : column_->Font();
}

void TColumnFooterX::SetFont(const TFont& v) {
    font_ = v;
    assigned_ |= 1u << cfvFont;
    ColumnChanged(true);
}

void TColumnFooterX::SetEndEllipsis(bool v) {
    endEllipsis_ = v;
    ColumnChanged();
}

void TColumnFooterX::SetValue(const QString& v) {
    value_ = v;
    ColumnChanged();
}

void TColumnFooterX::SetWordWrap(bool v) {
    wordWrap_ = v;
    ColumnChanged();
}

void TColumnFooterX::SetFieldName(const QString& v) {
    fieldName_ = v;
    EnsureSumItem();
    ColumnChanged();
}

void TColumnFooterX::SetValueType(TFooterValueType v) {
    if (v == valueType_) return;
    valueType_ = v;
    EnsureSumItem();
    ColumnChanged();
}

void TColumnFooterX::Assign(const TColumnFooterX& src) {
    if (src.IsAssigned(cfvAlignment)) SetAlignment(src.alignment_);
    if (src.IsAssigned(cfvColor)) SetColor(src.color_);
    if (src.IsAssigned(cfvFont)) SetFont(src.font_);
    endEllipsis_ = src.endEllipsis_;
    valueType_ = src.valueType_;
    fieldName_ = src.fieldName_;
    value_ = src.value_;
    wordWrap_ = src.wordWrap_;
    EnsureSumItem();
    ColumnChanged();
}

void TColumnFooterX::RestoreDefaults() {
    const bool fontWasSet = IsAssigned(cfvFont);
    assigned_ = 0;
    ColumnChanged(fontWasSet);
}

void TColumnFooterX::EnsureSumItem() {
    TCustomDBGridX* g = column_->Grid();
    if (!g) return;
    if (valueType_ != fvtSum && valueType_ != fvtCount) {
        FreeSumItem();
        return;
    }
    const TGroupOperation op = valueType_ == fvtSum ? goSum : goCount;
    const QString name =
        valueType_ == fvtCount ? QString() : (fieldName_.isEmpty() ? column_->FieldName() : fieldName_);
    TDBSumCollection& coll = g->SumList().SumCollection();
    if (sumItem_ && sumOwner_ != &coll) FreeSumItem();
    coll.BeginUpdate();
    if (!sumItem_) {
        sumItem_ = coll.Add();
        sumOwner_ = &coll;
    }
    sumItem_->SetGroupOperation(op);
    sumItem_->SetFieldName(name);
    coll.EndUpdate();
}

// ---------------------------------------------------------------- TColumnFootersX

TColumnFooterX* TColumnFootersX::Add() {
    items_.push_back(std::make_unique<TColumnFooterX>(column_));
    return items_.back().get();
}

void TColumnFootersX::Delete(int i) {
    if (i < 0 || i >= Count()) return;
    items_.erase(items_.begin() + i);
    column_->Changed();
}

void TColumnFootersX::Clear() { items_.clear(); }

}  // namespace qm::grid
