#pragma once

#include <QRect>

class QPainter;

namespace skarvel {

class DrawingSurface;

// Edge kinds and sides, with the values the window code uses.
namespace edge {
inline constexpr unsigned RaisedOuter = 0x1;
inline constexpr unsigned SunkenOuter = 0x2;
inline constexpr unsigned RaisedInner = 0x4;
inline constexpr unsigned SunkenInner = 0x8;
inline constexpr unsigned Etched = SunkenOuter | RaisedInner; // 6
inline constexpr unsigned Bump = RaisedOuter | SunkenInner;

inline constexpr unsigned Left = 0x1;
inline constexpr unsigned Top = 0x2;
inline constexpr unsigned Right = 0x4;
inline constexpr unsigned Bottom = 0x8;
inline constexpr unsigned Rect = Left | Top | Right | Bottom; // 15
} // namespace edge

// Draws a 3-D edge inside the rectangle (pixels; right and bottom are the first column and row
// outside it): an outer ring on the rectangle's border and an inner ring one pixel in, each with
// its top and left sides in one colour and its bottom and right sides, corners included, in the
// other. Nothing else of the rectangle changes.
void DrawEdge(DrawingSurface& surface, QRect pixels, unsigned edgeKind, unsigned sides);

// The same edge, all four sides, with a painter: for widgets that paint their own face.
void PaintEdge(QPainter& painter, QRect pixels, unsigned edgeKind);

// The same with the rectangle as the four values left, top, right, bottom.
inline void DrawEdge(DrawingSurface& surface, int left, int top, int right, int bottom,
                     unsigned edgeKind, unsigned sides)
{
    DrawEdge(surface, QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), edgeKind, sides);
}

} // namespace skarvel
