#pragma once

#include <QByteArray>
#include <QImage>

namespace skarvel {

// A 32-bit image as a 24-bit Windows bitmap, every pixel taken as opaque: a composed screen has
// more colours than a palette holds, and its transparent pixels were painted over beforehand.
// Throws RuntimeError for an image of any other format or too large for a bitmap.
QByteArray ScreenBitmapBytes(const QImage& screen);

} // namespace skarvel
