#pragma once

#include <stdexcept>
#include <string>

namespace skarvel {

// A failure of a platform service that the caller is expected to trap and map to its own
// failure value (a split result, a false return). The number follows the forms runtime's
// numbering where one exists, so callers and tests can tell kinds of failure apart.
class RuntimeError : public std::runtime_error {
public:
    enum Number {
        InvalidCall = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        OutOfMemory = 7,
        FileNotFound = 53,
        BadFileName = 52,
        PathAccess = 75,
        ObjectLacksMember = 438,
        InvalidPicture = 481,
    };

    RuntimeError(Number number, const std::string& what)
        : std::runtime_error(what), m_number(number) {}

    Number number() const { return m_number; }

private:
    Number m_number;
};

} // namespace skarvel
