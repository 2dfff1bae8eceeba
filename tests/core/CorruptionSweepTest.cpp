// Every prefix and a thousand seeded corruptions of a built GIF and of the fixtures: the split never
// crashes or leaks, and comes to the same on one thread and on several. Run where the sanitizers
// watch (the asan preset) and nowhere else: their findings are the point.
#include "support/GifBuilder.h"
#include "support/SplitCheck.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <random>

using namespace skarvel;
using namespace skarvel::test;

#ifdef __SANITIZE_ADDRESS__
TEST(CorruptionSweep, EveryPrefixAndSeededCorruptions)
{
    GifBuilder builder(40, 30, distinctColours(32));
    builder.loopExtension();
    for (int i = 0; i < 6; ++i) {
        ImageSpec spec = GifBuilder::pattern(10 + 5 * i, 8 + 3 * i, 32, i);
        spec.interlaced = i % 2 == 1;
        spec.commentBeforeImage = i == 3;
        spec.localColours = i == 4 ? distinctColours(8) : std::vector<Rgb>{};
        spec.control = GraphicControl{i % 4, 3 * i, i == 2 ? 5 : -1};
        builder.image(spec);
    }
    std::vector<QByteArray> samples = {builder.build()};
    for (const QString& name : QDir(fixture(QString())).entryList({QStringLiteral("*.gif")}))
        samples.push_back(readFile(fixture(name)));
    constexpr std::int64_t kBudget = std::int64_t(4) << 20; // small enough that corrupted sizes meet it
    std::mt19937 random(20240611u);
    std::array<int, 3> outcomes{}; // failed, fewer frames, all frames
    FrameTable table;
    for (const QByteArray& gif : samples) {
        for (qsizetype length = 0; length <= gif.size() && !HasFailure(); length += 1 + length / 64)
            splitBothWays(gif.left(length), table, kBudget);
        const std::int32_t whole = splitBothWays(gif, table, kBudget);
        for (int round = 0; round < 200 && !HasFailure(); ++round) {
            QByteArray bad = gif;
            const qsizetype at = qsizetype(random() % std::uint32_t(gif.size()));
            // A changed byte, a burst of one value (the kind a damaged disk or transfer leaves), a
            // separator put in.
            const qsizetype length = std::min<qsizetype>(1 + random() % 64, bad.size() - at);
            if (round % 3 == 0)
                bad[at] = char(random());
            else if (round % 3 == 1)
                bad.replace(at, length, QByteArray(length, char(random() % 2 ? 0xFF : 0)));
            else
                bad.insert(at, QByteArray("\x00\x21\xF9", 3));
            const std::int32_t result = splitBothWays(bad, table, kBudget);
            ++outcomes[result < 1 ? 0 : result < whole ? 1 : 2];
        }
    }
    // The corruptions reach failures, dropped frames and whole splits alike.
    EXPECT_GT(outcomes[0] * outcomes[1] * outcomes[2], 0);
}
#endif
