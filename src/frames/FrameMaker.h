#pragma once

#include "base/RuntimeError.h"
#include "frames/FrameCutter.h"
#include "frames/FrameTable.h"
#include "picture/Picture.h"
#include "base/RuntimeError.h"

#include <QByteArrayView>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace skarvel {

// What decoding one chunk came to, whoever decoded it and whenever. The decoder is handed
// everything from the chunk to the end of the bytes there were, and tells how far it read: whether
// the chunk alone held enough is decided in frame order, by the chunk's end.
struct FrameOutcome {
    Picture picture;
    QImage rendition;
    // The memory the picture needs, once its size is known; -1 before.
    std::int64_t pictureBytes = -1;
    // Offsets in the file: the chunk's first byte, the image's "," (-1 when not reached), the end
    // of what the decoder asked for and the end of the bytes it was given.
    qsizetype begin = 0;
    qsizetype imageStart = -1;
    qsizetype needed = 0;
    qsizetype available = 0;
    std::optional<RuntimeError::Number> error;

    // What the frame holds while it waits for its turn: its picture's memory, 0 without one.
    std::int64_t held() const { return error ? 0 : pictureBytes; }
};

// All chunks of a file, cut as its bytes arrive. Only the first ones are kept as a list: a hostile
// file of nothing but separators would otherwise cost more memory in chunk positions than in bytes.
struct FramePlan {
    static constexpr std::size_t kListedChunks = 1 << 16;

    explicit FramePlan(const FrameCutter& cutter) : scan(cutter), rest(cutter) {}

    // Cuts what has arrived. Chunks past the list are only counted, once everything is there.
    void grow(QByteArrayView soFar, bool whole);

    // Chunk `index`; chunks are asked for in order, each once or more in a row, some skipped.
    FrameCutter::Chunk chunk(std::int64_t index);

    std::vector<FrameCutter::Chunk> chunks;
    FrameCutter scan;
    FrameCutter rest;               // goes on behind the listed chunks
    FrameCutter::Chunk restChunk;   // the last one cut there, chunk `restIndex`
    std::int64_t restIndex = -1;
    std::int64_t count = 0;
    bool complete = false;          // the whole file has arrived and been cut
};

// Decodes the chunks of a plan on several threads and hands them out in order. Threads work ahead
// of the chunk handed out last by at most a window, counted in chunks and in the memory their
// pictures take (or may take, while they are made), so that memory stays bounded however large the
// file, and small frames still give every thread enough to do between two waits. Helpers begin
// with the chunks that have arrived while the file is still read; the calling thread decodes too
// while it waits for its turn; with one thread it decodes each chunk in its turn.
class FrameMaker {
public:
    static constexpr std::int64_t kAheadFrames = 256;
    static constexpr std::int64_t kAheadBytes = std::int64_t(32) << 20;
    static constexpr std::int64_t kBatchFrames = 32;
    static constexpr std::int64_t kBatchBytes = std::int64_t(64) << 10;

    FrameMaker(QByteArrayView soFar, QByteArrayView header, FramePlan& plan, int threads,
               const FrameRendition& rendition);
    ~FrameMaker();
    FrameMaker(const FrameMaker&) = delete;
    FrameMaker& operator=(const FrameMaker&) = delete;

    // More of the file has arrived, or all of it.
    void grow(QByteArrayView soFar, bool whole);
    // Waits until the helpers have made every chunk that has arrived, or filled the window: as if
    // the file were read more slowly than it is decoded, whatever the machine's timing.
    void keepUp();
    // The next chunk's outcome in order; only once the whole file is there.
    FrameOutcome take();
    // The next `count` chunks belong to the frame taken last: nobody decodes them on their own.
    void skip(std::int64_t count);

private:
    bool helperMayClaim();
    void wakeIdleHelper();
    bool canClaim();
    std::int64_t allowance(const FrameCutter::Chunk& chunk) const;
    void makeNext(std::unique_lock<std::mutex>& lock, PictureDecoder& decoder);
    void help();

    QByteArrayView m_data;
    QByteArrayView m_header;
    FramePlan& m_plan;
    const FrameRendition& m_rendition;
    SharedColourTables m_tables;
    PictureDecoder m_decoder; // the calling thread's
    std::mutex m_mutex;
    std::condition_variable m_ready; // a frame was made
    std::condition_variable m_room;  // the window has room for more
    int m_helping = 0; // helpers started that have a decoder
    int m_idleHelpers = 0;
    std::int64_t m_claimed = 0;
    std::int64_t m_taken = 0;
    std::int64_t m_aheadBytes = 0; // expected by the chunks decoded or being decoded, not yet taken
    bool m_stopping = false;
    bool m_batching = false; // set before any helper starts
    std::vector<std::optional<FrameOutcome>> m_slots;
    std::vector<std::jthread> m_helpers; // last: joined before anything they use goes
};

} // namespace skarvel
