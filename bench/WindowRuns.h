#pragma once

#include "Folders.h"

#include <string>
#include <vector>

namespace skarvel::bench {

// What the window took for one GIF: the best times of its runs and the largest peak.
struct WindowRun {
    std::string gif;
    double fileMiB = 0;
    std::string result = {}; // saved, refused, not-animated, save-failed, or how the driver failed
    double openMs = 0;
    int played = 0;
    double playMs = 0;
    double saveMs = 0;
    double peakMiB = 0;
};

// Runs skarvel_window_bench (`driver`) on `path` `repeat` times, each saving into a new folder:
// the window opens the file, plays `frames` frames and saves them all as BMP files.
WindowRun measureWindow(const std::string& driver, const std::string& gif, const QString& path, Folders& folders,
                        int repeat, int frames);

// The window's table; the peak goal is the file's size plus 192 MiB.
void printWindowRuns(const std::vector<WindowRun>& runs);

} // namespace skarvel::bench
