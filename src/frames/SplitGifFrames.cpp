#include "frames/SplitGifFrames.h"

#include "frames/FrameCosts.h"
#include "frames/FrameCutter.h"
#include "platform/FileIO.h"
#include "platform/RuntimeError.h"

#include <sched.h>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

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

// What decoding one chunk came to, whoever decoded it and whenever. The decoder is handed
// everything from the chunk to the end of the file, and tells how far it read: whether the chunk
// alone held enough is decided in frame order, by the chunk's end.
struct FrameOutcome {
    Picture picture;
    // What the frame was expected to take while it was made ahead of its turn.
    std::int64_t estimate = 0;
    // The memory the picture needs, once its size is known; -1 before.
    std::int64_t pictureBytes = -1;
    // Offsets in the file of the image's "," (-1 when not reached) and of the end of what the
    // decoder asked for.
    qsizetype imageStart = -1;
    qsizetype needed = 0;
    std::optional<RuntimeError::Number> error;
};

// Never throws: every failure is part of the outcome.
FrameOutcome makeFrame(PictureDecoder& decoder, qsizetype headerSize, QByteArrayView rest, qsizetype restOffset,
                       std::int64_t maxBytes)
{
    FrameOutcome outcome;
    PictureReading reading;
    try {
        PictureLimits limits;
        limits.maxBytes = maxBytes;
        outcome.picture = decoder.load(rest, limits, &reading);
    } catch (const RuntimeError& error) {
        outcome.error = error.number();
    } catch (const std::bad_alloc&) {
        outcome.error = RuntimeError::OutOfMemory;
    } catch (const std::exception&) {
        outcome.error = RuntimeError::InvalidCall;
    }
    // Positions in the header stay in front of the chunk.
    const auto inFile = [&](qsizetype offset) { return restOffset + std::max<qsizetype>(0, offset - headerSize); };
    outcome.pictureBytes = reading.pictureBytes;
    outcome.imageStart = reading.imageStart < 0 ? -1 : inFile(reading.imageStart);
    outcome.needed = inFile(reading.bytesNeeded);
    return outcome;
}

// The failure of a frame when `remaining` bytes of the budget are left once the frames before it
// are stored. A frame made ahead of its turn was checked against a budget at least as large, so
// the only difference can be a picture the smaller budget refuses, and that check comes right
// after the size is known: exactly where a frame made in its turn would have stopped.
std::optional<RuntimeError::Number> failureOf(const FrameOutcome& outcome, std::int64_t remaining)
{
    if (outcome.pictureBytes > remaining)
        return RuntimeError::OutOfMemory;
    return outcome.error;
}

// What the Image Descriptor claims the frame costs when it stands where a plain frame has it:
// right behind a four-byte Graphic Control Extension. 0 for any other layout or a size no picture
// may have.
std::int64_t declaredCost(QByteArrayView chunk)
{
    if (chunk.size() < 17 || chunk[1] != 4 || chunk[6] != 0 || chunk[7] != ',')
        return 0;
    const std::int64_t width = quint8(chunk[12]) + quint8(chunk[13]) * 256;
    const std::int64_t height = quint8(chunk[14]) + quint8(chunk[15]) * 256;
    if (width * height > PictureLimits::kMaxPixels)
        return 0;
    return FrameCost(width, height, quint8(chunk[16]) & 0x80);
}

// All chunks of a file, cut in one scan. Only the first ones are kept as a list: a hostile file of
// nothing but separators would otherwise cost more memory in chunk positions than in bytes.
struct FramePlan {
    static constexpr std::size_t kListedChunks = 1 << 16;

    explicit FramePlan(const FrameCutter& cutter) : rest(cutter)
    {
        FrameCutter scan = cutter;
        while (const auto chunk = scan.next()) {
            if (chunks.size() < kListedChunks) {
                chunks.push_back(*chunk);
                rest = scan;
            }
            ++count;
        }
    }

    // Chunk `index`; chunks are asked for in order, each once or more in a row, some skipped.
    FrameCutter::Chunk chunk(std::int64_t index)
    {
        if (std::size_t(index) < chunks.size())
            return chunks[std::size_t(index)];
        while (restIndex < index) {
            restChunk = *rest.next();
            restIndex = std::max<std::int64_t>(restIndex + 1, std::int64_t(chunks.size()));
        }
        return restChunk;
    }

