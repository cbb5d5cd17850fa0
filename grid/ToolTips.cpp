// Cell tool tips: a data or title cell whose text does not fit shows the whole text in a
// small window laid exactly over the cell, placed by the text's alignment. The window lies
// under the pointer, so it lets the pointer through (on X11 it would otherwise take it, and
// the grid would see the pointer leave); it stays until the pointer leaves the cell.
#include "grid/DBGridX.h"
#include "grid/TitleTree.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <QWindow>

#include <climits>

namespace qm::grid {

namespace {

class TToolTipsWindow : public QLabel {
public:
    TToolTipsWindow()
        : QLabel(nullptr,
                 Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
        setObjectName(QStringLiteral("qm_grid_celltip"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setMargin(2);
        // The text is always in the window-text colour, whatever colour the cell gives it.
        setStyleSheet(QStringLiteral(
            "QLabel { background: palette(tooltip-base); color: palette(window-text); border: 1px solid black; }"));
    }
};

}  // namespace

QString GetShortHint(const QString& hint) {
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

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
        tip.Text = GetShortHint(column->Title()->Hint);
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
    TFont font;
    if (!title) {
        TActiveRecordGuard guard(*dataLink_);
        dataLink_->SetActiveRecord(c.Y - titleOffset_);
        text = column->DisplayText();
        // An edit button shown in the cell leaves the text the rest of it.
        if (!EditButtonRect(column, cell).isEmpty()) fullRight -= editButtonWidth_;
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

QWidget* TCustomDBGridX::CellTipWindow() const { return tipWindow_ && tipWindow_->isVisible() ? tipWindow_ : nullptr; }

void TCustomDBGridX::ShowCellTip(const TCellToolTip& tip) {
    QToolTip::hideText();
    if (!tipWindow_) tipWindow_ = new TToolTipsWindow;
    auto* w = static_cast<QLabel*>(tipWindow_);
    w->setFont(tip.Font);
    w->setWordWrap(tip.MaxWidth > 0);
    w->setText(tip.Text);
    if (tip.MaxWidth > 0) {
        // The text broken into lines no wider than the maximum width (a word longer than it
        // keeps its own width), the window as wide as its widest line: a label left to choose
        // would pick a narrow, tall block instead.
        const int lines = QFontMetrics(tip.Font)
                              .boundingRect(QRect(0, 0, tip.MaxWidth, INT_MAX / 2), Qt::TextWordWrap, tip.Text)
                              .width();
        const QMargins m = w->contentsMargins();
        const int width = lines + m.left() + m.right() + 2 * (w->margin() + w->frameWidth());
        w->setFixedWidth(width);
        w->setFixedHeight(w->heightForWidth(width));
    } else {
        w->setMinimumSize(0, 0);
        w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        w->adjustSize();
    }
    w->move(viewport()->mapToGlobal(tip.Pos));
    tipCellRect_ = tip.CursorRect;
    w->show();
    // The X window made for the show does not always carry the input transparency asked
    // for at creation; set on the shown window, it holds.
    if (QWindow* h = w->windowHandle()) {
        h->setFlags(h->flags() & ~Qt::WindowTransparentForInput);
        h->setFlags(h->flags() | Qt::WindowTransparentForInput);
    }
}

void TCustomDBGridX::HideCellTip() {
    if (tipWindow_) tipWindow_->hide();
    tipCellRect_ = QRect();
}

void TCustomDBGridX::PointerMovedForTip(const QPoint& p, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    if (CellTipWindow() && !tipCellRect_.contains(p)) HideCellTip();
    // A tool-tip cell shows its tip at once, without the hint pause, when the pointer comes
    // to it (a title cell counts as another place on its own band than on a group band).
    TGridCoord c = MouseCoord(p.x(), p.y());
    if (c.Y >= 0 && c.Y < titleOffset_ && c.X >= indicatorOffset_ && !PointInLeafBand(c.X, p.x(), p.y())) c.Y = -2;
    if (c == tipPointerCell_) return;
    tipPointerCell_ = c;
    if (buttons != Qt::NoButton) return;
    const TCellToolTip tip = CellToolTipAt(p, mods);
    if (tip.Show && !tip.IsHint) ShowCellTip(tip);
}

bool TCustomDBGridX::viewportEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::ToolTip: {
        auto* he = static_cast<QHelpEvent*>(e);
        const TCellToolTip tip = CellToolTipAt(he->pos(), QApplication::keyboardModifiers());
        if (!tip.Show) {
            QToolTip::hideText();
            HideCellTip();
            e->ignore();
        } else if (tip.IsHint) {
            HideCellTip();
            QToolTip::showText(he->globalPos(), tip.Text, viewport(), tip.CursorRect);
        } else {
            ShowCellTip(tip);
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        PointerMovedForTip(me->position().toPoint(), me->buttons(), me->modifiers());
        break;
    }
    case QEvent::Leave:
        // Only a pointer that has really left the cell takes the tip away.
        tipPointerCell_ = TGridCoord();
        if (CellTipWindow() && !tipCellRect_.contains(viewport()->mapFromGlobal(QCursor::pos()))) HideCellTip();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: HideCellTip(); break;
    default: break;
    }
    return TCustomGrid::viewportEvent(e);
}

void TCustomDBGridX::hideEvent(QHideEvent* e) {
    HideCellTip();
    TCustomGrid::hideEvent(e);
}

}  // namespace qm::grid
