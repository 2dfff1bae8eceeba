#pragma once

#include "frames/FrameTable.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>

namespace skarvel {

// Cuts the GIF file at `sGifPath` into its frames and rebuilds `table` from them.
// Answers the table's upper index (1 or more: two frames or more), 0 when the file is not a GIF
// that can be split or holds a single frame, -1 when reading or decoding failed; on -1 the table
// keeps the frames made before the failure. A last frame that cannot be decoded is dropped.
std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table);

// Told the index of each frame as soon as it is stored in the table, in frame order, on the
// splitting thread; later frames may still fail the split.
using FrameStored = std::function<void(std::size_t index)>;
std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table, const FrameStored& stored);

// Decode frame images on one thread per core.
inline constexpr int kAllCores = 0;

// The same over a file's bytes already in memory, with all pictures together limited to
// `budgetBytes`. The frame images are decoded on `threads` threads (1: one after the other on the
// calling thread), beginning while the bytes arrive `pieceBytes` at a time as from a read slower
// than the decoding (0: all at once); the table and the result depend on neither. A file whose frames, the last one aside,
// declare more pixels than the budget holds is refused (-1) before any frame is stored.
std::int32_t SplitGifBytes(const QByteArray& data, FrameTable& table,
                           std::int64_t budgetBytes = PictureLimits::kSplitBudgetBytes,
                           int threads = kAllCores, const FrameStored& stored = {}, qsizetype pieceBytes = 0);

} // namespace skarvel
