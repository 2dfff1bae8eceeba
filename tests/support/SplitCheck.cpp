#include "support/SplitCheck.h"

#include "support/GifOracle.h"

#include <tuple>

namespace skarvel::test {

namespace {

auto valuesOf(const FrameEntry& f)
{
    return std::tuple(f.FrameClear, f.FrameDelay, f.FrameLeft, f.FrameTop, f.chunkBegin, f.chunkEnd, f.FramePicture.image());
}

} // namespace

::testing::AssertionResult sameSplit(std::int32_t resultA, const FrameTable& a, std::int32_t resultB, const FrameTable& b)
{
    if (std::tuple(resultA, a.GifWidth, a.GifHeight, a.frames.size()) != std::tuple(resultB, b.GifWidth, b.GifHeight, b.frames.size()))
        return ::testing::AssertionFailure() << "results " << resultA << " and " << resultB << ", "
                                             << a.frames.size() << " and " << b.frames.size() << " frames";
    for (std::size_t i = 0; i < a.frames.size(); ++i)
        if (valuesOf(a.frames[i]) != valuesOf(b.frames[i]))
            return ::testing::AssertionFailure() << "frame " << i << " differs";
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
    EXPECT_TRUE(result < 1 ? inOrder.frames.size() <= 1 || result < 0 : inOrder.frames.size() == std::size_t(result) + 1);
    table = std::move(inOrder);
    return result;
}

void expectAsGiflib(const FrameTable& table, const QByteArray& gif, std::vector<std::size_t> images)
{
    const auto oracle = slurpGif(gif);
    ASSERT_TRUE(oracle);
    EXPECT_EQ(QSize(table.GifWidth, table.GifHeight), QSize(oracle->width, oracle->height));
    for (std::size_t i = images.empty() ? 0 : oracle->images.size(); i < oracle->images.size(); ++i)
        images.push_back(i);
    ASSERT_EQ(table.frames.size(), images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const SlurpedImage& image = oracle->images[images[i]];
        const FrameEntry& frame = table.frames[i];
        EXPECT_TRUE(samePicture(frame.FramePicture.image(), image)) << "frame " << i;
        // Another extension behind the control hides the position.
        const bool hidden = image.extensionAfterControl;
        EXPECT_EQ(std::tuple(frame.FrameDelay, frame.FrameClear, frame.FrameLeft, frame.FrameTop),
                  std::tuple(image.delay ? image.delay * 10 : 100, image.packed != 4 && image.packed != 5,
                             hidden ? 0 : image.left, hidden ? 0 : image.top)) << "frame " << i;
    }
}

} // namespace skarvel::test
