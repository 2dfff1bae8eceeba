#pragma once

namespace skarvel {

// Removes a named temporary file if SIGINT, SIGTERM or SIGHUP ends the program while it exists,
// then lets the signal end the program as it would have. One file at a time: saves run one after
// the other. Signals the program ignores stay ignored, and handlers installed by others are kept.
class SignalCleanup {
public:
    // Call before the file is created, so that no moment is left uncovered; `name` is relative
    // to the folder `dirFd` and at most 63 bytes long.
    SignalCleanup(int dirFd, const char* name);
    ~SignalCleanup();
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;
};

} // namespace skarvel
