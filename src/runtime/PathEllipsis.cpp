#include "runtime/PathEllipsis.h"

#include <QStringList>

namespace skarvel {

namespace {

const QString kEllipsis = QStringLiteral("...");

bool fits(const QFontMetrics& metrics, const QString& text, int room)
{
    return metrics.horizontalAdvance(text) <= room;
}

} // namespace

QString pathEllipsis(const QString& path, const QFontMetrics& metrics, int room)
{
    if (fits(metrics, path, room))
        return path;

    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')),
                                   path.lastIndexOf(QLatin1Char('\\')));
    const QString name = path.mid(cut + 1);
    if (cut >= 0) {
        const QChar separator = path.at(cut);
        // Keep the leading folders up to a separator, as many as fit, longest first.
        for (qsizetype end = cut - 1; end >= 0; --end) {
            if (path.at(end) != QLatin1Char('/') && path.at(end) != QLatin1Char('\\'))
                continue;
            const QString candidate = path.left(end + 1) + kEllipsis + separator + name;
            if (fits(metrics, candidate, room))
                return candidate;
        }
        const QString bare = kEllipsis + separator + name;
        if (fits(metrics, bare, room))
            return bare;
    }
    // Not even the file name fits: keep what does of its beginning.
    QString head = name;
    while (!head.isEmpty() && !fits(metrics, head + kEllipsis, room))
        head.chop(1);
    return head + kEllipsis;
}

} // namespace skarvel
