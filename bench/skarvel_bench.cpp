// Opens and saves large GIFs with Skarvel's core and with the tools people use today, each run
// in a process of its own so that its peak memory can be told, and prints one table.
//   skarvel_bench WORK_DIR [--repeat N] [--only NAME] [--opens]
//   skarvel_bench --once slurp|split-one-thread|split FILE   (one open in this process, for profiling)
#include "BenchGifs.h"

#include "frames/FrameExport.h"
#include "frames/FrameCutter.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "files/FileIO.h"

#include <QDir>
#include <QFileInfo>

#include <gif_lib.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace skarvel;
using namespace skarvel::bench;

namespace {

const BenchGif kGifs[] = {
    {"noisy-600x320x240", 600, 320, 240, true},
    {"smooth-100x1280x720", 100, 1280, 720, false},
    {"noisy-2000x64x64", 2000, 64, 64, true},
    {"smooth-600x320x240", 600, 320, 240, false},
};

struct Measure {
    double seconds = 0;
    double peakMiB = 0;
    bool ok = false;
    double cpuSeconds = 0; // user + system, all threads
    std::vector<double> rounds = {}; // the wall time of every run, when taken in turns with others
};

// How many times as long `ours` took as `theirs`: the median over the rounds in which both ran,
// each against the other run of its own round, or else the ratio of the best runs.
double ratioOf(const Measure& ours, const Measure& theirs)
{
    if (ours.rounds.empty() || ours.rounds.size() != theirs.rounds.size())
        return ours.seconds / theirs.seconds;
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.rounds.size(); ++i)
        ratios.push_back(ours.rounds[i] / theirs.rounds[i]);
    std::ranges::sort(ratios);
    const std::size_t middle = ratios.size() / 2;
    return ratios.size() % 2 ? ratios[middle] : (ratios[middle - 1] + ratios[middle]) / 2;
}

// The time `share` of a measurement would take, plus `otherShare` of another, round by round.
Measure shared(const Measure& m, double share, const Measure& other = {}, double otherShare = 0)
{
    Measure result = m;
    result.seconds = m.seconds * share + other.seconds * otherShare;
    result.cpuSeconds = m.cpuSeconds * share + other.cpuSeconds * otherShare;
    for (std::size_t i = 0; i < result.rounds.size(); ++i)
        result.rounds[i] = m.rounds[i] * share + (i < other.rounds.size() ? other.rounds[i] * otherShare : 0);
    return result;
}

double cpuOf(const rusage& usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Runs `work` in a child process: its own time, and the child's peak resident memory.
Measure inChild(const std::function<bool()>& work)
{
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const double start = now();
        const bool ok = work();
        const double report[2] = {now() - start, ok ? 1.0 : 0.0};
        _exit(write(ends[1], report, sizeof report) == sizeof report ? 0 : 1);
    }
    close(ends[1]);
    double report[2] = {0, 0};
    const bool got = read(ends[0], report, sizeof report) == sizeof report;
    close(ends[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return {report[0], usage.ru_maxrss / 1024.0, got && report[1] != 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0,
            cpuOf(usage)};
}

// Runs a program, its output thrown away: wall time from start to end, and its peak memory.
Measure program(const std::vector<std::string>& argv)
{
    const double start = now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return {now() - start, usage.ru_maxrss / 1024.0, WIFEXITED(status) && WEXITSTATUS(status) == 0, cpuOf(usage)};
}

// One measurement of the table: `prepare` runs before each run, untimed.
struct Run {
    std::function<Measure()> run;
    std::function<void()> prepare = {};
};

// Every run `repeat` times, taking turns, so that a shared host whose speed drifts slows each of
// them alike; then the best of each (the least disturbed run tells the cost), with the largest
// peak memory seen.
std::vector<Measure> bestInTurns(int repeat, const std::vector<Run>& runs)
{
    std::vector<Measure> results(runs.size());
    for (Measure& result : results) {
        result.seconds = 1e30;
        result.cpuSeconds = 1e30;
        result.ok = true;
    }
    for (int i = 0; i < repeat; ++i) {
        for (std::size_t k = 0; k < runs.size(); ++k) {
            if (runs[k].prepare)
                runs[k].prepare();
            const Measure m = runs[k].run();
            Measure& result = results[k];
            result.ok = result.ok && m.ok;
            result.seconds = std::min(result.seconds, m.seconds);
            result.cpuSeconds = std::min(result.cpuSeconds, m.cpuSeconds);
            result.peakMiB = std::max(result.peakMiB, m.peakMiB);
            result.rounds.push_back(m.seconds);
        }
    }
    return results;
}

bool slurp(const QString& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif)
        return false;
    const bool ok = DGifSlurp(gif) == GIF_OK;
    DGifCloseFile(gif, &error);
    return ok;
}

// Opening the file and saving all its frames, as `skarvel-frames export` does: each frame is
// written while the frames behind it still decode.
bool exportFrames(const QString& path, const QString& folder, FrameFormat format)
{
    FrameTable table;
    FrameExport exporter(path, folder, format);
    return exporter.split(table) > 0 && exporter.save(table);
}

bool splitInOrder(const QString& path)
{
    const QByteArray data = ReadWholeFile(path);
    FrameTable table;
    return SplitGifBytes(data, table, PictureLimits::kSplitBudgetBytes, 1) > 0;
}

// The least any tool can spend on an export: creating files of the given sizes with plain
// open, write and close, nothing computed, nothing renamed.
bool writePlainFiles(const QString& folder, const std::vector<qsizetype>& sizes)
{
    std::vector<char> buffer;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        buffer.resize(std::size_t(sizes[i]), 'x');
        const QByteArray name = QFile::encodeName(folder + QStringLiteral("/plain%1").arg(i));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        const bool ok = ::write(fd, buffer.data(), buffer.size()) == ssize_t(buffer.size());
        if (::close(fd) != 0 || !ok)
            return false;
    }
    return true;
}

