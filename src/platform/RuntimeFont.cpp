#include "platform/RuntimeFont.h"

#include <QStringList>

namespace skarvel {

namespace {

// Families of the same build and width, best first; the first one installed is used.
void registerSubstitutes()
{
    static const bool registered = [] {
        const QStringList arialLike{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("Nimbus Sans L"),
                                    QStringLiteral("Helvetica"), QStringLiteral("FreeSans")};
        QFont::insertSubstitutions(QStringLiteral("Arial"), arialLike);
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   QStringList{QStringLiteral("Microsoft Sans Serif"),
                                               QStringLiteral("Arial")} + arialLike);
        return true;
    }();
    (void)registered;
}

} // namespace

QFont runtimeFont(const QString& family, double points)
{
    registerSubstitutes();
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

} // namespace skarvel
