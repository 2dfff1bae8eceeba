// Cutting a GIF into frames. splitBothWays also checks in every case that decoding the frames on
// several threads comes to exactly what one thread comes to.
#include "frames/FrameCutter.h"
#include "frames/FrameMaker.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/HostileGifs.h"
#include "support/TestFiles.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <span>
#include <utility>

using namespace skarvel;
using namespace skarvel::test;

namespace {

const QByteArray kSeparator("\x00\x21\xF9", 3);

// Splits `data` on one thread into `table` and answers the result; expects the same split on two
// threads, and on five as the bytes arrive: result, screen size, and every frame's values, chunk
// and picture. The one-thread split keeps no picture, so that its pictures are decoded again
// from the chunks, and must come to those the open decoded.
std::int32_t splitBothWays(const QByteArray& data, FrameTable& table, std::int64_t budget = PictureLimits::kSplitBudgetBytes)
{
    const std::int32_t result = SplitGifBytes(data, table, budget, 1, {}, 0, FrameKeeping{.pictureBytes = 0, .rendition = {}});
    const auto valuesOf = [](const FrameEntry& f) {
        return std::tuple(f.FrameClear, f.FrameDelay, f.FrameLeft, f.FrameTop, f.chunkBegin, f.chunkEnd, f.pixelWidth, f.pixelHeight);
    };
    // Five threads begin while the bytes arrive, a few at a time, as from a read.
    for (const auto& [threads, piece] : {std::pair(2, 0), std::pair(5, 5)}) {
        FrameTable parallel;
        EXPECT_EQ(std::tuple(SplitGifBytes(data, parallel, budget, threads, {}, piece), parallel.GifWidth, parallel.GifHeight),
                  std::tuple(result, table.GifWidth, table.GifHeight)) << threads << " threads";
        EXPECT_TRUE(std::ranges::equal(parallel.frames, table.frames, {}, valuesOf, valuesOf)) << threads << " threads";
        for (std::size_t i = 0; i < std::min(parallel.frames.size(), table.frames.size()); ++i) {
            const QImage kept = parallel.FramePicture(i).image();
            EXPECT_TRUE(parallel.pictures->holds(i) && kept == table.FramePicture(i).image() && kept.size() == QSize(table.frames[i].pixelWidth, table.frames[i].pixelHeight))
                << threads << " threads, frame " << i;
        }
    }
    return result;
}

// Expects the table's frames to be the images `images` of `gif` (all of them when none are named)
// as giflib reads them (DGifSlurp), the independent account: screen size, pictures pixel for pixel
// (colour, index, and alpha 0 for the transparent index alone), delays, clearing and positions.
void expectAsGiflib(const FrameTable& table, const QByteArray& bytes, std::vector<std::size_t> images = {})
{
    const int fd = ::memfd_create("gif", 0); // giflib's reader owns it from here on
    ASSERT_EQ(::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0), bytes.size());
    const std::shared_ptr<GifFileType> gif(DGifOpenFileHandle(fd, nullptr), [](GifFileType* g) { DGifCloseFile(g, nullptr); });
    ASSERT_TRUE(gif && DGifSlurp(gif.get()) == GIF_OK);
    EXPECT_EQ(QSize(table.GifWidth, table.GifHeight), QSize(gif->SWidth, gif->SHeight));
    for (std::size_t i = images.empty() ? 0 : std::size_t(gif->ImageCount); i < std::size_t(gif->ImageCount); ++i)
        images.push_back(i);
    ASSERT_EQ(table.frames.size(), images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const SavedImage& saved = gif->SavedImages[images[i]];
        const GifImageDesc& desc = saved.ImageDesc;
        // The control's packed byte (marked present by 0x100), and whether another extension
        // follows it, which hides the position.
        int packed = 0, delay = 0, transparent = -1, hidden = 0;
        for (const ExtensionBlock& block : std::span(saved.ExtensionBlocks, saved.ExtensionBlockCount)) {
            hidden |= packed && block.Function != CONTINUE_EXT_FUNC_CODE;
            if (block.Function == GRAPHICS_EXT_FUNC_CODE && block.ByteCount == 4) {
                std::tie(packed, delay) = std::pair(block.Bytes[0] | 0x100, block.Bytes[1] | block.Bytes[2] << 8);
                transparent = packed & 1 ? block.Bytes[3] : -1;
            }
        }
        const FrameEntry& frame = table.frames[i];
        EXPECT_EQ(std::tuple(frame.FrameDelay, frame.FrameClear, frame.FrameLeft, frame.FrameTop),
                  std::tuple(delay ? delay * 10 : 100, (packed & 0xff) != 4 && (packed & 0xff) != 5,
                             hidden ? 0 : desc.Left, hidden ? 0 : desc.Top)) << "frame " << i;
        const QImage picture = table.FramePicture(i).image();
        ASSERT_EQ(picture.size(), QSize(desc.Width, desc.Height)) << "frame " << i;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        for (int p = 0; p < desc.Width * desc.Height; ++p) {
            const int x = p % desc.Width, y = p / desc.Width, index = saved.RasterBits[p];
            const GifColorType c = map && index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
            ASSERT_EQ(std::tuple(picture.pixelIndex(x, y), picture.pixel(x, y) & 0xffffff, qAlpha(picture.pixel(x, y)) == 0),
                      std::tuple(index, qRgb(c.Red, c.Green, c.Blue) & 0xffffff, index == transparent))
                << "frame " << i << ", pixel " << x << "," << y;
        }
    }
}

