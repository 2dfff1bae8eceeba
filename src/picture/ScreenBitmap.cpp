// Writing a composed screen as a 24-bit Windows bitmap.
#include "picture/ScreenBitmap.h"

#include "base/RuntimeError.h"

#include <QtEndian>

#include <cstring>

namespace skarvel {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr quint32 kPixelsPerMetre = 3780; // 96 dpi, as the 8-bit bitmaps say

char* put16(char* out, quint16 value)
{
    qToLittleEndian(value, out);
    return out + 2;
}

char* put32(char* out, quint32 value)
{
    qToLittleEndian(value, out);
    return out + 4;
}

} // namespace

QByteArray ScreenBitmapBytes(const QImage& screen)
{
    if (screen.isNull() || screen.format() != QImage::Format_ARGB32)
        throw RuntimeError(RuntimeError::InvalidCall, "no screen to save");
    const quint64 width = quint64(screen.width());
    const quint64 height = quint64(screen.height());
    const quint64 rowSize = (width * 3 + 3) & ~quint64(3);
    const quint64 pixelOffset = kFileHeaderSize + kInfoHeaderSize;
    const quint64 fileSize = pixelOffset + rowSize * height;
    if (fileSize > 0x7fffffffu)
        throw RuntimeError(RuntimeError::InvalidCall, "screen too large for a bitmap");

    // Zero-filled: the padding at the end of each row is zeros.
    QByteArray bytes(qsizetype(fileSize), '\0');
    char* out = bytes.data();
    std::memcpy(out, "BM", 2);
    out = put32(out + 2, quint32(fileSize));
    out = put32(out, 0);
    out = put32(out, quint32(pixelOffset));
    out = put32(out, kInfoHeaderSize);
    out = put32(out, quint32(width));
    out = put32(out, quint32(height)); // positive: rows run bottom-up
    out = put16(out, 1);               // planes
    out = put16(out, 24);              // bits per pixel
    out = put32(out, 0);               // BI_RGB
    out = put32(out, quint32(rowSize * height));
    out = put32(out, kPixelsPerMetre);
    out = put32(out, kPixelsPerMetre);
    out = put32(out, 0); // no palette
    put32(out, 0);
    char* rows = bytes.data() + pixelOffset;
    for (quint64 y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(int(height - 1 - y)));
        auto* pixel = reinterpret_cast<uchar*>(rows + y * rowSize);
        for (quint64 x = 0; x < width; ++x, pixel += 3) {
            pixel[0] = uchar(qBlue(line[x]));
            pixel[1] = uchar(qGreen(line[x]));
            pixel[2] = uchar(qRed(line[x]));
        }
    }
    return bytes;
}

} // namespace skarvel
