#include "support/GifBuilder.h"

#include <gif_lib.h>

#include <algorithm>
#include <bit>
#include <memory>
#include <stdexcept>
#include <utility>

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
    MapHandle map(colours.empty() ? nullptr : GifMakeMapObject(std::max(2, int(std::bit_ceil(colours.size()))), nullptr), GifFreeMapObject);
    for (std::size_t i = 0; map && i < colours.size(); ++i)
        map->Colors[i] = GifColorType{colours[i][0], colours[i][1], colours[i][2]};
    return map;
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
    if (!local)
        GifFreeMapObject(std::exchange(gif->Image.ColorMap, nullptr));
    check(EGifPutImageDesc(gif, spec.left, spec.top, spec.width, spec.height, spec.interlaced, local.get()));
    // Interlaced rows come in four passes, plain ones in the fifth. The encoder masks each line in
    // place, so it gets a copy.
    static constexpr int kStart[] = {0, 4, 2, 1, 0}, kStep[] = {8, 8, 4, 2, 1};
    std::vector<GifPixelType> pixels = spec.pixels;
    for (int pass = spec.interlaced ? 0 : 4; pass < (spec.interlaced ? 4 : 5); ++pass)
        for (int row = kStart[pass]; row < spec.height; row += kStep[pass])
            check(EGifPutLine(gif, pixels.data() + row * spec.width, spec.width));
}

} // namespace

QByteArray GifBuilder::build() const
{
    QByteArray out;
    const auto write = [](GifFileType* gif, const GifByteType* data, int length) {
        static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
        return length;
    };
    // A failure throws and leaves the encoder behind: the test fails anyway.
    GifFileType* gif = EGifOpen(&out, write, nullptr);
    check(gif ? GIF_OK : GIF_ERROR);
    EGifSetGifVersion(gif, true);
    check(EGifPutScreenDesc(gif, width, height, 8, 0, makeMap(colours).get()));
    // giflib writes at once through `write`, so the extension goes straight into the output.
    if (loop)
        out += QByteArray("\x21\xFF\x0B" "NETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (const ImageSpec& spec : images)
        putImage(gif, spec);
    check(EGifCloseFile(gif, nullptr));
    return out;
}

} // namespace skarvel::test
