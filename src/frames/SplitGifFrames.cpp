#include "frames/SplitGifFrames.h"

#include "frames/FrameCutter.h"
#include "platform/FileIO.h"
#include "platform/RuntimeError.h"

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

// What making one frame came to, whoever made it and whenever.
struct FrameOutcome {
    FrameEntry entry;
    bool last = false;
    // What the frame was expected to take while it was made ahead of its turn.
    std::int64_t estimate = 0;
    // The memory the picture needs, once its size is known; -1 before.
    std::int64_t pictureBytes = -1;
    std::optional<RuntimeError::Number> error;
};

// Never throws: every failure is part of the outcome.
FrameOutcome makeFrame(QByteArrayView header, const FrameCutter::Chunk& chunk, std::int64_t maxBytes)
{
    FrameOutcome outcome;
    outcome.last = chunk.last;
    try {
        outcome.entry = readFrameValues(chunk.bytes, chunk.last);
        PictureLimits limits;
        limits.maxBytes = maxBytes;
        outcome.entry.FramePicture = LoadPicture(header, chunk.bytes, limits, &outcome.pictureBytes);
    } catch (const RuntimeError& error) {
        outcome.error = error.number();
    } catch (const std::bad_alloc&) {
        outcome.error = RuntimeError::OutOfMemory;
    } catch (const std::exception&) {
        outcome.error = RuntimeError::InvalidCall;
    }
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

// The size the Image Descriptor claims when it stands where a plain frame has it: right behind a
// four-byte Graphic Control Extension. 0 for any other layout or a size no picture may have.
std::int64_t declaredPictureBytes(QByteArrayView chunk)
{
    if (chunk.size() < 16 || chunk[1] != 4 || chunk[6] != 0 || chunk[7] != ',')
        return 0;
    const std::int64_t width = quint8(chunk[12]) + quint8(chunk[13]) * 256;
    const std::int64_t height = quint8(chunk[14]) + quint8(chunk[15]) * 256;
    if (width * height > PictureLimits::kMaxPixels)
        return 0;
    return PictureBytes(width, height);
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
            if (!chunk->last)
                declaredBytes += declaredPictureBytes(chunk->bytes);
        }
    }

    // The chunk of frame `index`; frames are asked for in order, each once or more in a row.
    FrameCutter::Chunk chunk(std::int64_t index)
    {
        if (std::size_t(index) < chunks.size())
            return chunks[std::size_t(index)];
        if (restIndex != index) {
            restChunk = *rest.next();
            restIndex = index;
        }
        return restChunk;
    }

    std::vector<FrameCutter::Chunk> chunks;
    FrameCutter rest;               // goes on behind the listed chunks
    FrameCutter::Chunk restChunk;   // the last one cut there, frame `restIndex`
    std::int64_t restIndex = -1;
    std::int64_t count = 0;
    std::int64_t declaredBytes = 0; // of all frames but the last
};

// Makes the frames of a plan on several threads and hands them out in frame order. Threads work
// ahead of the frame handed out last by at most a window, counted in frames and in the memory
// their pictures are expected to take, so that a file that fails early costs little beyond what
// was stored, and small frames still give every thread enough to do between two waits. The
// calling thread makes frames too while it waits; with one thread it makes each frame in its turn
// with the exact budget left.
class FrameMaker {
public:
    static constexpr std::int64_t kAheadFrames = 64;
    static constexpr std::int64_t kAheadBytes = std::int64_t(32) << 20;

