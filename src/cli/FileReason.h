#pragma once

#include <QString>

namespace skarvel {

// Why a file could not be used, in the words of skarvel-frames' other messages: an error number
// of the system, or kNotRegularFile.
QString FileReason(int error);

// Whether the file at `path` can be opened and holds no byte.
bool HasNoBytes(const QString& path);

} // namespace skarvel
