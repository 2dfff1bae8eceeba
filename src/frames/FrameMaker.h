#pragma once

#include "base/RuntimeError.h"
#include "frames/FrameCutter.h"
#include "frames/FrameTable.h"
#include "picture/Picture.h"

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
    // Left undecoded: the chunk lies inside the frame before it, so it is made only if it comes
    // to its turn after all.
    bool deferred = false;
    // What decoding it cost while nobody knew yet whether it starts a frame (0 once that is known),
    // and whether its cost has been counted among the frames known.
    std::int64_t guess = 0;
    bool counted = false;

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
//
// A chunk may lie inside the frame before it (a separator in its image data), and then decoding
// it is wasted: a hostile file can hide a large image behind every tiny frame. So work ahead never
// goes far beyond what decoding in turn does. The outcomes, in order, tell where each frame's bytes
// end: a chunk behind a frame known to end in front of it starts a frame and is decoded freely;
// one that lies inside is left undecoded; any other is a guess, decoded only while all guesses
// not yet known to be frames stay within kGuessBytes plus a quarter of the frames known.
class FrameMaker {
public:
    static constexpr std::int64_t kAheadFrames = 256;
    static constexpr std::int64_t kAheadBytes = std::int64_t(32) << 20;
    static constexpr std::int64_t kBatchFrames = 32;
    static constexpr std::int64_t kBatchBytes = std::int64_t(64) << 10;
    static constexpr std::int64_t kGuessBytes = kBatchBytes;

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
    // Called after every take(), with 0 when the frame ends in its chunk.
    void skip(std::int64_t count);

    // The pictures' memory that every maker of the process has decoded so far, in turn or ahead:
    // how the tests tell work ahead from the work of decoding in turn.
    static std::int64_t decodedBytes();

private:
    // How the next chunk may be claimed, and what it may take while it is made.
    struct Claim {
        enum Kind { None, InTurn, Inside, Known, Guess } kind = None;
        std::int64_t bytes = 0;
    };
    Claim nextClaim();
    void settleKnown();
    void countKnown(FrameOutcome& outcome);
    bool helperMayClaim();
    void wakeIdleHelper();
    bool canClaim() { return nextClaim().kind != Claim::None; }
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
    bool m_settled = true; // skip() came after the last take()
    // Chunks in front of m_known are known to start a frame or to lie inside one; the last frame
    // known reads up to m_knownEnd. Once an outcome cannot tell (it failed, or it was made from too
    // few bytes), nothing more is known until the split settles the frame in turn.
    std::int64_t m_known = 0;
    qsizetype m_knownEnd = 0;
    bool m_unknowable = false;
    std::int64_t m_knownBytes = 0;  // decoded for frames known
    std::int64_t m_guessBytes = 0;  // decoded, or being decoded, on guesses not known to be frames
    bool m_stopping = false;
    bool m_batching = false; // set before any helper starts
    std::vector<std::optional<FrameOutcome>> m_slots;
    std::vector<std::jthread> m_helpers; // last: joined before anything they use goes
};

} // namespace skarvel
