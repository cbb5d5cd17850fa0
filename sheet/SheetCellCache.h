#pragma once
// Finished pixels of sheet cells. Laying out and shaping a cell's text through the style is
// nearly all a sheet's paint costs, and a staff sheet repeats a few texts in most of its
// cells (sex, yes/no, the code lists' names, the title rows on every paint), so a cell whose
// look was painted before is copied from here.
//
// A cell is kept as the style drew it, background and focus frame included, over the
// viewport's own background. The key holds everything those pixels depend on: the text and
// the sheet's look of the cell (mark, title row, font size and weight), the cell's size, the
// item state and features, the palette, the viewport's background, the font and style of the
// view and the painter's render hints. A change of any of them only misses; it never shows
// stale pixels.
//
// A cell is kept from its first paint on: painting it apart costs about what drawing it does,
// and a sheet is painted whole again and again (activation, a reload after a save, a window
// uncovered) with the same texts in the same cells.

#include "core/base/TwoGenerationCache.h"
#include "platform/CellScratch.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

class QStyle;
class QStyleOptionViewItem;

namespace qm {

struct SheetCellKey {
    QString text;
    quint32 look = 0;  // the sheet's look of the cell, packed by the caller
    quint32 state = 0, features = 0;
    qint64 palette = 0;
    QRgb base = 0;
    int slot = -1;  // fonts, style and resolution
    quint32 hints = 0;
    QRgb pen = 0, brush = 0;
    int width = 0, height = 0;
    bool operator==(const SheetCellKey&) const = default;
};
size_t qHash(const SheetCellKey& k, size_t seed = 0);

class SheetCellCache {
public:
    // Limits of one generation; two are kept (the current and the previous one), so a cell
    // in use survives a turnover.
    static constexpr qsizetype kMaxEntries = 4096;
    static constexpr qsizetype kMaxImageBytes = 4 * 1024 * 1024;  // a full screen's distinct cells
    // Pixels of room around a cell in which ink outside the cell is looked for.
    static constexpr int kMargin = CellScratch::kMargin;

    SheetCellCache();
    ~SheetCellCache();
    SheetCellCache(const SheetCellCache&) = delete;
    SheetCellCache& operator=(const SheetCellCache&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    void Clear();

    // Paints the cell `option.rect` on `p`: from the cache when a cell of the same key was
    // painted before, else by `draw`, which draws the item on the painter it is given as
    // the view draws it on its own. `underlay` draws what the view puts under the item before
    // it (the row panel); it runs only for pixels painted apart, since the view has drawn it
    // on `p` already. `background` is the viewport's background under the cell.
    void Paint(QPainter& p, const QStyleOptionViewItem& option, const QString& text, quint32 look,
               const QBrush& background, const std::function<void(QPainter&)>& underlay,
               const std::function<void(QPainter&)>& draw);

    // Figures for tests and the benchmark.
    qsizetype Hits() const { return hits_; }
    qsizetype ImageCount() const;

private:
    struct Entry {
        QImage image;  // null: a cell whose ink leaves its rectangle, always drawn directly
    };
    struct FontSlot {
        QFont item, painter;
        const QStyle* style;
        int dpiX, dpiY;
        bool operator==(const FontSlot&) const = default;
    };

    bool MakeKey(const QPainter& p, const QStyleOptionViewItem& option, const QString& text, quint32 look,
                 const QBrush& background, SheetCellKey& key);
    int SlotOf(const FontSlot& slot);
    QPainter& Scratch(const QPainter& p, const QRect& cell, const QColor& bg);

    bool enabled_ = true;
    std::vector<FontSlot> slots_;
    TwoGenerationCache<SheetCellKey, Entry> kept_{kMaxEntries, kMaxImageBytes};
    qsizetype hits_ = 0;
    CellScratch scratch_;
};

}  // namespace qm
