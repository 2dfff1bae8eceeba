// Writing a picture as an 8-bit palettised Windows bitmap.
#include "picture/Picture.h"

#include "base/RuntimeError.h"
#include "files/FileIO.h"

#include <QtEndian>

#include <vector>

namespace skarvel {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr quint32 kPixelsPerMetre = 3780; // 96 dpi

void put16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

std::vector<QByteArrayView> BitmapParts(const Picture& picture, QByteArray& head)
{
    const QImage& image = picture.image();
    if (image.isNull() || image.format() != QImage::Format_Indexed8)
        throw RuntimeError(RuntimeError::InvalidCall, "no picture to save");

    const quint32 width = quint32(image.width());
    const quint32 height = quint32(image.height());
    const QList<QRgb> colours = image.colorTable().first(picture.savedColours());
    const quint32 rowSize = (width + 3) & ~quint32(3);
    const quint32 paletteSize = quint32(colours.size()) * 4;
    const quint32 pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteSize;
    const quint64 fileSize = quint64(pixelOffset) + quint64(rowSize) * height;
    if (fileSize > 0xffffffffu)
        throw RuntimeError(RuntimeError::InvalidCall, "picture too large for a bitmap");

    head.clear();
    head.reserve(int(pixelOffset));
    head.append("BM", 2);
    put32(head, quint32(fileSize));
    put32(head, 0);
    put32(head, pixelOffset);
    put32(head, kInfoHeaderSize);
    put32(head, width);
    put32(head, height); // positive: rows run bottom-up
    put16(head, 1);      // planes
    put16(head, 8);      // bits per pixel
    put32(head, 0);      // BI_RGB
    put32(head, rowSize * height);
    put32(head, kPixelsPerMetre);
    put32(head, kPixelsPerMetre);
    put32(head, quint32(colours.size()));
    put32(head, 0);
    // The palette keeps every entry's colour, the transparent one too.
    for (QRgb colour : colours) {
        const char entry[4] = {char(qBlue(colour)), char(qGreen(colour)), char(qRed(colour)), 0};
        head.append(entry, 4);
    }

    // The rows go to the file straight from the picture, bottom row first, each padded to four
    // bytes with zeros: no copy of the pixels on the way.
    static constexpr char kZeros[3] = {};
    const QByteArrayView padding(kZeros, qsizetype(rowSize - width));
    std::vector<QByteArrayView> parts;
    parts.reserve(1 + std::size_t(height) * 2);
    parts.push_back(head);
    for (quint32 row = height; row-- > 0;) {
        parts.emplace_back(image.constScanLine(int(row)), qsizetype(width));
        if (!padding.isEmpty())
            parts.push_back(padding);
    }
    return parts;
}

void SavePicture(const Picture& picture, const QString& path)
{
    QByteArray head;
    WriteWholeFile(path, BitmapParts(picture, head));
}

} // namespace skarvel
