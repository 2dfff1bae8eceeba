#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace skarvel {

// The wait cursor over the whole application for as long as the object lives, so that an
// early return or an exception cannot leave it behind.
class Hourglass {
public:
    Hourglass() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QGuiApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

} // namespace skarvel
