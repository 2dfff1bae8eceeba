#include "frames/FrameCutter.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/SplitCheck.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <tuple>

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

QByteArray le16(int value)
{
    return QByteArray(1, char(value & 0xff)) + char(value >> 8);
}

// Frames of 124 x n pixels whose LZW data spell 00 21 F9 `separators[k]` times. With a code size
// of 7 the codes are one byte each: after a clear code, 120 literals, 0, 33, then the table's
// entry 249 (which holds 5, 0) read as F9. `starts` receives each frame's F9 offset.
QByteArray separatorsInData(const std::vector<int>& separators, std::vector<qsizetype>& starts)
{
    QByteArray gif = QByteArray("GIF89a") + le16(124) + le16(1) + QByteArray("\xf6\x00\x00", 3);
    for (int i = 0; i < 128; ++i)
        gif += QByteArray(1, char(i)) + char(2 * i) + char(255 - i);
    starts.clear();
    for (std::size_t k = 0; k < separators.size(); ++k) {
        const int units = std::max(1, separators[k]);
        starts.push_back(gif.size() + 1);
        gif += QByteArray("\x21\xF9\x04\x05\x03\x00\x00\x00", 8);
        gif += ',' + le16(0) + le16(int(k)) + le16(124) + le16(units) + '\0' + '\7';
        QByteArray data;
        for (int u = 0; u < units; ++u)
            data += '\x80' + (separators[k] ? QByteArray(120, '\5') + kSeparator : QByteArray(124, '\5'));
        data += '\x81';
        for (qsizetype at = 0; at < data.size(); at += 248)
            gif += char(std::min<qsizetype>(248, data.size() - at)) + data.mid(at, 248);
        gif += '\0';
    }
    return gif + ';';
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

TEST(SplitGifFrames, SeparatorsInsideAnImageDoNotCutIt)
{
    // In the data of the first, a middle or the last frame, several in one, thousands in one.
    const std::vector<std::vector<int>> layouts = {{2, 0, 0}, {0, 1, 0}, {0, 0, 3}, {1, 1, 1}, {0, 3000, 0}};
    for (const auto& layout : layouts) {
        std::vector<qsizetype> starts;
        const QByteArray gif = separatorsInData(layout, starts);
        SCOPED_TRACE(layout[0] * 100 + layout[1] * 10 + layout[2]);
        FrameTable table;
        ASSERT_EQ(splitBothWays(gif, table), 2);
        expectPictures(table, gif);
        starts.push_back(gif.size());
        for (std::size_t k = 0; k < 3; ++k) {
            const FrameEntry& f = table.frames[k];
            EXPECT_EQ(std::tuple(f.chunkBegin, f.chunkEnd, f.FrameTop, f.FrameDelay, f.FrameClear),
                      std::tuple(starts[k], starts[k + 1], int(k), 30, false));
        }
    }
    // In an Image Descriptor (left 0x2100, top 0x00F9) and in a local colour table.
    ImageSpec far = frame(1);
    far.left = 0x2100;
    far.top = 0xF9;
    ImageSpec local = frame(2);
    local.localColours = {{1, 0, 0x21}, {0xF9, 2, 0}, {0x21, 0xF9, 0}, {0, 0x21, 0xF9}};
    const QByteArray gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(far).image(local).image(frame(3)).build();
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), 3);
    expectPictures(table, gif);
    EXPECT_EQ(table.frames[1].FrameLeft, 0x2100);
    EXPECT_EQ(table.frames[1].FrameTop, 0xF9);
}

TEST(SplitGifFrames, AFrameThatCannotBeLoadedFailsInTheMiddleAndIsDroppedAtTheEnd)
{
    FrameTable table;
    // Corrupt data behind a separator inside the image: the frame is still joined, then fails.
    std::vector<qsizetype> starts;
    const QByteArray sound = separatorsInData({0, 2, 2}, starts);
    QByteArray gif = sound;
    gif[starts[1] + 19 + 124 + 50] = char(0x81); // the end code long before the last pixel
    EXPECT_EQ(splitBothWays(gif, table), -1);
    expectPictures(table, sound, {0});
    gif = sound;
    gif[starts[2] + 19 + 124 + 50] = char(0x81);
    EXPECT_EQ(splitBothWays(gif, table), 1);
    expectPictures(table, sound, {0, 1});

    // A second frame's image descriptor turned into an unknown block.
    gif = frames(3);
    const qsizetype s1 = gif.indexOf(kSeparator, gif.indexOf(kSeparator) + 3);
    gif[s1 + 9] = char(0x99);
    EXPECT_EQ(splitBothWays(gif, table), -1);
    expectPictures(table, frames(3), {0});

    // A control with no image behind it.
    gif = GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(frame(1)).danglingControl().build();
    EXPECT_EQ(splitBothWays(gif, table), 1);
    expectPictures(table, gif);
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
    expectPictures(table, joined, {0, 2});

    // A header too short for the screen size; a middle chunk too short for its delay.
    EXPECT_EQ(splitBothWays(QByteArray("GIF\x00\x21\xF9\x04\x00\x00", 9), table), -1);
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
    for (int i = 0; i < 4000; ++i) {
        state = state * 1103515245u + 12345u;
        data.append("\x00\x21\xF9\x2C"[(state >> 16) % 4]);
    }
    for (qsizetype from = -1; from <= data.size() + 1; ++from)
        ASSERT_EQ(FrameCutter::findSeparator(data, from), from < 0 ? -1 : data.indexOf(kSeparator, from)) << from;
    EXPECT_EQ(FrameCutter::findSeparator(kSeparator, 0), 0);
}
