#pragma once
// Where the framed panels put their lines: plain geometry, no widgets, so the pixel layout
// of every style can be checked and reused by any painter.

#include <QMargins>
#include <QRect>
#include <cstdint>
#include <vector>

namespace qm {

// Stored as one byte; the order is fixed (forms may keep the ordinal).
enum class TPTFrameStyle : std::uint8_t {
    ptfsNone,
    ptfsGroup,
    ptfsLowered,
    ptfsRaised,
    ptfsDint,
    ptfsBump,
    ptfsSingle,
    ptfsHorzLine,
    ptfsHorzEdge,
    ptfsVertLine,
    ptfsVertEdge,
};
inline constexpr int kFrameStyleCount = 11;

// Horizontal alignment of a caption drawn in the client area: left 0, right 1, centre 2.
enum class TPTAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

// The desktop's 3-D colours a frame is drawn in; the widget maps them to palette roles.
enum class FrameColor : std::uint8_t { BtnShadow, DkShadow, BtnFace, BtnHighlight, WindowFrame };

// One run of pixels of one colour; rect is exactly the pixels painted.
struct FrameSpan {
    QRect rect;
    FrameColor color;
    bool operator==(const FrameSpan&) const = default;
};

// Height of the group caption band: the text height with a caption, else 2.
inline int GroupBandHeight(bool hasCaption, int textHeight) { return hasCaption ? textHeight : 2; }

// Space the frame takes from each side of the panel. textHeight is the height of the panel's
// font; only the group style with a caption uses it (the caption sits in the top band).
QMargins FrameInsets(TPTFrameStyle style, bool hasCaption, int textHeight);

// Pixel spans of a polyline through the points: every segment runs from its start point
// (painted) to its end point (not painted), so the polyline's last point stays unpainted.
// Segments are horizontal or vertical.
std::vector<QRect> PolylineSpans(std::initializer_list<QPoint> points);

// Pixel spans of a hollow rectangle whose edges lie on left..right, top..bottom (inclusive).
std::vector<QRect> HollowRectSpans(int left, int top, int right, int bottom);

// The lines of a style inside the panel rectangle r (r = the whole panel, from (0,0)), in
// painting order. The group style gives its etched frame for a band of height bandHeight;
// its background fill and caption are the painter's.
std::vector<FrameSpan> FrameSpans(TPTFrameStyle style, const QRect& r, int bandHeight = 2);

// The group caption's rectangle: from 8 pixels right of the left edge to 9 left of the right
// edge (inclusive coordinates), over the band's height. May be empty on a narrow panel.
QRect GroupCaptionRect(const QRect& r, int bandHeight);

}  // namespace qm
