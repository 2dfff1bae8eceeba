#include "widgets/TriDim.h"

#include "base/RuntimeError.h"
#include "base/Units.h"
#include "runtime/Control.h"
#include "runtime/DrawingSurface.h"
#include "runtime/Twips.h"

namespace skarvel {

namespace {

std::int16_t int16(double value)
{
    const std::int64_t n = units::nearest(value);
    if (n < -32768 || n > 32767)
        throw RuntimeError(RuntimeError::Overflow, "Overflow");
    return std::int16_t(n);
}

} // namespace

TriDim::TriDim()
    : iTwipsX(int16(Screen::TwipsPerPixelX())), iTwipsY(int16(Screen::TwipsPerPixelY()))
{
}

TriDim::Ring TriDim::ring(const Control& Cntl) const
{
    Ring r{};
    r.x1 = int16(Cntl.Left() - iTwipsX);
    r.x2 = int16(r.x1 + Cntl.Width() + iTwipsX);
    r.y1 = int16(Cntl.Top() - iTwipsY);
    r.y2 = int16(r.y1 + Cntl.Height() + iTwipsY);
    return r;
}

void TriDim::frame(const Control& Cntl, OleColor outline, OleColor rightAndBottom)
{
    const Ring r = ring(Cntl);
    DrawingSurface& surface = Cntl.ContainerSurface();
    surface.LineBox(r.x1, r.y1, r.x2, r.y2, outline);
    // Segments leave out their last point, so each runs one pixel past the corner.
    surface.Line(r.x2, r.y1, r.x2, int16(r.y2 + iTwipsY), rightAndBottom);
    surface.Line(r.x1, r.y2, int16(r.x2 + iTwipsX), r.y2, rightAndBottom);
}

void TriDim::Sunken(const Control& Cntl)
{
    frame(Cntl, kButtonShadow, kButtonHighlight);
}

void TriDim::Rise(const Control& Cntl)
{
    frame(Cntl, kButtonHighlight, kButtonShadow);
}

void TriDim::Flat(const Control& Cntl, OleColor Color)
{
    const Ring r = ring(Cntl);
    Cntl.ContainerSurface().LineBox(r.x1, r.y1, r.x2, r.y2, Color);
}

} // namespace skarvel
