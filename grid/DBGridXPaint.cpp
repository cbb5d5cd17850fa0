// Painting of the data grid: lines band by band, the cell loop, indicator, titles and data
// cells. Everything draws on the painter given, so an image serves as well as the screen.
#include "grid/DBGridX.h"
#include "grid/InplaceEdit.h"
#include "grid/MoneyStyle.h"
#include "grid/TitleTree.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace qm::grid {

void TCustomDBGridX::BuildImages() {
    // The indicator images are drawn in code: an arrow (current row), a pencil (editing),
    // an asterisk (inserting), two multi-select marks and a white arrow for dark rows.
    auto make = [](const std::function<void(QPainter&)>& fn) {
        QPixmap pm(kIndicatorImageWidth, kIndicatorImageHeight);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        fn(p);
        return pm;
    };
    auto arrow = [](const QColor& c) {
        return [c](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawPolygon(QPolygon({QPoint(1, 0), QPoint(5, 4), QPoint(1, 8)}));
        };
    };
    indicatorImages_[0] = make(arrow(Qt::black));
    indicatorImages_[1] = make([](QPainter& p) {
        p.setPen(Qt::black);
        p.drawLine(1, 8, 5, 0);
        p.drawLine(0, 8, 4, 0);
    });
    indicatorImages_[2] = make([](QPainter& p) {
        p.setPen(Qt::black);
        p.drawLine(3, 1, 3, 7);
        p.drawLine(0, 4, 5, 4);
        p.drawLine(1, 2, 5, 6);
        p.drawLine(1, 6, 5, 2);
    });
    indicatorImages_[3] = make([](QPainter& p) { p.fillRect(2, 3, 3, 3, Qt::black); });
    indicatorImages_[4] = make(arrow(Qt::black));
    indicatorImages_[5] = make(arrow(Qt::white));
    for (int i = 0; i < 2; ++i) {
        QPixmap pm(kSortMarkerImageWidth, kSortMarkerImageHeight);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(128, 128, 128));
        // A six-pixel triangle in the middle of the image.
        if (i == 0)
            p.drawPolygon(QPolygon({QPoint(0, 2), QPoint(7, 2), QPoint(4, 7), QPoint(3, 7)}));
        else
            p.drawPolygon(QPolygon({QPoint(3, 2), QPoint(4, 2), QPoint(7, 7), QPoint(0, 7)}));
        sortMarkerImages_[i] = pm;
    }
}

QFont TCustomDBGridX::SortIndexFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(kSortMarkerImageHeight - 1);
    return f;
}

QColor TCustomDBGridX::FixedLineColor() const {
    return flat_ && !tarnStyle_ ? QColor(0x80, 0x80, 0x80) : QColor(0, 0, 0);
}

QColor TCustomDBGridX::DataLineColor() const {
    return color_.rgb() == QColor(0xC0, 0xC0, 0xC0).rgb() ? QColor(0x80, 0x80, 0x80) : QColor(0xC0, 0xC0, 0xC0);
}

QString TCustomDBGridX::ShortenWithEllipsis(const QString& text, int width,
                                            const std::function<int(const QString&)>& measure) {
    QString t = text;
    int k = 2;
    while (measure(t) > width && k <= text.size()) {
        t = text.left(text.size() - k) + QStringLiteral("...");
        ++k;
    }
    return t;
}

