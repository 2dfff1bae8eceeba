#include "base/Units.h"

#include <cmath>

namespace skarvel::units {

std::int64_t nearest(double value)
{
    // std::nearbyint honours the current rounding mode, which is to-nearest-even unless
    // someone changed it; do not rely on that.
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return static_cast<std::int64_t>(floor);
    if (diff > 0.5)
        return static_cast<std::int64_t>(floor) + 1;
    const auto f = static_cast<std::int64_t>(floor);
    return (f % 2 == 0) ? f : f + 1;
}

std::int64_t pixelsToHimetric(double pixels)
{
    return nearest(pixels * kHimetricPerInch / kDotsPerInch);
}

std::int64_t himetricToPixels(double himetric)
{
    return nearest(himetric * kDotsPerInch / kHimetricPerInch);
}

std::int64_t pixelsToTwips(double pixels)
{
    return nearest(pixels * kTwipsPerPixel);
}

std::int64_t twipsToPixels(double twips)
{
    return nearest(twips / kTwipsPerPixel);
}

} // namespace skarvel::units
