#pragma once

#include <QFont>
#include <QString>

namespace skarvel {

// The named font at the named size, or the nearest sans-serif family installed when it is
// missing (MS Sans Serif and Arial rarely are on Linux).
QFont runtimeFont(const QString& family, double points);

} // namespace skarvel
