#pragma once

#include "frames/SplitGifFrames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace skarvel::test {

// Whether two splits came to the same: result, screen size, and every frame's values, chunk and
// picture (size, pixel indexes and colour table).
::testing::AssertionResult sameSplit(std::int32_t resultA, const FrameTable& a, std::int32_t resultB, const FrameTable& b);

// Splits `data` on one thread into `table` and answers the result; expects the same split on two
// and on five threads, and a result of -1, 0 or n with n + 1 frames.
std::int32_t splitBothWays(const QByteArray& data, FrameTable& table,
                           std::int64_t budget = PictureLimits::kSplitBudgetBytes);

// Expects the table's frames to be giflib's images `images` of `gif` (all of them when none are
// named): screen size, pictures, delays, clearing and positions.
void expectAsGiflib(const FrameTable& table, const QByteArray& gif, std::vector<std::size_t> images = {});

} // namespace skarvel::test
