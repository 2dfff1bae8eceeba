// Reads that stop early: a file that is no GIF, one beyond the read limit, an open asked to stop;
// the limit at its exact boundary; and files whose size the system does not tell (a stopped save
// is tried in the window's tests).
// What was read is counted by the kernel (/proc/self/io), so a read that goes on past where it
// should is seen, not guessed.
#include "base/RuntimeError.h"
#include "base/StopToken.h"
#include "files/FileIO.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QScopeGuard>

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// Bytes this process has read with read() and its kin so far.
std::int64_t bytesRead()
{
    const QByteArray io = readFile(QStringLiteral("/proc/self/io"));
    return io.mid(io.indexOf("rchar: ") + 7).split('\n').first().toLongLong();
}

} // namespace

TEST(LongRead, FilesAreReadOnlyAsFarAsTheOpenNeeds)
{
    // 64 MiB that are no GIF, 64 MiB of a GIF's open that was stopped before it began, and a GIF
    // beyond the read limit: each is refused having read its first mebibyte at most.
    const ScratchDir dir;
    const auto animation = [](int count) { return GifBuilder(16, 12, distinctColours(8)).patterns(count).build(); };
    // A file of `size` bytes that begins with `head`, the rest a hole: it costs no disk.
    const auto sparse = [&dir](const QString& name, const QByteArray& head, std::int64_t size) {
        QFile file(dir.write(name, head));
        EXPECT_TRUE(file.resize(size));
        return file.fileName();
    };
    const QString zeros = sparse(QStringLiteral("zeri.gif"), {}, std::int64_t(64) << 20);
    const QString stoppedGif = sparse(QStringLiteral("lunga.gif"), animation(4), std::int64_t(64) << 20);
    const QString huge = sparse(QStringLiteral("enorme.gif"), animation(3), ReadLimitBytes() + 1);
    FrameTable table;
    StopToken stopped;
    stopped.requestStop();
    const std::int64_t before = bytesRead();
    EXPECT_EQ(SplitGifFrames(zeros, table), 0);
    EXPECT_EQ(SplitGifFrames(stoppedGif, table, {}, {}, &stopped), -1);
    EXPECT_EQ(SplitGifFrames(huge, table), -1);
    EXPECT_LT(bytesRead() - before, std::int64_t(4) << 20);

    // /proc reports a size of 0 for files that have bytes: they are read to their end. A file,
    // read or split, and such a stream are read at exactly the limit and refused one byte past it.
    EXPECT_TRUE(ReadWholeFile(QStringLiteral("/proc/self/status")).startsWith("Name:"));
    const QByteArray gif = animation(3), stream = readFile(QStringLiteral("/proc/self/cmdline"));
    const QString at = dir.write(QStringLiteral("limite.gif"), gif), past = dir.write(QStringLiteral("oltre.gif"), gif + ';');
    const auto limitAt = [](std::int64_t bytes) { return qScopeGuard([was = SetReadLimitBytes(bytes)] { SetReadLimitBytes(was); }); };
    const auto refused = [](const QString& path) {
        EXPECT_THROW(ReadWholeFile(path), RuntimeError);
        return LastFileFailure().error == kFileTooLarge;
    };
    {
        const auto limit = limitAt(gif.size());
        EXPECT_EQ(std::make_tuple(ReadWholeFile(at), SplitGifFrames(at, table), refused(past), SplitGifFrames(past, table)),
                  std::make_tuple(gif, 2, true, -1));
    }
    for (const qsizetype over : {0, 1}) {
        const auto limit = limitAt(stream.size() - over);
        EXPECT_TRUE(over ? refused(QStringLiteral("/proc/self/cmdline")) : ReadWholeFile(QStringLiteral("/proc/self/cmdline")) == stream) << over;
    }

    // Stopped as the third frame is stored: no frame after it.
    StopToken stop;
    std::size_t last = 0;
    const auto stored = [&](std::size_t index, const Picture&) {
        if ((last = index) == 2)
            stop.requestStop();
    };
    EXPECT_EQ(SplitGifFrames(dir.write(QStringLiteral("anim.gif"), animation(8)), table, stored, {}, &stop), -1);
    EXPECT_EQ(std::make_pair(last, table.frames.size()), std::make_pair(std::size_t(2), std::size_t(3)));
}
