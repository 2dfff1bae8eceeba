#include "viewer/Artwork.h"

#include <QPixmap>

// The compiled-in pictures sit in a static library: register them before the first use.
static void registerArtwork()
{
#ifdef SKARVEL_HAVE_ART
    static const bool registered = [] {
        Q_INIT_RESOURCE(art);
        return true;
    }();
    (void)registered;
#endif
}

namespace skarvel {

namespace {

// Where the pointer picture points.
constexpr int kPointerHotX = 0;
constexpr int kPointerHotY = 0;

} // namespace

QImage artwork(const QString& name)
{
    registerArtwork();
    return QImage(QStringLiteral(":/art/") + name);
}

QCursor pointerFrom(const QImage& picture)
{
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(picture), kPointerHotX, kPointerHotY);
}

} // namespace skarvel
