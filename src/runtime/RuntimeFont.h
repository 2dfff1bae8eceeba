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

// Shrinks the font of an option or push button until its caption fits beside the option's
// indicator or inside the button's frame and margins.
void fitCaption(QAbstractButton& button);

} // namespace skarvel
