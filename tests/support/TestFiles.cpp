#include "support/TestFiles.h"

#include <QFile>

#include <stdexcept>

namespace skarvel::test {

QString ScratchDir::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(m_dir.filePath(name));
    if (!m_dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + name.toStdString());
    return file.fileName();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

} // namespace skarvel::test
