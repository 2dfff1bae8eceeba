#pragma once

#include "frames/SaveFrames.h"

#include <QString>

#include <vector>

namespace skarvel::bench {

// What the bench times in a process of its own, one call each.

// giflib's DGifSlurp of the file: decoding it once, on one core.
bool slurp(const QString& path);

// Skarvel's open on one thread, frame after frame.
bool splitInOrder(const QString& path);

// Opening the file and saving all its frames, as `skarvel-frames export` does: each frame is
// written while the frames behind it still decode.
bool exportFrames(const QString& path, const QString& folder, FrameFormat format);

// The least any tool can spend on an export: creating files of the given sizes with plain
// open, write and close, nothing computed, nothing renamed.
bool writePlainFiles(const QString& folder, const std::vector<qsizetype>& sizes);

} // namespace skarvel::bench
