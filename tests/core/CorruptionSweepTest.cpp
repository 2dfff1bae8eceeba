// Every prefix and a thousand seeded corruptions of the fixtures: the split never
// crashes or leaks, and comes to the same on one thread and on several. Run where the sanitizers
// watch (the asan preset) and nowhere else: their findings are the point.
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
    constexpr std::int64_t kBudget = std::int64_t(4) << 20; // small enough that corrupted sizes meet it
    std::mt19937 random(20240611u);
    FrameTable table;
    for (const QString& name : QDir(fixture(QString())).entryList({QStringLiteral("*.gif")})) {
        const QByteArray gif = readFile(fixture(name));
        for (qsizetype length = 0; length <= gif.size() && !HasFailure(); length += 1 + length / 64)
            splitBothWays(gif.left(length), table, kBudget);
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
            splitBothWays(bad, table, kBudget);
        }
    }
}
#endif
