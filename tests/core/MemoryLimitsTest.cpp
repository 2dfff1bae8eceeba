// A frame that claims a gigantic size must be refused on its word, before anything of that size
// is allocated.
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <fstream>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// Three frames behind a loop extension, frame `index`'s Image Descriptor claiming 65535 x 65535
// pixels: 4 GiB, if it were believed.
QByteArray withBomb(int index)
{
    GifBuilder builder(8, 8, distinctColours(4));
    builder.loopExtension();
    for (int i = 0; i < 3; ++i)
        builder.image(GifBuilder::pattern(8, 8, 4, i));
    QByteArray gif = builder.build();
    qsizetype at = -3;
    for (int i = 0; i <= index; ++i)
        at = gif.indexOf(QByteArray("\x00\x21\xF9", 3), at + 3);
    EXPECT_EQ(gif[at + 9], ',');
    gif.replace(at + 9 + 5, 4, QByteArray(4, char(0xFF)));
    return gif;
}

// The split's result and frame count, in a child whose address space has room for 512 MiB more
// and no more: an allocation of the claimed size would fail there (under the sanitizers, abort the
// child), and the split would answer that it ran out of memory.
std::array<std::int32_t, 2> splitConfined(const QByteArray& gif)
{
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        std::int64_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit limit{rlim_t(pages * sysconf(_SC_PAGESIZE) + (std::int64_t(512) << 20)), RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
        FrameTable table;
        const std::int32_t answer[2] = {SplitGifBytes(gif, table, PictureLimits::kSplitBudgetBytes, 2),
                                        std::int32_t(table.frames.size())};
        _exit(write(pipeEnds[1], answer, sizeof answer) == sizeof answer ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::array<std::int32_t, 2> answer{-2, 0};
    EXPECT_EQ(read(pipeEnds[0], answer.data(), sizeof answer), ssize_t(sizeof answer));
    close(pipeEnds[0]);
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return answer;
}

} // namespace

TEST(MemoryLimits, AGiganticFrameIsRefusedOnItsWord)
{
    // As the last frame it is not a readable picture, so it is dropped; running out of memory
    // would have failed the whole split instead.
    EXPECT_EQ(splitConfined(withBomb(2)), (std::array<std::int32_t, 2>{1, 2}));
    // In the middle it fails the split, with the frame before it stored.
    EXPECT_EQ(splitConfined(withBomb(1)), (std::array<std::int32_t, 2>{-1, 1}));
}
