#pragma once

#include "frames/FrameTable.h"

#include <QString>

namespace skarvel {

// Writes frame k of the GIF file at `sGifPath` to `sPrefix` + k + ".gif", one file for each
// frame of `table`, each a single-frame GIF cut from the file as the splitter cuts it. Answers
// false as soon as a file cannot be read or written; files written before stay.
bool ExportGifFrames(const QString& sGifPath, const QString& sPrefix, const FrameTable& table);

} // namespace skarvel
