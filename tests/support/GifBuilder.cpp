#include "support/GifBuilder.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace skarvel::test {

namespace {

int writeToArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

void check(int status, const char* what)
{
    if (status == GIF_ERROR)
        throw std::runtime_error(std::string("giflib failed: ") + what);
}

using MapHandle = std::unique_ptr<ColorMapObject, decltype(&GifFreeMapObject)>;

MapHandle makeMap(const std::vector<Rgb>& colours)
{
    if (colours.empty())
        return MapHandle(nullptr, GifFreeMapObject);
    int size = 2;
    while (size < int(colours.size()))
        size *= 2;
    std::vector<GifColorType> entries(size, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i)
        entries[i] = GifColorType{colours[i][0], colours[i][1], colours[i][2]};
    return MapHandle(GifMakeMapObject(size, entries.data()), GifFreeMapObject);
}

void putControl(GifFileType* gif, const GraphicControl& control)
{
    const GifByteType packed = (control.disposal & 7) << 2 | (control.userInput ? 2 : 0) | (control.transparent >= 0 ? 1 : 0);
    const GifByteType block[4] = {packed, GifByteType(control.delay & 0xff),
                                  GifByteType((control.delay >> 8) & 0xff),
                                  GifByteType(control.transparent < 0 ? 0 : control.transparent)};
    check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block), "control");
}

void putImage(GifFileType* gif, const ImageSpec& spec)
{
    if (spec.control)
        putControl(gif, *spec.control);
    if (spec.commentBeforeImage)
        check(EGifPutComment(gif, "frame"), "comment");
    const MapHandle local = makeMap(spec.localColours);
    // giflib's encoder drops, without freeing, the previous image's local colour table when this
    // image has none.
    if (!local && gif->Image.ColorMap) {
        GifFreeMapObject(gif->Image.ColorMap);
        gif->Image.ColorMap = nullptr;
    }
    check(EGifPutImageDesc(gif, spec.left, spec.top, spec.width, spec.height, spec.interlaced, local.get()),
          "image descriptor");
    // Interlaced rows come in four passes; plain ones in one pass from row 0, step 1.
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    std::vector<GifPixelType> line(spec.width);
    for (int pass = 0; pass < (spec.interlaced ? 4 : 1); ++pass) {
        for (int row = spec.interlaced ? kStart[pass] : 0; row < spec.height; row += spec.interlaced ? kStep[pass] : 1) {
            std::copy_n(spec.pixels.begin() + row * spec.width, spec.width, line.begin());
            check(EGifPutLine(gif, line.data(), spec.width), "line");
        }
    }
}

} // namespace

GifBuilder::GifBuilder(int width, int height, std::vector<Rgb> globalColours)
    : m_width(width), m_height(height), m_colours(std::move(globalColours))
{
}

GifBuilder& GifBuilder::loopExtension()
{
    m_items.push_back([](GifFileType* gif) {
        static const GifByteType kName[] = "NETSCAPE2.0";
        static const GifByteType kLoop[] = {1, 0, 0};
        check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop");
        check(EGifPutExtensionBlock(gif, 11, kName), "loop");
        check(EGifPutExtensionBlock(gif, 3, kLoop), "loop");
        check(EGifPutExtensionTrailer(gif), "loop");
    });
    return *this;
}

GifBuilder& GifBuilder::image(const ImageSpec& spec)
{
    if (spec.pixels.size() != std::size_t(spec.width) * std::size_t(spec.height))
        throw std::invalid_argument("pixel count does not match the image size");
    m_items.push_back([spec](GifFileType* gif) { putImage(gif, spec); });
    return *this;
}

GifBuilder& GifBuilder::danglingControl(GraphicControl control)
{
    m_items.push_back([control](GifFileType* gif) { putControl(gif, control); });
    return *this;
}

QByteArray GifBuilder::build() const
{
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToArray, &error);
    if (!gif)
        throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    try {
        const MapHandle global = makeMap(m_colours);
        check(EGifPutScreenDesc(gif, m_width, m_height, 8, 0, global.get()), "screen");
        for (const auto& item : m_items)
            item(gif);
    } catch (...) {
        EGifCloseFile(gif, &error);
        throw;
    }
    check(EGifCloseFile(gif, &error), "close");
    return out;
}

ImageSpec GifBuilder::solid(int width, int height, std::uint8_t colour)
{
    ImageSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixels.assign(std::size_t(width) * height, colour);
    return spec;
}

ImageSpec GifBuilder::pattern(int width, int height, int colours, int seed)
{
    ImageSpec spec = solid(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            spec.pixels[std::size_t(y) * width + x] = std::uint8_t((x + 3 * y + seed) % colours);
    return spec;
}

std::vector<Rgb> distinctColours(int count)
{
    std::vector<Rgb> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(Rgb{std::uint8_t(10 + i * 37), std::uint8_t(200 - i * 13), std::uint8_t(1 + i * 5)});
    return colours;
}

} // namespace skarvel::test
