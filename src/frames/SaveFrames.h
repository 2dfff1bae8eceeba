#pragma once

#include "frames/FrameTable.h"

#include <QString>

#include <functional>

namespace skarvel {

class StopToken;

// Png is for the command line's export only.
enum class FrameFormat { Bmp, Gif, Png };

// Where the frames of `sGifFile` go in `folder`: the folder with its separator, then the GIF's
// base name. Frame i is then saved as prefix + i + ".bmp", ".gif" or ".png".
QString FramePrefix(const QString& folder, const QString& sGifFile);
QString FramePath(const QString& prefix, std::size_t index, FrameFormat format);

// Told, on the saving thread, how many files are saved so far, after each one.
using FramesSaved = std::function<void(std::size_t saved)>;

// Saves every frame of `table` in frame order, as bitmaps of its pictures or as GIF files cut
// from the bytes it was split from; the files are named after `sGifFile`. Stops at the first file
// that cannot be written and answers false; the files before it stay. Asked to stop through
// `stop`, it writes no file after the one under way and answers false: every file it leaves is
// whole.
bool SaveFrames(const FrameTable& table, const QString& sGifFile, const QString& folder, FrameFormat format,
                const StopToken* stop = nullptr, const FramesSaved& saved = {});

} // namespace skarvel
