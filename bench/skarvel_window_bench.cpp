// Uses the main window as a person would, to tell what the window costs: opens a GIF through the
// window's own open (as a file given on its command line is opened), lets the animation play,
// saves every frame as BMP files into FOLDER through the save command, and prints the times
// and this process's peak memory on one line:
//   open_ms=… play_frames=… play_ms=… save_ms=… peak_kib=… result=saved|refused|not-animated|save-failed
// Exits 0 when the frames were saved, 2 when the window could not open the file, 1 when it is no
// animated GIF, 3 when the save failed. Runs on Qt's offscreen platform unless told otherwise.
//   skarvel_window_bench FILE FOLDER [--play-frames N]
#include "BenchModal.h"

#include "frames/Messages.h"
#include "viewer/frmSkarvel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--play-frames") == 0)) {
        std::fprintf(stderr, "usage: skarvel_window_bench FILE FOLDER [--play-frames N]\n");
        return 64;
    }
    const int frames = argc == 5 ? std::atoi(argv[4]) : 60;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::BenchModal dialogs(QString::fromLocal8Bit(argv[2]));

    frmSkarvel window;
    window.End = [] {};
    window.show();
    QElapsedTimer clock;
    clock.start();
    window.OpenGivenFile(QString::fromLocal8Bit(argv[1]));
    const qint64 openMs = clock.restart();

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
    std::printf("open_ms=%lld play_frames=%d play_ms=%lld save_ms=%lld peak_kib=%ld result=%s\n", static_cast<long long>(openMs),
                shown, static_cast<long long>(playMs), static_cast<long long>(saveMs), peakKiB(), result);
    return code;
}
