#include "platform/RuntimeFont.h"

namespace skarvel {

QFont runtimeFont(const QString& family, double points)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

} // namespace skarvel
