#include "frames/FramePictures.h"

#include "base/RuntimeError.h"

#include <new>

namespace skarvel {

FramePictures::FramePictures(QByteArray gifBytes, qsizetype headerSize, std::int64_t budgetBytes)
    : m_bytes(std::move(gifBytes)), m_headerSize(headerSize), m_budget(budgetBytes)
{
}

void FramePictures::keep(std::size_t index, const Picture& picture, std::int64_t bytes)
{
    const std::lock_guard lock(m_mutex);
    if (picture.isNull() || m_held + bytes > m_budget || m_slots.contains(index))
        return;
    hold(index, m_slots[index], picture, bytes);
}

Picture FramePictures::picture(std::size_t index, qsizetype chunkBegin, qsizetype chunkEnd)
{
    std::unique_lock lock(m_mutex);
    for (auto found = m_slots.find(index); found != m_slots.end(); found = m_slots.find(index)) {
        if (!found->second.decoding) {
            m_uses.splice(m_uses.begin(), m_uses, found->second.use);
            return found->second.picture;
        }
        m_decoded.wait(lock); // another thread decodes it right now
    }
    m_slots[index].decoding = true;
    lock.unlock();

    Picture picture;
    PictureReading reading;
    try {
        const QByteArrayView bytes(m_bytes);
        picture = LoadPicture(bytes.first(m_headerSize), bytes.sliced(chunkBegin, chunkEnd - chunkBegin), PictureLimits{},
                              &reading, &m_tables);
    } catch (const RuntimeError&) {
    } catch (const std::bad_alloc&) {
    }
    lock.lock();
    if (picture.isNull()) {
        m_slots.erase(index);
    } else {
        hold(index, m_slots[index], picture, reading.pictureBytes);
        dropBeyondBudget();
    }
    m_decoded.notify_all();
    return picture;
}

bool FramePictures::holds(std::size_t index) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_slots.find(index);
    return found != m_slots.end() && !found->second.decoding;
}

std::int64_t FramePictures::heldBytes() const
{
    const std::lock_guard lock(m_mutex);
    return m_held;
}

void FramePictures::hold(std::size_t index, Slot& slot, const Picture& picture, std::int64_t bytes)
{
    slot.picture = picture;
    slot.bytes = bytes;
    slot.decoding = false;
    m_uses.push_front(index);
    slot.use = m_uses.begin();
    m_held += bytes;
}

// Least recently used first. The picture just decoded stands first in line to stay; when it alone is
// over the budget it goes too, and is only handed out.
void FramePictures::dropBeyondBudget()
{
    while (m_held > m_budget && !m_uses.empty()) {
        const std::size_t oldest = m_uses.back();
        m_uses.pop_back();
        m_held -= m_slots[oldest].bytes;
        m_slots.erase(oldest);
    }
}

} // namespace skarvel
