#include "BenchGifs.h"

#include "ScreenFrames.h"

#include <QByteArray>
#include <QFile>

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace skarvel::bench {

namespace {

int appendToArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

void check(int status, const char* what)
{
    if (status == GIF_ERROR)
        throw std::runtime_error(std::string("giflib failed: ") + what);
}

struct Noise {
    std::uint64_t state;
    std::uint8_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return std::uint8_t(state >> 24);
    }
};

void drawFrame(const BenchGif& gif, int index, std::uint64_t seed, std::vector<GifPixelType>& pixels)
{
    if (gif.content == Content::Screen)
        return drawScreenFrame(gif.width, gif.height, index, pixels);
    if (gif.content == Content::Flat) {
        for (int y = 0; y < gif.height; ++y)
            std::fill_n(pixels.data() + std::size_t(y) * gif.width, gif.width, GifPixelType((y * 8 / gif.height + index) % 192));
        return;
    }
    if (gif.content == Content::Noise) {
        Noise noise{0x9E3779B97F4A7C15ull * (seed + 1)};
        for (GifPixelType& pixel : pixels)
            pixel = noise.next();
        return;
    }
    // Diagonal bands drifting with the frame, a disc crossing them; the palette is a ramp.
    const double cx = gif.width * (0.2 + 0.6 * index / std::max(1, gif.frames - 1));
    const double cy = gif.height / 2.0;
    const double r2 = std::pow(gif.height / 5.0, 2);
    for (int y = 0; y < gif.height; ++y) {
        GifPixelType* row = pixels.data() + std::size_t(y) * gif.width;
        for (int x = 0; x < gif.width; ++x) {
            const double dx = x - cx;
            const double dy = y - cy;
            row[x] = dx * dx + dy * dy < r2 ? 255 : GifPixelType(((x + y) / 6 + index + int(seed)) % 192);
        }
    }
}

// giflib's encoder takes the rows in the order they are stored: an interlaced image's rows go
// in its four passes.
void putInterlaced(GifFileType* gif, const BenchGif& spec, std::vector<GifPixelType>& pixels)
{
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int row = kStart[pass]; row < spec.height; row += kStep[pass])
            check(EGifPutLine(gif, pixels.data() + std::size_t(row) * std::size_t(spec.width), spec.width), "pixels");
}

} // namespace

void writeBenchGif(const BenchGif& spec, const QString& path)
{
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendToArray, &error);
    if (!gif)
        throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);

    std::vector<GifColorType> colours(256);
    for (int i = 0; i < 256; ++i) {
        const GifByteType grey = GifByteType(i);
        colours[std::size_t(i)] = spec.content == Content::Screen ? GifColorType{grey, grey, grey}
                                                                  : GifColorType{grey, GifByteType((i * 7) & 0xff), GifByteType(255 - i)};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    check(EGifPutScreenDesc(gif, spec.width, spec.height, 8, 0, map), "screen");
    GifFreeMapObject(map);

    check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop");
    check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "loop");
    const GifByteType loop[3] = {1, 0, 0};
    check(EGifPutExtensionBlock(gif, 3, loop), "loop");
    check(EGifPutExtensionTrailer(gif), "loop");

    std::vector<GifPixelType> pixels(std::size_t(spec.width) * spec.height);
    for (int index = 0; index < spec.frames; ++index) {
        const GifByteType control[4] = {0x04, GifByteType(spec.delay), 0, 0}; // keep the frame
        check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control), "control");
        check(EGifPutImageDesc(gif, 0, 0, spec.width, spec.height, spec.interlaced, nullptr), "descriptor");
        drawFrame(spec, index, std::uint64_t(index), pixels);
        if (spec.interlaced)
            putInterlaced(gif, spec, pixels);
        else
            check(EGifPutLine(gif, pixels.data(), int(pixels.size())), "pixels");
    }
    check(EGifCloseFile(gif, &error), "close");

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace skarvel::bench
