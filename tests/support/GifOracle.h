#pragma once

#include "frames/SplitGifFrames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace skarvel::test {

// Splits `data` on one thread into `table` and answers the result; expects the same split on two
// threads, and on five as the bytes arrive: result, screen size, and every frame's values, chunk
// and picture.
std::int32_t splitBothWays(const QByteArray& data, FrameTable& table,
                           std::int64_t budget = PictureLimits::kSplitBudgetBytes);

// Expects the table's frames to be the images `images` of `gif` (all of them when none are named)
// as giflib reads them (DGifSlurp), the independent account: screen size, pictures pixel for pixel
// (colour, index, and alpha 0 for the transparent index alone), delays, clearing and positions.
void expectAsGiflib(const FrameTable& table, const QByteArray& gif, std::vector<std::size_t> images = {});

} // namespace skarvel::test
