// Reads that stop early: a file that is no GIF, one beyond the read limit, an open or a save asked
// to stop; and files whose size the system does not tell. What was read is counted by the kernel
// (/proc/self/io), so a read that goes on past where it should is seen, not guessed.
#include "base/StopToken.h"
#include "files/FileIO.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// Bytes this process has read with read() and its kin so far.
std::int64_t bytesRead()
{
    const QByteArray io = readFile(QStringLiteral("/proc/self/io"));
    const qsizetype at = io.indexOf("rchar: ");
    return at < 0 ? -1 : io.mid(at + 7, io.indexOf('\n', at) - at - 7).toLongLong();
}

// A file of `size` bytes that begins with `head`, the rest a hole: it costs no disk.
QString sparse(const ScratchDir& dir, const QString& name, const QByteArray& head, std::int64_t size)
{
    QFile file(dir.write(name, head));
    EXPECT_TRUE(file.resize(size));
    return file.fileName();
}

constexpr std::int64_t kFewMiB = std::int64_t(4) << 20;

QByteArray animation(int count)
{
    GifBuilder gif(16, 12, distinctColours(8));
    for (int i = 0; i < count; ++i)
        gif.image(GifBuilder::pattern(16, 12, 8, i));
    return gif.build();
}

} // namespace

TEST(LongRead, NoGifAndTooLargeFilesAreRefusedAfterTheirFirstBytes)
{
    const ScratchDir dir;
    // 64 MiB that are no GIF: refused as such, having read a piece of it.
    const QString zeros = sparse(dir, QStringLiteral("zeri.gif"), QByteArray(), std::int64_t(64) << 20);
    FrameTable table;
    std::int64_t before = bytesRead();
    EXPECT_EQ(SplitGifFrames(zeros, table), 0);
    EXPECT_LT(bytesRead() - before, kFewMiB);

    // Beyond the limit: refused for its size, after its first piece only; a reader that refuses
    // that piece is told it and nothing more.
    const QString huge = sparse(dir, QStringLiteral("enorme.gif"), animation(3), ReadLimitBytes() + 1);
    before = bytesRead();
    EXPECT_EQ(SplitGifFrames(huge, table), -1);
    EXPECT_EQ(LastFileFailure().error, kFileTooLarge);
    EXPECT_THROW(ReadWholeFile(huge), std::exception);
    QByteArray data;
    std::vector<qsizetype> told;
    ReadWholeFile(huge, data, [&](QByteArrayView soFar) {
        told.push_back(soFar.size());
        return false;
    });
    EXPECT_LT(bytesRead() - before, kFewMiB);
    EXPECT_EQ(told, std::vector<qsizetype>{data.size()});
    EXPECT_TRUE(data.startsWith("GIF89a"));

    // The limit is the smaller of 2 GiB and half the memory; a file of it exactly is read.
    const std::int64_t memory = std::int64_t(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
    EXPECT_EQ(ReadLimitBytes(), std::min(kMaxReadBytes, memory / 2));
}

TEST(LongRead, FilesOfNoReportedSizeAreReadToTheirEnd)
{
    // /proc reports a size of 0 for files that have bytes.
    const QByteArray status = ReadWholeFile(QStringLiteral("/proc/self/status"));
    EXPECT_TRUE(status.startsWith("Name:") && status.contains("\nVmRSS:")) << status.left(40).toStdString();
    FrameTable table;
    EXPECT_EQ(SplitGifFrames(QStringLiteral("/proc/self/status"), table), 0);
    // Asked after each piece, such a read can be stopped too.
    QByteArray data;
    int asked = 0;
    ReadWholeFile(QStringLiteral("/proc/self/status"), data, [&](QByteArrayView soFar) { return soFar.isEmpty() && ++asked < 0; });
    EXPECT_TRUE(asked == 1 && data.startsWith("Name:")) << asked;
}

TEST(LongRead, AStoppedOpenEndsWhileReadingOrBetweenFrames)
{
    const ScratchDir dir;
    // Stopped before it began: it reads no more than its first piece of a long file.
    const QString longFile = sparse(dir, QStringLiteral("lunga.gif"), animation(4), std::int64_t(64) << 20);
    FrameTable table;
    StopToken stopped;
    stopped.requestStop();
    const std::int64_t before = bytesRead();
    EXPECT_EQ(SplitGifFrames(longFile, table, {}, {}, &stopped), -1);
    EXPECT_LT(bytesRead() - before, kFewMiB);

    // Stopped as the third frame is stored: no frame after it.
    const QString gif = dir.write(QStringLiteral("anim.gif"), animation(8));
    StopToken stop;
    std::size_t last = 0;
    const auto stored = [&](std::size_t index, const Picture&) {
        last = index;
        if (index == 2)
            stop.requestStop();
    };
    EXPECT_EQ(SplitGifFrames(gif, table, stored, {}, &stop), -1);
    EXPECT_EQ(std::make_pair(last, table.frames.size()), std::make_pair(std::size_t(2), std::size_t(3)));
    EXPECT_EQ(SplitGifFrames(gif, table, stored), 7);
}

TEST(LongRead, AStoppedSaveKeepsTheWholeFilesItWroteAndWritesNoMore)
{
    const ScratchDir dir;
    const QString gif = dir.write(QStringLiteral("anim.gif"), animation(6));
    FrameTable table;
    ASSERT_EQ(SplitGifFrames(gif, table), 5);
    for (const auto& [format, suffix] : {std::pair(FrameFormat::Bmp, "bmp"), std::pair(FrameFormat::Gif, "gif")}) {
        SCOPED_TRACE(suffix);
        const QString all = dir.file(QStringLiteral("tutti")), some = dir.file(QStringLiteral("alcuni"));
        ASSERT_TRUE(QDir().mkpath(all) && QDir().mkpath(some));
        std::vector<std::size_t> counted;
        ASSERT_TRUE(SaveFrames(table, gif, all, format, nullptr, [&](std::size_t n) { counted.push_back(n); }));
        EXPECT_EQ(counted, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6}));
        StopToken stop;
        EXPECT_FALSE(SaveFrames(table, gif, some, format, &stop, [&](std::size_t n) {
            if (n == 2)
                stop.requestStop();
        }));
        const QStringList names{QStringLiteral("anim0.") + QLatin1String(suffix), QStringLiteral("anim1.") + QLatin1String(suffix)};
        EXPECT_EQ(QDir(some).entryList(QDir::Files, QDir::Name), names);
        for (const QString& name : names)
            EXPECT_EQ(readFile(some + u'/' + name), readFile(all + u'/' + name)) << name.toStdString();
        ASSERT_TRUE(QDir(all).removeRecursively() && QDir(some).removeRecursively());
    }
}
