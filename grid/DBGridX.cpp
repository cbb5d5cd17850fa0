#include "grid/DBGridX.h"

#include "core/base/UiService.h"
#include "grid/MoneyStyle.h"
#include "grid/TitleTree.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace qm::grid {

const QColor TCustomDBGridX::kDarkHighlight = QColor(64, 64, 64);

namespace {
long long MulDiv(long long a, long long b, long long c) {
    if (c == 0) return -1;
    const long long p = a * b;
    const long long q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);  // to the nearest
    return ((p < 0) != (c < 0)) ? -q : q;
}
}  // namespace

// ---------------------------------------------------------------- TGridDataLinkX

int TGridDataLinkX::AddMapping(const QString& fieldName) {
    if (fieldMap_.size() >= 0x0FFFFFFF)
        throw EInvalidGridOperation(QStringLiteral("Grid requested to display more than 256 columns"));
    TDataSet* ds = DataSet();
    int idx = -1;
    if (sparseMap_) {
        if (TField* f = ds->FindField(fieldName)) idx = f->Index();
    } else {
        idx = ds->FieldByName(fieldName)->Index();  // a missing field raises
    }
    if (fieldMap_.size() == fieldMap_.capacity())
        fieldMap_.reserve(std::max<size_t>({8, fieldMap_.capacity() * 2, fieldMap_.size() + 1}));
    fieldMap_.push_back(idx);
    return int(fieldMap_.size()) - 1;
}

void TGridDataLinkX::ClearMapping() {
    fieldMap_.clear();
    fieldMap_.shrink_to_fit();
}

TField* TGridDataLinkX::GetMappedField(int index) const {
    if (index < 0 || index >= FieldCount() || !DataSet()) return nullptr;
    const int m = fieldMap_[size_t(index)];
    if (m < 0 || m >= DataSet()->FieldCount()) return nullptr;
    return DataSet()->Fields(m);
}

bool TGridDataLinkX::DefaultFields() const {
    if (!DataSet() || !DataSet()->DefaultFields()) return !DataSet();
    if (sparseMap_)
        for (int m : fieldMap_)
            if (m < 0) return false;
    return true;
}

void TGridDataLinkX::Reset() {
    if (modified_)
        RecordChanged(nullptr);
    else if (DataSet())
        DataSet()->Cancel();
}

void TGridDataLinkX::ActiveChanged() { grid_->LinkActive(Active()); }
void TGridDataLinkX::DataSetChanged() {
    grid_->DataChanged();
    modified_ = false;
}
void TGridDataLinkX::DataSetScrolled(int distance) { grid_->Scroll(distance); }
void TGridDataLinkX::EditingChanged() {
    if (grid_->Options().Has(dgIndicator)) grid_->InvalidateCell(0, grid_->IndicatorRow());
}
void TGridDataLinkX::LayoutChanged() {
    const bool saved = grid_->layoutFromDataset_;
    grid_->layoutFromDataset_ = true;
    try {
        grid_->LayoutChanged();
    } catch (...) {
        grid_->layoutFromDataset_ = saved;
        throw;
    }
    grid_->layoutFromDataset_ = saved;
    DataSetChanged();
}
void TGridDataLinkX::RecordChanged(TField* field) {
    grid_->RecordChanged(field);
    modified_ = false;
}
void TGridDataLinkX::UpdateData() {
    if (inUpdateData_) return;
    inUpdateData_ = true;
    // A shown editor's text goes into its field before the record is written.
    try {
        if (grid_->EditorMode()) grid_->HideEditor(true);
    } catch (...) {
        inUpdateData_ = false;
        throw;
    }
    modified_ = false;
    inUpdateData_ = false;
}

// ---------------------------------------------------------------- construction

TCustomDBGridX::TCustomDBGridX(QWidget* parent) : TCustomGrid(parent) {
    sumList_ = std::make_unique<TDBGridXSumList>();
    titleTree_ = std::make_unique<THeadTreeNode>();
    titleTree_->Text = QStringLiteral("Root");
    sumList_->SumListChanged = [this] { InvalidateFooter(); };
    sumList_->OnRecalcAll = [this] {
        if (OnSumListRecalcAll) OnSumListRecalcAll();
    };
    dataLink_ = std::make_unique<TGridDataLinkX>(this);
    columns_ = std::make_unique<TDBGridColumnsX>(this);
    selectedRows_ = std::make_unique<TBookmarkListX>(this);
    selection_ = std::make_unique<TDBGridXSelection>(this);
    BuildImages();
    titleOffset_ = indicatorOffset_ = 1;
    options_ = TDBGridOptions::FromValue(3325);
    SetGridOptions(TGridOptions::FromValue(3727));
    SetScrollBars(ssHorizontal);
    SetRowCount(2);
    SetColCount(2);
    color_ = palette().color(QPalette::Base);
    fixedColor_ = palette().color(QPalette::Button);
    titleFont_ = font();
    footerFont_ = font();
    footerColor_ = color_;
    vTitleMargin_ = 10;
    rowSpacing_ = 4;
    editButtonWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    optionsX_ = TDBGridXOptions::FromValue(97);
    currencyStyle_ = std::make_unique<TMoneyStyle>(this);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setTracking(false);
    verticalScrollBar()->setRange(0, 0);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this](int a) { VertScrollAction(a); });
    connect(verticalScrollBar(), &QAbstractSlider::sliderReleased, this, [this] { VertSliderReleased(); });
    LayoutChanged();
}

