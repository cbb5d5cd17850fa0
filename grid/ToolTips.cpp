// Cell tool tips: a data or title cell whose text does not fit shows the whole text in a
// small window laid exactly over the cell, placed by the text's alignment.
#include "grid/DBGridX.h"
#include "grid/TitleTree.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

#include <climits>

namespace qm::grid {

TCustomDBGridX::TCellToolTip TCustomDBGridX::CellToolTipAt(const QPoint& pt, Qt::KeyboardModifiers modifiers) const {
    TCellToolTip tip;
    const TGridCoord c = MouseCoord(pt.x(), pt.y());
    if (c.X < indicatorOffset_ || c.Y < 0) return tip;
    const int dataCol = RawToDataColumn(c.X);
    if (dataCol >= columns_->Count()) return tip;
    TColumnX* column = columns_->Items(dataCol);
    const bool title = c.Y < titleOffset_;
    const QRect cell = CellRect(c.X, c.Y);
    if (cell.isEmpty()) return tip;
    if (title && !column->Title()->Hint.isEmpty()) {
        tip.Show = tip.IsHint = true;
        tip.Text = column->Title()->Hint;
        tip.CursorRect = cell;
        return tip;
    }
    if (title) {
        if (!column->Title()->ToolTips) return tip;
    } else {
        const int dataRows = RowCount() - titleOffset_ - (footerRowCount_ > 0 ? footerRowCount_ + 1 : 0);
        if (c.Y - titleOffset_ >= dataRows || !dataLink_->Active() || !column->ToolTips) return tip;
    }
    if (QWidget::mouseGrabber() || (modifiers & Qt::ControlModifier)) return tip;

    int l = cell.left(), t = cell.top(), r = cell.right() + 1;
    const int b = cell.bottom() + 1;
    int fullRight = l + ColWidths(c.X);
    QString text;
    TAlignment alignment;
    bool wrap;
    QFont font;
    if (!title) {
        TActiveRecordGuard guard(*dataLink_);
        dataLink_->SetActiveRecord(c.Y - titleOffset_);
        text = column->DisplayText();
        r = std::min(r, fullRight);
        alignment = column->Alignment();
        wrap = column->WordWrap() && multiLineRows_;
        font = column->Font();
        QColor bg = column->Color();
        const_cast<TCustomDBGridX*>(this)->GetCellParams(column, font, bg, {});
    } else {
        TColumnTitleX* ti = column->Title();
        if (ti->SortMarker() != smNoneX) {
            int marker = 16;
            if (sortMarkedColumns_.size() > 1)
                marker += QFontMetrics(SortIndexFont()).horizontalAdvance(QString::number(ti->SortIndex()));
            marker = std::min(marker, std::max(0, ColWidths(c.X) - 4));
            if (marker > 2) {
                r -= marker - 2;
                fullRight -= marker - 2;
            }
        }
        if (useMultiTitle_ && LeafOf(dataCol)) {
            const THeadTreeNode* leaf = LeafOf(dataCol);
            text = leaf->Text;
            t = b - leaf->Height + 1;
            if (pt.y() < t) return tip;  // over a group band
        } else {
            text = ti->Caption();
        }
        wrap = useMultiTitle_ || titleHeight_ != 0 || titleLines_ != 0;
        alignment = ti->Alignment();
        font = ti->Font();
    }
    const int v = wrap ? 2 : 0;
    const int room = r - l - 2 - v;
    const QFontMetrics fm(font);
    const QRect need = fm.boundingRect(QRect(0, 0, std::max(1, room), INT_MAX / 2),
                                       int(wrap ? Qt::TextWordWrap : Qt::TextSingleLine), text);
    const bool fits = need.width() <= room && need.height() <= b - t - rowSpacing_ + 1;
    if (fits && !(alignment == taRightJustify && fullRight - 2 > r)) return tip;
    const int e = flat_ ? 2 : 1;
    const int w = need.width();
    tip.Show = true;
    tip.Text = text;
    tip.Font = font;
    tip.CursorRect = cell;
    if (wrap) tip.MaxWidth = r - l - 4;
    switch (alignment) {
    case taRightJustify: tip.Pos = QPoint(fullRight + 1 - w - 7, t - e); break;
    case taCenter: tip.Pos = QPoint(fullRight + 1 - w - 6 + w / 2 - (fullRight - l - 4) / 2, t - e); break;
    default: tip.Pos = QPoint(l - 1, t - e); break;
    }
    return tip;
}

bool TCustomDBGridX::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        const TCellToolTip tip = CellToolTipAt(he->pos(), QApplication::keyboardModifiers());
        static QPointer<QLabel> window;
        if (window) window->hide();
        if (!tip.Show) {
            QToolTip::hideText();
            e->ignore();
            return true;
        }
        if (tip.IsHint) {
            QToolTip::showText(he->globalPos(), tip.Text, viewport(), tip.CursorRect);
            return true;
        }
        // A plain window at the exact place, the text in the cell's font.
        if (!window) {
            window = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
            window->setAttribute(Qt::WA_ShowWithoutActivating);
            window->setAttribute(Qt::WA_DeleteOnClose);
            window->setMargin(2);
            window->setStyleSheet(
                QStringLiteral("QLabel { background: palette(tooltip-base); color: black; border: 1px solid black; }"));
        }
        window->setFont(tip.Font);
        window->setWordWrap(tip.MaxWidth > 0);
        if (tip.MaxWidth > 0) window->setMaximumWidth(tip.MaxWidth + 8);
        window->setText(tip.Text);
        window->adjustSize();
        window->move(viewport()->mapToGlobal(tip.Pos));
        window->show();
        return true;
    }
    if (e->type() == QEvent::Leave) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QLabel*>(w) && (w->windowFlags() & Qt::ToolTip) == Qt::ToolTip && w->isVisible())
                w->hide();
    }
    return TCustomGrid::viewportEvent(e);
}

}  // namespace qm::grid
