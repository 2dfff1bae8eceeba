#include "artwork/Artwork.h"

#include <QPixmap>

// The compiled-in pictures sit in a static library: register them before the first use.
static void registerArtwork()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(art);
        return true;
    }();
    (void)registered;
}

namespace skarvel {

namespace {

// The fingertip of the pointing hand.
constexpr int kPointerHotX = 5;
constexpr int kPointerHotY = 0;

} // namespace

QImage artwork(const QString& name)
{
    registerArtwork();
    return QImage(QStringLiteral(":/art/") + name);
}

QCursor pointerFrom(const QImage& picture)
{
    return pointerFrom(picture, QPoint(kPointerHotX, kPointerHotY));
}

QCursor pointerFrom(const QImage& picture, QPoint hotSpot)
{
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(picture), hotSpot.x(), hotSpot.y());
}

} // namespace skarvel
