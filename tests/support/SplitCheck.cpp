#include "support/SplitCheck.h"

namespace skarvel::test {

::testing::AssertionResult sameSplit(std::int32_t resultA, const FrameTable& a, std::int32_t resultB, const FrameTable& b)
{
    if (resultA != resultB || a.GifWidth != b.GifWidth || a.GifHeight != b.GifHeight || a.frames.size() != b.frames.size())
        return ::testing::AssertionFailure() << "results " << resultA << " and " << resultB << ", "
                                             << a.frames.size() << " and " << b.frames.size() << " frames";
    for (std::size_t i = 0; i < a.frames.size(); ++i) {
        const FrameEntry& x = a.frames[i];
        const FrameEntry& y = b.frames[i];
        if (x.FrameClear != y.FrameClear || x.FrameDelay != y.FrameDelay || x.FrameLeft != y.FrameLeft
            || x.FrameTop != y.FrameTop || x.chunkBegin != y.chunkBegin || x.chunkEnd != y.chunkEnd
            || x.FramePicture.image() != y.FramePicture.image())
            return ::testing::AssertionFailure() << "frame " << i << " differs";
    }
    return ::testing::AssertionSuccess();
}

std::int32_t splitBothWays(const QByteArray& data, FrameTable& table, std::int64_t budget)
{
    FrameTable inOrder;
    const std::int32_t result = SplitGifBytes(data, inOrder, budget, 1);
    for (const int threads : {2, 5}) {
        FrameTable parallel;
        const std::int32_t other = SplitGifBytes(data, parallel, budget, threads);
        EXPECT_TRUE(sameSplit(result, inOrder, other, parallel)) << threads << " threads";
    }
    EXPECT_GE(result, -1);
    if (result >= 1) {
        EXPECT_EQ(inOrder.frames.size(), std::size_t(result) + 1);
    } else if (result == 0) {
        EXPECT_LE(inOrder.frames.size(), 1u);
    }
    table = std::move(inOrder);
    return result;
}

} // namespace skarvel::test
