#include "frames/ExportGifFrames.h"

#include "platform/FileIO.h"
#include "platform/RuntimeError.h"

#include <new>

namespace skarvel {

bool ExportGifFrames(const QString& sPrefix, const FrameTable& table)
{
    if (table.empty())
        return false;
    static constexpr char kTrailer = 0x3B;
    try {
        for (std::size_t k = 0; k < table.frames.size(); ++k) {
            const QString path = sPrefix + QString::number(k) + QStringLiteral(".gif");
            const QByteArrayView chunk = table.chunk(k);
            if (table.endsTheFile(k)) {
                // Already ends with the source's own trailer.
                WriteWholeFile(path, {table.header(), chunk});
                continue;
            }
            // The chunk ends with the next frame's "00 21"; a trailer in place of that dangling
            // introducer makes the file a complete GIF that strict readers accept.
            WriteWholeFile(path, {table.header(), chunk.chopped(1), QByteArrayView(&kTrailer, 1)});
        }
        return true;
    } catch (const RuntimeError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace skarvel
