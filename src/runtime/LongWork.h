#pragma once

#include "base/StopToken.h"
#include "runtime/Hourglass.h"

#include <QObject>

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Hourglass m_wait;
    StopToken m_stop;
};

} // namespace skarvel
