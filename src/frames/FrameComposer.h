#pragma once

#include "frames/FramePlacement.h"
#include "picture/Picture.h"

#include <QImage>
#include <QRect>

namespace skarvel {

// The logical screen as a viewer shows it, frame after frame: one 32-bit canvas, and for a frame
// that restores what was there before, the rectangle it covers. Whatever the number of frames,
// that is all it holds.
class FrameComposer {
public:
    // The canvas starts as `empty` everywhere, and a frame disposed of with the background goes
    // back to it: transparent for a PNG, the screen's background colour for a bitmap, which has
    // no transparency. Throws RuntimeError for a screen without pixels or over the pixel limit
    // of one picture.
    FrameComposer(int width, int height, QRgb empty);

    // Draws `picture` at its place, clipped to the screen, its transparent pixels leaving the
    // canvas as it was, and answers the screen as shown (a copy: it stays as it is whatever
    // comes next, on whichever thread it is read). Then the frame's disposal applies to the canvas: 2 clears its
    // rectangle to `empty`, 3 puts back what the rectangle held; any other keeps the canvas.
    // Throws std::bad_alloc when memory runs out for the canvas.
    QImage compose(const Picture& picture, const FramePlacement& placement);

private:
    QImage m_canvas;
    QRgb m_empty;
};

} // namespace skarvel
