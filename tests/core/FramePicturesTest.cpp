// Pictures decoded when they are needed: a file whose pictures are many times what is kept opens,
// shows and saves exactly what one that fits does, whatever frame leaves when, and whichever
// thread asks.
#include "frames/FrameAhead.h"
#include "frames/FrameExport.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// `count` frames of `width` x `height`, each its own pattern, every third interlaced.
QByteArray patterned(int count, int width, int height)
{
    GifBuilder builder(width, height, distinctColours(64));
    for (int i = 0; i < count; ++i) {
        ImageSpec spec = GifBuilder::pattern(width, height, 64, i);
        spec.interlaced = i % 3 == 0;
        builder.image(spec);
    }
    return builder.build();
}

FrameKeeping keeping(std::int64_t pictureBytes)
{
    FrameKeeping keep;
    keep.pictureBytes = pictureBytes;
    return keep;
}

std::map<QString, QByteArray> filesIn(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        files[name] = readFile(folder + u'/' + name);
    return files;
}

// Saves the frames of `gif` in `format` as the window does, its pictures kept within
// `pictureBytes`, and as the command line exports them; expects both to write the same files,
// and answers them.
std::map<QString, QByteArray> saved(const QByteArray& gif, FrameFormat format, std::int64_t pictureBytes)
{
    const ScratchDir dir;
    const QString path = dir.write(QStringLiteral("f.gif"), gif);
    QDir(dir.path()).mkdir(QStringLiteral("a"));
    QDir(dir.path()).mkdir(QStringLiteral("b"));
    FrameTable table;
    EXPECT_GE(SplitGifBytes(readFile(path), table, PictureLimits::kSplitBudgetBytes, kAllCores, {}, 0, keeping(pictureBytes)), 1);
    EXPECT_TRUE(SaveFrames(table, path, dir.file(QStringLiteral("a")), format));
    FrameExport exporter(path, dir.file(QStringLiteral("b")), format);
    FrameTable exported;
    EXPECT_TRUE(exporter.split(exported) >= 1 && exporter.save(exported));
    const auto files = filesIn(dir.file(QStringLiteral("a")));
    EXPECT_EQ(files, filesIn(dir.file(QStringLiteral("b"))));
    EXPECT_EQ(files.size(), table.frames.size());
    return files;
}

TEST(FramePictures, AFileManyTimesWhatIsKeptShowsAndSavesWhatOneThatFitsDoes)
{
    const QByteArray gif = patterned(12, 300, 200);
    const std::int64_t two = 2 * (PictureBytes(300, 200) + 2048); // two pictures, not three
    FrameTable fits, tight;
    ASSERT_EQ(SplitGifBytes(gif, fits), 11);
    ASSERT_EQ(SplitGifBytes(gif, tight, PictureLimits::kSplitBudgetBytes, kAllCores, {}, 0, keeping(two)), 11);
    // The open keeps the first pictures, the ones shown first; a small file keeps them all.
    EXPECT_TRUE(tight.pictures->holds(0) && tight.pictures->holds(1) && !tight.pictures->holds(2));
    EXPECT_TRUE(fits.pictures->holds(11));
    // Played round twice: every frame decoded again comes to the picture the open made, and the
    // frames used least recently leave first.
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < tight.frames.size(); ++i) {
            ASSERT_EQ(tight.FramePicture(i).image(), fits.FramePicture(i).image()) << i;
            ASSERT_LE(tight.pictures->heldBytes(), two);
            ASSERT_TRUE(tight.pictures->holds(i) && (i == 0 || tight.pictures->holds(i - 1)) && (i < 2 || !tight.pictures->holds(i - 2))) << i;
        }
    }
    for (const FrameFormat format : {FrameFormat::Bmp, FrameFormat::Gif})
        EXPECT_EQ(saved(gif, format, two), saved(gif, format, FramePictures::kDefaultBytes));
}

