#include "frames/FrameFile.h"

#include "picture/Png.h"
#include "picture/ScreenBitmap.h"

namespace skarvel {

std::vector<QByteArrayView> PictureFileParts(const Picture& picture, FrameFormat format, QByteArray& storage)
{
    if (format != FrameFormat::Png)
        return BitmapParts(picture, storage);
    storage = PngBytes(picture.image(), picture.savedColours());
    return {storage};
}

std::vector<QByteArrayView> ScreenFileParts(const QImage& screen, FrameFormat format, QByteArray& storage)
{
    storage = format == FrameFormat::Png ? PngBytes(screen) : ScreenBitmapBytes(screen);
    return {storage};
}

} // namespace skarvel
