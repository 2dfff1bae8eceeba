#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <stdexcept>

namespace skarvel::test {

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

// A scratch folder removed when the test ends.
class ScratchDir {
public:
    QString path() const { return m_dir.path(); }
    // Writes `bytes` to `name` in the folder and answers the full path.
    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(m_dir.filePath(name));
        if (!m_dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + name.toStdString());
        return file.fileName();
    }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace skarvel::test
