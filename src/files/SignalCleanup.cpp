#include "files/SignalCleanup.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
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
// The first few for files that exist only for an instant, the rest for files waiting to be named.
// Untouched slots cost no memory.
constexpr int kInstantSlots = 8;
constexpr int kSlots = kInstantSlots + 4096;
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

// Files being made at this moment, on any thread, and on this one; and whether a signal is ending
// the program, after which no covered file is made.
std::atomic<int> s_creating{0};
thread_local int t_creating = 0;
std::atomic<bool> s_ending{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler may only touch lock-free atomics");

// A file made on another thread just after the covered files were removed would outlive the
// program: those being made are waited for (a second at most), and none is begun after.
void waitForCreators()
{
    timespec start {}, now {};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    while (s_creating.load() > t_creating) {
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec - start.tv_sec > 1)
            break;
        ::sched_yield();
    }
}

void removeAndResend(int signal)
{
    const int saved = errno;
    s_ending.store(true);
    waitForCreators();
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

void arm(int index, int dirFd, const char* name)
{
    Slot& slot = s_slots[index];
    slot.dirFd = dirFd;
    std::strncpy(slot.name, name, sizeof slot.name - 1);
    slot.name[sizeof slot.name - 1] = '\0';
    slot.state.store(kArmed);
}

bool take(int index)
{
    int expected = kFree;
    return s_slots[index].state.compare_exchange_strong(expected, kTaken);
}

} // namespace

SignalCleanup::SignalCleanup(int dirFd, const char* name)
{
    installOnce();
    // Saves come one after the other, so a slot is all but always free at once.
    for (m_slot = 0; !take(m_slot); m_slot = (m_slot + 1) % kInstantSlots) {
        if (m_slot == kInstantSlots - 1)
            std::this_thread::yield();
    }
    arm(m_slot, dirFd, name);
}

std::unique_ptr<SignalCleanup> SignalCleanup::coverWaiting(int dirFd, const char* name)
{
    installOnce();
    // Waiting files are taken and given back roughly in turn: looking on from the last one taken
    // finds a free slot at once.
    static std::atomic<int> s_next{kInstantSlots};
    const int start = s_next.load();
    for (int i = 0; i < kSlots - kInstantSlots; ++i) {
        const int index = kInstantSlots + (start - kInstantSlots + i) % (kSlots - kInstantSlots);
        if (take(index)) {
            s_next.store(index + 1 < kSlots ? index + 1 : kInstantSlots);
            arm(index, dirFd, name);
            return std::unique_ptr<SignalCleanup>(new SignalCleanup(index));
        }
    }
    return nullptr;
}

SignalCleanup::Making::Making() : m_allowed(true)
{
    ++t_creating;
    s_creating.fetch_add(1);
    m_allowed = !s_ending.load();
}

SignalCleanup::Making::~Making()
{
    s_creating.fetch_sub(1);
    --t_creating;
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
