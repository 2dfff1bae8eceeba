// Opens and saves large GIFs with Skarvel's core, its programs (skarvel-frames, the window) and
// with the tools people use today, each run in a process of its own so that its peak memory can
// be told, and prints the tables.
//   skarvel_bench WORK_DIR [--repeat N] [--only NAME] [--opens | --programs | --hostile | --composed | --failing]
//   skarvel_bench --once slurp|split-one-thread|split FILE   (one open in this process, for profiling)
// --opens measures the opens alone; --programs only Skarvel's programs against the reference
// tools (skarvel-frames info and export, the window, the file of a million frames); --hostile
// only the hostile files' opens on one core and on all (HostileOpens.h).; --composed
// only the PNG and composed exports against ImageMagick's -coalesce; --failing only the exports of
// large frames that fail or write through named temporaries (FailingExports.h).
#include "BenchGifs.h"
#include "ChosenFrames.h"
#include "FailingExports.h"
#include "Folders.h"
#include "HostileOpens.h"
#include "Measure.h"
#include "Operations.h"
#include "Table.h"
#include "WindowRuns.h"

#include "frames/FrameCutter.h"
#include "frames/SplitGifFrames.h"
#include "files/FileIO.h"

#include <QFileInfo>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace skarvel;
using namespace skarvel::bench;

namespace {

const BenchGif kGifs[] = {
    {"noisy-600x320x240", 600, 320, 240, Content::Noise},
    {"smooth-100x1280x720", 100, 1280, 720, Content::Smooth},
    {"noisy-2000x64x64", 2000, 64, 64, Content::Noise},
    {"smooth-600x320x240", 600, 320, 240, Content::Smooth},
    // A full-HD screen recording at 30 frames a second, and its first 200 frames.
    {"screen-200x1920x1080", 200, 1920, 1080, Content::Screen, true, 3},
    {"screen-600x1920x1080", 600, 1920, 1080, Content::Screen, true, 3},
};

// One pixel a frame, the global table full: the most frames for the fewest bytes. Its peak in
// `skarvel-frames info` is to stay at most what it was while every frame was decoded at the
// open: 304,520 to 304,720 KiB in four runs on main at e876e70 (/usr/bin/time and this bench
// alike), rounded up.
const BenchGif kMillionFrames{"million-1x1", 1000000, 1, 1, Content::Noise};
constexpr double kMillionFramesInfoMiB = 298;

const std::string kCli = SKARVEL_FRAMES_EXE;
const std::string kWindow = SKARVEL_WINDOW_BENCH_EXE;
// Frames the window plays before it saves: two to three seconds of the bench GIFs.
constexpr int kPlayedFrames = 60;

struct Options {
    QString work;
    int repeat = 3;
    std::string only = {};
    bool opensOnly = false;
    bool programsOnly = false;
    bool hostileOnly = false;
    bool composedOnly = false;
    bool failingOnly = false;
};

// Measures one GIF into the tables.
struct Bench {
    const Options& options;
    Folders folders;
    std::vector<Row> rows = {};
    std::vector<WindowRun> windowRuns = {};