ImageSpec frame(int seed)
{
    return GifBuilder::pattern(10, 6, 4, seed);
}

QByteArray frames(int count)
{
    return GifBuilder{.width = 10, .height = 6, .colours = distinctColours(4), .loop = true}.patterns(count).build();
}

// Where frame `index`'s Image Descriptor begins (behind a comment, if any).
qsizetype imageOf(const QByteArray& gif, int index)
{
    qsizetype at = -3;
    for (int i = 0; i <= index; ++i)
        at = gif.indexOf(kSeparator, at + 3);
    return at + 9 + (gif[at + 9] == '!' ? 9 : 0);
}

// Frames with separators in an Image Descriptor (left 0x2100, top 0x00F9), and in the local
// colour tables of a middle frame (more than the splitter decodes ahead) and of the last.
QByteArray separatorsInImages()
{
    ImageSpec far = frame(1), tricked[] = {frame(2), frame(4)};
    std::tie(far.left, far.top) = std::pair(0x2100, 0xF9);
    tricked[0].localColours.assign(256, Rgb{0x00, 0x21, 0xF9});
    tricked[1].localColours.assign(4, Rgb{0x00, 0x21, 0xF9});
    return GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(far).image(tricked[0]).image(frame(3)).image(tricked[1]).build();
}

// Splits `gif` every way, expects `result`, and the frames as giflib reads them in `oracle` (`gif`
// itself when none is given): all its images, or those named. Answers the one-thread split.
FrameTable expectSplit(const QByteArray& gif, std::int32_t result, std::vector<std::size_t> images = {}, const QByteArray& oracle = {})
{
    FrameTable table;
    EXPECT_EQ(splitBothWays(gif, table), result);
    expectAsGiflib(table, oracle.isEmpty() ? gif : oracle, images);
    return table;
}

} // namespace

TEST(SplitGifFrames, CutsAtEachSeparatorIntoFramesAsGiflibReadsThem)
{
    const QByteArray gif = frames(3);
    const FrameTable table = expectSplit(gif, 2);
    // The header runs to the first separator's "00 21"; each chunk from its F9 to the next "00 21".
    QByteArray joined = table.header().toByteArray();
    for (std::size_t k = 0; k < 3; ++k)
        joined += table.chunk(k).startsWith('\xF9') ? table.chunk(k) : "?";
    EXPECT_EQ(std::tuple(joined, table.gifBytes, table.endsTheFile(1), table.endsTheFile(2)), std::tuple(gif, gif, false, true));

    // Without a loop extension the first control follows the colour table, whose last byte is not
    // 0; colours that read 00 21 F9 do not cut.
    EXPECT_EQ(expectSplit(frames(3).remove(13 + 12, 19), 2).headerSize, 13 + 12 + 1); // the loop extension taken out
    expectSplit(GifBuilder{.width = 10, .height = 6, .colours = {{0x10, 0x20, 0x00}, {0x21, 0xF9, 0x04}, {0x33, 0x44, 0x00}, {0x21, 0xF9, 0x05}}, .loop = true}.image(frame(0)).image(frame(1)).build(), 1);

    // Without a global colour table the first control follows the screen descriptor at once.
    ImageSpec local[] = {frame(0), frame(1)};
    local[0].localColours = local[1].localColours = distinctColours(4);
    expectSplit(GifBuilder(10, 6, {}).image(local[0]).image(local[1]).build(), 1);

    // Packed bytes 04, 05, 08, 00, 09, 06 (user input), 0C; no delay counts as a second.
    const GraphicControl controls[] = {{1, 0, -1}, {1, 7, 0}, {2, 65535, -1}, {0, 1, -1}, {2, 10, 0}, {1, 10, -1, true}, {3, 10, -1}};
    GifBuilder builder(400, 6, distinctColours(4));
    for (int i = 0; i < 7; ++i) {
        ImageSpec spec = GifBuilder::pattern(4, 3, 4, i);
        std::tie(spec.left, spec.top, spec.commentBeforeImage, spec.control) = std::tuple(50 * i + 1, i % 3, i == 4, controls[i]);
        builder.image(spec);
    }
    expectSplit(builder.build(), 6);
}

