// Decoding frame images on several threads must come to exactly what one thread comes to.
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/SplitCheck.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

constexpr std::int64_t kBudget = PictureLimits::kSplitBudgetBytes;

// Splits `gif` on one thread and on several, expects the same outcome, and answers it.
std::int32_t splitBothWays(QByteArrayView gif, FrameTable& table, std::int64_t budget = kBudget)
{
    FrameTable inOrder;
    const std::int32_t result = SplitGifBytes(gif, inOrder, budget, 1);
    for (const int threads : {2, 5}) {
        FrameTable parallel;
        const std::int32_t other = SplitGifBytes(gif, parallel, budget, threads);
        EXPECT_TRUE(sameSplit(result, inOrder, other, parallel)) << threads << " threads";
    }
    EXPECT_TRUE(keepsItsPromises(gif, result, inOrder));
    table = std::move(inOrder);
    return result;
}

ImageSpec frame(int seed, int width = 24, int height = 16)
{
    ImageSpec spec = GifBuilder::pattern(width, height, 16, seed);
    spec.control = GraphicControl{seed % 4, seed % 9};
    return spec;
}

// `count` frames of varied sizes and content; a comment before each image when `commented`
// hides the image size from anything that does not decode the frame.
QByteArray manyFrames(int count, bool commented = false)
{
    GifBuilder builder(64, 48, distinctColours(16));
    builder.loopExtension();
    for (int i = 0; i < count; ++i) {
        ImageSpec spec = frame(i, 8 + i % 50, 4 + i % 40);
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

} // namespace

TEST(ParallelSplit, SameTablesForFixturesAndManyFrames)
{
    for (const QString& name : QDir(fixture(QString())).entryList({QStringLiteral("*.gif")})) {
        const QByteArray gif = readFile(fixture(name));
        FrameTable table;
        EXPECT_GE(splitBothWays(gif, table), 1) << name.toStdString();
    }
    // Far more frames than the threads look ahead, so that the window turns many times.
    const QByteArray gif = manyFrames(150);
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), 149);
    const auto oracle = slurpGif(gif);
    ASSERT_TRUE(oracle);
    for (std::size_t i = 0; i < table.frames.size(); ++i)
        ASSERT_TRUE(samePicture(table.frames[i].FramePicture.image(), oracle->images[i])) << i;
}

TEST(ParallelSplit, FailureRulesHoldWhateverTheThreadsDecodedAhead)
{
    FrameTable table;
    // A broken middle frame: -1, with exactly the frames before it stored, although later frames
    // were decoded ahead.
    EXPECT_EQ(splitBothWays(breakFrame(manyFrames(40), 17), table), -1);
    EXPECT_EQ(table.frames.size(), 17u);
    EXPECT_EQ(splitBothWays(breakFrame(manyFrames(40), 0), table), -1);
    EXPECT_TRUE(table.empty());
    // Only the last frame is broken: it is dropped.
    EXPECT_EQ(splitBothWays(breakFrame(manyFrames(40), 39), table), 38);
    // A file that is nothing but separators fails at its first frame.
    QByteArray separators = manyFrames(2).left(13 + 48);
    for (int i = 0; i < 5000; ++i)
        separators.append("\x00\x21\xF9", 3);
    EXPECT_EQ(splitBothWays(separators, table), -1);
}

TEST(ParallelSplit, BudgetRefusalsFallOnTheSameFrame)
{
    // With a comment before each image the sizes are only known by decoding, so the budget is met
    // while frames are made, some of them ahead of their turn with more room than is left.
    const QByteArray gif = manyFrames(30, true);
    FrameTable all;
    ASSERT_EQ(splitBothWays(gif, all), 29);
    std::int64_t upTo12 = 0;
    for (int i = 0; i < 12; ++i)
        upTo12 += all.frames[std::size_t(i)].FramePicture.byteCount();
    FrameTable table;
    EXPECT_EQ(splitBothWays(gif, table, upTo12), -1);
    EXPECT_EQ(table.frames.size(), 12u);
    EXPECT_EQ(splitBothWays(gif, table, upTo12 + all.frames[12].FramePicture.byteCount() - 1), -1);
    EXPECT_EQ(table.frames.size(), 12u);

    // The last frame over the budget is a refusal, not a drop, even when it is broken too: the
    // budget is checked before its data is read.
    std::int64_t allButLast = 0;
    for (int i = 0; i < 29; ++i)
        allButLast += all.frames[std::size_t(i)].FramePicture.byteCount();
    const QByteArray brokenLast = breakFrame(gif, 29);
    EXPECT_EQ(splitBothWays(brokenLast, table, allButLast), -1);
    EXPECT_EQ(table.frames.size(), 29u);
    EXPECT_EQ(splitBothWays(brokenLast, table, allButLast + all.frames[29].FramePicture.byteCount()), 28);
}

TEST(ParallelSplit, AFileDeclaringMoreThanTheBudgetIsRefusedBeforeDecoding)
{
    const QByteArray gif = manyFrames(30);
    FrameTable all;
    ASSERT_EQ(splitBothWays(gif, all), 29);
    std::int64_t allButLast = 0;
    for (int i = 0; i < 29; ++i)
        allButLast += all.frames[std::size_t(i)].FramePicture.byteCount();
    FrameTable table;
    // Nothing was decoded: not even the frames that would have fitted are stored.
    EXPECT_EQ(splitBothWays(gif, table, allButLast - 1), -1);
    EXPECT_TRUE(table.empty());
    // The last frame does not count before decoding: refused when its turn comes.
    EXPECT_EQ(splitBothWays(gif, table, allButLast), -1);
    EXPECT_EQ(table.frames.size(), 29u);
}

TEST(ParallelSplit, BeyondTheListedChunksTheCutGoesOn)
{
    // More frames than the splitter keeps in its list of chunks: the rest are cut as they come.
    // The smallest frames that still decode keep this quick.
    const QByteArray head = GifBuilder(1, 1, distinctColours(2)).loopExtension().image(GifBuilder::solid(1, 1, 1)).build();
    const qsizetype first = head.indexOf(QByteArray("\x00\x21\xF9", 3));
    const QByteArray body = head.mid(first, head.size() - 1 - first); // one frame, no trailer
    QByteArray gif = head.left(first);
    const int count = (1 << 16) + 300;
    gif.reserve(gif.size() + body.size() * count + 1);
    for (int i = 0; i < count; ++i)
        gif.append(body);
    gif.append(';');
    FrameTable inOrder;
    FrameTable parallel;
    ASSERT_EQ(SplitGifBytes(gif, inOrder, kBudget, 1), count - 1);
    ASSERT_EQ(SplitGifBytes(gif, parallel, kBudget, 2), count - 1);
    EXPECT_TRUE(sameSplit(count - 1, inOrder, count - 1, parallel));
}
