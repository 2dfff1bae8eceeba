#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
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

// A complete file with no name yet, in the folder it was written for: it appears only once named,
// and is gone without a trace if it never is, however the process ends. Holds a descriptor.
class UnnamedFile {
public:
    UnnamedFile() = default;
    explicit UnnamedFile(int fd) : m_fd(fd) {}
    UnnamedFile(UnnamedFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UnnamedFile& operator=(UnnamedFile&& other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~UnnamedFile();
    bool isValid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

// Writes `parts` into an unnamed file in the folder of `path`, without looking at what stands at
// `path`. Answers an invalid one, leaving nothing behind, where that cannot be done (no such
// folder, no unnamed files on its file system, a failed write): WriteWholeFile then tells why.
UnnamedFile WriteUnnamedFile(const QString& path, std::span<const QByteArrayView> parts);
// Gives `file` the name `path` as WriteWholeFile would give its content, with the same checks and
// failures.
void NameUnnamedFile(UnnamedFile& file, const QString& path);

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
