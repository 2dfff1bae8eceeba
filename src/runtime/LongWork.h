#pragma once

#include "base/StopToken.h"
#include "runtime/Hourglass.h"

#include <QObject>

#include <atomic>
#include <cstddef>
#include <functional>

namespace skarvel {

// Long work of the window (an open, a save): it runs on a thread of its own while this thread
// goes on painting and ticking timers, under the wait cursor. For the object's whole life the
// user's input is held off and dropped: a press, a key or a drop made while the work ran would
// otherwise act afterwards on a window that has changed under it. Esc asks the work to stop, as
// the window asks through stop() when it is closed.
class LongWork : public QObject {
public:
    LongWork();
    ~LongWork() override;
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

    // Runs `work` to its end, handing it the token to look at between its steps. `shown` is
    // called on this thread every few tens of milliseconds while the work runs, and once after
    // it, to show how far it got.
    void run(const std::function<void(const StopToken&)>& work, const std::function<void()>& shown = {});

    void stop() { m_stop.requestStop(); }
    bool stopped() const { return m_stop.stopRequested(); }

    // How far the work got (frames stored, files written): told by the work on its thread after
    // each step, read by `shown`.
    void advance(std::size_t done);
    std::size_t progress() const { return m_done; }

    // For the tests: when set, the work passes through it after each step it tells, on its own
    // thread, before it looks at the token again. A test holds the work there until the input it
    // sends has been handled, however fast the machine: the order is certain, not hoped for.
    static inline std::function<void(std::size_t done)> stepGate;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Hourglass m_wait;
    StopToken m_stop;
    std::atomic<std::size_t> m_done{0};
};

} // namespace skarvel
