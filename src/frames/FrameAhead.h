#pragma once

#include "frames/FrameTable.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace skarvel {

// Decodes one frame ahead of its use on a thread of its own, so that an animation of large frames
// finds the next one decoded when its tick comes. A new wish replaces one not yet begun; a
// picture asked for while it is decoded here waits for that decode instead of making another.
class FrameAhead {
public:
    FrameAhead() = default;
    ~FrameAhead();
    FrameAhead(const FrameAhead&) = delete;
    FrameAhead& operator=(const FrameAhead&) = delete;

    // Frame `index` of `table`, unless its pictures already hold it.
    void want(const FrameTable& table, std::size_t index);
    // Drops any wish and lets go of the pictures (a new file is opened).
    void forget();

private:
    struct Wish {
        std::shared_ptr<FramePictures> pictures;
        std::size_t index = 0;
        qsizetype chunkBegin = 0;
        qsizetype chunkEnd = 0;
    };
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wished;
    std::optional<Wish> m_wish;
    bool m_stopping = false;
    std::thread m_thread; // started with the first wish
};

} // namespace skarvel