void TCustomDBGridX::WriteCellText(QPainter& p, const QRect& rect, int dx, int dy, const QString& text,
                                   TAlignment alignment, TTextLayout layout, bool wordWrap, bool endEllipsis,
                                   int leftMargin, int rightMargin) const {
    const QFontMetrics fm(p.font());
    const int right = rect.right() + 1, bottom = rect.bottom() + 1;
    if (!wordWrap) {
        // Direct path: the text written at the top, clipped to the cell.
        QString t = text;
        if (endEllipsis)
            t = ShortenWithEllipsis(text, rect.width() - dx, [&](const QString& s) { return fm.horizontalAdvance(s); });
        const int w = fm.horizontalAdvance(t);
        int x;
        switch (alignment) {
        case taRightJustify: x = right - w - 3; break;
        case taCenter: x = rect.left() + rect.width() / 2 - w / 2; break;
        default: x = rect.left() + dx; break;
        }
        const int y = rect.top() + dy;
        if (x >= rect.left() && x + w <= right && y + fm.height() <= bottom) {
            p.drawText(x, y + fm.ascent(), t);
        } else {
            p.save();
            p.setClipRect(rect, Qt::IntersectClip);
            p.drawText(x, y + fm.ascent(), t);
            p.restore();
        }
        return;
    }
    // Wrapped path: the rectangle shrunk by the offsets and the margins. Below, the lines may
    // reach the cell's edge: a row of n lines is n line heights high, and the last line's
    // Chinese characters need all of it.
    QRect r(rect.left() + dx + leftMargin, rect.top() + dy,
            rect.width() - 2 * dx - leftMargin - rightMargin + (dx > 0 ? 1 : 0), rect.height() - dy);
    int flags = Qt::TextWordWrap | Qt::TextExpandTabs;
    flags |= alignment == taRightJustify ? Qt::AlignRight : alignment == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    if (layout != tlTop) {
        const int h = fm.boundingRect(QRect(0, 0, std::max(1, r.width()), 100000), flags, text).height();
        if (layout == tlCenter)
            r.setTop(r.top() + r.height() / 2 - h / 2);
        else
            r.setTop(r.bottom() + 1 - h);
        r.setHeight(std::max(h, 0));
    }
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    QString t = text;
    if (endEllipsis)
        t = fm.elidedText(text, Qt::ElideRight, r.width() * std::max(1, r.height() / std::max(1, fm.height())));
    p.drawText(r, flags | Qt::AlignTop, t);
    p.restore();
}

namespace {
// A line of the current one-pixel pen, filled as the rectangle of pixels it covers (square
// caps reach both ends) at a fraction of the stroker's cost.
void PenLine(QPainter& p, int x1, int y1, int x2, int y2) {
    p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
               p.pen().color());
}
}  // namespace

void TCustomDBGridX::DrawCellEdge(QPainter& p, const QRect& r, bool bottomRight, bool topLeft, bool sunken,
                                  bool pressed) const {
    const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
    const bool in = sunken || pressed;
    const QColor tl = in ? dark : light, br = in ? light : dark;
    const int l = r.left(), t = r.top(), rr = r.right(), b = r.bottom();
    if (flat_) {
        p.setPen(p.brush().color());
        PenLine(p, l, b, rr, b);
        if (bottomRight) PenLine(p, rr, b, rr, t);
        p.setPen(tl);
        PenLine(p, l, t, rr, t);
        if (topLeft) PenLine(p, l, t, l, b);
        return;
    }
    p.setPen(tl);
    PenLine(p, l, t, rr, t);
    if (topLeft) PenLine(p, l, t, l, b);
    p.setPen(br);
    PenLine(p, l, b, rr, b);
    if (bottomRight) PenLine(p, rr, t, rr, b);
}

void TCustomDBGridX::DrawLinesBand(QPainter& p, const TGridDrawInfo& info, bool fixedBand, int startCol, int startRow,
                                   const QRect& band, const QColor& onColor, const QColor& offColor) const {
    if (band.width() <= 0 || band.height() <= 0) return;
    const TGridOptions go = GridOptions();
    const bool vertOn = fixedBand ? go.Has(goFixedVertLine) : go.Has(goVertLine);
    const bool horzOn = fixedBand ? go.Has(goFixedHorzLine) : go.Has(goHorzLine);
    const int hlw = info.Horz.EffectiveLineWidth, vlw = info.Vert.EffectiveLineWidth;
    QVector<QLine> vert, horz;
    if (hlw > 0) {
        int x = band.left();
        for (int c = startCol; c < ColCount(); ++c) {
            x += ColWidths(c) + hlw;
            if (x > band.right() + 1 + hlw) break;
            if (ColWidths(c) < 0) continue;  // -1 hides the column with its line
            const int lx = x - hlw + hlw / 2;
            vert.push_back(QLine(lx, band.top(), lx, band.bottom()));
            if (c + 1 == info.Horz.FixedCellCount && startCol < info.Horz.FixedCellCount) break;
        }
    }
    if (vlw > 0) {
        int y = band.top();
        for (int r = startRow; r < RowCount(); ++r) {
            y += RowHeights(r) + vlw;
            if (y > band.bottom() + 1 + vlw) break;
            const int ly = y - vlw + vlw / 2;
            horz.push_back(QLine(band.left(), ly, band.right(), ly));
            if (r + 1 == info.Vert.FixedCellCount && startRow < info.Vert.FixedCellCount) break;
        }
    }
    auto draw = [&](const QVector<QLine>& lines, bool on, int lw) {
        if (lines.isEmpty()) return;
        QPen pen(on ? onColor : offColor);
        pen.setWidth(lw);
        if (lw > 1) {
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::MiterJoin);
        }
        p.setPen(pen);
        if (lw != 1) {
            p.drawLines(lines);
            return;
        }
        for (const QLine& l : lines) PenLine(p, l.x1(), l.y1(), l.x2(), l.y2());
    };
    if (!horzOn) {
        draw(horz, false, vlw);
        draw(vert, vertOn, hlw);
    } else {
        draw(vert, vertOn, hlw);
        draw(horz, true, vlw);
    }
}

