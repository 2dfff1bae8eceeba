#pragma once

#include "files/SignalCleanup.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <utility>

namespace skarvel {

// Paths are taken as given (relative ones stay relative) and converted with EncodeFilePath, so
// every name the system allows works.

// The largest file ReadWholeFile reads: the smaller of 2 GiB and half the machine's memory. A
// larger one could not be held beside what is made of it.
inline constexpr std::int64_t kMaxReadBytes = std::int64_t(2) << 30;
std::int64_t ReadLimitBytes();
// Puts `bytes` in place of that limit (0: the machine's again) and answers what stood in its
// place before. Only the tests set it, to read files at exactly the limit and one byte past it
// without files of gibibytes.
std::int64_t SetReadLimitBytes(std::int64_t bytes);

// Reads the whole regular file at `path`. Throws RuntimeError when it cannot; a folder, a FIFO
// or a device is refused without being read, a file larger than ReadLimitBytes() too
// (kFileTooLarge). A file whose size the system reports as 0, as /proc's are, is read as a
// stream to its end, up to the same limit.
QByteArray ReadWholeFile(const QString& path);

// The same into `data`, piece by piece, telling `arrived` after each piece what has been read so
// far; when it answers false the read stops there, `data` holding what was read. The bytes never
// move once read, so work on them can begin while the rest is still read; `data` is the
// caller's, so that such work can be stopped before the bytes go, even when the read throws.
// Of a file larger than the limit, the first piece is read and told before it is refused, so that
// a caller may refuse it for what it is rather than for its size. A stream's bytes do move while
// it grows: `arrived` is told an empty view after each of its pieces, only to let it stop the read.
using ReadProgress = std::function<bool(QByteArrayView soFar)>;
void ReadWholeFile(const QString& path, QByteArray& data, const ReadProgress& arrived);

// Replaces the file at `path` with `parts`, written one after the other. The new content
// appears whole or not at all: a failed or interrupted write leaves any earlier file as it was
// and no partial or temporary file behind. A new file gets 0666 less the umask; a replaced file
// keeps its read, write and execute bits, never its set-user-ID, set-group-ID or sticky bits; a
// symbolic link is replaced, not followed. A folder, a special file or a file that may not be
// written is refused. Throws RuntimeError on failure.
void WriteWholeFile(const QString& path, std::span<const QByteArrayView> parts);
inline void WriteWholeFile(const QString& path, std::initializer_list<QByteArrayView> parts)
{
    WriteWholeFile(path, std::span(parts.begin(), parts.size()));
}

// A complete file waiting for its name, in the folder it was written for: unnamed where the file
// system has unnamed files, otherwise under a hidden temporary name that is removed when the
// object goes without naming it, or when a signal ends the program (only SIGKILL can leave it).
// Holds a descriptor.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(PendingFile&& other) noexcept { swap(other); }
    PendingFile& operator=(PendingFile&& other) noexcept
    {
        swap(other);
        return *this;
    }
    ~PendingFile();
    bool isValid() const { return m_fd >= 0; }

private:
    friend PendingFile WritePendingFile(const QString&, std::span<const QByteArrayView>);
    friend void NamePendingFile(PendingFile&, const QString&);
    void swap(PendingFile& other) noexcept;

    int m_fd = -1; // the unnamed file, or the folder of the named temporary
    QByteArray m_temporary; // empty for an unnamed file
    std::unique_ptr<SignalCleanup> m_cleanup;
};

// Writes `parts` into a pending file in the folder of `path`, without looking at what stands at
// `path`. Throws RuntimeError when that fails, leaving nothing behind (LastFileFailure() tells
// why); answers an invalid one, having written nothing, when the file system has no unnamed files
// and so many temporaries wait already that another could not be cleaned up.
PendingFile WritePendingFile(const QString& path, std::span<const QByteArrayView> parts);
// Gives `file` the name `path` as WriteWholeFile would give its content, with the same checks and
// failures; on a failure, the pending file is gone.
void NamePendingFile(PendingFile& file, const QString& path);

// The last failure of WriteWholeFile, NameUnnamedFile or ReadWholeFile on this thread: the path
// and the system's error number (or kNotRegularFile, kFileTooLarge), so that a caller that only
// learnt "it failed" can tell why. When the folder a file was to be written into could not be
// opened, the path is that folder's and `folder` is set.
inline constexpr int kNotRegularFile = -1;
inline constexpr int kFileTooLarge = -2;
struct FileFailure {
    QString path;
    int error = 0;
    bool folder = false;
};
FileFailure LastFileFailure();

} // namespace skarvel
