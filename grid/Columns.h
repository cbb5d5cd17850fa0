#pragma once
// The grid's columns: a column bound to a field (or only naming one), its title, the
// grid's collection of columns, and the columns that mirror a data set's fields.

#include "core/db/DataSet.h"
#include "grid/Font.h"

#include <QColor>
#include <QFont>
#include <QStringList>

#include <memory>
#include <vector>

namespace qm::grid {

class TCustomDBGridX;
class TColumnX;
class TDBGridColumnsX;
class TColumnFooterX;
class TColumnFootersX;

enum TColumnButtonStyleX { cbsAuto, cbsEllipsis, cbsNone, cbsUpDown, cbsDropDown };
enum TSortMarkerX { smNoneX, smDownX, smUpX };
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// The derived properties a column holds explicitly (bits of `ExplicitValues`).
enum TColumnXValue {
    cvColor,
    cvWidth,
    cvFont,
    cvAlignment,
    cvReadOnly,
    cvTitleColor,
    cvTitleCaption,
    cvTitleAlignment,
    cvTitleFont,
    cvImeMode,
    cvImeName,
    cvWordWrap,
    cvLookupDisplayFields,
    cvCheckboxes
};

using TColumnsXList = std::vector<TColumnX*>;

class TColumnTitleX {
public:
    explicit TColumnTitleX(TColumnX* column) : column_(column) {}
    virtual ~TColumnTitleX() = default;
    TColumnX* Column() const { return column_; }

    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    QString Caption() const;
    virtual void SetCaption(const QString& v);
    QColor Color() const;
    void SetColor(const QColor& v);
    TFont Font() const;
    void SetFont(const TFont& v);
    bool TitleButton() const { return titleButton_; }
    void SetTitleButton(bool v);
    TSortMarkerX SortMarker() const { return sortMarker_; }
    void SetSortMarker(TSortMarkerX v);
    int SortIndex() const { return sortIndex_; }
    void SetSortIndex(int v);
    bool EndEllipsis() const { return endEllipsis_; }
    void SetEndEllipsis(bool v);
    int ImageIndex() const { return imageIndex_; }
    QString Hint;           // shown over the title instead of a tool tip
    bool ToolTips = false;  // a title that does not fit shows itself whole
    // Cycles none → down → up (→ none with KeepOthers, else back to down).
    void SetNextSortMarker(bool keepOthers);
    // Pixels the sort marker takes in the title.
    int SortMarkerWidth() const;
    void Assign(const TColumnTitleX& src);
    void RestoreDefaults();

protected:
    TColumnX* column_;
    TAlignment alignment_ = taLeftJustify;
    QString caption_;
    QColor color_;
    TFont font_;
    bool titleButton_ = false, endEllipsis_ = false;
    TSortMarkerX sortMarker_ = smNoneX;
    int sortIndex_ = 0, imageIndex_ = -1;
};

// A title whose caption writes through to its field's display label.
class TPassthroughColumnTitle : public TColumnTitleX {
public:
    using TColumnTitleX::TColumnTitleX;
    void SetCaption(const QString& v) override;
};

class TColumnX {
public:
    explicit TColumnX(TDBGridColumnsX* collection);
    virtual ~TColumnX();
    TColumnX(const TColumnX&) = delete;
    TColumnX& operator=(const TColumnX&) = delete;

    TDBGridColumnsX* Collection() const { return collection_; }
    TCustomDBGridX* Grid() const;
    int Index() const;
    virtual void SetIndex(int v);

    // Field binding.
    TField* Field() const;  // binds lazily by FieldName
    virtual void SetField(TField* f);
    const QString& FieldName() const { return fieldName_; }
    void SetFieldName(const QString& v);

    // Derived properties (explicit or from grid and field).
    bool IsExplicit(TColumnXValue v) const { return explicit_ & (1u << unsigned(v)); }
    unsigned ExplicitValues() const { return explicit_; }
    TAlignment Alignment() const;
    virtual void SetAlignment(TAlignment v);
    QColor Color() const;
    void SetColor(const QColor& v);
    TFont Font() const;
    void SetFont(const TFont& v);
    bool ReadOnly() const;
    virtual void SetReadOnly(bool v);
    int Width() const;
    virtual void SetWidth(int v);
    int DefaultWidth() const;
    bool WordWrap() const;
    void SetWordWrap(bool v);
    bool Checkboxes() const;
    void SetCheckboxes(bool v);
    // Fields of the lookup data set a lookup list shows, separated by ";".
    QString LookupDisplayFields() const;
    void SetLookupDisplayFields(const QString& v);

