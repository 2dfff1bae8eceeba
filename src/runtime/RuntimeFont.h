#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QAbstractButton;

namespace skarvel {

// The named font at the named size. MS Sans Serif and Arial, which Linux rarely has, become
// the first installed family of the same widths (Liberation Sans first), chosen by name rather
// than left to the system's fallback, so that the captions measure the same on every machine.
QFont runtimeFont(const QString& family, double points);

// `font`, made smaller in quarter points where needed, so that `text` laid out with `flags`
// fits `box`; the boxes are the designs', which the fonts at hand may run wider than.
QFont fittingFont(QFont font, const QString& text, QRect box, int flags);

// `font` as large as `text` on one line allows in `box`: the size fittingFont finds, or the
// next larger size the screen draws with the letters a little closer, where that fits. Sizes
// come in whole pixels, and one pixel less can leave a ninth of a short box empty.
QFont largestFittingFont(const QFont& font, const QString& text, QRect box);

// Shrinks the font of an option or push button until its caption fits beside the option's
// indicator or inside the button's frame and margins.
void fitCaption(QAbstractButton& button);

} // namespace skarvel
