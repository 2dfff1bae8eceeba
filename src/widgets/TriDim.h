#pragma once

#include "runtime/Colors.h"

#include <cstdint>

namespace skarvel {

class Control;

// Frames a control with a one-pixel ring on its container's surface, touching the control on
// all four sides, so that a plain box looks pressed in, standing out, or flat. Coordinates are
// 16-bit twips: a ring that falls outside -32768..32767 throws RuntimeError (Overflow), with
// the strokes already made left on the surface.
class TriDim {
public:
    TriDim();

    void Sunken(const Control& Cntl);
    void Rise(const Control& Cntl);
    void Flat(const Control& Cntl, OleColor Color);

private:
    struct Ring {
        std::int16_t x1, x2, y1, y2;
    };
    Ring ring(const Control& Cntl) const;
    void frame(const Control& Cntl, OleColor outline, OleColor rightAndBottom);

    std::int16_t iTwipsX;
    std::int16_t iTwipsY;
};

} // namespace skarvel
