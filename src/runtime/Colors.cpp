#include "runtime/Colors.h"

#include <array>

namespace skarvel {

namespace {

// The system colours of the classic desktop scheme the windows were drawn on (&HBBGGRR, by
// system colour index). The designs rely on them: the button face is the windows' own grey, so
// labels and erased frames left in that colour vanish into the grey around them. Taking them
// from the desktop's theme instead leaves light bars and rings wherever the theme differs.
constexpr std::array<OleColor, 25> kClassic{
    0xC0C0C0u, // 0 scroll bar
    0x808000u, // 1 desktop
    0x800000u, // 2 active caption
    0x808080u, // 3 inactive caption
    0xC0C0C0u, // 4 menu
    0xFFFFFFu, // 5 window background
    0x000000u, // 6 window frame
    0x000000u, // 7 menu text
    0x000000u, // 8 window text
    0xFFFFFFu, // 9 caption text
    0xC0C0C0u, // 10 active border
    0xC0C0C0u, // 11 inactive border
    0x808080u, // 12 application workspace
    0x800000u, // 13 highlight
    0xFFFFFFu, // 14 highlighted text
    0xC0C0C0u, // 15 button face
    0x808080u, // 16 button shadow
    0x808080u, // 17 grey text
    0x000000u, // 18 button text
    0xC0C0C0u, // 19 inactive caption text
    0xFFFFFFu, // 20 button highlight
    0x000000u, // 21 3-D dark shadow
    0xDFDFDFu, // 22 3-D light
    0x000000u, // 23 tooltip text
    0xE1FFFFu, // 24 tooltip background
};

QColor rgbOf(OleColor color)
{
    return QColor(int(color & 0xFFu), int((color >> 8) & 0xFFu), int((color >> 16) & 0xFFu));
}

} // namespace

QColor TranslateColor(OleColor color)
{
    if (color & kSystemColorFlag) {
        const unsigned index = color & 0xFFu;
        return rgbOf(index < kClassic.size() ? kClassic[index] : kClassic[15]);
    }
    return rgbOf(color);
}

OleColor ToOleColor(QColor color)
{
    return OleColor(color.red()) | (OleColor(color.green()) << 8) | (OleColor(color.blue()) << 16);
}

QPalette ClassicPalette()
{
    const auto sys = [](unsigned index) { return TranslateColor(kSystemColorFlag | index); };
    QPalette palette(sys(18), sys(15), sys(20), sys(16), sys(17), sys(8), sys(20), sys(5), sys(15));
    palette.setColor(QPalette::Midlight, sys(22));
    palette.setColor(QPalette::Shadow, sys(21));
    palette.setColor(QPalette::Highlight, sys(13));
    palette.setColor(QPalette::HighlightedText, sys(14));
    palette.setColor(QPalette::ToolTipBase, sys(24));
    palette.setColor(QPalette::ToolTipText, sys(23));
    palette.setColor(QPalette::PlaceholderText, sys(17));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, sys(17));
    return palette;
}

} // namespace skarvel
