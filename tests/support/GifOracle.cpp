#include "support/GifOracle.h"

#include <gif_lib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <span>
#include <tuple>

namespace skarvel::test {

std::int32_t splitBothWays(const QByteArray& data, FrameTable& table, std::int64_t budget)
{
    const std::int32_t result = SplitGifBytes(data, table, budget, 1);
    const auto valuesOf = [](const FrameEntry& f) {
        return std::tuple(f.FrameClear, f.FrameDelay, f.FrameLeft, f.FrameTop, f.chunkBegin, f.chunkEnd, f.FramePicture.image());
    };
    for (const int threads : {2, 5}) {
        FrameTable parallel;
        EXPECT_EQ(SplitGifBytes(data, parallel, budget, threads), result) << threads << " threads";
        EXPECT_EQ(QSize(parallel.GifWidth, parallel.GifHeight), QSize(table.GifWidth, table.GifHeight)) << threads << " threads";
        EXPECT_TRUE(std::ranges::equal(parallel.frames, table.frames, {}, valuesOf, valuesOf)) << threads << " threads";
    }
    return result;
}

void expectAsGiflib(const FrameTable& table, const QByteArray& bytes, std::vector<std::size_t> images)
{
    const int fd = ::memfd_create("gif", 0); // giflib's reader owns it from here on
    ASSERT_EQ(::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0), bytes.size());
    int error = 0;
    const std::shared_ptr<GifFileType> gif(DGifOpenFileHandle(fd, &error), [](GifFileType* g) { DGifCloseFile(g, nullptr); });
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
        const QImage& picture = frame.FramePicture.image();
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

} // namespace skarvel::test
