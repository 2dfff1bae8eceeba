#pragma once

#include "picture/Picture.h"

#include <cstdio>
#include <cstdlib>

// A broken promise is a finding: stop with a message libFuzzer keeps with the input.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

namespace skarvel::fuzz {

// A picture anything may paint or save: indexed, every pixel naming an entry of its table.
inline void checkPicture(const Picture& picture)
{
    const QImage& image = picture.image();
    FUZZ_CHECK(!image.isNull());
    FUZZ_CHECK(image.format() == QImage::Format_Indexed8);
    FUZZ_CHECK(picture.byteCount() == PictureBytes(image.width(), image.height()));
    const int colours = image.colorCount();
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            FUZZ_CHECK(line[x] < colours);
    }
}

} // namespace skarvel::fuzz
