// Every prefix and thousands of seeded corruptions of real GIFs: the split never crashes or leaks
// (the asan preset watches), answers -1, 0 or n with n + 1 well-formed frames, and comes to the
// same on one thread and on several.
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/SplitCheck.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <random>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// Small enough that corrupted sizes meet it now and then.
constexpr std::int64_t kBudget = std::int64_t(4) << 20;
constexpr int kCorruptions = 700;

QByteArray built()
{
    GifBuilder builder(40, 30, distinctColours(32));
    builder.loopExtension();
    for (int i = 0; i < 6; ++i) {
        ImageSpec spec = GifBuilder::pattern(10 + 5 * i, 8 + 3 * i, 32, i);
        spec.left = i;
        spec.top = 2 * i;
        spec.interlaced = i % 2 == 1;
        spec.commentBeforeImage = i == 3;
        if (i == 4)
            spec.localColours = distinctColours(8);
        spec.control = GraphicControl{i % 4, 3 * i, i == 2 ? 5 : -1};
        builder.image(spec);
    }
    return builder.build();
}

QByteArray sample(const std::string& name)
{
    if (name == "built")
        return built();
    return readFile(fixture(QString::fromStdString(name)));
}

// The split on one thread and on two; false after the first difference or broken promise.
bool checkSplit(const QByteArray& data, const std::string& what)
{
    FrameTable inOrder;
    FrameTable parallel;
    const std::int32_t result = SplitGifBytes(data, inOrder, kBudget, 1);
    const std::int32_t other = SplitGifBytes(data, parallel, kBudget, 2);
    const auto promises = keepsItsPromises(data, result, inOrder);
    EXPECT_TRUE(promises) << what;
    const auto same = sameSplit(result, inOrder, other, parallel);
    EXPECT_TRUE(same) << what;
    return promises && same;
}

class CorruptionSweep : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(CorruptionSweep, EveryPrefix)
{
    const QByteArray gif = sample(GetParam());
    for (qsizetype length = 0; length <= gif.size(); ++length) {
        if (!checkSplit(gif.left(length), "prefix of " + std::to_string(length) + " bytes"))
            return;
    }
}

TEST_P(CorruptionSweep, SeededByteAndBurstCorruptions)
{
    const QByteArray gif = sample(GetParam());
    std::mt19937 random(20240611u + std::uint32_t(gif.size()));
    auto below = [&](qsizetype n) { return qsizetype(random() % std::uint32_t(n)); };
    std::array<int, 4> outcomes{}; // -1, 0, dropped last frame or fewer, all frames
    FrameTable whole;
    const std::int32_t wholeResult = SplitGifBytes(gif, whole, kBudget, 1);
    ASSERT_GE(wholeResult, 1);

    for (int round = 0; round < kCorruptions; ++round) {
        QByteArray bad = gif;
        const qsizetype at = below(bad.size());
        std::string what;
        switch (round % 4) {
        case 0: // one byte
            bad[at] = char(random());
            what = "byte " + std::to_string(at);
            break;
        case 1: { // a burst of random bytes
            const qsizetype length = std::min<qsizetype>(1 + below(24), bad.size() - at);
            for (qsizetype i = 0; i < length; ++i)
                bad[at + i] = char(random());
            what = "burst at " + std::to_string(at);
            break;
        }
        case 2: { // a burst of one value, the kind a damaged disk or transfer leaves
            const qsizetype length = std::min<qsizetype>(1 + below(64), bad.size() - at);
            bad.replace(at, length, QByteArray(length, random() % 2 ? char(0xFF) : char(0)));
            what = "fill at " + std::to_string(at);
            break;
        }
        default: // a separator where none belongs
            bad.insert(at, QByteArray("\x00\x21\xF9", 3));
            what = "separator at " + std::to_string(at);
            break;
        }
        FrameTable table;
        const std::int32_t result = SplitGifBytes(bad, table, kBudget, 1);
        ++outcomes[result < 1 ? std::size_t(result + 1) : result < wholeResult ? 2 : 3];
        if (!checkSplit(bad, what))
            return;
    }
    // The corruptions reach failures, dropped frames and whole splits alike: the sweep does not
    // just bounce off the header.
    EXPECT_GT(outcomes[0], 0);
    EXPECT_GT(outcomes[2], 0);
    EXPECT_GT(outcomes[3], 0);
}

INSTANTIATE_TEST_SUITE_P(Files, CorruptionSweep,
                         ::testing::Values("built", "magick_plain.gif", "magick_interlaced.gif", "magick_offsets.gif",
                                           "gifsicle_optimised.gif", "gifsicle_background.gif"),
                         [](const auto& info) {
                             std::string name = info.param.substr(0, info.param.find('.'));
                             return name;
                         });
