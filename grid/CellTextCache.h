#pragma once
// Finished pixels of cell texts. Shaping a text and blending its glyphs is most of what a
// grid's paint costs, and most cells of a register repeat a few texts (codes, yes/no, years,
// the titles on every paint), so a cell whose content was painted before is copied from here.
// The key holds everything the pixels depend on: the text, the font and the device's kind and
// resolution, both colours, the render hints, the cell's size and where and how the text is
// written in it. A width, font, colour or text change therefore only misses; it can never
// draw stale pixels. (What a font inherits from the widget is not in the key: the grid
// clears the cache when the widget's font changes.)
//
// Admission is on the second sighting: a text seen once (a person's number while paging)
// is drawn directly and costs no more than without the cache.

#include "core/base/TwoGenerationCache.h"
#include "platform/CellScratch.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSet>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace qm::grid {

struct TCellTextKey {
    QString text;
    int fontSlot = -1;
    QRgb fg = 0, bg = 0;
    uint32_t flags = 0;              // the writer's options and the painter's render hints
    std::array<int, 10> geometry{};  // fill size, text rectangle relative to it, the writer's offsets
    size_t hash = 0;                 // of all the above, worked out once when the key is made
    bool operator==(const TCellTextKey&) const = default;
};
inline size_t qHash(const TCellTextKey& k, size_t seed = 0) { return k.hash ^ seed; }

class TCellTextCache {
public:
    // Limits of one generation; two generations are kept (the current and the previous one),
    // so a text in use survives a turnover.
    static constexpr qsizetype kMaxEntries = 4096;
    static constexpr qsizetype kMaxImageBytes = 4 * 1024 * 1024;
    // Texts seen once are remembered by their hash only, this many at most.
    static constexpr qsizetype kMaxSeen = 32768;
    // Pixels of room around a cell in which ink outside the cell is looked for.
    static constexpr int kMargin = CellScratch::kMargin;

    TCellTextCache();
    ~TCellTextCache();
    TCellTextCache(const TCellTextCache&) = delete;
    TCellTextCache& operator=(const TCellTextCache&) = delete;

    // Disabled, every text is written directly; what is kept stays for when it is enabled again.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    void Clear();

    // Called once at the start of a paint: whether this painter's pixels can be copied
    // (an integral translation only, full opacity, plain source-over, transparent text
    // background, device pixel ratio 1).
    void BeginPaint(QPainter& p);

    // Fills `fill` with `bg` and has `write(painter, textRect)` write the text with `font` and
    // `fg`; from the cache when the same content was painted before. `options` and `offsets`
    // carry every other setting of the writer (alignment, layout, offsets, margins...).
    template <class Write>
    void Paint(QPainter& p, const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg,
               const QFont& font, const QString& text, uint32_t options, const std::array<int, 4>& offsets,
               Write&& write) {
        TCellTextKey key;
        if (!MakeKey(fill, textRect, bg, fg, font, text, options, offsets, key)) {
            Direct(p, fill, textRect, bg, fg, font, write);
            return;
        }
        if (const Entry* e = kept_.Find(key)) {
            if (e->image.isNull()) {
                Direct(p, fill, textRect, bg, fg, font, write);
            } else {
                p.drawImage(fill.topLeft(), e->image);
                ++hits_;
            }
            return;
        }
        if (!SeenBefore(key)) {
            Direct(p, fill, textRect, bg, fg, font, write);
            return;
        }
        // Second sighting: write it apart and keep it, unless ink fell outside the cell (then
        // it is remembered as one to write directly).
        p.setFont(font);
        QPainter& q = Scratch(fill, bg, p.renderHints());
        q.setFont(Resolved(p.font()));
        q.setPen(fg);
        write(q, textRect.translated(kMargin - fill.left(), kMargin - fill.top()));
        const QImage img = scratch_.Crop(fill.size(), bg.rgb());
        kept_.Insert(key, Entry{img}, img.sizeInBytes());
        if (img.isNull())
            Direct(p, fill, textRect, bg, fg, font, write);
        else
            p.drawImage(fill.topLeft(), img);
    }

    // Figures for tests and the benchmark.
    qsizetype Hits() const { return hits_; }
    qsizetype ImageCount() const;
    qsizetype EntryCount() const { return kept_.Size(); }
    qsizetype SeenCount() const { return seen_.size(); }

private:
    // A null image marks a text that is always written directly.
    struct Entry {
        QImage image;
    };
    struct FontSlot {
        QFont font;
        int devType, dpiX, dpiY;
    };

    bool MakeKey(const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg, const QFont& font,
                 const QString& text, uint32_t options, const std::array<int, 4>& offsets, TCellTextKey& key);
    int SlotOf(const QFont& font);
    bool SeenBefore(const TCellTextKey& key);
    // The scratch painter, its area (the fill rectangle and a margin at the origin) filled
    // with `bg`, clipped to that area, in the state of a fresh painter with `hints`.
    QPainter& Scratch(const QRect& fill, const QColor& bg, QPainter::RenderHints hints);
    // The font exactly as the device's painter resolved it (what the widget inherits
    // included), so that the scratch image resolves nothing differently.
    static QFont Resolved(QFont f) {
        f.setResolveMask(QFont::AllPropertiesResolved);
        return f;
    }

    template <class Write>
    static void Direct(QPainter& p, const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg,
                       const QFont& font, Write& write) {
        p.fillRect(fill, bg);
        p.setFont(font);
        p.setPen(fg);
        write(p, textRect);
    }

    bool enabled_ = true;
    bool usable_ = false;
    int devType_ = 0, dpiX_ = 0, dpiY_ = 0;
    uint32_t hints_ = 0;  // render hints and layout direction
    Qt::LayoutDirection direction_ = Qt::LeftToRight;
    std::vector<FontSlot> slots_;
    TwoGenerationCache<TCellTextKey, Entry> kept_{kMaxEntries, kMaxImageBytes};
    QSet<size_t> seen_;
    qsizetype hits_ = 0;
    CellScratch scratch_;
};

}  // namespace qm::grid
