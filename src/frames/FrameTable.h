#pragma once

#include "picture/Picture.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace skarvel {

// One frame of the opened GIF, as the splitter found it.
struct FrameEntry {
    Picture FramePicture;
    // Clear the display before painting this frame (any disposal but "do not dispose").
    bool FrameClear = true;
    // How long the frame stays, in milliseconds; never 0.
    std::int32_t FrameDelay = 100;
    // Image position in pixels. The animation shifts these in place to centre its display.
    std::int32_t FrameLeft = 0;
    std::int32_t FrameTop = 0;
    // The frame's chunk: bytes [chunkBegin, chunkEnd) of the table's gifBytes.
    qsizetype chunkBegin = 0;
    qsizetype chunkEnd = 0;
};

struct FrameTable {
    std::vector<FrameEntry> frames;
    // Logical screen size in pixels.
    std::int32_t GifWidth = 0;
    std::int32_t GifHeight = 0;
    // The opened file's bytes as they were read, whatever happens to the file since, and the
    // length of its header: a frame's image is the header followed by the frame's chunk.
    QByteArray gifBytes;
    qsizetype headerSize = 0;

    // Index of the last frame; -1 when the table is empty.
    std::int32_t upperIndex() const { return std::int32_t(frames.size()) - 1; }
    bool empty() const { return frames.empty(); }
    void clear() { *this = FrameTable{}; }

    QByteArrayView header() const { return QByteArrayView(gifBytes).first(headerSize); }
    QByteArrayView chunk(std::size_t index) const
    {
        const FrameEntry& frame = frames[index];
        return QByteArrayView(gifBytes).sliced(frame.chunkBegin, frame.chunkEnd - frame.chunkBegin);
    }
    // Whether the frame's chunk runs to the end of the file, its trailer included.
    bool endsTheFile(std::size_t index) const { return frames[index].chunkEnd == gifBytes.size(); }
};

} // namespace skarvel