TCustomDBGridX::~TCustomDBGridX() {
    delete tipWindow_;  // a window of its own, not a child
    selection_->Clear();
    sumList_->SumListChanged = nullptr;
    sumList_->OnRecalcAll = nullptr;
    sumList_->SetDataSet(nullptr);
    dataLink_->SetDataSource(nullptr);
}

TTextMetrics TCustomDBGridX::MetricsOf(const QFont& f) const {
    if (MetricsHook) return MetricsHook(f);
    const QFontMetrics fm(f);
    TTextMetrics m;
    m.Height = LineHeightOf(f);
    m.ExternalLeading = std::max(0, fm.leading());
    m.InternalLeading = std::max(0, m.Height - QFontInfo(f).pixelSize());
    m.Overhang = 0;
    m.ZeroWidth = fm.horizontalAdvance(QLatin1Char('0'));
    m.AveCharWidth = fm.averageCharWidth();
    return m;
}

// ---------------------------------------------------------------- binding and fields

void TCustomDBGridX::SetDataSource(TDataSource* s) {
    if (s == dataLink_->DataSource()) return;
    ClearSelection();
    dataLink_->SetDataSource(s);
    LinkActive(dataLink_->Active());
}

TField* TCustomDBGridX::GetFields(int index) const { return dataLink_->GetMappedField(index); }

TField* TCustomDBGridX::GetSelectedField() const {
    const int i = SelectedIndex();
    if (i < 0 || i >= columns_->Count()) return nullptr;
    return columns_->Items(i)->Field();
}

void TCustomDBGridX::SetSelectedIndex(int v) { MoveCol(DataToRawColumn(v), 0, false); }

int TCustomDBGridX::VisibleDataRowCount() const {
    if (footerRowCount_ == 0) return VisibleRowCount();
    return std::max(1, VisibleRowCount() - footerRowCount_ - 1);
}

// ---------------------------------------------------------------- properties

void TCustomDBGridX::SetOptions(TDBGridOptions v) {
    if (v == options_) return;
    TGridOptions base;
    if (rowSizingAllowed_) base.Include(goRowSizing);
    if (v.Has(dgColLines)) base.Include(goFixedVertLine).Include(goVertLine);
    if (v.Has(dgRowLines)) base.Include(goFixedHorzLine).Include(goHorzLine);
    if (v.Has(dgColumnResize)) base.Include(goColSizing).Include(goColMoving);
    if (v.Has(dgTabs)) base.Include(goTabs);
    if (v.Has(dgRowSelect)) {
        base.Include(goRowSelect);
        v.Exclude(dgEditing).Exclude(dgAlwaysShowEditor);
    }
    if (v.Has(dgEditing)) base.Include(goEditing);
    if (v.Has(dgAlwaysShowEditor)) base.Include(goAlwaysShowEditor);
    SetGridOptions(base);
    if (options_.Has(dgMultiSelect) && !v.Has(dgMultiSelect)) ClearSelection();
    const TDBGridOptions old = options_;
    options_ = v;
    bool relayout = false;
    for (TDBGridOption o : {dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColLines, dgRowLines, dgRowSelect,
                            dgAlwaysShowSelection})
        relayout = relayout || old.Has(o) != v.Has(o);
    if (relayout) LayoutChanged();
}

void TCustomDBGridX::SetOptionsX(TDBGridXOptions v) {
    if (v == optionsX_) return;
    optionsX_ = v;
    LayoutChanged();
}

