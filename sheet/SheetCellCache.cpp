#include "sheet/SheetCellCache.h"

#include <QPaintDevice>
#include <QStyleOptionViewItem>
#include <QWidget>

#include <algorithm>

namespace qm {

size_t qHash(const SheetCellKey& k, size_t seed) {
    return qHashMulti(seed, k.text, k.look, k.state, k.features, k.palette, k.base, k.slot, k.hints, k.pen, k.brush,
                      k.width, k.height);
}

SheetCellCache::SheetCellCache() = default;
SheetCellCache::~SheetCellCache() = default;

void SheetCellCache::Clear() {
    kept_.Clear();
    slots_.clear();
}

qsizetype SheetCellCache::ImageCount() const {
    return kept_.CountIf([](const Entry& e) { return !e.image.isNull(); });
}

int SheetCellCache::SlotOf(const FontSlot& slot) {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i] == slot) return int(i);
    if (slots_.size() >= 32) Clear();  // keys refer to slots by index
    slots_.push_back(slot);
    return int(slots_.size()) - 1;
}

bool SheetCellCache::MakeKey(const QPainter& p, const QStyleOptionViewItem& o, const QString& text, quint32 look,
                             const QBrush& background, SheetCellKey& key) {
    const QPaintDevice* d = p.device();
    const QRect& r = o.rect;
    if (!enabled_ || !d || !o.widget || r.isEmpty() || r.width() > 2048 || r.height() > 512) return false;
    // Pixels can be copied only where the painter puts them on whole device pixels as they are.
    const QTransform& t = p.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != qRound(t.dx()) || t.dy() != qRound(t.dy())) return false;
    if (p.opacity() != 1.0 || p.compositionMode() != QPainter::CompositionMode_SourceOver ||
        p.backgroundMode() != Qt::TransparentMode || d->devicePixelRatio() != 1.0)
        return false;
    if (background.style() != Qt::SolidPattern || !background.color().isValid() || background.color().alpha() != 255)
        return false;
    key.text = text;
    key.look = look;
    key.state = quint32(o.state.toInt());
    key.features = quint32(o.features.toInt()) | quint32(o.textElideMode) << 8 | quint32(o.direction) << 12 |
                   quint32(o.showDecorationSelected) << 14 | quint32(o.viewItemPosition) << 16 |
                   quint32(o.palette.currentColorGroup()) << 20 | quint32(o.displayAlignment.toInt()) << 24;
    key.palette = o.palette.cacheKey();
    key.base = background.color().rgba();
    key.slot = SlotOf(FontSlot{o.font, p.font(), o.widget->style(), d->logicalDpiX(), d->logicalDpiY()});
    key.hints = quint32(p.renderHints().toInt()) | quint32(p.layoutDirection()) << 12 | quint32(p.pen().style()) << 16 |
                quint32(p.brush().style()) << 20;
    key.pen = p.pen().color().rgba();
    key.brush = p.brush().color().rgba();
    key.width = r.width();
    key.height = r.height();
    return true;
}

QPainter& SheetCellCache::Scratch(const QPainter& p, const QRect& cell, const QColor& bg) {
    const QPaintDevice* d = p.device();
    QPainter& q =
        scratch_.Begin(cell.size(), bg, d->logicalDpiX(), d->logicalDpiY(), p.renderHints(), p.layoutDirection());
    // The view's painter as the cell finds it, moved so the cell lands inside the margin.
    q.setFont(p.font());
    q.setPen(p.pen());
    q.setBrush(p.brush());
    q.translate(kMargin - cell.left(), kMargin - cell.top());
    return q;
}

void SheetCellCache::Paint(QPainter& p, const QStyleOptionViewItem& option, const QString& text, quint32 look,
                           const QBrush& background, const std::function<void(QPainter&)>& underlay,
                           const std::function<void(QPainter&)>& draw) {
    SheetCellKey key;
    if (!MakeKey(p, option, text, look, background, key)) {
        draw(p);
        return;
    }
    if (const Entry* e = kept_.Find(key)) {
        if (e->image.isNull()) {
            draw(p);
        } else {
            p.drawImage(option.rect.topLeft(), e->image);
            ++hits_;
        }
        return;
    }
    // Painted apart over what lies under it in the view and kept, unless ink fell outside the
    // cell (then it is remembered as one to draw directly).
    QPainter& q = Scratch(p, option.rect, background.color());
    underlay(q);
    draw(q);
    const QImage image = scratch_.Crop(option.rect.size(), background.color().rgb());
    kept_.Insert(key, Entry{image}, image.sizeInBytes());
    if (image.isNull())
        draw(p);
    else
        p.drawImage(option.rect.topLeft(), image);
}

}  // namespace qm
