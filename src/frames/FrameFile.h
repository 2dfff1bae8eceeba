#pragma once

#include "frames/SaveFrames.h"
#include "picture/Picture.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include <vector>

namespace skarvel {

// The bytes of a frame's file as a bitmap or a PNG, in parts that may be views of the picture's
// own pixels: `storage` keeps whatever else they need, and both must outlive the parts.
// A frame's own picture keeps its colour table: an 8-bit bitmap, a palette PNG.
std::vector<QByteArrayView> PictureFileParts(const Picture& picture, FrameFormat format, QByteArray& storage);
// A composed screen: a 24-bit bitmap, a PNG in true colour (with alpha where it has transparency).
std::vector<QByteArrayView> ScreenFileParts(const QImage& screen, FrameFormat format, QByteArray& storage);

} // namespace skarvel