void TCustomDBGridX::SetFixedColor(const QColor& c) {
    fixedColor_ = c;
    InvalidateGrid();
}
void TCustomDBGridX::SetColor(const QColor& c) {
    color_ = c;
    InvalidateGrid();
}
void TCustomDBGridX::SetFont(const QFont& f) {
    setFont(f);
    LayoutChanged();
}
void TCustomDBGridX::SetTitleFont(const TFont& f) {
    titleFont_ = f;
    if (options_.Has(dgTitles)) LayoutChanged();
}
void TCustomDBGridX::SetFooterRowCount(int v) {
    if (v < 0 || v == footerRowCount_) return;
    footerRowCount_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetFooterFont(const TFont& f) {
    footerFont_ = f;
    if (footerRowCount_ >= 1) LayoutChanged();
}
void TCustomDBGridX::SetFooterColor(const QColor& c) {
    footerColor_ = c;
    if (footerRowCount_ >= 1) InvalidateGrid();
}
void TCustomDBGridX::SetUseMultiTitle(bool v) {
    useMultiTitle_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetDrawCurrency(bool v) {
    if (v == drawCurrency_) return;
    drawCurrency_ = v;
    if (!v) hasMoneyColumns_ = false;
    LayoutChanged();
    InvalidateGrid();
}
void TCustomDBGridX::SetCurrencyStyle(const TMoneyStyle& v) {
    currencyStyle_->Assign(v);
    InvalidateGrid();
}
void TCustomDBGridX::SetFrozenCols(int v) {
    if (v < 0 || v == frozenCols_) return;
    frozenCols_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetTitleHeight(int v) {
    titleHeight_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetTitleLines(int v) {
    titleLines_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetVTitleMargin(int v) {
    vTitleMargin_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetMinAutoFitWidth(int v) {
    minAutoFitWidth_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetRowHeight(int v) {
    v = std::max(0, v);
    if (v == rowHeight_) return;
    rowHeight_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetRowLines(int v) {
    v = std::max(0, v);
    if (v == rowLines_) return;
    rowLines_ = v;
    LayoutChanged();
}
void TCustomDBGridX::SetRowSizingAllowed(bool v) {
    if (v == rowSizingAllowed_) return;
    rowSizingAllowed_ = v;
    SetGridOptions(v ? GridOptions().With(goRowSizing) : GridOptions().Without(goRowSizing));
}
void TCustomDBGridX::SetTarnStyle(bool v) {
    if (v == tarnStyle_) return;
    tarnStyle_ = v;
    InvalidateGrid();  // the line colours change
}

void TDBGridXScrollBar::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    if (kind_ == Qt::Vertical) grid_->UpdateScrollBar();
    grid_->LayoutChanged();
}

bool TDBGridXScrollBar::IsScrollBarShowing() const {
    if (!visible_) return false;
    const bool horz = kind_ == Qt::Horizontal;
    const QScrollBar* bar = horz ? grid_->horizontalScrollBar() : grid_->verticalScrollBar();
    const Qt::ScrollBarPolicy policy = horz ? grid_->horizontalScrollBarPolicy() : grid_->verticalScrollBarPolicy();
    return policy == Qt::ScrollBarAlwaysOn || (policy == Qt::ScrollBarAsNeeded && bar->maximum() > bar->minimum());
}

void TDBGridXScrollBar::Assign(const TDBGridXScrollBar& src) {
    SetVisible(src.visible_);
    Tracking = src.Tracking;
}

void TCustomDBGridX::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    rowSpacing_ = v ? 2 : 4;
    LayoutChanged();
}

void TCustomDBGridX::SetAutoFitColWidths(bool v) {
    if (v == autoFitColWidths_) return;
    autoFitColWidths_ = v;
    if (v) {
        for (int i = 0; i < columns_->Count(); ++i) columns_->Items(i)->BaseWidth = columns_->Items(i)->Width();
        SetScrollBars(ssNone);
    } else {
        for (int i = 0; i < columns_->Count(); ++i) columns_->Items(i)->SetWidth(columns_->Items(i)->BaseWidth);
        SetScrollBars(ssHorizontal);
    }
    LayoutChanged();
}

// ---------------------------------------------------------------- layout brackets

void TCustomDBGridX::BeginLayout() {
    BeginUpdate();
    if (layoutLock_ == 0) columns_->BeginUpdate();
    ++layoutLock_;
}

void TCustomDBGridX::EndLayout() {
    if (layoutLock_ <= 0) return;
    struct Leave {
        TCustomDBGridX* g;
        ~Leave() {
            if (g->layoutLock_ == 1) g->columns_->EndUpdate();  // its layout request finds the lock held
            --g->layoutLock_;
            g->EndUpdate();
        }
    } leave{this};
    if (layoutLock_ == 1) InternalLayout();
}

void TCustomDBGridX::CancelLayout() {
    if (layoutLock_ <= 0) return;
    if (layoutLock_ == 1) columns_->EndUpdate();
    --layoutLock_;
    EndUpdate();
}

bool TCustomDBGridX::AcquireLayoutLock() {
    if (updateLock_ == 0 && layoutLock_ == 0) {
        BeginLayout();
        return true;
    }
    return false;
}

void TCustomDBGridX::LayoutChanged() {
    if (AcquireLayoutLock()) EndLayout();
}

void TCustomDBGridX::DeferLayout() {
    // At most one queued request; a layout that runs first makes it a no-op.
    if (!layoutPosted_) {
        layoutPosted_ = true;
        QMetaObject::invokeMethod(this, &TCustomDBGridX::DeferredLayout, Qt::QueuedConnection);
    }
    CancelLayout();
}

void TCustomDBGridX::DeferredLayout() {
    if (!layoutPosted_) return;
    layoutPosted_ = false;
    if (AcquireLayoutLock())
        EndLayout();
    else {
        BeginLayout();  // DeferLayout cancels this again
        DeferLayout();
    }
}

void TCustomDBGridX::ColumnsUpdate(TColumnX* item) {
    if (item) {
        InvalidateCol(DataToRawColumn(item->Index()));
        const int raw = DataToRawColumn(item->Index());
        if (raw < ColCount()) {
            if (!autoFitColWidths_) {
                const int w = item->Visible() ? item->Width() : (options_.Has(dgColLines) ? -1 : 0);
                if (ColWidths(raw) != w) {
                    BeginUpdate();
                    TCustomGrid::SetColWidths(raw, w);
                    EndUpdate();
                }
            } else if (ColWidths(raw) != -1 && ColWidths(raw) > 0) {
                const int old = item->BaseWidth;
                item->BaseWidth = int(MulDiv(item->BaseWidth, item->Width(), ColWidths(raw)));
                if (item->Index() < columns_->Count() - 1) {
                    TColumnX* next = columns_->Items(item->Index() + 1);
                    next->BaseWidth = std::max(0, next->BaseWidth + old - item->BaseWidth);
                }
                LayoutChanged();
            }
        } else {
            LayoutChanged();
        }
    } else {
        LayoutChanged();
    }
    const int sel = SelectedIndex();
    if (sel >= 0 && sel < columns_->Count() && !columns_->Items(sel)->Visible()) {
        for (int i = 0; i < columns_->Count(); ++i)
            if (columns_->Items(i)->Visible()) {
                MoveColRow(DataToRawColumn(i), Row(), false, false);
                break;
            }
    }
}

// ---------------------------------------------------------------- InternalLayout

void TCustomDBGridX::DefineFieldMap() {
    if (columns_->State() == csDefault) {
        dataLink_->sparseMap_ = false;
        TDataSet* ds = dataLink_->DataSet();
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (ds->Fields(i)->Visible()) dataLink_->AddMapping(ds->Fields(i)->FieldName());
    } else {
        dataLink_->sparseMap_ = true;
        for (int i = 0; i < columns_->Count(); ++i) dataLink_->AddMapping(columns_->Items(i)->FieldName());
    }
}

void TCustomDBGridX::InternalLayout() {
    layoutPosted_ = false;  // a queued request is now superfluous
    glyphsWarm_ = false;    // other fields, records or fonts may show now
    TDBGridColumnsX& cols = *columns_;

    // 2. A column of another kind among mirrored ones: the mirrored ones go.
    bool seenPassthrough = false, mixed = false;
    for (int i = 0; i < cols.Count(); ++i) {
        const bool pt = dynamic_cast<TPassthroughColumn*>(cols[i]) != nullptr;
        if (pt)
            seenPassthrough = true;
        else if (seenPassthrough) {
            mixed = true;
            break;
        }
    }
    if (mixed)
        for (int i = cols.Count() - 1; i >= 0; --i)
            if (dynamic_cast<TPassthroughColumn*>(cols[i])) cols.items_.erase(cols.items_.begin() + i);

    // 3-4.
    indicatorOffset_ = options_.Has(dgIndicator) ? 1 : 0;
    dataLink_->ClearMapping();
    if (dataLink_->Active()) DefineFieldMap();

    // 5. Field bindings.
    if (cols.State() == csCustomized) {
        for (int i = 0; i < cols.Count(); ++i) cols[i]->field_ = nullptr;  // re-bound lazily by name
    } else if (!dataLink_->Active() && dataLink_->DefaultFields()) {
        cols.items_.clear();
    } else {
        for (int i = cols.Count() - 1; i >= 0; --i) {
            TField* f = cols[i]->Field();
            bool member = false;
            for (int j = 0; f && j < dataLink_->FieldCount() && !member; ++j)
                member = dataLink_->GetMappedField(j) == f;
            if (!member) cols.items_.erase(cols.items_.begin() + i);
        }
        const int n = dataLink_->FieldCount();
        for (int i = 0; i < n || (n == 0 && i == 0 && cols.Count() == 0); ++i) {
            TField* f = dataLink_->GetMappedField(i);
            int at = -1;
            if (f)
                for (int j = i; j < cols.Count(); ++j)
                    if (cols[j]->Field() == f) {
                        at = j;
                        break;
                    }
            if (at < 0) {
                TPassthroughColumn* c = cols.AddPassthrough();
                if (f) {
                    c->field_ = f;
                    c->fieldName_ = f->FieldName();
                }
                c->BaseWidth = c->Width();
                at = cols.Count() - 1;
            }
            if (at != i) {
                auto c = std::move(cols.items_[size_t(at)]);
                cols.items_.erase(cols.items_.begin() + at);
                cols.items_.insert(cols.items_.begin() + i, std::move(c));
            }
        }
    }

    // 6. Visible columns; hidden columns among the frozen ones widen the fixed part.
    visibleColumns_.clear();
    for (int i = 0; i < cols.Count(); ++i)
        if (cols[i]->Visible()) visibleColumns_.push_back(cols[i]);
    int hidden = 0;
    for (int i = 0; i < cols.Count() && i < frozenCols_ + hidden; ++i)
        if (!cols[i]->Visible()) ++hidden;
    for (int i = frozenCols_ + hidden; i < cols.Count() && !cols[i]->Visible(); ++i) ++hidden;
    if (visibleColumns_.empty()) --hidden;
    hidden = std::max(0, hidden);

    // 9. Money columns: a currency field, or a float field flagged as currency.
    for (int i = 0; i < cols.Count(); ++i) {
        TColumnX* c = cols[i];
        TField* f = c->Visible() ? c->Field() : nullptr;
        c->IsMoneyColumn =
            drawCurrency_ && f && (f->DataType() == ftCurrency || (f->DataType() == ftFloat && f->Currency()));
        hasMoneyColumns_ = hasMoneyColumns_ || c->IsMoneyColumn;
    }

    // 7-8.
    SetColCount(cols.Count() + indicatorOffset_);
    if (!dataLink_->Active() && cols.State() == csDefault)
        SetFixedCols(indicatorOffset_ + hidden);
    else
        SetFixedCols(indicatorOffset_ + frozenCols_ + hidden);
    titleOffset_ = options_.Has(dgTitles) ? 1 : 0;

    // 10-12. Row heights from the font.
    const TTextMetrics m = MetricsOf(Font());
    const int extra = (flat_ ? 1 : 3) + (options_.Has(dgRowLines) ? GridLineWidth() : 0);
    const int h = m.Height;
    int drh = (rowHeight_ < 1 && rowLines_ < 1) ? h + extra : (m.Height + m.ExternalLeading) * rowLines_ + rowHeight_;
    if (optionsX_.Has(dghFitRowHeightToText) && h > 0) {
        const int n = drh - extra;
        if (n % h <= h / 2)
            drh = (n / h == 0 ? (n / h + 1) : n / h) * h + extra;
        else
            drh = (n / h + 1) * h + extra;
        rowLines_ = (drh - extra) / h;
        rowHeight_ = extra;
    }
    SetDefaultRowHeight(drh);
    multiLineRows_ = m.Height + m.ExternalLeading + m.InternalLeading + rowSpacing_ < drh;

    // 13. Title row.
    if (options_.Has(dgTitles)) {
        int th = 0;
        if (cols.Count() == 0) th = MetricsOf(titleFont_).Height + rowSpacing_;
        for (int i = 0; i < cols.Count(); ++i)
            th = std::max(th, MetricsOf(cols[i]->Title()->Font()).Height + rowSpacing_);
        if (hasMoneyColumns_) th += currencyStyle_->CHNHeight();
        SetRowHeights(0, th);
    }

    // 14-16.
    SetScrollBars(autoFitColWidths_ ? ssNone : (HorzScrollBar.Visible() ? ssHorizontal : ssNone));
    SetColumnAttributes();
    if (autoFitColWidths_) AutoFitPass();

    // 18. Line-counted titles.
    if (options_.Has(dgTitles) && (titleHeight_ != 0 || titleLines_ != 0)) {
        QFont tallest = titleFont_;
        int best = -1;
        for (int i = 0; i < cols.Count(); ++i) {
            const QFont f = cols[i]->Title()->Font();
            const int fh = MetricsOf(f).Height;
            if (fh > best) {
                best = fh;
                tallest = f;
            }
        }
        const TTextMetrics tm = MetricsOf(tallest);
        titleRowHeight_ = titleLines_ * tm.Height + tm.ExternalLeading + 2 + titleHeight_ +
                          (hasMoneyColumns_ ? currencyStyle_->CHNHeight() : 0) + (options_.Has(dgRowLines) ? 1 : 0);
        SetRowHeights(0, titleRowHeight_);
    }

    // 19. The title tree.
    leafColumns_.assign(size_t(cols.Count()), nullptr);
    if (useMultiTitle_) {
        std::vector<TTitleLeaf> layouts;
        for (int i = 0; i < cols.Count(); ++i) {
            TColumnX* c = cols[i];
            layouts.push_back({c->Title()->Caption(), c->Visible() ? c->Width() : (options_.Has(dgColLines) ? -1 : 0),
                               c->Title()->SortMarker() != smNoneX, c->Title()->Font(), c});
        }
        const int rowH = options_.Has(dgTitles) ? RowHeights(0) : DefaultRowHeight();
        const std::vector<THeadTreeNode*> leaves = BuildTitleTree(*titleTree_, layouts, rowH, options_.Has(dgColLines));
        for (size_t i = 0; i < leaves.size(); ++i) leafColumns_[i] = leaves[i];
        const QFont groupFont = titleFont_;
        const int h =
            CalcTitleBandHeights(*titleTree_, vTitleMargin_, [&](const THeadTreeNode& n, const QString& t, int w) {
                return DefaultTextHeight(t, w, n.Child || !n.Column ? groupFont : n.Column->Title()->Font());
            });
        if (options_.Has(dgTitles))
            SetRowHeights(
                0, h - (optionsX_.Has(dghFixed3D) ? 1 : 3) + (hasMoneyColumns_ ? currencyStyle_->CHNHeight() : 0));
    }

    // 20-22.
    SetColumnAttributes();
    const int left = LeftCol();
    UpdateRowCount();
    if (options_.Has(dgRowSelect)) SetLeftCol(left);
    UpdateActive();
    UpdateScrollBar();
    InvalidateGrid();
    if (selection_->SelectionType() == gstColumns) selection_->Columns().Refresh();
}

void TCustomDBGridX::SetColumnAttributes() {
    for (int i = 0; i < columns_->Count(); ++i) {
        TColumnX* c = columns_->Items(i);
        const int raw = i + indicatorOffset_;
        if (raw >= ColCount()) break;
        TField* f = c->Field();
        // A lookup field without a data set or key field counts as read only.
        const bool lookupReadOnly = f && f->FieldKind() == fkLookup &&
                                    (!f->LookupDataSet || !c->ModifiedField() || c->ModifiedField()->ReadOnly());
        SetTabStops(raw, c->Visible() && !c->ReadOnly() && dataLink_->Active() && f && f->FieldKind() != fkCalculated &&
                             !f->ReadOnly() && !lookupReadOnly);
        const int w = c->Visible() ? c->Width() : (options_.Has(dgColLines) ? -1 : 0);
        BeginUpdate();
        if (ColWidths(raw) != w) TCustomGrid::SetColWidths(raw, w);
        EndUpdate();
    }
    if (options_.Has(dgIndicator)) {
        BeginUpdate();
        TCustomGrid::SetColWidths(0, 11);
        EndUpdate();
    }
}

void TCustomDBGridX::AutoFitPass() {
    for (TColumnX* c : visibleColumns_) c->AutoFitFixed = false;
    const int lines = options_.Has(dgColLines) ? 1 : 0;
    int avail = 0, total = 0;
    for (size_t pass = 0; pass < std::max<size_t>(1, visibleColumns_.size()); ++pass) {
        long long s = 0;
        int fixedSum = 0;
        for (TColumnX* c : visibleColumns_) {
            if (c->AutoFitColWidth() && !c->AutoFitFixed)
                s += c->BaseWidth;
            else
                fixedSum += c->Width();
        }
        avail = std::max(0, std::max(ClientWidth(), minAutoFitWidth_) - fixedSum);
        if (options_.Has(dgIndicator)) avail -= ColWidths(0);
        avail -= lines * int(visibleColumns_.size());
        if (options_.Has(dgIndicator) && lines) avail -= 1;
        bool clamped = false;
        total = 0;
        for (TColumnX* c : visibleColumns_) {
            if (!c->AutoFitColWidth() || c->AutoFitFixed) continue;
            const int want = s > 0 ? int(MulDiv(c->BaseWidth, avail, s)) : 0;
            c->StoreWidth(want);
            if (c->Width() != want) {
                c->AutoFitFixed = true;
                clamped = true;
            }
            total += c->Width();
        }
        if (!clamped) break;
    }
    if (total != avail) {
        for (auto it = visibleColumns_.rbegin(); it != visibleColumns_.rend(); ++it) {
            TColumnX* c = *it;
            if (c->AutoFitColWidth() && !c->AutoFitFixed) {
                c->StoreWidth(std::max(0, c->Width() + avail - total));
                break;
            }
        }
    }
    SetColumnAttributes();
}

// ---------------------------------------------------------------- rows and the vertical bar

void TCustomDBGridX::UpdateRowCount() {
    if (RowCount() <= titleOffset_) SetRowCount(titleOffset_ + 1);
    SetFixedRows(titleOffset_);
    const int titleH = titleOffset_ ? RowHeights(0) : 0;
    if (dataLink_->Active() && dataLink_->RecordCount() > 0) {
        SetRowCount(1000);
        const int topSaved = TopRow();
        SetTopRow(FixedRows());
        SetDefaultRowHeight(DefaultRowHeight());
        if (titleOffset_) SetRowHeights(0, titleH);
        dataLink_->SetBufferCount(VisibleRowCount());
        SetRowCount(dataLink_->RecordCount() + titleOffset_);
        if (options_.Has(dgRowSelect))
            SetTopRow(FixedRows());
        else
            SetTopRow(std::min(topSaved, RowCount() - 1));
        if (footerRowCount_ > 0) PlaceFooterRows();
        UpdateActive();
    } else {
        MoveColRow(Col(), titleOffset_, false, false);
        SetRowCount(titleOffset_ + 1);
        SetDefaultRowHeight(DefaultRowHeight());
        if (titleOffset_) SetRowHeights(0, titleH);
        if (footerRowCount_ > 0) {
            const int lw = options_.Has(dgRowLines) ? GridLineWidth() : 0;
            const int f = (DefaultRowHeight() + lw) * footerRowCount_;
            const int s = ClientHeight() - GridHeight();
            SetRowCount(RowCount() + footerRowCount_ + 1);
            SetRowHeights(titleOffset_ + 1, s > f + 1 ? s - f - 1 : 0);
        }
    }
}

void TCustomDBGridX::PlaceFooterRows() {
    // The footer rows sit at the bottom of the client area under one filler row; when the
    // records fill the area, the last ones give way.
    const int lw = options_.Has(dgRowLines) ? GridLineWidth() : 0;
    const int drh = DefaultRowHeight();
    const int r = drh + lw;
    const int f = r * footerRowCount_;
    const int s = ClientHeight() - GridHeight();
    const int fillerOf = footerRowCount_ + 1;  // the filler row counted from the end
    auto collapse = [&] {
        dataLink_->SetBufferCount(1);
        SetRowCount(titleOffset_ + 2 + footerRowCount_);
        SetRowHeights(titleOffset_ + 1, 0);
    };
    if (f < s) {
        SetRowCount(RowCount() + footerRowCount_ + 1);
        SetRowHeights(RowCount() - fillerOf, s - f - 1);
    } else if (s > drh) {
        if (r * dataLink_->RecordCount() <= f - s) {
            collapse();
            return;
        }
        const int k = (f - s) / r + 1;
        SetRowCount(RowCount() + footerRowCount_ - k + 1);
        const int buffer = dataLink_->RecordCount() - k;
        if (buffer < 1) {
            collapse();
            return;
        }
        dataLink_->SetBufferCount(buffer);
        const int m = (ClientHeight() - GridHeight() + 1) % r;
        SetRowHeights(RowCount() - fillerOf, (m != 0 && m != 1) ? m - 2 : drh - (1 - m));
    } else if (s == 0 || s == -1) {
        const int buffer = dataLink_->BufferCount() - footerRowCount_ - 1;
        if (buffer > 0) {
            dataLink_->SetBufferCount(buffer);
            SetRowHeights(RowCount() - fillerOf, s == -1 ? drh - 1 : drh);
        } else {
            collapse();
        }
    } else {
        SetRowCount(RowCount() + 1);
        int buffer = dataLink_->BufferCount() - footerRowCount_;
        if (buffer > 1) {
            if (s == drh) --buffer;
            dataLink_->SetBufferCount(buffer);
            SetRowHeights(RowCount() - fillerOf, s - 1);
        } else {
            collapse();
            const int rest = ClientHeight() - (f + lw * (titleOffset_ + 2) + (titleOffset_ ? RowHeights(0) : 0) +
                                               RowHeights(titleOffset_));
            SetRowHeights(titleOffset_ + 1, std::max(0, rest));
        }
    }
}

void TCustomDBGridX::UpdateScrollBar() {
    QScrollBar* sb = verticalScrollBar();
    if (!dataLink_->Active()) {
        sb->setRange(0, 0);
        return;
    }
    TDataSet* ds = dataLink_->DataSet();
    const int page = VisibleDataRowCount();
    int min = 1, max = ds->RecordCount() + page - 1, pos = ds->RecNo();
    if (!VertScrollBar.Visible()) max = min;
    // The Windows range (min, max, page) becomes Qt's range [min, max − page + 1].
    const int qmax = std::max(min, max - page + 1);
    if (sb->minimum() != min || sb->maximum() != qmax) sb->setRange(min, VertScrollBar.Visible() ? qmax : min);
    if (sb->pageStep() != std::max(1, page)) sb->setPageStep(std::max(1, page));
    if (ds->State() != dsInsert && sb->value() != pos) {
        sb->blockSignals(true);
        sb->setValue(pos);
        sb->blockSignals(false);
    }
}

void TCustomDBGridX::VertScrollAction(int action) {
    QScrollBar* sb = verticalScrollBar();
    if (!dataLink_->Active()) return;
    TDataSet* ds = dataLink_->DataSet();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: ds->MoveBy(-dataLink_->ActiveRecord() - 1); break;
    case QAbstractSlider::SliderSingleStepAdd: ds->MoveBy(dataLink_->RecordCount() - dataLink_->ActiveRecord()); break;
    case QAbstractSlider::SliderPageStepSub: ds->MoveBy(-VisibleDataRowCount()); break;
    case QAbstractSlider::SliderPageStepAdd: ds->MoveBy(VisibleDataRowCount()); break;
    case QAbstractSlider::SliderToMinimum: ds->First(); break;
    case QAbstractSlider::SliderToMaximum: ds->Last(); break;
    case QAbstractSlider::SliderMove:
        if (VertScrollBar.Tracking) {
            ds->MoveBy(sb->sliderPosition() - ds->RecNo());
            skipThumbPosition_ = true;
        }
        return;  // the thumb follows the mouse; the record moves on release
    default: return;
    }
    sb->setSliderPosition(ds->RecNo());
}

void TCustomDBGridX::VertSliderReleased() {
    if (skipThumbPosition_) {
        skipThumbPosition_ = false;
        return;
    }
    if (!dataLink_->Active()) return;
    TDataSet* ds = dataLink_->DataSet();
    const int p = verticalScrollBar()->sliderPosition();
    if (p <= 1)
        ds->First();
    else if (p < ds->RecordCount())
        ds->SetRecNo(p);
    else
        ds->Last();
    UpdateScrollBar();
}

void TCustomDBGridX::UpdateActive() {
    if (!dataLink_->Active()) return;
    const int r = dataLink_->ActiveRecord() + titleOffset_;
    if (r != Row() && r < RowCount()) MoveColRow(Col(), r, false, false);
}

void TCustomDBGridX::LinkActive(bool value) {
    selection_->LinkActive(value);
    sumList_->SetDataSet(dataLink_->DataSet());
    LayoutChanged();
    UpdateScrollBar();
}

void TCustomDBGridX::DataChanged() {
    UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    InvalidateGrid();
}

void TCustomDBGridX::Scroll(int distance) {
    HideCellTip();  // another record now lies under it
    if (dataLink_->ActiveRecord() >= RowCount() - titleOffset_) UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    (void)distance;  // a repaint of the data area covers every distance
    InvalidateGrid();
    InvalidateFooter();
}

void TCustomDBGridX::RecordChanged(TField* field) {
    if (!field) {
        InvalidateGrid();
        return;
    }
    for (int i = 0; i < columns_->Count(); ++i)
        if (columns_->Items(i)->Field() == field) InvalidateCell(DataToRawColumn(i), Row());
}

void TCustomDBGridX::RowHeightsChanged() {
    if (rowSized_) {
        // The user dragged one data row's line: that height becomes every data row's.
        rowSized_ = false;
        const int last = RowCount() - (footerRowCount_ > 0 ? footerRowCount_ + 1 : 0);
        for (int r = options_.Has(dgTitles) ? 1 : 0; r < last; ++r) {
            if (RowHeights(r) == DefaultRowHeight()) continue;
            rowLines_ = 0;
            rowHeight_ = RowHeights(r);
            LayoutChanged();
            break;
        }
    }
    TCustomGrid::RowHeightsChanged();
}

void TCustomDBGridX::ColWidthsChanged() {
    if (updateLock_ > 0) return;  // widths set by the layout itself
    if ((dataLink_->Active() || columns_->State() == csCustomized) && AcquireLayoutLock()) {
        for (int i = indicatorOffset_; i < ColCount(); ++i) {
            TColumnX* c = columns_->Items(i - indicatorOffset_);
            const int cw = ColWidths(i);
            if (!c->Visible()) continue;
            const int clamped = c->ClampWidth(cw);
            if (clamped == c->Width()) continue;
            if (!autoFitColWidths_ || !c->AutoFitColWidth()) {
                c->SetWidth(clamped);  // a column mirroring its field writes the width back to it
            } else if (!optionsX_.Has(dghResizeWholeRightPart)) {
                const int old = c->BaseWidth;
                c->BaseWidth = int(MulDiv(c->BaseWidth, clamped, std::max(1, c->Width())));
                for (int j = c->Index() + 1; j < columns_->Count(); ++j)
                    if (columns_->Items(j)->Visible()) {
                        columns_->Items(j)->BaseWidth = std::max(0, columns_->Items(j)->BaseWidth + old - c->BaseWidth);
                        break;
                    }
            } else {
                const int d = clamped - c->Width();
                c->BaseWidth = int(MulDiv(clamped, c->BaseWidth, std::max(1, c->Width())));
                int r = 0;
                for (int j = c->Index() + 1; j < columns_->Count(); ++j)
                    if (columns_->Items(j)->Visible() && columns_->Items(j)->AutoFitColWidth())
                        r += columns_->Items(j)->Width();
                for (int j = c->Index() + 1; j < columns_->Count() && r > 0; ++j) {
                    TColumnX* o = columns_->Items(j);
                    if (o->Visible() && o->AutoFitColWidth())
                        o->BaseWidth = std::max(1, int(MulDiv(r - d, o->BaseWidth, r)));
                }
            }
        }
        EndLayout();
    }
    if (OnColWidthsChanged) OnColWidthsChanged();
}

void TCustomDBGridX::ColumnMoved(int from, int to) {
    const int f = RawToDataColumn(from), t = RawToDataColumn(to);
    if (f < 0 || t < 0) return;
    columns_->Items(f)->SetIndex(t);
    if (OnColumnMoved) OnColumnMoved(f, t);
}

void TCustomDBGridX::TopLeftChanged() {
    if (OnTopLeftChanged) OnTopLeftChanged();
}

void TCustomDBGridX::SizeChanged() {
    if (updateLock_ != 0) return;
    if (autoFitColWidths_)
        LayoutChanged();
    else {
        UpdateRowCount();
        UpdateScrollBar();
    }
}

void TCustomDBGridX::SortMarkersChanged() {
    sortMarkedColumns_.clear();
    for (int i = 0; i < columns_->Count(); ++i) {
        TColumnX* c = columns_->Items(i);
        const int si = c->Title()->SortIndex();
        if (si > 0) {
            if (int(sortMarkedColumns_.size()) < si) sortMarkedColumns_.resize(size_t(si), nullptr);
            sortMarkedColumns_[size_t(si - 1)] = c;
        }
    }
}

// ---------------------------------------------------------------- selection and gates

bool TCustomDBGridX::HighlightCell(int dataCol, int dataRow, const QString&, TGridDrawState state) const {
    if (options_.Has(dgMultiSelect) && dataLink_->Active())
        return selection_->DataCellSelected(dataCol, dataLink_->DataSet()->Bookmark());
    const bool inCell = state.Has(gdSelected) || (titleOffset_ + dataRow == Row() && options_.Has(dgRowSelect));
    const bool showing = options_.Has(dgAlwaysShowSelection) || (Focused() && optionsX_.Has(dghHighlightFocus));
    return inCell && showing && (updateLock_ == 0 || options_.Has(dgRowSelect));
}

void TCustomDBGridX::ClearSelection() {
    if (options_.Has(dgMultiSelect) && optionsX_.Has(dghClearSelection)) selectedRows_->Clear();
    rowSelAnchor_ = -1;
    if (selection_->SelectionType() != gstNone && optionsX_.Has(dghClearSelection)) {
        selection_->Clear();
        InvalidateGrid();
    }
}

bool TCustomDBGridX::CanModifyRecord() const {
    return dataLink_->Active() && (AllowedOperations.Has(alopUpdateX) || dataLink_->DataSet()->State() == dsInsert);
}

bool TCustomDBGridX::CanEditModify() const {
    const int i = SelectedIndex();
    if (i < 0 || i >= columns_->Count()) return false;
    TColumnX* c = columns_->Items(i);
    if (c->ColumnKind() == 3) return false;
    if (readOnly_ || !dataLink_->Active() || dataLink_->ReadOnly()) return false;
    TField* f = c->Field();
    if (c->ReadOnly() || !f || !f->CanModify()) return false;
    return c->CanModify(true);
}

bool TCustomDBGridX::DeletePrompt() {
    QString text =
        selectedRows_->Count() < 2 ? QStringLiteral("Delete record?") : QStringLiteral("Delete all selected records?");
    if (OnGetConfirmText) OnGetConfirmText(text);
    if (!options_.Has(dgConfirmDelete)) return true;
    if (!ui_) return false;
    return ui_->MessageDlg(text, DlgKind::Confirmation, DlgButtons::OkCancel) == DlgAnswer::Ok;
}

}  // namespace qm::grid

namespace qm::grid {

bool TCustomDBGridX::PointInLeafBand(int rawCol, int x, int y) const {
    if (!useMultiTitle_) return true;
    const THeadTreeNode* leaf = LeafOf(RawToDataColumn(rawCol));
    if (!leaf) return true;
    const QRect r = CellRect(rawCol, 0);
    return y >= r.bottom() + 1 - (leaf->Height + 1) && x >= r.left() && x <= r.right();
}

}  // namespace qm::grid