uint32_t TCustomDBGridX::TextOptions(TAlignment alignment, TTextLayout layout, bool wordWrap, bool endEllipsis) {
    return uint32_t(alignment) | uint32_t(layout) << 4 | uint32_t(wordWrap) << 8 | uint32_t(endEllipsis) << 9;
}

void TCustomDBGridX::WarmGlyphs(QPainter& p) {
    // Drawing a glyph the first time loads its outline twice (its advance, then its pixels) and
    // costs several times what drawing it again does; a register's first pages hold most of
    // the characters it uses, so paging through it the first time stalled on them. The glyphs
    // are made here once, when a layout first paints, from every character the shown columns
    // hold in the records from the current one on (a bounded number, so that a layout change
    // stays cheap on a large data set). What is drawn does not change: the glyphs are made on
    // an image of their own.
    TDataSet* ds = dataLink_->DataSet();
    if (!ds || !p.device()) return;
    std::vector<bool> seen(0x10000);
    QString chars;
    auto add = [&](QChar c) {
        if (c.isSurrogate() || seen[c.unicode()]) return;
        seen[c.unicode()] = true;
        chars += c;
    };
    for (QChar c : QStringLiteral("0123456789.-")) add(c);
    std::vector<QFont> fonts;
    constexpr int kRows = 4096;
    const int from = std::max(0, ds->RecNo() - 1), to = std::min(ds->RecordCount(), from + kRows);
    for (int i = 0; i < columns_->Count(); ++i) {
        TColumnX* column = (*columns_)[i];
        TField* field = column->Visible() ? column->Field() : nullptr;
        if (!field || field->FieldKind() != fkData || field->FieldNo() < 0) continue;
        const QFont f = column->Font();
        if (std::find(fonts.begin(), fonts.end(), f) == fonts.end()) fonts.push_back(f);
        for (int r = from; r < to; ++r) {
            const db::Value& v = ds->ValueAt(r, field->FieldNo());
            if (v.kind() == db::Value::Kind::Text)
                for (QChar c : v.rawText()) add(c);
        }
    }
    QImage image(256, 32, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(p.device()->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(p.device()->logicalDpiY() / 0.0254));
    QPainter q(&image);
    q.setRenderHints(p.renderHints());
    constexpr int kChunk = 8;  // characters a line, so that every one lands on the image
    for (const QFont& f : fonts) {
        // The font as the grid's painter resolves it, what the widget lends included.
        p.save();
        p.setFont(f);
        QFont resolved = p.font();
        p.restore();
        resolved.setResolveMask(QFont::AllPropertiesResolved);
        q.setFont(resolved);
        for (qsizetype n = 0; n < chars.size(); n += kChunk) q.drawText(0, 24, chars.mid(n, kChunk));
    }
}

void TCustomDBGridX::Paint(QPainter& p, const QRect& clip) {
    textCache_.BeginPaint(p);
    if (!glyphsWarm_ && dataLink_->Active()) {
        glyphsWarm_ = true;
        WarmGlyphs(p);
    }
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const QColor fixedLine = FixedLineColor(), dataLine = DataLineColor();
    const TGridAxisDrawInfo& h = info.Horz;
    const TGridAxisDrawInfo& v = info.Vert;
    // The frozen band: the last FrozenCols fixed columns with their lines.
    int frozenW = 0;
    for (int c = std::max(0, FixedCols() - frozenCols_); c < FixedCols(); ++c)
        frozenW += ColWidths(c) + h.EffectiveLineWidth;
    p.setRenderHint(QPainter::Antialiasing, false);
    // Backgrounds first (lines go over the one-pixel gaps between cells).
    p.fillRect(QRect(0, 0, h.FixedBoundary, v.GridBoundary), fixedColor_);
    p.fillRect(QRect(h.FixedBoundary, 0, h.GridBoundary - h.FixedBoundary, v.FixedBoundary), fixedColor_);
    p.fillRect(
        QRect(h.FixedBoundary, v.FixedBoundary, h.GridBoundary - h.FixedBoundary, v.GridBoundary - v.FixedBoundary),
        color_);
    if (h.EffectiveLineWidth > 0 || v.EffectiveLineWidth > 0) {
        DrawLinesBand(p, info, true, 0, 0, QRect(0, 0, h.FixedBoundary, v.FixedBoundary), fixedLine, fixedColor_);
        DrawLinesBand(p, info, true, LeftCol(), 0,
                      QRect(h.FixedBoundary, 0, h.GridBoundary - h.FixedBoundary, v.FixedBoundary), fixedLine,
                      fixedColor_);
        DrawLinesBand(p, info, true, 0, TopRow(),
                      QRect(0, v.FixedBoundary, h.FixedBoundary, v.GridBoundary - v.FixedBoundary), fixedLine,
                      fixedColor_);
        // Footer rows in the button face (or drawn raised) get the lines of a fixed band.
        int footerH = 0;
        for (int r = std::max(0, RowCount() - footerRowCount_); r < RowCount(); ++r)
            footerH += RowHeights(r) + v.EffectiveLineWidth;
        const bool fixedFooter =
            footerRowCount_ > 0 && (optionsX_.Has(dghFooter3D) || footerColor_ == palette().color(QPalette::Button));
        const int frozenFooterH = fixedFooter ? footerH : 0;
        if (frozenCols_ > 0 && !optionsX_.Has(dghFrozen3D))
            DrawLinesBand(p, info, false, FixedCols() - frozenCols_, TopRow(),
                          QRect(h.FixedBoundary - frozenW, v.FixedBoundary, frozenW - 1,
                                v.GridBoundary - v.FixedBoundary - frozenFooterH),
                          dataLine, color_);
        DrawLinesBand(
            p, info, false, LeftCol(), TopRow(),
            QRect(h.FixedBoundary, v.FixedBoundary, h.GridBoundary - h.FixedBoundary, v.GridBoundary - v.FixedBoundary),
            dataLine, color_);
        if (fixedFooter) {
            const int top = v.GridBoundary - footerH;
            DrawLinesBand(p, info, true, LeftCol(), RowCount() - footerRowCount_,
                          QRect(h.FixedBoundary, top, h.GridBoundary - h.FixedBoundary, footerH), fixedLine,
                          fixedColor_);
            // The line over the footer band, from the frozen columns on.
            if (GridOptions().Has(goHorzLine) && v.EffectiveLineWidth > 0) {
                QPen pen(fixedLine);
                pen.setWidth(v.EffectiveLineWidth);
                p.setPen(pen);
                p.drawLine(h.FixedBoundary - frozenW, top - 1, h.GridBoundary, top - 1);
            }
        }
    }
    DrawCells(p, clip, info);
    if (useMultiTitle_) titleTree_->ForAll([](THeadTreeNode* n) { n->Drawn = false; });
    // Right of and below the cells: the grid's colour.
    if (h.GridBoundary < ClientWidth())
        p.fillRect(QRect(h.GridBoundary, 0, ClientWidth() - h.GridBoundary, v.GridBoundary), color_);
    if (v.GridBoundary < ClientHeight())
        p.fillRect(QRect(0, v.GridBoundary, ClientWidth(), ClientHeight() - v.GridBoundary), color_);
    if (gridState_ == gsColSizing || gridState_ == gsRowSizing) {
        QPen pen(Qt::black, 1, Qt::DotLine);
        p.setPen(pen);
        if (gridState_ == gsColSizing)
            p.drawLine(sizingPos_, 0, sizingPos_, v.GridBoundary);
        else
            p.drawLine(0, sizingPos_, h.GridBoundary, sizingPos_);
    }
    PaintFrozenSizingLine(p, v.GridBoundary);
    DrawMoveIndicator(p);
    // The row-select focus frame around the current row, widened over the frozen columns.
    if (options_.Has(dgRowSelect) && DefaultDrawing && Focused() && dataLink_->Active()) {
        const TGridRect s = TCustomGrid::Selection();
        const QRect r = BoxRect(std::max(0, s.Left - frozenCols_), s.Top, ColCount() - 1, s.Bottom);
        if (!r.isEmpty()) {
            QPen pen(palette().color(QPalette::Text), 1, Qt::DotLine);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
    }
}

void TCustomDBGridX::DrawCell(QPainter& p, int col, int row, const QRect& cellRect, TGridDrawState state) {
    if (cellRect.width() <= 0) return;
    const int dataRow = row - titleOffset_;
    const int dataCol = col - indicatorOffset_;
    const int fillerRow = footerRowCount_ > 0 ? RowCount() - footerRowCount_ - 1 - titleOffset_ : -2;
    const bool isFiller = dataRow == fillerRow;
    const bool isFooter = footerRowCount_ >= 1 && dataRow > fillerRow;
    bool is3D = (optionsX_.Has(dghFixed3D) && state.Has(gdFixed) && (dataCol < 0 || dataRow < 0) && !isFiller) ||
                (optionsX_.Has(dghFooter3D) && isFooter) ||
                (optionsX_.Has(dghData3D) && !state.Has(gdFixed) && !isFooter) ||
                ((optionsX_.Has(dghFixed3D) || optionsX_.Has(dghData3D) || optionsX_.Has(dghFrozen3D)) &&
                 footerRowCount_ >= 1 && isFiller && dataCol < 0) ||
                (optionsX_.Has(dghFrozen3D) && state.Has(gdFixed) && dataCol >= 0 && dataRow >= 0);
    QRect rect = cellRect;
    if (is3D) rect.adjust(1, 1, -1, -1);
    const int dx = is3D ? 1 : 2;
    const int dy = dx - (flat_ ? 1 : 0);
    bool dark = false, pressed = false;

    if (state.Has(gdFixed) && dataCol < 0) {
        DrawIndicatorCell(p, row, rect, dataRow, dx);
        dark = p.brush().color() == kDarkHighlight;
    } else if (dataRow < 0 && dataCol >= 0 && state.Has(gdFixed)) {
        TColumnX* c = dataCol < columns_->Count() ? columns_->Items(dataCol) : nullptr;
        if (!c) {
            p.fillRect(rect, fixedColor_);
            if (is3D) DrawCellEdge(p, cellRect, true, true, false, false);
            return;
        }
        // The caption first, then the cell's edge around the column's own band, then the
        // group bands over it (drawn after the edge, so that no edge splits a band), and
        // the money header last.
        DrawTitleCell(p, col, rect, c, dx, dy, dark);
        pressed = col == pressedCol_ && titlePressed_;
        const QRect own = is3D ? rect.adjusted(-1, -1, 1, 1) : rect;
        if (is3D) DrawCellEdge(p, own, true, true, dark, pressed);
        THeadTreeNode* leaf = useMultiTitle_ ? LeafOf(dataCol) : nullptr;
        if (leaf && leaf->Host && leaf->Host->Host)
            DrawTitleGroups(p, col, leaf, cellRect, own, c->Title()->EndEllipsis(), dy, dark);
        if (drawCurrency_ && hasMoneyColumns_ && c->IsMoneyColumn) {
            const int moneyH = currencyStyle_->CHNHeight();
            p.setFont(c->Title()->Font());
            DrawMoneyHeader(*currencyStyle_, p,
                            QRect(cellRect.left(), cellRect.bottom() + 1 - moneyH, cellRect.width(), moneyH),
                            palette());
        }
        return;
    } else if (dataCol >= 0) {
        TColumnX* c = dataCol < columns_->Count() ? columns_->Items(dataCol) : nullptr;
        if (!c) {
            p.fillRect(rect, color_);
        } else {
            DrawDataCellFull(p, col, row, rect, cellRect, c, state, dx, dy, dark);
        }
    }
    if (is3D) DrawCellEdge(p, cellRect, true, true, dark, pressed);
}

void TCustomDBGridX::DrawIndicatorCell(QPainter& p, int row, QRect rect, int dataRow, int dx) {
    QColor brush = (footerRowCount_ > 0 && dataRow == RowCount() - footerRowCount_ - 1 - titleOffset_ &&
                    !optionsX_.Has(dghFrozen3D))
                       ? color_
                       : fixedColor_;
    p.setBrush(brush);
    if (!dataLink_->Active()) {
        p.fillRect(rect, brush);
        return;
    }
    bool selected = selection_->SelectionType() == gstAll;
    if (dataRow >= 0 && (dataRow < dataLink_->RecordCount() || footerRowCount_ == 0)) {
        TActiveRecordGuard guard(*dataLink_);
        dataLink_->SetActiveRecord(dataRow);
        selected = options_.Has(dgMultiSelect) && selection_->DataCellSelected(-1, dataLink_->DataSet()->Bookmark());
    }
    const QColor fill = selected ? kDarkHighlight : brush;
    p.setBrush(fill);
    p.fillRect(rect, fill);
    const bool isActive = dataRow >= 0 && dataRow == dataLink_->ActiveRecord() && dataRow < dataLink_->RecordCount();
    if (isActive || (selected && dataRow >= 0)) {
        int img = -1;
        switch (dataLink_->DataSet()->State()) {
        case dsBrowse: img = isActive ? (selected ? 5 : 0) : -1; break;
        case dsEdit: img = 1; break;
        case dsInsert: img = 2; break;
        default: img = 0; break;
        }
        if (!isActive && img >= 0 && dataLink_->DataSet()->State() != dsBrowse) img = -1;
        if (img >= 0) {
            const QPixmap& pm = indicatorImages_[img];
            const int x = rect.right() + 1 - pm.width() - dx;
            const int y = (rect.top() + rect.bottom() + 1 - pm.height()) / 2;
            p.drawPixmap(x, y, pm);
        }
        if (isActive) indicatorRow_ = row;
    }
}

void TCustomDBGridX::DrawTitleCell(QPainter& p, int col, QRect& rect, TColumnX* column, int dx, int dy, bool& dark) {
    TColumnTitleX* t = column->Title();
    TFont f = t->Font();
    QColor bg = t->Color();
    const bool pressed = col == pressedCol_ && titlePressed_;
    QString caption = t->Caption();
    const bool money = drawCurrency_ && hasMoneyColumns_ && column->IsMoneyColumn;
    const int moneyH = hasMoneyColumns_ ? currencyStyle_->CHNHeight() : 0;
    THeadTreeNode* leaf = useMultiTitle_ ? LeafOf(column->Index()) : nullptr;
    if (leaf) {
        caption = leaf->Text;
        // The column's own band is the lower part of the cell; the group bands lie above.
        const QRect groups(rect.left(), rect.top(), rect.width(),
                           std::max(0, rect.bottom() + 1 - leaf->Height + 3 - moneyH - rect.top()));
        rect.setTop(rect.bottom() + 1 - leaf->Height + 3 - moneyH);
        if (groups.height() > 0) p.fillRect(groups, fixedColor_);
    }
    if (money) rect.setBottom(rect.bottom() - moneyH);
    QRect textRect = rect;
    const int s = pressed ? ((useMultiTitle_ || titleHeight_ != 0 || titleLines_ != 0) ? 2 : 1) : 0;
    textRect.setTop(textRect.top() + s);
    const int marker = t->SortMarker() == smDownX ? 0 : t->SortMarker() == smUpX ? 1 : -1;
    int w = 0;
    bool drawMarker = marker >= 0;
    const QFont sortFont = SortIndexFont();
    if (marker >= 0) {
        textRect.setRight(textRect.right() - 16);
        if (sortMarkedColumns_.size() > 1)
            w = QFontMetrics(sortFont).horizontalAdvance(QString::number(t->SortIndex()));
        if (textRect.left() > textRect.right() + 1) {
            textRect.setRight(textRect.right() + 14 - w);
            drawMarker = false;
        }
        if (textRect.left() > textRect.right() + 1) {
            textRect.setRight(textRect.right() + 2 + w);
            w = 0;
        }
    }
    const bool colSelected = (selection_->SelectionType() == gstColumns && selection_->Columns().Contains(column)) ||
                             selection_->SelectionType() == gstAll;
    QColor textColor = f.ColorOr(palette().color(QPalette::ButtonText));
    if (colSelected) {
        bg = kDarkHighlight;
        textColor = Qt::white;
        dark = true;
    }
    p.setBrush(bg);
    const TAlignment alignment = t->Alignment();
    const bool ellipsis = t->EndEllipsis();
    if (leaf)
        textCache_.Paint(p, rect, textRect, bg, textColor, f, caption, TextOptions(taCenter, tlCenter, true, ellipsis),
                         {dx, dy, s, -s}, [&](QPainter& q, const QRect& r) {
                             WriteCellText(q, r, dx, dy, caption, taCenter, tlCenter, true, ellipsis, s, -s);
                         });
    else if (titleHeight_ != 0 || titleLines_ != 0)
        textCache_.Paint(p, rect, textRect, bg, textColor, f, caption, TextOptions(alignment, tlCenter, true, ellipsis),
                         {dx, dy, s, -s}, [&](QPainter& q, const QRect& r) {
                             WriteCellText(q, r, dx, dy, caption, alignment, tlCenter, true, ellipsis, s, -s);
                         });
    else
        textCache_.Paint(p, rect, textRect.translated(s, 0), bg, textColor, f, caption,
                         TextOptions(alignment, tlTop, false, ellipsis), {dx, dy, s, -s},
                         [&](QPainter& q, const QRect& r) {
                             WriteCellText(q, r, dx, dy, caption, alignment, tlTop, false, ellipsis, s, -s);
                         });
    if (drawMarker) {
        const QPixmap& pm = sortMarkerImages_[marker];
        const int x = rect.right() + 1 - pm.width() - 2 - w + s;
        const int y = (rect.top() + rect.bottom() + 1 - pm.height()) / 2 + s;
        p.drawPixmap(x, y, pm);
        if (w > 0) {
            p.setFont(sortFont);
            p.setPen(dark ? QColor(Qt::white) : textColor);
            p.drawText(rect.right() + 1 - w - 2 + s, y - 1 + QFontMetrics(sortFont).ascent(),
                       QString::number(t->SortIndex()));
            p.setFont(f);
        }
    }
}

void TCustomDBGridX::DrawTitleGroups(QPainter& p, int col, THeadTreeNode* node, const QRect& cellRect,
                                     const QRect& nodeRect, bool endEllipsis, int dy, bool dark) {
    // Each group band is painted piecewise, the piece over this cell, with its text centred
    // over the whole band by margins that reach outside the cell. Where the band goes on,
    // the piece covers the column line too, so the pieces join into one band.
    THeadTreeNode* h = node->Host;
    if (!h || !h->Host) return;
    const int lw = options_.Has(dgColLines) ? 1 : 0;
    // The band (right and bottom exclusive, as the arithmetic of widths gives them).
    const int top = nodeRect.top() - h->Height;
    const int bottom = nodeRect.top() - (options_.Has(dgRowLines) ? 1 : 0);
    int left = nodeRect.left();
    for (THeadTreeNode* n = h->Child; n != node; n = n->Next) left -= n->Width + lw;
    const int right = left + h->Width;
    const int cellRight = cellRect.right() + 1;
    int leftOver = left - cellRect.left();
    int rightOver = cellRight - right;
    const bool startsHere = leftOver == 0, endsHere = rightOver == 0;
    // The last frozen column is followed on screen by another column once the grid is
    // scrolled: its piece stops at its line.
    const bool lastFrozen = frozenCols_ > 0 && col == FixedCols() - 1 && LeftCol() != FixedCols();
    QRect piece(QPoint(cellRect.left(), top), QPoint(cellRight - 1 + (!endsHere && !lastFrozen ? 1 : 0), bottom - 1));
    const bool fixed3D = optionsX_.Has(dghFixed3D);
    if (fixed3D) piece.adjust(0, 1, 0, -1);
    const QColor bg = dark ? kDarkHighlight : fixedColor_;
    p.fillRect(piece, bg);
    QRect textRect = piece;
    if (startsHere)
        textRect.setLeft(textRect.left() + 2);
    else
        leftOver += 2;
    if (endsHere)
        textRect.setRight(textRect.right() - 2);
    else
        rightOver += 2;
    p.setPen(dark ? QColor(Qt::white) : titleFont_.ColorOr(palette().color(QPalette::ButtonText)));
    p.setFont(titleFont_);
    WriteCellText(p, textRect, 0, dy, h->Text, taCenter, tlCenter, true, endEllipsis, leftOver, rightOver);
    h->Drawn = true;
    if (fixed3D) {
        piece.adjust(0, -1, 0, 1);
        p.setBrush(bg);
        DrawCellEdge(p, piece, endsHere, startsHere, dark, false);
    }
    if (options_.Has(dgRowLines)) {
        p.setPen(flat_ && !tarnStyle_ ? QColor(0x80, 0x80, 0x80) : QColor(Qt::black));
        p.drawLine(piece.left(), piece.bottom() + 1, piece.right(), piece.bottom() + 1);
    }
    if (h->Host && h->Host->Host) {
        h->Host->Drawn = true;
        DrawTitleGroups(p, col, h, cellRect, QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), endEllipsis, dy,
                        dark);
    }
}

void TCustomDBGridX::DrawDataCellFull(QPainter& p, int /*col*/, int row, QRect rect, const QRect& cellRect,
                                      TColumnX* column, TGridDrawState state, int dx, int dy, bool& dark) {
    TFont f = column->Font();
    QColor bg = column->Color();
    if (!dataLink_->Active()) {
        p.fillRect(rect, bg);
        return;
    }
    const int dataRow = row - titleOffset_;
    const int dataCol = column->Index();
    TActiveRecordGuard guard(*dataLink_);  // set back also when a hook raises
    if (dataRow >= dataLink_->RecordCount()) {
        const int fillerRow = footerRowCount_ > 0 ? RowCount() - footerRowCount_ - 1 : RowCount();
        if (footerRowCount_ > 0 && row > fillerRow) {
            DrawFooterCell(p, row, rect, cellRect, column, state, dx, dy);
            return;
        }
        const bool selected = footerRowCount_ > 0 &&
                              ((selection_->SelectionType() == gstColumns && selection_->Columns().Contains(column)) ||
                               selection_->SelectionType() == gstAll);
        p.fillRect(rect, selected ? palette().color(QPalette::Highlight) : bg);
        return;
    }
    dataLink_->SetActiveRecord(dataRow);
    const QRect button = EditButtonRect(column, cellRect);
    if (!button.isEmpty()) {
        // The column's edit button, in every data cell; the text keeps to the rest.
        if (GetColumnEditStyle(column) == esUpDown)
            PaintUpDownButton(p, this, button, dataLink_->Active());
        else
            PaintEditButton(p, this, button, GetColumnEditStyle(column), dataLink_->Active(), false);
        rect.setRight(rect.right() - editButtonWidth_);
        if (rect.width() <= 0) return;
    }
    const QString text = column->DisplayText();
    if (HighlightCell(dataCol, dataRow, text, state)) {
        bg = palette().color(QPalette::Highlight);
        f.Color = palette().color(QPalette::HighlightedText);
        dark = true;
    }
    GetCellParams(column, f, bg, state);
    const QColor fg = f.ColorOr(palette().color(QPalette::Text));
    p.setBrush(bg);
    if (DefaultDrawing && drawCurrency_ && column->IsMoneyColumn) {
        p.fillRect(rect, bg);
        const TCurrency amount = column->Field()->IsNull() ? 0 : CurrencyFromDoubleOr0(column->Field()->AsFloat());
        DrawMoneyCell(*currencyStyle_, p, CurrToStrFixed(amount, currencyStyle_->Digits()), rect, fg);
    } else if (DefaultDrawing) {
        const int kind = column->ColumnKind();
        if (kind != 5 && column->Field() && !text.isEmpty()) {
            const TAlignment alignment = column->Alignment();
            const bool wrap = column->WordWrap() && multiLineRows_;
            const bool ellipsis = column->EndEllipsis();
            textCache_.Paint(p, rect, rect, bg, fg, f, text, TextOptions(alignment, tlTop, wrap, ellipsis),
                             {dx, dy, 0, 0}, [&](QPainter& q, const QRect& r) {
                                 WriteCellText(q, r, dx, dy, text, alignment, tlTop, wrap, ellipsis, 0, 0);
                             });
        } else {
            p.fillRect(rect, bg);  // an empty text writes nothing
            p.setFont(f);
            p.setPen(fg);
        }
        if (kind == 5) {
            // A check box centred in the cell.
            const int bw = std::min(13, rect.width()), bh = std::min(13, rect.height());
            const QRect box(rect.left() + (rect.width() - bw) / 2, rect.top() + (rect.height() - bh) / 2, bw, bh);
            p.setPen(fg);
            p.setBrush(Qt::NoBrush);
            p.drawRect(box.adjusted(0, 0, -1, -1));
            const TCheckBoxState cs = column->GetCheckboxState();
            if (cs != cbUnchecked) {
                QPen pen(cs == cbGrayed ? QColor(128, 128, 128) : fg, 2);
                p.setPen(pen);
                p.drawLine(box.left() + 3, box.center().y(), box.center().x(), box.bottom() - 3);
                p.drawLine(box.center().x(), box.bottom() - 3, box.right() - 3, box.top() + 3);
            }
            p.setBrush(bg);
        }
    }
    if (columns_->State() == csDefault) DrawDataCell(rect, column->Field(), state);
    DrawColumnCell(rect, dataCol, column, state);
    if (DefaultDrawing && state.Has(gdSelected) && (options_.Has(dgAlwaysShowSelection) || Focused()) &&
        !options_.Has(dgRowSelect) && updateLock_ == 0 && Focused() && state.Has(gdFocused)) {
        QPen pen(fg, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

}  // namespace qm::grid