    void gif(const BenchGif& spec);
    void opens(const QString& path, const std::string& name);
    void exports(const BenchGif& spec, const QString& path, const std::string& name);
    void composedExports(const QString& path, const std::string& name);
    void millionFrames();
};

std::size_t add(std::vector<Run>& runs, Run run)
{
    runs.push_back(std::move(run));
    return runs.size() - 1;
}

// Writes the GIF into the work folder the first time it is asked for.
QString benchFile(const Options& options, const BenchGif& spec)
{
    const QString path = options.work + QStringLiteral("/") + QString::fromLatin1(spec.name) + QStringLiteral(".gif");
    if (!QFileInfo::exists(path)) {
        std::printf("writing %s\n", qPrintable(path));
        std::fflush(stdout);
        writeBenchGif(spec, path);
    }
    return path;
}

std::string rowName(const BenchGif& spec, const QString& path)
{
    return std::string(spec.name) + " (" + std::to_string(int(QFileInfo(path).size() / 1048576.0 + 0.5)) + " MiB)";
}

// Skarvel's programs are to need at most the file plus this much.
double programGoal(const QString& path)
{
    return QFileInfo(path).size() / 1048576.0 + 128;
}

void Bench::gif(const BenchGif& spec)
{
    const QString path = benchFile(options, spec);
    const std::string name = rowName(spec, path);
    std::printf("measuring %s\n", name.c_str());
    std::fflush(stdout);
    if (options.composedOnly) {
        composedExports(path, name);
        for (Row& row : measureChosenFrames(kCli, path, name, folders, options.repeat))
            rows.push_back(std::move(row));
        return;
    }
    opens(path, name);
    if (options.opensOnly)
        return;
    exports(spec, path, name);
    composedExports(path, name);
    for (Row& row : measureChosenFrames(kCli, path, name, folders, options.repeat))
        rows.push_back(std::move(row));
    windowRuns.push_back(measureWindow(kWindow, name, path, folders, options.repeat, kPlayedFrames));
}

void Bench::opens(const QString& path, const std::string& name)
{
    // What two cores give where nothing is shared: two DGifSlurp of the file in two processes
    // at once, half their time. Where the cores slow each other down, no split goes below it.
    const auto twoSlurps = [&] {
        return inChild([&] {
            const pid_t other = fork();
            if (other == 0)
                _exit(slurp(path) ? 0 : 1);
            int status = 0;
            return slurp(path) && waitpid(other, &status, 0) == other && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        });
    };
    const bool all = !options.programsOnly;
    std::vector<Run> runs;
    const std::size_t slurped = add(runs, {[&] { return inChild([&] { return slurp(path); }); }});
    const std::size_t info = add(runs, {[&] { return program({kCli, "info", path.toStdString()}); }});
    const std::size_t inOrder = all ? add(runs, {[&] { return inChild([&] { return splitInOrder(path); }); }}) : 0;
    const std::size_t parallel = all ? add(runs, {[&] {
                                                     return inChild([&] {
                                                         FrameTable table;
                                                         return SplitGifFrames(path, table) > 0;
                                                     });
                                                 }})
                                     : 0;
    const std::size_t twoAtOnce = all ? add(runs, {twoSlurps}) : 0;
    // What keeping the file's bytes costs beyond decoding them: the read into memory never
    // touched before, which a split pays and DGifSlurp, reading a buffer at a time, does not.
    const std::size_t read = all ? add(runs, {[&] { return inChild([&] { return !ReadWholeFile(path).isEmpty(); }); }}) : 0;
    const std::vector<Measure> m = bestInTurns(options.repeat, runs);
    const Measure& floor = m[slurped];
    if (all) {
        // Memory grows with the file, not with its pixels: the open keeps the bytes, the pictures
        // that fit its cache and those decoded ahead.
        const double memoryGoal = programGoal(path);
        rows.push_back({name, "open, one thread", m[inOrder], "DGifSlurp", floor, 0, memoryGoal});
        rows.push_back({name, "open, all cores", m[parallel], "DGifSlurp", floor, 0.55, memoryGoal});
        rows.push_back({name, "two DGifSlurp at once, half", shared(m[twoAtOnce], 0.5), "DGifSlurp", floor, 0, 0});
        rows.push_back({name, "file read into new memory", m[read], "DGifSlurp", floor, 0, 0});
        // The least two cores can take for an open that keeps the file's bytes, round by round:
        // the decoding split as two separate processes split it, and half the read beside it.
        rows.push_back({name, "open, all cores", m[parallel], "floor: two DGifSlurp half + read half",
                        shared(m[twoAtOnce], 0.5, m[read], 0.5), 0, 0});
    }
    rows.push_back({name, "skarvel-frames info", m[info], "DGifSlurp", floor, 0, programGoal(path)});
}

// The package's own binary, whatever wrapper may stand first on the PATH.
std::string convertProgram()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/convert")) ? "/usr/bin/convert" : "convert";
}

