#pragma once

#include <QFile>
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
struct ScratchDir : QTemporaryDir {
    // Writes `bytes` to `name` in the folder and answers the full path.
    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(filePath(name));
        if (!isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + name.toStdString());
        return file.fileName();
    }
    QString file(const QString& name) const { return filePath(name); }
};

} // namespace skarvel::test
