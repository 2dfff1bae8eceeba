#pragma once

#include "Table.h"

#include <QString>

#include <string>
#include <vector>

namespace skarvel::bench {

// Opens GIFs made to turn the work of several cores against the open, each on one core (as under
// `taskset -c 0`) and on all of them: all cores may never take more than 1.5 times what one takes.
// The files are written into `work` the first time; `only` names one of them, or is empty.
std::vector<Row> measureHostileOpens(const QString& work, int repeat, const std::string& only);

} // namespace skarvel::bench
