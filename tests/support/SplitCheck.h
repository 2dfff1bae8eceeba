#pragma once

#include "frames/SplitGifFrames.h"

#include <QByteArrayView>

#include <gtest/gtest.h>

#include <cstdint>

namespace skarvel::test {

// Whether two splits came to the same: result, screen size, and every frame's values and picture
// (size, pixel indexes and colour table).
::testing::AssertionResult sameSplit(std::int32_t resultA, const FrameTable& a, std::int32_t resultB, const FrameTable& b);

// Whether a split's result and table keep their promises for `data`: a result of -1, 0 or n >= 1;
// n + 1 frames for n; at most one frame for 0; every picture indexed, at the size its frame
// image's first Image Descriptor declares, each pixel naming an entry of its colour table.
::testing::AssertionResult keepsItsPromises(QByteArrayView data, std::int32_t result, const FrameTable& table);

// Splits `data` on one thread into `table` and answers the result; expects the same split on two
// and on five threads, and the promises kept.
std::int32_t splitBothWays(QByteArrayView data, FrameTable& table,
                           std::int64_t budget = PictureLimits::kSplitBudgetBytes);

} // namespace skarvel::test