TEST(SplitGifFrames, SeparatorsInsideImagesDoNotCutAndUnreadableFramesFail)
{
    const QByteArray sound = separatorsInImages();
    expectSplit(sound, 4);
    // Real LZW data holding separators: one in the first frame, five in the second, one in the last.
    expectSplit(readFile(QStringLiteral(SKARVEL_FIXTURES "/lzw_separators.gif")), 3);

    // Image data cut short behind separators in the colour table: the frame is still joined, then
    // fails.
    for (const int count : {256, 4}) {
        QByteArray broken = sound;
        broken[broken.lastIndexOf(kSeparator.repeated(count)) + 3 * count + 1] = 0; // an empty first sub-block
        expectSplit(broken, count == 256 ? -1 : 3, count == 256 ? std::vector<std::size_t>{0, 1} : std::vector<std::size_t>{0, 1, 2, 3}, sound);
    }
    // A middle frame whose comment spells a separator and then meets no image, but the trailer or
    // a byte no block starts with, fails the open: it is not joined up to the last piece and
    // dropped as a last frame that cannot be made. Its neighbour, the comment followed by an
    // image, joins the last piece.
    const QByteArray spelt = frames(1).chopped(1) + QByteArray("\x21\xF9\x04\x04\x0A\x00\x00\x00" "\x21\xFE\x05" "a\x00\x21\xF9" "b\x00", 17);
    for (const char* end : {";", "\x99"})
        expectSplit(spelt + end, -1, {0}, frames(1));
    expectSplit(spelt + frames(2).sliced(imageOf(frames(2), 1)), 1);
    // An image without its own control joins the frame before.
    ImageSpec still = GifBuilder::solid(4, 4, 1);
    still.control.reset();
    expectSplit(GifBuilder(10, 6, distinctColours(4)).image(frame(0)).image(still).image(frame(2)).build(), 1, {0, 2});

    // What is left: the result, the frames kept and the screen's size. A single frame that cannot
    // be loaded leaves nothing; a file with no separator at all, or not a GIF, does not split, nor
    // does one frame; a header one byte too short for the screen size has none; a middle chunk is
    // too short for its delay.
    FrameTable table;
    const QByteArray shortChunk = QByteArray("GIF89a\x02\x00\x02\x00\x00\x00\x00\x00\x21\xF9\x04\x00\x21\xF9", 20) + frames(3).mid(13);
    for (const auto& [bytes, result, kept, screen] :
         {std::tuple(frames(1).chopped(12), 0, 0, QSize(10, 6)), std::tuple(GifBuilder(4, 4, distinctColours(2)).image(still).build(), 0, 0, QSize(0, 0)),
          std::tuple("gif" + frames(3).mid(3), 0, 0, QSize(0, 0)), std::tuple(frames(1), 0, 1, QSize(10, 6)),
          std::tuple(QByteArray("GIF89a\x05\x00\x21\xF9\x04\x00", 12), -1, 0, QSize(0, 0)), std::tuple(shortChunk, -1, 0, QSize(2, 2))}) {
        EXPECT_EQ(splitBothWays(bytes, table), result);
        EXPECT_EQ(std::pair(int(table.frames.size()), QSize(table.GifWidth, table.GifHeight)), std::pair(kept, screen)) << bytes.toHex().left(40).toStdString();
    }
}

