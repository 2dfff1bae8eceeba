#pragma once

#include <QByteArrayView>

#include <cstdint>

namespace skarvel {

// What the pictures of a GIF's frames, the last one aside, will cost once decoded, as their image
// descriptors declare it, found by following the file's own block structure from its start (a
// walk that reads one byte of each data sub-block). Never more than decoding them would store:
// bytes that merely look like a frame (inside a colour table, a comment or image data) are not
// counted, and the walk counts nothing past a byte it cannot place, nor anything at all when an
// image stands before the first frame's control (every frame then shows that image).
std::int64_t FramesCostButLast(QByteArrayView data);

} // namespace skarvel
