#pragma once

#include "picture/Picture.h"

#include <QByteArray>

#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <unordered_map>

namespace skarvel {

// The decoded pictures of one opened file's frames, within a memory budget. A frame's picture is
// decoded from the opened bytes (the header and the frame's chunk) when it is asked for and not
// held, and the pictures used least recently leave first. A picture handed out stays whole for as
// long as its holder keeps it, held here or not: pictures share their pixels. Any thread may ask;
// two that ask for the same frame at once get the one decode.
class FramePictures {
public:
    // A few full-HD frames, or every frame of a small GIF.
    static constexpr std::int64_t kDefaultBytes = std::int64_t(48) << 20;

    FramePictures(QByteArray gifBytes, qsizetype headerSize, std::int64_t budgetBytes = kDefaultBytes);

    // Holds the picture of a frame just decoded, costing `bytes`, when it fits beside those held;
    // nothing held is dropped for it, so that an open keeps its first frames, the ones shown first.
    void keep(std::size_t index, const Picture& picture, std::int64_t bytes);
    // Frame `index`, whose chunk is bytes [chunkBegin, chunkEnd) of the file; a null picture only
    // when memory ran out.
    Picture picture(std::size_t index, qsizetype chunkBegin, qsizetype chunkEnd);

    bool holds(std::size_t index) const;
    std::int64_t heldBytes() const;
    std::int64_t budgetBytes() const { return m_budget; }

private:
    struct Slot {
        Picture picture;
        std::int64_t bytes = 0;
        bool decoding = false;
        std::list<std::size_t>::iterator use; // in m_uses, once decoded
    };
    void hold(std::size_t index, Slot& slot, const Picture& picture, std::int64_t bytes);
    void dropBeyondBudget();

    const QByteArray m_bytes;
    const qsizetype m_headerSize;
    const std::int64_t m_budget;
    SharedColourTables m_tables;
    mutable std::mutex m_mutex;
    std::condition_variable m_decoded;
    std::unordered_map<std::size_t, Slot> m_slots;
    std::list<std::size_t> m_uses; // most recently used first
    std::int64_t m_held = 0;
};

} // namespace skarvel
