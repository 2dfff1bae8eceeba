#pragma once

#include "frames/FrameTable.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>

namespace skarvel {

class StopToken;

// Cuts the GIF file at `sGifPath` into its frames and rebuilds `table` from them. Every frame is
// decoded, to know which ones load; the table keeps what its pictures' budget holds.
// Answers the table's upper index (1 or more: two frames or more), 0 when the file is not a GIF
// that can be split or holds a single frame, -1 when reading or decoding failed; on -1 the table
// keeps the frames made before the failure. A last frame that cannot be decoded is dropped.
std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table);

// Told the index and picture of each frame as soon as it is stored in the table, in frame order,
// on the splitting thread; later frames may still fail the split.
using FrameStored = std::function<void(std::size_t index, const Picture& picture)>;

// What an open keeps of the pictures it decodes: the first ones that fit `pictureBytes` (the others
// are decoded again when they are asked for), and, when `rendition` is given, what it makes of each
// picture, as long as all of those together stay within kRenditionBytes (later frames get none).
struct FrameKeeping {
    static constexpr std::int64_t kRenditionBytes = std::int64_t(64) << 20;
    std::int64_t pictureBytes = FramePictures::kDefaultBytes;
    FrameRendition rendition;
};

// The open can be stopped through `stop`, while the file is read as while its frames are stored:
// the split then answers -1 soon after, as for a failure. A file whose first bytes are
// not a GIF's signature answers 0 without being read further; one larger than ReadLimitBytes()
// answers -1 (LastFileFailure() tells kFileTooLarge).
std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table, const FrameStored& stored,
                            const FrameKeeping& keeping = {}, const StopToken* stop = nullptr);

// Decode frame images on one thread per core.
inline constexpr int kAllCores = 0;
// How many threads `threads` stands for: itself, or for kAllCores the cores this process may use.
int ThreadCount(int threads);

// The same over a file's bytes already in memory, with the table limited to `budgetBytes`
// (kFrameTableBytes a frame, whatever its pixels). The frame images are decoded on `threads` threads (1: one after the other on the
// calling thread), beginning while the bytes arrive `pieceBytes` at a time as from a read slower
// than the decoding (0: all at once); the table and the result depend on neither. A file with more
// frames, the last one aside, than the budget holds is refused (-1) before any frame is stored.
std::int32_t SplitGifBytes(const QByteArray& data, FrameTable& table,
                           std::int64_t budgetBytes = PictureLimits::kSplitBudgetBytes,
                           int threads = kAllCores, const FrameStored& stored = {}, qsizetype pieceBytes = 0,
                           const FrameKeeping& keeping = {});

} // namespace skarvel
