#pragma once

#include <QImage>
#include <QRectF>

namespace skarvel {

// Paints `picture` onto `surface` (ARGB32) so that it fills `target`, a rectangle in the
// surface's pixels whose edges may fall between pixels. Every surface pixel is measured against
// the one grid of the surface: it takes the average of the picture's opaque pixels over the part
// of the picture that falls in it, each weighted by the area it covers there, and shows that
// alone, nothing of what it held before. A pixel that no opaque pixel of the picture reaches
// keeps what it held.
//
// So an optimised animation, whose frames are rectangles anywhere on the screen with every
// unchanged pixel transparent, shrinks without trails: the last frame that changes anything in
// a pixel's area paints that pixel, whatever its position, and paints it from what changed.
void PaintAreaAverage(QImage& surface, const QImage& picture, QRectF target);

} // namespace skarvel
