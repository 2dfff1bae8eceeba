#include "support/HostileGifs.h"

#include "support/GifBuilder.h"

namespace skarvel::test {

QByteArray framesHidingImages(int frames, int side)
{
    // Both files: screen (13 bytes) and two colours (6), then the control (8), the Image Descriptor
    // (10), the LZW code size and the sub-blocks, then the trailer.
    constexpr qsizetype kControl = 19, kCodeSize = 37;
    const std::vector<Rgb> colours = distinctColours(2);
    const QByteArray dot = GifBuilder(side, side, colours).image(GifBuilder::solid(1, 1, 1)).build();
    const QByteArray hidden = GifBuilder(side, side, colours).image(GifBuilder::solid(side, side, 1)).build();
    // The dot's one sub-block takes, behind its LZW data, a separator's 00 and the hidden image's
    // control, descriptor and code size; the hidden image's sub-blocks are then the dot's too.
    const QByteArray dotData = dot.sliced(kCodeSize + 2, quint8(dot[kCodeSize + 1]));
    const QByteArray carried = '\0' + hidden.sliced(kControl, kCodeSize + 1 - kControl);
    QByteArray frame = dot.sliced(kControl, kCodeSize + 1 - kControl);
    frame += char(dotData.size() + carried.size()) + dotData + carried;
    frame += hidden.sliced(kCodeSize + 1).chopped(1);
    return dot.first(kControl) + frame.repeated(frames) + ';';
}

} // namespace skarvel::test
