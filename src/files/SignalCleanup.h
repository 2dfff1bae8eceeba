#pragma once

#include <memory>

namespace skarvel {

// Removes a named temporary file if a signal ends the program while it exists (any signal whose
// default is to end the process, SIGKILL aside), then lets the signal end the program as it would
// have. Signals the program ignores stay ignored, and handlers installed by others are kept.
// A few files may be covered at once from any threads, and thousands written ahead of their naming.
class SignalCleanup {
public:
    // Call before the file exists under `name`, so that no moment is left uncovered, and keep it
    // until the file has its final name; `name` is relative to the folder `dirFd` and at most 63
    // bytes long.
    SignalCleanup(int dirFd, const char* name);
    ~SignalCleanup();
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;

    // The same for a file that waits, complete, to be named later, of which there may be thousands
    // at once: answers nothing when all the places kept for them are taken, and such a file is
    // then better not made yet.
    static std::unique_ptr<SignalCleanup> coverWaiting(int dirFd, const char* name);

    // Held, on whatever thread, while a covered file is made (from just before its name comes
    // into being until it is there): a signal that ends the program waits for it before it removes
    // the covered files, so that a file made on another thread in that instant is not left
    // behind. Make nothing where it is not allowed: such a signal has come.
    class Making {
    public:
        Making();
        ~Making();
        Making(const Making&) = delete;
        Making& operator=(const Making&) = delete;
        bool allowed() const { return m_allowed; }

    private:
        bool m_allowed;
    };

private:
    explicit SignalCleanup(int slot) : m_slot(slot) {}
    int m_slot;
};

// Makes a write beyond the file-size limit (ulimit -f) fail with EFBIG, so that a save fails as
// on a full disk, rather than the process being killed with its frames half made.
void IgnoreFileSizeSignal();

} // namespace skarvel
