#include "files/SignalCleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <mutex>

namespace skarvel {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the handler reads; written only while the handler cannot see a half-made entry (the
// folder is set before `s_armed`).
volatile sig_atomic_t s_armed = 0;
int s_dirFd = -1;
char s_name[64];

void removeAndResend(int signal)
{
    if (s_armed)
        ::unlinkat(s_dirFd, s_name, 0);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void installOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : kSignals) {
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL)
                continue; // ignored, or someone else's handler
            struct sigaction action {};
            action.sa_handler = removeAndResend;
            sigemptyset(&action.sa_mask);
            for (int other : kSignals)
                sigaddset(&action.sa_mask, other);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

} // namespace

SignalCleanup::SignalCleanup(int dirFd, const char* name)
{
    installOnce();
    s_armed = 0;
    s_dirFd = dirFd;
    std::strncpy(s_name, name, sizeof s_name - 1);
    s_name[sizeof s_name - 1] = '\0';
    s_armed = 1;
}

SignalCleanup::~SignalCleanup()
{
    s_armed = 0;
}

} // namespace skarvel
