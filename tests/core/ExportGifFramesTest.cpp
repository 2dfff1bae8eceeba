#include "frames/ExportGifFrames.h"
#include "frames/FrameCutter.h"
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

QByteArray animation(int frames, bool danglingControl = false)
{
    GifBuilder builder(12, 8, distinctColours(8));
    builder.loopExtension();
    for (int i = 0; i < frames; ++i)
        builder.image(GifBuilder::pattern(12 - i % 3, 8, 8, i));
    if (danglingControl)
        builder.danglingControl();
    return builder.build();
}

// A GIF written to a scratch folder and split from there.
struct Opened {
    ScratchDir dir;
    QString gif;
    FrameTable table;
    std::int32_t result = 0;

    explicit Opened(const QByteArray& bytes) : gif(dir.write(QStringLiteral("anim.gif"), bytes)), result(SplitGifFrames(gif, table)) {}
    QString out(const QString& name) const { return dir.file(name); }
    bool exists(const QString& name) const { return QFile::exists(dir.file(name)); }
};

} // namespace

TEST(ExportGifFrames, EachFileIsTheOpenedFrameImageWithATrailer)
{
    const QByteArray source = animation(12);
    const Opened opened(source);
    ASSERT_EQ(opened.result, 11);
    // What is saved is what was opened, whatever became of the file since.
    opened.dir.write(QStringLiteral("anim.gif"), animation(3));
    opened.dir.write(QStringLiteral("anim10.gif"), QByteArray(50000, 'z')); // replaced whole
    ASSERT_TRUE(ExportGifFrames(opened.out(QStringLiteral("anim")), opened.table));
    FrameCutter cutter(source);
    for (int k = 0; k < 12; ++k) {
        const auto chunk = cutter.next();
        // Header + chunk; but for the last, the next frame's "00 21" ends as "00 3B", a trailer.
        QByteArray expected = cutter.header().toByteArray() + chunk->bytes.toByteArray();
        if (!chunk->last)
            expected.back() = 0x3B;
        const QByteArray written = readFile(opened.out(QStringLiteral("anim%1.gif").arg(k)));
        EXPECT_EQ(written, expected) << k;
        const auto back = slurpGif(written);
        ASSERT_TRUE(back && back->images.size() == 1) << k;
        EXPECT_TRUE(samePicture(opened.table.frames[k].FramePicture.image(), back->images[0]));
    }
    EXPECT_EQ(QDir(opened.dir.path()).entryList({QStringLiteral("anim?*.gif")}).size(), 12);

    // A dropped last frame is not exported; a deleted file does not matter.
    const Opened dropped(animation(2, true));
    ASSERT_EQ(dropped.result, 1);
    QFile::remove(dropped.gif);
    ASSERT_TRUE(ExportGifFrames(dropped.out(QStringLiteral("x")), dropped.table));
    EXPECT_EQ(readFile(dropped.out(QStringLiteral("x1.gif"))).back(), ';');
    EXPECT_FALSE(dropped.exists(QStringLiteral("x2.gif")));
}

TEST(ExportGifFrames, TheFirstFailureStopsTheSave)
{
    const Opened opened(animation(3));
    EXPECT_FALSE(ExportGifFrames(opened.out(QStringLiteral("nowhere/anim")), opened.table));
    EXPECT_FALSE(ExportGifFrames(opened.out(QStringLiteral("b")), FrameTable{}));
    EXPECT_FALSE(opened.exists(QStringLiteral("b0.gif")));
    // A folder in the way of the second file: the first stays, the third is never written.
    for (const FrameFormat format : {FrameFormat::Gif, FrameFormat::Bmp}) {
        const QString suffix = format == FrameFormat::Gif ? QStringLiteral(".gif") : QStringLiteral(".bmp");
        QDir(opened.dir.path()).mkpath(QStringLiteral("out/anim1") + suffix);
        EXPECT_FALSE(SaveFrames(opened.table, opened.gif, opened.out(QStringLiteral("out")), format));
        EXPECT_TRUE(opened.exists(QStringLiteral("out/anim0") + suffix));
        EXPECT_FALSE(opened.exists(QStringLiteral("out/anim2") + suffix));
    }
}

TEST(SaveFrames, PrefixIsTheFolderAndTheNameUpToItsFirstDot)
{
    EXPECT_EQ(FramePrefix(QStringLiteral("/"), QStringLiteral("/img/anim.gif")), QStringLiteral("/anim"));
    EXPECT_EQ(FramePrefix(QStringLiteral("/out"), QStringLiteral("/img/my.anim.gif")), QStringLiteral("/out/my"));
    EXPECT_EQ(FramePrefix(QStringLiteral("/out/"), QStringLiteral("/a/b.c/name.x.gif")), QStringLiteral("/out/name"));
    EXPECT_EQ(GetBaseName(QStringLiteral("/img/anim")), QStringLiteral("anim"));
    for (const char* nameless : {"", "anim.gif", "/img/", "/img/.gif"})
        EXPECT_TRUE(GetBaseName(QString::fromLatin1(nameless)).isEmpty()) << nameless;
}

TEST(FileExists, RegularFilesOnly)
{
    const ScratchDir dir;
    const QString file = dir.write(QStringLiteral("f.bmp"), "BM");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral("missing.bmp"))));
    EXPECT_FALSE(FileExists(dir.path()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file(QStringLiteral("fifo.bmp"))).constData(), 0600), 0);
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral("fifo.bmp"))));
    EXPECT_FALSE(FileExists(QString()));
    // A file we may write but not read is there: a save that replaced it succeeded.
    QFile(file).setPermissions(QFileDevice::WriteOwner);
    EXPECT_TRUE(FileExists(file));
}
