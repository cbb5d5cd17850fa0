#pragma once
// A font as the grid's cells, titles and footers carry it: the face and the colour of the
// text. Hooks that change a cell's look (OnGetCellParams, OnGetFooterParams) change both.

#include <QColor>
#include <QFont>

namespace qm::grid {

class TFont : public QFont {
public:
    TFont() = default;
    TFont(const QFont& f, const QColor& color = QColor()) : QFont(f), Color(color) {}
    // The text colour; invalid means the text colour of the palette where the text is drawn.
    QColor Color;
    QColor ColorOr(const QColor& fallback) const { return Color.isValid() ? Color : fallback; }
};

}  // namespace qm::grid
