#include "WindowRuns.h"

#include "Measure.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace skarvel::bench {

WindowRun measureWindow(const std::string& driver, const std::string& gif, const QString& path, Folders& folders,
                        int repeat, int frames)
{
    WindowRun best{gif, QFileInfo(path).size() / 1048576.0};
    best.openMs = best.playMs = best.saveMs = 1e30;
    for (int i = 0; i < repeat; ++i) {
        std::string output;
        const Measure m = program({driver, path.toStdString(), folders.next().toStdString(), "--play-frames",
                                   std::to_string(frames)},
                                  &output);
        double open = 0, playMs = 0, save = 0, peakKiB = 0;
        int played = 0;
        char result[32] = "";
        if (std::sscanf(output.c_str(), "open_ms=%lf play_frames=%d play_ms=%lf save_ms=%lf peak_kib=%lf result=%31s", &open,
                        &played, &playMs, &save, &peakKiB, result) != 6) {
            // The driver died (a crash, out of memory): its peak is still the process's.
            best.result = "driver failed, exit " + std::to_string(m.exitCode);
            best.peakMiB = std::max(best.peakMiB, m.peakMiB);
            continue;
        }
        best.result = result;
        best.openMs = std::min(best.openMs, open);
        best.playMs = std::min(best.playMs, playMs);
        best.played = played;
        best.saveMs = std::min(best.saveMs, save);
        best.peakMiB = std::max(best.peakMiB, peakKiB / 1024);
    }
    return best;
}

void printWindowRuns(const std::vector<WindowRun>& runs)
{
    std::printf("\nThe window (skarvel_window_bench: open as from the command line, play, save every frame as BMP):\n\n");
    std::printf("| GIF | outcome | open | play | save BMP | peak | peak goal |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|\n");
    const auto ms = [](double value) { return value < 1e29 ? std::to_string(int(value + 0.5)) + " ms" : std::string("-"); };
    for (const WindowRun& run : runs) {
        const double goal = run.fileMiB + 192;
        const bool met = run.result == "saved" && run.peakMiB <= goal;
        const std::string played = run.played > 0 ? std::to_string(run.played) + " frames in " + ms(run.playMs) : "-";
        const std::string save = run.result == "saved" || run.result == "save-failed" ? ms(run.saveMs) : "-";
        std::printf("| %s | %s | %s | %s | %s | %.0f MiB | %.0f MiB %s |\n", run.gif.c_str(), run.result.c_str(),
                    ms(run.openMs).c_str(), played.c_str(), save.c_str(), run.peakMiB, goal, met ? "met" : "MISSED");
    }
    std::printf("\nOpen is from the call to the window's open until its strip is drawn and the animation started (a "
                "refused file: until its message). Play is the window's own timer at the file's pace. Peak is the "
                "driver's peak resident set, Qt's offscreen platform and the window included. The goal is the file's "
                "size plus 192 MiB, met only when every frame was saved.\n");
}

} // namespace skarvel::bench
