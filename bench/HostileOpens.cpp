#include "HostileOpens.h"

#include "support/GifBuilder.h"
#include "support/HostileGifs.h"

#include "frames/SplitGifFrames.h"

#include <QFile>
#include <QFileInfo>

#include <sched.h>

#include <cstdio>
#include <functional>

namespace skarvel::bench {

namespace {

using test::GifBuilder;

// A frame of one pixel, then one that cannot be decoded (a byte no block starts with in front of
// its image), then 20 frames of 4096 x 4096: the open fails at the second frame, and must not wait
// for large frames decoded ahead first.
QByteArray failsAfterOne()
{
    GifBuilder builder(4096, 4096, test::distinctColours(2));
    builder.image(GifBuilder::solid(1, 1, 1)).image(GifBuilder::solid(1, 1, 1));
    for (int i = 0; i < 20; ++i)
        builder.image(GifBuilder::solid(4096, 4096, std::uint8_t(i % 2)));
    QByteArray gif = builder.build();
    const QByteArray separator("\x00\x21\xF9", 3);
    return gif.insert(gif.indexOf(separator, gif.indexOf(separator) + 3) + 9, '\x99');
}

struct HostileGif {
    const char* name;
    std::function<QByteArray()> make;
    std::int32_t result; // what the open answers
};

const HostileGif kHostile[] = {
    {"hidden-80x4096", [] { return test::framesHidingImages(80, 4096); }, 79},
    {"hidden-1000x4096", [] { return test::framesHidingImages(1000, 4096); }, 999},
    {"fails-after-one", failsAfterOne, -1},
};

// The open of `path` in a process of its own, on the first core alone or on all.
Measure open(const QString& path, bool oneCore, std::int32_t result)
{
    return inChild([&] {
        if (oneCore) {
            cpu_set_t first;
            CPU_ZERO(&first);
            CPU_SET(0, &first);
            if (::sched_setaffinity(0, sizeof first, &first) != 0)
                return false;
        }
        FrameTable table;
        return SplitGifFrames(path, table) == result;
    });
}

} // namespace

std::vector<Row> measureHostileOpens(const QString& work, int repeat, const std::string& only)
{
    std::vector<Row> rows;
    for (const HostileGif& gif : kHostile) {
        if (!only.empty() && only != gif.name)
            continue;
        const QString path = work + QStringLiteral("/") + QString::fromLatin1(gif.name) + QStringLiteral(".gif");
        if (!QFileInfo::exists(path)) {
            QFile file(path);
            const QByteArray bytes = gif.make();
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                continue;
        }
        const std::string name = std::string(gif.name) + " (" + std::to_string(QFileInfo(path).size() / 1024) + " KiB)";
        std::printf("measuring %s\n", name.c_str());
        std::fflush(stdout);
        const std::vector<Measure> m = bestInTurns(repeat, {{[&] { return open(path, true, gif.result); }},
                                                            {[&] { return open(path, false, gif.result); }}});
        rows.push_back({name, "hostile open, all cores", m[1], "one core", m[0], 1.5, 0});
    }
    return rows;
}

} // namespace skarvel::bench
