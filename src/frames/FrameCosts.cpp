#include "frames/FrameCosts.h"

#include "frames/FrameCutter.h"
#include "frames/FrameTable.h"
#include "picture/Picture.h"

namespace skarvel {

namespace {

constexpr char kExtension = 0x21;
constexpr char kImage = 0x2C;
constexpr char kGraphicControl = char(0xF9);

// Offset behind the data sub-blocks that start at `at`, their terminator included; -1 when they
// run past the end.
qsizetype skipSubBlocks(QByteArrayView data, qsizetype at)
{
    while (at < data.size()) {
        const int size = quint8(data[at]);
        at += 1 + size;
        if (size == 0)
            return at;
    }
    return -1;
}

} // namespace

std::int64_t FramesCostButLast(QByteArrayView data)
{
    if (data.size() < 13)
        return 0;
    qsizetype at = 13 + FrameCutter::colourTableBytes(data[10]);
    std::int64_t total = 0;
    std::int64_t current = 0;  // of the frame under way: counted once another frame follows it
    bool inFrame = false;      // a control was seen
    bool imageSeen = false;    // the frame under way has its picture
    while (at >= 0 && at < data.size()) {
        if (data[at] == kExtension && at + 1 < data.size()) {
            if (data[at + 1] == kGraphicControl) {
                total += current;
                current = 0;
                inFrame = true;
                imageSeen = false;
            }
            at = skipSubBlocks(data, at + 2);
        } else if (data[at] == kImage && at + 10 < data.size()) {
            if (!inFrame)
                return 0;
            if (!imageSeen) {
                // Only a frame's first image is decoded; one too large fails on its own.
                const std::int64_t width = quint8(data[at + 5]) + quint8(data[at + 6]) * 256;
                const std::int64_t height = quint8(data[at + 7]) + quint8(data[at + 8]) * 256;
                if (width * height <= PictureLimits::kMaxPixels)
                    current = kFrameTableBytes;
                imageSeen = true;
            }
            at = skipSubBlocks(data, at + 11 + FrameCutter::colourTableBytes(data[at + 9]));
        } else {
            break; // the trailer, or a byte we cannot place
        }
    }
    return total;
}

} // namespace skarvel
