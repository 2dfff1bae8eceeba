#pragma once

#include <QString>

namespace skarvel {

// Why a file could not be used, in the words of skarvel-frames' other messages: an error number
// of the system, or kNotRegularFile.
QString FileReason(int error);

} // namespace skarvel
