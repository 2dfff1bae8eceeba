#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <initializer_list>
#include <span>

namespace skarvel {

// Paths are taken as given (relative ones stay relative) and converted with EncodeFilePath, so
// every name the system allows works.

// Reads the whole regular file at `path`. Throws RuntimeError when it cannot; a folder, a FIFO
// or a device is refused without being read.
QByteArray ReadWholeFile(const QString& path);

// Replaces the file at `path` with `parts`, written one after the other. The new content
// appears whole or not at all: a failed or interrupted write leaves any earlier file as it was
// and no partial file behind. A replaced file keeps its read, write and execute bits, never its
// set-user-ID, set-group-ID or sticky bits. A folder, a special file or a file that may not be
// written is refused. Throws RuntimeError on failure.
void WriteWholeFile(const QString& path, std::span<const QByteArrayView> parts);
inline void WriteWholeFile(const QString& path, std::initializer_list<QByteArrayView> parts)
{
    WriteWholeFile(path, std::span(parts.begin(), parts.size()));
}

// The last failure of the two above on this thread: the path and the system's error number
// (or kNotRegularFile), so that a caller that only learnt "it failed" can tell why.
inline constexpr int kNotRegularFile = -1;
struct FileFailure {
    QString path;
    int error = 0;
};
FileFailure LastFileFailure();

} // namespace skarvel
