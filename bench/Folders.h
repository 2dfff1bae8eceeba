#pragma once

#include <QDir>
#include <QString>

#include <unistd.h>

namespace skarvel::bench {

// Every export runs into a new, empty folder, and the folders go only when the bench ends:
// right after thousands of files are deleted, ext4 searches past the freed inodes for every file
// it creates (a minute or more), which put seconds into whichever run came next. Nothing written
// before waits to be flushed either.
struct Folders {
    QString root;
    int made = 0;
    QString next()
    {
        const QString folder = root + QStringLiteral("/%1").arg(made++);
        QDir().mkpath(folder);
        ::sync();
        return folder;
    }
};

} // namespace skarvel::bench
