#include "runtime/DrawEdge.h"

#include "runtime/DrawingSurface.h"

namespace skarvel {

namespace {

constexpr OleColor kShadow = 0x80000010u;      // button shadow
constexpr OleColor kHighlight = 0x80000014u;   // button highlight
constexpr OleColor kDarkShadow = 0x80000015u;  // 3-D dark shadow
constexpr OleColor kLight = 0x80000016u;       // 3-D light

void ring(DrawingSurface& s, int left, int top, int right, int bottom, unsigned sides,
          OleColor topLeft, OleColor bottomRight)
{
    if (right <= left || bottom <= top)
        return;
    if (sides & edge::Top)
        s.segmentPixels(left, top, right, top, topLeft);
    if (sides & edge::Left)
        s.segmentPixels(left, top, left, bottom, topLeft);
    if (sides & edge::Bottom)
        s.segmentPixels(left, bottom - 1, right, bottom - 1, bottomRight);
    if (sides & edge::Right)
        s.segmentPixels(right - 1, top, right - 1, bottom, bottomRight);
}

} // namespace

void DrawEdge(DrawingSurface& surface, QRect pixels, unsigned edgeKind, unsigned sides)
{
    int left = pixels.left();
    int top = pixels.top();
    int right = pixels.right() + 1;
    int bottom = pixels.bottom() + 1;

    if (edgeKind & (edge::RaisedOuter | edge::SunkenOuter)) {
        if (edgeKind & edge::SunkenOuter)
            ring(surface, left, top, right, bottom, sides, kShadow, kHighlight);
        else
            ring(surface, left, top, right, bottom, sides, kLight, kDarkShadow);
        // The inner ring sits inside the outer one only on the sides that were drawn.
        if (sides & edge::Left) ++left;
        if (sides & edge::Top) ++top;
        if (sides & edge::Right) --right;
        if (sides & edge::Bottom) --bottom;
    }
    if (edgeKind & edge::RaisedInner)
        ring(surface, left, top, right, bottom, sides, kHighlight, kShadow);
    else if (edgeKind & edge::SunkenInner)
        ring(surface, left, top, right, bottom, sides, kDarkShadow, kLight);
    if (surface.onChange)
        surface.onChange();
}

} // namespace skarvel
