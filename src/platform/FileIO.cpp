#include "platform/FileIO.h"

#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    // An atomic rename would happily replace a read-only file or a folder's entry; refuse both as
    // a plain overwrite would.
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        fail(RuntimeError::PathAccess, path, QStringLiteral("not a writable file"));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(RuntimeError::PathAccess, path, file.errorString());
    for (QByteArrayView part : parts) {
        if (file.write(part.data(), part.size()) != part.size())
            fail(RuntimeError::PathAccess, path, file.errorString());
    }
    if (!file.commit())
        fail(RuntimeError::PathAccess, path, file.errorString());
}

} // namespace skarvel
