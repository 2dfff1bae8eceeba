#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

namespace skarvel {

// One of the program's own pictures, by file name ("open.xpm"); a null image when missing.
QImage artwork(const QString& name);

// The custom mouse pointer made from the pointer picture, with its hot spot.
QCursor pointerFrom(const QImage& picture);
// A mouse pointer made from `picture`, pointing from `hotSpot`.
QCursor pointerFrom(const QImage& picture, QPoint hotSpot);

} // namespace skarvel
