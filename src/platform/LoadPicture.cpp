// Decoding the first image of an in-memory GIF with giflib's record API.
#include "platform/Picture.h"

#include "platform/RuntimeError.h"

#include <gif_lib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace skarvel {

namespace {

// Reads `head` then `tail` as one stream, so that a frame image needs no copy of its own.
struct MemoryReader {
    QByteArrayView head;
    QByteArrayView tail;
    qsizetype pos = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    int done = 0;
    while (done < length) {
        const bool inHead = reader->pos < reader->head.size();
        const QByteArrayView part = inHead ? reader->head : reader->tail;
        const qsizetype offset = inHead ? reader->pos : reader->pos - reader->head.size();
        const qsizetype n = std::clamp<qsizetype>(part.size() - offset, 0, length - done);
        if (n == 0)
            break;
        std::memcpy(buffer + done, part.data() + offset, size_t(n));
        reader->pos += n;
        done += int(n);
    }
    return done;
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void fail(const char* what, int gifError = D_GIF_SUCCEEDED)
{
    std::string message = std::string("not a readable picture: ") + what;
    if (gifError != D_GIF_SUCCEEDED) {
        const char* text = GifErrorString(gifError);
        message += std::string(" (") + (text ? text : "giflib error") + ")";
    }
    throw RuntimeError(RuntimeError::InvalidPicture, message);
}

// Reads the extensions in front of the image; answers the transparent index of the last
// Graphic Control Extension among them, or -1.
int skipToImage(GifFileType* gif)
{
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            fail("bad block", gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE)
            return transparent;
        if (type != EXTENSION_RECORD_TYPE)
            fail("no image before the end of the data");

        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            fail("bad extension", gif->Error);
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4) {
            GraphicsControlBlock gcb;
            DGifExtensionToGCB(block[0], block + 1, &gcb);
            transparent = gcb.TransparentColor;
        }
        while (block) {
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                fail("bad extension", gif->Error);
        }
    }
}

void decodeRows(GifFileType* gif, QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    // Unpadded rows are one run of pixels: one call instead of one per row.
    if (!gif->Image.Interlace && image.bytesPerLine() == width && std::int64_t(width) * height <= INT_MAX) {
        if (DGifGetLine(gif, image.bits(), int(std::int64_t(width) * height)) == GIF_ERROR)
            fail("truncated or corrupt image data", gif->Error);
        return;
    }
    auto readRow = [&](int row) {
        if (DGifGetLine(gif, image.scanLine(row), width) == GIF_ERROR)
            fail("truncated or corrupt image data", gif->Error);
    };
    if (gif->Image.Interlace) {
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int row = kStart[pass]; row < height; row += kStep[pass])
                readRow(row);
    } else {
        for (int row = 0; row < height; ++row)
            readRow(row);
    }
}

// LZW codes may name entries past the colour table; give those a colour of their own (opaque
// black) so that no pixel ever reads outside the table.
QList<QRgb> colourTable(const ColorMapObject& map, const QImage& image, int transparent)
{
    uchar maxIndex = 0;
    if (map.ColorCount < 256) {
        for (int row = 0; row < image.height(); ++row) {
            const uchar* line = image.constScanLine(row);
            uchar rowMax = 0;
            for (int x = 0; x < image.width(); ++x)
                rowMax = std::max(rowMax, line[x]);
            maxIndex = std::max(maxIndex, rowMax);
        }
    }
    const int size = std::max(map.ColorCount, int(maxIndex) + 1);
    QList<QRgb> colours(size, qRgb(0, 0, 0));
    for (int i = 0; i < std::min(map.ColorCount, 256); ++i)
        colours[i] = qRgb(map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue);
    if (transparent >= 0 && transparent < size)
        colours[transparent] &= 0x00ffffff;
    return colours;
}

} // namespace

Picture LoadPicture(QByteArrayView bytes, const PictureLimits& limits)
{
    return LoadPicture(bytes, {}, limits);
}

Picture LoadPicture(QByteArrayView head, QByteArrayView tail, const PictureLimits& limits, std::int64_t* pictureBytes)
{
    if (pictureBytes)
        *pictureBytes = -1;
    MemoryReader reader{head, tail};
    int error = D_GIF_SUCCEEDED;
    GifHandle gif(DGifOpen(&reader, readFromMemory, &error));
    if (!gif)
        fail("bad header", error);

    const int transparent = skipToImage(gif.get());
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
        fail("bad image descriptor", gif->Error);

    const std::int64_t width = gif->Image.Width;
    const std::int64_t height = gif->Image.Height;
    if (width <= 0 || height <= 0)
        fail("empty image");
    if (width * height > limits.maxPixels)
        fail("image too large");
    if (pictureBytes)
        *pictureBytes = PictureBytes(width, height);
    if (PictureBytes(width, height) > limits.maxBytes)
        throw RuntimeError(RuntimeError::OutOfMemory, "picture over the memory budget");
    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount <= 0 || !map->Colors)
        fail("no colour table");

    QImage image(int(width), int(height), QImage::Format_Indexed8);
    if (image.isNull())
        throw RuntimeError(RuntimeError::OutOfMemory, "out of memory for the picture");
    decodeRows(gif.get(), image);
    image.setColorTable(colourTable(*map, image, transparent));
    return Picture(std::move(image));
}

} // namespace skarvel
