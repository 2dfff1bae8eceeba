#include "frames/PathHelpers.h"

#include "files/FilePath.h"

#include <QDir>

#include <sys/stat.h>

namespace skarvel {

QString GetBaseName(const QString& sFullPath)
{
    const qsizetype slash = sFullPath.lastIndexOf(QDir::separator());
    if (slash < 0)
        return {};
    const QString name = sFullPath.mid(slash + 1);
    const qsizetype dot = name.indexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool FileExists(const QString& sFilePath)
{
    struct stat info {};
    return !sFilePath.isEmpty() && ::stat(EncodeFilePath(sFilePath).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace skarvel
