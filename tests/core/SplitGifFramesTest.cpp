#include "frames/FrameCutter.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/SplitCheck.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

const QByteArray kSeparator("\x00\x21\xF9", 3);

ImageSpec frame(int seed, GraphicControl control = {}, int width = 10, int height = 6)
{
    ImageSpec spec = GifBuilder::pattern(width, height, 4, seed);
    spec.control = control;
    return spec;
}

// `count` frames, each opened by a Graphic Control Extension, behind a loop extension if `loop`.
QByteArray frames(int count, bool loop = true)
{
    GifBuilder builder(10, 6, distinctColours(4));
    if (loop)
        builder.loopExtension();
    for (int i = 0; i < count; ++i)
        builder.image(frame(i));
    return builder.build();
}

// The frames' pictures are giflib's images `images` of `gif` (all of them when none are named).
void expectPictures(const FrameTable& table, const QByteArray& gif, std::vector<std::size_t> images = {})
{
    const auto oracle = slurpGif(gif);
    ASSERT_TRUE(oracle);
    if (images.empty())
        for (std::size_t i = 0; i < oracle->images.size(); ++i)
            images.push_back(i);
    ASSERT_EQ(table.frames.size(), images.size());
    for (std::size_t i = 0; i < images.size(); ++i)
        EXPECT_TRUE(samePicture(table.frames[i].FramePicture.image(), oracle->images[images[i]])) << "frame " << i;
}

} // namespace

TEST(SplitGifFrames, CutsAtEachSeparatorIntoHeaderAndChunks)
{
    const QByteArray gif = frames(3);
    FrameTable table;
    ASSERT_EQ(splitBothWays(frames(5), table), 4); // the next split replaces these frames
    EXPECT_EQ(splitBothWays(gif, table), 2);
    EXPECT_EQ(table.GifWidth, 10);
    EXPECT_EQ(table.GifHeight, 6);
    expectPictures(table, gif);

    // The header runs to the first separator's "00 21"; each chunk from its F9 to the next "00 21".
    const qsizetype s0 = gif.indexOf(kSeparator), s1 = gif.indexOf(kSeparator, s0 + 3), s2 = gif.indexOf(kSeparator, s1 + 3);
    FrameCutter cutter(gif);
    EXPECT_EQ(cutter.header(), QByteArrayView(gif).first(s0 + 2));
    const auto c0 = cutter.next(), c1 = cutter.next(), c2 = cutter.next();
    ASSERT_TRUE(c0 && c1 && c2);
    EXPECT_FALSE(cutter.next());
    EXPECT_EQ(c0->bytes, QByteArrayView(gif).sliced(s0 + 2, s1 - s0));
    EXPECT_EQ(c1->bytes, QByteArrayView(gif).sliced(s1 + 2, s2 - s1));
    EXPECT_EQ(c2->bytes, QByteArrayView(gif).sliced(s2 + 2));
    EXPECT_FALSE(c0->last || c1->last);
    EXPECT_TRUE(c2->last);
}

TEST(SplitGifFrames, FirstSeparatorBehindTheColourTable)
{
    // No loop extension: the first control follows the colour table, whose last byte is not 0.
    const QByteArray gif = frames(3, false);
    ASSERT_NE(gif[13 + 12 - 1], 0);
    ASSERT_EQ(gif.mid(13 + 12, 2), QByteArray("\x21\xF9"));
    FrameTable table;
    EXPECT_EQ(splitBothWays(gif, table), 2);
    expectPictures(table, gif);
    EXPECT_EQ(FrameCutter(gif).header(), QByteArrayView(gif).first(13 + 12 + 1));

    // Colours that read 00 21 F9 do not cut.
    const std::vector<Rgb> colours = {{0x10, 0x20, 0x00}, {0x21, 0xF9, 0x04}, {0x33, 0x44, 0x00}, {0x21, 0xF9, 0x05}};
    const QByteArray tricky = GifBuilder(10, 6, colours).loopExtension().image(frame(0)).image(frame(1)).build();
    ASSERT_EQ(tricky.indexOf(kSeparator), 13 + 2);
    EXPECT_EQ(splitBothWays(tricky, table), 1);
    EXPECT_EQ(table.GifWidth, 10);
    expectPictures(table, tricky);
}

TEST(SplitGifFrames, DelayClearAndPositionOfEachFrame)
{
    struct Case {
        GraphicControl control;
        int delay;
        bool clear;
    };
    const std::vector<Case> cases = {
        {{1, 0, -1}, 100, false},         // packed 0x04; no delay counts as a second
        {{1, 7, 0}, 70, false},           // 0x05
        {{2, 65535, -1}, 655350, true},   // 0x08
        {{0, 1, -1}, 10, true},           // 0x00
        {{2, 10, 0}, 100, true},          // 0x09
        {{1, 10, -1, true}, 100, true},   // 0x06: user input
        {{3, 10, -1}, 100, true},         // 0x0C
    };
    GifBuilder builder(400, 6, distinctColours(4));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ImageSpec spec = frame(int(i), cases[i].control, 4, 3);
        spec.left = 50 * int(i) + 1;
        spec.top = int(i % 3);
        spec.commentBeforeImage = i == 4; // an extension behind the control hides the position
        builder.image(spec);
    }
    const QByteArray gif = builder.build();
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), std::int32_t(cases.size()) - 1);
    expectPictures(table, gif);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table.frames[i].FrameDelay, cases[i].delay);
        EXPECT_EQ(table.frames[i].FrameClear, cases[i].clear);
        EXPECT_EQ(table.frames[i].FrameLeft, i == 4 ? 0 : 50 * int(i) + 1);
        EXPECT_EQ(table.frames[i].FrameTop, i == 4 ? 0 : int(i % 3));
    }
}

