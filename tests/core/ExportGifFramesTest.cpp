#include "frames/ExportGifFrames.h"
#include "frames/FrameCutter.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/GifOracle.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

namespace {

QByteArray animation(int frames, bool danglingControl = false)
{
    GifBuilder builder(12, 8, distinctColours(8));
    builder.loopExtension();
    for (int i = 0; i < frames; ++i) {
        ImageSpec spec = GifBuilder::pattern(12 - i % 3, 8, 8, i);
        spec.left = i % 3;
        builder.image(spec);
    }
    if (danglingControl)
        builder.danglingControl();
    return builder.build();
}

struct Opened {
    ScratchDir dir;
    QString gif;
    FrameTable table;
    std::int32_t result = 0;

    explicit Opened(const QByteArray& bytes)
        : gif(dir.write(QStringLiteral("anim.gif"), bytes)), result(SplitGifFrames(gif, table))
    {
    }
    QString out(const QString& name) const { return dir.file(name); }
};

} // namespace

TEST(ExportGifFrames, EachFileIsTheFrameImageWithATrailer)
{
    const QByteArray source = animation(3);
    const Opened opened(source);
    ASSERT_EQ(opened.result, 2);
    ASSERT_TRUE(ExportGifFrames(opened.gif, opened.out(QStringLiteral("anim")), opened.table));

    FrameCutter cutter(source);
    const auto oracle = slurpGif(source);
    for (int k = 0; k < 3; ++k) {
        const auto chunk = cutter.next();
        const QByteArray written = readFile(opened.out(QStringLiteral("anim%1.gif").arg(k)));
        QByteArray expected = cutter.header().toByteArray() + chunk->bytes.toByteArray();
        if (!chunk->last) {
            ASSERT_TRUE(expected.endsWith(QByteArray("\x00\x21", 2)));
            expected.back() = 0x3B;
        }
        EXPECT_EQ(written, expected) << k;
        // A complete GIF that giflib reads whole, with this frame's image.
        const auto back = slurpGif(written);
        ASSERT_TRUE(back) << k;
        ASSERT_EQ(back->images.size(), 1u);
        EXPECT_TRUE(samePicture(opened.table.frames[k].FramePicture.image(), back->images[0]));
        EXPECT_TRUE(samePicture(opened.table.frames[k].FramePicture.image(), oracle->images[k]));
    }
    // The first file is the start of the source; the last keeps the source's tail exactly.
    const QByteArray first = readFile(opened.out(QStringLiteral("anim0.gif")));
    EXPECT_EQ(first.chopped(1), source.left(first.size() - 1));
    EXPECT_TRUE(source.endsWith(readFile(opened.out(QStringLiteral("anim2.gif"))).mid(FrameCutter(source).header().size())));
    EXPECT_FALSE(QFile::exists(opened.out(QStringLiteral("anim3.gif"))));
}

TEST(ExportGifFrames, ExportsOnlyTheFramesOfTheTable)
{
    const Opened opened(animation(2, true));
    ASSERT_EQ(opened.result, 1);
    ASSERT_TRUE(ExportGifFrames(opened.gif, opened.out(QStringLiteral("x")), opened.table));
    EXPECT_TRUE(QFile::exists(opened.out(QStringLiteral("x1.gif"))));
    EXPECT_FALSE(QFile::exists(opened.out(QStringLiteral("x2.gif"))));
    EXPECT_TRUE(slurpGif(readFile(opened.out(QStringLiteral("x1.gif")))));
}

TEST(ExportGifFrames, NamesRunWithoutPaddingAndReplaceOldFiles)
{
    const Opened opened(animation(12));
    ASSERT_EQ(opened.result, 11);
    opened.dir.write(QStringLiteral("anim10.gif"), QByteArray(50000, 'z'));
    ASSERT_TRUE(ExportGifFrames(opened.gif, opened.out(QStringLiteral("anim")), opened.table));
    const QStringList files = QDir(opened.dir.path()).entryList({QStringLiteral("anim?*.gif")}, QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 12);
    EXPECT_TRUE(files.contains(QStringLiteral("anim11.gif")));
    EXPECT_FALSE(files.contains(QStringLiteral("anim01.gif")));
    const QByteArray replaced = readFile(opened.out(QStringLiteral("anim10.gif")));
    EXPECT_LT(replaced.size(), 1000);
    EXPECT_TRUE(slurpGif(replaced));
}

TEST(ExportGifFrames, FailuresAnswerFalse)
{
    const Opened opened(animation(3));
    EXPECT_FALSE(ExportGifFrames(opened.gif, opened.out(QStringLiteral("nowhere/anim")), opened.table));
    EXPECT_FALSE(ExportGifFrames(opened.out(QStringLiteral("gone.gif")), opened.out(QStringLiteral("a")), opened.table));
    EXPECT_FALSE(QFile::exists(opened.out(QStringLiteral("a0.gif"))));
    EXPECT_FALSE(ExportGifFrames(opened.gif, opened.out(QStringLiteral("b")), FrameTable{}));
    EXPECT_FALSE(QFile::exists(opened.out(QStringLiteral("b0.gif"))));

    // A folder in the way of the second file: the first stays, the third is never written.
    QDir(opened.dir.path()).mkdir(QStringLiteral("c1.gif"));
    EXPECT_FALSE(ExportGifFrames(opened.gif, opened.out(QStringLiteral("c")), opened.table));
    EXPECT_TRUE(QFile::exists(opened.out(QStringLiteral("c0.gif"))));
    EXPECT_FALSE(QFile::exists(opened.out(QStringLiteral("c2.gif"))));
}

TEST(SaveFrames, BitmapsNamedAfterTheGifInFrameOrder)
{
    const Opened opened(animation(3));
    const QString folder = opened.out(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(SaveFrames(opened.table, opened.gif, folder, FrameFormat::Bmp));
    for (int i = 0; i < 3; ++i) {
        const QImage bmp(folder + QStringLiteral("/anim%1.bmp").arg(i));
        ASSERT_FALSE(bmp.isNull()) << i;
        const QImage& picture = opened.table.frames[i].FramePicture.image();
        ASSERT_EQ(bmp.size(), picture.size());
        for (int y = 0; y < bmp.height(); ++y)
            for (int x = 0; x < bmp.width(); ++x)
                ASSERT_EQ(bmp.pixel(x, y) & 0xffffff, picture.pixel(x, y) & 0xffffff);
    }
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/anim3.bmp")));
    ASSERT_TRUE(SaveFrames(opened.table, opened.gif, folder + u'/', FrameFormat::Gif));
    EXPECT_TRUE(slurpGif(readFile(folder + QStringLiteral("/anim2.gif"))));

    // A folder in the way of the second bitmap stops the save there.
    QDir(folder).mkdir(QStringLiteral("again1.bmp"));
    const QString again = opened.dir.write(QStringLiteral("again.gif"), readFile(opened.gif));
    EXPECT_FALSE(SaveFrames(opened.table, again, folder, FrameFormat::Bmp));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/again0.bmp")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/again2.bmp")));
}

TEST(SaveFrames, PrefixJoinsFolderAndBaseName)
{
    EXPECT_EQ(FramePrefix(QStringLiteral("/"), QStringLiteral("/img/anim.gif")), QStringLiteral("/anim"));
    EXPECT_EQ(FramePrefix(QStringLiteral("/out"), QStringLiteral("/img/my.anim.gif")), QStringLiteral("/out/my"));
    EXPECT_EQ(FramePrefix(QStringLiteral("/out/"), QStringLiteral("/img.d/anim.gif")), QStringLiteral("/out/anim"));
}
