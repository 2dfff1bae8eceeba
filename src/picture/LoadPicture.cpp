// Decoding the first image of an in-memory GIF with giflib's record API.
#include "picture/Picture.h"

#include "base/RuntimeError.h"

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
    qsizetype needed = 0; // the furthest byte asked for
};

int readFromMemory(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    reader->needed = std::max(reader->needed, reader->pos + length);
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
// Graphic Control Extension among them, or -1. Sets `imageStart` to the offset of the image's ",".
int skipToImage(GifFileType* gif, const MemoryReader& reader, qsizetype& imageStart)
{
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            fail("bad block", gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE) {
            imageStart = reader.pos - 1;
            return transparent;
        }
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

// LZW codes may name any of 256 entries, whatever the size of the colour table: the entries past
// it are opaque black, so that no pixel ever reads outside the table.
QList<QRgb> colourTable(const ColorMapObject& map, int transparent)
{
    QList<QRgb> colours(256, qRgb(0, 0, 0));
    for (int i = 0; i < std::min(map.ColorCount, 256); ++i)
        colours[i] = qRgb(map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue);
    if (transparent >= 0 && transparent < 256)
        colours[transparent] &= 0x00ffffff;
    return colours;
}

Picture decode(GifFileType* gif, const MemoryReader& reader, const PictureLimits& limits,
               PictureReading& reading, SharedColourTables* tables)
{
    const int transparent = skipToImage(gif, reader, reading.imageStart);
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        fail("bad image descriptor", gif->Error);

    const std::int64_t width = gif->Image.Width;
    const std::int64_t height = gif->Image.Height;
    if (width <= 0 || height <= 0)
        fail("empty image");
    if (width * height > limits.maxPixels)
        fail("image too large");
    const bool shared = tables && !gif->Image.ColorMap;
    reading.pictureBytes = FrameCost(width, height, !shared);
    if (reading.pictureBytes > limits.maxBytes)
        throw RuntimeError(RuntimeError::OutOfMemory, "picture over the memory budget");
    const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount <= 0 || !map->Colors)
        fail("no colour table");

    QImage image(int(width), int(height), QImage::Format_Indexed8);
    if (image.isNull())
        throw RuntimeError(RuntimeError::OutOfMemory, "out of memory for the picture");
    decodeRows(gif, image);
    image.setColorTable(shared ? tables->global(transparent, [&] { return colourTable(*map, transparent); })
                               : colourTable(*map, transparent));
    return Picture(std::move(image), std::min(map->ColorCount, 256));
}

} // namespace

struct PictureDecoder::State {
    MemoryReader reader;
    SharedColourTables* tables = nullptr;
    GifHandle gif;
    qsizetype screenEnd = 0; // where the decoder stands once it has read the screen and its colours
};

PictureDecoder::PictureDecoder(QByteArrayView header, SharedColourTables* tables) : m_state(std::make_unique<State>())
{
    m_state->reader.head = header;
    m_state->tables = tables;
}

PictureDecoder::~PictureDecoder() = default;

Picture PictureDecoder::load(QByteArrayView tail, const PictureLimits& limits, PictureReading* reading)
{
    State& state = *m_state;
    PictureReading own;
    PictureReading& read = reading ? *reading : own;
    read = PictureReading{};
    MemoryReader& reader = state.reader;
    reader.tail = tail;
    // However the decode ends, the caller learns how far it read.
    struct Report {
        PictureReading& read;
        const MemoryReader& reader;
        ~Report() { read.bytesNeeded = reader.needed; }
    } report{read, reader};

    // A decoder that finished its last image cleanly stands behind the header's screen and colours,
    // exactly where a new one would after opening the same header; any other is opened afresh.
    GifHandle gif = std::move(state.gif);
    if (gif) {
        GifFreeSavedImages(gif.get());
        gif->ImageCount = 0;
        reader.pos = reader.needed = state.screenEnd;
    } else {
        reader.pos = reader.needed = 0;
        int error = D_GIF_SUCCEEDED;
        gif.reset(DGifOpen(&reader, readFromMemory, &error));
        if (!gif)
            fail("bad header", error);
        state.screenEnd = reader.pos;
    }
    Picture picture = decode(gif.get(), reader, limits, read, state.tables);
    state.gif = std::move(gif);
    return picture;
}

Picture LoadPicture(QByteArrayView bytes, const PictureLimits& limits)
{
    return LoadPicture(bytes, {}, limits);
}

Picture LoadPicture(QByteArrayView head, QByteArrayView tail, const PictureLimits& limits, PictureReading* reading,
                    SharedColourTables* tables)
{
    return PictureDecoder(head, tables).load(tail, limits, reading);
}

} // namespace skarvel
