#pragma once

#include <QFontMetrics>
#include <QString>

namespace skarvel {

// Shortens a path to `room` pixels in `metrics`: a path that fits comes back unchanged;
// otherwise folders are replaced by "..." from the last one backwards, keeping as many leading
// folders as fit and the file name whole. Only a file name that cannot fit even alone after
// "..." loses characters from its end, so that the result is never wider than `room`.
QString pathEllipsis(const QString& path, const QFontMetrics& metrics, int room);

} // namespace skarvel
