#include "frames/FrameCutter.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

ImageSpec frame(int seed, GraphicControl control = {}, int width = 10, int height = 6)
{
    ImageSpec spec = GifBuilder::pattern(width, height, 4, seed);
    spec.control = control;
    return spec;
}

// Three frames, each opened by a Graphic Control Extension, behind a loop extension.
QByteArray threeFrames()
{
    return GifBuilder(10, 6, distinctColours(4)).loopExtension().image(frame(0)).image(frame(1)).image(frame(2)).build();
}

std::int32_t split(const QByteArray& gif, FrameTable& table)
{
    const ScratchDir dir;
    return SplitGifFrames(dir.write(QStringLiteral("anim.gif"), gif), table);
}

void expectFramesMatch(const FrameTable& table, const QByteArray& gif)
{
    const auto oracle = slurpGif(gif);
    ASSERT_TRUE(oracle);
    ASSERT_EQ(table.frames.size(), oracle->images.size());
    for (std::size_t i = 0; i < table.frames.size(); ++i)
        EXPECT_TRUE(samePicture(table.frames[i].FramePicture.image(), oracle->images[i])) << "frame " << i;
}

} // namespace

TEST(SplitGifFrames, CutsEveryFrameWithItsOwnPicture)
{
    const QByteArray gif = threeFrames();
    FrameTable table;
    EXPECT_EQ(split(gif, table), 2);
    EXPECT_EQ(table.GifWidth, 10);
    EXPECT_EQ(table.GifHeight, 6);
    expectFramesMatch(table, gif);
}

TEST(SplitGifFrames, FrameImagesAreHeaderPlusChunk)
{
    const QByteArray gif = threeFrames();
    FrameCutter cutter(gif);
    const qsizetype s0 = gif.indexOf(QByteArray("\x00\x21\xF9", 3));
    const qsizetype s1 = gif.indexOf(QByteArray("\x00\x21\xF9", 3), s0 + 3);
    const qsizetype s2 = gif.indexOf(QByteArray("\x00\x21\xF9", 3), s1 + 3);
    EXPECT_EQ(cutter.header(), QByteArrayView(gif).first(s0 + 2));
    const auto c0 = cutter.next();
    const auto c1 = cutter.next();
    const auto c2 = cutter.next();
    ASSERT_TRUE(c0 && c1 && c2);
    EXPECT_FALSE(cutter.next());
    EXPECT_EQ(cutter.header().toByteArray() + c0->bytes.toByteArray(), gif.left(s1 + 2));
    EXPECT_EQ(c1->bytes, QByteArrayView(gif).sliced(s1 + 2, s2 - s1));
    EXPECT_EQ(c2->bytes, QByteArrayView(gif).sliced(s2 + 2));
    EXPECT_FALSE(c0->last || c1->last);
    EXPECT_TRUE(c2->last);
}

TEST(SplitGifFrames, FirstControlRightBehindTheColourTableIsAFrame)
{
    // No loop extension: the first extension follows the colour table, whose last byte is 1.
    const QByteArray gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(frame(1)).image(frame(2)).build();
    ASSERT_NE(gif[13 + 12 - 1], 0);
    ASSERT_EQ(gif.mid(13 + 12, 2), QByteArray("\x21\xF9"));
    FrameTable table;
    EXPECT_EQ(split(gif, table), 2);
    expectFramesMatch(table, gif);
    EXPECT_EQ(FrameCutter(gif).header(), QByteArrayView(gif).first(13 + 12 + 1));
}

TEST(SplitGifFrames, SeparatorBytesInsideTheColourTableDoNotCut)
{
    std::vector<Rgb> colours = {{0x10, 0x20, 0x00}, {0x21, 0xF9, 0x04}, {0x33, 0x44, 0x00}, {0x21, 0xF9, 0x05}};
    const QByteArray gif = GifBuilder(10, 6, colours).loopExtension().image(frame(0)).image(frame(1)).build();
    ASSERT_EQ(gif.indexOf(QByteArray("\x00\x21\xF9", 3)), 13 + 2);
    FrameTable table;
    EXPECT_EQ(split(gif, table), 1);
    EXPECT_EQ(table.GifWidth, 10);
    expectFramesMatch(table, gif);
}

