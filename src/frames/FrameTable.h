#pragma once

#include "frames/FramePictures.h"
#include "picture/Picture.h"
#include "base/Units.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace skarvel {

// One frame of the opened GIF, as the splitter found it. Its picture is not kept here: the
// table's FramePicture() decodes it from the frame's chunk whenever it is not at hand.
struct FrameEntry {
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
    // The picture's size in pixels.
    std::int32_t pixelWidth = 0;
    std::int32_t pixelHeight = 0;
    // What the open made of the picture for whoever asked (a thumbnail); null when nobody did.
    QImage rendition;

    // The picture's extent in HIMETRIC at 96 dpi, as pictures report it.
    int Width() const { return int(units::pixelsToHimetric(pixelWidth)); }
    int Height() const { return int(units::pixelsToHimetric(pixelHeight)); }
};

// Made by the open from each frame's picture, on the thread that decoded it: a thumbnail, say.
// Called from several threads at once.
using FrameRendition = std::function<QImage(const Picture&)>;

// What one frame costs the table, whatever its pixels: a file of millions of tiny frames is
// bounded by this times its frames.
inline constexpr std::int64_t kFrameTableBytes = sizeof(FrameEntry);

struct FrameTable {
    std::vector<FrameEntry> frames;
    // Logical screen size in pixels.
    std::int32_t GifWidth = 0;
    std::int32_t GifHeight = 0;
    // The opened file's bytes as they were read, whatever happens to the file since, and the
    // length of its header: a frame's image is the header followed by the frame's chunk.
    QByteArray gifBytes;
    qsizetype headerSize = 0;
    // The frames' decoded pictures, as many as its budget holds; shared by copies of the table.
    std::shared_ptr<FramePictures> pictures;

    // Index of the last frame; -1 when the table is empty.
    std::int32_t upperIndex() const { return std::int32_t(frames.size()) - 1; }
    bool empty() const { return frames.empty(); }
    void clear() { *this = FrameTable{}; }

    // The frame's picture, decoded again when it is not held; null only when memory ran out.
    // Any thread may ask while the table stands still.
    Picture FramePicture(std::size_t index) const
    {
        if (!pictures)
            return {};
        const FrameEntry& frame = frames[index];
        return pictures->picture(index, frame.chunkBegin, frame.chunkEnd);
    }

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