    std::vector<FrameCutter::Chunk> chunks;
    FrameCutter rest;               // goes on behind the listed chunks
    FrameCutter::Chunk restChunk;   // the last one cut there, chunk `restIndex`
    std::int64_t restIndex = -1;
    std::int64_t count = 0;
};

// Decodes the chunks of a plan on several threads and hands them out in order. Threads work
// ahead of the chunk handed out last by at most a window, counted in chunks and in the memory
// their pictures are expected to take, so that a file that fails early costs little beyond what
// was stored, and small frames still give every thread enough to do between two waits. The
// calling thread decodes too while it waits; with one thread it decodes each chunk in its turn
// with the exact budget left.
class FrameMaker {
public:
    static constexpr std::int64_t kAheadFrames = 256;
    static constexpr std::int64_t kAheadBytes = std::int64_t(32) << 20;
    static constexpr std::int64_t kBatchFrames = 32;
    static constexpr std::int64_t kBatchBytes = std::int64_t(64) << 10;

    FrameMaker(QByteArrayView data, QByteArrayView header, FramePlan& plan, std::int64_t budget, int threads)
        : m_data(data), m_header(header), m_plan(plan), m_decoder(header, &m_tables), m_remaining(budget),
          m_slots(std::size_t(kAheadFrames))
    {
        const std::int64_t helpers = std::min<std::int64_t>(threads - 1, plan.count - 1);
        m_batching = helpers > 0;
        for (std::int64_t i = 0; i < helpers; ++i) {
            try {
                m_helpers.emplace_back([this] { help(); });
            } catch (const std::exception&) {
                break; // fewer threads only make it slower
            }
        }
    }

    ~FrameMaker()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_room.notify_all();
        m_helpers.clear();
    }

    FrameMaker(const FrameMaker&) = delete;
    FrameMaker& operator=(const FrameMaker&) = delete;

    // The next chunk's outcome in order.
    FrameOutcome take()
    {
        std::unique_lock lock(m_mutex);
        std::optional<FrameOutcome>& slot = m_slots[std::size_t(m_taken % kAheadFrames)];
        while (!slot) {
            if (canClaim())
                makeNext(lock, m_decoder);
            else
                m_ready.wait(lock);
        }
        FrameOutcome outcome = std::move(*slot);
        slot.reset();
        ++m_taken;
        m_aheadBytes -= outcome.estimate;
        wakeIdleHelper();
        return outcome;
    }

    // The next `count` chunks belong to the frame taken last: nobody decodes them on their own.
    void skip(std::int64_t count)
    {
        const std::lock_guard lock(m_mutex);
        const std::int64_t end = m_taken + count;
        for (; m_taken < std::min(end, m_claimed); ++m_taken) {
            std::optional<FrameOutcome>& slot = m_slots[std::size_t(m_taken % kAheadFrames)];
            if (slot)
                m_aheadBytes -= slot->estimate;
            slot.reset();
        }
        m_taken = end;
        m_claimed = std::max(m_claimed, end);
        wakeIdleHelper();
    }

    // A frame of `bytes` was stored: frames made from now on have that much less room.
    void stored(std::int64_t bytes)
    {
        const std::lock_guard lock(m_mutex);
        m_remaining -= bytes;
    }

