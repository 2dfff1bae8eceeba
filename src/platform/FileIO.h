#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace skarvel {

// Reads the whole regular file at `path`. Throws RuntimeError when it cannot.
QByteArray ReadWholeFile(const QString& path);

// Replaces the file at `path` with `parts`, written one after the other. The new content
// appears whole or not at all: a failed write leaves any earlier file as it was. A file that
// exists but may not be written is refused, as are folders. Throws RuntimeError on failure.
void WriteWholeFile(const QString& path, std::initializer_list<QByteArrayView> parts);

} // namespace skarvel
