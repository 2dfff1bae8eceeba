#pragma once

#include "Folders.h"
#include "Table.h"

#include <QString>

#include <string>
#include <vector>

namespace skarvel::bench {

// skarvel-frames export --frames: the first frame as PNG, and the last composed, against `info`
// on the same file (the open they cannot do without): each within 1.2 times its time and the file
// plus 128 MiB, one file written.
std::vector<Row> measureChosenFrames(const std::string& cli, const QString& path, const std::string& name,
                                     Folders& folders, int repeat);

} // namespace skarvel::bench
