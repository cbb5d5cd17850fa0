#pragma once
// Finished pixels of cell texts. Shaping a text and blending its glyphs is most of what a
// grid's paint costs, and most cells of a register repeat a few texts (codes, yes/no, years,
// the titles on every paint), so a cell whose content was painted before is copied from here.
// The key holds everything the pixels depend on: the text, the font and the device's kind and
// resolution, both colours, the render hints, the cell's size and where and how the text is
// written in it. A width, font, colour or text change therefore only misses; it can never
// draw stale pixels.
//
// Admission is on the second sighting: a text seen once (a person's number while paging)
// is drawn directly and costs no more than without the cache.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace qm::grid {

struct TCellTextKey {
    QString text;
    int fontSlot = -1;
    QRgb fg = 0, bg = 0;
    uint32_t flags = 0;            // the writer's options and the painter's render hints
    std::array<int, 10> geometry{};  // fill size, text rectangle relative to it, the writer's offsets
    bool operator==(const TCellTextKey&) const = default;
};
size_t qHash(const TCellTextKey& k, size_t seed = 0);

class TCellTextCache {
public:
    // Limits of one generation; two generations are kept (the current and the previous one),
    // so a text in use survives a turnover.
    static constexpr qsizetype kMaxEntries = 16384;
    static constexpr qsizetype kMaxImageBytes = 6 * 1024 * 1024;
    // Pixels of room around a cell in which ink outside the cell is looked for.
    static constexpr int kMargin = 4;

    // Disabled, every text is written directly; what is kept stays for when it is enabled again.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    void Clear();

    // Called once at the start of a paint: whether this painter's pixels can be copied
    // (an integral translation only, full opacity, plain source-over, device pixel ratio 1).
    void BeginPaint(QPainter& p);

    // Fills `fill` with `bg` and has `write(painter, textRect)` write the text with `font` and
    // `fg`; from the cache when the same content was painted before. `options` carries every
    // setting of the writer that is not a rectangle (alignment, layout, margins...).
    template <class Write>
    void Paint(QPainter& p, const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg,
               const QFont& font, const QString& text, uint32_t options, const std::array<int, 4>& offsets,
               Write&& write) {
        TCellTextKey key;
        if (!MakeKey(p, fill, textRect, bg, fg, font, text, options, offsets, key)) {
            Direct(p, fill, textRect, bg, fg, font, write);
            return;
        }
        Entry* e = Find(key);
        if (e && e->state == State::Image) {
            p.drawImage(fill.topLeft(), e->image);
            ++hits_;
            return;
        }
        if (e && e->state == State::Seen) {
            // Second sighting: render it apart; keep it when no ink falls outside the cell.
            QImage img = Render(p, fill, textRect, bg, fg, font, write);
            if (!img.isNull()) {
                Store(key, State::Image, img);
                p.drawImage(fill.topLeft(), img);
                return;
            }
            Store(key, State::Direct, {});
        } else if (!e) {
            Store(key, State::Seen, {});
        }
        Direct(p, fill, textRect, bg, fg, font, write);
    }

    // Figures for tests and the benchmark.
    qsizetype Hits() const { return hits_; }
    qsizetype ImageCount() const;
    qsizetype EntryCount() const { return current_.size() + previous_.size(); }

private:
    enum class State : uint8_t { Seen, Image, Direct };
    struct Entry {
        QImage image;
        State state = State::Seen;
    };
    struct FontSlot {
        QFont font;
        int devType, dpiX, dpiY;
    };

    bool MakeKey(QPainter& p, const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg,
                 const QFont& font, const QString& text, uint32_t options, const std::array<int, 4>& offsets,
                 TCellTextKey& key);
    int SlotOf(const QFont& font);
    Entry* Find(const TCellTextKey& key);
    void Store(const TCellTextKey& key, State state, const QImage& image);
    // A fresh image of the fill rectangle and a margin, ready to be written on.
    QImage Canvas(const QRect& fill, const QColor& bg) const;
    // The cell's pixels, or a null image when ink fell into the margin.
    QImage Crop(const QImage& canvas, const QRect& fill, QRgb bg) const;

    template <class Write>
    static void Direct(QPainter& p, const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg,
                       const QFont& font, Write& write) {
        p.fillRect(fill, bg);
        p.setFont(font);
        p.setPen(fg);
        write(p, textRect);
    }

    template <class Write>
    QImage Render(QPainter& p, const QRect& fill, const QRect& textRect, const QColor& bg, const QColor& fg,
                  const QFont& font, Write& write) const {
        p.setFont(font);  // the font as this device resolves it
        QImage canvas = Canvas(fill, bg);
        {
            QPainter q(&canvas);
            q.setRenderHints(p.renderHints());
            q.setFont(p.font());
            q.setPen(fg);
            write(q, textRect.translated(kMargin - fill.left(), kMargin - fill.top()));
        }
        return Crop(canvas, fill, bg.rgb());
    }

    bool enabled_ = true;
    bool usable_ = false;
    int devType_ = 0, dpiX_ = 0, dpiY_ = 0;
    uint32_t hints_ = 0;
    std::vector<FontSlot> slots_;
    QHash<TCellTextKey, Entry> current_, previous_;
    qsizetype currentBytes_ = 0;
    qsizetype hits_ = 0;
};

}  // namespace qm::grid
