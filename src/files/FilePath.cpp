#include "files/FilePath.h"

#include <QDir>

#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace skarvel {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at the start of `s`, 0 when there is none: no overlong
// forms, no encoded surrogates, nothing above U+10FFFF.
int validSequence(QByteArrayView s)
{
    const auto byte = [&](qsizetype i) { return quint8(s[i]); };
    const quint8 lead = byte(0);
    if (lead < 0x80)
        return 1;
    int length = 0;
    quint8 low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (s.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

} // namespace

QString DecodeFilePath(QByteArrayView bytes)
{
    QString path;
    path.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const int length = validSequence(bytes);
        if (length == 0) {
            path += QChar(char16_t(kEscapeBase + quint8(bytes[0])));
            bytes = bytes.sliced(1);
        } else {
            path += QString::fromUtf8(bytes.first(length));
            bytes = bytes.sliced(length);
        }
    }
    return path;
}

QByteArray EncodeFilePath(const QString& path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype run = 0; // start of the characters not yet encoded
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        // Only a lone low surrogate in the escape range stands for a byte; a proper pair is a
        // character of its own.
        const bool pairedLow = i > 0 && path[i - 1].isHighSurrogate();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && !pairedLow) {
            bytes += path.sliced(run, i - run).toUtf8();
            bytes += char(unit - kEscapeBase);
            run = i + 1;
        }
    }
    bytes += path.sliced(run).toUtf8();
    return bytes;
}

QString AbsoluteFilePath(const QString& path)
{
    if (path.startsWith(u'/'))
        return path;
    // Qt's own absolute paths go through its lossy encoding: a name that is not UTF-8 is lost.
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    if (!folder || folder.get()[0] != '/')
        return {};
    return QDir::cleanPath(DecodeFilePath(folder.get()) + u'/' + path);
}

} // namespace skarvel
