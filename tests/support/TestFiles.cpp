#include "support/TestFiles.h"

#include <QFile>

#include <stdexcept>

namespace skarvel::test {

ScratchDir::ScratchDir()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a scratch folder");
}

QString ScratchDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

QString fixture(const QString& name)
{
    return QStringLiteral(SKARVEL_FIXTURES "/") + name;
}

} // namespace skarvel::test
