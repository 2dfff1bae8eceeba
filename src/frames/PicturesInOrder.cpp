#include "frames/PicturesInOrder.h"

#include <exception>

namespace skarvel {

namespace {

std::int64_t pixelBytes(const FrameEntry& frame)
{
    return PictureBytes(frame.pixelWidth, frame.pixelHeight);
}

} // namespace

PicturesInOrder::PicturesInOrder(const FrameTable& table, std::size_t first, int threads)
    : m_table(table), m_ahead(std::size_t(std::max(2, 2 * threads))), m_claimed(first), m_taken(first),
      m_slots(m_ahead)
{
    for (int i = 1; i < threads && first + std::size_t(i) < table.frames.size(); ++i) {
        try {
            m_helpers.emplace_back([this] { help(); });
        } catch (const std::exception&) {
            break; // fewer threads only make it slower
        }
    }
}

PicturesInOrder::~PicturesInOrder()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_room.notify_all();
    m_helpers.clear();
}

Picture PicturesInOrder::next()
{
    std::unique_lock lock(m_mutex);
    if (m_taken >= m_table.frames.size())
        return {};
    std::optional<Picture>& slot = m_slots[m_taken % m_ahead];
    while (!slot) {
        if (m_claimed == m_taken)
            makeNext(lock);
        else
            m_ready.wait(lock);
    }
    Picture picture = std::move(*slot);
    slot.reset();
    m_aheadBytes -= pixelBytes(m_table.frames[m_taken]);
    ++m_taken;
    m_room.notify_all();
    return picture;
}

// Ahead of the frame in turn, within the frames and bytes of the window.
bool PicturesInOrder::mayClaim() const
{
    if (m_claimed >= m_table.frames.size())
        return false;
    return m_claimed == m_taken
           || (m_claimed - m_taken < m_ahead && m_aheadBytes + pixelBytes(m_table.frames[m_claimed]) <= kAheadBytes);
}

void PicturesInOrder::makeNext(std::unique_lock<std::mutex>& lock)
{
    const std::size_t index = m_claimed++;
    m_aheadBytes += pixelBytes(m_table.frames[index]);
    lock.unlock();
    Picture picture;
    try {
        picture = m_table.FramePicture(index);
    } catch (const std::exception&) {
        // Out of memory: a null picture, which the save refuses in its turn.
    }
    lock.lock();
    m_slots[index % m_ahead] = std::move(picture);
    m_ready.notify_all();
}

void PicturesInOrder::help()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping && m_claimed < m_table.frames.size()) {
        if (mayClaim())
            makeNext(lock);
        else
            m_room.wait(lock);
    }
}

} // namespace skarvel
