#include "Operations.h"

#include "frames/FrameExport.h"
#include "frames/SplitGifFrames.h"
#include "files/FileIO.h"

#include <QFile>

#include <gif_lib.h>

#include <fcntl.h>
#include <unistd.h>

namespace skarvel::bench {

bool slurp(const QString& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif)
        return false;
    const bool ok = DGifSlurp(gif) == GIF_OK;
    DGifCloseFile(gif, &error);
    return ok;
}

bool exportFrames(const QString& path, const QString& folder, FrameFormat format)
{
    FrameTable table;
    FrameExport exporter(path, folder, format);
    return exporter.split(table) > 0 && exporter.save(table);
}

bool splitInOrder(const QString& path)
{
    const QByteArray data = ReadWholeFile(path);
    FrameTable table;
    return SplitGifBytes(data, table, PictureLimits::kSplitBudgetBytes, 1) > 0;
}

bool writePlainFiles(const QString& folder, const std::vector<qsizetype>& sizes)
{
    std::vector<char> buffer;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        buffer.resize(std::size_t(sizes[i]), 'x');
        const QByteArray name = QFile::encodeName(folder + QStringLiteral("/plain%1").arg(i));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        const bool ok = ::write(fd, buffer.data(), buffer.size()) == ssize_t(buffer.size());
        if (::close(fd) != 0 || !ok)
            return false;
    }
    return true;
}

} // namespace skarvel::bench
