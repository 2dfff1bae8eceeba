#include "frames/FrameCutter.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
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

QByteArray frames(int count, bool loop = true)
{
    GifBuilder builder(10, 6, distinctColours(4));
    if (loop)
        builder.loopExtension();
    for (int i = 0; i < count; ++i)
        builder.image(frame(i));
    return builder.build();
}

// A frame whose local colour table spells 00 21 F9 `count` times, in front of its image data.
ImageSpec tricked(int seed, int count)
{
    ImageSpec spec = frame(seed);
    spec.localColours.assign(std::size_t(count), Rgb{0x00, 0x21, 0xF9});
    return spec;
}

// Frames with separators in an Image Descriptor (left 0x2100, top 0x00F9), and in the local
// colour tables of a middle frame (more than the splitter decodes ahead) and of the last.
QByteArray separatorsInImages()
{
    ImageSpec far = frame(1);
    far.left = 0x2100;
    far.top = 0xF9;
    return GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(far).image(tricked(2, 256)).image(frame(3)).image(tricked(4, 4)).build();
}

} // namespace

TEST(SplitGifFrames, CutsAtEachSeparatorIntoHeaderAndChunks)
{
    const QByteArray gif = frames(3);
    FrameTable table;
    ASSERT_EQ(splitBothWays(frames(5), table), 4); // the next split replaces these frames
    EXPECT_EQ(splitBothWays(gif, table), 2);
    expectAsGiflib(table, gif);
    EXPECT_EQ(table.gifBytes, gif);

    // The header runs to the first separator's "00 21"; each chunk from its F9 to the next "00 21".
    const qsizetype s0 = gif.indexOf(kSeparator), s1 = gif.indexOf(kSeparator, s0 + 3), s2 = gif.indexOf(kSeparator, s1 + 3);
    EXPECT_EQ(table.header(), QByteArrayView(gif).first(s0 + 2));
    const qsizetype bounds[] = {s0 + 2, s1 + 2, s2 + 2, gif.size()};
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(table.chunk(k), QByteArrayView(gif).sliced(bounds[k], bounds[k + 1] - bounds[k]));
    EXPECT_TRUE(!table.endsTheFile(1) && table.endsTheFile(2));

    // Without a loop extension the first control follows the colour table, whose last byte is not
    // 0; colours that read 00 21 F9 do not cut.
    EXPECT_EQ(splitBothWays(frames(3, false), table), 2);
    EXPECT_EQ(table.headerSize, 13 + 12 + 1);
    const std::vector<Rgb> colours = {{0x10, 0x20, 0x00}, {0x21, 0xF9, 0x04}, {0x33, 0x44, 0x00}, {0x21, 0xF9, 0x05}};
    const QByteArray tricky = GifBuilder(10, 6, colours).loopExtension().image(frame(0)).image(frame(1)).build();
    EXPECT_EQ(splitBothWays(tricky, table), 1);
    expectAsGiflib(table, tricky);

    // Without a global colour table the first control follows the screen descriptor at once.
    ImageSpec local[] = {frame(0), frame(1)};
    for (ImageSpec& spec : local)
        spec.localColours = distinctColours(4);
    QByteArray bare = GifBuilder(10, 6, distinctColours(2)).image(local[0]).image(local[1]).build();
    bare[10] = char(quint8(bare[10]) & 0x70);
    bare.remove(13, 6);
    EXPECT_EQ(splitBothWays(bare, table), 1);
    expectAsGiflib(table, bare);
}

TEST(SplitGifFrames, DelayClearAndPositionOfEachFrame)
{
    // Packed bytes 04, 05, 08, 00, 09, 06 (user input), 0C; no delay counts as a second.
    const GraphicControl controls[] = {{1, 0, -1}, {1, 7, 0}, {2, 65535, -1}, {0, 1, -1}, {2, 10, 0}, {1, 10, -1, true}, {3, 10, -1}};
    GifBuilder builder(400, 6, distinctColours(4));
    for (int i = 0; i < 7; ++i) {
        ImageSpec spec = frame(i, controls[i], 4, 3);
        spec.left = 50 * i + 1;
        spec.top = i % 3;
        spec.commentBeforeImage = i == 4;
        builder.image(spec);
    }
    const QByteArray gif = builder.build();
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), 6);
    expectAsGiflib(table, gif);
}