void Bench::exports(const BenchGif& spec, const QString& path, const std::string& name)
{
    std::vector<qsizetype> gifSizes;
    std::vector<qsizetype> bmpSizes;
    {
        const QByteArray data = ReadWholeFile(path);
        FrameCutter cutter(data);
        while (const auto chunk = cutter.next())
            gifSizes.push_back(cutter.header().size() + chunk->bytes.size());
        const qsizetype bmp = 14 + 40 + 256 * 4 + ((spec.width + 3) & ~3) * qsizetype(spec.height);
        bmpSizes.assign(gifSizes.size(), bmp);
    }
    QString out;
    const auto newFolder = [&] { out = folders.next(); };
    const auto cli = [&](const char* format) {
        return Run{[&, format] { return program({kCli, "export", "--format", format, path.toStdString(), out.toStdString()}); },
                   newFolder};
    };
    const std::string convert = convertProgram();
    const bool all = !options.programsOnly;
    std::vector<Run> runs;
    const std::size_t gifFiles = all ? add(runs, {[&] { return inChild([&] { return writePlainFiles(out, gifSizes); }); }, newFolder}) : 0;
    const std::size_t ourGif = all ? add(runs, {[&] { return inChild([&] { return exportFrames(path, out, FrameFormat::Gif); }); }, newFolder}) : 0;
    const std::size_t gifsicle = add(runs, {[&] {
                                                return program({"gifsicle", "--no-warnings", "--explode", "--output",
                                                                (out + QStringLiteral("/frame")).toStdString(), path.toStdString()});
                                            },
                                            newFolder});
    const std::size_t cliGif = add(runs, cli("gif"));
    const std::size_t bmpFiles = all ? add(runs, {[&] { return inChild([&] { return writePlainFiles(out, bmpSizes); }); }, newFolder}) : 0;
    const std::size_t ourBmp = all ? add(runs, {[&] { return inChild([&] { return exportFrames(path, out, FrameFormat::Bmp); }); }, newFolder}) : 0;
    const std::size_t magick = add(runs, {[&] { return program({convert, path.toStdString(), "+adjoin", (out + QStringLiteral("/frame%d.bmp")).toStdString()}); },
                                          newFolder});
    const std::size_t cliBmp = add(runs, cli("bmp"));
    const std::vector<Measure> m = bestInTurns(options.repeat, runs);
    const Measure none{};
    if (all) {
        rows.push_back({name, "GIF export", m[ourGif], "gifsicle --explode", m[gifsicle], 0.5, 0, m[gifFiles]});
        rows.push_back({name, "open + BMP export", m[ourBmp], "convert +adjoin", m[magick], 0.2, 0, m[bmpFiles]});
    }
    const double goal = programGoal(path);
    rows.push_back({name, "skarvel-frames export --format gif", m[cliGif], "gifsicle --explode", m[gifsicle], 0.5, goal,
                    all ? m[gifFiles] : none});
    rows.push_back({name, "skarvel-frames export --format bmp", m[cliBmp], "convert +adjoin", m[magick], 0.2, goal,
                    all ? m[bmpFiles] : none});
}

// Frames as PNG, and frames as a viewer shows them, against ImageMagick composing every frame in
// memory (-coalesce) before it writes them.
void Bench::composedExports(const QString& path, const std::string& name)
{
    QString out;
    const auto newFolder = [&] { out = folders.next(); };
    const auto cli = [&](std::vector<std::string> options) {
        return Run{[&, options] { return exportProgram(kCli, options, path.toStdString(), out.toStdString()); },
                   newFolder};
    };
    const auto coalesce = [&](const char* suffix) {
        return Run{[&, suffix] {
                       return program({convertProgram(), path.toStdString(), "-coalesce", "+adjoin",
                                       (out + QStringLiteral("/frame%d.") + QLatin1String(suffix)).toStdString()});
                   },
                   newFolder};
    };
    const std::vector<Measure> m = bestInTurns(options.repeat, {
        coalesce("png"),
        cli({"--format", "png"}),
        cli({"--format", "png", "--composed"}),
        coalesce("bmp"),
        cli({"--format", "bmp", "--composed"}),
    });
    const double goal = programGoal(path);
    rows.push_back({name, "skarvel-frames export --format png", m[1], "convert -coalesce +adjoin png", m[0], 0.5, goal});
    rows.push_back({name, "skarvel-frames export --format png --composed", m[2], "convert -coalesce +adjoin png", m[0], 0.5, goal});
    rows.push_back({name, "skarvel-frames export --format bmp --composed", m[4], "convert -coalesce +adjoin bmp", m[3], 0.5, goal});
}

