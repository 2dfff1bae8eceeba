#include "frames/SaveFrames.h"

#include "base/RuntimeError.h"
#include "frames/ExportGifFrames.h"
#include "frames/PathHelpers.h"
#include "frames/PicturesInOrder.h"
#include "frames/SplitGifFrames.h"
#include "base/StopToken.h"

#include <QDir>

#include <new>

namespace skarvel {

QString FramePrefix(const QString& folder, const QString& sGifFile)
{
    QString prefix = folder;
    if (!prefix.endsWith(QDir::separator()))
        prefix += QDir::separator();
    return prefix + GetBaseName(sGifFile);
}

QString FramePath(const QString& prefix, std::size_t index, FrameFormat format)
{
    const QString suffix = format == FrameFormat::Gif   ? QStringLiteral(".gif")
                           : format == FrameFormat::Png ? QStringLiteral(".png")
                                                        : QStringLiteral(".bmp");
    return prefix + QString::number(index) + suffix;
}

namespace {

bool saveBitmaps(const FrameTable& table, const QString& prefix, const StopToken* stop, const FramesSaved& saved)
{
    PicturesInOrder pictures(table, 0, ThreadCount(kAllCores));
    for (std::size_t i = 0; i < table.frames.size(); ++i) {
        if (StopAsked(stop))
            return false;
        const QString path = FramePath(prefix, i, FrameFormat::Bmp);
        try {
            SavePicture(pictures.next(), path);
        } catch (const RuntimeError&) {
            return false;
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!FileExists(path))
            return false;
        if (saved)
            saved(i + 1);
    }
    return true;
}

} // namespace

bool SaveFrames(const FrameTable& table, const QString& sGifFile, const QString& folder, FrameFormat format,
                const StopToken* stop, const FramesSaved& saved)
{
    const QString prefix = FramePrefix(folder, sGifFile);
    if (format == FrameFormat::Gif)
        return ExportGifFrames(prefix, table, stop, saved);
    return saveBitmaps(table, prefix, stop, saved);
}

} // namespace skarvel