// Every export runs into a new, empty folder, and the folders go only when the bench ends:
// right after thousands of files are deleted, ext4 searches past the freed inodes for every file
// it creates (a minute or more), which put seconds into whichever run came next. Nothing written
// before waits to be flushed either.
struct Folders {
    QString root;
    int made = 0;
    QString next()
    {
        const QString folder = root + QStringLiteral("/%1").arg(made++);
        QDir().mkpath(folder);
        ::sync();
        return folder;
    }
};

struct Row {
    std::string gif;
    std::string what;
    Measure ours;
    std::string reference;
    Measure theirs;
    double timeGoal;   // ours / theirs at most, 0 for none
    double memoryGoal; // MiB, 0 for none
    Measure floor{};   // creating the same files plainly, for exports
};

void printRows(const std::vector<Row>& rows, double harnessMiB)
{
    std::printf("\n| GIF | operation | Skarvel | reference | ratio | goal | CPU Skarvel / reference | files alone | "
                "Skarvel peak | reference peak | peak goal |\n");
    std::printf("|---|---|---:|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& row : rows) {
        const double ratio = ratioOf(row.ours, row.theirs);
        const bool timeMet = ratio <= row.timeGoal;
        const std::string timeGoal = row.timeGoal > 0 ? std::to_string(row.timeGoal).substr(0, 4) + (timeMet ? " met" : " MISSED") : "-";
        const bool memoryMet = row.memoryGoal <= 0 || row.ours.peakMiB <= row.memoryGoal;
        const std::string files = row.floor.ok ? std::to_string(int(row.floor.seconds * 1000 + 0.5)) + " ms" : "-";
        std::printf("| %s | %s | %.0f ms%s | %s %.0f ms%s | %.2f | %s | %.0f / %.0f ms | %s | %.0f MiB | %.0f MiB | %s%s |\n",
                    row.gif.c_str(), row.what.c_str(), row.ours.seconds * 1000, row.ours.ok ? "" : " (FAILED)",
                    row.reference.c_str(), row.theirs.seconds * 1000, row.theirs.ok ? "" : " (FAILED)", ratio,
                    timeGoal.c_str(), row.ours.cpuSeconds * 1000, row.theirs.cpuSeconds * 1000, files.c_str(), row.ours.peakMiB,
                    row.theirs.peakMiB,
                    row.memoryGoal > 0 ? (std::to_string(int(row.memoryGoal)) + " MiB").c_str() : "-",
                    row.memoryGoal > 0 ? (memoryMet ? " met" : " MISSED") : "");
    }
    std::printf("\nTimes are wall-clock, the best of the runs. The runs of a GIF take turns, round after round, and "
                "the ratio is the median over the rounds of the two runs of one round: a host whose speed drifts "
                "slows both alike. CPU is user + system time of all threads (the "
                "least of the runs). 'Files alone' is the time to create the same number of files of the same sizes "
                "with plain open, write and close: what any tool pays for the file system. Peak memory is each process's peak resident set; every figure includes the "
                "harness's own %.0f MiB (a process that does nothing).\n",
                harnessMiB);
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
    if (argc < 2) {
        std::fprintf(stderr, "usage: skarvel_bench WORK_DIR [--repeat N] [--only NAME] [--opens]\n");
        return 64;
    }
    const QString work = QString::fromLocal8Bit(argv[1]);
    int repeat = 3;
    std::string only;
    bool opensOnly = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--opens") == 0)
            opensOnly = true;
        else if (i + 1 == argc)
            break;
        else if (std::strcmp(argv[i], "--repeat") == 0)
            repeat = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--only") == 0)
            only = argv[++i];
    }
    QDir().mkpath(work);
    Folders folders{work + QStringLiteral("/out")};
    QDir(folders.root).removeRecursively();
    QString out;

    std::printf("%u hardware threads, best of %d runs each\n", std::thread::hardware_concurrency(), repeat);
    const double harnessMiB = inChild([] { return true; }).peakMiB;

    std::vector<Row> rows;
    for (const BenchGif& spec : kGifs) {
        if (!only.empty() && only != spec.name)
            continue;
        const QString path = work + QStringLiteral("/") + QString::fromLatin1(spec.name) + QStringLiteral(".gif");
        if (!QFileInfo::exists(path)) {
            std::printf("writing %s\n", qPrintable(path));
            std::fflush(stdout);
            writeBenchGif(spec, path);
        }
        const double fileMiB = QFileInfo(path).size() / 1048576.0;
        const double memoryGoal = fileMiB + 1.15 * double(spec.pixels()) / 1048576.0 + 50;
        const std::string name = std::string(spec.name) + " (" + std::to_string(int(fileMiB + 0.5)) + " MiB)";
        std::printf("measuring %s\n", name.c_str());
        std::fflush(stdout);

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
        const auto opens = bestInTurns(repeat, {
            {[&] { return inChild([&] { return slurp(path); }); }},
            {[&] { return inChild([&] { return splitInOrder(path); }); }},
            {[&] {
                return inChild([&] {
                    FrameTable table;
                    return SplitGifFrames(path, table) > 0;
                });
            }},
            {twoSlurps},
            // What keeping the file's bytes costs beyond decoding them: the read into memory never
            // touched before, which a split pays and DGifSlurp, reading a buffer at a time, does not.
            {[&] { return inChild([&] { return !ReadWholeFile(path).isEmpty(); }); }},
        });
        const Measure& floor = opens[0];
        const Measure& inOrder = opens[1];
        const Measure& parallel = opens[2];
        const Measure twoAtOnce = shared(opens[3], 0.5);
        rows.push_back({name, "open, one thread", inOrder, "DGifSlurp", floor, 0, memoryGoal});
        rows.push_back({name, "open, all cores", parallel, "DGifSlurp", floor, 0.55, memoryGoal});
        rows.push_back({name, "two DGifSlurp at once, half", twoAtOnce, "DGifSlurp", floor, 0, 0});
        rows.push_back({name, "file read into new memory", opens[4], "DGifSlurp", floor, 0, 0});
        // The least two cores can take for an open that keeps the file's bytes, round by round:
        // the decoding split as two separate processes split it, and half the read beside it.
        rows.push_back({name, "open, all cores", parallel, "floor: two DGifSlurp half + read half",
                        shared(opens[3], 0.5, opens[4], 0.5), 0, 0});
        if (opensOnly)
            continue;

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
        const auto newFolder = [&] { out = folders.next(); };
        // The package's own binary, whatever wrapper may stand first on the PATH.
        const std::string convert = QFileInfo::exists(QStringLiteral("/usr/bin/convert")) ? "/usr/bin/convert" : "convert";
        const auto exports = bestInTurns(repeat, {
            {[&] { return inChild([&] { return writePlainFiles(out, gifSizes); }); }, newFolder},
            {[&] { return inChild([&] { return exportFrames(path, out, FrameFormat::Gif); }); }, newFolder},
            {[&] {
                 return program({"gifsicle", "--no-warnings", "--explode", "--output",
                                 (out + QStringLiteral("/frame")).toStdString(), path.toStdString()});
             },
             newFolder},
            {[&] { return inChild([&] { return writePlainFiles(out, bmpSizes); }); }, newFolder},
            {[&] { return inChild([&] { return exportFrames(path, out, FrameFormat::Bmp); }); }, newFolder},
            {[&] { return program({convert, path.toStdString(), "+adjoin", (out + QStringLiteral("/frame%d.bmp")).toStdString()}); },
             newFolder},
        });
        rows.push_back({name, "GIF export", exports[1], "gifsicle --explode", exports[2], 0.5, 0, exports[0]});
        rows.push_back({name, "open + BMP export", exports[4], "convert +adjoin", exports[5], 0.2, 0, exports[3]});
    }
    QDir(folders.root).removeRecursively();
    printRows(rows, harnessMiB);
    return 0;
}
