#include "runtime/Twips.h"

#include "base/Units.h"

#include <QWidget>

namespace skarvel::twips {

int toPixels(double twips)
{
    return int(units::nearest(twips / kPerPixel));
}

QRect rect(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

double Left(const QWidget& widget) { return fromPixels(widget.x()); }
double Top(const QWidget& widget) { return fromPixels(widget.y()); }
double Width(const QWidget& widget) { return fromPixels(widget.width()); }
double Height(const QWidget& widget) { return fromPixels(widget.height()); }

void setLeft(QWidget& widget, double value) { widget.move(toPixels(value), widget.y()); }
void setTop(QWidget& widget, double value) { widget.move(widget.x(), toPixels(value)); }
void setWidth(QWidget& widget, double value) { widget.resize(toPixels(value), widget.height()); }
void setHeight(QWidget& widget, double value) { widget.resize(widget.width(), toPixels(value)); }

void Move(QWidget& widget, double left, double top, double width, double height)
{
    widget.setGeometry(rect(left, top, width, height));
}

} // namespace skarvel::twips
