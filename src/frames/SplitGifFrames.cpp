#include "frames/SplitGifFrames.h"

#include "frames/FrameCutter.h"
#include "platform/FileIO.h"
#include "platform/RuntimeError.h"

#include <new>

namespace skarvel {

namespace {

// The per-frame values sit at fixed offsets of the chunk, among its first 16 bytes; the last
// chunk is read without its final two bytes. A byte that is not there is a failure.
class ChunkReader {
public:
    ChunkReader(QByteArrayView chunk, bool last)
        : m_chunk(chunk), m_size(std::min<qsizetype>(16, chunk.size() - (last ? 2 : 0)))
    {
    }

    int byteAt(qsizetype offset) const
    {
        if (offset >= m_size)
            throw RuntimeError(RuntimeError::InvalidCall, "frame too short");
        return quint8(m_chunk[offset]);
    }

    int wordAt(qsizetype offset) const { return byteAt(offset) + byteAt(offset + 1) * 256; }

private:
    QByteArrayView m_chunk;
    qsizetype m_size;
};

FrameEntry readFrameValues(QByteArrayView chunk, bool last)
{
    const ChunkReader reader(chunk, last);
    FrameEntry entry;
    const int packed = reader.byteAt(2);
    entry.FrameClear = packed != 4 && packed != 5;
    entry.FrameDelay = reader.wordAt(3) * 10;
    if (entry.FrameDelay < 1)
        entry.FrameDelay = 100;
    // Another extension between the Graphic Control Extension and the image hides the position.
    if (reader.byteAt(7) != '!') {
        entry.FrameLeft = reader.wordAt(8);
        entry.FrameTop = reader.wordAt(10);
    }
    return entry;
}

} // namespace

std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table)
{
    table.clear();
    QByteArray data;
    try {
        data = ReadWholeFile(sGifPath);
    } catch (const RuntimeError&) {
        return -1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return SplitGifBytes(data, table);
}

std::int32_t SplitGifBytes(QByteArrayView data, FrameTable& table, std::int64_t budgetBytes)
{
    table.clear();
    FrameCutter cutter(data);
    const QByteArrayView header = cutter.header();
    if (!header.startsWith("GIF"))
        return 0;
    if (header.size() < 10)
        return -1;
    table.GifWidth = quint8(header[6]) + quint8(header[7]) * 256;
    table.GifHeight = quint8(header[8]) + quint8(header[9]) * 256;

    PictureLimits limits;
    limits.maxBytes = budgetBytes;
    QByteArray image(header.data(), header.size());
    std::int32_t counter = 0;
    while (const auto chunk = cutter.next()) {
        ++counter;
        try {
            FrameEntry entry = readFrameValues(chunk->bytes, chunk->last);
            image.truncate(header.size());
            image.append(chunk->bytes.data(), chunk->bytes.size());
            entry.FramePicture = LoadPicture(image, limits);
            limits.maxBytes -= entry.FramePicture.byteCount();
            table.frames.push_back(std::move(entry));
        } catch (const RuntimeError& error) {
            // A last frame that cannot be made is left out; anything else fails the split.
            if (!chunk->last || error.number() == RuntimeError::OutOfMemory)
                return -1;
        } catch (const std::bad_alloc&) {
            return -1;
        }
    }
    return counter > 1 ? table.upperIndex() : 0;
}

} // namespace skarvel
