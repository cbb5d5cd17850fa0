#pragma once
// A column's footers: one per footer row, each showing a total, a count, a field of the
// current record or a fixed text. A footer that needs a total keeps one item in the grid's
// sum list (SumList.h) and keeps it in step with its value type and field.

#include "core/db/DataSet.h"
#include "grid/Font.h"

#include <QColor>
#include <QFont>

#include <memory>
#include <vector>

namespace qm::grid {

class TColumnX;
class TDBSum;
class TDBSumCollection;

enum TFooterValueType { fvtNon, fvtSum, fvtCount, fvtFieldValue, fvtStaticText };
enum TColumnFooterValue { cfvAlignment, cfvFont, cfvColor };

class TColumnFooterX {
public:
    explicit TColumnFooterX(TColumnX* column);
    ~TColumnFooterX();
    TColumnFooterX(const TColumnFooterX&) = delete;
    TColumnFooterX& operator=(const TColumnFooterX&) = delete;

    TColumnX* Column() const { return column_; }
    TAlignment Alignment() const;
    void SetAlignment(TAlignment v);
    QColor Color() const;
    void SetColor(const QColor& v);
    TFont Font() const;
    void SetFont(const TFont& v);
    bool IsAssigned(TColumnFooterValue v) const { return assigned_ & (1u << unsigned(v)); }
    bool EndEllipsis() const { return endEllipsis_; }
    void SetEndEllipsis(bool v);
    const QString& Value() const { return value_; }
    void SetValue(const QString& v);
    const QString& FieldName() const { return fieldName_; }
    void SetFieldName(const QString& v);
    TFooterValueType ValueType() const { return valueType_; }
    void SetValueType(TFooterValueType v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    TDBSum* SumItem() const { return sumItem_; }
    void Assign(const TColumnFooterX& src);
    void RestoreDefaults();
    // Keeps the sum item in the grid's sum list in step with the value type and field.
    void EnsureSumItem();

private:
    void ColumnChanged(bool all = false);
    void FreeSumItem();
    TColumnX* column_;
    unsigned assigned_ = 0;
    TAlignment alignment_ = taLeftJustify;
    QColor color_;
    TFont font_;
    bool endEllipsis_ = false, wordWrap_ = false;
    QString value_, fieldName_;
    TFooterValueType valueType_ = fvtNon;
    TDBSum* sumItem_ = nullptr;
    TDBSumCollection* sumOwner_ = nullptr;  // the collection the item lives in
};

// The footers of footer rows 0, 1, ... of a column.
class TColumnFootersX {
public:
    explicit TColumnFootersX(TColumnX* column) : column_(column) {}
    int Count() const { return int(items_.size()); }
    TColumnFooterX* Items(int i) const { return items_.at(size_t(i)).get(); }
    TColumnFooterX* Add();
    void Delete(int i);
    void Clear();

private:
    TColumnX* column_;
    std::vector<std::unique_ptr<TColumnFooterX>> items_;
};

}  // namespace qm::grid
