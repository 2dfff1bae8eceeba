// Pictures decoded when they are needed: a file whose pictures are many times what is kept opens,
// shows and saves exactly what one that fits does, whatever frame leaves when, and whichever
// thread asks.
#include "frames/FrameAhead.h"
#include "frames/FrameExport.h"
#include "frames/PicturesInOrder.h"
#include "frames/SaveFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifBuilder.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <thread>
#include <vector>

using namespace skarvel;
using namespace skarvel::test;

namespace {

// `count` frames of `width` x `height`, each its own pattern, every third interlaced.
QByteArray patterned(int count, int width, int height)
{
    GifBuilder builder = GifBuilder(width, height, distinctColours(64)).patterns(count);
    for (int i = 0; i < count; i += 3)
        builder.images[i].interlaced = true;
    return builder.build();
}

// Splits `gif` into `table` with its pictures kept within `pictureBytes`.
std::int32_t splitKeeping(const QByteArray& gif, FrameTable& table, std::int64_t pictureBytes, int threads = kAllCores)
{
    const FrameKeeping keep{.pictureBytes = pictureBytes, .rendition = {}};
    return SplitGifBytes(gif, table, PictureLimits::kSplitBudgetBytes, threads, {}, 0, keep);
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
    const QString a = dir.file(QStringLiteral("a")), b = dir.file(QStringLiteral("b"));
    FrameTable table, exported;
    EXPECT_TRUE(QDir().mkdir(a) && QDir().mkdir(b) && splitKeeping(gif, table, pictureBytes) >= 1);
    EXPECT_TRUE(SaveFrames(table, path, a, format));
    FrameExport exporter(path, b, format);
    EXPECT_TRUE(exporter.split(exported) >= 1 && exporter.save(exported));
    const auto files = filesIn(a);
    EXPECT_EQ(files, filesIn(b));
    return files;
}

// Runs `work` on a thread of its own; answers whether it finished within a minute. A hang leaves
// that thread behind and fails the test, rather than the whole run.
bool finishes(std::function<void()> work)
{
    std::packaged_task<void()> task(std::move(work));
    std::future<void> done = task.get_future();
    std::thread(std::move(task)).detach();
    return done.wait_for(std::chrono::minutes(1)) == std::future_status::ready;
}

TEST(FramePictures, ConsumersFasterThanTheDecodersWithNothingKeptNeverWaitForever)
{
    // Nothing is kept: every picture is decoded when it is asked for, helpers decoding the ones
    // behind it. Taken as fast as they come, by the split, in order as a save takes them, and by
    // threads asking for the same frames at once, each wait for a picture that another thread
    // makes must end when it is made.
    ASSERT_TRUE(finishes([gif = patterned(60, 200, 200)] {
        FrameTable table;
        ASSERT_EQ(splitKeeping(gif, table, 0, 4), 59);
        PicturesInOrder pictures(table, 0, 4);
        for (std::size_t i = 0; i < table.frames.size(); ++i)
            ASSERT_FALSE(pictures.next().isNull()) << i;
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                for (std::size_t i = 0; i < table.frames.size(); ++i)
                    EXPECT_FALSE(table.FramePicture(i).isNull() || table.pictures->holds(i)) << i;
            });
    })) << "a thread still waits for a picture after a minute";
}

TEST(FramePictures, AFileManyTimesWhatIsKeptShowsAndSavesWhatOneThatFitsDoes)
{
    const QByteArray gif = patterned(12, 300, 200);
    const std::int64_t two = 2 * (PictureBytes(300, 200) + 2048); // two pictures, not three
    FrameTable fits, tight;
    ASSERT_EQ(SplitGifBytes(gif, fits), 11);
    ASSERT_EQ(splitKeeping(gif, tight, two), 11);
    // The open keeps the first pictures, the ones shown first.
    EXPECT_TRUE(tight.pictures->holds(0) && tight.pictures->holds(1) && !tight.pictures->holds(2));
    std::vector<QImage> expected;
    for (std::size_t i = 0; i < tight.frames.size(); ++i)
        expected.push_back(fits.FramePicture(i).image());
    // Painted or saved while the others push it out, a picture handed out stays whole.
    const Picture shown = tight.FramePicture(0);
    // Played round twice: every frame decoded again comes to the picture the open made, and the
    // frames used least recently leave first.
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < tight.frames.size(); ++i) {
            ASSERT_EQ(tight.FramePicture(i).image(), expected[i]) << i;
            ASSERT_LE(tight.pictures->heldBytes(), two);
            ASSERT_TRUE(tight.pictures->holds(i) && (i == 0 || tight.pictures->holds(i - 1)) && (i < 2 || !tight.pictures->holds(i - 2))) << i;
        }
    }
    EXPECT_EQ(shown.image(), expected[0]);

    // The animation's next frame, decoded on a thread of its own before the tick asks for it.
    FrameAhead ahead;
    ahead.want(tight, 2);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!tight.pictures->holds(2) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(tight.pictures->holds(2)) << "not decoded ahead";
    EXPECT_EQ(tight.FramePicture(2).image(), expected[2]);

    // Threads asking at once, each in an order of its own, most of them on the same frames.
    std::vector<std::jthread> threads;
    for (std::size_t t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t k = 0, i = t / 2; k < 40; ++k, i = (i + (t % 2 ? 5 : 1)) % expected.size())
                EXPECT_EQ(tight.FramePicture(i).image(), expected[i]) << "thread " << t << ", frame " << i;
        });
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
    const ScratchDir dir;
    FrameTable table;
    ASSERT_EQ(SplitGifBytes(gif, table, PictureLimits::kSplitBudgetBytes, 2, {}, 1 << 20), 2);
    // Too large to keep: the save decodes it again from its chunk.
    EXPECT_FALSE(table.pictures->holds(0));
    SavePicture(LoadPicture(table.header().toByteArray() + table.chunk(0).toByteArray()), dir.file(QStringLiteral("0.bmp")));
    EXPECT_TRUE(files.at(QStringLiteral("f0.bmp")) == readFile(dir.file(QStringLiteral("0.bmp"))));
}

} // namespace
