#include "support/GifBuilder.h"

#include <gif_lib.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <stdexcept>

namespace skarvel::test {

namespace {

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
    std::vector<GifColorType> entries(std::max<std::size_t>(2, std::bit_ceil(colours.size())), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i)
        entries[i] = GifColorType{colours[i][0], colours[i][1], colours[i][2]};
    return MapHandle(GifMakeMapObject(int(entries.size()), entries.data()), GifFreeMapObject);
}

void putControl(GifFileType* gif, const GraphicControl& c)
{
    const GifByteType block[4] = {GifByteType((c.disposal & 7) << 2 | (c.userInput ? 2 : 0) | (c.transparent >= 0 ? 1 : 0)),
                                  GifByteType(c.delay & 0xff), GifByteType(c.delay >> 8), GifByteType(std::max(0, c.transparent))};
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
    check(EGifPutImageDesc(gif, spec.left, spec.top, spec.width, spec.height, spec.interlaced, local.get()), "image");
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

GifBuilder& GifBuilder::loopExtension()
{
    m_items.push_back([](GifFileType* gif) {
        static const GifByteType kName[] = "NETSCAPE2.0", kLoop[] = {1, 0, 0};
        check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop");
        check(EGifPutExtensionBlock(gif, 11, kName), "loop");
        check(EGifPutExtensionBlock(gif, 3, kLoop), "loop");
        check(EGifPutExtensionTrailer(gif), "loop");
    });
    return *this;
}

GifBuilder& GifBuilder::image(const ImageSpec& spec)
{
    m_items.push_back([spec](GifFileType* gif) { putImage(gif, spec); });
    return *this;
}

QByteArray GifBuilder::build() const
{
    QByteArray out;
    int error = 0;
    const auto write = [](GifFileType* gif, const GifByteType* data, int length) {
        static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
        return length;
    };
    GifFileType* gif = EGifOpen(&out, write, &error);
    if (!gif)
        throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    try {
        check(EGifPutScreenDesc(gif, m_width, m_height, 8, 0, makeMap(m_colours).get()), "screen");
        for (const auto& item : m_items)
            item(gif);
    } catch (...) {
        EGifCloseFile(gif, &error);
        throw;
    }
    check(EGifCloseFile(gif, &error), "close");
    return out;
}

ImageSpec GifBuilder::pattern(int width, int height, int colours, int seed)
{
    ImageSpec spec = solid(width, height, 0);
    for (std::size_t p = 0; p < spec.pixels.size(); ++p)
        spec.pixels[p] = std::uint8_t((int(p) % width + 3 * (int(p) / width) + seed) % colours);
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