    // Plain properties.
    TColumnTitleX* Title() const { return title_.get(); }
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int v);
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int v);
    int ClampWidth(int w) const;
    bool AutoFitColWidth() const { return autoFitColWidth_; }
    void SetAutoFitColWidth(bool v);
    int BaseWidth = 0;
    bool AutoFitFixed = false;
    bool EndEllipsis() const { return endEllipsis_; }
    void SetEndEllipsis(bool v);
    TColumnButtonStyleX ButtonStyle() const { return buttonStyle_; }
    void SetButtonStyle(TColumnButtonStyleX v);
    // The column's edit button is drawn in every data cell, not only in the edited one.
    bool AlwaysShowEditButton() const { return alwaysShowEditButton_; }
    void SetAlwaysShowEditButton(bool v);
    int DropDownRows = 7;
    bool DblClickNextVal = false;
    bool ToolTips = false;
    double Increment = 1.0;
    bool Currency() const { return currency_; }
    void SetCurrencyFlag(bool v) { currency_ = v; }
    QStringList& PickList() { return pickList_; }
    const QStringList& PickList() const { return pickList_; }
    void SetPickList(const QStringList& v);
    QStringList& KeyList() { return keyList_; }
    const QStringList& KeyList() const { return keyList_; }
    void SetKeyList(const QStringList& v);
    int NotInKeyListIndex() const { return notInKeyListIndex_; }
    void SetNotInKeyListIndex(int v);
    bool HasImageList = false;  // images for key-list values are drawn by a later painter
    bool AutoDropDown = false;  // typing opens the pop-up list
    int DropDownWidth = 0;      // of a lookup list: 0 the editor's, -1 measured, else pixels
    // Whether the grid draws this column in ledger style (set by the layout).
    bool IsMoneyColumn = false;

    // Footers: `Footer` serves every footer row without an entry in `Footers`.
    TColumnFooterX* Footer() const { return footer_.get(); }
    TColumnFootersX* Footers() const { return footers_.get(); }
    TColumnFooterX* UsedFooter(int footerRow) const;
    void EnsureSumItems();

    // 0 plain, 1 pick list, 2 lookup, 3 key list through the pick list, 4 key list through
    // images, 5 check box.
    int ColumnKind() const;
    QString DisplayText() const;
    TCheckBoxState GetCheckboxState() const;
    void SetCheckboxState(TCheckBoxState s);
    bool CanModify(bool tryEdit);
    // The field a change of this column writes: its own, or a lookup field's key field.
    TField* ModifiedField() const;
    void SetNextFieldValue(double increment);
    void Assign(const TColumnX& src);
    virtual void RestoreDefaults();

    // Reports a change of this column (or of every column) to the collection.
    void Changed(bool allItems = false);

protected:
    void SetExplicit(TColumnXValue v) { explicit_ |= 1u << unsigned(v); }
    void ClearExplicit(TColumnXValue v) { explicit_ &= ~(1u << unsigned(v)); }
    void StoreWidth(int v);
    friend class TColumnTitleX;
    friend class TDBGridColumnsX;
    friend class TCustomDBGridX;

    TDBGridColumnsX* collection_;
    mutable TField* field_ = nullptr;
    QString fieldName_;
    unsigned explicit_ = 0;
    TAlignment alignment_ = taLeftJustify;
    QColor color_;
    TFont font_;
    bool readOnly_ = false, wordWrap_ = false, checkboxes_ = false;
    QString lookupDisplayFields_;
    int width_ = 64;
    bool visible_ = true, autoFitColWidth_ = true, endEllipsis_ = false, currency_ = false;
    bool alwaysShowEditButton_ = false;
    int minWidth_ = 0, maxWidth_ = 0, notInKeyListIndex_ = -1;
    TColumnButtonStyleX buttonStyle_ = cbsAuto;
    QStringList pickList_, keyList_;
    std::unique_ptr<TColumnTitleX> title_;
    std::unique_ptr<TColumnFooterX> footer_;
    std::unique_ptr<TColumnFootersX> footers_;
};

// A column that mirrors a field of a default collection and writes its settings through
// to the field.
class TPassthroughColumn : public TColumnX {
public:
    explicit TPassthroughColumn(TDBGridColumnsX* collection);
    void SetIndex(int v) override;
    void SetAlignment(TAlignment v) override;
    void SetField(TField* f) override;
    void SetReadOnly(bool v) override;
    void SetWidth(int v) override;
};

enum TDBGridColumnsState { csDefault, csCustomized };

class TDBGridColumnsX {
public:
    explicit TDBGridColumnsX(TCustomDBGridX* grid) : grid_(grid) {}
    ~TDBGridColumnsX();
    TCustomDBGridX* Grid() const { return grid_; }

    int Count() const { return int(items_.size()); }
    TColumnX* Items(int i) const { return items_.at(size_t(i)).get(); }
    TColumnX* operator[](int i) const { return Items(i); }
    TColumnX* Add();
    TPassthroughColumn* AddPassthrough();
    void Delete(int i);
    void Clear();
    int IndexOf(const TColumnX* c) const;
    void Move(int from, int to);
    // Default while empty or while its first column mirrors a field.
    TDBGridColumnsState State() const;
    void SetState(TDBGridColumnsState s);

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    // A column changed (nullptr: all of them).
    void Update(TColumnX* item);

private:
    friend class TColumnX;
    friend class TCustomDBGridX;
    void Added(std::unique_ptr<TColumnX> c);
    TCustomDBGridX* grid_;
    std::vector<std::unique_ptr<TColumnX>> items_;
    int updateCount_ = 0;
};

}  // namespace qm::grid
