#include "support/GifOracle.h"

#include <gif_lib.h>

#include <cstring>
#include <tuple>

namespace skarvel::test {

std::optional<SlurpedGif> slurpGif(const QByteArray& bytes)
{
    QByteArrayView rest = bytes;
    const auto read = [](GifFileType* gif, GifByteType* buffer, int length) {
        auto* from = static_cast<QByteArrayView*>(gif->UserData);
        const qsizetype n = std::min<qsizetype>(length, from->size());
        std::memcpy(buffer, from->data(), size_t(n));
        *from = from->sliced(n);
        return int(n);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&rest, read, &error);
    if (!gif)
        return std::nullopt;
    std::optional<SlurpedGif> result;
    if (DGifSlurp(gif) != GIF_ERROR) {
        result = SlurpedGif{gif->SWidth, gif->SHeight, {}};
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& saved = gif->SavedImages[i];
            const GifImageDesc& desc = saved.ImageDesc;
            SlurpedImage image;
            std::tie(image.left, image.top, image.width, image.height) = std::tuple(desc.Left, desc.Top, desc.Width, desc.Height);
            const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
            for (int p = 0; p < image.width * image.height; ++p) {
                const int index = saved.RasterBits[p];
                const GifColorType c = (map && index < map->ColorCount) ? map->Colors[index] : GifColorType{0, 0, 0};
                image.indexes.push_back(index);
                image.pixels.push_back(qRgb(c.Red, c.Green, c.Blue));
            }
            for (int b = 0; b < saved.ExtensionBlockCount; ++b) {
                const ExtensionBlock& block = saved.ExtensionBlocks[b];
                GraphicsControlBlock gcb;
                image.extensionAfterControl |= image.packed && block.Function != CONTINUE_EXT_FUNC_CODE;
                if (block.Function == GRAPHICS_EXT_FUNC_CODE && DGifExtensionToGCB(block.ByteCount, block.Bytes, &gcb) == GIF_OK) {
                    image.delay = gcb.DelayTime;
                    image.packed = block.Bytes[0] | 0x100;
                    image.transparent = gcb.TransparentColor;
                }
            }
            image.packed &= 0xff;
            result->images.push_back(std::move(image));
        }
    }
    DGifCloseFile(gif, &error);
    return result;
}

::testing::AssertionResult samePicture(const QImage& picture, const SlurpedImage& image)
{
    if (picture.width() != image.width || picture.height() != image.height)
        return ::testing::AssertionFailure() << "size " << picture.width() << "x" << picture.height();
    for (int p = 0; p < image.width * image.height; ++p) {
        const int x = p % image.width, y = p / image.width;
        const QRgb got = picture.pixel(x, y);
        if ((got & 0xffffff) != (image.pixels[p] & 0xffffff) || (qAlpha(got) == 0) != (image.indexes[p] == image.transparent)
            || picture.pixelIndex(x, y) != image.indexes[p])
            return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << got;
    }
    return ::testing::AssertionSuccess();
}

} // namespace skarvel::test
