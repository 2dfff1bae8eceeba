#include "FailingExports.h"

#include "BenchGifs.h"

#include <QFileInfo>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace skarvel::bench {

namespace {

// Frames that compress to almost nothing: the files are tiny beside the pictures they hold, so
// that what the export holds of those shows.
const BenchGif kLarge[] = {
    {"flat-400x2000x2000", 400, 2000, 2000, Content::Flat},
    {"flat-200x4096x4096", 200, 4096, 4096, Content::Flat},
    {"flat-4x8192x8192", 4, 8192, 8192, Content::Flat},
};

QString benchFile(const QString& work, const BenchGif& spec)
{
    const QString path = work + QStringLiteral("/") + QString::fromLatin1(spec.name) + QStringLiteral(".gif");
    if (!QFileInfo::exists(path)) {
        std::printf("writing %s\n", qPrintable(path));
        std::fflush(stdout);
        writeBenchGif(spec, path);
    }
    return path;
}

// How an export is run: its options, and a shell line around it ($0 is skarvel-frames, then its
// arguments), which ends by exec'ing it, so that the peak measured is its own.
struct Way {
    const char* what;
    std::vector<std::string> options;
    const char* shell;
    bool failing;
};

const char* const kPlain = "exec \"$0\" \"$@\"";
const char* const kNamed = "SKARVEL_NO_TMPFILE=1 exec \"$0\" \"$@\"";
// A file-size limit below the first frame's file fails it as a full disk would.
const char* const kLimited = "ulimit -f 1; exec \"$0\" \"$@\"";
// A real full file system, where the bench may mount one (as root, with mount namespaces).
const char* const kFull = "eval \"out=\\${$#}\"; mount -t tmpfs -o size=2m none \"$out\" && exec \"$0\" \"$@\"";

bool canMountFull()
{
    return ::geteuid() == 0 && std::system("unshare -m true 2>/dev/null") == 0;
}

} // namespace

std::vector<Row> measureFailingExports(const std::string& cli, const QString& work, Folders& folders, int repeat,
                                      const std::string& only)
{
    const bool full = canMountFull();
    const std::vector<std::vector<Way>> ways = {
        {{"export --format bmp", {"--format", "bmp"}, kPlain, false},
         {"export --format bmp, named temporaries", {"--format", "bmp"}, kNamed, false},
         {"export --format bmp, failing at once", {"--format", "bmp"}, kLimited, true},
         {"export --format bmp, named, failing at once", {"--format", "bmp"}, kNamed, true},
         {"export --format bmp into a full file system", {"--format", "bmp"}, kFull, true},
         {"export --format png into a full file system", {"--format", "png"}, kFull, true}},
        {{"export --format png --composed, failing at once", {"--format", "png", "--composed"}, kLimited, true},
         {"export --format png --composed into a full file system", {"--format", "png", "--composed"}, kFull, true}},
        {{"export --format png --composed", {"--format", "png", "--composed"}, kPlain, false},
         {"export --format bmp --composed", {"--format", "bmp", "--composed"}, kPlain, false}},
    };
    std::vector<Row> rows;
    for (std::size_t g = 0; g < std::size(kLarge); ++g) {
        if (!only.empty() && only != kLarge[g].name)
            continue;
        const QString path = benchFile(work, kLarge[g]);
        const std::string name = std::string(kLarge[g].name) + " ("
                                 + std::to_string(int(QFileInfo(path).size() / 1048576.0 + 0.5)) + " MiB)";
        std::printf("measuring %s\n", name.c_str());
        std::fflush(stdout);
        QString out;
        std::vector<Run> runs;
        std::vector<const Way*> measured;
        for (const Way& way : ways[g]) {
            if (way.shell == kFull && !full)
                continue;
            // With a limit, "sh -c" would be limited too: the named way takes its own line.
            const std::string shell = way.failing && way.shell == kNamed
                                          ? std::string("ulimit -f 1; ") + kNamed
                                          : std::string(way.shell);
            std::vector<std::string> command = way.shell == kFull ? std::vector<std::string>{"unshare", "-m"}
                                                                  : std::vector<std::string>{};
            command.insert(command.end(), {"sh", "-c", shell, cli, "export"});
            command.insert(command.end(), way.options.begin(), way.options.end());
            runs.push_back({[command, &out, &path] {
                                std::vector<std::string> line = command;
                                line.push_back(path.toStdString());
                                line.push_back(out.toStdString());
                                return program(line);
                            },
                            [&] { out = folders.next(); }});
            measured.push_back(&way);
        }
        const std::vector<Measure> m = bestInTurns(repeat, runs);
        const double fileMiB = QFileInfo(path).size() / 1048576.0;
        // A composed export holds one canvas of 4 bytes a pixel, and the file being written, at
        // most 3 bytes a pixel, beside what any export holds.
        const double screenMiB = double(kLarge[g].width) * kLarge[g].height / 1048576.0;
        for (std::size_t i = 0; i < m.size(); ++i) {
            const bool composed = measured[i]->options.back() == "--composed";
            const double goal = fileMiB + 128 + (composed ? 7 * screenMiB : 0);
            Measure ours = m[i];
            // A failure that is meant is success here, but only with the exit status of a failed save.
            if (measured[i]->failing)
                ours.ok = ours.exitCode == 3;
            const bool named = measured[i]->shell == kNamed && !measured[i]->failing;
            rows.push_back({name, "skarvel-frames " + std::string(measured[i]->what), ours,
                            named ? "the same into unnamed files" : "", named ? m[0] : Measure{}, named ? 1.3 : 0,
                            goal});
        }
    }
    return rows;
}

} // namespace skarvel::bench