TEST(SplitGifFrames, DelayIsTenTimesTheFieldAndNeverZero)
{
    GifBuilder builder(10, 6, distinctColours(4));
    for (const int delay : {0, 7, 65535, 1})
        builder.image(frame(delay, GraphicControl{1, delay}));
    FrameTable table;
    ASSERT_EQ(split(builder.build(), table), 3);
    EXPECT_EQ(table.frames[0].FrameDelay, 100);
    EXPECT_EQ(table.frames[1].FrameDelay, 70);
    EXPECT_EQ(table.frames[2].FrameDelay, 655350);
    EXPECT_EQ(table.frames[3].FrameDelay, 10);
}

TEST(SplitGifFrames, OnlyKeepWithoutOtherFlagsSkipsClearing)
{
    const std::vector<std::pair<GraphicControl, bool>> cases = {
        {GraphicControl{1, 10, -1}, false},       // packed 0x04
        {GraphicControl{1, 10, 0}, false},        // 0x05
        {GraphicControl{2, 10, -1}, true},        // 0x08
        {GraphicControl{0, 10, -1}, true},        // 0x00
        {GraphicControl{2, 10, 0}, true},         // 0x09
        {GraphicControl{1, 10, -1, true}, true},  // 0x06: user input
        {GraphicControl{3, 10, -1}, true},        // 0x0C
    };
    GifBuilder builder(10, 6, distinctColours(4));
    for (const auto& [control, clear] : cases)
        builder.image(frame(1, control));
    FrameTable table;
    ASSERT_EQ(split(builder.build(), table), std::int32_t(cases.size()) - 1);
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(table.frames[i].FrameClear, cases[i].second) << "packed " << int(cases[i].first.packed());
}

TEST(SplitGifFrames, PositionComesFromTheImageUnlessAnExtensionIntervenes)
{
    ImageSpec placed = frame(0, {}, 4, 3);
    placed.left = 300;
    placed.top = 2;
    ImageSpec hidden = placed;
    hidden.commentBeforeImage = true;
    const QByteArray gif = GifBuilder(400, 6, distinctColours(4)).image(placed).image(hidden).image(placed).build();
    FrameTable table;
    ASSERT_EQ(split(gif, table), 2);
    EXPECT_EQ(table.frames[0].FrameLeft, 300);
    EXPECT_EQ(table.frames[0].FrameTop, 2);
    EXPECT_EQ(table.frames[1].FrameLeft, 0);
    EXPECT_EQ(table.frames[1].FrameTop, 0);
    EXPECT_EQ(table.frames[2].FrameLeft, 300);
    expectFramesMatch(table, gif);
}

TEST(SplitGifFrames, AnImageWithoutItsOwnControlJoinsTheFrameBefore)
{
    ImageSpec bare = frame(3);
    bare.control.reset();
    const QByteArray gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(bare).image(frame(2)).build();
    FrameTable table;
    EXPECT_EQ(split(gif, table), 1);
    ASSERT_EQ(table.frames.size(), 2u);
    const auto oracle = slurpGif(gif);
    EXPECT_TRUE(samePicture(table.frames[0].FramePicture.image(), oracle->images[0]));
    EXPECT_TRUE(samePicture(table.frames[1].FramePicture.image(), oracle->images[2]));
}

TEST(SplitGifFrames, NotASplittableGif)
{
    FrameTable table;
    // No separator at all: a still image without any control.
    ImageSpec still = GifBuilder::solid(4, 4, 1);
    still.control.reset();
    EXPECT_EQ(split(GifBuilder(4, 4, distinctColours(2)).image(still).build(), table), 0);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.GifWidth, 0);
    EXPECT_EQ(table.GifHeight, 0);

    QByteArray lower = threeFrames();
    lower.replace(0, 3, "gif");
    EXPECT_EQ(split(lower, table), 0);
    EXPECT_TRUE(table.empty());

    // One frame only.
    EXPECT_EQ(split(GifBuilder(4, 4, distinctColours(2)).image(frame(0, {}, 4, 4)).build(), table), 0);
    EXPECT_EQ(table.frames.size(), 1u);
    EXPECT_EQ(split(QByteArray(), table), 0);
}

TEST(SplitGifFrames, ALastFrameThatCannotBeLoadedIsDropped)
{
    FrameTable table;
    const QByteArray gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(frame(1)).danglingControl().build();
    EXPECT_EQ(split(gif, table), 1);
    EXPECT_EQ(table.frames.size(), 2u);
    expectFramesMatch(table, gif);

    // Two separators, the second with nothing behind it: one frame is left.
    EXPECT_EQ(split(GifBuilder(10, 6, distinctColours(4)).image(frame(0)).danglingControl().build(), table), 0);
    EXPECT_EQ(table.frames.size(), 1u);

    // A single frame that cannot be loaded leaves nothing.
    QByteArray broken = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).build();
    broken.truncate(broken.size() - 12);
    EXPECT_EQ(split(broken, table), 0);
    EXPECT_TRUE(table.empty());
}

