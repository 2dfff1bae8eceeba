#include "platform/Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace skarvel {

namespace {

// Windows system colour indexes and the palette role that plays the same part on Qt.
QPalette::ColorRole systemRole(unsigned index)
{
    switch (index) {
    case 0:  return QPalette::Button;          // scroll bar
    case 1:  return QPalette::Dark;            // desktop
    case 2:  return QPalette::Highlight;       // active caption
    case 3:  return QPalette::Mid;             // inactive caption
    case 4:  return QPalette::Window;          // menu
    case 5:  return QPalette::Base;            // window background
    case 6:  return QPalette::Shadow;          // window frame
    case 7:  return QPalette::WindowText;      // menu text
    case 8:  return QPalette::Text;            // window text
    case 9:  return QPalette::HighlightedText; // caption text
    case 10: return QPalette::Mid;             // active border
    case 11: return QPalette::Mid;             // inactive border
    case 12: return QPalette::Dark;            // application workspace
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;          // button face
    case 16: return QPalette::Dark;            // button shadow
    case 17: return QPalette::PlaceholderText; // grey text
    case 18: return QPalette::ButtonText;
    case 19: return QPalette::WindowText;      // inactive caption text
    case 20: return QPalette::Light;           // button highlight
    case 21: return QPalette::Shadow;          // 3-D dark shadow
    case 22: return QPalette::Midlight;        // 3-D light
    case 23: return QPalette::ToolTipText;
    case 24: return QPalette::ToolTipBase;
    default: return QPalette::Window;
    }
}

} // namespace

QColor TranslateColor(OleColor color)
{
    if (color & kSystemColorFlag)
        return QGuiApplication::palette().color(QPalette::Active, systemRole(color & 0xFFu));
    return QColor(int(color & 0xFFu), int((color >> 8) & 0xFFu), int((color >> 16) & 0xFFu));
}

OleColor ToOleColor(QColor color)
{
    return OleColor(color.red()) | (OleColor(color.green()) << 8) | (OleColor(color.blue()) << 16);
}

} // namespace skarvel
