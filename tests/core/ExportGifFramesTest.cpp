#include "frames/ExportGifFrames.h"
#include "frames/PathHelpers.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

QByteArray animation(int frames)
{
    GifBuilder builder(12, 8, distinctColours(8));
    builder.loopExtension();
    for (int i = 0; i < frames; ++i)
        builder.image(GifBuilder::pattern(12 - i % 3, 8, 8, i));
    return builder.build();
}

} // namespace

TEST(ExportGifFrames, EachFileIsTheOpenedFrameAloneAndTheFirstFailureStopsTheSave)
{
    const ScratchDir dir;
    const QString gif = dir.write(QStringLiteral("anim.gif"), animation(12));
    FrameTable table;
    ASSERT_EQ(SplitGifFrames(gif, table), 11);
    // What is saved is what was opened, whatever became of the file since; old files are replaced.
    dir.write(QStringLiteral("anim.gif"), animation(3));
    dir.write(QStringLiteral("anim10.gif"), QByteArray(50000, 'z'));
    ASSERT_TRUE(ExportGifFrames(dir.file(QStringLiteral("anim")), table));
    for (int k = 0; k < 12; ++k) {
        const auto back = slurpGif(readFile(dir.file(QStringLiteral("anim%1.gif").arg(k))));
        ASSERT_TRUE(back && back->images.size() == 1) << k;
        EXPECT_TRUE(samePicture(table.frames[k].FramePicture.image(), back->images[0])) << k;
    }
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("anim?*.gif")}).size(), 12);

    // A folder in the way of the second file: the first stays, the third is never written.
    EXPECT_FALSE(ExportGifFrames(dir.file(QStringLiteral("nowhere/anim")), table));
    EXPECT_FALSE(ExportGifFrames(dir.file(QStringLiteral("b")), FrameTable{}));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("b0.gif"))));
    for (const QString& suffix : {QStringLiteral(".gif"), QStringLiteral(".bmp")}) {
        QDir(dir.path()).mkpath(QStringLiteral("out/anim1") + suffix);
        EXPECT_FALSE(SaveFrames(table, gif, dir.file(QStringLiteral("out")), suffix == QStringLiteral(".gif") ? FrameFormat::Gif : FrameFormat::Bmp));
        EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("out/anim0") + suffix)));
        EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("out/anim2") + suffix)));
    }
}

TEST(FileExists, RegularFilesOnly)
{
    const ScratchDir dir;
    const QString file = dir.write(QStringLiteral("f.bmp"), "BM");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file(QStringLiteral("fifo.bmp"))).constData(), 0600), 0);
    for (const QString& path : {dir.file(QStringLiteral("missing.bmp")), dir.path(), dir.file(QStringLiteral("fifo.bmp")), QString()})
        EXPECT_FALSE(FileExists(path)) << path.toStdString();
    // A file we may write but not read is there: a save that replaced it succeeded.
    QFile(file).setPermissions(QFileDevice::WriteOwner);
    EXPECT_TRUE(FileExists(file));
}
