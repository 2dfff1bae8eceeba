#pragma once

#include <QColor>
#include <QPalette>

#include <cstdint>

namespace skarvel {

// Colours as the window code writes them: &HBBGGRR for a plain colour, &H800000nn for the
// system colour nn (15 button face, 16 button shadow, 20 button highlight, 8 window text, ...).
using OleColor = std::uint32_t;

inline constexpr OleColor kSystemColorFlag = 0x80000000u;

// The system colours the 3-D edges and the controls' captions are drawn in.
inline constexpr OleColor kButtonShadow = 0x80000010u;
inline constexpr OleColor kButtonText = 0x80000012u;
inline constexpr OleColor kButtonHighlight = 0x80000014u;
inline constexpr OleColor k3DDarkShadow = 0x80000015u;
inline constexpr OleColor k3DLight = 0x80000016u;

// The colour actually shown. System colours are those of the classic scheme the windows were
// designed on, whatever the desktop's theme: the designs depend on them.
QColor TranslateColor(OleColor color);

// A widget palette in the same classic colours, for the windows and their standard widgets.
QPalette ClassicPalette();

// The other way round, for reading pixels back (&HBBGGRR, alpha ignored).
OleColor ToOleColor(QColor color);

} // namespace skarvel