TEST(SplitGifFrames, SeparatorsInsideAnImageOrInFrontOfItDoNotCutIt)
{
    QByteArray gif = separatorsInImages();
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), 4);
    expectAsGiflib(table, gif);
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_EQ(table.frames[k].chunkEnd, k < 4 ? table.frames[k + 1].chunkBegin : gif.size()) << k;
    // A comment between the second frame's control and its image that spells a separator.
    gif = frames(3);
    gif.insert(gif.indexOf(kSeparator, gif.indexOf(kSeparator) + 3) + 9, QByteArray("\x21\xFE\x05" "a\x00\x21\xF9" "b\x00", 9));
    EXPECT_EQ(splitBothWays(gif, table), 2);
    expectAsGiflib(table, gif);
    // Real LZW data holding separators: one in the first frame, five in the second, one in the last.
    gif = readFile(fixture(QStringLiteral("lzw_separators.gif")));
    EXPECT_EQ(splitBothWays(gif, table), 3);
    expectAsGiflib(table, gif);
}

TEST(SplitGifFrames, AFrameThatCannotBeLoadedFailsInTheMiddleAndIsDroppedAtTheEnd)
{
    FrameTable table;
    // Image data cut short behind separators in the colour table: the frame is still joined, then
    // fails.
    const QByteArray sound = separatorsInImages();
    for (const int count : {256, 4}) {
        QByteArray gif = sound;
        gif[gif.lastIndexOf(kSeparator.repeated(count)) + 3 * count + 1] = 0; // an empty first sub-block
        EXPECT_EQ(splitBothWays(gif, table), count == 256 ? -1 : 3);
        expectAsGiflib(table, sound, count == 256 ? std::vector<std::size_t>{0, 1} : std::vector<std::size_t>{0, 1, 2, 3});
    }
    // An unknown block in front of the second frame's image.
    QByteArray unknown = frames(3);
    unknown.insert(unknown.indexOf(kSeparator, unknown.indexOf(kSeparator) + 3) + 9, '\x99');
    EXPECT_EQ(splitBothWays(unknown, table), -1);
    expectAsGiflib(table, frames(3), {0});
    // A control with no image behind it.
    const QByteArray gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(frame(1)).build().chopped(1) + kDanglingControl;
    EXPECT_EQ(splitBothWays(gif, table), 1);
    expectAsGiflib(table, gif);
    // A single frame that cannot be loaded leaves nothing.
    EXPECT_EQ(splitBothWays(frames(1).chopped(12), table), 0);
    EXPECT_TRUE(table.empty());
}

TEST(SplitGifFrames, NotASplittableGifOrUnreadable)
{
    FrameTable table;
    ImageSpec still = GifBuilder::solid(4, 4, 1);
    still.control.reset(); // no separator at all
    EXPECT_EQ(splitBothWays(GifBuilder(4, 4, distinctColours(2)).image(still).build(), table), 0);
    EXPECT_TRUE(table.empty() && table.GifWidth + table.GifHeight == 0);
    EXPECT_EQ(splitBothWays("gif" + frames(3).mid(3), table), 0);
    EXPECT_EQ(splitBothWays(frames(1), table), 0);
    EXPECT_EQ(table.frames.size(), 1u);
    // An image without its own control joins the frame before.
    const QByteArray joined = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(still).image(frame(2)).build();
    EXPECT_EQ(splitBothWays(joined, table), 1);
    expectAsGiflib(table, joined, {0, 2});

    // A header one byte too short for the screen size has none; a middle chunk too short for its delay.
    EXPECT_EQ(splitBothWays(QByteArray("GIF89a\x05\x00\x21\xF9\x04\x00", 12), table), -1);
    EXPECT_EQ(table.GifWidth + table.GifHeight, 0);
    const QByteArray shortChunk = QByteArray("GIF89a\x02\x00\x02\x00\x00\x00\x00\x00\x21\xF9\x04\x00\x21\xF9", 20);
    EXPECT_EQ(splitBothWays(shortChunk + frames(3).mid(13), table), -1);
    const ScratchDir dir;
    EXPECT_EQ(SplitGifFrames(dir.file(QStringLiteral("missing.gif")), table), -1);
    EXPECT_EQ(SplitGifFrames(dir.path(), table), -1);
}

TEST(FrameCutter, FindsEverySeparatorAPlainSearchFinds)
{
    // Bytes drawn from the separator's own three and one other, so that near misses abound.
    std::uint32_t state = 12345;
    QByteArray data;
    for (int i = 0; i < 4000; ++i)
        data.append("\x00\x21\xF9\x2C"[((state = state * 1103515245u + 12345u) >> 16) % 4]);
    for (qsizetype from = -1; from <= data.size() + 1; ++from)
        ASSERT_EQ(FrameCutter::findSeparator(data, from), from < 0 ? -1 : data.indexOf(kSeparator, from)) << from;
    EXPECT_EQ(FrameCutter::findSeparator(kSeparator, 0), 0);
}