    FrameMaker(QByteArrayView header, FramePlan& plan, std::int64_t budget, int threads)
        : m_header(header), m_plan(plan), m_remaining(budget), m_slots(std::size_t(kAheadFrames))
    {
        const std::int64_t helpers = std::min<std::int64_t>(threads - 1, plan.count - 1);
        for (std::int64_t i = 0; i < helpers; ++i) {
            try {
                m_helpers.emplace_back([this] { help(); });
            } catch (const std::system_error&) {
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
        m_changed.notify_all();
        m_helpers.clear();
    }

    FrameMaker(const FrameMaker&) = delete;
    FrameMaker& operator=(const FrameMaker&) = delete;

    // The next frame in order.
    FrameOutcome take()
    {
        std::unique_lock lock(m_mutex);
        std::optional<FrameOutcome>& slot = m_slots[std::size_t(m_taken % kAheadFrames)];
        while (!slot) {
            if (canClaim())
                makeNext(lock);
            else
                m_changed.wait(lock);
        }
        FrameOutcome outcome = std::move(*slot);
        slot.reset();
        ++m_taken;
        m_aheadBytes -= outcome.estimate;
        m_changed.notify_all();
        return outcome;
    }

    // A picture of `bytes` was stored: frames made from now on have that much less room.
    void stored(std::int64_t bytes)
    {
        const std::lock_guard lock(m_mutex);
        m_remaining -= bytes;
    }

private:
    // A picture whose size the chunk does not tell may be as large as any.
    static std::int64_t estimate(const FrameCutter::Chunk& chunk)
    {
        const std::int64_t declared = declaredPictureBytes(chunk.bytes);
        return declared > 0 ? declared : PictureBytes(PictureLimits::kMaxPixels, 1);
    }

    // The frame in turn can always be made; others while the window has room for them.
    bool canClaim()
    {
        if (m_claimed >= m_plan.count)
            return false;
        if (m_claimed == m_taken)
            return true;
        return m_claimed - m_taken < kAheadFrames
            && m_aheadBytes + estimate(m_plan.chunk(m_claimed)) <= kAheadBytes;
    }

    void makeNext(std::unique_lock<std::mutex>& lock)
    {
        const std::int64_t index = m_claimed++;
        const FrameCutter::Chunk chunk = m_plan.chunk(index);
        const std::int64_t expected = estimate(chunk);
        m_aheadBytes += expected;
        const std::int64_t budget = m_remaining;
        lock.unlock();
        FrameOutcome outcome = makeFrame(m_header, chunk, budget);
        outcome.estimate = expected;
        lock.lock();
        m_slots[std::size_t(index % kAheadFrames)] = std::move(outcome);
        m_changed.notify_all();
    }

    void help()
    {
        std::unique_lock lock(m_mutex);
        while (!m_stopping && m_claimed < m_plan.count) {
            if (canClaim())
                makeNext(lock);
            else
                m_changed.wait(lock);
        }
    }

    QByteArrayView m_header;
    FramePlan& m_plan;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int64_t m_remaining;
    std::int64_t m_claimed = 0;
    std::int64_t m_taken = 0;
    std::int64_t m_aheadBytes = 0; // expected by the frames made or being made, not yet taken
    bool m_stopping = false;
    std::vector<std::optional<FrameOutcome>> m_slots;
    std::vector<std::jthread> m_helpers; // last: joined before anything they use goes
};

int threadsFor(int threads)
{
    if (threads > 0)
        return threads;
    return int(std::max(1u, std::thread::hardware_concurrency()));
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

std::int32_t SplitGifBytes(QByteArrayView data, FrameTable& table, std::int64_t budgetBytes, int threads)
{
    table.clear();
    const FrameCutter cutter(data);
    const QByteArrayView header = cutter.header();
    if (!header.startsWith("GIF"))
        return 0;
    if (header.size() < 10)
        return -1;
    table.GifWidth = quint8(header[6]) + quint8(header[7]) * 256;
    table.GifHeight = quint8(header[8]) + quint8(header[9]) * 256;

    try {
        FramePlan plan(cutter);
        // Refused at once rather than after decoding most of it. The last frame does not count:
        // one that cannot be decoded is dropped, not refused.
        if (plan.declaredBytes > budgetBytes)
            return -1;

        FrameMaker maker(header, plan, budgetBytes, threadsFor(threads));
        std::int64_t remaining = budgetBytes;
        for (std::int64_t i = 0; i < plan.count; ++i) {
            FrameOutcome outcome = maker.take();
            if (const auto failure = failureOf(outcome, remaining)) {
                // A last frame that cannot be made is left out; anything else fails the split.
                if (!outcome.last || *failure == RuntimeError::OutOfMemory)
                    return -1;
                break;
            }
            remaining -= outcome.pictureBytes;
            maker.stored(outcome.pictureBytes);
            table.frames.push_back(std::move(outcome.entry));
        }
        return plan.count > 1 ? table.upperIndex() : 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

} // namespace skarvel