TEST(SplitGifFrames, AnImageWithoutItsOwnControlJoinsTheFrameBefore)
{
    ImageSpec bare = frame(3);
    bare.control.reset();
    const QByteArray gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(bare).image(frame(2)).build();
    FrameTable table;
    EXPECT_EQ(splitBothWays(gif, table), 1);
    expectPictures(table, gif, {0, 2});
}

TEST(SplitGifFrames, NotASplittableGif)
{
    FrameTable table;
    // No separator at all: a still image without any control.
    ImageSpec still = GifBuilder::solid(4, 4, 1);
    still.control.reset();
    EXPECT_EQ(splitBothWays(GifBuilder(4, 4, distinctColours(2)).image(still).build(), table), 0);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.GifWidth, 0);
    EXPECT_EQ(table.GifHeight, 0);

    QByteArray lower = frames(3);
    lower.replace(0, 3, "gif");
    EXPECT_EQ(splitBothWays(lower, table), 0);
    EXPECT_TRUE(table.empty());

    // One frame only.
    EXPECT_EQ(splitBothWays(GifBuilder(4, 4, distinctColours(2)).image(frame(0, {}, 4, 4)).build(), table), 0);
    EXPECT_EQ(table.frames.size(), 1u);
    EXPECT_EQ(splitBothWays(QByteArray(), table), 0);
}

TEST(SplitGifFrames, ALastFrameThatCannotBeLoadedIsDropped)
{
    FrameTable table;
    const QByteArray gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(frame(1)).danglingControl().build();
    EXPECT_EQ(splitBothWays(gif, table), 1);
    expectPictures(table, gif);

    // Two separators, the second with nothing behind it: one frame is left.
    EXPECT_EQ(splitBothWays(GifBuilder(10, 6, distinctColours(4)).image(frame(0)).danglingControl().build(), table), 0);
    EXPECT_EQ(table.frames.size(), 1u);

    // A single frame that cannot be loaded leaves nothing.
    QByteArray broken = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).build();
    broken.truncate(broken.size() - 12);
    EXPECT_EQ(splitBothWays(broken, table), 0);
    EXPECT_TRUE(table.empty());
}

TEST(SplitGifFrames, AMiddleFrameThatCannotBeLoadedFailsTheSplit)
{
    QByteArray gif = frames(3);
    // Turn the second frame's image descriptor into an unknown block.
    const qsizetype s1 = gif.indexOf(kSeparator, gif.indexOf(kSeparator) + 3);
    ASSERT_EQ(gif[s1 + 9], ',');
    gif[s1 + 9] = char(0x99);
    FrameTable table;
    EXPECT_EQ(splitBothWays(gif, table), -1);
    // The frames made before the failure stay.
    expectPictures(table, frames(3), {0});
}

TEST(SplitGifFrames, TooShortOrUnreadable)
{
    FrameTable table;
    // A header too short for the logical screen size.
    EXPECT_EQ(splitBothWays(QByteArray("GIF\x00\x21\xF9\x04\x00\x00", 9), table), -1);
    // A middle chunk too short for its delay.
    const QByteArray gif = QByteArray("GIF89a\x02\x00\x02\x00\x00\x00\x00", 13) + QByteArray("\x00\x21\xF9\x04\x00\x21\xF9", 7);
    EXPECT_EQ(splitBothWays(gif + frames(3).mid(13), table), -1);

    const ScratchDir dir;
    EXPECT_EQ(SplitGifFrames(dir.file(QStringLiteral("missing.gif")), table), -1);
    EXPECT_EQ(SplitGifFrames(dir.path(), table), -1);
    EXPECT_EQ(SplitGifFrames(QString(), table), -1);
    EXPECT_TRUE(table.empty());
}

TEST(FrameCutter, FindsEverySeparatorAPlainSearchFinds)
{
    // Bytes drawn from the separator's own three and one other, so that near misses abound.
    std::uint32_t state = 12345;
    QByteArray data;
    for (int i = 0; i < 4000; ++i) {
        state = state * 1103515245u + 12345u;
        data.append("\x00\x21\xF9\x2C"[(state >> 16) % 4]);
    }
    for (qsizetype from = -1; from <= data.size() + 1; ++from)
        ASSERT_EQ(FrameCutter::findSeparator(data, from), from < 0 ? -1 : data.indexOf(kSeparator, from)) << from;
    EXPECT_EQ(FrameCutter::findSeparator(QByteArrayView(kSeparator).first(2), 0), -1);
    EXPECT_EQ(FrameCutter::findSeparator(kSeparator, 0), 0);
}
