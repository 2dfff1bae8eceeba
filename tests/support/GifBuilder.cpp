#include "support/GifBuilder.h"

#include <gif_lib.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <stdexcept>

namespace skarvel::test {

namespace {

void check(int status)
{
    if (status == GIF_ERROR)
        throw std::runtime_error("giflib could not write the test GIF");
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

void putImage(GifFileType* gif, const ImageSpec& spec)
{
    if (const auto& c = spec.control) {
        const GifByteType block[4] = {GifByteType((c->disposal & 7) << 2 | (c->userInput ? 2 : 0) | (c->transparent >= 0 ? 1 : 0)),
                                      GifByteType(c->delay & 0xff), GifByteType(c->delay >> 8), GifByteType(std::max(0, c->transparent))};
        check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block));
    }
    if (spec.commentBeforeImage)
        check(EGifPutComment(gif, "frame"));
    const MapHandle local = makeMap(spec.localColours);
    // giflib's encoder drops, without freeing, the previous image's local colour table when this
    // image has none.
    if (!local && gif->Image.ColorMap) {
        GifFreeMapObject(gif->Image.ColorMap);
        gif->Image.ColorMap = nullptr;
    }
    check(EGifPutImageDesc(gif, spec.left, spec.top, spec.width, spec.height, spec.interlaced, local.get()));
    // Interlaced rows come in four passes; plain ones in one pass from row 0, step 1. The encoder
    // masks each line in place, so it gets a copy.
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (spec.interlaced ? 4 : 1); ++pass) {
        for (int row = spec.interlaced ? kStart[pass] : 0; row < spec.height; row += spec.interlaced ? kStep[pass] : 1) {
            std::vector<GifPixelType> line(spec.pixels.begin() + row * spec.width, spec.pixels.begin() + (row + 1) * spec.width);
            check(EGifPutLine(gif, line.data(), spec.width));
        }
    }
}

} // namespace

QByteArray GifBuilder::build() const
{
    QByteArray out;
    int error = 0;
    const auto write = [](GifFileType* gif, const GifByteType* data, int length) {
        static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
        return length;
    };
    // A failure throws and leaves the encoder behind: the test fails anyway.
    GifFileType* gif = EGifOpen(&out, write, &error);
    check(gif ? GIF_OK : GIF_ERROR);
    EGifSetGifVersion(gif, true);
    check(EGifPutScreenDesc(gif, m_width, m_height, 8, 0, makeMap(m_colours).get()));
    if (m_loop) {
        static const GifByteType kName[] = "NETSCAPE2.0", kLoop[] = {1, 0, 0};
        check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE));
        check(EGifPutExtensionBlock(gif, 11, kName));
        check(EGifPutExtensionBlock(gif, 3, kLoop));
        check(EGifPutExtensionTrailer(gif));
    }
    for (const ImageSpec& spec : m_images)
        putImage(gif, spec);
    check(EGifCloseFile(gif, &error));
    return out;
}

} // namespace skarvel::test
