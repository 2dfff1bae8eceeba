// Decoding frame images on several threads must come to exactly what one thread comes to
// (splitBothWays checks that in every case here), and no claim of a frame may cost memory before
// the budget has allowed it.
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/SplitCheck.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// `count` frames of varied sizes and content; a comment before each image when `commented`
// hides the image size from anything that does not decode the frame.
QByteArray manyFrames(int count, bool commented = false)
{
    GifBuilder builder(64, 48, distinctColours(16));
    builder.loopExtension();
    for (int i = 0; i < count; ++i) {
        ImageSpec spec = GifBuilder::pattern(8 + i % 50, 4 + i % 40, 16, i);
        spec.control = GraphicControl{i % 4, i % 9};
        spec.interlaced = i % 3 == 0;
        spec.commentBeforeImage = commented;
        builder.image(spec);
    }
    return builder.build();
}

qsizetype separator(const QByteArray& gif, int index)
{
    qsizetype at = -3;
    for (int i = 0; i <= index; ++i)
        at = gif.indexOf(QByteArray("\x00\x21\xF9", 3), at + 3);
    return at;
}

// Ends frame `index`'s LZW data at once: an empty sub-block where its first one begins.
QByteArray breakFrame(QByteArray gif, int index)
{
    const qsizetype at = separator(gif, index) + 9 + (gif[separator(gif, index) + 9] == '!' ? 9 : 0);
    EXPECT_EQ(gif[at], ',');
    gif[at + 11] = 0;
    return gif;
}

// What the pictures of the first `count` frames cost.
std::int64_t costOf(const FrameTable& table, int count)
{
    std::int64_t bytes = 0;
    for (int i = 0; i < count; ++i)
        bytes += FrameCost(table.frames[i].FramePicture.pixelWidth(), table.frames[i].FramePicture.pixelHeight(), false);
    return bytes;
}

} // namespace

TEST(ParallelSplit, FailureRulesHoldWhateverTheThreadsDecodedAhead)
{
    // Far more frames than the threads look ahead, so that the window turns many times.
    const QByteArray gif = manyFrames(150);
    FrameTable table;
    ASSERT_EQ(splitBothWays(gif, table), 149);
    // A broken middle frame: -1 with exactly the frames before it, though later ones were decoded.
    EXPECT_EQ(splitBothWays(breakFrame(gif, 17), table), -1);
    EXPECT_EQ(table.frames.size(), 17u);
    EXPECT_EQ(splitBothWays(breakFrame(gif, 0), table), -1);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(splitBothWays(breakFrame(gif, 149), table), 148);
    // A file that is nothing but separators fails at its first frame.
    EXPECT_EQ(splitBothWays(gif.left(13 + 48) + QByteArray("\x00\x21\xF9", 3).repeated(5000), table), -1);
}

TEST(ParallelSplit, BudgetRefusalsFallOnTheSameFrame)
{
    FrameTable all, table;
    // Sizes declared in plain frames are summed up front: a file whose frames but the last declare
    // more than the budget is refused with nothing decoded. The last counts when its turn comes.
    const QByteArray plain = manyFrames(30);
    ASSERT_EQ(splitBothWays(plain, all), 29);
    EXPECT_EQ(splitBothWays(plain, table, costOf(all, 29) - 1), -1);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(splitBothWays(plain, table, costOf(all, 29)), -1);
    EXPECT_EQ(table.frames.size(), 29u);
    EXPECT_EQ(splitBothWays(plain, table, costOf(all, 30)), 29);

    // Sizes hidden behind comments are met while frames are made, some ahead of their turn.
    const QByteArray gif = manyFrames(30, true);
    EXPECT_EQ(splitBothWays(gif, table, costOf(all, 13) - 1), -1);
    EXPECT_EQ(table.frames.size(), 12u);
    // The last frame over the budget is a refusal, not a drop, even when it is broken too.
    const QByteArray brokenLast = breakFrame(gif, 29);
    EXPECT_EQ(splitBothWays(brokenLast, table, costOf(all, 29)), -1);
    EXPECT_EQ(splitBothWays(brokenLast, table, costOf(all, 30)), 28);
}

TEST(ParallelSplit, BeyondTheListedChunksTheCutGoesOn)
{
    // More frames than the splitter keeps in its list of chunks: the rest are cut as they come.
    const QByteArray head = GifBuilder(1, 1, distinctColours(2)).loopExtension().image(GifBuilder::solid(1, 1, 1)).build();
    const qsizetype first = head.indexOf(QByteArray("\x00\x21\xF9", 3));
    const int count = (1 << 16) + 300;
    const QByteArray gif = head.left(first) + head.mid(first, head.size() - 1 - first).repeated(count) + ';';
    FrameTable inOrder, parallel;
    ASSERT_EQ(SplitGifBytes(gif, inOrder, PictureLimits::kSplitBudgetBytes, 1), count - 1);
    ASSERT_EQ(SplitGifBytes(gif, parallel, PictureLimits::kSplitBudgetBytes, 2), count - 1);
    EXPECT_TRUE(sameSplit(count - 1, inOrder, count - 1, parallel));
    EXPECT_EQ(inOrder.frames.back().chunkEnd, gif.size());
}

TEST(MemoryLimits, AGiganticFrameIsRefusedOnItsWord)
{
    // Frame `index` of three claims 65535 x 65535 pixels. Split in a child whose address space has
    // room for 512 MiB more: believing the claim would fail there.
    const auto splitConfined = [](int index) {
        QByteArray gif = manyFrames(3);
        gif.replace(separator(gif, index) + 9 + 5, 4, QByteArray(4, char(0xFF)));
        int ends[2];
        EXPECT_EQ(pipe(ends), 0);
        if (fork() == 0) {
            std::int64_t pages = 0;
            std::ifstream("/proc/self/statm") >> pages;
            const rlimit limit{rlim_t(pages * sysconf(_SC_PAGESIZE) + (std::int64_t(512) << 20)), RLIM_INFINITY};
            setrlimit(RLIMIT_AS, &limit);
            FrameTable table;
            const std::int32_t answer[2] = {SplitGifBytes(gif, table, PictureLimits::kSplitBudgetBytes, 2),
                                            std::int32_t(table.frames.size())};
            _exit(write(ends[1], answer, sizeof answer) == sizeof answer ? 0 : 1);
        }
        close(ends[1]);
        std::int32_t answer[2] = {-2, 0};
        EXPECT_EQ(read(ends[0], answer, sizeof answer), ssize_t(sizeof answer));
        close(ends[0]);
        int status = 0;
        wait(&status);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return std::pair(answer[0], answer[1]);
    };
    // As the last frame it is not a readable picture, so it is dropped; in the middle it fails the
    // split with the frame before it stored.
    EXPECT_EQ(splitConfined(2), std::pair(1, 2));
    EXPECT_EQ(splitConfined(1), std::pair(-1, 1));
}
