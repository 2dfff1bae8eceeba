#include "frames/SplitGifFrames.h"

#include "base/RuntimeError.h"
#include "base/StopToken.h"
#include "files/FileIO.h"
#include "frames/FrameCosts.h"
#include "frames/FrameCutter.h"
#include "frames/FrameMaker.h"

#include <sched.h>

#include <algorithm>
#include <new>
#include <optional>
#include <thread>

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

void readFrameValues(FrameEntry& entry, QByteArrayView chunk, bool last)
{
    const ChunkReader reader(chunk, last);
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
}

// The failure of a frame when `remaining` bytes of the table's budget are left once the frames
// before it are stored. A frame that cannot be made costs nothing.
std::optional<RuntimeError::Number> failureOf(const FrameOutcome& outcome, std::int64_t remaining)
{
    if (outcome.error)
        return outcome.error;
    if (kFrameTableBytes > remaining)
        return RuntimeError::OutOfMemory;
    return std::nullopt;
}

// Settles where the frame that starts with `chunk` ends. A separator that ended the chunk inside
// its image, or inside an extension in front of it (a comment, say), lies in the frame's own
// bytes: the chunk is joined with the ones behind it up to the first that holds everything the
// decoder read. `cutter` goes on behind the frame; answers how many chunks were joined.
std::int64_t settleChunk(FrameCutter::Chunk& chunk, FrameCutter& cutter, QByteArrayView data, FrameOutcome& outcome)
{
    const qsizetype begin = chunk.bytes.data() - data.data();
    qsizetype end = begin + chunk.bytes.size();
    if (chunk.last || outcome.needed <= end)
        return 0;
    if (outcome.imageStart < 0) {
        // It never reached an image: there is nothing to join up to.
        outcome.picture = Picture();
        outcome.pictureBytes = -1;
        outcome.error = RuntimeError::InvalidPicture;
        return 0;
    }
    std::int64_t joined = 0;
    while (end < outcome.needed) {
        const auto next = cutter.next();
        if (!next)
            break;
        ++joined;
        chunk.last = next->last;
        end = next->bytes.data() - data.data() + next->bytes.size();
    }
    chunk.bytes = data.sliced(begin, end - begin);
    return joined;
}

// A split that may begin while the file is still read: the frames cut from the bytes that have
// arrived are decoded ahead on helper threads, and stored in order once all of it is there.
class GifSplit {
public:
    GifSplit(FrameTable& table, std::int64_t budget, int threads, const FrameStored& stored, const FrameKeeping& keeping,
             const StopToken* stop = nullptr)
        : m_table(table), m_budget(budget), m_threads(ThreadCount(threads)), m_stored(stored), m_keeping(keeping),
          m_stop(stop)
    {
        table.clear();
    }

    // Answers whether the read should go on: not once the split is stopped, nor for a file whose
    // first bytes already say it is no GIF (the rest of it, however long, would change nothing).
    bool arrived(QByteArrayView soFar)
    {
        if (StopAsked(m_stop))
            return false;
        if (soFar.size() >= 3 && !soFar.startsWith("GIF"))
            return false;
        if (m_threads < 2 || soFar.isEmpty())
            return true; // nobody to decode while this thread reads, or bytes that still move
        if (m_maker) {
            m_maker->grow(soFar, false);
            return true;
        }
        // Tried again only once the bytes have doubled: a long run in front of the first frame
        // is searched a few times, not once per piece.
        if (soFar.size() < 2 * m_headerTriedAt)
            return true;
        m_headerTriedAt = soFar.size();
        if (!soFar.startsWith("GIF") || !FrameCutter::knowsHeader(soFar))
            return true;
        FrameCutter cutter(soFar);
        if (cutter.header().size() >= 10)
            start(cutter, soFar, false);
        return true;
    }

    std::int32_t finish(const QByteArray& data);

    void keepUp()
    {
        if (m_maker)
            m_maker->keepUp();
    }

private:
    void start(const FrameCutter& cutter, QByteArrayView soFar, bool whole)
    {
        m_plan.emplace(cutter);
        m_plan->grow(soFar, whole);
        m_maker.emplace(soFar, cutter.header(), *m_plan, m_threads, m_keeping.rendition);
    }