TEST(SplitGifFrames, BudgetRefusalsFallOnTheSameFrameAndTheCutGoesOnPastItsList)
{
    // Frames of varied sizes and content, some with a colour table of their own, and comments
    // before the images when `commented`.
    const auto manyFrames = [](bool commented) {
        GifBuilder builder{.width = 64, .height = 48, .colours = distinctColours(16), .loop = true};
        for (int i = 0; i < 30; ++i) {
            ImageSpec spec = GifBuilder::pattern(8 + i % 50, 4 + i % 40, 16, i);
            std::tie(spec.control, spec.interlaced, spec.commentBeforeImage, spec.localColours) =
                std::tuple(GraphicControl{i % 4, i % 9}, i % 3 == 0, commented, i % 5 == 3 ? distinctColours(16) : std::vector<Rgb>{});
            builder.image(spec);
        }
        return builder.build();
    };
    FrameTable table;
    const auto costOf = [](int count) { return count * kFrameTableBytes; }; // the table of `count` frames
    // Frames are counted up front: a file with more frames but the last than the table's budget
    // holds is refused with nothing decoded. The last counts when its turn comes. The count follows
    // the blocks past comments; frames behind a byte no block starts with (a stray zero the decoder
    // never reads) are met while frames are made. The last frame over the budget is a refusal, not
    // a drop; one that cannot be decoded costs nothing and is dropped.
    QByteArray stray = manyFrames(true);
    stray.insert(stray.indexOf(kSeparator, stray.indexOf(kSeparator) + 3), '\0');
    QByteArray cut = stray;
    cut[imageOf(cut, 29) + 11] = 0;
    for (const auto& [gif, budget, result, stored] :
         {std::tuple(manyFrames(false), costOf(29) - 1, -1, 0), std::tuple(manyFrames(false), costOf(29), -1, 29), std::tuple(manyFrames(false), costOf(30), 29, 30),
          std::tuple(manyFrames(true), costOf(29) - 1, -1, 0), std::tuple(stray, costOf(13) - 1, -1, 12), std::tuple(cut, costOf(29), 28, 29), std::tuple(cut, costOf(28), -1, 28)}) {
        EXPECT_EQ(splitBothWays(gif, table, budget), result);
        EXPECT_EQ(table.frames.size(), std::size_t(stored));
    }

    // Two frames of 16 MiB, the second behind a comment, so that its size is not known ahead: while
    // the first waits for its turn, the room ahead is too small for the second, which is made in
    // its own turn.
    ImageSpec large = GifBuilder::solid(4096, 4096, 1), hidden = GifBuilder::solid(4096, 4096, 2);
    hidden.commentBeforeImage = true;
    ASSERT_EQ(splitBothWays(GifBuilder(4096, 4096, distinctColours(4)).image(large).image(hidden).image(frame(0)).build(), table), 2);

    // More frames than the splitter keeps in its list of chunks: the rest are cut as they come.
    const QByteArray head = GifBuilder{.width = 1, .height = 1, .colours = distinctColours(2), .loop = true}.image(GifBuilder::solid(1, 1, 1)).build();
    const int count = (1 << 16) + 300;
    const QByteArray many = head.left(head.indexOf(kSeparator)) + head.sliced(head.indexOf(kSeparator)).chopped(1).repeated(count) + ';';
    ASSERT_EQ(splitBothWays(many, table), count - 1);
    EXPECT_EQ(table.frames.back().chunkEnd, many.size());

    // Only a frame's first image counts, and nothing when an image stands before the first control
    // (every frame then shows that image): here each frame is the one-pixel picture.
    const ImageSpec dot = GifBuilder::solid(1, 1, 1), bare{.width = 1, .height = 1, .pixels = {1}, .control = {}};
    ImageSpec big = GifBuilder::solid(64, 48, 2);
    big.control.reset();
    const std::int64_t dots = 3 * kFrameTableBytes;
    EXPECT_EQ(splitBothWays(GifBuilder(64, 48, distinctColours(4)).image(dot).image(big).image(dot).image(dot).build(), table, dots), 2);
    big.control = dot.control;
    const QByteArray bareFirst = GifBuilder(64, 48, distinctColours(4)).image(bare).image(big).image(big).image(big).build();
    EXPECT_EQ(splitBothWays(bareFirst, table, dots), 2);
    // Room for two frames: the third is refused in its turn, not the file up front.
    EXPECT_EQ(splitBothWays(bareFirst, table, dots - kFrameTableBytes), -1);
    EXPECT_EQ(table.frames.size(), 2u);
}

TEST(SplitGifFrames, WorkAheadStaysNearTheWorkInTurn)
{
    // Every frame of one pixel carries a 4096 x 4096 image in its data. In turn, each hidden piece
    // is joined to its frame undecoded; however the threads run, work ahead may not decode more
    // than a little beyond that.
    const QByteArray hostile = framesHidingImages(80, 4096);
    FrameTable table;
    const std::int64_t start = FrameMaker::decodedBytes();
    ASSERT_EQ(SplitGifBytes(hostile, table, PictureLimits::kSplitBudgetBytes, 1), 79);
    const std::int64_t inTurn = FrameMaker::decodedBytes() - start;
    // The last: all but the trailer arrives at once, and the helpers follow the frames known
    // from one to the next before the split takes any.
    for (const auto& [threads, piece] : {std::pair<int, qsizetype>(2, 0), {5, 4096}, {2, hostile.size() - 1}}) {
        const std::int64_t before = FrameMaker::decodedBytes();
        EXPECT_EQ(SplitGifBytes(hostile, table, PictureLimits::kSplitBudgetBytes, threads, {}, piece), 79);
        EXPECT_LE(FrameMaker::decodedBytes() - before, inTurn + inTurn / 4 + FrameMaker::kGuessBytes) << threads << " threads";
    }
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
}
