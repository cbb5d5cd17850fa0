#pragma once
// A font as the grid's cells, titles and footers carry it: the face and the colour of the
// text. Hooks that change a cell's look (OnGetCellParams, OnGetFooterParams) change both.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace qm::grid {

class TFont : public QFont {
public:
    TFont() = default;
    TFont(const QFont& f, const QColor& color = QColor()) : QFont(f), Color(color) {}
    // The text colour; invalid means the text colour of the palette where the text is drawn.
    QColor Color;
    QColor ColorOr(const QColor& fallback) const { return Color.isValid() ? Color : fallback; }
};

// The height of a line of text in `f` as wrapped text lays it out: the taller of the font's
// own face and the face its Chinese characters are drawn in, which a Latin font lends from a
// fallback taller than itself (12 pixels: 14 against 18).
inline int LineHeightOf(const QFont& f) {
    QTextLayout layout(QStringLiteral("Wg国"), f);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return std::max(QFontMetrics(f).height(), int(std::ceil(line.ascent() + line.descent())));
}

}  // namespace qm::grid
