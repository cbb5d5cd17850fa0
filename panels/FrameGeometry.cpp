#include "panels/FrameGeometry.h"

#include <algorithm>

namespace qm {

QMargins FrameInsets(TPTFrameStyle style, bool hasCaption, int textHeight) {
    switch (style) {
    case TPTFrameStyle::ptfsNone: return {0, 0, 0, 0};
    case TPTFrameStyle::ptfsGroup: return {2, GroupBandHeight(hasCaption, textHeight), 2, 2};
    case TPTFrameStyle::ptfsLowered:
    case TPTFrameStyle::ptfsRaised: return {2, 2, 2, 2};
    case TPTFrameStyle::ptfsDint:
    case TPTFrameStyle::ptfsBump:
    case TPTFrameStyle::ptfsSingle: return {1, 1, 1, 1};
    case TPTFrameStyle::ptfsHorzLine: return {0, 2, 0, 0};
    case TPTFrameStyle::ptfsHorzEdge: return {0, 2, 0, 2};
    case TPTFrameStyle::ptfsVertLine: return {2, 0, 0, 0};
    case TPTFrameStyle::ptfsVertEdge: return {2, 0, 2, 0};
    }
    return {0, 0, 0, 0};
}

std::vector<QRect> PolylineSpans(std::initializer_list<QPoint> points) {
    std::vector<QRect> spans;
    if (points.size() < 2) return spans;
    const QPoint* p = points.begin();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const QPoint a = p[i], b = p[i + 1];
        if (a == b) continue;
        if (a.y() == b.y()) {
            // Horizontal: a inclusive, b exclusive, in either direction.
            const int x0 = a.x() < b.x() ? a.x() : b.x() + 1;
            const int x1 = a.x() < b.x() ? b.x() - 1 : a.x();
            spans.emplace_back(QPoint(x0, a.y()), QPoint(x1, a.y()));
        } else {
            const int y0 = a.y() < b.y() ? a.y() : b.y() + 1;
            const int y1 = a.y() < b.y() ? b.y() - 1 : a.y();
            spans.emplace_back(QPoint(a.x(), y0), QPoint(a.x(), y1));
        }
    }
    return spans;
}

std::vector<QRect> HollowRectSpans(int left, int top, int right, int bottom) {
    if (right < left || bottom < top) return {};
    std::vector<QRect> spans;
    spans.emplace_back(QPoint(left, top), QPoint(right, top));
    if (bottom > top) spans.emplace_back(QPoint(left, bottom), QPoint(right, bottom));
    if (bottom - top >= 2) {
        spans.emplace_back(QPoint(left, top + 1), QPoint(left, bottom - 1));
        if (right > left) spans.emplace_back(QPoint(right, top + 1), QPoint(right, bottom - 1));
    }
    return spans;
}

namespace {

void Add(std::vector<FrameSpan>& out, const std::vector<QRect>& rects, FrameColor c) {
    for (const QRect& r : rects)
        if (r.isValid()) out.push_back({r, c});
}

// The two-colour edge of the 1-pixel styles: top-left in c1, bottom-right in c2.
void Edge(std::vector<FrameSpan>& out, int L, int T, int R, int B, FrameColor c1, FrameColor c2) {
    Add(out, PolylineSpans({{L, B - 1}, {L, T}, {R, T}}), c1);
    Add(out, PolylineSpans({{L, B}, {R, B}, {R, T - 1}}), c2);
}

// The 2-pixel bevel: outer top-left, inner top-left, inner bottom-right, outer bottom-right.
void Bevel(std::vector<FrameSpan>& out, int L, int T, int R, int B, FrameColor c1, FrameColor c2, FrameColor c3,
           FrameColor c4) {
    Add(out, PolylineSpans({{L, B - 1}, {L, T}, {R, T}}), c1);
    Add(out, PolylineSpans({{L + 1, B - 2}, {L + 1, T + 1}, {R - 1, T + 1}}), c2);
    Add(out, PolylineSpans({{L + 1, B - 1}, {R - 1, B - 1}, {R - 1, T}}), c3);
    Add(out, PolylineSpans({{L, B}, {R, B}, {R, T - 1}}), c4);
}

QRect Row(int y, int x0, int x1) { return QRect(QPoint(x0, y), QPoint(x1, y)); }
QRect Col(int x, int y0, int y1) { return QRect(QPoint(x, y0), QPoint(x, y1)); }

}  // namespace

std::vector<FrameSpan> FrameSpans(TPTFrameStyle style, const QRect& r, int bandHeight) {
    std::vector<FrameSpan> out;
    if (r.isEmpty()) return out;
    // Inclusive corners of the panel.
    const int L = r.left(), T = r.top(), R = r.right(), B = r.bottom();
    using C = FrameColor;
    switch (style) {
    case TPTFrameStyle::ptfsNone: break;
    case TPTFrameStyle::ptfsGroup: {
        // Etched frame: highlight one pixel right and down, shadow on top of it. The top
        // line passes through the middle of the caption band.
        const int h2 = bandHeight / 2;
        Add(out, HollowRectSpans(L + 1, T + h2, R, B), C::BtnHighlight);
        Add(out, HollowRectSpans(L, T + h2 - 1, R - 1, B - 1), C::BtnShadow);
        break;
    }
    case TPTFrameStyle::ptfsLowered:
        Bevel(out, L, T, R, B, C::BtnShadow, C::DkShadow, C::BtnFace, C::BtnHighlight);
        break;
    case TPTFrameStyle::ptfsRaised:
        Bevel(out, L, T, R, B, C::BtnHighlight, C::BtnFace, C::BtnShadow, C::DkShadow);
        break;
    case TPTFrameStyle::ptfsDint: Edge(out, L, T, R, B, C::BtnShadow, C::BtnHighlight); break;
    case TPTFrameStyle::ptfsBump: Edge(out, L, T, R, B, C::BtnHighlight, C::BtnShadow); break;
    case TPTFrameStyle::ptfsSingle: Add(out, HollowRectSpans(L, T, R, B), C::WindowFrame); break;
    // The line styles draw both shadow lines first, then both highlight lines.
    case TPTFrameStyle::ptfsHorzLine:
        Add(out, {Row(T, L, R)}, C::BtnShadow);
        Add(out, {Row(T + 1, L, R)}, C::BtnHighlight);
        break;
    case TPTFrameStyle::ptfsHorzEdge:
        Add(out, {Row(T, L, R), Row(B - 1, L, R)}, C::BtnShadow);
        Add(out, {Row(T + 1, L, R), Row(B, L, R)}, C::BtnHighlight);
        break;
    case TPTFrameStyle::ptfsVertLine:
        Add(out, {Col(L, T, B)}, C::BtnShadow);
        Add(out, {Col(L + 1, T, B)}, C::BtnHighlight);
        break;
    case TPTFrameStyle::ptfsVertEdge:
        Add(out, {Col(L, T, B), Col(R - 1, T, B)}, C::BtnShadow);
        Add(out, {Col(L + 1, T, B), Col(R, T, B)}, C::BtnHighlight);
        break;
    }
    return out;
}

QRect GroupCaptionRect(const QRect& r, int bandHeight) {
    // Right edge R-9 is exclusive, so the last usable column is R-10.
    const int x0 = r.left() + 8;
    const int x1 = r.right() - 9;
    return QRect(x0, r.top(), std::max(0, x1 - x0), bandHeight);
}

}  // namespace qm
