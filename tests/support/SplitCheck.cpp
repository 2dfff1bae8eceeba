#include "support/SplitCheck.h"

#include "frames/FrameCutter.h"
#include "support/GifOracle.h"

#include <algorithm>

namespace skarvel::test {

::testing::AssertionResult sameSplit(std::int32_t resultA, const FrameTable& a, std::int32_t resultB, const FrameTable& b)
{
    if (resultA != resultB)
        return ::testing::AssertionFailure() << "results " << resultA << " and " << resultB;
    if (a.GifWidth != b.GifWidth || a.GifHeight != b.GifHeight)
        return ::testing::AssertionFailure() << "screen sizes differ";
    if (a.frames.size() != b.frames.size())
        return ::testing::AssertionFailure() << a.frames.size() << " and " << b.frames.size() << " frames";
    for (std::size_t i = 0; i < a.frames.size(); ++i) {
        const FrameEntry& x = a.frames[i];
        const FrameEntry& y = b.frames[i];
        if (x.FrameClear != y.FrameClear || x.FrameDelay != y.FrameDelay || x.FrameLeft != y.FrameLeft
            || x.FrameTop != y.FrameTop)
            return ::testing::AssertionFailure() << "values of frame " << i << " differ";
        if (x.FramePicture.image() != y.FramePicture.image())
            return ::testing::AssertionFailure() << "pictures of frame " << i << " differ";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult keepsItsPromises(QByteArrayView data, std::int32_t result, const FrameTable& table)
{
    if (result < -1)
        return ::testing::AssertionFailure() << "result " << result;
    if (result >= 1 && table.frames.size() != std::size_t(result) + 1)
        return ::testing::AssertionFailure() << "result " << result << " with " << table.frames.size() << " frames";
    if (result == 0 && table.frames.size() > 1)
        return ::testing::AssertionFailure() << "result 0 with " << table.frames.size() << " frames";

    FrameCutter cutter(data);
    for (std::size_t i = 0; i < table.frames.size(); ++i) {
        const auto chunk = cutter.next();
        if (!chunk)
            return ::testing::AssertionFailure() << "frame " << i << " has no chunk";
        const QByteArray image = cutter.header().toByteArray() + chunk->bytes.toByteArray();
        const auto declared = firstImageSize(image);
        const QImage& picture = table.frames[i].FramePicture.image();
        if (!declared || picture.size() != *declared)
            return ::testing::AssertionFailure() << "frame " << i << " is " << picture.width() << "x"
                                                 << picture.height() << ", not its declared size";
        if (picture.format() != QImage::Format_Indexed8)
            return ::testing::AssertionFailure() << "frame " << i << " is not indexed";
        for (int y = 0; y < picture.height(); ++y) {
            const uchar* line = picture.constScanLine(y);
            if (*std::max_element(line, line + picture.width()) >= picture.colorCount())
                return ::testing::AssertionFailure() << "frame " << i << " names a colour past its table";
        }
    }
    return ::testing::AssertionSuccess();
}

std::int32_t splitBothWays(QByteArrayView data, FrameTable& table, std::int64_t budget)
{
    FrameTable inOrder;
    const std::int32_t result = SplitGifBytes(data, inOrder, budget, 1);
    for (const int threads : {2, 5}) {
        FrameTable parallel;
        const std::int32_t other = SplitGifBytes(data, parallel, budget, threads);
        EXPECT_TRUE(sameSplit(result, inOrder, other, parallel)) << threads << " threads";
    }
    EXPECT_TRUE(keepsItsPromises(data, result, inOrder));
    table = std::move(inOrder);
    return result;
}

} // namespace skarvel::test
