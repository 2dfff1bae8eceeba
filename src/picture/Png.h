#pragma once

#include <QByteArray>
#include <QImage>

namespace skarvel {

// Encodes `image` as a PNG file held in memory, losslessly:
// - an 8-bit indexed image becomes a palette PNG with its first `colours` colour-table entries
//   (all of them for -1), the alpha of each entry going to the transparency chunk;
// - a 32-bit ARGB image becomes RGBA, or RGB when every pixel is opaque.
// Throws RuntimeError for any other image, or when memory runs out inside the encoder.
QByteArray PngBytes(const QImage& image, int colours = -1);

} // namespace skarvel
