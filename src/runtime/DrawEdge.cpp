#include "runtime/DrawEdge.h"

#include "runtime/Colors.h"
#include "runtime/DrawingSurface.h"

#include <QPainter>

namespace skarvel {

namespace {

// Each ring is four straight segments, each from its first pixel up to, not including, its
// last point; bottom and right come last so that they own their corners.
template <typename Segment>
void ring(Segment& segment, int left, int top, int right, int bottom, unsigned sides,
          OleColor topLeft, OleColor bottomRight)
{
    if (right <= left || bottom <= top)
        return;
    if (sides & edge::Top)
        segment(left, top, right, top, topLeft);
    if (sides & edge::Left)
        segment(left, top, left, bottom, topLeft);
    if (sides & edge::Bottom)
        segment(left, bottom - 1, right, bottom - 1, bottomRight);
    if (sides & edge::Right)
        segment(right - 1, top, right - 1, bottom, bottomRight);
}

template <typename Segment>
void rings(Segment segment, QRect pixels, unsigned edgeKind, unsigned sides)
{
    int left = pixels.left();
    int top = pixels.top();
    int right = pixels.right() + 1;
    int bottom = pixels.bottom() + 1;

    if (edgeKind & (edge::RaisedOuter | edge::SunkenOuter)) {
        if (edgeKind & edge::SunkenOuter)
            ring(segment, left, top, right, bottom, sides, kButtonShadow, kButtonHighlight);
        else
            ring(segment, left, top, right, bottom, sides, k3DLight, k3DDarkShadow);
        // The inner ring sits inside the outer one only on the sides that were drawn.
        if (sides & edge::Left) ++left;
        if (sides & edge::Top) ++top;
        if (sides & edge::Right) --right;
        if (sides & edge::Bottom) --bottom;
    }
    if (edgeKind & edge::RaisedInner)
        ring(segment, left, top, right, bottom, sides, kButtonHighlight, kButtonShadow);
    else if (edgeKind & edge::SunkenInner)
        ring(segment, left, top, right, bottom, sides, k3DDarkShadow, k3DLight);
}

} // namespace

void DrawEdge(DrawingSurface& surface, QRect pixels, unsigned edgeKind, unsigned sides)
{
    rings([&](int x1, int y1, int x2, int y2, OleColor colour) { surface.segmentPixels(x1, y1, x2, y2, colour); },
          pixels, edgeKind, sides);
    if (surface.onChange)
        surface.onChange();
}

void PaintEdge(QPainter& painter, QRect pixels, unsigned edgeKind)
{
    rings(
        [&](int x1, int y1, int x2, int y2, OleColor colour) {
            const QPoint last(x2 == x1 ? x2 : x2 - 1, y2 == y1 ? y2 : y2 - 1);
            painter.fillRect(QRect(QPoint(x1, y1), last), TranslateColor(colour));
        },
        pixels, edgeKind, edge::Rect);
}

} // namespace skarvel
