#include "frames/FrameMaker.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <new>
#include <tuple>
#include <utility>

namespace skarvel {

namespace {

std::atomic<std::int64_t> g_decodedBytes = 0;

// Never throws: every failure is part of the outcome.
FrameOutcome makeFrame(PictureDecoder& decoder, qsizetype headerSize, QByteArrayView rest, qsizetype restOffset,
                       std::int64_t maxBytes, const FrameRendition& rendition)
{
    FrameOutcome outcome;
    PictureReading reading;
    try {
        PictureLimits limits;
        limits.maxBytes = maxBytes;
        outcome.picture = decoder.load(rest, limits, &reading);
        if (rendition)
            outcome.rendition = rendition(outcome.picture);
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
    if (reading.pictureBytes >= 0 && reading.pictureBytes <= maxBytes)
        g_decodedBytes += reading.pictureBytes;
    outcome.begin = restOffset;
    outcome.imageStart = reading.imageStart < 0 ? -1 : inFile(reading.imageStart);
    outcome.needed = inFile(reading.bytesNeeded);
    outcome.available = restOffset + rest.size();
    return outcome;
}

// What making the outcome cost: the picture, when the decoder went on to decode it.
std::int64_t costOf(const FrameOutcome& outcome)
{
    return outcome.error == RuntimeError::OutOfMemory ? 0 : std::max<std::int64_t>(0, outcome.pictureBytes);
}

// The frame in turn may take any picture the pixel limit allows: it is not kept beyond its turn.
constexpr std::int64_t kInTurn = PictureLimits{}.maxBytes;

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

} // namespace

void FramePlan::grow(QByteArrayView soFar, bool whole)
{
    scan.grow(soFar, whole);
    rest.grow(soFar, whole);
    complete = whole;
    while (whole || chunks.size() < kListedChunks) {
        const auto chunk = scan.next();
        if (!chunk)
            break;
        if (chunks.size() < kListedChunks) {
            chunks.push_back(*chunk);
            rest = scan;
        }
        ++count;
    }
}

FrameCutter::Chunk FramePlan::chunk(std::int64_t index)
{
    if (std::size_t(index) < chunks.size())
        return chunks[std::size_t(index)];
    while (restIndex < index) {
        restChunk = *rest.next();
        restIndex = std::max<std::int64_t>(restIndex + 1, std::int64_t(chunks.size()));
    }
    return restChunk;
}

FrameMaker::FrameMaker(QByteArrayView soFar, QByteArrayView header, FramePlan& plan, int threads,
                       const FrameRendition& rendition)
    : m_data(soFar), m_header(header), m_plan(plan), m_rendition(rendition), m_decoder(header, &m_tables),
      m_slots(std::size_t(kAheadFrames))
{
    // While the file is still read, nobody knows how many frames there will be.
    const std::int64_t helpers = plan.complete ? std::min<std::int64_t>(threads - 1, plan.count - 1) : threads - 1;
    m_batching = helpers > 0;
    for (std::int64_t i = 0; i < helpers; ++i) {
        try {
            const std::lock_guard lock(m_mutex);
            m_helpers.emplace_back([this] { help(); });
            ++m_helping;
        } catch (const std::exception&) {
            break; // fewer threads only make it slower
        }
    }
}

FrameMaker::~FrameMaker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_room.notify_all();
    m_helpers.clear();
}

void FrameMaker::grow(QByteArrayView soFar, bool whole)
{
    {
        const std::lock_guard lock(m_mutex);
        m_data = soFar;
        m_plan.grow(soFar, whole);
    }
    m_room.notify_all();
}

void FrameMaker::keepUp()
{
    std::unique_lock lock(m_mutex);
    m_ready.wait(lock, [&] { return m_idleHelpers == m_helping && (m_helping == 0 || !helperMayClaim()); });
}

FrameOutcome FrameMaker::take()
{
    std::unique_lock lock(m_mutex);
    std::optional<FrameOutcome>& slot = m_slots[std::size_t(m_taken % kAheadFrames)];
    while (!slot) {
        if (m_plan.complete && m_taken >= m_plan.count) {
            // Asked for more chunks than the file has: nothing will ever come.
            FrameOutcome none;
            none.error = RuntimeError::InvalidCall;
            return none;
        }
        if (canClaim())
            makeNext(lock, m_decoder);
        else
            m_ready.wait(lock);
    }
    FrameOutcome outcome = std::move(*slot);
    slot.reset();
    ++m_taken;
    m_settled = false;
    m_aheadBytes -= outcome.held();
    countKnown(outcome); // taken in turn: a frame, whatever was known of it
    wakeIdleHelper();
    // Made while the file was still read, its decoder asked for bytes that had not arrived yet; or
    // refused for the room the window had: made again in its turn, as if it had waited.
    const bool readTooLittle = outcome.needed > outcome.available && outcome.available < m_data.size();
    const bool refusedForRoom = outcome.error == RuntimeError::OutOfMemory && outcome.pictureBytes >= 0;
    if (!readTooLittle && !refusedForRoom && !outcome.deferred)
        return outcome;
    const QByteArrayView data = m_data;
    lock.unlock();
    return makeFrame(m_decoder, m_header.size(), data.sliced(outcome.begin), outcome.begin, kInTurn, m_rendition);
}

void FrameMaker::skip(std::int64_t count)
{
    const std::lock_guard lock(m_mutex);
    const std::int64_t end = m_taken + count;
    for (; m_taken < std::min(end, m_claimed); ++m_taken) {
        std::optional<FrameOutcome>& slot = m_slots[std::size_t(m_taken % kAheadFrames)];
        if (slot)
            m_aheadBytes -= slot->held();
        slot.reset();
    }
    m_taken = end;
    m_claimed = std::max(m_claimed, end);
    m_settled = true;
    if (m_known < m_taken) {
        // The split has settled the frame: the chunk in turn starts the next one.
        m_known = m_taken;
        m_knownEnd = 0;
        m_unknowable = false;
        settleKnown();
    }
    wakeIdleHelper();
}

std::int64_t FrameMaker::decodedBytes()
{
    return g_decodedBytes;
}

void FrameMaker::countKnown(FrameOutcome& outcome)
{
    if (outcome.counted)
        return;
    outcome.counted = true;
    m_guessBytes -= std::exchange(outcome.guess, 0);
    m_knownBytes += costOf(outcome);
}

// Follows the outcomes made, in order, as far as they tell which chunks start frames. A guess that
// turns out to lie inside a frame keeps counting: it was decoded for nothing.
void FrameMaker::settleKnown()
{
    while (!m_unknowable && m_known >= m_taken && m_known < m_claimed) {
        std::optional<FrameOutcome>& slot = m_slots[std::size_t(m_known % kAheadFrames)];
        if (!slot)
            return; // still being made
        FrameOutcome& outcome = *slot;
        ++m_known;
        if (outcome.deferred || outcome.begin < m_knownEnd)
            continue;
        countKnown(outcome);
        m_knownEnd = outcome.needed;
        // A frame that failed ends the split unless it is the last; one made from too few bytes
        // or refused for the room is made again, and may then read further.
        m_unknowable = outcome.error || outcome.needed > outcome.available;
    }
}

// A helper waits until the window has room for a whole batch: woken for every frame taken, it
// would make batches of one, each for a wait.
bool FrameMaker::helperMayClaim()
{
    return canClaim() && (!m_batching || m_claimed - m_taken <= kAheadFrames - kBatchFrames);
}

void FrameMaker::wakeIdleHelper()
{
    if (m_idleHelpers > 0 && helperMayClaim())
        m_room.notify_one();
}

// The chunk in turn can always be made; a chunk known to lie inside a frame costs nothing; others
// while the window has room for them, a guess only while the room for guesses holds it too.
FrameMaker::Claim FrameMaker::nextClaim()
{
    if (m_claimed >= m_plan.count)
        return {};
    if (m_claimed == m_taken && m_settled)
        return {Claim::InTurn, allowance(m_plan.chunk(m_claimed))};
    if (m_claimed - m_taken >= kAheadFrames)
        return {};
    const FrameCutter::Chunk chunk = m_plan.chunk(m_claimed);
    const bool known = m_claimed == m_known && !m_unknowable;
    if (known && chunk.bytes.data() - m_data.data() < m_knownEnd)
        return {Claim::Inside, 0};
    std::int64_t bytes = allowance(chunk);
    if (bytes <= 0 || m_aheadBytes + bytes > kAheadBytes)
        return {};
    if (known)
        return {Claim::Known, bytes};
    const std::int64_t room = kGuessBytes + m_knownBytes / 4 - m_guessBytes;
    if (declaredCost(chunk.bytes) == 0)
        bytes = std::min(bytes, room); // whatever it declares, a larger picture is refused
    if (bytes <= 0 || bytes > room)
        return {};
    return {Claim::Guess, bytes};
}

// What a chunk may take while it is made: what its descriptor declares, or, where the chunk does not
// tell (one cut at bytes inside an image that read like a separator, most often), whatever room
// the window has left. Ahead of its turn a larger picture is refused, and made again in its turn:
// it must not hold up the frames behind it until then.
std::int64_t FrameMaker::allowance(const FrameCutter::Chunk& chunk) const
{
    const std::int64_t declared = declaredCost(chunk.bytes);
    return declared > 0 ? declared : std::max<std::int64_t>(0, kAheadBytes - m_aheadBytes);
}

// Claims the chunk in turn, or while others help a batch of small ones, so that frames of a few
// thousand pixels cost one hand-over per batch rather than one each. Chunks known to lie inside a
// frame are handed out undecoded at once.
void FrameMaker::makeNext(std::unique_lock<std::mutex>& lock, PictureDecoder& decoder)
{
    std::int64_t indexes[kBatchFrames];
    FrameCutter::Chunk chunks[kBatchFrames];
    Claim claims[kBatchFrames];
    std::int64_t count = 0;
    std::int64_t batchBytes = 0;
    do {
        const Claim claim = nextClaim();
        const std::int64_t index = m_claimed++;
        const FrameCutter::Chunk chunk = m_plan.chunk(index);
        if (claim.kind == Claim::Inside) {
            FrameOutcome inside;
            inside.begin = chunk.bytes.data() - m_data.data();
            inside.pictureBytes = 0;
            inside.deferred = true;
            m_slots[std::size_t(index % kAheadFrames)] = std::move(inside);
            ++m_known;
            continue;
        }
        if (claim.kind == Claim::Guess)
            m_guessBytes += claim.bytes;
        std::tie(indexes[count], chunks[count], claims[count]) = std::tuple(index, chunk, claim);
        m_aheadBytes += claim.bytes;
        batchBytes += claims[count++].bytes;
    } while (m_batching && count < kBatchFrames && batchBytes < kBatchBytes && canClaim());
    const QByteArrayView data = m_data;
    lock.unlock();
    std::optional<FrameOutcome> outcomes[kBatchFrames];
    for (std::int64_t i = 0; i < count; ++i) {
        const qsizetype offset = chunks[i].bytes.data() - data.data();
        const std::int64_t limit = claims[i].kind == Claim::InTurn ? kInTurn : std::min(kInTurn, claims[i].bytes);
        outcomes[i] = makeFrame(decoder, m_header.size(), data.sliced(offset), offset, limit, m_rendition);
    }
    lock.lock();
    for (std::int64_t i = 0; i < count; ++i) {
        FrameOutcome& outcome = *outcomes[i];
        // From now on the windows count what the frame holds and what it cost, not what it was
        // allowed.
        m_aheadBytes += outcome.held() - claims[i].bytes;
        if (claims[i].kind == Claim::Guess) {
            outcome.guess = costOf(outcome);
            m_guessBytes += outcome.guess - claims[i].bytes;
        }
        if (indexes[i] < m_taken) // skipped meanwhile
            m_aheadBytes -= outcome.held();
        else
            m_slots[std::size_t(indexes[i] % kAheadFrames)] = std::move(outcome);
    }
    settleKnown();
    m_ready.notify_all(); // only the calling thread waits, for a frame or in keepUp()
    wakeIdleHelper();
}

void FrameMaker::help()
{
    std::optional<PictureDecoder> decoder;
    try {
        decoder.emplace(m_header, &m_tables);
    } catch (const std::bad_alloc&) {
        const std::lock_guard lock(m_mutex);
        --m_helping;
        m_ready.notify_all();
        return; // the others make the frames
    }
    std::unique_lock lock(m_mutex);
    while (!m_stopping && !(m_plan.complete && m_claimed >= m_plan.count)) {
        if (helperMayClaim()) {
            makeNext(lock, *decoder);
        } else {
            ++m_idleHelpers;
            m_ready.notify_all(); // for keepUp()
            m_room.wait(lock);
            --m_idleHelpers;
        }
    }
}

} // namespace skarvel
