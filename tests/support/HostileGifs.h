#pragma once

#include <QByteArray>

namespace skarvel::test {

// `frames` frames of one pixel, each of which carries in its own image data, behind its pixel, the
// bytes 00 21 F9, a Graphic Control Extension and a `side` x `side` image with valid LZW data: a
// decoder of the frame skips them, a splitter that decoded each piece cut at a separator on its
// own would decode all those images. Written with giflib's encoder, then rearranged.
QByteArray framesHidingImages(int frames, int side);

} // namespace skarvel::test
