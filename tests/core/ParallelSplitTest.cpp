// Decoding frame images on several threads must come to exactly what one thread comes to
// (splitBothWays checks that in every case here), and no claim of a frame may cost memory before
// the budget has allowed it.
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/SplitCheck.h"

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

const QByteArray kSeparator("\x00\x21\xF9", 3);

bool hasLocalTable(int frame) { return frame % 5 == 3; }

// `count` frames of varied sizes and content, some with a colour table of their own; a comment before each image when `commented`
// hides the image size from anything that does not decode the frame.
QByteArray manyFrames(int count, bool commented = false)
{
    GifBuilder builder(64, 48, distinctColours(16));
    builder.loopExtension();
    for (int i = 0; i < count; ++i) {
        ImageSpec spec = GifBuilder::pattern(8 + i % 50, 4 + i % 40, 16, i);
        spec.control = GraphicControl{i % 4, i % 9};
        spec.interlaced = i % 3 == 0;
        spec.commentBeforeImage = commented;
        spec.localColours = hasLocalTable(i) ? distinctColours(16) : std::vector<Rgb>{};
        builder.image(spec);
    }
    return builder.build();
}

// Where frame `index`'s Image Descriptor begins (behind the comment, if any).
qsizetype imageOf(const QByteArray& gif, int index)
{
    qsizetype at = -3;
    for (int i = 0; i <= index; ++i)
        at = gif.indexOf(kSeparator, at + 3);
    return at + 9 + (gif[at + 9] == '!' ? 9 : 0);
}

// Ends frame `index`'s LZW data at once: an empty sub-block where its first one begins.
QByteArray breakFrame(QByteArray gif, int index)
{
    gif[imageOf(gif, index) + 11] = 0;
    return gif;
}

// What the pictures of the first `count` frames cost.
std::int64_t costOf(const FrameTable& table, int count)
{
    std::int64_t bytes = 0;
    for (int i = 0; i < count; ++i)
        bytes += FrameCost(table.frames[i].FramePicture.pixelWidth(), table.frames[i].FramePicture.pixelHeight(), hasLocalTable(i));
    return bytes;
}

} // namespace

TEST(ParallelSplit, BudgetRefusalsFallOnTheSameFrame)
{
    FrameTable all, table;
    // Sizes declared in plain frames are summed up front: a file whose frames but the last declare
    // more than the budget is refused with nothing decoded. The last counts when its turn comes.
    const QByteArray plain = manyFrames(30);
    ASSERT_EQ(splitBothWays(plain, all), 29);
    for (const auto& [budget, result, stored] : {std::tuple(costOf(all, 29) - 1, -1, 0), std::tuple(costOf(all, 29), -1, 29),
                                                 std::tuple(costOf(all, 30), 29, 30)}) {
        EXPECT_EQ(splitBothWays(plain, table, budget), result);
        EXPECT_EQ(table.frames.size(), std::size_t(stored));
    }
    // The sum follows the file's blocks past comments; sizes behind a byte no block starts with
    // (a stray zero the decoder never reads) are met while frames are made, some ahead of their turn.
    EXPECT_EQ(splitBothWays(manyFrames(30, true), table, costOf(all, 29) - 1), -1);
    EXPECT_EQ(table.frames.size(), 0u);
    QByteArray gif = manyFrames(30, true);
    gif.insert(gif.indexOf(kSeparator, gif.indexOf(kSeparator) + 3), '\0');
    EXPECT_EQ(splitBothWays(gif, table, costOf(all, 13) - 1), -1);
    EXPECT_EQ(table.frames.size(), 12u);
    // The last frame over the budget is a refusal, not a drop, even when it is broken too.
    EXPECT_EQ(splitBothWays(breakFrame(gif, 29), table, costOf(all, 29)), -1);
    EXPECT_EQ(splitBothWays(breakFrame(gif, 29), table, costOf(all, 30)), 28);
}

TEST(ParallelSplit, FramesSpeltByColoursDoNotCountAgainstTheBudget)
{
    // A colour table whose bytes read as 17 frames of 8192 x 8192, 1.1 GiB: only colours.
    const std::uint8_t fake[] = {0x21, 0xF9, 4, 0, 5, 0, 0, 0, 0x2C, 0, 0, 0, 0, 0, 0x20, 0, 0x20, 0, 8, 0};
    QByteArray bytes(1, '\0');
    for (int i = 0; i < 17; ++i)
        bytes.append(reinterpret_cast<const char*>(fake), sizeof fake);
    bytes.resize(768, '\0');
    ImageSpec middle = GifBuilder::pattern(6, 5, 4, 1);
    for (int i = 0; i < 256; ++i)
        middle.localColours.push_back({quint8(bytes[3 * i]), quint8(bytes[3 * i + 1]), quint8(bytes[3 * i + 2])});
    const QByteArray gif = GifBuilder(6, 5, distinctColours(4)).image(GifBuilder::pattern(6, 5, 4)).image(middle)
                               .image(GifBuilder::pattern(6, 5, 4, 2)).build();
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), 2);
    expectAsGiflib(table, gif);
}

TEST(ParallelSplit, BeyondTheListedChunksTheCutGoesOn)
{
    // More frames than the splitter keeps in its list of chunks: the rest are cut as they come.
    const QByteArray head = GifBuilder(1, 1, distinctColours(2)).loopExtension().image(GifBuilder::solid(1, 1, 1)).build();
    const qsizetype first = head.indexOf(kSeparator);
    const int count = (1 << 16) + 300;
    const QByteArray gif = head.left(first) + head.mid(first, head.size() - 1 - first).repeated(count) + ';';
    FrameTable inOrder, parallel;
    ASSERT_EQ(SplitGifBytes(gif, inOrder, PictureLimits::kSplitBudgetBytes, 1), count - 1);
    ASSERT_EQ(SplitGifBytes(gif, parallel, PictureLimits::kSplitBudgetBytes, 2), count - 1);
    EXPECT_TRUE(sameSplit(count - 1, inOrder, count - 1, parallel));
    EXPECT_EQ(inOrder.frames.back().chunkEnd, gif.size());
}
