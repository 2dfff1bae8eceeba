// Exports cut short by signals, or run two at once into one folder, leave only whole frames;
// file names keep every byte.
#include "files/FilePath.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

using namespace skarvel;
using namespace skarvel::test;

namespace {

constexpr int kFrames = 12;

void startExport(QProcess& process, const QString& gif, const QString& folder, bool namedTemporaries = false)
{
    process.setEnvironment(QProcess::systemEnvironment() + (namedTemporaries ? QStringList{QStringLiteral("SKARVEL_NO_TMPFILE=1")} : QStringList()));
    // A test run started in the background ignores SIGINT, and an export would inherit that.
    process.setChildProcessModifier([] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            ::signal(signal, SIG_DFL);
    });
    process.start(QStringLiteral(SKARVEL_FRAMES_EXE), {QStringLiteral("export"), gif, folder});
}

// Writes `sub`/anim.gif, twelve frames of 1500 x 1500 (2 MiB each as bitmaps: slow enough to be
// caught mid-way), and saves its frames undisturbed into `sub`/whole.
QString writeAnimation(const ScratchDir& dir, const QString& sub, const std::vector<Rgb>& colours)
{
    QDir(dir.path()).mkpath(sub + QStringLiteral("/whole"));
    GifBuilder gif(1500, 1500, colours);
    for (int i = 0; i < kFrames; ++i)
        gif.image(GifBuilder::solid(1500, 1500, std::uint8_t(i)));
    const QString path = dir.write(sub + QStringLiteral("/anim.gif"), gif.build());
    FrameTable table;
    EXPECT_TRUE(SplitGifFrames(path, table) == kFrames - 1 && SaveFrames(table, path, dir.file(sub + QStringLiteral("/whole")), FrameFormat::Bmp));
    return path;
}

// Strikes the export with `signal` as soon as it holds a file of `out` open, a frame named or not
// yet: a frame takes long enough to write that the signal lands in the middle of it. False when
// the export ended, or took too long, first.
bool strikeMidWrite(QProcess& process, const QString& out, int signal)
{
    const QDeadlineTimer deadline(60000);
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(0) && !deadline.hasExpired()) {
        std::error_code error;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(process.processId()) + "/fd", error))
            if (QString::fromStdString(std::filesystem::read_symlink(fd.path(), error).native()).startsWith(out + u'/'))
                return ::kill(pid_t(process.processId()), signal) == 0;
    }
    process.kill();
    return false;
}

// Expects every name in `folder` to be a frame with the bytes of the same frame saved undisturbed
// into one of the folders `wholes`, and answers how many there are.
qsizetype wholeFrames(const QString& folder, const QStringList& wholes)
{
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QByteArray bytes = readFile(folder + u'/' + name);
        EXPECT_TRUE(std::ranges::any_of(wholes, [&](const QString& whole) { return QFile::exists(whole + name) && readFile(whole + name) == bytes; }))
            << name.toStdString() << ", " << bytes.size() << " bytes";
    }
    return names.size();
}

} // namespace

TEST(SaveSafety, InterruptedOrSimultaneousExportsLeaveOnlyWholeFrames)
{
    const ScratchDir dir;
    const QStringList gifs = {writeAnimation(dir, QStringLiteral("0"), distinctColours(16)), writeAnimation(dir, QStringLiteral("1"), distinctColours(15))};
    const QStringList wholes = {dir.file(QStringLiteral("0/whole/")), dir.file(QStringLiteral("1/whole/"))};

    for (const auto& [signal, named] : {std::pair(SIGKILL, false), std::pair(SIGINT, false), std::pair(SIGTERM, true), std::pair(SIGHUP, true), std::pair(SIGINT, true)}) {
        SCOPED_TRACE(testing::Message() << "signal " << signal << (named ? ", named" : ""));
        // On a busy machine an export may still run to its end, unseen or before the signal
        // lands: then again.
        QProcess process;
        bool caught = false;
        for (int attempt = 0; !caught && attempt < 5; ++attempt) {
            const QString out = dir.file(QStringLiteral("out%1%2-%3").arg(signal).arg(named).arg(attempt));
            QDir().mkdir(out);
            process.waitForFinished(60000);
            startExport(process, gifs[0], out, named);
            caught = strikeMidWrite(process, out, signal) && process.waitForFinished(60000)
                     && process.exitStatus() == QProcess::CrashExit && wholeFrames(out, {wholes[0]}) < kFrames;
        }
        ASSERT_TRUE(caught) << "the export ended before it could be interrupted";
    }

    // Two exports into one folder at once may mix their frames, but each file is whole.
    const QString mixed = dir.file(QStringLiteral("mixed"));
    QDir().mkdir(mixed);
    QProcess exports[2];
    for (int i = 0; i < 2; ++i)
        startExport(exports[i], gifs[i], mixed);
    for (QProcess& process : exports)
        EXPECT_TRUE(process.waitForFinished(120000) && process.exitCode() == 0);
    EXPECT_EQ(wholeFrames(mixed, wholes), kFrames);
}

TEST(FilePath, EveryByteStringComesBackWhole)
{
    // How many characters fall in the escapes' range: U+10080 holds one as the half of a pair.
    const struct { QByteArray bytes; int escaped; } cases[] = {
        {"caf\xc3\xa8", 0}, {"\xc2\x80\xdf\xbf", 0}, {"\xe0\xa0\x80\xed\x9f\xbf", 0}, {"\xf0\x90\x82\x80", 1},
        {"\xf4\x8f\xbf\xbf", 0}, {"bad\xff\xfe.gif", 2}, {"\x80", 1}, {"\xc0\xaf\xc1\xbf", 4}, {"\xe0\x9f\xbf", 3},
        {"\xed\xa0\x80", 3}, {"\xf0\x8f\xbf\xbf", 4}, {"\xf4\x90\x80\x80", 4}, {"\xf5\x80\x80\x80", 4}, {"\xe2\x82", 2},
        {"\xe2\x82z\xf0\x90\x82z", 5}, {"\xc3\xa8\xed\xb2\x80", 3}, {"\xf0\x90\x82\x80\x80", 2}};
    for (const auto& c : cases) {
        const QString path = DecodeFilePath(c.bytes);
        const auto escaped = std::count_if(path.begin(), path.end(), [](QChar ch) { return ch.unicode() >= 0xDC80 && ch.unicode() <= 0xDCFF; });
        EXPECT_EQ(std::pair(EncodeFilePath(path), int(escaped)), std::pair(c.bytes, c.escaped)) << c.bytes.toHex().toStdString();
    }
}