TEST(SplitGifFrames, AMiddleFrameThatCannotBeLoadedFailsTheSplit)
{
    QByteArray gif = threeFrames();
    // Turn the second frame's image descriptor into an unknown block.
    const qsizetype s1 = gif.indexOf(QByteArray("\x00\x21\xF9", 3), gif.indexOf(QByteArray("\x00\x21\xF9", 3)) + 3);
    ASSERT_EQ(gif[s1 + 9], ',');
    gif[s1 + 9] = char(0x99);
    FrameTable table;
    EXPECT_EQ(split(gif, table), -1);
    // The frames made before the failure stay.
    ASSERT_EQ(table.frames.size(), 1u);
    EXPECT_TRUE(samePicture(table.frames[0].FramePicture.image(), slurpGif(threeFrames())->images[0]));
}

TEST(SplitGifFrames, TooShortForItsValues)
{
    FrameTable table;
    // A header too short for the logical screen size.
    EXPECT_EQ(split(QByteArray("GIF\x00\x21\xF9\x04\x00\x00", 9), table), -1);
    // A middle chunk too short for its delay.
    QByteArray gif = QByteArray("GIF89a\x02\x00\x02\x00\x00\x00\x00", 13) + QByteArray("\x00\x21\xF9\x04\x00\x21\xF9", 7);
    EXPECT_EQ(split(gif + threeFrames().mid(13), table), -1);
}

TEST(SplitGifFrames, FilesThatCannotBeRead)
{
    FrameTable table;
    const ScratchDir dir;
    EXPECT_EQ(SplitGifFrames(dir.file(QStringLiteral("missing.gif")), table), -1);
    EXPECT_EQ(SplitGifFrames(dir.path(), table), -1);
    EXPECT_EQ(SplitGifFrames(QString(), table), -1);
    EXPECT_TRUE(table.empty());
}

TEST(SplitGifFrames, AnotherSplitReplacesTheTable)
{
    FrameTable table;
    ASSERT_EQ(split(threeFrames(), table), 2);
    const QByteArray smaller = GifBuilder(4, 3, distinctColours(2)).image(frame(0, {}, 4, 3)).image(frame(1, {}, 4, 3)).build();
    EXPECT_EQ(split(smaller, table), 1);
    EXPECT_EQ(table.frames.size(), 2u);
    EXPECT_EQ(table.GifWidth, 4);
}

TEST(SplitGifFrames, MemoryBudgetRefusesTheWholeSplit)
{
    const QByteArray gif = GifBuilder(100, 100, distinctColours(4))
                               .image(frame(0, {}, 100, 100))
                               .image(frame(1, {}, 100, 100))
                               .build();
    FrameTable table;
    EXPECT_EQ(SplitGifBytes(gif, table, 2 * PictureBytes(100, 100)), 1);
    // Room for the first picture only: even the last frame's refusal is a failure, not a drop.
    EXPECT_EQ(SplitGifBytes(gif, table, 2 * PictureBytes(100, 100) - 1), -1);
    EXPECT_EQ(table.frames.size(), 1u);
}

TEST(FrameCutter, FindsEverySeparatorAPlainSearchFinds)
{
    // Bytes drawn from the separator's own three and one other, so that near misses abound.
    std::uint32_t state = 12345;
    const char alphabet[] = {0x00, 0x21, char(0xF9), 0x2C};
    QByteArray data;
    for (int i = 0; i < 4000; ++i) {
        state = state * 1103515245u + 12345u;
        data.append(alphabet[(state >> 16) % 4]);
    }
    const QByteArray separator("\x00\x21\xF9", 3);
    for (qsizetype from = -1; from <= data.size() + 1; ++from) {
        const qsizetype expected = from < 0 ? -1 : data.indexOf(separator, from);
        ASSERT_EQ(FrameCutter::findSeparator(data, from), expected) << "from " << from;
    }
    EXPECT_EQ(FrameCutter::findSeparator(QByteArrayView(separator).first(2), 0), -1);
    EXPECT_EQ(FrameCutter::findSeparator(separator, 0), 0);
}
