#pragma once

#include "files/FileIO.h"

namespace skarvel::test {

// The read limit at `bytes` for the object's life, so that a test reads files at exactly the
// limit and one byte past it.
class ScopedReadLimit {
public:
    explicit ScopedReadLimit(std::int64_t bytes) : m_was(SetReadLimitBytes(bytes)) {}
    ~ScopedReadLimit() { SetReadLimitBytes(m_was); }
    ScopedReadLimit(const ScopedReadLimit&) = delete;
    ScopedReadLimit& operator=(const ScopedReadLimit&) = delete;

private:
    std::int64_t m_was;
};

} // namespace skarvel::test
