#include "grid/CellTextCache.h"

#include <QPaintDevice>

#include <cstring>

namespace qm::grid {

size_t qHash(const TCellTextKey& k, size_t seed) {
    size_t h = ::qHash(k.text, seed);
    h = qHashMulti(h, k.fontSlot, k.fg, k.bg, k.flags);
    for (int g : k.geometry) h = qHashMulti(h, g);
    return h;
}

void TCellTextCache::SetEnabled(bool v) { enabled_ = v; }

void TCellTextCache::Clear() {
    current_.clear();
    previous_.clear();
    slots_.clear();
    currentBytes_ = 0;
}

qsizetype TCellTextCache::ImageCount() const {
    qsizetype n = 0;
    for (const auto* m : {&current_, &previous_})
        for (const Entry& e : *m) n += e.state == State::Image;
    return n;
}

void TCellTextCache::BeginPaint(QPainter& p) {
    usable_ = false;
    QPaintDevice* d = p.device();
    if (!enabled_ || !d) return;
    const QTransform& t = p.deviceTransform();
    const bool integral = t.type() <= QTransform::TxTranslate && t.dx() == qRound(t.dx()) && t.dy() == qRound(t.dy());
    usable_ = integral && p.opacity() == 1.0 && p.compositionMode() == QPainter::CompositionMode_SourceOver &&
              d->devicePixelRatio() == 1.0;
    devType_ = d->devType();
    dpiX_ = d->logicalDpiX();
    dpiY_ = d->logicalDpiY();
    hints_ = uint32_t(p.renderHints().toInt());
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

bool TCellTextCache::MakeKey(QPainter&, const QRect& fill, const QRect& textRect, const QColor& bg,
                             const QColor& fg, const QFont& font, const QString& text, uint32_t options,
                             const std::array<int, 4>& offsets, TCellTextKey& key) {
    if (!enabled_ || !usable_ || bg.alpha() != 255 || fill.isEmpty() || text.isEmpty()) return false;
    if (fill.width() > 1024 || fill.height() > 256) return false;
    if (!fill.adjusted(-kMargin, -kMargin, kMargin, kMargin).contains(textRect)) return false;
    key.text = text;
    key.fontSlot = SlotOf(font);
    key.fg = fg.rgba();
    key.bg = bg.rgba();
    key.flags = options | hints_ << 16;
    key.geometry = {fill.width(), fill.height(), textRect.left() - fill.left(), textRect.top() - fill.top(),
                    textRect.width(), textRect.height(), offsets[0], offsets[1], offsets[2], offsets[3]};
    return true;
}

TCellTextCache::Entry* TCellTextCache::Find(const TCellTextKey& key) {
    auto it = current_.find(key);
    if (it != current_.end()) return &it.value();
    auto old = previous_.find(key);
    if (old == previous_.end()) return nullptr;
    // Still in use: bring it into the current generation.
    Entry e = std::move(old.value());
    previous_.erase(old);
    Store(key, e.state, e.image);
    return &current_.find(key).value();
}

void TCellTextCache::Store(const TCellTextKey& key, State state, const QImage& image) {
    const qsizetype bytes = image.sizeInBytes();
    if (current_.size() >= kMaxEntries || currentBytes_ + bytes > kMaxImageBytes) {
        previous_ = std::move(current_);
        current_ = {};
        currentBytes_ = 0;
    }
    auto it = current_.find(key);
    if (it != current_.end()) currentBytes_ -= it->image.sizeInBytes();
    current_.insert(key, Entry{image, state});
    currentBytes_ += bytes;
}

QImage TCellTextCache::Canvas(const QRect& fill, const QColor& bg) const {
    QImage img(fill.width() + 2 * kMargin, fill.height() + 2 * kMargin, QImage::Format_RGB32);
    // The same resolution as the device, so point-sized fonts come out the same size.
    img.setDotsPerMeterX(qRound(dpiX_ / 0.0254));
    img.setDotsPerMeterY(qRound(dpiY_ / 0.0254));
    img.fill(bg);
    return img;
}

QImage TCellTextCache::Crop(const QImage& canvas, const QRect& fill, QRgb bg) const {
    const QRgb px = 0xFF000000u | bg;
    const int w = canvas.width(), h = canvas.height();
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        const bool marginRow = y < kMargin || y >= h - kMargin;
        for (int x = 0; x < w; ++x) {
            if (!marginRow && x == kMargin) x = w - kMargin;  // skip the cell itself
            if (line[x] != px) return {};
        }
    }
    return canvas.copy(kMargin, kMargin, fill.width(), fill.height());
}

}  // namespace qm::grid