void Bench::millionFrames()
{
    const QString path = benchFile(options, kMillionFrames);
    const std::string name = rowName(kMillionFrames, path);
    std::printf("measuring %s\n", name.c_str());
    std::fflush(stdout);
    const std::vector<Measure> m = bestInTurns(options.repeat, {
        {[&] { return inChild([&] { return slurp(path); }); }},
        {[&] { return program({kCli, "info", path.toStdString()}); }},
    });
    rows.push_back({name, "skarvel-frames info", m[1], "DGifSlurp", m[0], 0, kMillionFramesInfoMiB});
}

int usage()
{
    std::fprintf(stderr, "usage: skarvel_bench WORK_DIR [--repeat N] [--only NAME] [--opens | --programs | --hostile | --composed | --failing]\n");
    return 64;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
        const QString path = QString::fromLocal8Bit(argv[3]);
        const std::string what = argv[2];
        FrameTable table;
        const bool ok = what == "slurp" ? slurp(path)
                        : what == "split-one-thread" ? splitInOrder(path)
                                                     : SplitGifFrames(path, table) > 0;
        return ok ? 0 : 1;
    }
    if (argc < 2)
        return usage();
    Options options{QString::fromLocal8Bit(argv[1])};
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--opens") == 0)
            options.opensOnly = true;
        else if (std::strcmp(argv[i], "--programs") == 0)
            options.programsOnly = true;
        else if (std::strcmp(argv[i], "--hostile") == 0)
            options.hostileOnly = true;
        else if (std::strcmp(argv[i], "--composed") == 0)
            options.composedOnly = true;
        else if (std::strcmp(argv[i], "--failing") == 0)
            options.failingOnly = true;
        else if (i + 1 == argc)
            return usage();
        else if (std::strcmp(argv[i], "--repeat") == 0)
            options.repeat = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--only") == 0)
            options.only = argv[++i];
        else
            return usage();
    }
    QDir().mkpath(options.work);
    Bench bench{options, Folders{options.work + QStringLiteral("/out")}};
    QDir(bench.folders.root).removeRecursively();

    std::printf("%u hardware threads, best of %d runs each\n", std::thread::hardware_concurrency(), options.repeat);
    const double harnessMiB = inChild([] { return true; }).peakMiB;
    if (options.failingOnly) {
        bench.rows = measureFailingExports(kCli, options.work, bench.folders, options.repeat, options.only);
        QDir(bench.folders.root).removeRecursively();
        printRows(bench.rows, harnessMiB);
        return 0;
    }
    for (const BenchGif& spec : kGifs) {
        if (!options.hostileOnly && (options.only.empty() || options.only == spec.name))
            bench.gif(spec);
    }
    // Its export and the window's save would write a million files: only its open is measured,
    // and not among the opens' times.
    if (!options.opensOnly && !options.hostileOnly && !options.composedOnly && (options.only.empty() || options.only == kMillionFrames.name))
        bench.millionFrames();
    if (!options.programsOnly) {
        for (Row& row : measureHostileOpens(options.work, options.repeat, options.only))
            bench.rows.push_back(std::move(row));
    }
    QDir(bench.folders.root).removeRecursively();
    printRows(bench.rows, harnessMiB);
    if (!bench.windowRuns.empty())
        printWindowRuns(bench.windowRuns);
    return 0;
}
