#pragma once

#include "frames/FrameTable.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace skarvel {

// Hands out the pictures of a table's frames in frame order, from `first` on, decoded on helper
// threads as well as on the calling one: a save of large frames decodes on every core while it
// writes one frame after the other. Helpers work ahead of the frame handed out last by a few
// frames and at most kAheadBytes of pixels; the frame in turn is always made.
class PicturesInOrder {
public:
    static constexpr std::int64_t kAheadBytes = std::int64_t(32) << 20;

    PicturesInOrder(const FrameTable& table, std::size_t first, int threads);
    ~PicturesInOrder();
    PicturesInOrder(const PicturesInOrder&) = delete;
    PicturesInOrder& operator=(const PicturesInOrder&) = delete;

    // The next frame's picture; null when memory ran out for it.
    Picture next();

private:
    bool mayClaim() const;
    void makeNext(std::unique_lock<std::mutex>& lock);
    void help();

    const FrameTable& m_table;
    const std::size_t m_ahead; // frames
    std::mutex m_mutex;
    std::condition_variable m_ready; // a picture was made
    std::condition_variable m_room;  // one was handed out
    std::size_t m_claimed;
    std::size_t m_taken;
    std::int64_t m_aheadBytes = 0;
    bool m_stopping = false;
    std::vector<std::optional<Picture>> m_slots;
    std::vector<std::jthread> m_helpers; // last: joined before anything they use goes
};

} // namespace skarvel
