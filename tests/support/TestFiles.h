#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace skarvel::test {

QByteArray readFile(const QString& path);

// A scratch folder removed when the test ends.
class ScratchDir {
public:
    QString path() const { return m_dir.path(); }
    // Writes `bytes` to `name` in the folder and answers the full path.
    QString write(const QString& name, const QByteArray& bytes) const;
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace skarvel::test
