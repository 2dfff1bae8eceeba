#include "cli/FileReason.h"

#include "files/FileIO.h"

#include <cerrno>

namespace skarvel {

QString FileReason(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("il file non esiste");
    case ENOTDIR: return QStringLiteral("una parte del percorso non è una cartella");
    case EISDIR: return QStringLiteral("è una cartella, non un file");
    case kNotRegularFile: return QStringLiteral("non è un file regolare");
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
    default: return QStringLiteral("errore di sistema %1").arg(error);
    }
}

} // namespace skarvel
