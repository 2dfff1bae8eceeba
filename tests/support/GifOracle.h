#pragma once

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace skarvel::test {

// giflib's own reading of a whole GIF (DGifSlurp): the independent account the tests compare
// our splitting and decoding with.
struct SlurpedImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<QRgb> pixels;   // row by row, opaque colours from the image's colour table
    std::vector<int> indexes;   // the raw colour indexes
    int delay = 0;              // hundredths of a second
    int packed = 0;             // the control's packed byte
    int transparent = -1;
    bool extensionAfterControl = false;
};

struct SlurpedGif {
    int width = 0;
    int height = 0;
    std::vector<SlurpedImage> images;
};

// Nothing when giflib refuses the data.
std::optional<SlurpedGif> slurpGif(const QByteArray& bytes);

// Whether `picture` has the image's size and, pixel for pixel, its colours (alpha aside) and
// colour indexes; the transparent index alone has alpha 0.
::testing::AssertionResult samePicture(const QImage& picture, const SlurpedImage& image);

} // namespace skarvel::test