private:
    // A picture whose size the chunk does not tell may be as large as any.
    static std::int64_t estimate(const FrameCutter::Chunk& chunk)
    {
        const std::int64_t declared = declaredCost(chunk.bytes);
        return declared > 0 ? declared : FrameCost(PictureLimits::kMaxPixels, 1, true);
    }

    // A helper waits until the window has room for a whole batch: woken for every frame taken,
    // it would make batches of one, each for a wait.
    bool helperMayClaim()
    {
        return canClaim() && (!m_batching || m_claimed - m_taken <= kAheadFrames - kBatchFrames);
    }

    void wakeIdleHelper()
    {
        if (m_idleHelpers > 0 && helperMayClaim())
            m_room.notify_one();
    }

    // The chunk in turn can always be made; others while the window has room for them.
    bool canClaim()
    {
        if (m_claimed >= m_plan.count)
            return false;
        if (m_claimed == m_taken)
            return true;
        return m_claimed - m_taken < kAheadFrames
            && m_aheadBytes + estimate(m_plan.chunk(m_claimed)) <= kAheadBytes;
    }

    // Claims the chunk in turn, or while others help a batch of small ones, so that frames of a
    // few thousand pixels cost one hand-over per batch rather than one each.
    void makeNext(std::unique_lock<std::mutex>& lock, PictureDecoder& decoder)
    {
        const std::int64_t first = m_claimed;
        FrameCutter::Chunk chunks[kBatchFrames];
        std::int64_t expected[kBatchFrames];
        std::int64_t count = 0;
        std::int64_t batchBytes = 0;
        do {
            chunks[count] = m_plan.chunk(m_claimed++);
            expected[count] = estimate(chunks[count]);
            m_aheadBytes += expected[count];
            batchBytes += expected[count++];
        } while (m_batching && count < kBatchFrames && batchBytes < kBatchBytes && canClaim());
        const std::int64_t budget = m_remaining;
        lock.unlock();
        std::optional<FrameOutcome> outcomes[kBatchFrames];
        for (std::int64_t i = 0; i < count; ++i) {
            const qsizetype offset = chunks[i].bytes.data() - m_data.data();
            outcomes[i] = makeFrame(decoder, m_header.size(), m_data.sliced(offset), offset, budget);
            outcomes[i]->estimate = expected[i];
        }
        lock.lock();
        for (std::int64_t i = 0; i < count; ++i) {
            if (first + i < m_taken) // skipped meanwhile
                m_aheadBytes -= expected[i];
            else
                m_slots[std::size_t((first + i) % kAheadFrames)] = std::move(outcomes[i]);
        }
        m_ready.notify_one(); // only the calling thread waits for frames
        wakeIdleHelper();
    }

    void help()
    {
        std::optional<PictureDecoder> decoder;
        try {
            decoder.emplace(m_header, &m_tables);
        } catch (const std::bad_alloc&) {
            return; // the others make the frames
        }
        std::unique_lock lock(m_mutex);
        while (!m_stopping && m_claimed < m_plan.count) {
            if (helperMayClaim()) {
                makeNext(lock, *decoder);
            } else {
                ++m_idleHelpers;
                m_room.wait(lock);
                --m_idleHelpers;
            }
        }
    }

    QByteArrayView m_data;
    QByteArrayView m_header;
    FramePlan& m_plan;
    SharedColourTables m_tables;
    PictureDecoder m_decoder; // the calling thread's
    std::mutex m_mutex;
    std::condition_variable m_ready; // a frame was made
    std::condition_variable m_room;  // the window has room for more
    int m_idleHelpers = 0;
    std::int64_t m_remaining;
    std::int64_t m_claimed = 0;
    std::int64_t m_taken = 0;
    std::int64_t m_aheadBytes = 0; // expected by the chunks decoded or being decoded, not yet taken
    bool m_stopping = false;
    bool m_batching = false; // set before any helper starts
    std::vector<std::optional<FrameOutcome>> m_slots;
    std::vector<std::jthread> m_helpers; // last: joined before anything they use goes
};

int threadsFor(int threads)
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

} // namespace

std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table)
{
    return SplitGifFrames(sGifPath, table, {});
}

std::int32_t SplitGifFrames(const QString& sGifPath, FrameTable& table, const FrameStored& stored)
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
    return SplitGifBytes(data, table, PictureLimits::kSplitBudgetBytes, kAllCores, stored);
}

std::int32_t SplitGifBytes(const QByteArray& data, FrameTable& table, std::int64_t budgetBytes, int threads,
                           const FrameStored& stored)
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
    table.gifBytes = data;
    table.headerSize = header.size();

    try {
        // Refused at once rather than after decoding most of it. The last frame does not count:
        // one that cannot be decoded is dropped, not refused.
        if (FramesCostButLast(data) > budgetBytes)
            return -1;
        FramePlan plan(cutter);

        // No frame costs less than a picture of one pixel: the table never grows past this.
        table.frames.reserve(std::size_t(std::min(plan.count, budgetBytes / FrameCost(1, 1, false) + 1)));
        FrameMaker maker(data, header, plan, budgetBytes, threadsFor(threads));
        std::int64_t remaining = budgetBytes;
        while (auto chunk = cutter.next()) {
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
            remaining -= outcome.pictureBytes;
            maker.stored(outcome.pictureBytes);
            entry.FramePicture = std::move(outcome.picture);
            entry.chunkBegin = chunk->bytes.data() - data.constData();
            entry.chunkEnd = entry.chunkBegin + chunk->bytes.size();
            table.frames.push_back(std::move(entry));
            if (stored)
                stored(table.frames.size() - 1);
        }
        return std::max(0, table.upperIndex());
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

} // namespace skarvel
