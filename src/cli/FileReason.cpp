#include "cli/FileReason.h"

#include "files/FileIO.h"
#include "files/FilePath.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace skarvel {

QString FileReason(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("il file non esiste");
    case ENOTDIR: return QStringLiteral("una parte del percorso non è una cartella");
    case EISDIR: return QStringLiteral("è una cartella, non un file");
    case kNotRegularFile: return QStringLiteral("non è un file regolare");
    case kFileTooLarge: {
        const std::int64_t limit = ReadLimitBytes();
        const bool gib = limit % (std::int64_t(1) << 30) == 0;
        return QStringLiteral("il file supera il limite di %1 %2")
            .arg(limit >> (gib ? 30 : 20))
            .arg(gib ? QStringLiteral("GiB") : QStringLiteral("MiB"));
    }
    case ELOOP: return QStringLiteral("troppi collegamenti simbolici");
    case ENAMETOOLONG: return QStringLiteral("nome troppo lungo");
    case EACCES: return QStringLiteral("permesso negato");
    case EPERM: return QStringLiteral("operazione non permessa");
    case EROFS: return QStringLiteral("file system in sola lettura");
    case ENOSPC:
    case EDQUOT: return QStringLiteral("spazio esaurito sul dispositivo");
    case EFBIG: return QStringLiteral("file troppo grande");
    case EMFILE:
    case ENFILE: return QStringLiteral("troppi file aperti");
    case EIO: return QStringLiteral("errore di input/output");
    case ENOMEM: return QStringLiteral("memoria insufficiente");
    case EPIPE: return QStringLiteral("chi legge l'uscita ha chiuso la pipe");
    default: return QStringLiteral("errore di sistema %1").arg(error);
    }
}

bool HasNoBytes(const QString& path)
{
    // Its size is not enough: /proc's files report 0 and have bytes all the same.
    const int fd = ::open(EncodeFilePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    char byte = 0;
    const bool empty = ::read(fd, &byte, 1) == 0;
    ::close(fd);
    return empty;
}

} // namespace skarvel
