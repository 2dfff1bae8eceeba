#pragma once

#include <QRect>

class QWidget;

namespace skarvel::twips {

// A window's geometry read and written in twips, as the window code measures it. Qt's
// device-independent pixel counts as one pixel of a 96 dpi screen, 15 twips.
inline constexpr int kPerPixel = 15;

int toPixels(double twips);
inline double fromPixels(int pixels) { return double(pixels) * kPerPixel; }
// A box given in twips (left, top, width, height), in pixels.
QRect rect(double left, double top, double width, double height);

double Left(const QWidget& widget);
double Top(const QWidget& widget);
double Width(const QWidget& widget);
double Height(const QWidget& widget);
void setLeft(QWidget& widget, double value);
void setTop(QWidget& widget, double value);
void setWidth(QWidget& widget, double value);
void setHeight(QWidget& widget, double value);
void Move(QWidget& widget, double left, double top, double width, double height);

} // namespace skarvel::twips

namespace skarvel::Screen {

// The screen's twips per pixel, as the window code asks for them.
inline double TwipsPerPixelX() { return twips::kPerPixel; }
inline double TwipsPerPixelY() { return twips::kPerPixel; }

} // namespace skarvel::Screen
