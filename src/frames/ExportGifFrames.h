#pragma once

#include "frames/FrameTable.h"
#include "frames/SaveFrames.h"

#include <QString>

#include <array>

namespace skarvel {

// Writes frame k of `table` to `sPrefix` + k + ".gif", one file for each frame, each a
// single-frame GIF made of the opened file's header and the frame's chunk as the splitter cut
// them: what is saved is what was opened, whatever became of the file since. Answers false as
// soon as a file cannot be written; files written before stay. Stopped and told as SaveFrames is.
bool ExportGifFrames(const QString& sPrefix, const FrameTable& table, const StopToken* stop = nullptr,
                     const FramesSaved& saved = {});

// The bytes of frame `index`'s file as ExportGifFrames writes it, in parts: views of the table's
// bytes, and of a trailer of our own.
std::array<QByteArrayView, 3> GifFileParts(const FrameTable& table, std::size_t index);

} // namespace skarvel
