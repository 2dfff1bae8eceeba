// Decoding frame images on several threads must come to exactly what one thread comes to:
// splitBothWays checks that in every case here.
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/SplitCheck.h"

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// `count` frames of varied sizes and content; a comment before each image when `commented`
// hides the image size from anything that does not decode the frame.
QByteArray manyFrames(int count, bool commented = false)
{
    GifBuilder builder(64, 48, distinctColours(16));
    builder.loopExtension();
    for (int i = 0; i < count; ++i) {
        ImageSpec spec = GifBuilder::pattern(8 + i % 50, 4 + i % 40, 16, i);
        spec.control = GraphicControl{i % 4, i % 9};
        spec.left = i % 7;
        spec.interlaced = i % 3 == 0;
        spec.commentBeforeImage = commented;
        builder.image(spec);
    }
    return builder.build();
}

qsizetype separator(const QByteArray& gif, int index)
{
    qsizetype at = -3;
    for (int i = 0; i <= index; ++i)
        at = gif.indexOf(QByteArray("\x00\x21\xF9", 3), at + 3);
    return at;
}

// Cuts the LZW data of frame `index` short behind its Image Descriptor, keeping what follows.
QByteArray breakFrame(QByteArray gif, int index)
{
    // The control's "00 21 F9 04" and four bytes and its terminator, then extensions, then ",".
    qsizetype at = separator(gif, index) + 9;
    while (gif[at] == '!') {
        at += 2;
        while (gif[at] != 0)
            at += quint8(gif[at]) + 1;
        ++at;
    }
    EXPECT_EQ(gif[at], ',');
    const qsizetype from = at + 10 + 1 + 3; // descriptor, LZW code size, a few bytes of data
    const qsizetype to = separator(gif, index + 1);
    gif.remove(from, (to < 0 ? gif.size() - 1 : to) - from);
    return gif;
}

// The bytes the pictures of the first `count` frames take.
std::int64_t bytesOf(const FrameTable& table, int count)
{
    std::int64_t bytes = 0;
    for (int i = 0; i < count; ++i)
        bytes += FrameCost(table.frames[std::size_t(i)].FramePicture.pixelWidth(),
                           table.frames[std::size_t(i)].FramePicture.pixelHeight(), false);
    return bytes;
}

} // namespace

TEST(ParallelSplit, FailureRulesHoldWhateverTheThreadsDecodedAhead)
{
    // Far more frames than the threads look ahead, so that the window turns many times.
    const QByteArray gif = manyFrames(150);
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), 149);

    // A broken middle frame: -1, with exactly the frames before it stored, although later frames
    // were decoded ahead.
    EXPECT_EQ(splitBothWays(breakFrame(gif, 17), table), -1);
    EXPECT_EQ(table.frames.size(), 17u);
    EXPECT_EQ(splitBothWays(breakFrame(gif, 0), table), -1);
    EXPECT_TRUE(table.empty());
    // Only the last frame is broken: it is dropped.
    EXPECT_EQ(splitBothWays(breakFrame(gif, 149), table), 148);
    // A file that is nothing but separators fails at its first frame.
    QByteArray separators = gif.left(13 + 48);
    for (int i = 0; i < 5000; ++i)
        separators.append("\x00\x21\xF9", 3);
    EXPECT_EQ(splitBothWays(separators, table), -1);
}

TEST(ParallelSplit, BudgetRefusalsFallOnTheSameFrame)
{
    FrameTable all, table;
    // Sizes declared in plain frames are summed up front: a file whose frames but the last declare
    // more than the budget is refused with nothing decoded, not even the frames that would fit.
    const QByteArray plain = manyFrames(30);
    ASSERT_EQ(splitBothWays(plain, all), 29);
    EXPECT_EQ(splitBothWays(plain, table, bytesOf(all, 29) - 1), -1);
    EXPECT_TRUE(table.empty());
    // The last frame does not count before decoding: refused when its turn comes.
    EXPECT_EQ(splitBothWays(plain, table, bytesOf(all, 29)), -1);
    EXPECT_EQ(table.frames.size(), 29u);

    // With a comment before each image the sizes are only known by decoding, so the budget is met
    // while frames are made, some of them ahead of their turn with more room than is left.
    const QByteArray gif = manyFrames(30, true);
    ASSERT_EQ(splitBothWays(gif, all), 29);
    EXPECT_EQ(splitBothWays(gif, table, bytesOf(all, 12)), -1);
    EXPECT_EQ(table.frames.size(), 12u);
    EXPECT_EQ(splitBothWays(gif, table, bytesOf(all, 13) - 1), -1);
    EXPECT_EQ(table.frames.size(), 12u);
    // The last frame over the budget is a refusal, not a drop, even when it is broken too: the
    // budget is checked before its data is read.
    const QByteArray brokenLast = breakFrame(gif, 29);
    EXPECT_EQ(splitBothWays(brokenLast, table, bytesOf(all, 29)), -1);
    EXPECT_EQ(table.frames.size(), 29u);
    EXPECT_EQ(splitBothWays(brokenLast, table, bytesOf(all, 30)), 28);
}

TEST(ParallelSplit, BeyondTheListedChunksTheCutGoesOn)
{
    // More frames than the splitter keeps in its list of chunks: the rest are cut as they come.
    // The smallest frames that still decode keep this quick.
    const QByteArray head = GifBuilder(1, 1, distinctColours(2)).loopExtension().image(GifBuilder::solid(1, 1, 1)).build();
    const qsizetype first = head.indexOf(QByteArray("\x00\x21\xF9", 3));
    const QByteArray body = head.mid(first, head.size() - 1 - first); // one frame, no trailer
    const int count = (1 << 16) + 300;
    const QByteArray gif = head.left(first) + body.repeated(count) + ';';
    FrameTable inOrder, parallel;
    ASSERT_EQ(SplitGifBytes(gif, inOrder, PictureLimits::kSplitBudgetBytes, 1), count - 1);
    ASSERT_EQ(SplitGifBytes(gif, parallel, PictureLimits::kSplitBudgetBytes, 2), count - 1);
    EXPECT_TRUE(sameSplit(count - 1, inOrder, count - 1, parallel));
}
