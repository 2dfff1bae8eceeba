#include "frames/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

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
    if (sFilePath.isEmpty() || !QFileInfo(sFilePath).isFile())
        return false;
    // Asking whether it may be read, rather than opening it, keeps a save of thousands of frames
    // from paying for a second open of every file it wrote.
    return ::access(QFile::encodeName(sFilePath).constData(), R_OK) == 0;
}

} // namespace skarvel
