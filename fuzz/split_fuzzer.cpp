// The whole split over arbitrary bytes: cutting, the per-frame values, decoding, the last-frame
// and failure rules, and the parallel decoding against the one-thread order.
#include "FuzzCheck.h"

#include "frames/SplitGifFrames.h"

#include <cstdint>

using namespace skarvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // Small enough that the table's budget is reached by small inputs too.
    constexpr std::int64_t kBudget = std::int64_t(4) << 20;

    // Nothing kept: every picture checked below is decoded again from its chunk.
    FrameTable inOrder;
    FrameKeeping none;
    none.pictureBytes = 0;
    const std::int32_t result = SplitGifBytes(bytes, inOrder, kBudget, 1, {}, 0, none);
    FUZZ_CHECK(result >= -1);
    if (result >= 1)
        FUZZ_CHECK(inOrder.frames.size() == std::size_t(result) + 1);
    if (result == 0)
        FUZZ_CHECK(inOrder.frames.size() <= 1);
    for (std::size_t i = 0; i < inOrder.frames.size(); ++i) {
        const FrameEntry& frame = inOrder.frames[i];
        const Picture picture = inOrder.FramePicture(i);
        fuzz::checkPicture(picture);
        FUZZ_CHECK(picture.pixelWidth() == frame.pixelWidth && picture.pixelHeight() == frame.pixelHeight);
        FUZZ_CHECK(frame.FrameDelay >= 1);
        FUZZ_CHECK(frame.FrameLeft >= 0 && frame.FrameLeft <= 65535);
        FUZZ_CHECK(frame.FrameTop >= 0 && frame.FrameTop <= 65535);
        FUZZ_CHECK(frame.chunkBegin >= inOrder.headerSize && frame.chunkBegin < frame.chunkEnd);
        FUZZ_CHECK(frame.chunkEnd <= bytes.size());
    }
    FUZZ_CHECK(std::int64_t(inOrder.frames.size()) * kFrameTableBytes <= kBudget);

    FrameTable parallel;
    // Also as if read in pieces: helpers begin on the frames that have arrived.
    const qsizetype piece = qsizetype(size % 61) + 1;
    FUZZ_CHECK(SplitGifBytes(bytes, parallel, kBudget, 3, {}, piece) == result);
    FUZZ_CHECK(parallel.GifWidth == inOrder.GifWidth && parallel.GifHeight == inOrder.GifHeight);
    FUZZ_CHECK(parallel.frames.size() == inOrder.frames.size());
    for (std::size_t i = 0; i < parallel.frames.size(); ++i) {
        const FrameEntry& a = inOrder.frames[i];
        const FrameEntry& b = parallel.frames[i];
        FUZZ_CHECK(a.FrameClear == b.FrameClear && a.FrameDelay == b.FrameDelay);
        FUZZ_CHECK(a.FrameLeft == b.FrameLeft && a.FrameTop == b.FrameTop);
        FUZZ_CHECK(a.chunkBegin == b.chunkBegin && a.chunkEnd == b.chunkEnd);
        FUZZ_CHECK(a.pixelWidth == b.pixelWidth && a.pixelHeight == b.pixelHeight);
        FUZZ_CHECK(inOrder.FramePicture(i).image() == parallel.FramePicture(i).image());
    }
    return 0;
}
