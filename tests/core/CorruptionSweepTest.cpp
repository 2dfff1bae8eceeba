// GIFs from other encoders against giflib's reading of them; then every prefix and thousands of
// seeded corruptions of those and of a built GIF: the split never crashes or leaks (the asan
// preset watches), answers -1, 0 or n with n + 1 well-formed frames, and comes to the same on one
// thread and on several.
#include "frames/ExportGifFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/SplitCheck.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <random>

using namespace skarvel;
using namespace skarvel::test;

TEST(Fixtures, SplitAndExportLikeGiflibReadsThem)
{
    const QStringList names = QDir(fixture(QString())).entryList({QStringLiteral("*.gif")});
    ASSERT_EQ(names.size(), 5);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = fixture(name);
        const auto oracle = slurpGif(readFile(path));
        ASSERT_TRUE(oracle);
        FrameTable table;
        ASSERT_EQ(SplitGifFrames(path, table), std::int32_t(oracle->images.size()) - 1);
        EXPECT_EQ(table.GifWidth, oracle->width);
        EXPECT_EQ(table.GifHeight, oracle->height);
        for (std::size_t i = 0; i < oracle->images.size(); ++i) {
            const SlurpedImage& image = oracle->images[i];
            const FrameEntry& frame = table.frames[i];
            ASSERT_TRUE(image.hasControl);
            EXPECT_TRUE(samePicture(frame.FramePicture.image(), image)) << i;
            EXPECT_EQ(frame.FrameDelay, image.delay ? image.delay * 10 : 100) << i;
            EXPECT_EQ(frame.FrameClear, image.packed != 4 && image.packed != 5) << i;
            EXPECT_EQ(frame.FrameLeft, image.left) << i;
            EXPECT_EQ(frame.FrameTop, image.top) << i;
        }
        const ScratchDir out;
        ASSERT_TRUE(ExportGifFrames(out.file(QStringLiteral("f")), table));
        for (std::size_t i = 0; i < table.frames.size(); ++i) {
            const auto exported = slurpGif(readFile(out.file(QStringLiteral("f%1.gif").arg(i))));
            ASSERT_TRUE(exported) << i;
            EXPECT_TRUE(samePicture(table.frames[i].FramePicture.image(), exported->images[0])) << i;
        }
    }
}

namespace {

// Small enough that corrupted sizes meet it now and then.
constexpr std::int64_t kBudget = std::int64_t(4) << 20;
constexpr int kCorruptions = 700;

QByteArray sample(const std::string& name)
{
    if (name != "built")
        return readFile(fixture(QString::fromStdString(name)));
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

class CorruptionSweep : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(CorruptionSweep, EveryPrefix)
{
    const QByteArray gif = sample(GetParam());
    FrameTable table;
    for (qsizetype length = 0; length <= gif.size() && !HasFailure(); ++length)
        splitBothWays(gif.left(length), table, kBudget);
}

TEST_P(CorruptionSweep, SeededByteAndBurstCorruptions)
{
    const QByteArray gif = sample(GetParam());
    std::mt19937 random(20240611u + std::uint32_t(gif.size()));
    auto below = [&](qsizetype n) { return qsizetype(random() % std::uint32_t(n)); };
    std::array<int, 4> outcomes{}; // -1, 0, dropped last frame or fewer, all frames
    FrameTable table;
    const std::int32_t wholeResult = SplitGifBytes(gif, table, kBudget, 1);
    ASSERT_GE(wholeResult, 1);

    for (int round = 0; round < kCorruptions && !HasFailure(); ++round) {
        QByteArray bad = gif;
        const qsizetype at = below(bad.size());
        const char* what[] = {"byte", "burst", "fill", "separator"};
        switch (round % 4) {
        case 0: // one byte
            bad[at] = char(random());
            break;
        case 1: // a burst of random bytes
            for (qsizetype i = 0, length = std::min<qsizetype>(1 + below(24), bad.size() - at); i < length; ++i)
                bad[at + i] = char(random());
            break;
        case 2: { // a burst of one value, the kind a damaged disk or transfer leaves
            const qsizetype length = std::min<qsizetype>(1 + below(64), bad.size() - at);
            bad.replace(at, length, QByteArray(length, random() % 2 ? char(0xFF) : char(0)));
            break;
        }
        default: // a separator where none belongs
            bad.insert(at, QByteArray("\x00\x21\xF9", 3));
            break;
        }
        SCOPED_TRACE(std::string(what[round % 4]) + " at " + std::to_string(at));
        const std::int32_t result = splitBothWays(bad, table, kBudget);
        ++outcomes[result < 1 ? std::size_t(result + 1) : result < wholeResult ? 2 : 3];
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
                         [](const auto& info) { return info.param.substr(0, info.param.find('.')); });
