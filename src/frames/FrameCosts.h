#pragma once

#include <QByteArrayView>

#include <cstdint>

namespace skarvel {

// What a GIF's frames, the last one aside, will cost the frame table (kFrameTableBytes each), found
// by following the file's own block structure from its start (a walk that reads one byte of each
// data sub-block). Never more than splitting them would store:
// bytes that merely look like a frame (inside a colour table, a comment or image data) are not
// counted, and the walk counts nothing past a byte it cannot place, nor anything at all when an
// image stands before the first frame's control (every frame then shows that image).
std::int64_t FramesCostButLast(QByteArrayView data);

} // namespace skarvel
