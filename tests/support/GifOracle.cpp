#include "support/GifOracle.h"

#include <gif_lib.h>

#include <cstring>

namespace skarvel::test {

namespace {

struct Reader {
    QByteArrayView bytes;
    qsizetype pos = 0;
};

int readBytes(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* reader = static_cast<Reader*>(gif->UserData);
    const qsizetype n = std::min<qsizetype>(length, reader->bytes.size() - reader->pos);
    std::memcpy(buffer, reader->bytes.data() + reader->pos, size_t(n));
    reader->pos += n;
    return int(n);
}

} // namespace

std::optional<SlurpedGif> slurpGif(const QByteArray& bytes)
{
    Reader reader{bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readBytes, &error);
    if (!gif)
        return std::nullopt;
    if (DGifSlurp(gif) == GIF_ERROR) {
        DGifCloseFile(gif, &error);
        return std::nullopt;
    }
    SlurpedGif result;
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& saved = gif->SavedImages[i];
        const GifImageDesc& desc = saved.ImageDesc;
        SlurpedImage image;
        image.left = desc.Left;
        image.top = desc.Top;
        image.width = desc.Width;
        image.height = desc.Height;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        const int count = image.width * image.height;
        for (int p = 0; p < count; ++p) {
            const int index = saved.RasterBits[p];
            image.indexes.push_back(index);
            const GifColorType c = (map && index < map->ColorCount) ? map->Colors[index] : GifColorType{0, 0, 0};
            image.pixels.push_back(qRgb(c.Red, c.Green, c.Blue));
        }
        for (int e = 0; e < saved.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = saved.ExtensionBlocks[e];
            if (block.Function == GRAPHICS_EXT_FUNC_CODE && block.ByteCount == 4) {
                GraphicsControlBlock gcb;
                DGifExtensionToGCB(block.ByteCount, block.Bytes, &gcb);
                image.hasControl = true;
                image.delay = gcb.DelayTime;
                image.packed = block.Bytes[0];
                image.transparent = gcb.TransparentColor;
            }
        }
        result.images.push_back(std::move(image));
    }
    DGifCloseFile(gif, &error);
    return result;
}

::testing::AssertionResult samePicture(const QImage& picture, const SlurpedImage& image)
{
    if (picture.width() != image.width || picture.height() != image.height)
        return ::testing::AssertionFailure() << "size " << picture.width() << "x" << picture.height()
                                             << ", expected " << image.width << "x" << image.height;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::size_t p = std::size_t(y) * image.width + x;
            const QRgb got = picture.pixel(x, y);
            const bool transparent = image.indexes[p] == image.transparent;
            if ((got & 0xffffff) != (image.pixels[p] & 0xffffff) || (qAlpha(got) == 0) != transparent)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << std::hex << got
                                                     << ", expected " << image.pixels[p]
                                                     << (transparent ? " (transparent)" : "");
            if (picture.format() == QImage::Format_Indexed8 && picture.pixelIndex(x, y) != image.indexes[p])
                return ::testing::AssertionFailure() << "index at " << x << "," << y;
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace skarvel::test
