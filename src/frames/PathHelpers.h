#pragma once

#include <QString>

namespace skarvel {

// The file name of `sFullPath` up to its first "." ("/img/my.anim.gif" gives "my"); the whole
// name when it has no "."; empty for an empty path, a path without a folder or one ending in "/".
QString GetBaseName(const QString& sFullPath);

// Whether `sFilePath` names a regular file. A file we may write but not read counts: a save that
// replaced it did succeed.
bool FileExists(const QString& sFilePath);

} // namespace skarvel
