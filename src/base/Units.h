#pragma once

#include <cstdint>

namespace skarvel::units {

// Qt's device-independent pixel stands for a pixel of a 96 dpi screen.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kDotsPerInch = 96;
inline constexpr int kHimetricPerInch = 2540;

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t nearest(double value);

std::int64_t pixelsToHimetric(double pixels);
std::int64_t himetricToPixels(double himetric);
std::int64_t pixelsToTwips(double pixels);
std::int64_t twipsToPixels(double twips);

} // namespace skarvel::units
