#pragma once

#include <QColor>

#include <cstdint>

namespace skarvel {

// Colours as the window code writes them: &HBBGGRR for a plain colour, &H800000nn for the
// system colour nn (15 button face, 16 button shadow, 20 button highlight, 8 window text, ...).
using OleColor = std::uint32_t;

inline constexpr OleColor kSystemColorFlag = 0x80000000u;

// The colour actually shown: system colours come from the application's palette, so the
// window follows the desktop theme as it did on the system it was designed for.
QColor TranslateColor(OleColor color);

// The other way round, for reading pixels back (&HBBGGRR, alpha ignored).
OleColor ToOleColor(QColor color);

} // namespace skarvel
