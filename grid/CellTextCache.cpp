#include "grid/CellTextCache.h"

#include <QPaintDevice>

#include <algorithm>

namespace qm::grid {

TCellTextCache::TCellTextCache() = default;
TCellTextCache::~TCellTextCache() = default;

void TCellTextCache::Clear() {
    kept_.Clear();
    seen_.clear();
    slots_.clear();
}

qsizetype TCellTextCache::ImageCount() const {
    return kept_.CountIf([](const Entry& e) { return !e.image.isNull(); });
}

void TCellTextCache::BeginPaint(QPainter& p) {
    usable_ = false;
    QPaintDevice* d = p.device();
    if (!enabled_ || !d) return;
    const QTransform& t = p.deviceTransform();
    const bool integral = t.type() <= QTransform::TxTranslate && t.dx() == qRound(t.dx()) && t.dy() == qRound(t.dy());
    usable_ = integral && p.opacity() == 1.0 && p.compositionMode() == QPainter::CompositionMode_SourceOver &&
              p.backgroundMode() == Qt::TransparentMode && d->devicePixelRatio() == 1.0;
    devType_ = d->devType();
    dpiX_ = d->logicalDpiX();
    dpiY_ = d->logicalDpiY();
    hints_ = uint32_t(p.renderHints().toInt()) | uint32_t(p.layoutDirection()) << 12;
    direction_ = p.layoutDirection();
}

int TCellTextCache::SlotOf(const QFont& font) {
    for (size_t i = 0; i < slots_.size(); ++i) {
        const FontSlot& s = slots_[i];
        if (s.devType == devType_ && s.dpiX == dpiX_ && s.dpiY == dpiY_ && s.font == font) return int(i);
    }
    if (slots_.size() >= 32) Clear();  // keys refer to slots by index
    slots_.push_back({font, devType_, dpiX_, dpiY_});
    return int(slots_.size()) - 1;
}

bool TCellTextCache::MakeKey(const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg,
                             const QFont& font, const QString& text, uint32_t options,
                             const std::array<int, 4>& offsets, TCellTextKey& key) {
    if (!enabled_ || !usable_ || bg.alpha() != 255 || fill.isEmpty() || text.isEmpty()) return false;
    if (fill.width() > 1024 || fill.height() > 256) return false;
    if (!fill.adjusted(-kMargin, -kMargin, kMargin, kMargin).contains(textRect)) return false;
    key.text = text;
    key.fontSlot = SlotOf(font);
    key.fg = fg.rgba();
    key.bg = bg.rgba();
    key.flags = options | hints_ << 16;
    key.geometry = {fill.width(),
                    fill.height(),
                    textRect.left() - fill.left(),
                    textRect.top() - fill.top(),
                    textRect.width(),
                    textRect.height(),
                    offsets[0],
                    offsets[1],
                    offsets[2],
                    offsets[3]};
    size_t h = qHashMulti(::qHash(key.text), key.fontSlot, key.fg, key.bg, key.flags);
    for (int g : key.geometry) h = qHashMulti(h, g);
    key.hash = h;
    return true;
}

bool TCellTextCache::SeenBefore(const TCellTextKey& key) {
    // By hash alone: a collision only admits a text one sighting early.
    const size_t h = key.hash;
    if (seen_.remove(h)) return true;
    if (seen_.size() >= kMaxSeen) seen_.clear();
    seen_.insert(h);
    return false;
}

QPainter& TCellTextCache::Scratch(const QRect& fill, const QColor& bg, QPainter::RenderHints hints) {
    QPainter& q = scratch_.Begin(fill.size(), bg, dpiX_, dpiY_, hints, direction_);
    q.setBrush(Qt::NoBrush);
    return q;
}

}  // namespace qm::grid
