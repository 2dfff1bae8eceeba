#include "runtime/RuntimeFont.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRadioButton>
#include <QStyle>
#include <QStringList>

#include <cmath>

namespace skarvel {

namespace {

// Below this a caption would be unreadable; it is then left to clip.
constexpr double kSmallestPoints = 5;
constexpr double kStep = 0.25;
// Letters drawn closer by up to this many pixels each read as the same font.
constexpr double kTightestSpacing = 0.15;
constexpr double kSpacingStep = 0.05;

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

bool fits(const QFont& font, const QString& text, QRect box, int flags)
{
    // Whole pixels: a caption that runs a fraction into the next one is cut there.
    const QRectF needed = QFontMetricsF(font).boundingRect(QRectF(box), flags, text);
    return std::ceil(needed.width()) <= box.width() && std::ceil(needed.height()) <= box.height();
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
    while (!fits(font, text, box, flags) && font.pointSizeF() - kStep >= kSmallestPoints)
        font.setPointSizeF(font.pointSizeF() - kStep);
    return font;
}

QFont largestFittingFont(const QFont& font, const QString& text, QRect box)
{
    const QFont fitted = fittingFont(font, text, box, Qt::TextSingleLine);
    const int pixels = QFontInfo(fitted).pixelSize();
    QFont larger = fitted;
    while (QFontInfo(larger).pixelSize() == pixels && larger.pointSizeF() + kStep <= font.pointSizeF())
        larger.setPointSizeF(larger.pointSizeF() + kStep);
    if (QFontInfo(larger).pixelSize() == pixels)
        return fitted;
    for (double spacing = -kSpacingStep; spacing >= -kTightestSpacing; spacing -= kSpacingStep) {
        larger.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
        if (fits(larger, text, box, Qt::TextSingleLine))
            return larger;
    }
    return fitted;
}

void fitCaption(QAbstractButton& button)
{
    // The room the style leaves the caption: beside an option's indicator, or inside a push
    // button's frame and margins (whose size hint has a floor of its own).
    const QStyle& style = *button.style();
    const int room =
        qobject_cast<QRadioButton*>(&button)
            ? button.width() - style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &button) -
                  style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &button)
            : button.width() - 2 * (style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button) +
                                    style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button));
    QString shown = button.text();
    if (const auto mnemonic = shown.indexOf(u'&'); mnemonic >= 0)
        shown.remove(mnemonic, 1);
    button.setFont(fittingFont(button.font(), shown, QRect(0, 0, room, button.height()), Qt::TextSingleLine));
}

} // namespace skarvel
