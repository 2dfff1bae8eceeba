#pragma once

#include "Folders.h"
#include "Table.h"

#include <string>
#include <vector>

namespace skarvel::bench {

// skarvel-frames' exports of large frames that succeed, that write through named temporaries, and
// that fail at their first frame (a file-size limit, and a full file system where the bench may
// mount one): each is to stay within the file plus 128 MiB (a composed one, plus its canvas and
// the file being written, 7 bytes a pixel of the screen), and the named way within 1.3 times the
// unnamed one. `cli` is skarvel-frames; the files are written into `work` the first time;
// `only` names one of them, or is empty.
std::vector<Row> measureFailingExports(const std::string& cli, const QString& work, Folders& folders, int repeat,
                                      const std::string& only);

} // namespace skarvel::bench
