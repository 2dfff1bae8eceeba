#include "platform/FileIO.h"

#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace skarvel {

namespace {

[[noreturn]] void fail(RuntimeError::Number number, const QString& path, const QString& why)
{
    throw RuntimeError(number, (path + QStringLiteral(": ") + why).toStdString());
}

} // namespace

QByteArray ReadWholeFile(const QString& path)
{
    if (path.isEmpty())
        fail(RuntimeError::BadFileName, path, QStringLiteral("empty path"));
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        fail(RuntimeError::FileNotFound, path, file.errorString());
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError || data.size() != file.size())
        fail(RuntimeError::PathAccess, path, file.errorString());
    return data;
}

void WriteWholeFile(const QString& path, std::initializer_list<QByteArrayView> parts)
{
    if (path.isEmpty())
        fail(RuntimeError::BadFileName, path, QStringLiteral("empty path"));
    const QFileInfo info(path);
    // A rename would happily replace a read-only file or a folder's entry; refuse both as a plain
    // overwrite would.
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        fail(RuntimeError::PathAccess, path, QStringLiteral("not a writable file"));

    // The new content goes to a file of its own beside the old one and is renamed over it once
    // complete. It is not forced to the disk first: that guards against a power cut only, and
    // costs more than the write itself when a save makes thousands of small files.
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    static std::atomic<unsigned> s_counter{0};
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + ".part-" + QByteArray::number(getpid()) + '-' + QByteArray::number(s_counter++);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        fail(RuntimeError::PathAccess, path, QString::fromLocal8Bit(std::strerror(errno)));

    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        fail(RuntimeError::PathAccess, path, QString::fromLocal8Bit(std::strerror(error)));
    };
    // A replaced file keeps its permissions.
    struct stat old {};
    if (::stat(target.constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0)
        abandon(errno);
    for (QByteArrayView part : parts) {
        const char* data = part.data();
        qsizetype left = part.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, data, size_t(std::min<qsizetype>(left, qsizetype(1) << 30)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                abandon(n < 0 ? errno : ENOSPC);
            data += n;
            left -= n;
        }
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        fail(RuntimeError::PathAccess, path, QString::fromLocal8Bit(std::strerror(error)));
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        fail(RuntimeError::PathAccess, path, QString::fromLocal8Bit(std::strerror(error)));
    }
}

} // namespace skarvel
