// Uses the main window as a person would, to tell what the window costs: opens a GIF through the
// window's own open (as a file given on its command line is opened), lets the animation play,
// saves every frame as BMP files into FOLDER through the save command, and prints the times
// and this process's peak memory on one line:
//   open_ms=… play_frames=… play_ms=… save_ms=… peak_kib=… result=saved|refused|not-animated|save-failed
// Exits 0 when the frames were saved, 2 when the window could not open the file, 1 when it is no
// animated GIF, 3 when the save failed. Runs on Qt's offscreen platform unless told otherwise.
// With --opens N the window opens the file N times in a row before it plays and saves, as a
// person opening one file after another does, and the line ends with the peak of each open
// (open_peaks_kib=first,second,…) and what the process held after each (held_kib=…): what one
// file held must be gone before the next open's peak.
//   skarvel_window_bench FILE FOLDER [--play-frames N] [--opens N]
#include "BenchModal.h"

#include "frames/Messages.h"
#include "runtime/FreedMemory.h"
#include "viewer/frmSkarvel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace skarvel;

namespace {

// The animation is the window's own timer; this waits until it has shown `frames` frames, or a
// minute has passed on a machine too busy to paint them.
int play(frmSkarvel& window, int frames)
{
    int shown = 0;
    QEventLoop loop;
    const auto counter = QObject::connect(window.Timer1, &QTimer::timeout, &loop, [&] {
        if (++shown >= frames)
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (frames > 0)
        loop.exec();
    QObject::disconnect(counter);
    return shown;
}

// A field of this process's status in KiB: VmHWM, the peak resident set since the last
// resetPeak(), or VmRSS, what it holds now.
long statusKiB(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, std::strlen(field)) == 0 && line[std::strlen(field)] == ':') {
            kib = std::atol(line + std::strlen(field) + 1);
            break;
        }
    }
    std::fclose(status);
    return kib;
}

long peakKiB()
{
    return statusKiB("VmHWM");
}

// Lowers the high-water mark to what the process holds now, so that the next peakKiB() is the
// peak of what ran in between. Where the kernel refuses, the peaks run on from the start.
void resetPeak()
{
    if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    int frames = 60;
    int opens = 1;
    bool usage = argc < 3;
    for (int i = 3; i < argc && !usage; i += 2) {
        if (i + 1 < argc && std::strcmp(argv[i], "--play-frames") == 0)
            frames = std::atoi(argv[i + 1]);
        else if (i + 1 < argc && std::strcmp(argv[i], "--opens") == 0)
            opens = std::max(1, std::atoi(argv[i + 1]));
        else
            usage = true;
    }
    if (usage) {
        std::fprintf(stderr, "usage: skarvel_window_bench FILE FOLDER [--play-frames N] [--opens N]\n");
        return 64;
    }
    // As the program does, before any thread starts.
    ShareFewArenas();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::BenchModal dialogs(QString::fromLocal8Bit(argv[2]));

    frmSkarvel window;
    window.End = [] {};
    window.show();
    QElapsedTimer clock;
    long peak = peakKiB();
    std::string openPeaks;
    std::string held;
    qint64 openMs = 0;
    for (int k = 0; k < opens; ++k) {
        resetPeak();
        clock.start();
        window.OpenGivenFile(QString::fromLocal8Bit(argv[1]));
        openMs = clock.elapsed();
        const long openPeak = peakKiB();
        peak = std::max(peak, openPeak);
        openPeaks += (k ? "," : "") + std::to_string(openPeak);
        held += (k ? "," : "") + std::to_string(statusKiB("VmRSS"));
    }
    resetPeak();
    clock.start();

    const char* result = "refused";
    int code = 2;
    int shown = 0;
    qint64 playMs = 0;
    qint64 saveMs = 0;
    if (!dialogs.messages.isEmpty()) {
        if (dialogs.messages.front() == messages::notAnimated()) {
            result = "not-animated";
            code = 1;
        }
    } else {
        shown = play(window, frames);
        playMs = clock.restart();
        window.optTipoFiles[0]->setChecked(true); // BMP
        window.SaveAllFrames();
        saveMs = clock.restart();
        const bool saved = dialogs.messages.size() == 1 &&
                           dialogs.messages.front() == messages::framesSaved(qsizetype(window.Frames.frames.size()));
        result = saved ? "saved" : "save-failed";
        code = saved ? 0 : 3;
    }
    peak = std::max(peak, peakKiB());
    std::printf("open_ms=%lld play_frames=%d play_ms=%lld save_ms=%lld peak_kib=%ld result=%s", static_cast<long long>(openMs),
                shown, static_cast<long long>(playMs), static_cast<long long>(saveMs), peak, result);
    if (opens > 1)
        std::printf(" open_peaks_kib=%s held_kib=%s", openPeaks.c_str(), held.c_str());
    std::printf("\n");
    return code;
}
