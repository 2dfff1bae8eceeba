#include "files/FileIO.h"

#include "base/RuntimeError.h"
#include "files/FilePath.h"
#include "files/SignalCleanup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

namespace skarvel {

namespace {

thread_local FileFailure t_failure;

[[noreturn]] void fail(const QString& path, int error, bool folder = false)
{
    t_failure = {path, error, folder};
    const RuntimeError::Number number = error == ENOENT ? RuntimeError::FileNotFound
                                        : error == ENAMETOOLONG ? RuntimeError::BadFileName
                                                                : RuntimeError::PathAccess;
    const char* why = error == kNotRegularFile ? "not a regular file"
                       : error == kFileTooLarge ? "larger than the read limit"
                                                : std::strerror(error);
    throw RuntimeError(number, (path + QStringLiteral(": ")).toStdString() + why);
}

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int value) : fd(value) {}
    Fd(Fd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    ~Fd() { if (fd >= 0) ::close(fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

// Writes everything or answers the error number. The parts go out many at a time: a bitmap
// hands over each of its rows as a part of its own rather than a copy of them all.
int writeAll(int fd, std::span<const QByteArrayView> parts)
{
    constexpr qsizetype kMaxWrite = qsizetype(1) << 30;
    std::size_t next = 0;
    qsizetype done = 0; // of part `next`
    while (next < parts.size()) {
        iovec pieces[64];
        int count = 0;
        qsizetype total = 0;
        for (std::size_t i = next; i < parts.size() && count < 64 && total < kMaxWrite; ++i) {
            const qsizetype skip = i == next ? done : 0;
            const qsizetype size = std::min(parts[i].size() - skip, kMaxWrite - total);
            pieces[count++] = {const_cast<char*>(parts[i].data()) + skip, size_t(size)};
            total += size;
        }
        const ssize_t n = total > 0 ? ::writev(fd, pieces, count) : 0;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (n == 0 && total > 0))
            return n < 0 ? errno : ENOSPC;
        // Steps past what was written, and past empty parts.
        qsizetype left = n;
        for (; next < parts.size() && left >= parts[next].size() - done; ++next) {
            left -= parts[next].size() - done;
            done = 0;
        }
        done += left;
    }
    return 0;
}

// Gives the unnamed file `fd` the name `name` in the folder `dirFd`. Through /proc any user may;
// without /proc only AT_EMPTY_PATH is left, which needs a privilege.
int linkUnnamed(int fd, int dirFd, const char* name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), dirFd, name, AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0)
        return errno;
    return ::linkat(fd, "", dirFd, name, AT_EMPTY_PATH) == 0 ? 0 : errno;
}

// A short name of our own for the new file while it replaces `name`: derived from `name`, so that
// one left behind by a killed save is found and removed by the next save of the same file, and
// short enough beside the longest name the folder can hold.
QByteArray replacementName(const QByteArray& name)
{
    quint64 hash = 14695981039346656037ull; // FNV-1a
    for (char c : name)
        hash = (hash ^ quint8(c)) * 1099511628211ull;
    return ".skarvel-" + QByteArray::number(hash, 16).rightJustified(16, '0') + ".tmp";
}

// Links the complete unnamed file `fd` in place of the existing `name`. A link cannot replace a
// name, so the file is linked under its replacement name and renamed over `name`: the only
// moment a visible extra name exists.
int replaceWithUnnamed(int fd, int dirFd, const QByteArray& name)
{
    const QByteArray temporary = replacementName(name);
    // Covered from before the name exists until it is gone in the rename.
    const SignalCleanup cleanup(dirFd, temporary.constData());
    for (int attempt = 0; attempt < 16; ++attempt) {
        const SignalCleanup::Making making;
        if (!making.allowed())
            return EINTR;
        if (const int error = linkUnnamed(fd, dirFd, temporary.constData())) {
            if (error != EEXIST)
                return error;
            ::unlinkat(dirFd, temporary.constData(), 0); // stale, or a rival save's: ours wins
            continue;
        }
        if (::renameat(dirFd, temporary.constData(), dirFd, name.constData()) == 0)
            return 0;
        const int error = errno;
        if (error != ENOENT) { // ENOENT: a rival save took our name away; link again
            ::unlinkat(dirFd, temporary.constData(), 0);
            return error;
        }
    }
    return EEXIST;
}

// A hidden name of our own for a new file on file systems without unnamed files: its process and
// a count make it unique among rival saves.
QByteArray temporaryName(const QByteArray& name)
{
    static std::atomic<unsigned> s_counter{0};
    return replacementName(name).chopped(4) + '-' + QByteArray::number(getpid()) + '-'
           + QByteArray::number(s_counter++) + ".tmp";
}

// Writes `parts` into the new file `temporary`, which the caller covers against signals, and
// answers the error number, having removed the file on a failure.
int writeTemporary(int dirFd, const QByteArray& temporary, std::span<const QByteArrayView> parts,
                   const struct stat* old)
{
    int fd = -1;
    {
        const SignalCleanup::Making making;
        if (!making.allowed())
            return EINTR;
        fd = ::openat(dirFd, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (fd < 0)
        return errno;
    int error = old && ::fchmod(fd, old->st_mode & 0777) != 0 ? errno : writeAll(fd, parts);
    // Some file systems report a failed write only when the file is closed.
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        ::unlinkat(dirFd, temporary.constData(), 0);
    return error;
}

// The way for file systems without unnamed files: a named temporary, removed on failure and on
// the usual signals (only SIGKILL can leave it).
int replaceWithNamed(int dirFd, const QByteArray& name, std::span<const QByteArrayView> parts,
                     const struct stat* old)
{
    const QByteArray temporary = temporaryName(name);
    const SignalCleanup cleanup(dirFd, temporary.constData());
    int error = writeTemporary(dirFd, temporary, parts, old);
    if (!error && ::renameat(dirFd, temporary.constData(), dirFd, name.constData()) != 0) {
        error = errno;
        ::unlinkat(dirFd, temporary.constData(), 0);
    }
    return error;
}

bool unnamedFilesAllowed()
{
    // Lets the tests take the other way on a file system that has unnamed files.
    static const bool allowed = std::getenv("SKARVEL_NO_TMPFILE") == nullptr;
    return allowed;
}

} // namespace

FileFailure LastFileFailure()
{
    return t_failure;
}

namespace {

std::atomic<std::int64_t> g_readLimitSet{0};

} // namespace

std::int64_t SetReadLimitBytes(std::int64_t bytes)
{
    return g_readLimitSet.exchange(bytes);
}

std::int64_t ReadLimitBytes()
{
    if (const std::int64_t set = g_readLimitSet.load())
        return set;
    static const std::int64_t limit = [] {
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long pageSize = ::sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0)
            return kMaxReadBytes;
        return std::min(kMaxReadBytes, std::int64_t(pages) * pageSize / 2);
    }();
    return limit;
}

QByteArray ReadWholeFile(const QString& path)
{
    QByteArray data;
    ReadWholeFile(path, data, {});
    return data;
}

namespace {

// Reads what `fd` gives into `data` from `done` on, at most `size` bytes; answers how many came
// (0 at the end of the file).
qsizetype readSome(const QString& path, int fd, QByteArray& data, qsizetype done, qsizetype size)
{
    for (;;) {
        const ssize_t n = ::read(fd, data.data() + done, size_t(size));
        if (n >= 0)
            return n;
        if (errno != EINTR)
            fail(path, errno);
    }
}

// A file whose size the system does not tell: read to its end, the buffer growing as it must.
void readStream(const QString& path, int fd, QByteArray& data, const ReadProgress& arrived)
{
    constexpr qsizetype kPiece = qsizetype(64) << 10;
    const std::int64_t limit = ReadLimitBytes();
    qsizetype done = 0;
    data.clear();
    for (;;) {
        if (data.size() - done < kPiece)
            data.resize(qsizetype(std::min<std::int64_t>(limit + 1, std::max(data.size() * 2, done + kPiece))));
        const qsizetype n = readSome(path, fd, data, done, data.size() - done);
        if (n == 0)
            break;
        done += n;
        if (done > limit)
            fail(path, kFileTooLarge);
        if (arrived && !arrived({}))
            break;
    }
    data.truncate(done);
}

} // namespace

void ReadWholeFile(const QString& path, QByteArray& data, const ReadProgress& arrived)
{
    const QByteArray name = EncodeFilePath(path);
    // Not blocking, so that opening a FIFO does not wait for a writer before it is refused.
    const Fd fd(name.isEmpty() ? (errno = ENOENT, -1) : ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (fd.fd < 0 || ::fstat(fd.fd, &info) != 0)
        fail(path, errno);
    if (S_ISDIR(info.st_mode))
        fail(path, EISDIR);
    if (!S_ISREG(info.st_mode))
        fail(path, kNotRegularFile);
    if (info.st_size == 0) {
        readStream(path, fd.fd, data, arrived);
        return;
    }
    // Pieces small enough that whoever is told gets to work soon after the read begins.
    const qsizetype piece = arrived ? qsizetype(1) << 20 : qsizetype(1) << 30;
    const bool tooLarge = info.st_size > ReadLimitBytes();
    if (tooLarge && !arrived)
        fail(path, kFileTooLarge);
    data = QByteArray(tooLarge ? piece : qsizetype(info.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < data.size()) {
        const qsizetype n = readSome(path, fd.fd, data, done, std::min(data.size() - done, piece));
        if (n == 0)
            break; // shrank while read: what is there is the file
        done += n;
        if (arrived && (done < data.size() || tooLarge) && !arrived(QByteArrayView(data.constData(), done)))
            break;
        if (tooLarge)
            fail(path, kFileTooLarge);
    }
    // Shrinking keeps the bytes where they are.
    data.truncate(done);
}

namespace {

// Where a file is to be written: its folder, opened, and its name in it.
struct Target {
    Fd dir;
    QByteArray name;
};

// Answers nothing where the path names no file or its folder cannot be opened, with errno set
// and, in the second case, the folder in `folderOut`.
std::optional<Target> targetOf(const QString& path, QByteArray* folderOut = nullptr)
{
    const QByteArray target = EncodeFilePath(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    QByteArray name = target.sliced(slash + 1);
    if (target.isEmpty() || name.isEmpty()) {
        errno = target.isEmpty() ? ENOENT : EISDIR; // "." and ".." are found to be folders later
        return std::nullopt;
    }
    Fd dir(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0) {
        if (folderOut)
            *folderOut = folder;
        return std::nullopt;
    }
    return Target{std::move(dir), std::move(name)};
}

Target openTarget(const QString& path)
{
    QByteArray folder;
    std::optional<Target> target = targetOf(path, &folder);
    if (!target && !folder.isEmpty())
        fail(DecodeFilePath(folder), errno, true); // gone, say, while a save was writing into it
    if (!target)
        fail(path, errno);
    return std::move(*target);
}

// What stands at the target now: nothing or a symbolic link (answers false), or a regular file we
// may write (answers true and its status in `old`). A rename would happily replace a folder's
// entry, a FIFO or a file we may not write; they are refused as a plain overwrite would refuse
// them. A link is never followed: it is replaced by the new file, which gets a new file's mode,
// whatever the link points to.
bool checkTarget(const QString& path, const Target& target, struct stat& old)
{
    const bool exists = ::fstatat(target.dir.fd, target.name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        fail(path, errno); // a name too long: known before anything is written
    const bool replacing = exists && !S_ISLNK(old.st_mode);
    if (replacing && S_ISDIR(old.st_mode))
        fail(path, EISDIR);
    if (replacing && !S_ISREG(old.st_mode))
        fail(path, kNotRegularFile);
    if (replacing && ::faccessat(target.dir.fd, target.name.constData(), W_OK, 0) != 0)
        fail(path, errno);
    return replacing;
}

// Gives the complete unnamed file `fd` the target's name, in place of the file there if any.
void nameUnnamed(const QString& path, int fd, const Target& target, const struct stat* old)
{
    if (old && ::fchmod(fd, old->st_mode & 0777) != 0)
        fail(path, errno);
    int error = old ? EEXIST : linkUnnamed(fd, target.dir.fd, target.name.constData());
    if (error == EEXIST)
        error = replaceWithUnnamed(fd, target.dir.fd, target.name);
    if (error)
        fail(path, error);
}

int openUnnamed(const Target& target)
{
    if (!unnamedFilesAllowed()) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::openat(target.dir.fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

} // namespace

void WriteWholeFile(const QString& path, std::span<const QByteArrayView> parts)
{
    const Target target = openTarget(path);
    struct stat old {};
    const bool replacing = checkTarget(path, target, old);

    // The new content goes to an unnamed file in the folder and gets its name only once complete,
    // so an interrupted save, even by SIGKILL, leaves nothing behind. It is not forced to the disk
    // first: that guards against a power cut only, and costs more than the write itself when a
    // save makes thousands of small files.
    const Fd fd(openUnnamed(target));
    if (fd.fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(path, errno);
        if (const int error = replaceWithNamed(target.dir.fd, target.name, parts, replacing ? &old : nullptr))
            fail(path, error);
        return;
    }
    if (const int error = writeAll(fd.fd, parts))
        fail(path, error);
    nameUnnamed(path, fd.fd, target, replacing ? &old : nullptr);
}

PendingFile::~PendingFile()
{
    if (m_fd < 0)
        return;
    if (!m_temporary.isEmpty())
        ::unlinkat(m_fd, m_temporary.constData(), 0);
    ::close(m_fd);
}

void PendingFile::swap(PendingFile& other) noexcept
{
    std::swap(m_fd, other.m_fd);
    std::swap(m_temporary, other.m_temporary);
    std::swap(m_cleanup, other.m_cleanup);
}

PendingFile WritePendingFile(const QString& path, std::span<const QByteArrayView> parts)
{
    Target target = openTarget(path);
    PendingFile file;
    file.m_fd = openUnnamed(target);
    if (file.m_fd >= 0) {
        if (const int error = writeAll(file.m_fd, parts))
            fail(path, error);
        return file;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        fail(path, errno);
    const QByteArray temporary = temporaryName(target.name);
    std::unique_ptr<SignalCleanup> cleanup = SignalCleanup::coverWaiting(target.dir.fd, temporary.constData());
    if (!cleanup)
        return {};
    if (const int error = writeTemporary(target.dir.fd, temporary, parts, nullptr))
        fail(path, error);
    // The folder's descriptor now stands for the file, and removes it if it is never named.
    file.m_fd = std::exchange(target.dir.fd, -1);
    file.m_temporary = temporary;
    file.m_cleanup = std::move(cleanup);
    return file;
}

void NamePendingFile(PendingFile& file, const QString& path)
{
    // Whatever comes of it, the file is no longer pending.
    PendingFile pending = std::move(file);
    const Target target = openTarget(path);
    struct stat old {};
    const bool replacing = checkTarget(path, target, old);
    if (pending.m_temporary.isEmpty()) {
        nameUnnamed(path, pending.m_fd, target, replacing ? &old : nullptr);
        return;
    }
    const char* temporary = pending.m_temporary.constData();
    if (replacing && ::fchmodat(pending.m_fd, temporary, old.st_mode & 0777, 0) != 0)
        fail(path, errno);
    if (::renameat(pending.m_fd, temporary, target.dir.fd, target.name.constData()) != 0)
        fail(path, errno);
    pending.m_temporary.clear();
}

} // namespace skarvel
