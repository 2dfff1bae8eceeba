#include "frames/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    QFile file(sFilePath);
    return file.open(QIODevice::ReadOnly);
}

} // namespace skarvel
