#include "files/SignalCleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace skarvel {

namespace {

// What the handler reads. A slot's name and folder are written only while it is not armed, and
// the handler reads them only while it is.
struct Slot {
    std::atomic<int> state{0}; // kFree, kTaken (being filled), kArmed
    int dirFd = -1;
    char name[64] = {};
};
constexpr int kFree = 0, kTaken = 1, kArmed = 2;
constexpr int kSlots = 8;
Slot s_slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free atomics");

// Every signal whose default action ends the process and that may be caught.
std::vector<int> endingSignals()
{
    std::vector<int> signals = {SIGHUP, SIGINT, SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE,
                                SIGUSR1, SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,
                                SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGSYS};
#ifdef SIGSTKFLT
    signals.push_back(SIGSTKFLT);
#endif
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        signals.push_back(signal);
    return signals;
}

void removeAndResend(int signal)
{
    const int saved = errno;
    for (Slot& slot : s_slots) {
        if (slot.state.load() == kArmed)
            ::unlinkat(slot.dirFd, slot.name, 0);
    }
    ::signal(signal, SIG_DFL);
    // Blocked while the handler runs: the signal ends the program as soon as it returns, or, for a
    // fault, when the faulting instruction runs again.
    ::raise(signal);
    errno = saved;
}

void installOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const std::vector<int> signals = endingSignals();
        struct sigaction action {};
        action.sa_handler = removeAndResend;
        sigemptyset(&action.sa_mask);
        for (int other : signals)
            sigaddset(&action.sa_mask, other);
        for (int signal : signals) {
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL)
                continue; // ignored, or someone else's handler
            ::sigaction(signal, &action, nullptr);
        }
    });
}

} // namespace

SignalCleanup::SignalCleanup(int dirFd, const char* name)
{
    installOnce();
    // Saves come one after the other, so a slot is all but always free at once.
    for (m_slot = 0;; m_slot = (m_slot + 1) % kSlots) {
        int expected = kFree;
        if (s_slots[m_slot].state.compare_exchange_strong(expected, kTaken))
            break;
        if (m_slot == kSlots - 1)
            std::this_thread::yield();
    }
    Slot& slot = s_slots[m_slot];
    slot.dirFd = dirFd;
    std::strncpy(slot.name, name, sizeof slot.name - 1);
    slot.name[sizeof slot.name - 1] = '\0';
    slot.state.store(kArmed);
}

SignalCleanup::~SignalCleanup()
{
    s_slots[m_slot].state.store(kFree);
}

void IgnoreFileSizeSignal()
{
    ::signal(SIGXFSZ, SIG_IGN);
}

} // namespace skarvel
