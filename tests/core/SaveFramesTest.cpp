// Saving the frames: the bytes of every BMP and GIF written, and what a save that fails part-way
// leaves.
#include "frames/ExportGifFrames.h"
#include "frames/FrameExport.h"
#include "frames/PathHelpers.h"
#include "frames/SplitGifFrames.h"
#include "files/SignalCleanup.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// Frames coded with 8-bit LZW behind a global table cut down to two colours: their pixels name
// entries past the table, and the transparent index lies past it too; the last is interlaced, set
// off, and has a local table that its pixels overrun as well.
QByteArray pastTheTable()
{
    GifBuilder builder(20, 10, distinctColours(256));
    for (int i = 0; i < 3; ++i) {
        ImageSpec spec = GifBuilder::pattern(20 - i, 10, 40 + 100 * i, i);
        spec.control = GraphicControl{1, 5, i == 1 ? 200 : -1};
        if (i == 2)
            std::tie(spec.localColours, spec.interlaced, spec.left) = std::tuple(distinctColours(8), true, 1);
        builder.image(spec);
    }
    QByteArray gif = builder.build();
    gif[10] = char(quint8(gif[10]) & 0xF8); // two colours
    gif.remove(13 + 6, 256 * 3 - 6);
    return gif;
}

// As the window saves, or as the command line exports (each frame written while later ones decode).
std::string digestOfSave(const QByteArray& gif, FrameFormat format, bool exporting)
{
    const ScratchDir dir;
    const QString path = dir.write(QStringLiteral("f.gif"), gif);
    FrameTable table;
    FrameExport exporter(path, dir.path(), format);
    const bool saved = exporting ? exporter.split(table) >= 1 && exporter.save(table)
                                 : SplitGifFrames(path, table) >= 1 && SaveFrames(table, path, dir.path(), format);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (std::size_t i = 0; i < table.frames.size(); ++i)
        hash.addData(readFile(dir.file(QStringLiteral("f%1.%2").arg(i).arg(QLatin1String(format == FrameFormat::Gif ? "gif" : "bmp")))));
    return (saved ? "" : "failed ") + hash.result().toHex().left(24).toStdString();
}

} // namespace

// SHA-256 of every BMP and every GIF saved from a set of files, recorded once: any change to
// decoding, to the colour tables or to the writers shows up here.
TEST(SavedBytes, EveryBmpAndGifAsRecorded)
{
    const std::tuple<const char*, QByteArray, std::string> cases[] = {
        {"past the table", pastTheTable(), "d6886ba06c8473fdd1f20b31 3429a36c0f01c7a9a483ff42"},
        {"gifsicle_background", {}, "4f9e62b6f32e64f5222acb5f fbf2093924e9034e781056b1"},
        {"gifsicle_optimised", {}, "4ad6c847e9f8b10a9e108406 9bedee758bc64946ec9fa76a"},
        {"magick_interlaced", {}, "dddc78e939483709b5a91e19 fad3536fdbf2da3ec91c0461"},
        {"magick_offsets", {}, "2b9d7bad0df2e0ba8af1cdfc 783bb3cfaa6d9eb706fc1462"},
        {"magick_plain", {}, "434ee2334af5501bc033dc50 946bf50f14435fba81f2b20c"},
    };
    for (const auto& [name, built, digests] : cases) {
        const QByteArray gif = built.isEmpty() ? readFile(QStringLiteral(SKARVEL_FIXTURES "/%1.gif").arg(QLatin1String(name))) : built;
        for (const bool exporting : {false, true})
            EXPECT_EQ(digestOfSave(gif, FrameFormat::Bmp, exporting) + " " + digestOfSave(gif, FrameFormat::Gif, exporting), digests) << name;
    }
}

TEST(SaveFrames, TheFirstFailureStopsTheSaveAndOnlyRegularFilesCount)
{
    const ScratchDir dir;
    const QString gif = dir.write(QStringLiteral("anim.gif"), pastTheTable());
    FrameTable table;
    ASSERT_EQ(SplitGifFrames(gif, table), 2);
    EXPECT_FALSE(ExportGifFrames(dir.file(QStringLiteral("b")), FrameTable{}));
    // A folder in the way of the second file: the first stays, the third is never written.
    for (const QString& suffix : {QStringLiteral(".gif"), QStringLiteral(".bmp")}) {
        QDir(dir.path()).mkpath(QStringLiteral("out/anim1") + suffix);
        EXPECT_FALSE(SaveFrames(table, gif, dir.file(QStringLiteral("out")), suffix == QStringLiteral(".gif") ? FrameFormat::Gif : FrameFormat::Bmp));
        EXPECT_EQ(std::pair(QFile::exists(dir.file(QStringLiteral("out/anim0") + suffix)), QFile::exists(dir.file(QStringLiteral("out/anim2") + suffix))),
                  std::pair(true, false));
    }

    // The folder taken away while the frames were written ahead: the failure names the folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    FrameTable exported;
    FrameExport exporter(gif, dir.file(QStringLiteral("gone")), FrameFormat::Bmp);
    ASSERT_EQ(exporter.split(exported), 2);
    ASSERT_TRUE(QDir(dir.path()).rename(QStringLiteral("gone"), QStringLiteral("moved")));
    EXPECT_FALSE(exporter.save(exported));
    const FileFailure failure = exporter.failure();
    EXPECT_EQ(std::tuple(failure.path, failure.error, failure.folder), std::tuple(dir.file(QStringLiteral("gone")), ENOENT, true));

    // A saved frame counts when a regular file is there: a folder of its name does not.
    EXPECT_EQ(std::vector({FileExists(dir.write(QStringLiteral("f.bmp"), "BM")), FileExists(dir.file(QStringLiteral("missing.bmp"))), FileExists(dir.path()), FileExists({})}),
              std::vector({true, false, false, false}));
}

// A frame that cannot be written (frame 3, the one a file-size limit leaves out) stops the split
// there: the frames waiting are let go and nothing more is decoded, however many frames follow;
// the frames before it are named.
TEST(FrameExport, AFailedWriteStopsTheSplit)
{
    GifBuilder builder{1000, 1100, distinctColours(4)};
    for (int i = 0; i < 160; ++i)
        builder.image(GifBuilder::solid(1000, i == 3 ? 1100 : 1000, std::uint8_t(i % 4)));
    const ScratchDir dir;
    const QString gif = dir.write(QStringLiteral("big.gif"), builder.build());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out")));
    IgnoreFileSizeSignal();
    rlimit unlimited{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const rlimit limited{1000 * 1024, unlimited.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    FrameTable table;
    FrameExport exporter(gif, dir.file(QStringLiteral("out")), FrameFormat::Bmp);
    const std::int32_t result = exporter.split(table);
    const bool saved = exporter.save(table);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &unlimited), 0);
    EXPECT_EQ(std::tuple(exporter.failed(), result, saved, exporter.failure().error), std::tuple(true, -1, false, EFBIG));
    // The frames waiting to be written hold the split back by far fewer than 150 frames.
    EXPECT_LT(table.frames.size(), 160u);
    EXPECT_EQ(QDir(dir.file(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("big0.bmp"), QStringLiteral("big1.bmp"), QStringLiteral("big2.bmp")}));
}
