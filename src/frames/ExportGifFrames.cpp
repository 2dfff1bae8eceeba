#include "frames/ExportGifFrames.h"

#include "base/RuntimeError.h"
#include "base/StopToken.h"
#include "files/FileIO.h"
#include "frames/SaveFrames.h"

#include <new>

namespace skarvel {

std::array<QByteArrayView, 3> GifFileParts(const FrameTable& table, std::size_t index)
{
    static constexpr char kTrailer = 0x3B;
    const QByteArrayView chunk = table.chunk(index);
    if (table.endsTheFile(index))
        return {table.header(), chunk, {}}; // already ends with the source's own trailer
    // The chunk ends with the next frame's "00 21"; a trailer in place of that dangling
    // introducer makes the file a complete GIF that strict readers accept.
    return {table.header(), chunk.chopped(1), QByteArrayView(&kTrailer, 1)};
}

bool ExportGifFrames(const QString& sPrefix, const FrameTable& table, const StopToken* stop, const FramesSaved& saved)
{
    if (table.empty())
        return false;
    try {
        for (std::size_t k = 0; k < table.frames.size(); ++k) {
            if (StopAsked(stop))
                return false;
            WriteWholeFile(FramePath(sPrefix, k, FrameFormat::Gif), GifFileParts(table, k));
            if (saved)
                saved(k + 1);
        }
        return true;
    } catch (const RuntimeError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace skarvel
