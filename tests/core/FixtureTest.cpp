// GIFs written by other encoders, split and compared with giflib's own reading of them.
#include "frames/ExportGifFrames.h"
#include "frames/SplitGifFrames.h"
#include "support/GifOracle.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace skarvel;
using namespace skarvel::test;

class Fixture : public ::testing::TestWithParam<const char*> {};

TEST_P(Fixture, SplitsLikeGiflibReadsIt)
{
    const QString path = fixture(QString::fromLatin1(GetParam()));
    const QByteArray bytes = readFile(path);
    const auto oracle = slurpGif(bytes);
    ASSERT_TRUE(oracle);

    FrameTable table;
    const std::int32_t result = SplitGifFrames(path, table);
    ASSERT_EQ(result, std::int32_t(oracle->images.size()) - 1);
    EXPECT_EQ(table.GifWidth, oracle->width);
    EXPECT_EQ(table.GifHeight, oracle->height);
    for (std::size_t i = 0; i < oracle->images.size(); ++i) {
        const SlurpedImage& image = oracle->images[i];
        const FrameEntry& frame = table.frames[i];
        ASSERT_TRUE(image.hasControl);
        EXPECT_TRUE(samePicture(frame.FramePicture.image(), image)) << i;
        EXPECT_EQ(frame.FrameDelay, image.delay ? image.delay * 10 : 100) << i;
        EXPECT_EQ(frame.FrameClear, image.packed != 4 && image.packed != 5) << i;
        EXPECT_EQ(frame.FrameLeft, image.left) << i;
        EXPECT_EQ(frame.FrameTop, image.top) << i;
    }

    const ScratchDir out;
    ASSERT_TRUE(ExportGifFrames(path, out.file(QStringLiteral("f")), table));
    for (std::size_t i = 0; i < table.frames.size(); ++i) {
        const auto exported = slurpGif(readFile(out.file(QStringLiteral("f%1.gif").arg(i))));
        ASSERT_TRUE(exported) << i;
        EXPECT_TRUE(samePicture(table.frames[i].FramePicture.image(), exported->images[0])) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(OtherEncoders, Fixture,
                         ::testing::Values("magick_plain.gif", "magick_interlaced.gif", "magick_offsets.gif",
                                           "gifsicle_optimised.gif", "gifsicle_background.gif"));
