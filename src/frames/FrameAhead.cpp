#include "frames/FrameAhead.h"

#include <exception>

namespace skarvel {

FrameAhead::~FrameAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_wish.reset();
    }
    m_wished.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void FrameAhead::want(const FrameTable& table, std::size_t index)
{
    if (!table.pictures || index >= table.frames.size() || table.pictures->holds(index))
        return;
    const FrameEntry& frame = table.frames[index];
    {
        const std::lock_guard lock(m_mutex);
        m_wish = Wish{table.pictures, index, frame.chunkBegin, frame.chunkEnd};
        if (!m_thread.joinable()) {
            try {
                m_thread = std::thread([this] { run(); });
            } catch (const std::exception&) {
                m_wish.reset(); // no thread to be had: frames are decoded when painted
                return;
            }
        }
    }
    m_wished.notify_one();
}

void FrameAhead::forget()
{
    const std::lock_guard lock(m_mutex);
    m_wish.reset();
}

void FrameAhead::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wished.wait(lock, [&] { return m_stopping || m_wish; });
        if (m_stopping)
            return;
        const Wish wish = std::move(*m_wish);
        m_wish.reset();
        lock.unlock();
        try {
            wish.pictures->picture(wish.index, wish.chunkBegin, wish.chunkEnd);
        } catch (const std::exception&) {
            // Out of memory: the frame is decoded again when it is painted.
        }
        lock.lock();
    }
}

} // namespace skarvel