TEST(FramePictures, AFrameLargerThanAnythingKeptOrDecodedAheadOpensAndSaves)
{
    // Over what is kept, decoded ahead by the open or by a save, and waiting for the writer.
    const int side = 7200;
    const QByteArray gif = GifBuilder(side, side, distinctColours(4)).image(GifBuilder::pattern(side, side, 4))
                               .image(GifBuilder::solid(4, 4, 2)).image(GifBuilder::solid(4, 4, 3)).build();
    const auto files = saved(gif, FrameFormat::Bmp, FramePictures::kDefaultBytes);
    ASSERT_EQ(files.size(), 3u);
    const ScratchDir dir;
    FrameTable table;
    ASSERT_EQ(SplitGifBytes(gif, table, PictureLimits::kSplitBudgetBytes, 2, {}, 1 << 20), 2);
    EXPECT_FALSE(table.pictures->holds(0));
    SavePicture(LoadPicture(table.header().toByteArray() + table.chunk(0).toByteArray()), dir.file(QStringLiteral("0.bmp")));
    EXPECT_TRUE(files.at(QStringLiteral("f0.bmp")) == readFile(dir.file(QStringLiteral("0.bmp"))));
}

TEST(FramePictures, ThreadsAskingForTheSameFramesGetTheSamePixels)
{
    const QByteArray gif = patterned(8, 120, 90);
    FrameTable fits, tight;
    ASSERT_EQ(SplitGifBytes(gif, fits), 7);
    ASSERT_EQ(SplitGifBytes(gif, tight, PictureLimits::kSplitBudgetBytes, 1, {}, 0, keeping(3 * PictureBytes(120, 90))), 7);
    std::vector<std::vector<QImage>> seen(4);
    {
        std::vector<std::jthread> threads;
        for (std::size_t t = 0; t < seen.size(); ++t) {
            threads.emplace_back([&, t] {
                // Each thread in an order of its own, most of them on the same frames at once.
                for (std::size_t k = 0; k < 40; ++k)
                    seen[t].push_back(tight.FramePicture((k * (t % 2 ? 3 : 1) + t / 2) % 8).image());
            });
        }
    }
    for (std::size_t t = 0; t < seen.size(); ++t)
        for (std::size_t k = 0; k < seen[t].size(); ++k)
            ASSERT_EQ(seen[t][k], fits.FramePicture((k * (t % 2 ? 3 : 1) + t / 2) % 8).image()) << t << ", " << k;
}

TEST(FramePictures, APictureHandedOutStaysWholeAfterItLeavesAndTheNextIsDecodedAhead)
{
    const QByteArray gif = patterned(6, 200, 150);
    FrameTable fits, tight;
    ASSERT_EQ(SplitGifBytes(gif, fits), 5);
    ASSERT_EQ(SplitGifBytes(gif, tight, PictureLimits::kSplitBudgetBytes, kAllCores, {}, 0, keeping(PictureBytes(200, 150) + 2048)), 5);
    // Painted or saved while the others push it out.
    const Picture shown = tight.FramePicture(0);
    for (std::size_t i = 1; i < tight.frames.size(); ++i)
        tight.FramePicture(i);
    ASSERT_FALSE(tight.pictures->holds(0));
    EXPECT_EQ(shown.image(), fits.FramePicture(0).image());
    const ScratchDir dir;
    SavePicture(shown, dir.file(QStringLiteral("a.bmp")));
    SavePicture(fits.FramePicture(0), dir.file(QStringLiteral("b.bmp")));
    EXPECT_EQ(readFile(dir.file(QStringLiteral("a.bmp"))), readFile(dir.file(QStringLiteral("b.bmp"))));

    // The animation's next frame, decoded on a thread of its own before the tick asks for it.
    FrameAhead ahead;
    ahead.want(tight, 2);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!tight.pictures->holds(2) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(tight.pictures->holds(2)) << "not decoded ahead";
    EXPECT_EQ(tight.FramePicture(2).image(), fits.FramePicture(2).image());
}

} // namespace
