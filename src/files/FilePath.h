#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace skarvel {

// A file name on Linux is any string of bytes, while the program passes paths around as QString.
// These two convert without loss: valid UTF-8 becomes its characters, and every byte that is not
// part of valid UTF-8 becomes the lone surrogate U+DC00 + byte, which no valid name can produce.
// Qt's own QFile::encodeName/decodeName turn such bytes into U+FFFD and lose the name.
QString DecodeFilePath(QByteArrayView bytes);
QByteArray EncodeFilePath(const QString& path);

// `path` from the root: an absolute one as it is, a relative one behind the working folder, both
// in their own bytes, with "." and ".." folded away. Empty when the working folder cannot be named
// (too deep, or gone).
QString AbsoluteFilePath(const QString& path);

} // namespace skarvel
