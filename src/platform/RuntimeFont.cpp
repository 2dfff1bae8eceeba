#include "platform/RuntimeFont.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace skarvel {

namespace {

// Below this a caption would be unreadable; it is then left to clip.
constexpr double kSmallestPoints = 5;
constexpr double kStep = 0.25;

QString installedFamily(const QString& family)
{
    static const QStringList arialLike{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                       QStringLiteral("Nimbus Sans"), QStringLiteral("Nimbus Sans L"),
                                       QStringLiteral("Helvetica"), QStringLiteral("FreeSans")};
    if (family != QLatin1String("Arial") && family != QLatin1String("MS Sans Serif"))
        return family;
    if (QFontDatabase::hasFamily(family))
        return family;
    for (const QString& candidate : arialLike) {
        if (QFontDatabase::hasFamily(candidate))
            return candidate;
    }
    return family;
}

} // namespace

QFont runtimeFont(const QString& family, double points)
{
    QFont font(installedFamily(family));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

QFont fittingFont(QFont font, const QString& text, QRect box, int flags)
{
    const auto fits = [&] {
        const QRect needed = QFontMetrics(font).boundingRect(box, flags, text);
        return needed.width() <= box.width() && needed.height() <= box.height();
    };
    while (!fits() && font.pointSizeF() - kStep >= kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - kStep);
    return font;
}

void fitCaption(QAbstractButton& button)
{
    QFont font = button.font();
    while (button.sizeHint().width() > button.width() &&
           font.pointSizeF() - kStep >= kSmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - kStep);
        button.setFont(font);
    }
}

} // namespace skarvel