    FrameTable& m_table;
    const std::int64_t m_budget;
    const int m_threads;
    const FrameStored& m_stored;
    const FrameKeeping& m_keeping;
    const StopToken* m_stop;
    qsizetype m_headerTriedAt = 0;
    std::optional<FramePlan> m_plan;
    std::optional<FrameMaker> m_maker; // behind the plan: stops before the plan goes
};

std::int32_t GifSplit::finish(const QByteArray& data)
{
    if (StopAsked(m_stop))
        return -1;
    FrameCutter cutter(data);
    const QByteArrayView header = cutter.header();
    if (!header.startsWith("GIF"))
        return 0;
    if (header.size() < 10)
        return -1;
    m_table.GifWidth = quint8(header[6]) + quint8(header[7]) * 256;
    m_table.GifHeight = quint8(header[8]) + quint8(header[9]) * 256;
    m_table.gifBytes = data;
    m_table.headerSize = header.size();
    m_table.pictures = std::make_shared<FramePictures>(data, header.size(), m_keeping.pictureBytes);

    try {
        // Refused before any frame is stored rather than after decoding most of it. The last frame
        // does not count: one that cannot be decoded is dropped, not refused.
        if (FramesCostButLast(data) > m_budget)
            return -1;
        if (m_maker)
            m_maker->grow(data, true);
        else
            start(cutter, data, true);
        FrameMaker& maker = *m_maker;

        m_table.frames.reserve(std::size_t(std::min(m_plan->count, m_budget / kFrameTableBytes + 1)));
        std::int64_t remaining = m_budget;
        std::int64_t renditions = 0;
        while (auto chunk = cutter.next()) {
            if (StopAsked(m_stop))
                return -1;
            FrameOutcome outcome = maker.take();
            maker.skip(settleChunk(*chunk, cutter, data, outcome));
            FrameEntry entry;
            try {
                readFrameValues(entry, chunk->bytes, chunk->last);
            } catch (const RuntimeError& error) {
                outcome.pictureBytes = -1;
                outcome.error = error.number();
            }
            if (const auto failure = failureOf(outcome, remaining)) {
                // A last frame that cannot be made is left out; anything else fails the split.
                if (!chunk->last || *failure == RuntimeError::OutOfMemory)
                    return -1;
                break;
            }
            remaining -= kFrameTableBytes;
            const std::size_t index = m_table.frames.size();
            entry.pixelWidth = outcome.picture.pixelWidth();
            entry.pixelHeight = outcome.picture.pixelHeight();
            entry.chunkBegin = chunk->bytes.data() - data.constData();
            entry.chunkEnd = entry.chunkBegin + chunk->bytes.size();
            if (renditions + outcome.rendition.sizeInBytes() <= FrameKeeping::kRenditionBytes) {
                renditions += outcome.rendition.sizeInBytes();
                entry.rendition = std::move(outcome.rendition);
            }
            m_table.pictures->keep(index, outcome.picture, outcome.pictureBytes);
            m_table.frames.push_back(std::move(entry));
            if (m_stored)
                m_stored(index, outcome.picture);
        }
        return std::max(0, m_table.upperIndex());
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

} // namespace

int ThreadCount(int threads)
{
    if (threads > 0)
        return threads;
    // The cores this process may run on: under taskset or a container's CPU set, more threads
    // than that only take turns.
    cpu_set_t allowed;
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0)
        return std::max(1, CPU_COUNT(&allowed));
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table)
{
    return SplitGifFrames(sGifPath, table, {});
}

std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table, const FrameStored& stored,
                            const FrameKeeping& keeping, const StopToken* stop)
{
    QByteArray data; // outlives the split, whose helpers may still read it when the read fails
    GifSplit split(table, PictureLimits::kSplitBudgetBytes, kAllCores, stored, keeping, stop);
    try {
        ReadWholeFile(sGifPath, data, [&](QByteArrayView soFar) { return split.arrived(soFar); });
    } catch (const RuntimeError&) {
        return -1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return split.finish(data);
}

std::int32_t SplitGifBytes(const QByteArray& data, FrameTable& table, std::int64_t budgetBytes, int threads,
                           const FrameStored& stored, qsizetype pieceBytes, const FrameKeeping& keeping)
{
    GifSplit split(table, budgetBytes, threads, stored, keeping);
    try {
        for (qsizetype end = pieceBytes; pieceBytes > 0 && end < data.size(); end += pieceBytes) {
            split.arrived(QByteArrayView(data).first(end));
            split.keepUp();
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return split.finish(data);
}

} // namespace skarvel
