#include "frames/ExportGifFrames.h"

#include "frames/FrameCutter.h"
#include "platform/FileIO.h"
#include "platform/RuntimeError.h"

#include <new>

namespace skarvel {

bool ExportGifFrames(const QString& sGifPath, const QString& sPrefix, const FrameTable& table)
{
    if (table.empty())
        return false;
    try {
        const QByteArray data = ReadWholeFile(sGifPath);
        FrameCutter cutter(data);
        if (!cutter.hasSeparator())
            return false;
        static constexpr char kTrailer = 0x3B;
        std::int32_t k = 0;
        while (const auto chunk = cutter.next()) {
            const QString path = sPrefix + QString::number(k) + QStringLiteral(".gif");
            if (chunk->last) {
                // Already ends with the source's own trailer.
                WriteWholeFile(path, {cutter.header(), chunk->bytes});
                break;
            }
            // The chunk ends with the next frame's "00 21"; a trailer in place of that dangling
            // introducer makes the file a complete GIF that strict readers accept.
            WriteWholeFile(path, {cutter.header(), chunk->bytes.chopped(1), QByteArrayView(&kTrailer, 1)});
            if (k++ == table.upperIndex())
                break;
        }
        return true;
    } catch (const RuntimeError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace skarvel
