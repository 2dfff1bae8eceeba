// A frame that claims a gigantic size must be refused on its word, before anything of that size
// is allocated.
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface (g++ ships the runtime without the header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));
#endif

using namespace skarvel;
using namespace skarvel::test;

namespace {

QByteArray threeFrames()
{
    GifBuilder builder(8, 8, distinctColours(4));
    builder.loopExtension(); // every control then follows a block terminator
    for (int i = 0; i < 3; ++i)
        builder.image(GifBuilder::pattern(8, 8, 4, i));
    return builder.build();
}

// Makes frame `index`'s Image Descriptor claim 65535 x 65535 pixels: 4 GiB, if it were believed.
QByteArray withBomb(int index)
{
    QByteArray gif = threeFrames();
    qsizetype at = -3;
    for (int i = 0; i <= index; ++i)
        at = gif.indexOf(QByteArray("\x00\x21\xF9", 3), at + 3);
    const qsizetype descriptor = at + 9;
    EXPECT_EQ(gif[descriptor], ',');
    for (int i = 5; i < 9; ++i)
        gif[descriptor + i] = char(0xFF);
    return gif;
}

struct Outcome {
    std::int32_t result = -2;
    std::size_t frames = 0;
    std::int64_t largestAllocation = -1; // when it can be watched
};

#if defined(__SANITIZE_ADDRESS__)

std::atomic<std::size_t> g_largest{0};

void watchAllocation(const volatile void*, std::size_t size)
{
    std::size_t seen = g_largest.load();
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
    }
}

void forgetFree(const volatile void*) {}

// The sanitizer's allocator tells every allocation: keep the largest.
Outcome splitWatched(const QByteArray& gif)
{
    static const int installed = __sanitizer_install_malloc_and_free_hooks(watchAllocation, forgetFree);
    EXPECT_NE(installed, 0);
    g_largest = 0;
    FrameTable table;
    Outcome outcome;
    outcome.result = SplitGifBytes(gif, table, PictureLimits::kSplitBudgetBytes, 2);
    outcome.frames = table.frames.size();
    outcome.largestAllocation = std::int64_t(g_largest.load());
    return outcome;
}

#else

std::int64_t virtualBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::int64_t pages = 0;
    statm >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

// In a child whose address space has room for 512 MiB more and no more: an allocation of the
// claimed size would fail there, and the split would answer that it ran out of memory.
Outcome splitWatched(const QByteArray& gif)
{
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const rlimit limit{rlim_t(virtualBytes() + (std::int64_t(512) << 20)), RLIM_INFINITY};
        setrlimit(RLIMIT_AS, &limit);
        FrameTable table;
        const std::int32_t answer[2] = {SplitGifBytes(gif, table, PictureLimits::kSplitBudgetBytes, 2),
                                        std::int32_t(table.frames.size())};
        const bool written = write(pipeEnds[1], answer, sizeof answer) == sizeof answer;
        _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::int32_t answer[2] = {-2, 0};
    EXPECT_EQ(read(pipeEnds[0], answer, sizeof answer), ssize_t(sizeof answer));
    close(pipeEnds[0]);
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return {answer[0], std::size_t(answer[1])};
}

#endif

} // namespace

TEST(MemoryLimits, AGiganticFrameIsRefusedOnItsWord)
{
    // As the last frame it is not a readable picture, so it is dropped; running out of memory
    // would have failed the whole split instead.
    Outcome last = splitWatched(withBomb(2));
    EXPECT_EQ(last.result, 1);
    EXPECT_EQ(last.frames, 2u);
    // In the middle it fails the split, with the frame before it stored.
    Outcome middle = splitWatched(withBomb(1));
    EXPECT_EQ(middle.result, -1);
    EXPECT_EQ(middle.frames, 1u);
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(last.largestAllocation, std::int64_t(1) << 20);
    EXPECT_LT(middle.largestAllocation, std::int64_t(1) << 20);
#endif
}
