// The grid's footer texts and their repaint.
#include "grid/DBGridX.h"
#include "grid/FooterText.h"

#include <QPainter>

namespace qm::grid {

QString FormatFooterSum(const TField* f, TCurrency sum) {
    if (!f) return {};
    switch (f->DataType()) {
    case ftInteger: return f->DisplayFormat.isEmpty() ? CurrToStrFixed(sum, 0) : FormatCurr(f->DisplayFormat, sum);
    case ftFloat:
    case ftCurrency: {
        const QString pattern = !f->EditFormat.isEmpty() ? f->EditFormat : f->DisplayFormat;
        if (!pattern.isEmpty()) return FormatCurr(pattern, sum);
        if (f->Currency()) return CurrToStrCurrency(sum, 2);
        return CurrToStrGeneral(sum, f->Precision);
    }
    default: return {};
    }
}

QString TCustomDBGridX::GetFooterValue(int row, TColumnX* column) {
    TColumnFooterX* footer = column->UsedFooter(row);
    TDataSet* ds = dataLink_->DataSet();
    switch (footer->ValueType()) {
    case fvtSum: {
        if (!ds) return QStringLiteral("0");
        const QString name = footer->FieldName().isEmpty() ? column->FieldName() : footer->FieldName();
        TField* f = ds->FindField(name);
        if (!f) return QStringLiteral("0");
        TDBSum* item = sumList_->SumCollection().GetSumByOpAndFName(goSum, name);
        if (!item) return QStringLiteral("0");
        if (item->OutOfRange) return OutOfRangeText();
        return FormatFooterSum(f, item->SumValue);
    }
    case fvtCount: {
        TDBSum* item = sumList_->SumCollection().GetSumByOpAndFName(goCount, QString());
        return item ? CurrToStrGeneral(item->SumValue) : QString();
    }
    case fvtFieldValue:
        if (ds && ds->Active() && !footer->FieldName().isEmpty()) {
            TField* f = ds->FindField(footer->FieldName());
            return f ? f->DisplayText() : QString();
        }
        return {};
    case fvtStaticText: return footer->Value();
    default: return {};
    }
}

void TCustomDBGridX::InvalidateFooter() {
    for (int i = 0; i < footerRowCount_; ++i) {
        const int r = RowCount() - 1 - i;
        if (r >= 0) InvalidateRow(r);
    }
}

}  // namespace qm::grid

namespace qm::grid {

void TCustomDBGridX::DrawFooterCell(QPainter& p, int row, QRect rect, const QRect& cellRect, TColumnX* column,
                                    TGridDrawState state, int dx, int dy) {
    const int fi = row - (RowCount() - footerRowCount_);
    TColumnFooterX* footer = column->UsedFooter(fi);
    const int dataCol = column->Index();
    TFont f = footer->Font();
    QColor bg = footer->Color();
    if (DefaultDrawing) {
        TAlignment alignment = footer->Alignment();
        QString text = GetFooterValue(fi, column);
        GetFooterParams(dataCol, fi, column, f, bg, alignment, state, text);
        QColor fg = f.ColorOr(palette().color(QPalette::Text));
        const bool selected = (selection_->SelectionType() == gstColumns && selection_->Columns().Contains(column)) ||
                              selection_->SelectionType() == gstAll;
        if (selected) {
            bg = palette().color(QPalette::Highlight);
            fg = palette().color(QPalette::HighlightedText);
        }
        p.setBrush(bg);
        p.fillRect(rect, bg);
        p.setFont(f);
        p.setPen(fg);
        WriteCellText(p, rect, dx, dy, text, alignment, tlTop, footer->WordWrap() && multiLineRows_,
                      footer->EndEllipsis(), 0, 0);
    }
    if (OnDrawFooterCell) OnDrawFooterCell(dataCol, fi, column, cellRect, state);
}

}  // namespace qm::grid
