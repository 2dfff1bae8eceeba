#pragma once

#include <atomic>

namespace skarvel {

// Asks long work, on whatever thread it runs, to end as soon as it can. The work looks at it
// between its steps (a piece read, a frame stored, a file written): it never cuts a step short,
// so what a stopped save leaves on disk is whole.
class StopToken {
public:
    void requestStop() noexcept { m_stop.store(true, std::memory_order_relaxed); }
    bool stopRequested() const noexcept { return m_stop.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_stop{false};
};

// Whether `token`, if any, asks to stop.
inline bool StopAsked(const StopToken* token)
{
    return token && token->stopRequested();
}

} // namespace skarvel
