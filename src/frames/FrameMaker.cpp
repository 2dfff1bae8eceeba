#include "frames/FrameMaker.h"

#include <algorithm>
#include <exception>
#include <new>

namespace skarvel {

namespace {

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
    outcome.begin = restOffset;
    outcome.imageStart = reading.imageStart < 0 ? -1 : inFile(reading.imageStart);
    outcome.needed = inFile(reading.bytesNeeded);
    outcome.available = restOffset + rest.size();
    return outcome;
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
    m_aheadBytes -= outcome.held();
    wakeIdleHelper();
    // Made while the file was still read, its decoder asked for bytes that had not arrived yet; or
    // refused for the room the window had: made again in its turn, as if it had waited.
    const bool readTooLittle = outcome.needed > outcome.available && outcome.available < m_data.size();
    const bool refusedForRoom = outcome.error == RuntimeError::OutOfMemory && outcome.pictureBytes >= 0;
    if (!readTooLittle && !refusedForRoom)
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
    wakeIdleHelper();
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

// The chunk in turn can always be made; others while the window has room for them.
bool FrameMaker::canClaim()
{
    if (m_claimed >= m_plan.count)
        return false;
    if (m_claimed == m_taken)
        return true;
    if (m_claimed - m_taken >= kAheadFrames)
        return false;
    const std::int64_t bytes = allowance(m_plan.chunk(m_claimed));
    return bytes > 0 && m_aheadBytes + bytes <= kAheadBytes;
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
// thousand pixels cost one hand-over per batch rather than one each.
void FrameMaker::makeNext(std::unique_lock<std::mutex>& lock, PictureDecoder& decoder)
{
    const std::int64_t first = m_claimed;
    FrameCutter::Chunk chunks[kBatchFrames];
    std::int64_t expected[kBatchFrames];
    std::int64_t limits[kBatchFrames];
    std::int64_t count = 0;
    std::int64_t batchBytes = 0;
    do {
        const bool inTurn = m_claimed == m_taken;
        chunks[count] = m_plan.chunk(m_claimed++);
        expected[count] = allowance(chunks[count]);
        limits[count] = inTurn ? kInTurn : std::min(kInTurn, expected[count]);
        m_aheadBytes += expected[count];
        batchBytes += expected[count++];
    } while (m_batching && count < kBatchFrames && batchBytes < kBatchBytes && canClaim());
    const QByteArrayView data = m_data;
    lock.unlock();
    std::optional<FrameOutcome> outcomes[kBatchFrames];
    for (std::int64_t i = 0; i < count; ++i) {
        const qsizetype offset = chunks[i].bytes.data() - data.data();
        outcomes[i] = makeFrame(decoder, m_header.size(), data.sliced(offset), offset, limits[i], m_rendition);
    }
    lock.lock();
    for (std::int64_t i = 0; i < count; ++i) {
        // From now on the window counts what the frame holds, not what it was allowed.
        m_aheadBytes += outcomes[i]->held() - expected[i];
        if (first + i < m_taken) // skipped meanwhile
            m_aheadBytes -= outcomes[i]->held();
        else
            m_slots[std::size_t((first + i) % kAheadFrames)] = std::move(outcomes[i]);
    }
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
